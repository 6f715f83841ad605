#pragma once
// Where every point of a chain lies, near enough to reduce its sides: the
// known points from their coordinates, the others carried through the chain
// by the core's own approximate solution of the sides as they stand.
#include <map>
#include <optional>

#include "core/ChainObservations.h"
#include "reduction/GaussKruger.h"

// Point id (ChainTopology's: A -1, B 0, 1..N) -> grid coordinates [m];
// nullopt where the chain cannot be solved (a triangle that does not close).
std::optional<std::map<int, PlanePoint>> ApproximatePoints(const ChainObservations& o);
