#pragma once
// The adjustment of a trilateration chain by the method of conditions: plain
// observations in, a plain result out.
#include <optional>

#include "core/ChainFault.h"
#include "core/ChainObservations.h"
#include "core/ChainResult.h"

struct ChainOutcome {
    ChainResult result;               // as far as the computation got
    std::optional<ChainFault> fault;  // why it stopped, when it did not complete
};

ChainOutcome AdjustChain(const ChainObservations& o);
