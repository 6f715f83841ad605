// Properties of the adjustment on generated chains of every closing kind, with
// zigzag, pivoting and random sign patterns: the adjusted chain closes, the
// adjusted points stay within 4 sigma of the truth, a mirrored chain gives the
// mirrored results, and tenfold noise gives tenfold misclosures and corrections.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "PropertyChain.h"
#include "reference/ParametricAdjustment.h"
#include "support/ChainGenerator.h"

using namespace props;

namespace {

struct Case {
    chain::ChainSpec spec;
    std::string label;
};

// Every closing kind, N from 1 to 40, four sign patterns, two seeds.
std::vector<Case> Cases(double noiseMm, double orientationNoiseSec)
{
    std::vector<Case> cases;
    for (Closing closing : {Closing::PointD, Closing::ExternalAzimuth, Closing::NoAzimuth}) {
        for (int n : {1, 2, 3, 4, 5, 8, 13, 21, 40}) {
            struct Pattern {
                const char* name;
                std::vector<int> signs;
            };
            const std::vector<Pattern> patterns = {
                {"zigzag", chain::ZigzagSigns(n)},
                {"pivot runs of 2", chain::PivotSigns(n, 2, closing)},
                {"pivot runs of 3", chain::PivotSigns(n, 3, closing)},
                {"random", chain::RandomSigns(n, 77 + static_cast<std::uint64_t>(n), closing)},
            };
            for (const Pattern& p : patterns) {
                if (!chain::ValidSigns(p.signs, closing)) continue;
                for (std::uint64_t seed : {11u, 12u}) {
                    Case c;
                    c.spec.triangles = n;
                    c.spec.closing = closing;
                    c.spec.signs = p.signs;
                    c.spec.seed = seed * 1000 + static_cast<std::uint64_t>(n);
                    c.spec.noiseMm = noiseMm;
                    c.spec.orientationNoiseSec = orientationNoiseSec;
                    c.label = std::string(ClosingName(closing)) + ", N=" + std::to_string(n) + ", " + p.name +
                              ", seed " + std::to_string(c.spec.seed);
                    cases.push_back(c);
                }
            }
        }
    }
    return cases;
}

// Starting coordinates for the reference adjustment: the truth moved by centimetres.
std::vector<chain::Point2> Perturbed(const chain::GeneratedChain& g)
{
    std::vector<chain::Point2> p = g.points;
    for (std::size_t i = 0; i < p.size(); ++i) {
        double k = static_cast<double>(i);
        p[i].x += 0.03 * std::sin(1.3 * k + 0.2);
        p[i].y += 0.03 * std::cos(2.1 * k + 0.4);
    }
    return p;
}

}  // namespace

// The answers built from the chain description are the generator's own, so
// the mirrored and the hand-made chains are typed the same way.
TEST(PropertyChains, DescriptionTypesTheGeneratorsAnswers)
{
    for (const Case& c : Cases(3, 1)) {
        chain::GeneratedChain g = chain::GenerateChain(c.spec);
        ChainData d = FromGenerated(g, c.label);
        EXPECT_EQ(Answers(d), g.answers) << c.label;
        EXPECT_EQ(d.CIndex(), g.cIndex) << c.label;
        EXPECT_EQ(d.UnknownPoints(), g.unknownPoints) << c.label;
        for (int i = 1; i <= d.N; ++i) EXPECT_EQ(d.Station(i), g.station[static_cast<std::size_t>(i)]) << c.label;
        // the true sides place the true points again
        std::vector<chain::Point2> p = Recompute(d, g.trueSides);
        for (std::size_t i = 0; i < p.size(); ++i) EXPECT_LE(Dist(p[i], g.points[i]), 1e-7) << c.label << " point " << i;
    }
}

