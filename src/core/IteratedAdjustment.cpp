// The rigorous solution: the conditions linearised again at the adjusted
// observations until the corrections settle.
//   l      the observations: sides 2..2N+1 [m] and the orientation angle Q [arc s]
//   v_i    total corrections after linearisation i; l_i = l + v_i
//   A_i    condition coefficients at l_i; f(l_i) the misclosures there, in double
//   w_i    f(l_i) - A_i v_i, the misclosure of the observations seen from l_i
//   N_i k + w_i = 0, v_(i+1) = P^-1 A_i' k  (so that f(l_i) + A_i (v - v_i) = 0),
//          N_i = A_i P^-1 A_i' with the weights p of the observations
// Linearisation 1 is the single step at the observations, with the misclosures
// in single precision as shown. The solution has settled when, between two
// linearisations, no correction changes by 1e-6 m or more, the orientation
// angle's by 0.0001 arc second or more, and no point of the route (the far end
// of every leg, carried with l_i) moves by 1e-6 m or more: what the surveyor
// sees, printed to 0.1 mm and 0.1", no longer changes with one more
// linearisation. Where the rounding of the computation keeps a figure above
// its bound (the far end of a route of 16382 legs jitters by some 2e-6 m
// between linearisations whose corrections differ by 1e-12 m; the orientation
// angle of a chain of 1 mm sides by 0.005"), it has settled once it no longer
// shrinks to half its last move while below 0.01 mm (0.01"); a point also
// once it moves by less than the route's own rounding (N half units in the
// last place of the largest coordinate). It may take
// ITERATION_LIMIT linearisations. A limit of 1 lets the single step stand as
// it is (the closure check then judges it).
// The orientation angle (weight 1 in arc seconds, or p_Q) enters the azimuth row as
// its size with the coefficient sigma_(N+1), its sign: its correction
// v_Q = sigma_(N+1) k1 / p_Q corrects the size, so the angle as typed moves by
// sigma_(N+1) v_Q (= k1). That is applied internally, and kept in
// OrientationCorrection.
#include <algorithm>
#include <cmath>
#include <limits>

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

constexpr double SIDE_TOLERANCE = 1e-6;           // a correction [m]
constexpr double COORDINATE_TOLERANCE = 1e-6;     // a point of the route [m]
constexpr double ORIENTATION_TOLERANCE = 0.0001;  // the orientation angle [arc s]
// where rounding keeps a figure above its tolerance: the bounds it must
// still stay below (those of the rule before, 0.01 mm and 0.01")
constexpr double COARSE_LENGTH = 1e-5;       // [m]
constexpr double COARSE_ORIENTATION = 0.01;  // [arc s]

