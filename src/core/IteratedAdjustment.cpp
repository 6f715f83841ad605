// The rigorous solution: the conditions linearised again at the adjusted
// observations until the corrections settle.
//   l      the observations: sides 2..2N+1 [m] and the orientation angle Q [arc s]
//   v_i    total corrections after linearisation i; l_i = l + v_i
//   A_i    condition coefficients at l_i; f(l_i) the misclosures there, in double
//   w_i    f(l_i) - A_i v_i, the misclosure of the observations seen from l_i
//   N_i k + w_i = 0, v_(i+1) = P^-1 A_i' k  (so that f(l_i) + A_i (v - v_i) = 0),
//          N_i = A_i P^-1 A_i' with the weights p of the observations
// Linearisation 1 is the single step at the observations, with the misclosures
// in single precision as shown. The solution has settled when no side's
// correction changes by 0.01 mm or more and the orientation angle's by
// 0.01 arc second or more; it may take ITERATION_LIMIT linearisations. A limit
// of 1 lets the single step stand as it is (the closure check then judges it).
// The orientation angle (weight 1 in arc seconds, or p_Q) enters the azimuth row as
// its size with the coefficient sigma_(N+1), its sign: its correction
// v_Q = sigma_(N+1) k1 / p_Q corrects the size, so the angle as typed moves by
// sigma_(N+1) v_Q (= k1). That is applied internally, and kept in
// OrientationCorrection.
#include <algorithm>
#include <cmath>

#include "core/ChainPhases.h"

std::array<double, 4> MisclosuresAt(const ChainWork& o, const ChainResult& r)
{
    const int N = o.N;
    const int c = PointDGiven(o) ? N - 1 : N;
    std::array<double, 4> w{};
    if (PointDGiven(o) || ExternalAzimuthGiven(o)) {
        double computed = PointDGiven(o) ? r.RouteAzimuths[N] : r.RouteAzimuths[N + 1];
        w[1] = std::remainder(computed - o.ClosingAzimuth, 360.0) * 3600;
    }
    w[2] = r.PointX[c] - o.Xc;
    w[3] = r.PointY[c] - o.Yc;
    for (int j = 1; j <= 3; ++j) RequireFinite(w[j], ChainQuantity::Corrections);
    return w;
}

namespace {

constexpr double SIDE_TOLERANCE = 1e-5;         // [m]
constexpr double ORIENTATION_TOLERANCE = 0.01;  // [arc s]

// The tables of linearisation `from` become the result's; the observed sides
// and the misclosures of the observations stay.
void TakeLinearisation(ChainResult& r, ChainResult& from)
{
    r.TriangleAngle1.swap(from.TriangleAngle1);
    r.TriangleAngle2.swap(from.TriangleAngle2);
    r.TriangleAngle3.swap(from.TriangleAngle3);
    r.TriangleTerm.swap(from.TriangleTerm);
    r.RouteAzimuths.swap(from.RouteAzimuths);
    r.PointX.swap(from.PointX);
    r.PointY.swap(from.PointY);
    r.StationX.swap(from.StationX);
    r.StationY.swap(from.StationY);
    r.ConditionCoefficients.swap(from.ConditionCoefficients);
}

// N^-1 of the three condition equations, column by column with the same
// elimination as the correlates: x = -N^-1 e_j solves N x + e_j = 0.
Table6 InverseOfConditions(const Table6& formed, bool azimuthCondition)
{
    Table6 inverse{};
    for (int j = 1; j <= 3; ++j) {
        Table6 Q = formed;
        for (int i = 1; i <= 3; ++i) Q[i][4] = i == j ? 1 : 0;
        ReduceNormalRows(Q);
        double x[4] = {0, 0, 0, 0};
        BackSubstitute(Q, x);
        for (int i = 1; i <= 3; ++i) inverse[i][j] = -x[i];
    }
    if (!azimuthCondition)  // the first equation stands for k1 = 0
        for (int i = 1; i <= 3; ++i) inverse[1][i] = inverse[i][1] = 0;
    return inverse;
}

void RaiseNotConverged(const ChainResult& r, int N, int iterations, double change)
{
    const int i = FlattestTriangle(r, N);
    ChainFault fault;
    fault.kind = ChainFaultKind::NotConverged;
    fault.triangle = i;
    fault.height = r.TriangleTerm[i];
    fault.iterations = iterations;
    fault.change = change;
    RaiseChainFault(fault);
}

}  // namespace

