// The precision of every listed point, in time linear in N.
//   f        weight function of a point's X and Y (a 2-column, one row per
//            side 2..2N+2), formed as the weakest station's rows 4, 5 are
//   A        condition rows 1..3; Qkk = N^-1 the correlate matrix
//   Q(P)     = f'f - (Af)' Qkk (Af) = min over L of ||f - A'L||^2, at L = Qkk A f
//            [2 x 2: Qxx Qxy; Qxy Qyy]
//   weights  with weights p every column's term is scaled by its q = 1/p:
//            Q(P) = sum q_c (f_c - L'a_c)(f_c - L'a_c)', L = Qkk A P^-1 f
//            (the sums below, M, S_p, A f, each take q_c)
// Near C the two terms of the first form nearly cancel (f'f of 10^12 against
// a difference of order 1 on long chains), and expanded prefix sums of
// coordinates of millions of metres lose the rest. The second form is a sum
// of squares, and it is stationary in L: an L off by rounding changes it only
// to second order. It is evaluated column group by column group:
//   prefix   columns 2..2p of point p. Each is a translation t_c and turns
//            omega about stations; at a point P its coefficients are
//            g_c(P) = (tx - Omega_c Y + ..., ty + Omega_c X - ...), and moving P
//            by (dX, dY) adds Omega_c (-dY, dX). With u_c(P) = (g_c(P), Omega_c)
//            the Gram matrix M(P) = sum u u' [3 x 3] is carried along the
//            route from point to point (M <- T M T', T the shift), so it never
//            holds absolute coordinates. The condition coefficients of these
//            columns are a_c = J u_c(P) (row 1 rho Omega_c, rows 2, 3 the same
//            form at the known C: g_c(C) = g_c(P) - Omega_c D, D = (-(Y - Yc),
//            X - Xc)), so f_c - A_c'L = B' u_c with B = E' - J'L, and the
//            prefix adds B' M B.
//   last     column 2p+1 (the route side to the point itself): directly.
//   suffix   columns beyond 2p+1, where f is 0: L' S_p L, S_p = sum a a'
//            summed from the far end.
// The few prefix columns whose condition coefficients do not follow the
// form (with D, a cross side beyond C) are taken directly like the last one.
// Known points (B, C) have no precision: every figure 0.
// Figures: mx = ms sqrt(Qxx), my = ms sqrt(Qyy), mp = ms sqrt(Qxx + Qyy) [mm];
// a cofactor a rounding error below 0 counts as 0.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/ChainPhases.h"
#include "core/LinearisedChain.h"

namespace {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;
using Mat32 = std::array<std::array<double, 2>, 3>;
using Mat2 = std::array<std::array<double, 2>, 2>;

// m += a a' q, q the inverse weight of the column.
void AddOuter(Mat3& m, const Vec3& a, double q)
{
    for (int i = 0; i < 3; ++i) {  // a row written out: the compiler keeps loops of three
        m[i][0] += a[i] * a[0] * q;
        m[i][1] += a[i] * a[1] * q;
        m[i][2] += a[i] * a[2] * q;
    }
}

// M <- T M T' with T = [1 0 dx; 0 1 dy; 0 0 1]: every u moved by Omega (dx, dy).
void Shift(Mat3& M, double dx, double dy)
{
    const double d[2] = {dx, dy};
    for (int i = 0; i < 2; ++i) {  // rows: T M
        M[i][0] += d[i] * M[2][0];
        M[i][1] += d[i] * M[2][1];
        M[i][2] += d[i] * M[2][2];
    }
    for (int j = 0; j < 2; ++j) {  // columns: (T M) T'
        M[0][j] += d[j] * M[0][2];
        M[1][j] += d[j] * M[1][2];
        M[2][j] += d[j] * M[2][2];
    }
}

Vec3 ConditionColumn(const ChainResult& r, int c)
{
    return {r.ConditionCoefficients[1][c], r.ConditionCoefficients[2][c], r.ConditionCoefficients[3][c]};
}

// (f - L'a) q (f - L'a)' added to Q for one column taken directly, q its
// inverse weight.
void AddDirect(Mat2& Q, const std::array<double, 2>& f, const Vec3& a, const Mat32& L, double q)
{
    double e[2];
    for (int j = 0; j < 2; ++j) e[j] = f[j] - (L[0][j] * a[0] + L[1][j] * a[1] + L[2][j] * a[2]);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) Q[i][j] += e[i] * e[j] * q;
}

