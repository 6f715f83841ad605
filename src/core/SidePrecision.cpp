// The adjusted sides' precision (the 边长及方位角成果表), in time linear in N
// for a chain whose sides join neighbouring stations:
//   m_S,k  = ms sqrt((1 - r_k) q_k)   standard error of adjusted side k [mm]
//            (ms the standard error of unit weight: the a-posteriori one, or
//            mu0 in a design), q_k = 1/p_k
//   m/S    = m_S,k / S_k               its relative standard error [-]
//   T_k    grid azimuth from -> to of the adjusted side [deg]
//   m_T,k  = ms sqrt(Q_TT) rho         its standard error [arc s]
// The weight function of T is f_T = (-sin T (f_to - f_from)_X + cos T
// (f_to - f_from)_Y) / S over the columns, f_P the weight function of point
// P (LinearisedChain; 0 for the known points A, B, C, D, which do not move).
// Over the columns both ends share (c <= 2p, p the earlier end) a column only
// turns the side: f_T,c = Omega_c [rad/m]. So, with prefix sums over the
// columns of q Omega^2, q Omega a and q a a', and suffix sums of q a a', only
// the columns between the ends are taken one by one:
//   A P^-1 f_T = sum q_c f_c a_c,   L = Qkk A P^-1 f_T,
//   Q_TT = sum q_c (f_c - L'a_c)^2 = prefix + between + L' S_suffix L.
// The weakest side: the largest m_S / S of the measured sides, the first
// along the chain where two are equal.
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "core/ChainPhases.h"
#include "core/ChainTopology.h"
#include "core/LinearisedChain.h"