// With the adjusted sides the chain reaches the known C within 0.1 mm and the
// closing azimuth within 0.1 arc second (plus the drift of the shortened pi,
// some 3e-10 of the extent of the chain); the program's own coordinates of C
// and of every new point agree with the recomputation. With an external
// azimuth the orientation angle carries its own share k1 sigma of the azimuth
// condition (the adjustment weights it like a side but never applies it); the
// outer azimuth is closed through the orientation angle so corrected.
TEST(PropertyChains, AdjustedChainClosesOnC)
{
    double worstC = 0, worstAz = 0, worstProgramC = 0, worstProgramPoints = 0, worstVq = 0;
    int chains = 0;
    for (double noise : {3.0, 10.0}) {
        for (const Case& c : Cases(noise, noise / 3)) {
            chain::GeneratedChain g = chain::GenerateChain(c.spec);
            ChainData d = FromGenerated(g, c.label);
            SCOPED_TRACE(c.label + ", noise " + std::to_string(noise) + " mm");
            ProgramRun run = RunChain(Answers(d));
            ASSERT_EQ(run.outcome.kind, RunOutcome::Completed) << run.outcome.reason;
            EXPECT_FALSE(run.inputLeft);
            const ProgramState& s = run.state;
            const int ci = d.CIndex();
            EXPECT_EQ(s.PointNames.at(static_cast<std::size_t>(ci)), "C");
            Closure cl = CloseChain(d, s.LastRun->result);
            const double tol = 1e-4 + ShortPiAllowance(cl.extent);
            EXPECT_LE(cl.cMiss, tol) << "recomputed C misses the known C [m]";
            EXPECT_LE(std::fabs(cl.azimuthMissSec), 0.1) << "closing azimuth [arc s]";
            EXPECT_LE(cl.programCMiss, tol) << "program's adjusted C [m]";
            EXPECT_LE(cl.programVsRecomputed, tol) << "program's adjusted points against the recomputation [m]";
            worstC = std::max(worstC, cl.cMiss);
            worstAz = std::max(worstAz, std::fabs(cl.azimuthMissSec));
            worstProgramC = std::max(worstProgramC, cl.programCMiss);
            worstProgramPoints = std::max(worstProgramPoints, cl.programVsRecomputed);
            if (d.N > 1) worstVq = std::max(worstVq, std::fabs(cl.orientationCorrectionSec));
            ++chains;
        }
    }
    std::printf("[properties] closure over %d chains: recomputed C %.3g mm, azimuth %.3g arc s, "
                "program C %.3g mm, program points vs recomputation %.3g mm; largest share of the orientation "
                "angle (N > 1) %.3g arc s\n",
                chains, worstC * 1e3, worstAz, worstProgramC * 1e3, worstProgramPoints * 1e3, worstVq);
}

