#include "core/SignFinder.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/ChainPhases.h"
#include "core/ChiSquare.h"
#include "core/RouteMotions.h"

namespace {

// Whether the chain can close on C with D with these signs (the rule the
// input applies: not two equal signs in a chain of two, not the last three equal).
bool SignsCloseWithD(const std::vector<int>& sigma, int N)
{
    auto at = [&sigma](int k) { return sigma[static_cast<std::size_t>(k)]; };
    if (N == 2 && at(1) == at(2)) return false;
    return !(N >= 3 && at(N - 2) == at(N - 1) && at(N - 1) == at(N));
}

SignCandidate CandidateOf(int side, int triangle, int typedSign, const ClosingFigures& f, bool azimuthCondition)
{
    SignCandidate c;
    c.side = side;
    c.triangle = triangle;
    c.typedSign = typedSign;
    c.w = f.w;
    c.statistic = MisclosureStatistic(f, azimuthCondition);
    if (std::isnan(c.statistic)) c.statistic = std::numeric_limits<double>::infinity();
    return c;
}

}  // namespace

std::optional<SignDiagnosis> FindWrongSign(const ChainObservations& o)
{
    const ChainWork w = WorkOf(o);
    const ObservationSigmas s = SigmasOf(o);
    const int N = w.N;
    if (N < 1) return std::nullopt;
    RouteMotions m;
    try {
        m = RouteMotionsOf(w, s);
    } catch (const ChainFaultRaised&) {
        return std::nullopt;
    }
    const bool azimuthCondition = AzimuthConditionUsed(w);
    SignDiagnosis d;
    d.conditions = azimuthCondition ? 3 : 2;
    d.critical = ChiSquareQuantile(0.95, d.conditions);
    const ClosingFigures typed = ClosingAsTyped(m);
    d.w = typed.w;
    d.statistic = MisclosureStatistic(typed, azimuthCondition);
    if (d.statistic <= d.critical) return std::nullopt;

    std::vector<SignCandidate> candidates;
    for (int i = 1; i <= N; ++i) {
        const int sign = w.RouteSigns[static_cast<std::size_t>(i)];
        if (sign == 0) continue;
        ChainWork flipped;
        if (PointDGiven(w) && i >= N - 2) {
            flipped = w;
            flipped.RouteSigns[static_cast<std::size_t>(i)] = -sign;
            if (!SignsCloseWithD(flipped.RouteSigns, N)) continue;
        }
        try {
            const ClosingFigures f = PointDGiven(w) && i >= N - 1 ? ClosingComputedInFull(flipped, s)
                                                                   : ClosingWithSignFlipped(m, i);
            candidates.push_back(CandidateOf(2 * i, i, sign, f, azimuthCondition));
        } catch (const ChainFaultRaised&) {
            // a chain these signs cannot carry is no candidate
        }
    }
    d.orientationTried = ExternalAzimuthGiven(w) && w.OrientationAngle != 0;
    if (d.orientationTried)
        candidates.push_back(CandidateOf(0, N + 1, w.OrientationAngle > 0 ? 1 : -1, ClosingWithOrientationFlipped(m),
                                         azimuthCondition));
    if (candidates.empty()) return d;

    auto better = [](const SignCandidate& a, const SignCandidate& b) { return a.statistic < b.statistic; };
    const std::size_t kept = std::min<std::size_t>(2, candidates.size());
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(kept), candidates.end(), better);
    d.best.assign(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(kept));
    // The two kept carried in full: the figures the corrected chain will show
    // (the products leave out the turns of the shortened pi at every 360).
    for (SignCandidate& c : d.best) {
        ChainWork flipped = w;
        if (c.side == 0) flipped.OrientationAngle = -w.OrientationAngle;
        else flipped.RouteSigns[static_cast<std::size_t>(c.triangle)] = -c.typedSign;
        try {
            c = CandidateOf(c.side, c.triangle, c.typedSign, ClosingComputedInFull(flipped, s), azimuthCondition);
        } catch (const ChainFaultRaised&) {
            c.statistic = std::numeric_limits<double>::infinity();
        }
    }
    std::sort(d.best.begin(), d.best.end(), better);
    const SignCandidate& best = d.best[0];
    if (!(best.statistic <= d.critical)) return d;
    if (kept == 1 || d.best[1].statistic >= RUNNER_UP_FACTOR * best.statistic) {
        d.verdict = SignVerdict::OneSign;
        d.firstTriangle = best.triangle;
    } else {
        d.verdict = SignVerdict::TwoSigns;
        d.firstTriangle = std::min(best.triangle, d.best[1].triangle);
    }
    return d;
}
