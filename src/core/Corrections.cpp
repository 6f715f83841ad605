// Correlates k of N k + w = 0, corrections v = P^-1 A^T k of every side [m], the
// adjusted sides in place, and [vv] [m^2]. The orientation angle column gets
// no correction. Nothing is applied until all three correlates exist.
#include "core/ChainPhases.h"

void ApplyCorrections(const ChainWork& o, ChainResult& r)
{
    const int N = o.N;
    Table6& NM = r.NormalMatrix;
    for (int i = 1; i <= 3; ++i) NM[i][4] = r.Misclosures[i];
    ReduceNormalRows(NM);
    double k[4] = {0, 0, 0, 0};
    BackSubstitute(NM, k);
    for (int i = 1; i <= 3; ++i) r.Correlates[i] = k[i];

    const std::vector<double>& A1 = r.ConditionCoefficients[1];
    const std::vector<double>& A2 = r.ConditionCoefficients[2];
    const std::vector<double>& A3 = r.ConditionCoefficients[3];
    double vv = 0;
    for (int c = 2; c <= 2 * N + 1; ++c) {
        double v = ((k[1] * A1[c] + k[2] * A2[c]) + k[3] * A3[c]) * InverseWeight(o, static_cast<std::size_t>(c));
        r.Corrections[c] = v;
        vv = vv + v * v;
    }
    RequireFinite(vv, ChainQuantity::Corrections);
    for (int c = 2; c <= 2 * N + 1; ++c) r.SideLengths[c] = r.SideLengths[c] + r.Corrections[c];
    r.SumSquaredCorrections = vv;
}
