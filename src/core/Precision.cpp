// Precision of the weakest point M:
//   1/px = [fx fx] - u^T N^-1 u, 1/py likewise, from the normal equations;
//   ms = sqrt([vv] / r) [mm], r = number of conditions (3, or 2 without azimuth);
//        with weights sqrt([pvv] / r), the orientation angle included; in a
//        design mu0, the a-priori standard error of unit weight;
//   mx = ms sqrt(1/px), my = ms sqrt(1/py), md = sqrt(my^2 + mx^2) [mm].
// ms, mx, my and md are single precision: each is rounded when stored, and the
// next uses the stored value.
#include <algorithm>
#include <cmath>

#include "core/ChainPhases.h"

// A weight reciprocal of a coordinate the conditions (nearly) fix can come out
// a rounding error below zero; that is a zero. A clearly negative one is a fault.
static double NonNegativeReciprocal(double value, double diagonal, ChainQuantity quantity)
{
    RequireFinite(value, quantity);
    if (value >= 0) return value;
    if (-value <= 1e-6 * std::max(1.0, std::fabs(diagonal))) return 0;
    ChainFault fault;
    fault.kind = ChainFaultKind::NegativeReciprocal;
    fault.quantity = quantity;
    RaiseChainFault(fault);
}

void ComputeWeightReciprocals(ChainResult& r)
{
    Table6& NM = r.NormalMatrix;
    Table6& NW = r.NormalWork;
    std::int16_t column = 4;
    r.InvPx = NonNegativeReciprocal(scd(NM, NW, column) + NM[4][4], NM[4][4], ChainQuantity::WeightReciprocalX);
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) {
            NW[i][j] = NM[i][j];
            NW[j][i] = NM[j][i];
        }
        NW[i][4] = NM[i][5];
    }
    column = 5;
    r.InvPy = NonNegativeReciprocal(scd(NM, NW, column) + NM[5][5], NM[5][5], ChainQuantity::WeightReciprocalY);
}

static float StoreMillimetres(double value, ChainQuantity quantity)
{
    float stored = static_cast<float>(value);
    RequireFinite(stored, quantity);
    return stored;
}

double WeightedSquareSum(const ChainWork& o, const ChainResult& r)
{
    if (o.InverseWeights.empty()) return r.SumSquaredCorrections + r.OrientationCorrection * r.OrientationCorrection;
    double pvv = 0;
    for (std::size_t c = 2; c <= 2 * static_cast<std::size_t>(o.N) + 1; ++c)
        pvv += r.Corrections[c] * r.Corrections[c] / o.InverseWeights[c];
    return pvv + r.OrientationCorrection * r.OrientationCorrection / o.InverseWeights.back();
}

void ComputeStandardErrors(const ChainWork& o, ChainResult& r)
{
    const int conditions = AzimuthConditionUsed(o) ? 3 : 2;
    const double squares = o.weighted ? WeightedSquareSum(o, r) : r.SumSquaredCorrections;
    // a design has no corrections: its standard errors rest on mu0
    const double unit = o.design && o.sigma0Mm ? *o.sigma0Mm : std::sqrt(squares / conditions) * 1000;
    const float ms = StoreMillimetres(unit, ChainQuantity::UnitWeightError);
    r.ms = ms;
    const float mx = StoreMillimetres(ms * std::sqrt(*r.InvPx), ChainQuantity::NorthingError);
    r.mx = mx;
    const float my = StoreMillimetres(ms * std::sqrt(*r.InvPy), ChainQuantity::EastingError);
    r.my = my;
    const double myd = my, mxd = mx;
    r.md = StoreMillimetres(std::sqrt(myd * myd + mxd * mxd), ChainQuantity::PositionError);
}
