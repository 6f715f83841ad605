// The textbook chain of two equilateral triangles of 100 m: A = (0, 0),
// B = (0, 100), C = (-86.6025, 150.0000), S2 on the right of the route, S4 on
// the left. Every figure below is compared to the digits it is quoted with.
#include <gtest/gtest.h>

#include <cmath>

#include "core/ChainPhases.h"
#include "core/Geometry.h"
#include "display/ResultDisplay.h"
#include "text/DisplayFormat.h"
#include "run/ScriptedPlatform.h"

namespace {

std::string F(double v, int decimals) { return FormatFixed(v, decimals); }

struct WorkedExample : ::testing::Test {
    ChainWork o;
    ChainResult r;
    ScriptedPlatform p{{}};

    // Three conditions: an external azimuth at C and a positive orientation angle.
    void Build(int sigma2 = +1, bool azimuthData = true)
    {
        o.N = 2;
        o.Xb = 0, o.Yb = 100, o.Xc = -86.6025, o.Yc = 150, o.Xd = 0, o.Yd = 0;
        o.SideLengths.assign(6, 0.0);
        for (int k = 2; k <= 5; ++k) o.SideLengths[k] = 100;
        o.RouteSigns.assign(4, 0);
        o.RouteSigns[1] = -1;
        o.RouteSigns[2] = sigma2;
        if (azimuthData) {
            o.ClosingAzimuth = 300;
            o.OrientationAngle = 30;
            o.RouteSigns[3] = +1;
        }
        o.UnknownPointCount = 1;
        LengthAzimuth ab = AzimuthFromDifferences(0 - 0, 100 - 0, o.constants.RADIANS_PER_DEGREE);  // A = (0, 0), B = (0, 100)
        o.SideLengths[1] = ab.S;
        o.AzimuthAB = ab.alpha;
        o.closing = ClosingKindOf(o.Xd, o.Yd, o.ClosingAzimuth, o.OrientationAngle);
        r = SizedResult(o);
        ComputeApproximateChain(o, r);
    }
    double A(int row, int col) const { return r.ConditionCoefficients[row][static_cast<std::size_t>(col)]; }
    double N(int i, int j) const { return r.NormalMatrix[i][j]; }
};

TEST_F(WorkedExample, ApproximateChainAdvancing)
{
    Build();
    EXPECT_EQ(o.SideLengths[1], 100);
    EXPECT_EQ(o.AzimuthAB, 90);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_GT(r.TriangleAngle1[i], 60);
        EXPECT_GT(r.TriangleAngle2[i], 60);
        EXPECT_LT(r.TriangleAngle3[i], 60);
        EXPECT_NEAR(r.TriangleAngle3[i], 60, 1e-8);
    }
    EXPECT_EQ(F(r.RouteAzimuths[1], 6), "210.000000");
    EXPECT_EQ(F(r.PointX[1], 4), "-86.6025");
    EXPECT_EQ(F(r.PointY[1], 4), "50.0000");
    EXPECT_EQ(F(r.RouteAzimuths[2], 6), "90.000000");  // 450 reduced once
    EXPECT_EQ(F(r.PointX[2], 4), "-86.6025");
    EXPECT_EQ(F(r.PointY[2], 4), "150.0000");
    EXPECT_EQ(F(r.TriangleTerm[1], 5), "86.60254");
    EXPECT_EQ(r.ObservedSides[3], 100);
}

TEST_F(WorkedExample, ApproximateChainPivoting)
{
    Build(-1);
    EXPECT_EQ(F(r.RouteAzimuths[2], 6), "150.000000");  // no reduction after a pivot
    EXPECT_EQ(r.PointX[1], 0);
    EXPECT_EQ(r.PointY[1], 100);
    EXPECT_EQ(F(r.PointX[2], 4), "-86.6025");
    EXPECT_EQ(F(r.PointY[2], 4), "150.0000");
}

