// Misclosures, computed minus known: w1 of the closing azimuth [arc seconds],
// w2, w3 of the coordinates of C [m]. Stored in single precision; shown in
// seconds and in millimetres (the product by 1000 formed in single precision).
// The azimuth difference is taken the short way round, into -180..180 deg: a
// route azimuth left unreduced after a pivot (or one just past north against a
// known one just before it) differs from the known one by a whole turn, which
// is no misclosure at all.
#include <cmath>

#include "core/AdjustmentPhases.h"
#include "dialogue/PromptTexts.h"
#include "state/RunFault.h"
#include "text/DisplayFormat.h"

static float StoreSingle(double value, const char* what)
{
    float stored = static_cast<float>(value);
    RequireFinite(stored, what);
    return stored;
}

void ComputeMisclosures(ProgramState& s, Platform& p)
{
    RunState& r = s.run;
    const int N = s.TriangleCount;
    // station of the computed C: N-1 with D (leg N is C->D), else N
    int c = PointDGiven(s) ? N - 1 : N;
    std::array<float, 4>& w = s.Misclosures;

    if (PointDGiven(s) || r.ClosingAzimuth != 0) {
        double computed = PointDGiven(s) ? r.RouteAzimuths[N] : r.RouteAzimuths[N + 1];
        double difference = std::remainder(computed - r.ClosingAzimuth, 360.0);  // exact
        w[1] = StoreSingle(difference * 3600, "方位角闭合差");
        p.SetFieldText(12, " " + FormatFixed(w[1], 2) + " 秒");
    } else {
        w[1] = 0;
        p.SetFieldText(12, texts::NO_ANGLE_CONDITION);
    }
    w[2] = StoreSingle(s.PointX[c] - s.Xc, "纵座标闭合差");
    p.SetFieldText(14, " " + FormatFixed(StoreSingle(w[2] * 1000.0f, "纵座标闭合差"), 2) + " 毫米");
    w[3] = StoreSingle(s.PointY[c] - s.Yc, "横座标闭合差");
    p.SetFieldText(15, " " + FormatFixed(StoreSingle(w[3] * 1000.0f, "横座标闭合差"), 2) + " 毫米");
}
