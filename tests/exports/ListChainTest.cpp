// The listing of a completed run: names, side ends, corrections and the
// closing angle, from the real dialogue.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "ExportFixtures.h"
#include "run/ScriptedPlatform.h"

namespace {

using chain::Closing;
using exports::RunAndList;

std::vector<std::string> WorkedExampleAnswers()
{
    std::ifstream in(std::string(TRILAT_TEST_DATA) + "/worked-example.answers", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return SplitAnswerLines(text.str());
}

chain::GeneratedChain Chain(Closing closing, int n, std::uint64_t seed, double noiseMm = 2)
{
    chain::ChainSpec spec;
    spec.triangles = n;
    spec.closing = closing;
    spec.seed = seed;
    spec.noiseMm = noiseMm;
    spec.signs = chain::RandomSigns(n, seed, closing);
    return chain::GenerateChain(spec);
}

TEST(ListChain, WorkedExampleNamesEveryPointAndSide)
{
    exports::ListedRun r = RunAndList(WorkedExampleAnswers(), "示例");
    ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;
    const ChainListing& l = r.listing;
    EXPECT_EQ(l.project, "示例");

    ASSERT_EQ(l.knownPoints.size(), 3u);  // no D
    EXPECT_EQ(l.knownPoints[0].name, "A");
    EXPECT_EQ(l.knownPoints[1].name, "B");
    EXPECT_EQ(l.knownPoints[2].name, "C");
    EXPECT_EQ(l.knownPoints[2].X, -86.6025);
    EXPECT_EQ(l.knownPoints[2].Y, 150);

    ASSERT_EQ(l.points.size(), 3u);
    EXPECT_EQ(l.points[0].name, "B");
    EXPECT_TRUE(l.points[0].known);
    EXPECT_EQ(l.points[1].name, "P1");
    EXPECT_FALSE(l.points[1].known);
    EXPECT_TRUE(l.points[2].known);

    // signs - +: triangle 1 is A, B, P1; triangle 2 advances from P1
    const std::vector<std::pair<std::string, std::string>> ends = {
        {"A", "B"}, {"A", "P1"}, {"B", "P1"}, {"B", "C"}, {"P1", "C"}};
    ASSERT_EQ(l.sides.size(), 5u);
    for (std::size_t i = 0; i < ends.size(); ++i) {
        EXPECT_EQ(l.sides[i].k, static_cast<int>(i) + 1);
        EXPECT_EQ(l.sides[i].from, ends[i].first) << "side " << i + 1;
        EXPECT_EQ(l.sides[i].to, ends[i].second) << "side " << i + 1;
    }
    EXPECT_TRUE(l.sides[0].known);
    EXPECT_EQ(l.sides[0].observed, 100);  // A-B from coordinates
    EXPECT_EQ(l.sides[1].sign, -1);
    EXPECT_EQ(l.sides[3].sign, 1);
    EXPECT_EQ(l.sides[2].sign, 0);
    EXPECT_EQ(l.sides[1].observed, 100);  // as typed, without its sign
    for (const ListedSide& s : l.sides) EXPECT_NEAR(s.observed + s.correction, s.adjusted, 1e-9) << "side " << s.k;
    EXPECT_FALSE(l.closing);  // Tb = Qb = 0: no azimuth data
}

TEST(ListChain, WithDTheLastPointIsDAndThePointAfterCIsNew)
{
    // pick a chain whose last two signs are equal, so that a point follows C
    for (std::uint64_t seed = 1; seed < 40; ++seed) {
        chain::GeneratedChain g = Chain(Closing::PointD, 7, seed);
        if (g.signs[7] != g.signs[6]) continue;
        exports::ListedRun r = RunAndList(g.answers);
        ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;
        const ChainListing& l = r.listing;
        ASSERT_EQ(l.knownPoints.size(), 4u);
        EXPECT_EQ(l.knownPoints[3].name, "D");
        EXPECT_EQ(l.knownPoints[3].X, g.D.x);
        ASSERT_EQ(l.points.size(), 7u);  // B, 1..6 with C among them
        EXPECT_EQ(l.points[static_cast<std::size_t>(g.cIndex)].name, "C");
        EXPECT_TRUE(l.points[static_cast<std::size_t>(g.cIndex)].known);
        EXPECT_EQ(l.points.back().name, "P6");
        EXPECT_FALSE(l.points.back().known);
        const ListedSide& cd = l.sides.back();
        EXPECT_EQ(cd.k, 15);
        EXPECT_TRUE(cd.known);
        EXPECT_EQ(cd.from + "-" + cd.to, "C-D");
        EXPECT_EQ(cd.correction, 0);
        EXPECT_FALSE(l.closing);
        return;
    }
    FAIL() << "no chain with a point after C";
}

TEST(ListChain, ExternalAzimuthGivesTheClosingAngleSeenFromC)
{
    chain::GeneratedChain g = Chain(Closing::ExternalAzimuth, 6, 3);
    exports::ListedRun r = RunAndList(g.answers);
    ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;
    ASSERT_TRUE(r.listing.closing);
    const auto& c = *r.listing.closing;
    EXPECT_NEAR(c.azimuthDeg, g.azimuthTypedDeg, 1e-9);
    EXPECT_NEAR(c.orientationDeg, g.orientationTypedDeg, 1e-9);
    const int far = g.station[6];
    EXPECT_EQ(c.lastSideFar, far == 0 ? "B" : "P" + std::to_string(far));
}

TEST(ListChain, TypedNamesAAndDPushTheKnownPointsToPrimedNames)
{
    chain::GeneratedChain g = Chain(Closing::PointD, 5, 11);
    std::vector<std::string> answers = exports::Renamed(g.answers, "B", "A");
    answers = exports::Renamed(answers, "P" + std::to_string(g.unknownPoints.front()), "D");
    exports::ListedRun r = RunAndList(answers);
    ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;
    EXPECT_EQ(r.listing.knownPoints[0].name, "A'");
    EXPECT_EQ(r.listing.knownPoints[1].name, "A");  // B as typed
    EXPECT_EQ(r.listing.knownPoints[3].name, "D'");
    EXPECT_EQ(r.listing.sides[0].from + " " + r.listing.sides[0].to, "A' A");
}

}  // namespace
