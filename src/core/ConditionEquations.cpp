// Condition equations of the chain, linear in the side corrections v [m]:
//   row 1  azimuth at the closing end      [arc seconds per metre]
//   row 2  northing of C, row 3 easting    [m/m]
//   rows 4, 5  northing and easting of the weakest station M = HalfCount
// The normal matrix A P^-1 A' takes the weights p of the observations.
// A change of side 2i moves the route angle beta_i of triangle i by
// rho sigma_i / h_i; a change of side 2i-1 moves beta_(i-1) and beta_i through
// the cosines of gamma_(i-1) and alpha_i. Each angle change turns the rest of
// the route about its station, which moves a point (X, Y) by
// (-(Y - Yst), X - Xst) per radian.
#include <cmath>
#include <vector>

#include "core/ChainPhases.h"
#include "core/TriangleSolution.h"

static void CheckHeights(const ChainWork& o, const ChainResult& r)
{
    for (int i = 1; i <= o.N; ++i) {
        if (IsFlatTriangle({r.TriangleAngle1[i], r.TriangleAngle2[i]}, r.TriangleTerm[i]))
            RaiseChainFault(TriangleFault(ChainFaultKind::FlatTriangle, i, r.ObservedSides));
    }
}

// The cosines of every triangle's angles at its route ends, cos gamma_i and
// cos alpha_i, taken once for the rows that each need them and kept in the
// result for the precision, which forms the same columns again.
struct RouteCosines {
    const std::vector<double>& gamma;  // [-], index i = 1..N
    const std::vector<double>& alpha;
};

static RouteCosines RouteCosinesOf(const ChainWork& o, ChainResult& r)
{
    const double rpd = o.constants.RADIANS_PER_DEGREE;
    r.CosGamma.resize(static_cast<std::size_t>(o.N) + 1);
    r.CosAlpha.resize(r.CosGamma.size());
    for (int i = 1; i <= o.N; ++i) {
        r.CosGamma[i] = std::cos(r.TriangleAngle3[i] * rpd);
        r.CosAlpha[i] = std::cos(r.TriangleAngle1[i] * rpd);
    }
    return {r.CosGamma, r.CosAlpha};
}

// Coefficients of one coordinate (Xp, Yp) in rows (rx, ry) for the sides of
// triangles 1..last: column 2 and, for i >= 2, columns 2i-1 and 2i (the cross
// side 2i only up to crossLimit).
static void CoordinateRows(const ChainWork& o, ChainResult& r, const RouteCosines& cosines, int rx, int ry, double Xp,
                           double Yp, int last, int crossLimit)
{
    const std::vector<double>& S = o.SideLengths;
    const std::vector<int>& sigma = o.RouteSigns;
    const std::vector<double>& h = r.TriangleTerm;
    const std::vector<double>& X = r.PointX;
    const std::vector<double>& Y = r.PointY;
    std::vector<double>& Ax = r.ConditionCoefficients[rx];
    std::vector<double>& Ay = r.ConditionCoefficients[ry];

    Ax[2] = -sigma[1] * (Yp - Y[0]) / h[1];
    Ay[2] = sigma[1] * (Xp - X[0]) / h[1];
    for (int i = 2; i <= last; ++i) {
        int col = 2 * i - 1;
        double cg = sigma[i - 1] * cosines.gamma[i - 1];
        double ca = sigma[i] * cosines.alpha[i];
        Ax[col] = (X[i - 1] - X[i - 2]) / S[col] + cg * (Yp - Y[i - 2]) / h[i - 1] + ca * (Yp - Y[i - 1]) / h[i];
        Ay[col] = (Y[i - 1] - Y[i - 2]) / S[col] - cg * (Xp - X[i - 2]) / h[i - 1] - ca * (Xp - X[i - 1]) / h[i];
        if (i <= crossLimit) {
            Ax[2 * i] = -sigma[i] * (Yp - Y[i - 1]) / h[i];
            Ay[2 * i] = sigma[i] * (Xp - X[i - 1]) / h[i];
        }
    }
}

// The last route side 2m+1 of the route up to station m, in rows (rx, ry).
static void LastRouteSide(const ChainWork& o, ChainResult& r, const RouteCosines& cosines, int rx, int ry, double Xp,
                          double Yp, int m)
{
    const std::vector<double>& X = r.PointX;
    const std::vector<double>& Y = r.PointY;
    double cg = o.RouteSigns[m] * cosines.gamma[m];
    double side = o.SideLengths[2 * m + 1];
    r.ConditionCoefficients[rx][2 * m + 1] = (X[m] - X[m - 1]) / side + cg * (Yp - Y[m - 1]) / r.TriangleTerm[m];
    r.ConditionCoefficients[ry][2 * m + 1] = (Y[m] - Y[m - 1]) / side - cg * (Xp - X[m - 1]) / r.TriangleTerm[m];
}

