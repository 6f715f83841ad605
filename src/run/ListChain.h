#pragma once
// A completed run as a chain listing: every point named, every side between
// its two named points, for the exports, the tables and the batch command.
#include "core/ChainResult.h"
#include "state/ChainListing.h"
#include "state/CompletedRun.h"

// A and D, which are never named, are listed as "A" and "D"; where a typed
// name already takes one of these, a prime is added until the name is free,
// so that every exported side names its ends without ambiguity.
ChainListing ListChain(const ChainInput& input, const ChainResult& r);
