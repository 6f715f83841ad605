#pragma once
// Solution of one triangle of the chain from its three sides.
#include <string>

struct TriangleAngles {
    double angle1;  // [deg] between sides a and b, opposite c
    double angle2;  // [deg] between sides a and c, opposite b
};

#include <vector>

// Triangle i from a = sides(2i-1), b = sides(2i), c = sides(2i+1) [m]. Raises a
// named fault for a zero side or three sides that cannot form a triangle; the
// message names the triangle with its sides as the operator typed them.
// adjusted: the sides are the adjusted ones (the message says so).
TriangleAngles SolveTriangle(int i, const std::vector<double>& sides, const std::vector<double>& observed,
                             bool adjusted, double radiansPerDegree);

// "第i个三角形 (S(2i-1)=a, S(2i)=b, S(2i+1)=c)" with the observed sides.
std::string TriangleWhere(int i, const std::vector<double>& observed);
