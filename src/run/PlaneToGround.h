#pragma once
// The adjusted chain brought back to the ground: each side's plane length as
// the horizontal distance at the mean height of its marks (for setting out).
#include <string>
#include <variant>
#include <vector>

#include "state/CompletedRun.h"

struct GroundSide {
    int k = 0;
    std::string from, to;  // the names of its marks
    double plane = 0;      // adjusted, on the Gauss plane [m]
    double ground = 0;     // horizontal at the marks' mean height [m]
};

// Every side 1..2N+1; or why not: no central meridian, or the height of a
// mark missing (named as the file names it, 高程 3).
std::variant<std::vector<GroundSide>, std::string> PlaneToGround(const CompletedRun& run);
