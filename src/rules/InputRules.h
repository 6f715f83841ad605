#pragma once
// Every rule a typed value must pass, written once: the dialogue asks again
// with the reason, an observation file is refused with it. Each rule returns
// the reason shown to the operator, or nothing when the value passes.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using Refusal = std::optional<std::string>;

// A number as the dialogue reads it (text/NumberReading.h); value gets it.
Refusal RefuseNumber(std::string_view typed, double& value);
// N: the typed number rounded to the nearest integer (halves to even), 1..16382.
Refusal RefuseTriangleCount(double typed, std::int16_t& N);
// A and B must differ: the known side A-B has a length.
Refusal RefuseStartSide(double Xa, double Ya, double Xb, double Yb);
// D: both coordinates zero (no D) or both non-zero, at least two triangles,
// and not on C.
Refusal RefusePointD(double Xc, double Yc, double Xd, double Yd, int N);
// A packed angle D.MMSS [deg.MMSS] whose minutes and seconds are below 60;
// degrees gets its decimal degrees.
Refusal RefusePackedAngle(double typed, double& degrees);
// An orientation angle [deg] needs an external azimuth [deg] to refer to.
Refusal RefuseClosingAngles(double azimuthDegrees, double orientationDegrees);
// With D the route must end on C: C may not fall on B (N = 2 with equal
// signs) nor be the pivot of the last three legs (last three signs equal).
// signs: 0..N, element k the sign typed with side 2k.
Refusal RefuseRouteSigns(const std::vector<int>& signs, int N, bool pointDGiven);
// Triangle i must be one the adjustment can solve: no zero side, three sides
// that form a triangle, not three points in a line. S: the sides 1..2i+1 [m],
// even sides without their sign, as the adjustment reads them; shown: the
// three sides as typed, for the reason.
Refusal RefuseTriangle(int i, const std::vector<double>& S, const std::array<std::string, 3>& shown,
                       double radiansPerDegree);