void FormConditionEquations(const ChainWork& o, ChainResult& r)
{
    CheckHeights(o, r);
    const int N = o.N;
    const double rpd = o.constants.RADIANS_PER_DEGREE;
    const double rho = o.constants.RHO_SECONDS;
    const std::vector<int>& sigma = o.RouteSigns;
    const std::vector<double>& h = r.TriangleTerm;
    std::vector<double>& A1 = r.ConditionCoefficients[1];
    const RouteCosines cosines = RouteCosinesOf(o, r);

    // Azimuth row
    A1[2] = rho * sigma[1] / h[1];
    for (int i = 2; i <= N; ++i) {
        A1[2 * i - 1] = -rho * (sigma[i - 1] * cosines.gamma[i - 1] / h[i - 1] + sigma[i] * cosines.alpha[i] / h[i]);
        A1[2 * i] = rho * sigma[i] / h[i];
    }

    // Coordinate rows at C; with D the cross sides of the triangles beyond C
    // do not move C.
    int L = N;
    if (PointDGiven(o)) L = sigma[N] != sigma[N - 1] ? N - 1 : N - 2;
    CoordinateRows(o, r, cosines, 2, 3, o.Xc, o.Yc, N, L);
    if (PointDAbsent(o)) {
        A1[2 * N + 1] = -rho * sigma[N] * cosines.gamma[N] / h[N];
        LastRouteSide(o, r, cosines, 2, 3, o.Xc, o.Yc, N);
    }
    if (ExternalAzimuthGiven(o)) A1[2 * N + 2] = sigma[N + 1];

    // Without an azimuth condition the adjustment has the two coordinate
    // conditions alone: the azimuth row is left out.
    if (!AzimuthConditionUsed(o)) std::fill(A1.begin(), A1.end(), 0.0);

    // Weakest station M. Where the route pivots after leg M, station M is still
    // station M-1: carry it along leg M to the far end, the weakest new point.
    const int M = HalfCount(o.N);
    std::vector<double>& X = r.PointX;
    std::vector<double>& Y = r.PointY;
    if (X[M] == X[M - 1] && Y[M] == Y[M - 1]) {
        double side = o.SideLengths[2 * M + 1];
        X[M] = X[M - 1] + side * std::cos(r.RouteAzimuths[M] * rpd);
        Y[M] = Y[M - 1] + side * std::sin(r.RouteAzimuths[M] * rpd);
    }
    CoordinateRows(o, r, cosines, 4, 5, X[M], Y[M], M, M);
    LastRouteSide(o, r, cosines, 4, 5, X[M], Y[M], M);

    // Normal equations: [u q v] summed over columns 2..2N+2 in column order
    // (q = 1/p the inverse weight of the column), all fifteen sums in one pass
    // over the table (each sum in the same order).
    const int last = 2 * N + 2;
    const double* a[6] = {};
    for (int i = 1; i <= 5; ++i) a[i] = r.ConditionCoefficients[i].data();
    double sum[6][6] = {};
    for (int k = 2; k <= last; ++k) {
        const double c[6] = {0, a[1][k], a[2][k], a[3][k], a[4][k], a[5][k]};
        const double q = InverseWeight(o, static_cast<std::size_t>(k));
        // the fifteen written out (the compiler keeps the two loops)
        sum[1][1] += c[1] * c[1] * q; sum[1][2] += c[1] * c[2] * q; sum[1][3] += c[1] * c[3] * q;
        sum[1][4] += c[1] * c[4] * q; sum[1][5] += c[1] * c[5] * q;
        sum[2][2] += c[2] * c[2] * q; sum[2][3] += c[2] * c[3] * q; sum[2][4] += c[2] * c[4] * q;
        sum[2][5] += c[2] * c[5] * q;
        sum[3][3] += c[3] * c[3] * q; sum[3][4] += c[3] * c[4] * q; sum[3][5] += c[3] * c[5] * q;
        sum[4][4] += c[4] * c[4] * q; sum[4][5] += c[4] * c[5] * q;
        sum[5][5] += c[5] * c[5] * q;
    }
    for (int i = 1; i <= 5; ++i) {
        for (int j = i; j <= 5; ++j) {
            RequireFinite(sum[i][j], ChainQuantity::NormalCoefficients);
            r.NormalWork[i][j] = r.NormalWork[j][i] = sum[i][j];
            r.NormalMatrix[i][j] = r.NormalMatrix[j][i] = sum[i][j];
        }
    }
    // The first normal equation becomes k1 = 0 (its row and column are zero).
    if (!AzimuthConditionUsed(o)) r.NormalWork[1][1] = r.NormalMatrix[1][1] = 1;
}
