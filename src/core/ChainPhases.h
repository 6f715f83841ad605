#pragma once
// The steps of one adjustment, in the order AdjustChain takes them. Each reads
// the observations and the result so far, adds its own figures to the result,
// and throws ChainFaultRaised when it cannot go on.
#include "core/ChainFault.h"
#include "core/ChainWork.h"
#include "core/ChainResult.h"

// Every table of the result sized (and cleared) for N triangles; the sides
// copied into ObservedSides and SideLengths.
ChainResult SizedResult(const ChainWork& o);
// Triangle angles and heights, route azimuths and approximate station
// coordinates up to C.
void ComputeApproximateChain(const ChainWork& o, ChainResult& r);
// w1 [arc s], w2, w3 [m] into Misclosures, and the shown figures.
void ComputeMisclosures(const ChainWork& o, ChainResult& r);
// The misclosures at o in double precision (after ComputeApproximateChain),
// computed minus known, as the single step forms them: w1 [arc s] the short
// way round, w2, w3 [m].
std::array<double, 4> MisclosuresAt(const ChainWork& o, const ChainResult& r);
// Condition rows 1..3, weight-function rows 4..5 of the weakest point, normal
// equations into NormalMatrix and NormalWork.
void FormConditionEquations(const ChainWork& o, ChainResult& r);
// 1/px and 1/py of the weakest point.
void ComputeWeightReciprocals(ChainResult& r);
// Correlates, corrections, adjusted sides, [vv]: the single step.
void ApplyCorrections(const ChainWork& o, ChainResult& r);
// The single step, then the conditions linearised again at the adjusted
// observations until the corrections settle (a NotConverged fault after
// ITERATION_LIMIT linearisations). Leaves the tables of the last linearisation
// (normal tables unreduced), Qkk, the total corrections and the adjusted
// sides; returns the observations that linearisation was made at.
ChainWork AdjustIteratively(const ChainWork& o, ChainResult& r);
// What one more linearisation after r's last (AdjustIteratively's) would
// move: the largest change of a side's correction, of a point of the route
// (the far end of a leg) [m], and of the orientation angle's correction
// [arc s]. The solution has settled where none reaches 1e-6 m, 0.0001".
struct LinearisationMoves {
    double correction = 0, point = 0;  // [m]
    double orientation = 0;            // [arc s]
};
LinearisationMoves MovesOfOneMoreLinearisation(const ChainWork& o, const ChainResult& r);
// ms, mx, my, md.
void ComputeStandardErrors(const ChainWork& o, ChainResult& r);
// [pvv] of the corrections: sides [m^2] and the orientation angle, each by its
// weight (1 without weights).
double WeightedSquareSum(const ChainWork& o, const ChainResult& r);
// Cofactors, standard errors and error ellipse of every listed point, from the
// linearisation made at `at` (AdjustIteratively's).
void ComputePointPrecision(const ChainWork& at, ChainResult& r);
// The weakest point from every point's cofactors (after ComputePointPrecision):
// where it is not the station M the condition rows 4, 5 stand for, its Qxx,
// Qyy become 1/px, 1/py and mx, my, md follow.
void ChooseWeakestPoint(const ChainWork& o, ChainResult& r);
// Redundancy numbers of every observation, [pvv]; with o.sigma0Mm (mu0) the
// a-priori standard errors and the tests.
void ComputeRedundancy(const ChainWork& o, ChainResult& r);
// How well each observation is checked: lambda, and with mu0 the minimal
// detectable bias and the shift it gives the weakest point (after
// ChooseWeakestPoint and ComputeRedundancy), from the linearisation at `at`.
void ComputeDetectability(const ChainWork& at, ChainResult& r);
// Standard error ellipse of cofactors Qxx, Qyy, Qxy and unit weight ms [mm].
ErrorEllipse EllipseOf(double Qxx, double Qyy, double Qxy, double ms);
// Every side's adjusted standard error, relative error, grid azimuth and its
// standard error, and the weakest side (after ComputeAdjustedCoordinates and
// ComputeRedundancy), from the linearisation at `at`.
void ComputeSidePrecision(const ChainWork& at, ChainResult& r);
// Coordinates of the new points carried again with the adjusted sides.
void ComputeAdjustedCoordinates(const ChainWork& o, ChainResult& r);
// A ClosureMissed fault when the adjusted chain misses the known C by more
// than a millimetre.
void CheckAdjustedClosure(const ChainWork& o, ChainResult& r);

// The normal-equation solver: Gauss-Doolittle reduction of rows 2 and 3 of Q
// (upper triangle only, no pivoting), back substitution of N x + u = 0 with
// u = Q(1..3, 4), and the product of x with P(1..3, r). Zero pivots are faults.
double scd(const Table6& P, Table6& Q, std::int16_t& FunctionColumn);

// The reduction and back substitution scd is made of; the correlates of the
// adjustment use them on NormalMatrix in place.
void ReduceNormalRows(Table6& Q);
void BackSubstitute(const Table6& Q, double x[4]);

// The triangle with the smallest angle, where the linearisation is poorest.
int FlattestTriangle(const ChainResult& r, int N);

// Throws a NotFinite fault for the quantity unless value is finite.
void RequireFinite(double value, ChainQuantity quantity);
[[noreturn]] void RaiseChainFault(const ChainFault& fault);
