// The precision lines of the printed report against the adjustment by
// observation equations (tests/reference):
//   ms   = sqrt([vv] / r) [mm], r = 3 conditions, 2 without azimuth data
//   1/px, 1/py = the cofactors Qxx, Qyy of the weakest point [-], the new
//               point with the largest Qxx + Qyy, named on the line after md
//   mx = ms sqrt(1/px), my = ms sqrt(1/py), md = sqrt(mx^2 + my^2) [mm]
// The chains are chosen so that 1/px and 1/py of the weakest point differ by
// far more than the four decimals the report shows them with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "PropertyChain.h"
#include "display/ReportComposer.h"
#include "reference/ParametricAdjustment.h"
#include "support/ChainGenerator.h"

using namespace props;

namespace {

// The number after `label` on the report line that holds it ("1/px=" ...).
double ReportFigure(const std::vector<std::string>& lines, const std::string& label)
{
    for (const std::string& line : lines) {
        const std::size_t at = line.find(label);
        if (at != std::string::npos) return std::strtod(line.c_str() + at + label.size(), nullptr);
    }
    ADD_FAILURE() << "no report line with " << label;
    return NAN;
}

// Starting coordinates for the reference: the truth moved by centimetres.
std::vector<chain::Point2> Perturbed(const chain::GeneratedChain& g)
{
    std::vector<chain::Point2> p = g.points;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const double k = static_cast<double>(i);
        p[i].x += 0.04 * std::sin(1.1 * k + 0.5);
        p[i].y += 0.04 * std::cos(1.9 * k + 0.2);
    }
    return p;
}

struct Case {
    Closing closing;
    int N;
    std::uint64_t seed;
};

}  // namespace

TEST(PrecisionReport, FiguresOfTheWeakestPointAgainstTheReference)
{
    const Case cases[] = {
        {Closing::NoAzimuth, 5, 61},       {Closing::NoAzimuth, 8, 62},       {Closing::NoAzimuth, 13, 63},
        {Closing::PointD, 6, 64},          {Closing::PointD, 9, 65},          {Closing::ExternalAzimuth, 5, 66},
        {Closing::ExternalAzimuth, 10, 67},
    };
    for (const Case& k : cases) {
        chain::ChainSpec spec;
        spec.triangles = k.N;
        spec.closing = k.closing;
        spec.signs = chain::RandomSigns(k.N, k.seed, k.closing);
        spec.seed = k.seed;
        spec.noiseMm = 4;
        spec.orientationNoiseSec = 1;
        const chain::GeneratedChain g = chain::GenerateChain(spec);
        const ChainData d = FromGenerated(g, std::string(ClosingName(k.closing)) + ", N=" + std::to_string(k.N));
        SCOPED_TRACE(d.label);

        ProgramRun run = RunChain(Answers(d));
        ASSERT_EQ(run.outcome.kind, RunOutcome::Completed) << run.outcome.reason;
        const std::vector<std::string> report = LayoutReportAsText(ComposeReport(run.state));
        const double ms = ReportFigure(report, "ms="), invPx = ReportFigure(report, "1/px="),
                     invPy = ReportFigure(report, "1/py="), mx = ReportFigure(report, "mx="),
                     my = ReportFigure(report, "my="), md = ReportFigure(report, "md=");

        const reference::Result ref = reference::Adjust(reference::NetworkFromChain(g, Perturbed(g)));
        ASSERT_TRUE(ref.converged);
        const int r = k.closing == Closing::NoAzimuth ? 2 : 3;
        ASSERT_EQ(ref.redundancy, r);
        const double msRef = std::sqrt(ref.sumSquaredSideResiduals / r) * 1e3;
        int weakestId = -1;
        double largest = -1;
        for (int id : g.unknownPoints) {
            const int at = reference::NetIndex(id);
            const double sum = ref.CofactorX(at) + ref.CofactorY(at);
            if (sum > largest) largest = sum, weakestId = id;
        }
        ASSERT_GE(weakestId, 0) << "a chain without new points";
        const int weakest = reference::NetIndex(weakestId);
        const std::string nameLine = "最弱点：P" + std::to_string(weakestId);
        EXPECT_NE(std::find_if(report.begin(), report.end(),
                               [&](const std::string& line) {
                                   const std::size_t at = line.find_first_not_of(' ');
                                   return at != std::string::npos && line.substr(at) == nameLine;
                               }),
                  report.end())
            << "no report line " << nameLine;
        ASSERT_GE(ref.unknownSlot[static_cast<std::size_t>(weakest)], 0) << "the weakest point is a known one";
        const double qx = ref.CofactorX(weakest), qy = ref.CofactorY(weakest);

        // ms to 1 % (the one linearised step) and its two decimals
        EXPECT_NEAR(ms, msRef, 0.01 * msRef + 0.005) << "ms [mm]";
        // 1/px, 1/py to 0.1 % and their four decimals, and clearly apart
        ASSERT_GT(std::fabs(qx - qy), 0.05 * std::max(qx, qy)) << "a chain whose 1/px and 1/py are alike";
        EXPECT_NEAR(invPx, qx, 1e-3 * qx + 5e-5) << "1/px";
        EXPECT_NEAR(invPy, qy, 1e-3 * qy + 5e-5) << "1/py";
        const double mxRef = msRef * std::sqrt(qx), myRef = msRef * std::sqrt(qy);
        EXPECT_NEAR(mx, mxRef, 0.011 * mxRef + 0.01) << "mx [mm]";
        EXPECT_NEAR(my, myRef, 0.011 * myRef + 0.01) << "my [mm]";
        EXPECT_NEAR(md, std::hypot(mxRef, myRef), 0.011 * std::hypot(mxRef, myRef) + 0.01) << "md [mm]";
        std::printf("[precision] %s: ms %.2f (reference %.3f) mm, 1/px %.4f (%.5f), 1/py %.4f (%.5f), "
                    "mx %.2f my %.2f md %.2f mm\n",
                    d.label.c_str(), ms, msRef, invPx, qx, invPy, qy, mx, my, md);
    }
}
