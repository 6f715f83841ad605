#pragma once
#include "state/ProgramState.h"
#include "dialogue/Platform.h"

// Shows the adjusted points 0..n one at a time, each after a pacing prompt
// whose answer (and Cancel) is discarded.
void ShowAdjustedCoordinates(ProgramState& s, Platform& p);
