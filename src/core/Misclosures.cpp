// Misclosures, computed minus known: w1 of the closing azimuth [arc seconds],
// w2, w3 of the coordinates of C [m]. Stored in single precision; shown in
// seconds and in millimetres (the product by 1000 formed in single precision).
// Without an azimuth condition w1 is 0 and not shown.
// The azimuth difference is taken the short way round, into -180..180 deg: a
// route azimuth left unreduced after a pivot (or one just past north against a
// known one just before it) differs from the known one by a whole turn, which
// is no misclosure at all.
#include <cmath>

#include "core/ChainPhases.h"

static float StoreSingle(double value, ChainQuantity quantity)
{
    float stored = static_cast<float>(value);
    RequireFinite(stored, quantity);
    return stored;
}

void ComputeMisclosures(const ChainWork& o, ChainResult& r)
{
    const int N = o.N;
    // station of the computed C: N-1 with D (leg N is C->D), else N
    int c = PointDGiven(o) ? N - 1 : N;
    std::array<float, 4>& w = r.Misclosures;

    if (PointDGiven(o) || ExternalAzimuthGiven(o)) {
        double computed = PointDGiven(o) ? r.RouteAzimuths[N] : r.RouteAzimuths[N + 1];
        double difference = std::remainder(computed - o.ClosingAzimuth, 360.0);  // exact
        w[1] = StoreSingle(difference * 3600, ChainQuantity::AzimuthMisclosure);
        r.wbSeconds = w[1];
    } else {
        w[1] = 0;
        r.withoutAngleCondition = true;
    }
    w[2] = StoreSingle(r.PointX[c] - o.Xc, ChainQuantity::NorthingMisclosure);
    r.wxMillimetres = StoreSingle(w[2] * 1000.0f, ChainQuantity::NorthingMisclosure);
    w[3] = StoreSingle(r.PointY[c] - o.Yc, ChainQuantity::EastingMisclosure);
    r.wyMillimetres = StoreSingle(w[3] * 1000.0f, ChainQuantity::EastingMisclosure);
}
