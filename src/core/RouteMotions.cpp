#include "core/RouteMotions.h"

#include <cmath>
#include <limits>

#include "core/ChainPhases.h"
#include "core/Geometry.h"

namespace {

using Twist = std::array<double, 3>;  // omega [rad/m], v [m/m]

// The route signs with at most one of them reversed (0: none).
struct Signs {
    const std::vector<int>& typed;
    int flipped = 0;
    int operator()(int i) const { return i == flipped ? -typed[static_cast<std::size_t>(i)] : typed[static_cast<std::size_t>(i)]; }
};

struct Step {
    double d = 0;      // [m]
    double theta = 0;  // [deg]
    bool reduced = false;  // the heading brought once towards 0..360 after the turn, as the route is carried
};

Step StepOf(const RouteMotions& m, int j, const Signs& sigma)
{
    const ChainWork& w = m.work;
    const int N = w.N;
    const auto& S = w.SideLengths;
    if (j == 0) return {0, sigma(1) * m.beta[1] + 180, true};
    if (j <= N - 1) {
        const bool advance = sigma(j) != sigma(j + 1);
        const double turn = sigma(j + 1) * m.beta[static_cast<std::size_t>(j + 1)];
        return advance ? Step{S[static_cast<std::size_t>(2 * j + 1)], turn + 180, true} : Step{0, turn, false};
    }
    const double closingSide = S[static_cast<std::size_t>(2 * N + 1)];
    if (ExternalAzimuthGiven(w)) return {closingSide, w.OrientationAngle + 180, true};
    return {closingSide, 0, false};
}

// One step as the route is carried: forward along the heading, then the turn.
RoutePose Advance(const RoutePose& h, const Step& s, double rpd)
{
    RoutePose next = h;
    if (s.d != 0) {
        next.x += s.d * std::cos(h.T * rpd);
        next.y += s.d * std::sin(h.T * rpd);
    }
    next.T = s.reduced ? ReduceOnce(h.T + s.theta) : h.T + s.theta;
    return next;
}

// a followed by b, b expressed in the frame of a.
RoutePose Compose(const RoutePose& a, const RoutePose& b, double rpd)
{
    const double c = std::cos(a.T * rpd), s = std::sin(a.T * rpd);
    return {a.T + b.T, a.x + c * b.x - s * b.y, a.y + s * b.x + c * b.y};
}

RoutePose Inverse(const RoutePose& a, double rpd)
{
    const double c = std::cos(a.T * rpd), s = std::sin(a.T * rpd);
    return {-a.T, -(c * a.x + s * a.y), -(-s * a.x + c * a.y)};
}

// A turn of omega [rad] about the point p.
Twist Turn(double omega, const RoutePose& p) { return {omega, omega * p.y, -omega * p.x}; }

void AddInto(Twist& t, const Twist& u)
{
    for (std::size_t a = 0; a < 3; ++a) t[a] += u[a];
}

// The twist of side k (2..2N+1, not fixed) with the route signs sigma and
// the poses pose(j).
template <typename PoseAt>
Twist SideTwist(const RouteMotions& m, int k, const Signs& sigma, const PoseAt& pose)
{
    const int N = m.work.N;
    const double rpd = m.work.constants.RADIANS_PER_DEGREE;
    const auto at = [](int i) { return static_cast<std::size_t>(i); };
    if (k % 2 == 0) {
        const int i = k / 2;  // the side opposite beta_i
        return Turn(sigma(i) / m.height[at(i)], pose(i));
    }
    const int j = (k - 1) / 2;  // side 2j+1: side c of triangle j, side a of triangle j+1, leg j
    Twist t = Turn(-sigma(j) * m.cos3[at(j)] / m.height[at(j)], pose(j));
    bool forward = true;  // the closing side S(2N+1) always carries C forward
    if (j <= N - 1) {
        AddInto(t, Turn(-sigma(j + 1) * m.cos1[at(j + 1)] / m.height[at(j + 1)], pose(j + 1)));
        forward = sigma(j) != sigma(j + 1);
    }
    if (forward) {
        const double T = pose(j).T * rpd;
        t[1] += std::cos(T);
        t[2] += std::sin(T);
    }
    return t;
}

void AddWeighted(Matrix3& sum, const Twist& t, double sigma)
{
    const double s2 = sigma * sigma;
    for (std::size_t a = 0; a < 3; ++a)
        for (std::size_t b = 0; b < 3; ++b) sum[a][b] += s2 * t[a] * t[b];
}

Matrix3 Plus(Matrix3 a, const Matrix3& b)
{
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c) a[r][c] += b[r][c];
    return a;
}

