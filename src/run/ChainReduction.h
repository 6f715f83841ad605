#pragma once
// The sides of a chain measured on the ground reduced to the Gauss plane
// before the adjustment, the window's run and the batch command's alike.
#include <optional>
#include <string>

#include "state/CompletedRun.h"
#include "state/ObservationRecord.h"

// Reduces the input's observations where its reduction asks for it (once: a
// reduced input stays as it is); the reason where it cannot be done.
std::optional<std::string> ReduceChainInput(ChainInput& input);

// The reduction parameters of the record for the input, and the input
// reduced: the reason where either is refused.
std::optional<std::string> ReduceChainInput(ChainInput& input, const ReductionRecord& record);
