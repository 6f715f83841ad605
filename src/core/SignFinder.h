#pragma once
// The sign finder: a wrong left/right typed with one even side, or a wrong
// sign of the orientation angle, is the commonest slip in typing a chain.
// For every candidate (each route sign reversed alone, and the orientation
// angle's sign) the misclosures the chain would have are formed, in linear
// time for all of them together (RouteMotions), and ranked by their test
// statistic w' (A Q A')^-1 w with A of the chain the candidate makes.
//   one sign    the best passes the test at 95 % and the runner-up is at
//               least RUNNER_UP_FACTOR times worse
//   two signs   the best passes and the runner-up is closer than that
//   no sign     the best does not pass
// With D a reversed sign of side 2N-2 or 2N moves C along the route (the
// count of new points changes): those two are computed in full, and a
// reversal that leaves signs the chain cannot close with is no candidate.
#include <optional>

#include "core/ChainObservations.h"
#include "core/SignDiagnosis.h"

constexpr double RUNNER_UP_FACTOR = 10;
// A completed chain is looked at when its statistic lies this many times
// beyond its 95 % quantile: misclosures some ten times their tolerance.
constexpr double FAR_BEYOND_FACTOR = 100;

// The diagnosis of o where its misclosures as typed fail the test at 95 %;
// nothing where they pass or a triangle cannot be solved from its sides.
std::optional<SignDiagnosis> FindWrongSign(const ChainObservations& o);
