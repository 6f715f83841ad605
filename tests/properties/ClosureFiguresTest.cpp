// How exactly the adjusted chain closes, on chains where a wrong coefficient
// or a wrong limit shows:
//  - a closing direction that takes no correction is met to first order: the
//    azimuth C->D, and an external azimuth at C with an orientation angle of 0
//    (the angle is then fixed: it has no column in the azimuth condition).
//    The one linearised step leaves a residual of second order in the noise,
//    and the drift of the shortened pi, which does not depend on the noise;
//    so the same chain is run with the noise 0, 1 and 2 times over and the
//    part of the residual linear in the noise, (4 r1 - r2 - 3 r0) / 2, must
//    vanish. A coefficient of the azimuth row that is off by a few parts in a
//    hundred thousand (the arc seconds per radian mistyped) leaves that part
//    at the same fraction of the azimuth misclosure. Sides of tens of
//    kilometres make the azimuth condition so weak that a column of 1 for an
//    orientation angle of 0 takes a share of it of a thousandth of an arc
//    second and more.
//  - one linearised step that leaves the adjusted chain between 1 and 10 mm
//    off the known C (a nearly flat triangle of 20 m height, a few millimetres
//    of error on its long side) is a fault that quotes that distance; with a
//    tenth of the error it is a result.
// Every figure is measured on the chain recomputed from the adjusted sides by
// intersecting circles (PropertyChain.h), none of the program's arithmetic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "PropertyChain.h"
#include "display/ReportComposer.h"
#include "support/ChainGenerator.h"

using namespace props;

