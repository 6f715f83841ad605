#pragma once
#include <string>
#include <vector>

#include "core/ChainResult.h"
#include "rules/Platform.h"

// Shows the adjusted points 0..ResultPointCount of r with their names one at a
// time, each after a pacing prompt whose answer (and Cancel) is discarded, until
// the operator asks for the rest at once (全部显示); without pacing (a run from a
// complete file) one after the other.
void ShowAdjustedCoordinates(const ChainResult& r, const std::vector<std::string>& names, Platform& p,
                             bool paced = true);
