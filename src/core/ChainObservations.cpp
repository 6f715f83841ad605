#include "core/ChainObservations.h"

#include "core/ChainTopology.h"
#include "core/ChainWork.h"

ClosingKind ClosingKindOf(double Xd, double Yd, double azimuthDeg, double orientationDeg)
{
    if (Xd != 0 && Yd != 0) return ClosingKind::OnCWithD;
    if (azimuthDeg != 0 || orientationDeg != 0) return ClosingKind::OnCWithAzimuth;
    return ClosingKind::OnC;
}

void SetSides(ChainObservations& o, const std::vector<double>& S, const std::vector<int>& routeSigns)
{
    const bool withD = o.closing == ClosingKind::OnCWithD;
    const ChainTopology t = ChainTopologyOf(o.N, routeSigns, withD);
    o.sides.assign(2 * static_cast<std::size_t>(o.N) + 2, SideObservation{});
    for (int k = 1; k <= 2 * o.N + 1; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        SideObservation& side = o.sides[uk];
        side.k = k;
        side.from = t.sides[uk].from;
        side.to = t.sides[uk].to;
        side.measured = side.used = S.at(uk);
        side.routeSign = k % 2 == 0 ? routeSigns.at(uk / 2) : 0;
        side.fromCoordinates = k == 1 || (withD && k == 2 * o.N + 1);
    }
}

std::vector<int> RouteSignsOf(const ChainObservations& o)
{
    std::vector<int> signs(static_cast<std::size_t>(o.N) + 2, 0);
    for (int i = 1; i <= o.N; ++i) signs[static_cast<std::size_t>(i)] = o.sides.at(2 * static_cast<std::size_t>(i)).routeSign;
    if (o.orientation) {
        const double Q = o.orientation->angleDeg;
        signs[static_cast<std::size_t>(o.N) + 1] = Q > 0 ? 1 : (Q < 0 ? -1 : 0);
    }
    return signs;
}

ChainWork WorkOf(const ChainObservations& o)
{
    ChainWork w;
    w.constants = o.constants;
    w.N = o.N;
    w.closing = o.closing;
    w.Xb = o.Xb, w.Yb = o.Yb, w.Xc = o.Xc, w.Yc = o.Yc, w.Xd = o.Xd, w.Yd = o.Yd;
    w.AzimuthAB = o.AzimuthAB;
    w.ClosingAzimuth = o.ClosingAzimuth;
    w.OrientationAngle = o.orientation ? o.orientation->angleDeg : 0;
    w.SideLengths.assign(o.sides.size(), 0.0);
    for (std::size_t k = 1; k < o.sides.size(); ++k) w.SideLengths[k] = o.sides[k].used;
    w.RouteSigns = RouteSignsOf(o);
    w.UnknownPointCount = o.UnknownPointCount;
    w.sigma0Mm = o.sigma0Mm;
    w.design = o.design;
    if (o.edm) {
        // p_c = mu0^2 / sigma_c^2: sides with sigma and mu0 in mm, the
        // orientation angle with sigma in arc seconds and mu0 in metres
        const double mu0 = UnitWeightSigmaMm(*o.edm);
        w.sigma0Mm = mu0;
        w.weighted = true;
        w.InverseWeights.assign(2 * static_cast<std::size_t>(o.N) + 3, 1.0);
        for (std::size_t k = 2; k < o.sides.size(); ++k) {
            if (o.sides[k].fromCoordinates) continue;
            const double ratio = SideSigmaMm(*o.edm, o.sides[k]) / mu0;
            w.InverseWeights[k] = ratio * ratio;
        }
        if (o.orientation && o.orientation->sigmaSec) {
            const double ratio = *o.orientation->sigmaSec / (mu0 / 1000);
            w.InverseWeights.back() = ratio * ratio;
        }
    }
    return w;
}

double SideSigmaMm(const DistanceAccuracy& edm, const SideObservation& s)
{
    if (s.sigmaMm) return *s.sigmaMm;
    return edm.aMm + edm.bPpm * (s.measured / 1000);
}
