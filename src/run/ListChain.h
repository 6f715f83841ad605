#pragma once
// The last completed run as a chain listing: every point named, every side
// between its two named points, for the exports and the batch command.
#include <string>
#include <vector>

#include "core/ChainResult.h"
#include "state/ChainListing.h"
#include "state/ProgramState.h"

// What a run knows only while it lasts; the caller keeps it for the listing.
struct LastRunFigures {
    std::vector<int> RouteSigns;      // 0..N+1: the sign typed with side 2k (N+1: the sign of Qb)
    std::vector<double> Corrections;  // 0..2N+1 [m], the correction of side k
    std::string project;              // 工程名称, may be empty
    std::vector<std::string> notes;   // 备注 lines, may be none
    std::vector<PointPrecision> precisions;  // 0..n for the listed points, or empty
};

// s is the state after a completed run. A and D, which are never named, are
// listed as "A" and "D"; where a typed name already takes one of these, a
// prime is added until the name is free, so that every exported side names
// its ends without ambiguity.
ChainListing ListChain(const ProgramState& s, const LastRunFigures& f);
