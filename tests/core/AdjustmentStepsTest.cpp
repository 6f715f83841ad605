// The condition adjustment step by step (计算过程): the worked example's
// coefficients and normal equations as the hand computation gives them, the
// coefficients of generated chains against finite differences of the
// conditions, N against the plain product A A', and the correlates against
// N k + w = 0, for the first and the last linearisation of every closing kind.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "core/ChainPhases.h"
#include "core/Linearisations.h"
#include "display/AdjustmentSteps.h"
#include "support/ChainGenerator.h"
#include "support/ChainTables.h"

namespace {

// The worked example with an outer azimuth at C: A = (0, 0), B = (0, 100),
// N = 2, five sides of 100 m, S2 right and S4 left, C = (-86.6025, 150),
// Tb = 30, Qb = 120 (both positive).
ChainObservations WorkedExample()
{
    ChainWork w;
    w.N = 2;
    w.Xb = 0, w.Yb = 100, w.Xc = -86.6025, w.Yc = 150;
    w.AzimuthAB = 90;
    w.ClosingAzimuth = 30;
    w.OrientationAngle = 120;
    w.SideLengths = {0, 100, 100, 100, 100, 100};
    w.RouteSigns = {0, -1, 1, 1};
    w.UnknownPointCount = 1;
    return ObservationsFromTables(NamedClosing(w));
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The cells of the first line that starts with `label`, split at blanks.
std::vector<std::string> Row(const std::vector<std::string>& lines, const std::string& label)
{
    for (const std::string& line : lines)
        if (line.rfind(label, 0) == 0) {
            std::istringstream in(line.substr(label.size()));
            std::vector<std::string> cells;
            for (std::string c; in >> c;) cells.push_back(c);
            return cells;
        }
    return {};
}

// The worked example of the hand computation: each coefficient and each
// element of N to the decimals given there.
TEST(AdjustmentSteps, TheWorkedExampleTableForTable)
{
    ChainListing listing;
    const std::string text = FullReportAsText(ComposeAdjustmentSteps(WorkedExample(), listing, "2026-12-09"));
    const std::vector<std::string> lines = Lines(text);
    const struct {
        const char* label;
        double a, b, c, fx, fy;
    } coefficients[] = {{"S2 ", -2381.74, 0.5774, 1.0000, -0.5774, 1.0000},
                        {"S3 ", 0.00, -0.5774, -1.0000, -0.5774, -1.0000},
                        {"S4 ", 2381.74, -1.1547, 0.0000, 0, 0},
                        {"S5 ", -1190.87, 0.5774, 1.0000, 0, 0}};
    for (const auto& row : coefficients) {
        const std::vector<std::string> cells = Row(lines, row.label);
        ASSERT_EQ(cells.size(), 5u) << row.label << "\n" << text;
        EXPECT_NEAR(std::stod(cells[0]), row.a, 0.005) << row.label;
        EXPECT_NEAR(std::stod(cells[1]), row.b, 0.00005) << row.label;
        EXPECT_NEAR(std::stod(cells[2]), row.c, 0.00005) << row.label;
        EXPECT_NEAR(std::stod(cells[3]), row.fx, 0.00005) << row.label;
        EXPECT_NEAR(std::stod(cells[4]), row.fy, 0.00005) << row.label;
    }
    EXPECT_EQ(Row(lines, "定向角 Q"), std::vector<std::string>{"1.0000"});
    const struct {
        const char* label;
        double n[5];
        double tolerance;
    } normals[] = {{"a  ", {12763576.07, -4812.85, -3572.61, 1375.10, -2381.74}, 0.005},
                   {"b  ", {-4812.85, 2.3333, 1.7321, 0.0000, 1.1547}, 0.005},
                   {"c  ", {-3572.61, 1.7321, 3.0000, 0.0000, 2.0000}, 0.005},
                   {"f_x  ", {1375.10, 0.0000, 0.0000, 0.6667, 0.0000}, 0.005},
                   {"f_y  ", {-2381.74, 1.1547, 2.0000, 0.0000, 2.0000}, 0.005}};
    for (const auto& row : normals) {
        const std::vector<std::string> cells = Row(lines, row.label);
        ASSERT_EQ(cells.size(), 5u) << row.label;
        for (int j = 0; j < 5; ++j) EXPECT_NEAR(std::stod(cells[static_cast<std::size_t>(j)]), row.n[j], row.tolerance) << row.label << j;
    }
    // station M = 1: 1/py = 0.66667, 1/px about 2.4e-7
    EXPECT_NE(text.find("1/px = 0.000000，1/py = 0.666667"), std::string::npos);
    EXPECT_NE(text.find("第 1 次线性化（在观测值处）"), std::string::npos);
}

// The conditions at sides s: the closing azimuth [arc s] and C's X, Y [m] as
// computed along the route, minus the known values.
std::array<double, 4> Conditions(ChainWork at)
{
    ChainResult r = SizedResult(at);
    ComputeApproximateChain(at, r);
    return MisclosuresAt(at, r);
}

struct Case {
    const char* label;
    chain::Closing closing;
    int N;
    bool weighted = false;  // 3 mm + 2 ppm, the orientation angle 1.5"
};

const Case kCases[] = {{"C alone, N = 1", chain::Closing::NoAzimuth, 1},
                       {"C alone, N = 6", chain::Closing::NoAzimuth, 6},
                       {"C alone, N = 6, weighted", chain::Closing::NoAzimuth, 6, true},
                       {"outer azimuth, N = 2", chain::Closing::ExternalAzimuth, 2},
                       {"outer azimuth, N = 9", chain::Closing::ExternalAzimuth, 9},
                       {"outer azimuth, N = 9, weighted", chain::Closing::ExternalAzimuth, 9, true},
                       {"C-D, N = 3", chain::Closing::PointD, 3},
                       {"C-D, N = 8", chain::Closing::PointD, 8},
                       {"C-D, N = 8, weighted", chain::Closing::PointD, 8, true}};

TEST(AdjustmentSteps, CoefficientsNormalsAndCorrelatesOfEveryClosingKind)
{
    for (const Case& c : kCases) {
        chain::ChainSpec spec;
        spec.triangles = c.N;
        spec.closing = c.closing;
        spec.noiseMm = 5;
        spec.seed = 7;
        ChainObservations observed = ObservationsOfGenerated(chain::GenerateChain(spec));
        if (c.weighted) {
            observed.edm = DistanceAccuracy{3, 2};
            if (observed.orientation) observed.orientation->sigmaSec = 1.5;
        }
        const Linearisations all = FirstAndLastLinearisation(observed);
        ASSERT_FALSE(all.shown.empty()) << c.label;
        ASSERT_EQ(all.shown[0].at.InverseWeights.empty(), !c.weighted);
        EXPECT_EQ(all.shown.size(), 2u) << c.label << ": noise of 5 mm takes more than one linearisation";
        for (const Linearisation& L : all.shown) {
            const auto& A = L.tables.ConditionCoefficients;
            const int N = L.at.N;
            // The coordinate rows take the lever arms to the known C, as the
            // method of conditions does; they differ from the derivatives of
            // the computed chain by about the misclosure over a triangle's height.
            double lowest = 1e300;
            for (int i = 1; i <= N; ++i) lowest = std::min(lowest, L.tables.TriangleTerm[static_cast<std::size_t>(i)]);
            const std::array<double, 4> f = Conditions(L.at);
            const double leverTolerance = 1e-6 + 4 * std::hypot(f[2], f[3]) / lowest;
            // each column of rows 1..3 against the central difference of the
            // conditions for a change of 1 mm in that side
            for (int k = 2; k <= 2 * N + 1; ++k) {
                const double h = 1e-3;
                ChainWork up = L.at, down = L.at;
                up.SideLengths[static_cast<std::size_t>(k)] += h;
                down.SideLengths[static_cast<std::size_t>(k)] -= h;
                const std::array<double, 4> fu = Conditions(up), fd = Conditions(down);
                const bool known = c.closing == chain::Closing::PointD && k == 2 * N + 1;  // C-D from coordinates
                for (int row = 1; row <= 3; ++row) {
                    if (row == 1 && !all.azimuthCondition) continue;
                    const double difference = known ? 0 : (fu[static_cast<std::size_t>(row)] - fd[static_cast<std::size_t>(row)]) / (2 * h);
                    const double scale = row == 1 ? 1e-3 * std::max(1.0, std::fabs(difference)) : leverTolerance;
                    EXPECT_NEAR(A[static_cast<std::size_t>(row)][static_cast<std::size_t>(k)], difference, scale)
                        << c.label << ", linearisation " << L.number << ", row " << row << ", side " << k;
                }
            }
            // N = A P^-1 A' over every column, sides and the orientation angle:
            // q = 1/p from the distance meter's a + b D, worked here
            const double mu0 = 3 + 2;  // [mm], a side of 1 km
            // (without an azimuth condition its row and column stand for k1 = 0)
            for (std::size_t i = all.azimuthCondition ? 1 : 2; i <= 5; ++i)
                for (std::size_t j = all.azimuthCondition ? 1 : 2; j <= 5; ++j) {
                    double n = 0;
                    for (std::size_t col = 2; col < A[i].size(); ++col) {
                        double q = 1;
                        if (c.weighted) {
                            const bool angle = col == A[i].size() - 1;
                            const double sigma = angle ? 1.5 * 1000 : 3 + 2 * observed.sides[col].used / 1000;  // angle: mm per ″ of unit weight
                            q = (col == 2 * static_cast<std::size_t>(N) + 1 && c.closing == chain::Closing::PointD)
                                    ? 0 : sigma * sigma / (mu0 * mu0);
                        }
                        n += A[i][col] * A[j][col] * q;
                    }
                    EXPECT_NEAR(L.tables.NormalMatrix[i][j], n, 1e-9 * std::max(1.0, std::fabs(n))) << c.label << i << j;
                }
            // the correlates solve N k + w = 0 for the conditions used
            for (std::size_t i = all.azimuthCondition ? 1 : 2; i <= 3; ++i) {
                double residual = L.w[i];
                for (std::size_t j = 1; j <= 3; ++j) residual += L.tables.NormalMatrix[i][j] * L.k[j];
                EXPECT_NEAR(residual, 0, 1e-9 * std::max(1.0, std::fabs(L.w[i]))) << c.label << ", equation " << i;
            }
        }
    }
}

// Above 200 triangles the first and last 20 are shown, and the omission said.
TEST(AdjustmentSteps, ALongChainShowsBothEnds)
{
    chain::ChainSpec spec;
    spec.triangles = 250;
    spec.noiseMm = 1;
    const ChainObservations observed = ObservationsOfGenerated(chain::GenerateChain(spec));
    ChainListing listing;
    const std::string text = FullReportAsText(ComposeAdjustmentSteps(observed, listing, "2026-12-09"));
    const std::vector<std::string> lines = Lines(text);
    EXPECT_NE(text.find("（第 21 至第 230 个三角形的角从略。）"), std::string::npos);
    EXPECT_NE(text.find("三角形多于 200 个：只列出前 20 个和后 20 个三角形及其边和测站。"), std::string::npos);
    EXPECT_FALSE(Row(lines, "20 ").empty());
    EXPECT_TRUE(Row(lines, "21 ").empty());
    EXPECT_FALSE(Row(lines, "231 ").empty());
    EXPECT_FALSE(Row(lines, "S41 ").empty());
    EXPECT_TRUE(Row(lines, "S44 ").empty());
    EXPECT_FALSE(Row(lines, "S501 ").empty());
}

}  // namespace