// Every adjusted coordinate lies within 4 sigma of the truth. Sigma is the a
// priori one: the side noise the generator drew with, times the square root of
// the point's cofactor from the independent adjustment by observation
// equations (the program reports mx, my only for its weakest point, and from
// an ms with 2 or 3 degrees of freedom, far too unsteady for a bound). The
// orientation angle gets noise of the same number in arc seconds as the sides
// in metres, because the program weights both alike. At the weakest point the
// program's own 1/px, 1/py give the same bound.
TEST(PropertyChains, AdjustedPointsWithinFourSigmaOfTruth)
{
    const double noiseMm = 3;
    const double sigma0 = noiseMm * 1e-3;
    double worstZ = 0, worstWeakestZ = 0, sumMs2 = 0;
    int coordinates = 0, chains = 0;
    for (const Case& c : Cases(noiseMm, sigma0)) {
        chain::GeneratedChain g = chain::GenerateChain(c.spec);
        ChainData d = FromGenerated(g, c.label);
        SCOPED_TRACE(c.label);
        ProgramRun run = RunChain(Answers(d));
        ASSERT_EQ(run.outcome.kind, RunOutcome::Completed) << run.outcome.reason;
        const ProgramState& s = run.state;
        reference::Result ref = reference::Adjust(reference::NetworkFromChain(g, Perturbed(g)));
        ASSERT_TRUE(ref.converged);
        for (int id : d.UnknownPoints()) {
            const auto u = static_cast<std::size_t>(id);
            const int net = reference::NetIndex(id);
            const double sx = sigma0 * std::sqrt(ref.CofactorX(net)), sy = sigma0 * std::sqrt(ref.CofactorY(net));
            const double zx = std::fabs(s.LastRun->result.PointX.at(u) - g.points[u].x) / sx;
            const double zy = std::fabs(s.LastRun->result.PointY.at(u) - g.points[u].y) / sy;
            EXPECT_LE(zx, 4) << "X of point " << id << ", sigma " << sx * 1e3 << " mm";
            EXPECT_LE(zy, 4) << "Y of point " << id << ", sigma " << sy * 1e3 << " mm";
            worstZ = std::max({worstZ, zx, zy});
            coordinates += 2;
        }
        // the weakest station M, when it is a new point, against the program's 1/px, 1/py
        const int M = (d.N + 1) / 2;
        const std::vector<int> unknown = d.UnknownPoints();
        if (std::find(unknown.begin(), unknown.end(), M) != unknown.end() && (*s.LastRun->result.InvPx) > 0 && (*s.LastRun->result.InvPy) > 0) {
            const auto u = static_cast<std::size_t>(M);
            const double zx = std::fabs(s.LastRun->result.PointX[u] - g.points[u].x) / (sigma0 * std::sqrt((*s.LastRun->result.InvPx)));
            const double zy = std::fabs(s.LastRun->result.PointY[u] - g.points[u].y) / (sigma0 * std::sqrt((*s.LastRun->result.InvPy)));
            EXPECT_LE(zx, 4) << "X of the weakest point " << M << ", 1/px " << (*s.LastRun->result.InvPx);
            EXPECT_LE(zy, 4) << "Y of the weakest point " << M << ", 1/py " << (*s.LastRun->result.InvPy);
            worstWeakestZ = std::max({worstWeakestZ, zx, zy});
        }
        const double ms = static_cast<double>((*s.LastRun->result.ms)) * 1e-3;
        sumMs2 += ms * ms;
        ++chains;
    }
    // ms estimates sigma0: its square averages to sigma0^2 over many chains
    const double msRatio = std::sqrt(sumMs2 / chains) / sigma0;
    EXPECT_NEAR(msRatio, 1.0, 0.2) << "rms of ms over the chains against the noise";
    std::printf("[properties] 4 sigma: %d coordinates of %d chains, worst |error|/sigma %.2f (weakest point by the "
                "program's 1/p: %.2f); rms ms / noise %.3f\n",
                coordinates, chains, worstZ, worstWeakestZ, msRatio);
}

// Mirroring the whole chain in the X axis mirrors the results: Y of every
// adjusted point and the misclosures wb and wy change sign, X, wx, the
// adjusted sides, ms, 1/px and 1/py stay. The program's shortened pi is not
// mirror-symmetric (the mirrored route adds and removes its 180 and 360
// degrees at other legs), so the approximate chains differ by some 1e-10 of
// their extent; the same runs with the full pi mirror to rounding.
struct MirrorFigures {
    double xy = 0, w = 0, wb = 0, rel = 0;
    int chains = 0;
};

