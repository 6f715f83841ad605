#include "ChainTables.h"

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
