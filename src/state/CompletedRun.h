#pragma once
// A chain as it was typed or read, and a run that went through to its last
// display: what it read, what it made and its listing. The window's fields
// after the run, the report, the tables, the exports and the batch command's
// outputs read these; nothing of them is copied elsewhere.
#include <optional>
#include <string>
#include <vector>

#include "core/ChainObservations.h"
#include "core/ChainResult.h"
#include "reduction/ReductionParameters.h"
#include "state/ChainListing.h"

struct ChainInput {
    ChainObservations observations;
    // PointNames 0..: B, the unknown points 1..K, C, and the point after C
    // where the chain has one; kept byte for byte as typed.
    std::vector<std::string> names;
    double TbPacked = 0, QbPacked = 0;  // the closing angles as typed [D.MMSS]; 0 where none
    std::string project;                // 工程名称, may be empty
    std::vector<std::string> notes;     // 备注 lines, may be none
    std::string grade;                  // 等级 the chain is checked against, empty: none
    // The reduction to the Gauss plane where the file gives one (its sides
    // reduced by the run before the adjustment), or only the zone and the
    // heights of a plane chain (for plane-to-ground lengths).
    std::optional<ReductionParameters> reduction;
};

struct CompletedRun {
    ChainInput input;
    ChainResult result;
    ChainListing listing;
};