// X'SX for S 3 x 3 symmetric and X 3 x 2: each entry the sum over i, j of
// (X[i][a] S[i][j]) X[j][b] in that order, each product X[i][a] S[i][j]
// formed once for both b, written out (the compiler keeps loops of three).
std::array<double, 2> CongruenceRow(const Mat3& S, const Mat32& X, int a)
{
    const double x0 = X[0][a], x1 = X[1][a], x2 = X[2][a];
    const double p00 = x0 * S[0][0], p01 = x0 * S[0][1], p02 = x0 * S[0][2];
    const double p10 = x1 * S[1][0], p11 = x1 * S[1][1], p12 = x1 * S[1][2];
    const double p20 = x2 * S[2][0], p21 = x2 * S[2][1], p22 = x2 * S[2][2];
    double s0 = 0, s1 = 0;  // b = 0, 1
    s0 += p00 * X[0][0], s1 += p00 * X[0][1];
    s0 += p01 * X[1][0], s1 += p01 * X[1][1];
    s0 += p02 * X[2][0], s1 += p02 * X[2][1];
    s0 += p10 * X[0][0], s1 += p10 * X[0][1];
    s0 += p11 * X[1][0], s1 += p11 * X[1][1];
    s0 += p12 * X[2][0], s1 += p12 * X[2][1];
    s0 += p20 * X[0][0], s1 += p20 * X[0][1];
    s0 += p21 * X[1][0], s1 += p21 * X[1][1];
    s0 += p22 * X[2][0], s1 += p22 * X[2][1];
    return {s0, s1};
}

Mat2 Congruence(const Mat3& S, const Mat32& X) { return {CongruenceRow(S, X, 0), CongruenceRow(S, X, 1)}; }

}  // namespace

ErrorEllipse EllipseOf(double Qxx, double Qyy, double Qxy, double ms)
{
    ErrorEllipse e;
    const double sum = Qxx + Qyy;
    const double W = std::hypot(Qxx - Qyy, 2 * Qxy);
    e.E = ms * std::sqrt(std::max(0.0, (sum + W) / 2));
    e.F = ms * std::sqrt(std::max(0.0, (sum - W) / 2));
    if (W <= 1e-12 * std::fabs(sum)) return e;  // a circle: every direction is E
    double phi = 0.5 * std::atan2(2 * Qxy, Qxx - Qyy) * 180 / std::numbers::pi;
    if (phi < 0) phi += 180;
    if (phi >= 180) phi -= 180;
    e.phi = phi;
    return e;
}

