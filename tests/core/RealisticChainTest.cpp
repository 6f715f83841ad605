// Realistic chains (coordinates of millions of metres, sides of a few km,
// millimetre noise) of every closing kind run through to the end, and the
// adjusted C lands on the known C.
#include <gtest/gtest.h>

#include <cmath>

#include "run/AdjustmentRun.h"
#include "support/ChainGenerator.h"
#include "run/ScriptedPlatform.h"

namespace {

TEST(RealisticChain, EveryClosingKindUpToAThousandTriangles)
{
    for (chain::Closing closing : {chain::Closing::PointD, chain::Closing::ExternalAzimuth, chain::Closing::NoAzimuth}) {
        for (int n : {3, 17, 40, 1000}) {
            chain::ChainSpec spec;
            spec.triangles = n;
            spec.closing = closing;
            spec.seed = static_cast<std::uint64_t>(n) * 7 + static_cast<std::uint64_t>(closing);
            spec.noiseMm = n <= 40 ? 2 : 0.3;
            spec.signs = n <= 40 ? chain::RandomSigns(n, spec.seed, closing) : chain::ZigzagSigns(n);
            chain::GeneratedChain c = chain::GenerateChain(spec);
            ProgramState s;
            ScriptedPlatform p(c.answers);
            std::string transcript = ReplayRuns(s, p);
            ASSERT_NE(transcript.find("END\tcompleted\n"), std::string::npos) << "N = " << n;
            int cName = -1;
            for (std::size_t i = 0; i < s.PointNames.size(); ++i)
                if (s.PointNames[i] == "C") cName = static_cast<int>(i);
            ASSERT_GE(cName, 1);
            // A thousand triangles of 3 km misclose by metres even with 0.3 mm
            // noise; the one linear step of the adjustment leaves a little more.
            const double bound = n <= 40 ? 1e-4 : 1e-3;
            EXPECT_NEAR(s.LastRun->result.PointX[static_cast<std::size_t>(cName)], c.C.x, bound) << "N = " << n;
            EXPECT_NEAR(s.LastRun->result.PointY[static_cast<std::size_t>(cName)], c.C.y, bound) << "N = " << n;
            EXPECT_GT((*s.LastRun->result.ms), 0);
        }
    }
}

}  // namespace
