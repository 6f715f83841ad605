#include "core/DesignChain.h"

#include <cmath>

#include "core/ChainPhases.h"

ChainOutcome DesignChain(const ChainObservations& planned)
{
    ChainObservations o = planned;
    o.design = true;
    const ChainWork w = WorkOf(o);
    ChainResult r = SizedResult(w);
    try {
        ComputeApproximateChain(w, r);
    } catch (const ChainFaultRaised& raised) {
        return ChainOutcome{std::move(r), raised.fault, std::nullopt};
    }
    const auto N = static_cast<std::size_t>(o.N);
    const std::size_t c = PointDGiven(w) ? N - 1 : N;  // the station of C
    o.Xc = r.PointX[c];
    o.Yc = r.PointY[c];
    if (o.closing == ClosingKind::OnCWithD) {
        // C-D keeps its length and takes the azimuth the chain carries to it
        o.ClosingAzimuth = r.RouteAzimuths[N];
        const double T = o.ClosingAzimuth * o.constants.RADIANS_PER_DEGREE, S = o.sides[2 * N + 1].used;
        o.Xd = o.Xc + S * std::cos(T);
        o.Yd = o.Yc + S * std::sin(T);
    } else if (o.closing == ClosingKind::OnCWithAzimuth) {
        o.ClosingAzimuth = r.RouteAzimuths[N + 1];
    }
    return AdjustChain(o);
}
