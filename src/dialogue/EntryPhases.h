#pragma once
// The input phases of a run, in the order the run calls them.
#include "state/ProgramState.h"
#include "rules/Platform.h"

// Triangle count N, asked once without confirmation; shown in Text29.
void EnterTriangleCount(ProgramState& s, Platform& p);
// Coordinates of A, B, C and D, each confirmed; refuses A = B, C = D, a D with
// one zero coordinate, and a D with a single triangle.
void EnterKnownPoints(ProgramState& s, Platform& p);
// Side C-D and azimuth C->D, or the external azimuth and orientation angle at
// C; the condition text in Text27.
void EnterClosingOrientation(ProgramState& s, Platform& p);
// Side A-B and azimuth A->B from the coordinates.
void DeriveStartSide(ProgramState& s);
// Sides 2..2N (and 2N+1 without D) with their route signs; the unknown-point
// count. Refuses sign patterns that cannot close on C and D.
void EnterSideLengths(ProgramState& s, Platform& p);
// Names of B, of the unknown points, of C and of the point after C.
void EnterPointNames(ProgramState& s, Platform& p);
