// How well the chain checks each observation k (side k, 2N+2 the orientation
// angle) with r_k >= 0.01, in time linear in N:
//   lambda_k = DELTA0 sqrt((1 - r_k) / r_k)   bias-to-noise ratio [-]: how
//              many standard errors of the coordinates an undetected bias
//              can move them by
//   Mdb_k    = DELTA0 sigma_k / sqrt(r_k)     minimal detectable bias: the
//              bias the w-test finds with probability 0.80 [m, arc s]
//   shift_k  = |f_k - L'a_k| Mdb_k            how far that bias, undetected,
//              moves the weakest point [m]
// A bias e in observation k moves the adjusted observations by
// (I - P^-1 A' N^-1 A) e_k e, so a coordinate with weight function f by
// (f_k - L'a_k) e, L = N^-1 A P^-1 f (f_k = 0 for the orientation angle and
// the sides beyond the point). Observations with r_k < 0.01 are not checked:
// no figure.
#include <algorithm>
#include <cmath>

#include "core/ChainPhases.h"
#include "core/LinearisedChain.h"

namespace {

using Column2 = std::array<double, 2>;

// f_c of the weakest point p for c = 0..2p+1 (0 and 1 unused); empty where the
// weakest point is a known one (it does not move).
std::vector<Column2> WeightFunctionOf(const ChainWork& at, const ChainResult& r, int p)
{
    if (p < 1 || p >= static_cast<int>(r.PointPrecisions.size()) || r.PointPrecisions[static_cast<std::size_t>(p)].known)
        return {};
    const LinearisedChain chain{at.SideLengths, at.RouteSigns, r.TriangleTerm,  r.CosAlpha,      r.CosGamma,
                                r.StationX,     r.StationY,    r.RouteAzimuths, at.constants.RADIANS_PER_DEGREE};
    const std::array<double, 2> P = chain.Point(p);
    std::vector<Column2> f(2 * static_cast<std::size_t>(p) + 2, Column2{0, 0});
    for (int c = 2; c <= 2 * p; ++c) {
        const std::array<double, 3> u = chain.U(c, P[0], P[1]);
        f[static_cast<std::size_t>(c)] = {u[0], u[1]};
    }
    f.back() = chain.Last(p, P[0], P[1]);
    return f;
}

}  // namespace

void ComputeDetectability(const ChainWork& at, ChainResult& r)
{
    const std::size_t columns = r.Redundancy.size();
    r.BiasToNoise.assign(columns, std::nullopt);
    r.Mdb.assign(columns, std::nullopt);
    r.WeakestShift.assign(columns, std::nullopt);
    for (std::size_t c = 2; c < columns; ++c) {
        const double rc = r.Redundancy[c];
        if (rc < LEAST_TESTED_REDUNDANCY) continue;
        r.BiasToNoise[c] = DELTA0 * std::sqrt(std::max(0.0, 1 - rc) / rc);
        if (c < r.Sigma.size() && r.Sigma[c] > 0) r.Mdb[c] = DELTA0 * r.Sigma[c] / std::sqrt(rc);
    }
    if (r.Sigma.empty()) return;

    const std::vector<Column2> f = WeightFunctionOf(at, r, r.WeakestPoint);
    auto a = [&r](std::size_t c, int i) { return r.ConditionCoefficients[static_cast<std::size_t>(i)][c]; };
    // L = Qkk A P^-1 f [3 x 2]
    double AF[4][2] = {};
    for (std::size_t c = 2; c < f.size(); ++c) {
        const double q = InverseWeight(at, c);
        for (int i = 1; i <= 3; ++i)
            for (int j = 0; j < 2; ++j) AF[i][j] += a(c, i) * f[c][static_cast<std::size_t>(j)] * q;
    }
    double L[4][2] = {};
    for (int i = 1; i <= 3; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 1; k <= 3; ++k) L[i][j] += r.Qkk[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] * AF[k][j];

    for (std::size_t c = 2; c < columns; ++c) {
        if (!r.Mdb[c]) continue;
        if (f.empty()) {
            r.WeakestShift[c] = 0.0;
            continue;
        }
        double e[2];
        for (int j = 0; j < 2; ++j) {
            const double fc = c < f.size() ? f[c][static_cast<std::size_t>(j)] : 0.0;
            e[j] = fc - (L[1][j] * a(c, 1) + L[2][j] * a(c, 2) + L[3][j] * a(c, 3));
        }
        r.WeakestShift[c] = std::hypot(e[0], e[1]) * *r.Mdb[c];
    }
}