namespace {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

struct PrefixSums {
    double qOO = 0;  // sum q Omega^2
    Vec3 qOa{};      // sum q Omega a
    Mat3 qaa{};      // sum q a a'
};

Vec3 ConditionColumn(const ChainResult& r, std::size_t c)
{
    return {r.ConditionCoefficients[1][c], r.ConditionCoefficients[2][c], r.ConditionCoefficients[3][c]};
}

void AddOuter(Mat3& m, const Vec3& a, double q)
{
    for (int i = 0; i < 3; ++i) {  // a row written out: the compiler keeps loops of three
        m[i][0] += a[i] * a[0] * q;
        m[i][1] += a[i] * a[1] * q;
        m[i][2] += a[i] * a[2] * q;
    }
}

double Quadratic(const Mat3& m, const Vec3& L)
{
    double sum = 0;
    for (int i = 0; i < 3; ++i) {  // the same order, a row written out
        sum += L[i] * m[i][0] * L[0];
        sum += L[i] * m[i][1] * L[1];
        sum += L[i] * m[i][2] * L[2];
    }
    return sum;
}

double Dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

void ComputeSidePrecision(const ChainWork& at, ChainResult& r)
{
    const int N = at.N;
    const std::size_t sides = 2 * static_cast<std::size_t>(N) + 2;  // 0..2N+1
    const std::size_t columns = 2 * static_cast<std::size_t>(N) + 3;  // 0..2N+2
    r.SideSigmaMm.assign(sides, std::nullopt);
    r.SideRelative.assign(sides, std::nullopt);
    r.SideAzimuth.assign(sides, 0.0);
    r.SideAzimuthSigma.assign(sides, 0.0);
    r.WeakestSide = 0;
    const double ms = r.ms ? static_cast<double>(*r.ms) : 0.0;  // [mm]
    const double rho = at.constants.RHO_SECONDS;

    const ChainTopology t = ChainTopologyOf(N, at.RouteSigns, PointDGiven(at));
    const LinearisedChain chain{at.SideLengths, at.RouteSigns, r.TriangleTerm,  r.CosAlpha,      r.CosGamma,
                                r.StationX,     r.StationY,    r.RouteAzimuths, at.constants.RADIANS_PER_DEGREE};
    auto known = [&t](int id) { return id <= 0 || id == t.C || id == t.D; };
    // adjusted coordinates of a point id [m]
    auto adjusted = [&](int id) -> std::array<double, 2> {
        if (id == CHAIN_POINT_A) {
            const double T = at.AzimuthAB * at.constants.RADIANS_PER_DEGREE;
            return {at.Xb - at.SideLengths[1] * std::cos(T), at.Yb - at.SideLengths[1] * std::sin(T)};
        }
        if (id == t.D) return {at.Xd, at.Yd};
        if (id == 0) return {at.Xb, at.Yb};
        return {r.PointX[static_cast<std::size_t>(id)], r.PointY[static_cast<std::size_t>(id)]};
    };
    // every column formed once; a point of the route as linearised, and its
    // own last column, formed the first time a side asks for them
    const std::vector<ColumnForm> forms = chain.Columns(N);
    struct LinearisedPoint {
        bool formed = false;
        std::array<double, 2> P{};     // [m]
        std::array<double, 2> last{};  // column 2p+1 at P
    };
    int farthest = 0;  // the largest point id a side joins
    for (std::size_t k = 1; k < sides; ++k) farthest = std::max({farthest, t.sides[k].from, t.sides[k].to});
    std::vector<LinearisedPoint> points(static_cast<std::size_t>(farthest) + 1);
    auto point = [&](int id) -> const LinearisedPoint& {
        LinearisedPoint& lp = points[static_cast<std::size_t>(id)];
        if (!lp.formed) {
            lp.P = chain.Point(id);
            lp.last = chain.Last(id, lp.P[0], lp.P[1]);
            lp.formed = true;
        }
        return lp;
    };
    // column c of the weight function of point id's X, Y (0 beyond its reach)
    auto f = [&](int id, std::size_t c, const LinearisedPoint* lp) -> std::array<double, 2> {
        if (known(id) || c > 2 * static_cast<std::size_t>(id) + 1) return {0, 0};
        if (c == 2 * static_cast<std::size_t>(id) + 1) return lp->last;
        const std::array<double, 3> u = c < forms.size() ? chain.At(forms[c], lp->P[0], lp->P[1])
                                                         : chain.U(static_cast<int>(c), lp->P[0], lp->P[1]);
        return {u[0], u[1]};
    };

    // prefix sums over the columns 2..c, suffix sums over c+1..2N+2
    std::vector<PrefixSums> prefix(columns);
    std::vector<Mat3> suffix(columns);
    for (std::size_t c = 2; c < columns; ++c) {
        prefix[c] = prefix[c - 1];
        const Vec3 a = ConditionColumn(r, c);
        const double q = InverseWeight(at, c);
        const double omega = c <= 2 * static_cast<std::size_t>(N) ? chain.At(forms[c], 0, 0)[2] : 0.0;
        prefix[c].qOO += q * omega * omega;
        const double qO = q * omega;
        prefix[c].qOa[0] += qO * a[0];
        prefix[c].qOa[1] += qO * a[1];
        prefix[c].qOa[2] += qO * a[2];
        AddOuter(prefix[c].qaa, a, q);
    }
    for (std::size_t c = columns - 1; c >= 2; --c) {
        if (c + 1 < columns) {
            suffix[c] = suffix[c + 1];
            AddOuter(suffix[c], ConditionColumn(r, c + 1), InverseWeight(at, c + 1));
        }
    }
    Mat3 Qkk{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) Qkk[i][j] = r.Qkk[i + 1][j + 1];

    double weakest = -1;
    std::vector<std::pair<double, Vec3>> between;  // f_c and a_c of the columns between a side's ends
    for (std::size_t k = 1; k < sides; ++k) {
        const int from = t.sides[k].from, to = t.sides[k].to;
        const std::array<double, 2> A = adjusted(from), B = adjusted(to);
        const double angle = std::atan2(B[1] - A[1], B[0] - A[0]);  // [rad]
        double T = angle * 180 / at.constants.PI_VALUE;
        if (T < 0) T += 360;
        r.SideAzimuth[k] = T;

        // the side as linearised: its direction and the points' weight functions
        const bool fromKnown = known(from), toKnown = known(to);
        if (!(fromKnown && toKnown)) {
            const LinearisedPoint* Pf = fromKnown ? nullptr : &point(from);
            const LinearisedPoint* Pt = toKnown ? nullptr : &point(to);
            const double S = at.SideLengths[k];
            const double sinT = std::sin(angle) / S, cosT = std::cos(angle) / S;
            // the columns both ends share: only where neither is known
            const std::size_t shared = fromKnown || toKnown ? 1 : 2 * static_cast<std::size_t>(std::min(from, to));
            const std::size_t last = 2 * static_cast<std::size_t>(std::max(from, to)) + 1;
            between.clear();  // the columns shared+1..last
            Vec3 AF = prefix[shared].qOa;
            for (std::size_t c = shared + 1; c <= last && c < columns; ++c) {
                const std::array<double, 2> ft = f(to, c, Pt), ff = f(from, c, Pf);
                const double fc = -sinT * (ft[0] - ff[0]) + cosT * (ft[1] - ff[1]);
                const Vec3 a = ConditionColumn(r, c);
                const double qf = InverseWeight(at, c) * fc;
                AF[0] += qf * a[0];
                AF[1] += qf * a[1];
                AF[2] += qf * a[2];
                between.push_back({fc, a});
            }
            const Vec3 L{Dot(Qkk[0], AF), Dot(Qkk[1], AF), Dot(Qkk[2], AF)};
            double Q = prefix[shared].qOO - 2 * Dot(L, prefix[shared].qOa) + Quadratic(prefix[shared].qaa, L);
            for (std::size_t j = 0; j < between.size(); ++j) {
                const double e = between[j].first - Dot(L, between[j].second);
                Q += InverseWeight(at, shared + 1 + j) * e * e;
            }
            if (last < columns) Q += Quadratic(suffix[std::min(last, columns - 1)], L);
            r.SideAzimuthSigma[k] = ms / 1000 * std::sqrt(std::max(0.0, Q)) * rho;
        }

        if (k >= r.Redundancy.size() || k < 2 || (PointDGiven(at) && k == sides - 1)) continue;  // A-B, C-D: fixed
        const double q = InverseWeight(at, k);
        const double m = ms * std::sqrt(std::max(0.0, (1 - r.Redundancy[k]) * q));
        r.SideSigmaMm[k] = m;
        r.SideRelative[k] = m / 1000 / r.SideLengths[k];
        if (*r.SideRelative[k] > weakest * (1 + 1e-9)) {
            weakest = *r.SideRelative[k];
            r.WeakestSide = static_cast<int>(k);
        }
    }
}