// The tables of linearisation `from` become the result's; the observed sides
// and the misclosures of the observations stay.
void TakeLinearisation(ChainResult& r, ChainResult& from)
{
    r.TriangleAngle1.swap(from.TriangleAngle1);
    r.TriangleAngle2.swap(from.TriangleAngle2);
    r.TriangleAngle3.swap(from.TriangleAngle3);
    r.TriangleTerm.swap(from.TriangleTerm);
    r.CosAlpha.swap(from.CosAlpha);
    r.CosGamma.swap(from.CosGamma);
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

// The far end of every route leg k = 1..N, the points of the chain: station
// k-1 and S(2k+1) along the leg's azimuth, from the tables of a linearisation
// made at `at`. Where the route advanced after leg k from the station the leg
// starts at, the route already placed station k there by the same sum.
void LegEnds(const ChainWork& at, const ChainResult& t, std::vector<double>& X, std::vector<double>& Y)
{
    const double rpd = at.constants.RADIANS_PER_DEGREE;
    const std::size_t N = static_cast<std::size_t>(at.N);
    X.resize(N + 1);
    Y.resize(X.size());
    for (std::size_t k = 1; k < X.size(); ++k) {
        const bool advanced = k < N ? at.RouteSigns[k + 1] != at.RouteSigns[k] : PointDAbsent(at);
        if (advanced && t.PointX[k - 1] == t.StationX[k - 1] && t.PointY[k - 1] == t.StationY[k - 1]) {
            X[k] = t.StationX[k];
            Y[k] = t.StationY[k];
            continue;
        }
        const double S = at.SideLengths[2 * k + 1], T = t.RouteAzimuths[k] * rpd;
        X[k] = t.PointX[k - 1] + S * std::cos(T);
        Y[k] = t.PointY[k - 1] + S * std::sin(T);
    }
}

double LargestMove(const std::vector<double>& X0, const std::vector<double>& Y0, const std::vector<double>& X1,
                   const std::vector<double>& Y1)
{
    double moved = 0;
    for (std::size_t k = 1; k < X0.size(); ++k)
        moved = std::max({moved, std::fabs(X1[k] - X0[k]), std::fabs(Y1[k] - Y0[k])});
    return moved;
}

// How far rounding alone may move the far end of a route of N legs: half a
// unit in the last place of its largest coordinate at each leg [m]. Some
// 1e-9 m at N = 200 and coordinates of millions of metres; 3e-5 m at
// N = 16382 and coordinates of 2.6e7 m.
double RouteRounding(int N, const std::vector<double>& X, const std::vector<double>& Y)
{
    double largest = 0;
    for (std::size_t k = 1; k < X.size(); ++k) largest = std::max({largest, std::fabs(X[k]), std::fabs(Y[k])});
    return 0.5 * N * (std::nextafter(largest, INFINITY) - largest);
}

// A figure that moved by `move` after moving by `last` has settled below its
// tolerance; or, where the rounding of the computation keeps it from getting
// there, below `coarse` while it no longer shrinks to half its last move.
bool Settled(double move, double last, double tolerance, double coarse)
{
    return move < tolerance || (move < coarse && move > 0.5 * last);
}

// A fault of a triangle that the corrected sides no longer close: named with
// its observed sides.
[[noreturn]] void RaiseWithObservedSides(ChainFaultRaised& raised, const ChainWork& o)
{
    ChainFault& f = raised.fault;
    if (f.triangle >= 1) {
        f.adjustedSides = true;
        for (int k = 0; k < 3; ++k) f.sides[static_cast<std::size_t>(k)] = o.SideLengths[2 * f.triangle - 1 + k];
    }
    throw raised;
}

// `at` becomes the observations l corrected by v [m] and vQ [arc s]; sign:
// the orientation angle's coefficient in the azimuth condition.
void MoveTo(const ChainWork& o, const std::vector<double>& v, double vQ, double sign, ChainWork& at)
{
    for (int c = 2; c <= 2 * o.N + 1; ++c) at.SideLengths[c] = o.SideLengths[c] + v[c];
    at.OrientationAngle = o.OrientationAngle + sign * vQ / 3600;
}

// t (sized for at) receives the route at `at`: triangles, azimuths, stations.
void RouteAt(const ChainWork& o, const ChainWork& at, ChainResult& t)
{
    try {
        ComputeApproximateChain(at, t);
    } catch (ChainFaultRaised& raised) {
        RaiseWithObservedSides(raised, o);
    }
}

// The linearisation at `at` (t holding its route): its condition rows and
// normal table, and the corrections v, vQ and correlates k it gives.
void CorrectionsAt(const ChainWork& o, const ChainWork& at, ChainResult& t, std::vector<double>& v, double& vQ,
                   double k[4])
{
    const int N = o.N, Q = 2 * N + 2;
    std::array<double, 4> w{};
    try {
        w = MisclosuresAt(at, t);
        FormConditionEquations(at, t);
    } catch (ChainFaultRaised& raised) {
        RaiseWithObservedSides(raised, o);
    }
    const auto& A = t.ConditionCoefficients;
    Table6 solve = t.NormalMatrix;
    for (int j = 1; j <= 3; ++j) {
        double sum = w[j];
        for (int c = 2; c <= Q; ++c) sum -= A[j][c] * (c == Q ? vQ : v[c]);
        solve[j][4] = sum;
    }
    ReduceNormalRows(solve);
    k[0] = k[1] = k[2] = k[3] = 0;
    BackSubstitute(solve, k);
    for (int c = 2; c <= 2 * N + 1; ++c)
        v[c] = ((k[1] * A[1][c] + k[2] * A[2][c]) + k[3] * A[3][c]) * InverseWeight(o, static_cast<std::size_t>(c));
    vQ = k[1] * A[1][Q] * InverseWeight(o, static_cast<std::size_t>(Q));
}

double LargestChange(const std::vector<double>& a, const std::vector<double>& b, int N)
{
    double change = 0;
    for (int c = 2; c <= 2 * N + 1; ++c) change = std::max(change, std::fabs(b[c] - a[c]));
    return change;
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
    double change = LargestChange(std::vector<double>(v.size(), 0.0), v, N);
    double changeQ = std::fabs(vQ);
    std::vector<double> X, Y, nextX, nextY;  // the points of the last route and of the next
    constexpr double NONE = std::numeric_limits<double>::infinity();  // no move before the first
    double lastChange = NONE, lastChangeQ = NONE, lastMoved = NONE;
    LegEnds(o, r, X, Y);

    ChainWork at = o;
    std::vector<double> previous(v.size(), 0.0);  // the corrections r's tables were formed at
    double vQprevious = 0;
    const double sign = r.ConditionCoefficients[1][Q];
    const bool singleStep = o.constants.ITERATION_LIMIT == 1;
    // The tables of the next linearisation: sized once, then the ones r gave
    // back. A linearisation writes the same cells of them every time (the
    // cells follow from N, the route's signs and the closing alone, which
    // every linearisation shares), and nothing else writes them between, so
    // the cells it leaves keep the values they were sized with.
    ChainResult next;
    while (!singleStep) {
        MoveTo(o, v, vQ, sign, at);
        if (next.PointX.empty()) next = SizedResult(at);
        RouteAt(o, at, next);
        LegEnds(at, next, nextX, nextY);
        const double moved = LargestMove(X, Y, nextX, nextY);
        if (Settled(change, lastChange, SIDE_TOLERANCE, COARSE_LENGTH) &&
            Settled(changeQ, lastChangeQ, ORIENTATION_TOLERANCE, COARSE_ORIENTATION) &&
            Settled(moved, lastMoved, std::max(COORDINATE_TOLERANCE, RouteRounding(N, X, Y)), COARSE_LENGTH)) {
            MoveTo(o, previous, vQprevious, sign, at);  // where r's tables were formed
            break;
        }
        lastMoved = moved;
        if (r.Iterations >= o.constants.ITERATION_LIMIT) RaiseNotConverged(r, N, r.Iterations, change);
        X.swap(nextX);
        Y.swap(nextY);

        previous = v;
        vQprevious = vQ;
        double k[4];
        CorrectionsAt(o, at, next, v, vQ, k);
        lastChange = change;
        lastChangeQ = changeQ;
        change = LargestChange(previous, v, N);
        changeQ = std::fabs(vQ - vQprevious);
        double vv = 0;
        for (int c = 2; c <= 2 * N + 1; ++c) vv += v[c] * v[c];
        RequireFinite(vv, ChainQuantity::Corrections);

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

LinearisationMoves MovesOfOneMoreLinearisation(const ChainWork& o, const ChainResult& r)
{
    const int N = o.N, Q = 2 * N + 2;
    const double sign = r.ConditionCoefficients[1][Q];
    std::vector<double> v = r.Corrections;
    double vQ = sign * r.OrientationCorrection;  // sign is 1, -1 or 0 (then no angle)
    ChainWork at = o;
    MoveTo(o, v, vQ, sign, at);
    ChainResult t = SizedResult(at);
    RouteAt(o, at, t);
    std::vector<double> X, Y, X1, Y1;
    LegEnds(at, t, X, Y);
    double k[4];
    CorrectionsAt(o, at, t, v, vQ, k);
    LinearisationMoves moves;
    moves.correction = LargestChange(r.Corrections, v, N);
    moves.orientation = std::fabs(vQ - sign * r.OrientationCorrection);
    MoveTo(o, v, vQ, sign, at);
    ChainResult t1 = SizedResult(at);
    RouteAt(o, at, t1);
    LegEnds(at, t1, X1, Y1);
    moves.point = LargestMove(X, Y, X1, Y1);
    return moves;
}