// T S T'
Matrix3 Congruent(const Matrix3& T, const Matrix3& S)
{
    Matrix3 TS{}, out{};
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t k = 0; k < 3; ++k) TS[r][c] += T[r][k] * S[k][c];
    for (std::size_t r = 0; r < 3; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            for (std::size_t k = 0; k < 3; ++k) out[r][c] += TS[r][k] * T[c][k];
    return out;
}

// The adjoint of the motion g of the plane on twists about B.
Matrix3 Adjoint(const RoutePose& g, double rpd)
{
    const double c = std::cos(g.T * rpd), s = std::sin(g.T * rpd);
    return {{{1, 0, 0}, {g.y, c, -s}, {-g.x, s, c}}};
}

// The misclosures and their covariance of a route that ends at `end`, with
// the twist sums `sum` of its sides.
ClosingFigures Closing(const RouteMotions& m, const RoutePose& end, const Matrix3& sum)
{
    const ChainWork& w = m.work;
    ClosingFigures f;
    if (AzimuthConditionUsed(w)) f.w[1] = std::remainder(end.T - w.ClosingAzimuth, 360.0) * 3600;
    f.w[2] = end.x - (w.Xc - w.Xb);
    f.w[3] = end.y - (w.Yc - w.Yb);
    const double rho = w.constants.RHO_SECONDS;
    const Matrix3 L = {{{rho, 0, 0}, {-end.y, 1, 0}, {end.x, 0, 1}}};
    f.covariance = Congruent(L, sum);
    f.covariance[0][0] += m.sigmas.orientationSeconds * m.sigmas.orientationSeconds;
    return f;
}

}  // namespace

RouteMotions RouteMotionsOf(const ChainWork& w, const ObservationSigmas& s)
{
    RouteMotions m;
    m.work = w;
    m.sigmas = s;
    const int N = w.N;
    const auto n = static_cast<std::size_t>(N);
    const double rpd = w.constants.RADIANS_PER_DEGREE;
    m.last = PointDGiven(w) ? N - 1 : N;
    const auto L = static_cast<std::size_t>(m.last);

    // the triangles and the route as the adjustment carries it
    ChainResult r = SizedResult(w);
    ComputeApproximateChain(w, r);
    m.beta = r.TriangleAngle2;
    m.height = r.TriangleTerm;
    m.cos1.assign(n + 1, 0.0);
    m.cos3.assign(n + 1, 0.0);
    for (std::size_t i = 1; i <= n; ++i) {
        m.cos1[i] = std::cos(r.TriangleAngle1[i] * rpd);
        m.cos3[i] = std::cos(r.TriangleAngle3[i] * rpd);
    }
    m.pose.assign(L + 2, RoutePose{});
    m.pose[0] = {w.AzimuthAB, 0, 0};
    for (std::size_t j = 1; j <= L + 1; ++j) {
        const std::size_t station = std::min(j - 1, n);
        m.pose[j] = {r.RouteAzimuths[std::min(j, n)], r.PointX[station] - w.Xb, r.PointY[station] - w.Yb};
    }
    if (m.last == N && ExternalAzimuthGiven(w)) m.pose[n + 1].T = r.RouteAzimuths[n + 1];

    const Signs typed{w.RouteSigns, 0};
    m.after.assign(L + 2, RoutePose{});
    for (std::size_t j = L + 1; j-- > 0;) {
        const Step step = StepOf(m, static_cast<int>(j), typed);
        m.after[j] = Compose({step.theta, step.d, 0}, m.after[j + 1], rpd);
    }

    const std::size_t K = 2 * n + 1;
    auto poseAt = [&m](int j) { return m.pose[static_cast<std::size_t>(j)]; };
    std::vector<Twist> twist(K + 1, Twist{});
    for (std::size_t k = 2; k <= K; ++k)
        if (s.sideMetres[k] > 0) twist[k] = SideTwist(m, static_cast<int>(k), typed, poseAt);
    m.before.assign(K + 1, Matrix3{});
    for (std::size_t k = 2; k <= K; ++k) {
        m.before[k] = m.before[k - 1];
        AddWeighted(m.before[k], twist[k], s.sideMetres[k]);
    }
    m.beyond.assign(K + 2, Matrix3{});
    for (std::size_t k = K; k >= 2; --k) {
        m.beyond[k] = m.beyond[k + 1];
        AddWeighted(m.beyond[k], twist[k], s.sideMetres[k]);
    }
    return m;
}

ClosingFigures ClosingAsTyped(const RouteMotions& m)
{
    return Closing(m, m.pose.back(), m.before.back());
}