void ComputePointPrecision(const ChainWork& at, ChainResult& r)
{
    const int N = at.N;
    const int n = r.ResultPointCount;
    const int cIndex = PointDGiven(at) ? at.UnknownPointCount + 1 : N;
    const LinearisedChain chain{at.SideLengths, at.RouteSigns, r.TriangleTerm,  r.CosAlpha,      r.CosGamma,
                                r.StationX,     r.StationY,    r.RouteAzimuths, at.constants.RADIANS_PER_DEGREE};
    auto q = [&at](int c) { return InverseWeight(at, static_cast<std::size_t>(c)); };
    const double rhoKappa = AzimuthConditionUsed(at) ? at.constants.RHO_SECONDS : 0.0;

    // With D the cross sides beyond C (triangles after L) move nothing the
    // conditions hold: their coefficients are 0, not the general form.
    int L = N;
    if (PointDGiven(at)) L = at.RouteSigns[N] != at.RouteSigns[N - 1] ? N - 1 : N - 2;
    auto regular = [&](int c) { return !(PointDGiven(at) && c % 2 == 0 && c >= 4 && c / 2 > L); };

    // S_p = sum of a a' over the columns after 2p+1, p = 0..n
    std::vector<Mat3> suffix(static_cast<std::size_t>(n) + 1);
    Mat3 acc{};
    for (int c = 2 * N + 2; c >= 2; --c) {
        Vec3 a = ConditionColumn(r, c);
        AddOuter(acc, a, q(c));
        if (c % 2 == 0 && c / 2 - 1 <= n) suffix[static_cast<std::size_t>(c / 2 - 1)] = acc;
    }

    Mat3 Qkk{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) Qkk[i][j] = r.Qkk[i + 1][j + 1];

    const double ms = r.ms ? static_cast<double>(*r.ms) : 0.0;
    r.PointPrecisions.assign(static_cast<std::size_t>(n) + 1, PointPrecision{});
    r.PointPrecisions[0].known = true;

    Mat3 M{};
    std::vector<int> direct;  // prefix columns taken directly
    double Px = 0, Py = 0;
    for (int p = 1; p <= n; ++p) {
        const std::array<double, 2> P = chain.Point(p);
        if (p > 1) Shift(M, -(P[1] - Py), P[0] - Px);
        Px = P[0], Py = P[1];
        for (int c = p == 1 ? 2 : 2 * p - 1; c <= 2 * p; ++c) {
            if (!regular(c)) {
                direct.push_back(c);
                continue;
            }
            Vec3 u = chain.U(c, Px, Py);
            AddOuter(M, u, q(c));
        }
        PointPrecision& out = r.PointPrecisions[static_cast<std::size_t>(p)];
        if (p == cIndex) {
            out.known = true;
            continue;
        }

        // J maps u_c(P) to the condition column a_c
        const double Dx = -(Py - at.Yc), Dy = Px - at.Xc;
        const Mat3 J = {Vec3{0, 0, rhoKappa}, Vec3{1, 0, -Dx}, Vec3{0, 1, -Dy}};
        const std::array<double, 2> last = chain.Last(p, Px, Py);
        const Vec3 aLast = ConditionColumn(r, 2 * p + 1);

        // A P^-1 f = J M E' + a_last q f_last' + the direct columns
        const double qLast = q(2 * p + 1);
        Mat32 AF{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 2; ++j) {
                double sum = 0;
                sum += J[i][0] * M[0][j];
                sum += J[i][1] * M[1][j];
                sum += J[i][2] * M[2][j];
                AF[i][j] = sum + aLast[i] * last[j] * qLast;
            }
        for (int c : direct) {
            Vec3 u = chain.U(c, Px, Py);
            Vec3 a = ConditionColumn(r, c);
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 2; ++j) AF[i][j] += a[i] * u[j] * q(c);
        }
        Mat32 Lambda{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 2; ++j) Lambda[i][j] = Qkk[i][0] * AF[0][j] + Qkk[i][1] * AF[1][j] + Qkk[i][2] * AF[2][j];

        // B = E' - J' Lambda
        Mat32 B{};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 2; ++j)
                B[i][j] = (i == j ? 1.0 : 0.0) - (J[0][i] * Lambda[0][j] + J[1][i] * Lambda[1][j] + J[2][i] * Lambda[2][j]);

        Mat2 Q = Congruence(M, B);
        const Mat2 tail = Congruence(suffix[static_cast<std::size_t>(p)], Lambda);
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) Q[i][j] += tail[i][j];
        AddDirect(Q, last, aLast, Lambda, qLast);
        for (int c : direct) {
            Vec3 u = chain.U(c, Px, Py);
            AddDirect(Q, {u[0], u[1]}, ConditionColumn(r, c), Lambda, q(c));
        }

        out.Qxx = std::max(0.0, Q[0][0]);
        out.Qyy = std::max(0.0, Q[1][1]);
        out.Qxy = (Q[0][1] + Q[1][0]) / 2;
        RequireFinite(out.Qxx + out.Qyy + out.Qxy, ChainQuantity::PointCofactors);
        out.mx = ms * std::sqrt(out.Qxx);
        out.my = ms * std::sqrt(out.Qyy);
        out.mp = ms * std::sqrt(out.Qxx + out.Qyy);
        out.ellipse = EllipseOf(out.Qxx, out.Qyy, out.Qxy, ms);
    }
}