namespace {

struct DirectionCase {
    Closing closing;
    int N;
    double sideScale;      // [m]
    double noiseMm;        // side noise at level 1
    double azimuthErrorSec;  // error of the external azimuth at level 1 (orientation angle 0)
    std::uint64_t seed;
    std::string Label() const
    {
        return std::string(closing == Closing::PointD ? "D given" : "external azimuth, orientation angle 0") +
               ", N=" + std::to_string(N) + ", sides of " + std::to_string(static_cast<int>(sideScale)) +
               " m, seed " + std::to_string(seed);
    }
};

// The chain of the case with its noise (and azimuth error) times `level`.
ChainData AtNoiseLevel(const DirectionCase& k, double level)
{
    chain::ChainSpec spec;
    spec.triangles = k.N;
    spec.closing = k.closing;
    spec.signs = chain::RandomSigns(k.N, k.seed, k.closing);
    spec.seed = k.seed;
    spec.sideScale = k.sideScale;
    spec.noiseMm = level * k.noiseMm;
    ChainData d = FromGenerated(chain::GenerateChain(spec), k.Label());
    if (k.closing == Closing::ExternalAzimuth) {
        // C sights along its last side: the true orientation angle is 0
        const double back = chain::AzimuthDeg(d.C(), d.Pt(d.Station(d.N)));
        d.azimuthText = chain::PackedAngleText(back + level * k.azimuthErrorSec / 3600, &d.azimuthDeg);
        d.orientationText = "0";
        d.orientationDeg = 0;
    }
    return d;
}

struct DirectionFigures {
    double w1 = 0;        // azimuth misclosure the program shows at level 1 [arc s]
    double residual[3] = {};  // closing direction of the recomputed chain minus the known one, levels 0..2 [arc s]
    double printed = 0;   // the same at level 1, from the adjusted sides as the report prints them
                          // (to 0.1 mm: fine enough on sides of kilometres only) [arc s]
    double FirstOrder() const { return (4 * residual[1] - residual[2] - 3 * residual[0]) / 2; }
};

// The adjusted sides 1..2N+1 as the report prints them ("S( 7 )= 3012.3456").
std::vector<double> PrintedSides(const ProgramState& s)
{
    std::vector<double> sides(s.SideLengths.size(), 0.0);
    for (const std::string& line : LayoutReportAsText(ComposeReport(s))) {
        const std::size_t at = line.find("S( ");
        if (at == std::string::npos) continue;
        char* end = nullptr;
        const long k = std::strtol(line.c_str() + at + 3, &end, 10);
        if (k < 1 || k >= static_cast<long>(sides.size()) || std::string(end).rfind(" )=", 0) != 0) continue;
        sides[static_cast<std::size_t>(k)] = std::strtod(end + 3, nullptr);
    }
    return sides;
}

DirectionFigures CloseDirection(const DirectionCase& k)
{
    SCOPED_TRACE(k.Label());
    DirectionFigures f;
    for (int level = 0; level <= 2; ++level) {
        const ChainData d = AtNoiseLevel(k, level);
        ProgramRun run = RunChain(Answers(d));
        EXPECT_EQ(run.outcome.kind, RunOutcome::Completed) << "level " << level << ": " << run.outcome.reason;
        if (run.outcome.kind != RunOutcome::Completed) return f;
        const Closure c = CloseChain(d, run.outcome.chain->result);
        EXPECT_LE(c.cMiss, 1e-4 + ShortPiAllowance(c.extent)) << "C [m], level " << level;
        f.residual[level] = c.azimuthMissSec;
        if (level == 1) {
            f.w1 = run.state.LastRun->result.Misclosures[1];
            ChainResult printed = run.outcome.chain->result;
            printed.SideLengths = PrintedSides(run.state);
            f.printed = CloseChain(d, printed).azimuthMissSec;
        }
    }
    // the first-order part: what third-order terms and the rounding of the
    // single-precision misclosures leave of it
    EXPECT_LE(std::fabs(f.FirstOrder()), 3e-6 * std::fabs(f.w1) + 3e-5)
        << "first-order residual of the closing direction [arc s], w1 " << f.w1 << "\", residuals "
        << f.residual[0] << ", " << f.residual[1] << ", " << f.residual[2];
    std::printf("[closure] %s: w1 %.2f\", closing direction after one step %.3g\" (noise-free %.2g\", "
                "twice the noise %.3g\"), first-order part %.2g\"; from the printed sides %.2g\"\n",
                k.Label().c_str(), f.w1, f.residual[1], f.residual[0], f.residual[2], f.FirstOrder(), f.printed);
    return f;
}

// A strip of 3 km sides (as in the degenerate geometry tests) whose triangle 5
// has its station only `height` above the line of its other two points, every
// step an advance.
ChainData FlatStrip(Closing closing, double height, double errorOnS10, const std::string& what)
{
    const Point2 A{3.4e6, 5e5};
    std::vector<Point2> p;
    for (int i = 0; i <= 10; ++i) {
        if (i % 2 == 0)
            p.push_back({A.x + 2600, A.y + (i / 2 + 0.5) * 3000});
        else
            p.push_back({A.x, A.y + ((i + 1) / 2) * 3000.0});
    }
    p[4].x = A.x + height;  // the station of triangle 5
    std::vector<int> signs;
    for (int i = 1; i <= 10; ++i) signs.push_back(i % 2 == 1 ? -1 : 1);
    ChainData d = FromPoints(A, p, signs, closing, what + ", " + ClosingName(closing));
    d.sides[10] += errorOnS10;
    return d;
}

// The distance the fault message quotes [mm], or -1.
double QuotedMissMm(const std::string& reason)
{
    const std::string lead = "仍相差 ";
    const std::size_t at = reason.find(lead);
    if (at == std::string::npos) return -1;
    return std::strtod(reason.c_str() + at + lead.size(), nullptr);
}

}  // namespace

// With D the closing direction C->D is known and takes no correction. Sides
// of some hundred metres with centimetres of noise: azimuth misclosures of
// tens of arc seconds.
TEST(ClosingDirection, NoisySidesMeetTheKnownSideCDToFirstOrder)
{
    double largest = 0;
    for (std::uint64_t seed : {3u, 4u, 5u}) {
        const DirectionFigures f = CloseDirection({Closing::PointD, 8, 300, 10, 0, seed});
        largest = std::max(largest, std::fabs(f.w1));
    }
    EXPECT_GE(largest, 20.0) << "the case is only worth its name with a large azimuth misclosure";
}

