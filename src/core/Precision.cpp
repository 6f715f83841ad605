// Precision of the weakest point M:
//   1/px = [fx fx] - u^T N^-1 u, 1/py likewise, from the normal equations;
//   ms = sqrt([vv] / r) [mm], r = number of conditions (3, or 2 without azimuth);
//   mx = ms sqrt(1/px), my = ms sqrt(1/py), md = sqrt(my^2 + mx^2) [mm].
// ms, mx, my and md are single precision: each is rounded when stored, and the
// next uses the stored value.
#include <algorithm>
#include <cmath>

#include "core/AdjustmentPhases.h"
#include "state/RunFault.h"
#include "text/DisplayFormat.h"

// A weight reciprocal of a coordinate the conditions (nearly) fix can come out
// a rounding error below zero; that is a zero. A clearly negative one is a fault.
static double NonNegativeReciprocal(double value, double diagonal, const char* name)
{
    RequireFinite(value, name);
    if (value >= 0) return value;
    if (-value <= 1e-6 * std::max(1.0, std::fabs(diagonal))) return 0;
    RaiseFault(FaultKind::InvalidArgument, std::string(name) + " 为负数，法方程病态，无法评定精度");
}

void ComputeWeightReciprocals(ProgramState& s, Platform& p)
{
    RunState& r = s.run;
    Table6& NM = r.NormalMatrix;
    Table6& NW = r.NormalWork;
    std::int16_t column = 4;
    s.InvPx = NonNegativeReciprocal(scd(NM, NW, column) + NM[4][4], NM[4][4], "纵座标权倒数");
    p.SetFieldText(21, "  " + FormatFixed(s.InvPx, 4));
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) {
            NW[i][j] = NM[i][j];
            NW[j][i] = NM[j][i];
        }
        NW[i][4] = NM[i][5];
    }
    column = 5;
    s.InvPy = NonNegativeReciprocal(scd(NM, NW, column) + NM[5][5], NM[5][5], "横座标权倒数");
    p.SetFieldText(23, "  " + FormatFixed(s.InvPy, 4));
}

static float StoreMillimetres(double value, const char* what)
{
    float stored = static_cast<float>(value);
    RequireFinite(stored, what);
    return stored;
}

void ComputeStandardErrors(ProgramState& s, Platform& p)
{
    const int r = AzimuthConditionUsed(s) ? 3 : 2;
    s.ms = StoreMillimetres(std::sqrt(s.run.SumSquaredCorrections / r) * 1000, "单位权测边中误差");
    p.SetFieldText(16, FormatFixed(s.ms, 2) + " 毫米");
    s.mx = StoreMillimetres(s.ms * std::sqrt(s.InvPx), "纵座标中误差");
    p.SetFieldText(22, "  " + FormatFixed(s.mx, 2) + " 毫米");
    s.my = StoreMillimetres(s.ms * std::sqrt(s.InvPy), "横座标中误差");
    p.SetFieldText(24, "  " + FormatFixed(s.my, 2) + " 毫米");
    double my = s.my, mx = s.mx;
    s.md = StoreMillimetres(std::sqrt(my * my + mx * mx), "点位中误差");
    p.SetFieldText(25, "  " + FormatFixed(s.md, 2) + " 毫米");
}
