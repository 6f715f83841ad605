// The condition adjustment of the program against an independent adjustment
// by observation equations, on generated chains of every closing kind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "reference/ParametricAdjustment.h"
#include "run/AdjustmentRun.h"
#include "support/ChainGenerator.h"
#include "run/ScriptedPlatform.h"

using chain::Closing;
using chain::GeneratedChain;

namespace {

std::string SignText(const GeneratedChain& g)
{
    std::string t;
    for (int i = 1; i <= g.N; ++i) t += g.signs[static_cast<std::size_t>(i)] < 0 ? '-' : '+';
    return t;
}

std::string Describe(const GeneratedChain& g)
{
    return std::string(ClosingName(g.spec.closing)) + ", N=" + std::to_string(g.N) + ", signs " + SignText(g) +
           ", seed " + std::to_string(g.spec.seed) + ", noise " + std::to_string(g.spec.noiseMm) + " mm";
}

struct ProgramRun {
    ProgramState state;
    RunOutcome outcome{RunOutcome::Failed, "not run"};
    bool inputLeft = false;
};

ProgramRun RunProgram(const GeneratedChain& g)
{
    ProgramRun run;
    ScriptedPlatform platform(g.answers);
    run.outcome = AdjustmentRun(run.state, platform);
    run.inputLeft = platform.HasUnreadInput();
    return run;
}

// The chains whose weakest point is not the station M, with that point.
std::vector<std::string>& WeakerThanTheMiddle()
{
    static std::vector<std::string> chains;
    return chains;
}

// Starting coordinates for the reference: the truth moved by a few centimetres.
std::vector<chain::Point2> Perturbed(const GeneratedChain& g)
{
    std::vector<chain::Point2> p = g.points;
    for (std::size_t i = 0; i < p.size(); ++i) {
        double k = static_cast<double>(i);
        p[i].x += 0.05 * std::sin(1.7 * k + 0.3);
        p[i].y += 0.05 * std::cos(2.3 * k + 0.1);
    }
    return p;
}

struct Comparison {
    double maxCoordinateDiff = 0;  // [m], over the new points
    double vvProgram = 0, vvReference = 0;
    double invPx = 0, invPy = 0;      // program
    double qxx = 0, qyy = 0;          // reference cofactors of the weakest point
    int weakest = 0;
    bool weakestKnown = false;
    int redundancy = 0;
};

double RelativeDiff(double value, double reference, double floor)
{
    return std::fabs(value - reference) / std::max(std::fabs(reference), floor);
}

// Worst figures over many chains of one closing kind.
struct Worst {
    double coordinate = 0;
    double vvRelative = 0;
    double cofactorRelative = 0;
    int chains = 0;
    void Add(const Comparison& c)
    {
        ++chains;
        coordinate = std::max(coordinate, c.maxCoordinateDiff);
        if (c.vvReference > 0) vvRelative = std::max(vvRelative, RelativeDiff(c.vvProgram, c.vvReference, 1e-30));
        if (!c.weakestKnown) {
            cofactorRelative = std::max(cofactorRelative, RelativeDiff(c.invPx, c.qxx, 1e-6));
            cofactorRelative = std::max(cofactorRelative, RelativeDiff(c.invPy, c.qyy, 1e-6));
        }
    }
    void Print(const char* name) const
    {
        std::printf("[reference] %-17s %4d chains: max |dXY| %.3g mm, max [vv] rel %.3g %%, max cofactor rel %.3g %%\n",
                    name, chains, coordinate * 1e3, vvRelative * 100, cofactorRelative * 100);
    }
};

// Runs the program and the reference on one chain and checks the bounds.
Comparison CompareWithReference(const GeneratedChain& g)
{
    SCOPED_TRACE(Describe(g));
    Comparison c;
    ProgramRun run = RunProgram(g);
    EXPECT_EQ(run.outcome.kind, RunOutcome::Completed) << run.outcome.reason;
    EXPECT_FALSE(run.inputLeft);
    if (run.outcome.kind != RunOutcome::Completed) return c;

    reference::Result ref = reference::Adjust(reference::NetworkFromChain(g, Perturbed(g)));
    EXPECT_TRUE(ref.converged);
    c.redundancy = ref.redundancy;
    EXPECT_EQ(ref.redundancy, g.spec.closing == Closing::NoAzimuth ? 2 : 3);

    const ProgramState& s = run.state;
    for (int id : g.unknownPoints) {
        const chain::Point2& r = ref.coords[static_cast<std::size_t>(reference::NetIndex(id))];
        double dx = s.LastRun->result.PointX.at(static_cast<std::size_t>(id)) - r.x;
        double dy = s.LastRun->result.PointY.at(static_cast<std::size_t>(id)) - r.y;
        EXPECT_LE(std::fabs(dx), 1e-4) << "X of point " << id;
        EXPECT_LE(std::fabs(dy), 1e-4) << "Y of point " << id;
        c.maxCoordinateDiff = std::max({c.maxCoordinateDiff, std::fabs(dx), std::fabs(dy)});
    }

    const double r = g.spec.closing == Closing::NoAzimuth ? 2.0 : 3.0;
    double ms = static_cast<double>((*s.LastRun->result.ms)) / 1000.0;
    c.vvProgram = r * ms * ms;
    c.vvReference = ref.sumSquaredSideResiduals;
    EXPECT_NEAR(c.vvProgram, c.vvReference, 0.01 * c.vvReference + 1e-12)
        << "[vv] program " << c.vvProgram << " reference " << c.vvReference;

    // The weakest point: the reference's new point with the largest Qxx + Qyy,
    // the first along the route where two agree to 1e-6 (rounding of either
    // adjustment); a chain without new points keeps the station M.
    const int middle = (g.N + 1) / 2;
    c.weakest = middle;
    double largest = -1;
    for (int id : g.unknownPoints) {
        const int at = reference::NetIndex(id);
        const double sum = ref.CofactorX(at) + ref.CofactorY(at);
        if (sum > largest * (1 + 1e-6)) largest = sum, c.weakest = id;
    }
    if (c.weakest != middle) WeakerThanTheMiddle().push_back(Describe(g) + ": P" + std::to_string(c.weakest));
    EXPECT_EQ(s.LastRun->result.WeakestPoint, c.weakest) << "the weakest point";
    int net = reference::NetIndex(c.weakest);
    c.weakestKnown = ref.unknownSlot[static_cast<std::size_t>(net)] < 0;
    c.qxx = ref.CofactorX(net);
    c.qyy = ref.CofactorY(net);
    c.invPx = (*s.LastRun->result.InvPx);
    c.invPy = (*s.LastRun->result.InvPy);
    EXPECT_NEAR(c.invPx, c.qxx, std::max(1e-3 * std::fabs(c.qxx), 1e-6)) << "1/px of point " << c.weakest;
    EXPECT_NEAR(c.invPy, c.qyy, std::max(1e-3 * std::fabs(c.qyy), 1e-6)) << "1/py of point " << c.weakest;
    return c;
}

struct Pattern {
    const char* name;
    std::vector<int> signs;
};

std::vector<Pattern> Patterns(int n, Closing closing)
{
    std::vector<Pattern> p;
    p.push_back({"zigzag", chain::ZigzagSigns(n)});
    p.push_back({"pivot runs of 2", chain::PivotSigns(n, 2, closing)});
    p.push_back({"pivot runs of 3", chain::PivotSigns(n, 3, closing)});
    p.push_back({"random A", chain::RandomSigns(n, 1000 + static_cast<std::uint64_t>(n), closing)});
    p.push_back({"random B", chain::RandomSigns(n, 5000 + static_cast<std::uint64_t>(n), closing)});
    return p;
}

void CompareClosingKind(Closing closing)
{
    Worst worst;
    const int first = closing == Closing::PointD ? 2 : 1;
    for (int n = first; n <= 40; ++n) {
        for (const Pattern& pattern : Patterns(n, closing)) {
            if (!chain::ValidSigns(pattern.signs, closing)) continue;
            chain::ChainSpec spec;
            spec.triangles = n;
            spec.closing = closing;
            spec.signs = pattern.signs;
            spec.seed = static_cast<std::uint64_t>(100 * n) + worst.chains % 7;
            spec.noiseMm = 3;
            spec.orientationNoiseSec = 1;
            GeneratedChain g = chain::GenerateChain(spec);
            SCOPED_TRACE(pattern.name);
            worst.Add(CompareWithReference(g));
        }
    }
    worst.Print(ClosingName(closing));
    for (const std::string& c : WeakerThanTheMiddle()) std::printf("[reference] weakest not the middle station: %s\n", c.c_str());
    WeakerThanTheMiddle().clear();
}

}  // namespace

