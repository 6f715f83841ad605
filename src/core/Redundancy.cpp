// The check of every observation (index k: side k = 2..2N+1, 2N+2 the
// orientation angle; weight 1 each, the orientation angle in arc seconds):
//   r_k = a_k' Qkk a_k     redundancy number, the diagonal of the cofactors
//                          A' N^-1 A of the corrections [-]; sum r_k = trace
//                          (N^-1 N) = the number of conditions
//   [pvv] = sum v_k^2      [m^2], the orientation angle's v_Q^2 [arc s^2] with it
// With an a-priori standard error sigma0 of one side [m] (the orientation
// angle's is sigma0 in arc seconds, by the weights):
//   w_k = v_k / (sigma0 sqrt(r_k)) for r_k >= 0.01, normally distributed for
//   a chain without blunders; |w_k| > 3.29 flags observation k
//   T = [pvv] / sigma0^2 against chi-square(conditions) at 95 %
// An observation with r_k < 0.01 is checked by (almost) nothing: no w.
#include <cmath>

#include "core/AdjustChain.h"
#include "core/ChainPhases.h"
#include "core/ChiSquare.h"

namespace {

constexpr double LEAST_TESTED_REDUNDANCY = 0.01;

}  // namespace

void ComputeRedundancy(const ChainWork& o, ChainResult& r)
{
    const std::size_t columns = 2 * static_cast<std::size_t>(o.N) + 3;
    r.Redundancy.assign(columns, 0.0);
    r.Normalised.assign(columns, std::nullopt);
    r.SumRedundancy = 0;
    for (std::size_t c = 2; c < columns; ++c) {
        const double a[3] = {r.ConditionCoefficients[1][c], r.ConditionCoefficients[2][c], r.ConditionCoefficients[3][c]};
        double rc = 0;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) rc += a[i] * r.Qkk[i + 1][j + 1] * a[j];
        r.Redundancy[c] = rc;
        r.SumRedundancy += rc;
    }
    r.SumWeightedSquares = r.SumSquaredCorrections + r.OrientationCorrection * r.OrientationCorrection;
    r.globalTest.reset();
    if (o.sigma0Mm) TestCorrections(r, *o.sigma0Mm);
}

void TestCorrections(ChainResult& r, double sigma0Mm)
{
    const double sigma0 = sigma0Mm / 1000;  // [m], and arc seconds for the orientation angle
    const std::size_t Q = r.Redundancy.size() - 1;
    for (std::size_t c = 2; c <= Q; ++c) {
        const double rc = r.Redundancy[c];
        const double v = c == Q ? r.OrientationCorrection : r.Corrections[c];
        r.Normalised[c] = rc >= LEAST_TESTED_REDUNDANCY ? std::optional<double>(v / (sigma0 * std::sqrt(rc))) : std::nullopt;
    }
    GlobalTest t;
    t.statistic = r.SumWeightedSquares / (sigma0 * sigma0);
    t.dof = r.ConditionCount;
    t.critical = ChiSquareQuantile(0.95, t.dof);
    t.passed = t.statistic <= t.critical;
    r.globalTest = t;
}