ChainWork AdjustIteratively(const ChainWork& o, ChainResult& r)
{
    const int N = o.N;
    const int Q = 2 * N + 2;  // column of the orientation angle
    const bool azimuthCondition = AzimuthConditionUsed(o);
    Table6 formed = r.NormalMatrix;  // before the correlates reduce it

    ApplyCorrections(o, r);
    r.Iterations = 1;
    std::vector<double> v = r.Corrections;
    const double qQ = InverseWeight(o, static_cast<std::size_t>(Q));
    double vQ = r.Correlates[1] * r.ConditionCoefficients[1][Q] * qQ;
    double change = 0;
    for (int c = 2; c <= 2 * N + 1; ++c) change = std::max(change, std::fabs(v[c]));
    double changeQ = std::fabs(vQ);

    ChainWork at = o;
    const bool singleStep = o.constants.ITERATION_LIMIT == 1;
    while (!singleStep && (change >= SIDE_TOLERANCE || changeQ >= ORIENTATION_TOLERANCE)) {
        if (r.Iterations >= o.constants.ITERATION_LIMIT) RaiseNotConverged(r, N, r.Iterations, change);
        for (int c = 2; c <= 2 * N + 1; ++c) at.SideLengths[c] = o.SideLengths[c] + v[c];
        at.OrientationAngle = o.OrientationAngle + r.ConditionCoefficients[1][Q] * vQ / 3600;

        ChainResult next = SizedResult(at);
        std::array<double, 4> w{};
        try {
            ComputeApproximateChain(at, next);
            w = MisclosuresAt(at, next);
            FormConditionEquations(at, next);
        } catch (ChainFaultRaised& raised) {
            // a triangle that the corrected sides no longer close: name it with
            // its observed sides
            ChainFault& f = raised.fault;
            if (f.triangle >= 1) {
                f.adjustedSides = true;
                for (int k = 0; k < 3; ++k) f.sides[static_cast<std::size_t>(k)] = o.SideLengths[2 * f.triangle - 1 + k];
            }
            throw;
        }

        const auto& A = next.ConditionCoefficients;
        Table6 solve = next.NormalMatrix;
        for (int j = 1; j <= 3; ++j) {
            double sum = w[j];
            for (int c = 2; c <= Q; ++c) sum -= A[j][c] * (c == Q ? vQ : v[c]);
            solve[j][4] = sum;
        }
        ReduceNormalRows(solve);
        double k[4] = {0, 0, 0, 0};
        BackSubstitute(solve, k);

        change = 0;
        double vv = 0;
        for (int c = 2; c <= 2 * N + 1; ++c) {
            double vc = ((k[1] * A[1][c] + k[2] * A[2][c]) + k[3] * A[3][c]) * InverseWeight(o, static_cast<std::size_t>(c));
            change = std::max(change, std::fabs(vc - v[c]));
            v[c] = vc;
            vv += vc * vc;
        }
        RequireFinite(vv, ChainQuantity::Corrections);
        const double vQnext = k[1] * A[1][Q] * qQ;
        changeQ = std::fabs(vQnext - vQ);
        vQ = vQnext;

        formed = next.NormalMatrix;
        TakeLinearisation(r, next);
        for (int i = 1; i <= 3; ++i) r.Correlates[i] = k[i];
        r.Corrections = v;
        r.SumSquaredCorrections = vv;
        for (int c = 2; c <= 2 * N + 1; ++c) r.SideLengths[c] = o.SideLengths[c] + v[c];
        ++r.Iterations;
    }

    // The normal tables of the last linearisation, unreduced, for the
    // precision of the weakest point and of every point.
    r.NormalMatrix = r.NormalWork = formed;
    r.Qkk = InverseOfConditions(formed, azimuthCondition);
    r.OrientationCorrection = r.ConditionCoefficients[1][Q] * vQ;
    r.ConditionCount = azimuthCondition ? 3 : 2;
    return at;
}
