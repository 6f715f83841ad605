// The chain topology from the route signs against the chain generator's own
// writing of it (the generator places its true points along the same route).
#include <gtest/gtest.h>

#include "core/ChainTopology.h"
#include "support/ChainGenerator.h"

namespace {

using chain::Closing;

void ExpectSameTopology(const chain::GeneratedChain& g)
{
    const ChainTopology t = ChainTopologyOf(g.N, g.signs, g.spec.closing == Closing::PointD);
    ASSERT_EQ(t.sides.size(), g.sideEnds.size());
    for (std::size_t k = 1; k < g.sideEnds.size(); ++k) {
        EXPECT_EQ(t.sides[k].from, g.sideEnds[k].from) << "side " << k;
        EXPECT_EQ(t.sides[k].to, g.sideEnds[k].to) << "side " << k;
    }
    for (int i = 0; i <= g.N; ++i)
        EXPECT_EQ(t.station[static_cast<std::size_t>(i)], g.station[static_cast<std::size_t>(i)]) << "st(" << i << ")";
    EXPECT_EQ(t.C, g.cIndex);
    EXPECT_EQ(t.D, g.spec.closing == Closing::PointD ? g.dIndex : CHAIN_NO_POINT);
}

TEST(ChainTopology, MatchesTheGeneratorForAdvancesPivotsAndEveryClosing)
{
    for (Closing closing : {Closing::PointD, Closing::ExternalAzimuth, Closing::NoAzimuth}) {
        for (int n = closing == Closing::PointD ? 2 : 1; n <= 12; ++n) {
            std::vector<std::vector<int>> patterns = {chain::ZigzagSigns(n), chain::PivotSigns(n, 2, closing),
                                                      chain::PivotSigns(n, 3, closing)};
            for (std::uint64_t seed = 1; seed <= 3; ++seed) patterns.push_back(chain::RandomSigns(n, seed, closing));
            for (const std::vector<int>& signs : patterns) {
                if (!chain::ValidSigns(signs, closing)) continue;
                chain::ChainSpec spec;
                spec.triangles = n;
                spec.closing = closing;
                spec.signs = signs;
                spec.seed = static_cast<std::uint64_t>(n) * 31 + 5;
                SCOPED_TRACE(std::string(chain::ClosingName(closing)) + ", N = " + std::to_string(n));
                ExpectSameTopology(chain::GenerateChain(spec));
            }
        }
    }
}

TEST(ChainTopology, PivotKeepsTheStationAndTheApexIsThePreviousPoint)
{
    // signs - - +: leg 2 pivots on B, leg 3 advances from point 2
    const ChainTopology t = ChainTopologyOf(3, {0, -1, -1, 1}, false);
    EXPECT_EQ(t.station, (std::vector<int>{CHAIN_POINT_A, 0, 0, 2}));
    EXPECT_EQ(t.sides[2].from, CHAIN_POINT_A);  // triangle 1: A, B, point 1
    EXPECT_EQ(t.sides[4].from, 1);              // pivot: apex is point 1
    EXPECT_EQ(t.sides[6].from, 0);              // advance: apex is st(2) = B
    EXPECT_EQ(t.sides[7].from, 2);
    EXPECT_EQ(t.C, 3);
}

}  // namespace