ClosingFigures ClosingWithSignFlipped(const RouteMotions& m, int i)
{
    const ChainWork& w = m.work;
    const int N = w.N;
    const double rpd = w.constants.RADIANS_PER_DEGREE;
    const auto at = [](int j) { return static_cast<std::size_t>(j); };
    const Signs sigma{w.RouteSigns, i};
    // the steps i-1 and, where it reads sigma_i, i
    const int first = i - 1, lastChanged = i <= N - 1 ? i : i - 1;
    RoutePose changed[2];  // H'_i, H'_(i+1)
    RoutePose now = m.pose[at(first)];
    for (int j = first; j <= lastChanged; ++j) changed[j - first] = now = Advance(now, StepOf(m, j, sigma), rpd);
    const RoutePose end = Compose(now, m.after[at(lastChanged + 1)], rpd);
    // every pose beyond the changed steps moves with G = H' H^-1
    const RoutePose G = Compose(now, Inverse(m.pose[at(lastChanged + 1)], rpd), rpd);

    // the poses the sides 2i-1, 2i, 2i+1 read: H_(i-1), H'_i, H'_(i+1)
    auto poseAt = [&](int j) { return j <= i - 1 ? m.pose[at(j)] : changed[j - i]; };
    const int K = 2 * N + 1;
    Matrix3 sum = Plus(m.before[at(std::max(2 * i - 2, 0))], Congruent(Adjoint(G, rpd), m.beyond[at(std::min(2 * i + 2, K + 1))]));
    for (int k = std::max(2 * i - 1, 2); k <= std::min(2 * i + 1, K); ++k)
        if (m.sigmas.sideMetres[at(k)] > 0) AddWeighted(sum, SideTwist(m, k, sigma, poseAt), m.sigmas.sideMetres[at(k)]);
    return Closing(m, end, sum);
}

ClosingFigures ClosingWithOrientationFlipped(const RouteMotions& m)
{
    const ChainWork& w = m.work;
    const auto N = static_cast<std::size_t>(w.N);
    const Step flipped{w.SideLengths[2 * N + 1], -w.OrientationAngle + 180, true};
    return Closing(m, Advance(m.pose[N], flipped, w.constants.RADIANS_PER_DEGREE), m.before.back());
}

ClosingFigures ClosingComputedInFull(const ChainWork& w, const ObservationSigmas& s)
{
    const int N = w.N;
    ChainResult r = SizedResult(w);
    ComputeApproximateChain(w, r);
    ClosingFigures f;
    const auto c = static_cast<std::size_t>(PointDGiven(w) ? N - 1 : N);
    if (AzimuthConditionUsed(w)) {
        const double computed = r.RouteAzimuths[static_cast<std::size_t>(PointDGiven(w) ? N : N + 1)];
        f.w[1] = std::remainder(computed - w.ClosingAzimuth, 360.0) * 3600;
    }
    f.w[2] = r.PointX[c] - w.Xc;
    f.w[3] = r.PointY[c] - w.Yc;
    // the coordinate rows at the computed C, where the misclosures are formed
    ChainWork at = w;
    at.Xc = r.PointX[c];
    at.Yc = r.PointY[c];
    FormConditionEquations(at, r);
    f.covariance = ConditionCovariance(at, r, s);
    return f;
}

Matrix3 ConditionCovariance(const ChainWork& w, const ChainResult& r, const ObservationSigmas& s)
{
    const auto& A = r.ConditionCoefficients;
    const auto Q = static_cast<std::size_t>(2 * w.N + 2);
    Matrix3 covariance{};
    for (std::size_t k = 2; k <= Q; ++k) {
        const double sigma = k == Q ? s.orientationSeconds : (k < s.sideMetres.size() ? s.sideMetres[k] : 0);
        for (std::size_t a = 0; a < 3; ++a)
            for (std::size_t b = 0; b < 3; ++b) covariance[a][b] += sigma * sigma * A[a + 1][k] * A[b + 1][k];
    }
    return covariance;
}

double MisclosureStatistic(const ClosingFigures& f, bool azimuthCondition)
{
    // Cholesky factor of the rows used, forward substitution of w
    const std::size_t from = azimuthCondition ? 0 : 1;
    const std::size_t n = 3 - from;
    double l[3][3] = {}, y[3] = {};
    double statistic = 0;
    for (std::size_t r = 0; r < n; ++r) {
        for (std::size_t c = 0; c <= r; ++c) {
            double sum = f.covariance[from + r][from + c];
            for (std::size_t k = 0; k < c; ++k) sum -= l[r][k] * l[c][k];
            if (r == c) {
                if (!(sum > 0)) return std::numeric_limits<double>::infinity();
                l[r][r] = std::sqrt(sum);
            } else {
                l[r][c] = sum / l[c][c];
            }
        }
        double sum = f.w[from + r + 1];
        for (std::size_t k = 0; k < r; ++k) sum -= l[r][k] * y[k];
        y[r] = sum / l[r][r];
        statistic += y[r] * y[r];
    }
    return statistic;
}
