#pragma once
// Solution of one triangle of the chain from its three sides.
#include <vector>

struct TriangleAngles {
    double angle1;  // [deg] between sides a and b, opposite c
    double angle2;  // [deg] between sides a and c, opposite b
};

// Triangle i from a = sides(2i-1), b = sides(2i), c = sides(2i+1) [m]. A zero
// side, sides beyond the range of numbers or three sides that cannot form a
// triangle are faults naming triangle i with its observed sides; adjusted
// says the sides are the adjusted ones.
TriangleAngles SolveTriangle(int i, const std::vector<double>& sides, const std::vector<double>& observed,
                             bool adjusted, double radiansPerDegree);

// A fault of triangle i of the given kind, with its observed sides.
struct ChainFault;
enum class ChainFaultKind;
ChainFault TriangleFault(ChainFaultKind kind, int i, const std::vector<double>& observed);
