// The check of every observation (index k: side k = 2..2N+1, 2N+2 the
// orientation angle; weight p_k, 1 each without weights, the orientation
// angle in arc seconds):
//   r_k = a_k' Qkk a_k / p_k   redundancy number, p_k times the diagonal of
//                          the cofactors P^-1 A' N^-1 A P^-1 of the
//                          corrections [-]; sum r_k = trace (N^-1 N) = the
//                          number of conditions
//   [pvv] = sum p_k v_k^2  [m^2], the orientation angle's p_Q v_Q^2 with it
// With an a-priori standard error of unit weight mu0 [m] the standard error
// of observation k is sigma_k = mu0 sqrt(1/p_k) (a side [m]; the orientation
// angle [arc s], by the weights), and
//   w_k = v_k / (sigma_k sqrt(r_k)) for r_k >= 0.01, normally distributed for
//   a chain without blunders; |w_k| > 3.29 flags observation k
//   T = [pvv] / mu0^2 against chi-square(conditions) at 95 %
// An observation with r_k < 0.01 is checked by (almost) nothing: no w.
#include <cmath>

#include "core/AdjustChain.h"
#include "core/ChainPhases.h"
#include "core/ChiSquare.h"

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
        rc *= InverseWeight(o, c);
        r.Redundancy[c] = rc;
        r.SumRedundancy += rc;
    }
    r.SumWeightedSquares = WeightedSquareSum(o, r);
    r.globalTest.reset();
    r.Weighted = o.weighted;
    r.Mu0Mm = o.sigma0Mm;
    r.Sigma.clear();
    if (o.sigma0Mm) {
        const double mu0 = *o.sigma0Mm / 1000;  // [m], and arc seconds for the orientation angle
        r.Sigma.assign(columns, 0.0);
        for (std::size_t c = 2; c < columns; ++c) r.Sigma[c] = mu0 * std::sqrt(InverseWeight(o, c));
        // A-B and, with D, C-D are not observations
        if (PointDGiven(o)) r.Sigma[columns - 2] = 0;
        if (!ExternalAzimuthGiven(o)) r.Sigma[columns - 1] = 0;
        TestCorrections(r, *o.sigma0Mm);
    }
}

void TestCorrections(ChainResult& r, double sigma0Mm)
{
    const double mu0 = sigma0Mm / 1000;  // [m], and arc seconds for the orientation angle
    const std::size_t Q = r.Redundancy.size() - 1;
    for (std::size_t c = 2; c <= Q; ++c) {
        const double rc = r.Redundancy[c];
        const double v = c == Q ? r.OrientationCorrection : r.Corrections[c];
        // the observation's own standard error where the result has one (a
        // known side's is 0: it has r = 0 and no test)
        const double sigma = c < r.Sigma.size() && r.Sigma[c] > 0 ? r.Sigma[c] : mu0;
        r.Normalised[c] = rc >= LEAST_TESTED_REDUNDANCY ? std::optional<double>(v / (sigma * std::sqrt(rc))) : std::nullopt;
    }
    GlobalTest t;
    t.statistic = r.SumWeightedSquares / (mu0 * mu0);
    t.dof = r.ConditionCount;
    t.critical = ChiSquareQuantile(0.95, t.dof);
    t.passed = t.statistic <= t.critical;
    r.globalTest = t;
}