TEST(ReferenceAdjustment, PointDGiven) { CompareClosingKind(Closing::PointD); }

TEST(ReferenceAdjustment, ExternalAzimuthWithOrientationAngle) { CompareClosingKind(Closing::ExternalAzimuth); }

TEST(ReferenceAdjustment, NoAzimuthData) { CompareClosingKind(Closing::NoAzimuth); }

// Without noise the chain closes: the misclosures vanish and both adjustments
// return the true coordinates. The reference holds them to 1e-6 m. The
// program carries its azimuths with pi shortened to 3.1415926535: every 180 or
// 360 degrees added or removed along the route turns the following legs by
// (pi - 3.1415926535) / 180 per degree, some 1e-10 rad, so the approximate
// chain misses C by micrometres over tens of kilometres, and the adjustment
// spreads that over every side. The program's share is therefore held to
// 1e-6 m plus 3e-10 of the extent of the chain (its farthest point from B);
// with full pi instead, 1e-6 m holds for every point.
TEST(ReferenceAdjustment, NoiseFreeChainsClose)
{
    const double SHORT_PI_DRIFT = 3e-10;  // [m per m of chain extent]
    double worstReference = 0, worstProgram = 0, worstProgramRatio = 0;
    for (Closing closing : {Closing::PointD, Closing::ExternalAzimuth, Closing::NoAzimuth}) {
        for (int n : {1, 2, 3, 4, 5, 8, 13, 40}) {
            if (closing == Closing::PointD && n < 2) continue;
            for (const Pattern& pattern : Patterns(n, closing)) {
                if (!chain::ValidSigns(pattern.signs, closing)) continue;
                chain::ChainSpec spec;
                spec.triangles = n;
                spec.closing = closing;
                spec.signs = pattern.signs;
                spec.seed = static_cast<std::uint64_t>(7 * n + 3);
                spec.noiseMm = 0;
                spec.orientationNoiseSec = 0;
                GeneratedChain g = chain::GenerateChain(spec);
                SCOPED_TRACE(Describe(g) + ", " + pattern.name);

                ProgramRun run = RunProgram(g);
                ASSERT_EQ(run.outcome.kind, RunOutcome::Completed) << run.outcome.reason;
                const ProgramState& s = run.state;
                double extent = 0;
                for (const chain::Point2& p : g.points) extent = std::max(extent, std::hypot(p.x - g.B.x, p.y - g.B.y));
                const double tol = 1e-6 + SHORT_PI_DRIFT * extent;
                EXPECT_LE(std::fabs(s.LastRun->result.Misclosures[1]), 1e-3f) << "wb [arc s]";
                EXPECT_LE(std::fabs(static_cast<double>(s.LastRun->result.Misclosures[2])), tol) << "wx [m]";
                EXPECT_LE(std::fabs(static_cast<double>(s.LastRun->result.Misclosures[3])), tol) << "wy [m]";

                reference::Result ref = reference::Adjust(reference::NetworkFromChain(g, Perturbed(g)));
                EXPECT_TRUE(ref.converged);
                for (int id : g.unknownPoints) {
                    const chain::Point2& t = g.points[static_cast<std::size_t>(id)];
                    const chain::Point2& r = ref.coords[static_cast<std::size_t>(reference::NetIndex(id))];
                    double ex = s.LastRun->result.PointX.at(static_cast<std::size_t>(id)) - t.x;
                    double ey = s.LastRun->result.PointY.at(static_cast<std::size_t>(id)) - t.y;
                    EXPECT_LE(std::fabs(ex), tol) << "program X of point " << id;
                    EXPECT_LE(std::fabs(ey), tol) << "program Y of point " << id;
                    EXPECT_NEAR(r.x, t.x, 1e-6) << "reference X of point " << id;
                    EXPECT_NEAR(r.y, t.y, 1e-6) << "reference Y of point " << id;
                    double e = std::max(std::fabs(ex), std::fabs(ey));
                    worstProgram = std::max(worstProgram, e);
                    worstProgramRatio = std::max(worstProgramRatio, e / extent);
                    worstReference = std::max({worstReference, std::fabs(r.x - t.x), std::fabs(r.y - t.y)});
                }
                EXPECT_LE(ref.sumSquaredSideResiduals, 1e-12);
            }
        }
    }
    std::printf("[reference] noise free: max |adjusted - true| program %.3g m (%.3g of the extent of the chain), "
                "reference %.3g m\n",
                worstProgram, worstProgramRatio, worstReference);
}