MirrorFigures CheckMirror(double pi, double xyTol, double wbTol, double relTol, double piAllowance)
{
    MirrorFigures f;
    for (const Case& c : Cases(3, 1)) {
        chain::GeneratedChain g = chain::GenerateChain(c.spec);
        ChainData d = FromGenerated(g, c.label);
        ChainData m = Mirrored(d);
        SCOPED_TRACE(c.label);
        ProgramRun a = RunChainWithPi(Answers(d), pi), b = RunChainWithPi(Answers(m), pi);
        EXPECT_EQ(a.outcome.kind, RunOutcome::Completed) << a.outcome.reason;
        EXPECT_EQ(b.outcome.kind, RunOutcome::Completed) << b.outcome.reason;
        if (a.outcome.kind != RunOutcome::Completed || b.outcome.kind != RunOutcome::Completed) continue;
        const ProgramState &s = a.state, &t = b.state;
        EXPECT_EQ(s.LastRun->result.ResultPointCount, t.LastRun->result.ResultPointCount);
        double extent = 0;
        for (const chain::Point2& p : d.points) extent = std::max(extent, Dist(p, d.points[0]));
        const double tol = xyTol + piAllowance * extent;
        double xy = 0;
        for (int i = 0; i <= std::min(s.LastRun->result.ResultPointCount, t.LastRun->result.ResultPointCount); ++i) {
            const auto u = static_cast<std::size_t>(i);
            xy = std::max({xy, std::fabs(t.LastRun->result.PointX[u] - s.LastRun->result.PointX[u]), std::fabs(t.LastRun->result.PointY[u] + s.LastRun->result.PointY[u])});
        }
        for (std::size_t k = 1; k < s.LastRun->result.SideLengths.size(); ++k)
            xy = std::max(xy, std::fabs(t.LastRun->result.SideLengths[k] - s.LastRun->result.SideLengths[k]));
        const double wb = std::fabs(static_cast<double>(t.LastRun->result.Misclosures[1] + s.LastRun->result.Misclosures[1]));
        const double w = std::max(std::fabs(static_cast<double>(t.LastRun->result.Misclosures[2] - s.LastRun->result.Misclosures[2])),
                                  std::fabs(static_cast<double>(t.LastRun->result.Misclosures[3] + s.LastRun->result.Misclosures[3])));
        // relative differences; a cofactor of a point the conditions fix (the
        // weakest station on C) is zero up to rounding, hence the floors: its
        // square root makes mx, my of such a point some 1e-7 mm, so they are
        // measured against the shown 0.01 mm
        auto rel = [](double p, double q, double floor) {
            return std::fabs(p - q) / std::max({std::fabs(p), std::fabs(q), floor});
        };
        const double r = std::max({rel((*t.LastRun->result.ms), (*s.LastRun->result.ms), 1e-3), rel((*t.LastRun->result.InvPx), (*s.LastRun->result.InvPx), 1e-3), rel((*t.LastRun->result.InvPy), (*s.LastRun->result.InvPy), 1e-3),
                                   rel((*t.LastRun->result.mx), (*s.LastRun->result.mx), 1e-2), rel((*t.LastRun->result.my), (*s.LastRun->result.my), 1e-2)});
        EXPECT_LE(xy, tol) << "adjusted coordinates and sides [m]";
        EXPECT_LE(w, tol) << "wx, wy [m]";
        EXPECT_LE(wb, wbTol) << "wb [arc s]";
        EXPECT_LE(r, relTol + 2 * piAllowance * extent / 1e-3) << "ms, 1/px, 1/py, mx, my (relative)";
        f.xy = std::max(f.xy, xy);
        f.w = std::max(f.w, w);
        f.wb = std::max(f.wb, wb);
        f.rel = std::max(f.rel, r);
        ++f.chains;
    }
    return f;
}

TEST(PropertyChains, MirroredChainMirrorsResults)
{
    MirrorFigures f = CheckMirror(3.1415926535, 1e-6, 1e-3, 1e-5, 3e-10);
    std::printf("[properties] mirror over %d chains: coordinates and sides %.3g mm, wx wy %.3g mm, wb %.3g arc s, "
                "ms 1/p m %.3g relative\n",
                f.chains, f.xy * 1e3, f.w * 1e3, f.wb, f.rel);
}

TEST(PropertyChains, MirroredChainMirrorsResultsToRoundingWithFullPi)
{
    MirrorFigures f = CheckMirror(std::acos(-1.0), 1e-8, 1e-4, 1e-5, 0);
    std::printf("[properties] mirror with full pi over %d chains: coordinates and sides %.3g mm, wx wy %.3g mm, "
                "wb %.3g arc s, ms 1/p m %.3g relative\n",
                f.chains, f.xy * 1e3, f.w * 1e3, f.wb, f.rel);
}