TEST_F(WorkedExample, ConditionCoefficientsAndNormalMatrix)
{
    Build();
    ComputeMisclosures(o, r);
    FormConditionEquations(o, r);
    const char* rows[6][6] = {
        {},
        {"", "", "-2381.74", "0.00", "2381.74", "-1190.87"},
        {"", "", "0.5774", "-0.5774", "-1.1547", "0.5774"},
        {"", "", "1.0000", "-1.0000", "0.0000", "1.0000"},
        {"", "", "-0.5774", "-0.5774", "", ""},
        {"", "", "1.0000", "-1.0000", "", ""},
    };
    for (int row = 1; row <= 5; ++row)
        for (int col = 2; col <= 5; ++col) {
            std::string expected = rows[row][col];
            if (expected.empty()) {
                EXPECT_EQ(A(row, col), 0) << row << "," << col;
            } else {
                int decimals = static_cast<int>(expected.size() - expected.find('.') - 1);
                EXPECT_EQ(F(A(row, col), decimals), expected) << row << "," << col;
            }
        }
    EXPECT_EQ(A(1, 6), 1);
    for (int row = 2; row <= 5; ++row) EXPECT_EQ(A(row, 6), 0);
    EXPECT_NE(A(1, 3), 0);  // about 2e-7: the angles carry the shortened pi
    EXPECT_LT(std::fabs(A(1, 3)), 1e-6);

    EXPECT_EQ(F(N(1, 1), 2), "12763576.07");
    EXPECT_EQ(F(N(1, 2), 2), "-4812.85");
    EXPECT_EQ(F(N(1, 3), 2), "-3572.61");
    EXPECT_EQ(F(N(1, 4), 2), "1375.10");
    EXPECT_EQ(F(N(1, 5), 2), "-2381.74");
    EXPECT_EQ(F(N(2, 2), 4), "2.3333");
    EXPECT_EQ(F(N(2, 3), 4), "1.7320");  // sqrt(3) belongs to the exact C
    EXPECT_EQ(F(N(2, 3), 5), "1.73205");
    EXPECT_EQ(F(N(2, 4), 4), "0.0000");
    EXPECT_EQ(F(N(2, 5), 4), "1.1547");
    EXPECT_EQ(F(N(3, 3), 4), "3.0000");
    EXPECT_EQ(F(N(3, 4), 4), "0.0000");
    EXPECT_EQ(F(N(3, 5), 4), "2.0000");
    EXPECT_EQ(F(N(4, 4), 4), "0.6667");
    EXPECT_EQ(F(N(4, 5), 4), "0.0000");
    EXPECT_EQ(F(N(5, 5), 4), "2.0000");
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) {
            EXPECT_EQ(N(i, j), N(j, i));
            EXPECT_EQ(r.NormalWork[i][j], N(i, j));
        }
}

TEST_F(WorkedExample, WeightReciprocalsCorrectionsAndPrecision)
{
    Build();
    ComputeMisclosures(o, r);
    FormConditionEquations(o, r);
    ComputeWeightReciprocals(r);
    ShowResult(r, p);
    EXPECT_EQ(F(*r.InvPy, 5), "0.66667");
    EXPECT_EQ(p.Field(23), "  0.6667");
    EXPECT_GT(*r.InvPx, 1e-7);  // the northing of station 1 is almost fixed
    EXPECT_LT(*r.InvPx, 5e-7);
    EXPECT_EQ(p.Field(21), "  0.0000");

    r.Misclosures = {0, 10, 0.01f, -0.02f};
    ApplyCorrections(o, r);
    EXPECT_EQ(F(r.Correlates[1] * 1e5, 4), "-1.0798");
    EXPECT_EQ(F(r.Correlates[2], 7), "-0.0384324");
    EXPECT_EQ(F(r.Correlates[3], 7), "0.0159968");
    EXPECT_EQ(F(r.Corrections[2], 6), "0.019526");
    EXPECT_EQ(F(r.Corrections[3], 6), "0.006192");
    EXPECT_EQ(F(r.Corrections[4], 6), "0.018660");
    EXPECT_EQ(F(r.Corrections[5], 6), "0.006667");
    EXPECT_EQ(F(r.SumSquaredCorrections, 8), "0.00081224");
    EXPECT_EQ(r.SideLengths[2], 100 + r.Corrections[2]);
    EXPECT_EQ(r.SideLengths[1], 100);  // the known side is never corrected

    // The coordinate conditions are met exactly: A v + w = 0 in rows 2 and 3.
    for (int row = 2; row <= 3; ++row) {
        double sum = r.Misclosures[static_cast<std::size_t>(row)];
        for (int k = 2; k <= 5; ++k) sum += A(row, k) * r.Corrections[static_cast<std::size_t>(k)];
        EXPECT_NEAR(sum, 0, 1e-15);
    }
    // Row 1 only with the orientation angle's own share k1 * sigma(N+1).
    double azimuth = r.Misclosures[1] + r.Correlates[1] * 1;
    for (int k = 2; k <= 5; ++k) azimuth += A(1, k) * r.Corrections[static_cast<std::size_t>(k)];
    EXPECT_NEAR(azimuth, 0, 1e-9);

    ComputeStandardErrors(o, r);
    ShowResult(r, p);
    EXPECT_EQ(F(*r.ms, 3), "16.454");
    EXPECT_EQ(F(*r.mx, 5), "0.00798");
    EXPECT_EQ(F(*r.my, 3), "13.435");
    EXPECT_EQ(F(*r.md, 3), "13.435");
    EXPECT_EQ(p.Field(16), "16.45 毫米");
    EXPECT_EQ(p.Field(22), "  0.01 毫米");
    EXPECT_EQ(p.Field(24), "  13.43 毫米");
    EXPECT_EQ(p.Field(25), "  13.43 毫米");
    // md from the stored single-precision mx and my
    EXPECT_EQ(*r.md, static_cast<float>(std::sqrt(double(*r.my) * *r.my + double(*r.mx) * *r.mx)));
}