// The generator's own geometry: each side is the distance of its two points,
// the station rule holds and the answers are complete.
TEST(ReferenceAdjustment, GeneratorTopology)
{
    for (Closing closing : {Closing::PointD, Closing::ExternalAzimuth, Closing::NoAzimuth}) {
        for (int n = 2; n <= 40; n += 3) {
            for (const Pattern& pattern : Patterns(n, closing)) {
                if (!chain::ValidSigns(pattern.signs, closing)) continue;
                chain::ChainSpec spec;
                spec.triangles = n;
                spec.closing = closing;
                spec.signs = pattern.signs;
                spec.seed = static_cast<std::uint64_t>(n);
                GeneratedChain g = chain::GenerateChain(spec);
                SCOPED_TRACE(Describe(g));
                for (int i = 2; i <= n; ++i) {
                    auto ui = static_cast<std::size_t>(i);
                    int expected = g.signs[ui] != g.signs[ui - 1] ? i - 1 : g.station[ui - 1];
                    EXPECT_EQ(g.station[ui], expected);
                }
                for (std::size_t k = 1; k < g.sideEnds.size(); ++k) {
                    double d = std::hypot(g.Pt(g.sideEnds[k].to).x - g.Pt(g.sideEnds[k].from).x,
                                          g.Pt(g.sideEnds[k].to).y - g.Pt(g.sideEnds[k].from).y);
                    EXPECT_NEAR(d, g.trueSides[k], 1e-9);
                    EXPECT_GT(d, 0.5 * spec.sideScale);
                }
                if (closing == Closing::PointD) {
                    EXPECT_EQ(g.cIndex, g.station[static_cast<std::size_t>(n)]);
                    EXPECT_EQ(static_cast<int>(g.unknownPoints.size()), n - 2);
                } else {
                    EXPECT_EQ(static_cast<int>(g.unknownPoints.size()), n - 1);
                }
            }
        }
    }
}