// Ten times the noise (on the sides and the orientation angle, the same draws)
// gives ten times the misclosures and the corrections. What the chain misses
// without noise (coordinates typed to the micrometre, the shortened pi) does not
// scale and is allowed for; beyond it, each misclosure and each correction is
// within 1 % of ten times its value, measured against the largest of its kind.
TEST(PropertyChains, TenfoldNoiseGivesTenfoldMisclosuresAndCorrections)
{
    double wRatioMin = 1e9, wRatioMax = 0, vRatioMin = 1e9, vRatioMax = 0, worstDev = 0;
    int chains = 0;
    std::vector<Case> zero = Cases(0, 0), one = Cases(1, 1), ten = Cases(10, 10);
    for (std::size_t j = 0; j < one.size(); ++j) {
        SCOPED_TRACE(one[j].label);
        chain::GeneratedChain g0 = chain::GenerateChain(zero[j].spec), g1 = chain::GenerateChain(one[j].spec),
                              g10 = chain::GenerateChain(ten[j].spec);
        ProgramRun r0 = RunChain(g0.answers), r1 = RunChain(g1.answers), r10 = RunChain(g10.answers);
        ASSERT_EQ(r0.outcome.kind, RunOutcome::Completed) << r0.outcome.reason;
        ASSERT_EQ(r1.outcome.kind, RunOutcome::Completed) << r1.outcome.reason;
        ASSERT_EQ(r10.outcome.kind, RunOutcome::Completed) << r10.outcome.reason;
        auto w = [](const ProgramRun& r, int i) { return static_cast<double>(r.state.LastRun->result.Misclosures[static_cast<std::size_t>(i)]); };
        auto v = [](const ProgramRun& r, std::size_t k) { return r.state.LastRun->result.SideLengths[k] - r.state.LastRun->result.ObservedSides[k]; };

        // groups: {wb}, {wx, wy}, {v_k}
        auto check = [&](const std::vector<double>& x0, const std::vector<double>& x1, const std::vector<double>& x10,
                         const char* what, double& ratioMin, double& ratioMax) {
            double big = 0, n1 = 0, n10 = 0;
            for (std::size_t k = 0; k < x1.size(); ++k) {
                big = std::max(big, std::fabs(10 * x1[k]));
                n1 += x1[k] * x1[k];
                n10 += x10[k] * x10[k];
            }
            for (std::size_t k = 0; k < x1.size(); ++k) {
                double dev = std::fabs(x10[k] - 10 * x1[k]);
                double allowed = 0.01 * big + 10 * std::fabs(x0[k]) + 1e-12;
                EXPECT_LE(dev, allowed) << what << " " << k << ": " << x10[k] << " against 10 x " << x1[k];
                if (big > 0) worstDev = std::max(worstDev, (dev - 10 * std::fabs(x0[k])) / big);
            }
            if (n1 > 0) {
                double ratio = std::sqrt(n10 / n1);
                ratioMin = std::min(ratioMin, ratio);
                ratioMax = std::max(ratioMax, ratio);
            }
        };
        if (one[j].spec.closing != Closing::NoAzimuth)
            check({w(r0, 1)}, {w(r1, 1)}, {w(r10, 1)}, "wb", wRatioMin, wRatioMax);
        check({w(r0, 2), w(r0, 3)}, {w(r1, 2), w(r1, 3)}, {w(r10, 2), w(r10, 3)}, "wx wy", wRatioMin, wRatioMax);
        std::vector<double> v0, v1, v10;
        for (std::size_t k = 2; k < g1.sideTyped.size(); ++k) {
            if (!g1.sideTyped[k]) continue;
            v0.push_back(v(r0, k));
            v1.push_back(v(r1, k));
            v10.push_back(v(r10, k));
        }
        check(v0, v1, v10, "correction of side", vRatioMin, vRatioMax);
        ++chains;
    }
    std::printf("[properties] tenfold noise over %d chains: misclosure ratios %.4f..%.4f, correction ratios "
                "%.4f..%.4f, worst deviation %.3g %% of the largest\n",
                chains, wRatioMin, wRatioMax, vRatioMin, vRatioMax, worstDev * 100);
}
