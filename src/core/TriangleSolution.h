#pragma once
// Solution of one triangle of the chain from its three sides.
#include <optional>
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

// A triangle with an angle of 0 or 180 [deg] or a height of 0 [m] onto side
// 2i: three points in a line, which the condition equations cannot use.
bool IsFlatTriangle(const TriangleAngles& angles, double height);

// What the adjustment will find wrong with triangle i of these sides [m], as
// soon as its sides are known: the faults of SolveTriangle and a flat
// triangle, each naming triangle i with the sides given; nothing when the
// adjustment can use it.
std::optional<ChainFault> TriangleFaultOf(int i, const std::vector<double>& sides, double radiansPerDegree);

// How many triangles this thread has solved so far: a seam for the tests that
// show a triangle is solved once before the adjustment.
long TrianglesSolved();
