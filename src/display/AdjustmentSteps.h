#pragma once
// The condition adjustment step by step (计算过程), as a textbook prints it: for
// the first and the last linearisation the approximate chain, the misclosures,
// the coefficients of the condition equations, the normal equations, the
// correlates, the corrections with the adjusted sides and the weight
// reciprocals of station M, each table with the formula it comes from. A chain
// of more than STEPS_WHOLE_UP_TO triangles shows its first and last
// STEPS_SHOWN_AT_EACH_END triangles (and their sides and stations) and says so.
// Laid out as the full report is, so it is written as text or PDF as that is.
#include <string>

#include "core/ChainObservations.h"
#include "display/FullReport.h"
#include "state/ChainListing.h"

inline constexpr int STEPS_WHOLE_UP_TO = 200;
inline constexpr int STEPS_SHOWN_AT_EACH_END = 20;

FullReport ComposeAdjustmentSteps(const ChainObservations& observations, const ChainListing& listing,
                                  const std::string& date);
// The blocks of the steps, to be added to the full report as a section of it.
std::vector<FullReportBlock> AdjustmentStepBlocks(const ChainObservations& observations, const ChainListing& listing);
