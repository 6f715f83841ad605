#include "ChainTables.h"

#include "core/Geometry.h"
#include "support/ChainGenerator.h"

ChainWork NamedClosing(ChainWork w)
{
    w.closing = ClosingKindOf(w.Xd, w.Yd, w.ClosingAzimuth, w.OrientationAngle);
    return w;
}

ChainObservations ObservationsFromTables(const ChainWork& tables)
{
    const ChainWork w = NamedClosing(tables);
    ChainObservations o;
    o.constants = w.constants;
    o.N = w.N;
    o.closing = w.closing;
    o.Xb = w.Xb, o.Yb = w.Yb, o.Xc = w.Xc, o.Yc = w.Yc, o.Xd = w.Xd, o.Yd = w.Yd;
    o.AzimuthAB = w.AzimuthAB;
    o.ClosingAzimuth = w.ClosingAzimuth;
    if (o.closing == ClosingKind::OnCWithAzimuth) o.orientation = OrientationObservation{w.OrientationAngle, std::nullopt};
    SetSides(o, w.SideLengths, w.RouteSigns);
    o.UnknownPointCount = w.UnknownPointCount;
    o.sigma0Mm = w.sigma0Mm;
    return o;
}

ChainObservations ObservationsOfGenerated(const chain::GeneratedChain& g)
{
    ChainWork w;
    w.N = g.N;
    w.Xb = g.B.x, w.Yb = g.B.y, w.Xc = g.C.x, w.Yc = g.C.y;
    const double rpd = w.constants.RADIANS_PER_DEGREE;
    const LengthAzimuth ab = AzimuthFromDifferences(g.B.x - g.A.x, g.B.y - g.A.y, rpd);
    w.AzimuthAB = ab.alpha;
    w.SideLengths = g.typedSides;
    w.SideLengths[1] = ab.S;
    const auto n = static_cast<std::size_t>(g.N);
    if (g.spec.closing == chain::Closing::PointD) {
        w.Xd = g.D.x, w.Yd = g.D.y;
        const LengthAzimuth cd = AzimuthFromDifferences(g.D.x - g.C.x, g.D.y - g.C.y, rpd);
        w.ClosingAzimuth = cd.alpha;
        w.SideLengths[2 * n + 1] = cd.S;
    } else if (g.spec.closing == chain::Closing::ExternalAzimuth) {
        w.ClosingAzimuth = g.azimuthTypedDeg;
        w.OrientationAngle = g.orientationTypedDeg;
    }
    w.RouteSigns.assign(n + 2, 0);
    for (std::size_t i = 1; i <= n; ++i) w.RouteSigns[i] = g.signs[i];
    const bool withD = g.spec.closing == chain::Closing::PointD;
    w.UnknownPointCount = !withD ? g.N - 1 : (g.signs[n - 1] != g.signs[n] ? g.N - 2 : g.N - 3);
    ChainObservations o = ObservationsFromTables(w);
    o.Xa = g.A.x, o.Ya = g.A.y;
    return o;
}

ChainObservations WithSignReversed(ChainObservations o, int i)
{
    std::vector<double> S(o.sides.size(), 0.0);
    for (std::size_t k = 1; k < o.sides.size(); ++k) S[k] = o.sides[k].used;
    std::vector<int> signs = RouteSignsOf(o);
    signs[static_cast<std::size_t>(i)] = -signs[static_cast<std::size_t>(i)];
    std::vector<std::optional<double>> sigmas;
    for (const SideObservation& side : o.sides) sigmas.push_back(side.sigmaMm);
    SetSides(o, S, signs);
    for (std::size_t k = 0; k < o.sides.size(); ++k) o.sides[k].sigmaMm = sigmas[k];
    // with D the new points before C, as the input counts them
    const auto n = static_cast<std::size_t>(o.N);
    if (o.closing == ClosingKind::OnCWithD && o.N >= 2) o.UnknownPointCount = signs[n - 1] != signs[n] ? o.N - 2 : o.N - 3;
    return o;
}
