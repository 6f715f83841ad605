#pragma once
#include "state/ProgramState.h"
#include "rules/Platform.h"

// Shows the adjusted points 0..ResultPointCount one at a time, each after a
// pacing prompt whose answer (and Cancel) is discarded; without pacing (a run
// from a complete file) one after the other.
void ShowAdjustedCoordinates(const ProgramState& s, Platform& p, bool paced = true);