TEST_F(WorkedExample, MisclosuresEnterInSinglePrecision)
{
    Build();
    ComputeMisclosures(o, r);
    FormConditionEquations(o, r);
    ComputeWeightReciprocals(r);
    ShowResult(r, p);
    r.Misclosures = {0, 0, 0.1f, 0};
    ApplyCorrections(o, r);
    EXPECT_EQ(r.NormalMatrix[2][4], 0.10000000149011612);
}

TEST_F(WorkedExample, ZeroMisclosuresGiveZeroCorrections)
{
    Build();
    ComputeMisclosures(o, r);
    FormConditionEquations(o, r);
    ComputeWeightReciprocals(r);
    ShowResult(r, p);
    r.Misclosures = {};
    ApplyCorrections(o, r);
    for (int k = 2; k <= 5; ++k) EXPECT_EQ(r.Corrections[static_cast<std::size_t>(k)], 0);
    EXPECT_EQ(r.SumSquaredCorrections, 0);
    ComputeStandardErrors(o, r);
    ShowResult(r, p);
    EXPECT_EQ(p.Field(16), "0.00 毫米");
    EXPECT_EQ(p.Field(22), "  0.00 毫米");
    EXPECT_EQ(p.Field(25), "  0.00 毫米");
    EXPECT_EQ(p.Field(23), "  0.6667");
}

TEST_F(WorkedExample, AdjustedCoordinatesAdvancingAndPivoting)
{
    for (int sigma2 : {+1, -1}) {
        Build(sigma2, false);
        ComputeAdjustedCoordinates(o, r);
        EXPECT_EQ(F(r.RouteAzimuths[1], 6), "210.000000");
        EXPECT_EQ(F(r.RouteAzimuths[2], 6), sigma2 == 1 ? "90.000000" : "150.000000");
        EXPECT_EQ(F(r.PointX[1], 4), "-86.6025");  // the far end of leg 1, not B
        EXPECT_EQ(F(r.PointY[1], 4), "50.0000");
        EXPECT_EQ(F(r.PointX[2], 4), "-86.6025");
        EXPECT_EQ(F(r.PointY[2], 4), "150.0000");
        EXPECT_EQ(r.PointX[0], 0);
        EXPECT_EQ(r.PointY[0], 100);
    }
}

// The solver by numbers and by its properties.
TEST(NormalSolver, TextbookSystem)
{
    Table6 P{}, Q{};
    const double n[4][4] = {{}, {0, 4, 2, 0}, {0, 2, 5, 1}, {0, 0, 1, 3}};
    const double u[4] = {0, 1, 2, 3};
    for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) P[i][j] = Q[i][j] = n[i][j];
        P[i][4] = Q[i][4] = u[i];
    }
    std::int16_t column = 4;
    double result = scd(P, Q, column);
    EXPECT_NEAR(result, -73.0 / 22, 1e-15);
    EXPECT_EQ(F(result, 7), "-3.3181818");
    EXPECT_EQ(Q[2][2], 4);
    EXPECT_EQ(Q[2][3], 1);
    EXPECT_EQ(Q[2][4], 1.5);
    EXPECT_EQ(Q[3][3], 2.75);
    EXPECT_EQ(Q[3][4], 2.625);

    // x solves N x + u = 0: rebuild it from the unreduced table.
    double x[4] = {};
    BackSubstitute(Q, x);
    for (int i = 1; i <= 3; ++i) {
        double residual = P[i][4];
        for (int j = 1; j <= 3; ++j) residual += P[i][j] * x[j];
        EXPECT_NEAR(residual, 0, 1e-15);
    }
    EXPECT_NEAR(x[1], -2.0 / 11, 1e-16);
    EXPECT_NEAR(x[2], -3.0 / 22, 1e-16);
    EXPECT_NEAR(x[3], -21.0 / 22, 1e-16);

    // A second call on the reduced table reduces again: a different answer.
    EXPECT_NE(scd(P, Q, column), result);
}

TEST(NormalSolver, LowerTriangleIsNeverRead)
{
    Table6 P{}, Q{};
    const double n[4][4] = {{}, {0, 4, 2, 0}, {0, 2, 5, 1}, {0, 0, 1, 3}};
    for (int i = 1; i <= 3; ++i) {
        for (int j = i; j <= 3; ++j) P[i][j] = Q[i][j] = n[i][j];
        for (int j = 1; j < i; ++j) Q[i][j] = 1e300 * i;
        P[i][4] = Q[i][4] = i;
    }
    std::int16_t column = 4;
    EXPECT_NEAR(scd(P, Q, column), -73.0 / 22, 1e-15);
}

TEST(NormalSolver, DiagonalSystem)
{
    Table6 P{}, Q{};
    for (int i = 1; i <= 3; ++i) {
        P[i][i] = Q[i][i] = 2.0 * i;
        P[i][5] = Q[i][4] = 1;
    }
    std::int16_t column = 5;
    EXPECT_NEAR(scd(P, Q, column), -(1 / 2.0 + 1 / 4.0 + 1 / 6.0), 1e-15);
}

}  // namespace