// The same with an external azimuth typed 40" off and an orientation angle of
// exactly 0: the adjusted chain turns until its last side points at Tb.
TEST(ClosingDirection, NoisySidesMeetAnExternalAzimuthWithZeroOrientationAngle)
{
    double largest = 0;
    for (std::uint64_t seed : {3u, 4u, 5u}) {
        const DirectionFigures f = CloseDirection({Closing::ExternalAzimuth, 8, 300, 10, 40, seed});
        largest = std::max(largest, std::fabs(f.w1));
    }
    EXPECT_GE(largest, 20.0);
}

// Sides of 30 km: the azimuth row holds only some 7" per metre of side, and an
// orientation angle of 0 must stay fixed all the same. On such sides the four
// decimals of the report place the chain to a thousandth of an arc second, so
// the sides as printed close the direction too.
TEST(ClosingDirection, SidesOfTensOfKilometresMeetAnExternalAzimuthWithZeroOrientationAngle)
{
    for (int N : {3, 5, 8}) {
        const DirectionFigures f =
            CloseDirection({Closing::ExternalAzimuth, N, 30000, 5, 3, 40 + static_cast<std::uint64_t>(N)});
        EXPECT_GE(std::fabs(f.w1), 2.0);
        EXPECT_LE(std::fabs(f.printed), 0.005) << "closing direction from the printed sides [arc s]";
    }
}

// Between 1 and 10 mm off C after the one step: a fault naming the flat
// triangle and quoting the distance of the recomputed chain. A tenth of the
// side error leaves some hundredths of a millimetre: a result. The iteration
// closes these chains; with an iteration limit of 1 the single step stands and
// the closure check, the last guard, judges it.
TEST(ClosureLimit, OneStepThatMissesCByMillimetresIsAFault)
{
    ChainConstants oneStep;
    oneStep.ITERATION_LIMIT = 1;
    for (Closing closing : {Closing::PointD, Closing::ExternalAzimuth, Closing::NoAzimuth}) {
        for (double error : {-3e-3, 3e-3}) {
            ChainData d = FlatStrip(closing, 20, error, "height 20 m, S10 " + std::to_string(error * 1e3) + " mm");
            SCOPED_TRACE(d.label);
            ProgramRun run = RunChainWith(Answers(d, false), oneStep);
            ASSERT_EQ(run.outcome.kind, RunOutcome::Failed) << "the run showed a chain that misses C";
            EXPECT_NE(run.outcome.reason.find("第5个三角形"), std::string::npos) << run.outcome.reason;
            EXPECT_FALSE(run.state.LastRunCompleted);
            // the sides the run adjusted before it stopped, placed again
            const double missMm = CloseChain(d, run.outcome.chain->result).cMiss * 1e3;
            EXPECT_GT(missMm, 1.5) << "the chain is meant to miss C by more than the limit";
            EXPECT_LT(missMm, 8.0) << "the chain is meant to miss C by less than ten times the limit";
            EXPECT_NEAR(QuotedMissMm(run.outcome.reason), missMm, 0.06) << run.outcome.reason;
            std::printf("[closure] %s: one step misses C by %.2f mm -> %s\n", d.label.c_str(), missMm,
                        run.outcome.reason.c_str());

            ChainData small = FlatStrip(closing, 20, error / 10, "height 20 m, S10 " + std::to_string(error * 1e2) + " mm");
            ProgramRun fine = RunChainWith(Answers(small), oneStep);
            EXPECT_EQ(fine.outcome.kind, RunOutcome::Completed) << small.label << ": " << fine.outcome.reason;
            if (fine.outcome.kind == RunOutcome::Completed) {
                EXPECT_LT(CloseChain(small, fine.outcome.chain->result).cMiss, 1e-3) << small.label;
            }
        }
    }
}
