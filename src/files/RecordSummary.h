#pragma once
// One line that tells runs apart: the triangle count, the first and last point
// names, and for values still being typed how many there are. The window names
// a cut-off run with it when it offers to continue one, and labels the tables
// of the last completed run while a later run has not completed.
#include <string>

#include "state/CompletedRun.h"
#include "state/ObservationRecord.h"

// "N = 12，王家庄 … 柳树湾，37 个值" (names as far as typed; none yet: left out).
std::string SummaryOfRecord(const ObservationRecord& record);
// "N = 12，王家庄 … 柳树湾".
std::string SummaryOfRun(const ChainInput& input);
