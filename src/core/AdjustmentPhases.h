#pragma once
// The computation phases of a run, in the order the run calls them. Each works
// on the state directly; the ones that show a result take the platform.
#include "state/ProgramState.h"
#include "dialogue/Platform.h"

// Observed copy, triangle angles and heights, route azimuths and approximate
// station coordinates up to C.
void ComputeApproximateChain(ProgramState& s);
// w1 [arc s], w2, w3 [m] into Misclosures; shown in Text12, Text14, Text15.
void ComputeMisclosures(ProgramState& s, Platform& p);
// Condition rows 1..3, weight-function rows 4..5 of the weakest point, normal
// equations into NormalMatrix and NormalWork.
void FormConditionEquations(ProgramState& s);
// 1/px and 1/py of the weakest point, shown in Text21 and Text23.
void ComputeWeightReciprocals(ProgramState& s, Platform& p);
// Correlates, corrections, adjusted sides in place, [vv].
void ApplyCorrections(ProgramState& s);
// ms, mx, my, md, shown in Text16, Text22, Text24, Text25.
void ComputeStandardErrors(ProgramState& s, Platform& p);
// Coordinates of the new points carried again with the adjusted sides.
void ComputeAdjustedCoordinates(ProgramState& s);
// Raises a named fault when the adjusted chain misses the known C by more than
// a millimetre.
void CheckAdjustedClosure(ProgramState& s);

// The normal-equation solver: Gauss-Doolittle reduction of rows 2 and 3 of Q
// (upper triangle only, no pivoting), back substitution of N x + u = 0 with
// u = Q(1..3, 4), and the product of x with P(1..3, r). Zero pivots are faults.
double scd(const Table6& P, Table6& Q, std::int16_t& FunctionColumn);

// The reduction and back substitution scd is made of; the correlates of the
// adjustment use them on NormalMatrix in place.
void ReduceNormalRows(Table6& Q);
void BackSubstitute(const Table6& Q, double x[4]);
