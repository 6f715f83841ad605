// The rigorous solution and its figures on generated chains: the iterated
// solution against the adjustment by observation equations where the single
// step falls short, every point's cofactors against that reference and
// against their direct evaluation, the redundancy numbers, and the
// normalised corrections finding a blunder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "PropertyChain.h"
#include "core/AdjustChain.h"
#include "core/ChainPhases.h"
#include "reference/ParametricAdjustment.h"
#include "support/ChainGenerator.h"

using namespace props;

namespace {

const Closing ALL_CLOSINGS[] = {Closing::PointD, Closing::ExternalAzimuth, Closing::NoAzimuth};

chain::GeneratedChain Generate(int n, Closing closing, double noiseMm, std::uint64_t seed,
                               std::vector<int> signs = {})
{
    chain::ChainSpec spec;
    spec.triangles = n;
    spec.closing = closing;
    // random signs wind the long chains into themselves: zigzag from 100 on
    if (signs.empty()) signs = n < 100 ? chain::RandomSigns(n, seed, closing) : chain::ZigzagSigns(n);
    spec.signs = signs;
    spec.seed = seed;
    spec.noiseMm = noiseMm;
    spec.orientationNoiseSec = noiseMm * 1e-3;  // weighted like the sides
    return chain::GenerateChain(spec);
}

std::string Label(const chain::GeneratedChain& g)
{
    return std::string(ClosingName(g.spec.closing)) + ", N=" + std::to_string(g.N) + ", noise " +
           std::to_string(g.spec.noiseMm) + " mm, seed " + std::to_string(g.spec.seed);
}

// What the chain's run hands to the adjustment; fullPi: the run with pi in
// full instead of the program's shortened one.
ChainObservations ObservationsOfChain(const chain::GeneratedChain& g, bool fullPi = false)
{
    ProgramRun run = fullPi ? RunChainWithPi(g.answers, std::acos(-1.0)) : RunChain(g.answers);
    if (!run.outcome.observations) throw std::runtime_error("the run did not reach the adjustment: " + run.outcome.reason);
    return *run.outcome.observations;
}

// The adjustment step by step as AdjustChain takes it, up to every point's
// precision; *at receives the observations of the last linearisation.
ChainResult AdjustToPrecision(const ChainObservations& observations, ChainWork* at)
{
    const ChainWork o = WorkOf(observations);
    ChainResult r = SizedResult(o);
    ComputeApproximateChain(o, r);
    ComputeMisclosures(o, r);
    FormConditionEquations(o, r);
    ComputeWeightReciprocals(r);
    *at = AdjustIteratively(o, r);
    ComputeWeightReciprocals(r);
    ComputeStandardErrors(o, r);
    ComputePointPrecision(*at, r);
    return r;
}

Point2 Adjusted(const ChainResult& r, int id) { return {r.PointX.at(static_cast<std::size_t>(id)), r.PointY.at(static_cast<std::size_t>(id))}; }

// Starting coordinates for the reference: the truth moved by centimetres.
std::vector<Point2> Perturbed(const chain::GeneratedChain& g)
{
    std::vector<Point2> p = g.points;
    for (std::size_t i = 0; i < p.size(); ++i) {
        double k = static_cast<double>(i);
        p[i].x += 0.04 * std::sin(1.1 * k + 0.5);
        p[i].y += 0.04 * std::cos(1.9 * k + 0.2);
    }
    return p;
}

// The weight functions of point p formed straight from the table of the
// condition equations (the weakest station's rows, with p in its place), over
// columns 2..2N+2.
struct WeightFunction {
    std::vector<double> fx, fy;
};

WeightFunction DirectWeightFunction(const ChainWork& at, const ChainResult& r, int p)
{
    const double rpd = at.constants.RADIANS_PER_DEGREE;
    const std::vector<double>& S = at.SideLengths;
    const std::vector<int>& sg = at.RouteSigns;
    const std::vector<double>& h = r.TriangleTerm;
    const std::vector<double>& X = r.StationX;
    const std::vector<double>& Y = r.StationY;
    auto cosDeg = [rpd](double d) { return std::cos(d * rpd); };
    const auto up = static_cast<std::size_t>(p);
    const double Xp = X[up - 1] + S[2 * up + 1] * std::cos(r.RouteAzimuths[up] * rpd);
    const double Yp = Y[up - 1] + S[2 * up + 1] * std::sin(r.RouteAzimuths[up] * rpd);
    WeightFunction f;
    f.fx.assign(static_cast<std::size_t>(2 * at.N + 3), 0.0);
    f.fy = f.fx;
    f.fx[2] = -sg[1] * (Yp - Y[0]) / h[1];
    f.fy[2] = sg[1] * (Xp - X[0]) / h[1];
    for (std::size_t i = 2; i <= up; ++i) {
        const double cg = sg[i - 1] * cosDeg(r.TriangleAngle3[i - 1]), ca = sg[i] * cosDeg(r.TriangleAngle1[i]);
        f.fx[2 * i - 1] = (X[i - 1] - X[i - 2]) / S[2 * i - 1] + cg * (Yp - Y[i - 2]) / h[i - 1] + ca * (Yp - Y[i - 1]) / h[i];
        f.fy[2 * i - 1] = (Y[i - 1] - Y[i - 2]) / S[2 * i - 1] - cg * (Xp - X[i - 2]) / h[i - 1] - ca * (Xp - X[i - 1]) / h[i];
        f.fx[2 * i] = -sg[i] * (Yp - Y[i - 1]) / h[i];
        f.fy[2 * i] = sg[i] * (Xp - X[i - 1]) / h[i];
    }
    const double cg = sg[up] * cosDeg(r.TriangleAngle3[up]);
    f.fx[2 * up + 1] = (Xp - X[up - 1]) / S[2 * up + 1] + cg * (Yp - Y[up - 1]) / h[up];
    f.fy[2 * up + 1] = (Yp - Y[up - 1]) / S[2 * up + 1] - cg * (Xp - X[up - 1]) / h[up];
    return f;
}

struct DirectCofactors {
    double Qxx = 0, Qyy = 0, Qxy = 0;        // ||f - A'L||^2, L = Qkk A f
    double expandedQxx = 0, expandedQyy = 0;  // f'f - (Af)' Qkk (Af)
};

DirectCofactors Direct(const ChainWork& at, const ChainResult& r, int p)
{
    const WeightFunction f = DirectWeightFunction(at, r, p);
    const std::size_t columns = f.fx.size();
    double Af[2][4] = {};
    double ff[2] = {};
    for (std::size_t c = 2; c < columns; ++c)
        for (int j = 1; j <= 3; ++j) {
            Af[0][j] += r.ConditionCoefficients[static_cast<std::size_t>(j)][c] * f.fx[c];
            Af[1][j] += r.ConditionCoefficients[static_cast<std::size_t>(j)][c] * f.fy[c];
        }
    double L[2][4] = {};
    for (int k = 0; k < 2; ++k)
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) L[k][i] += r.Qkk[i][j] * Af[k][j];
    DirectCofactors d;
    for (std::size_t c = 2; c < columns; ++c) {
        double ex = f.fx[c], ey = f.fy[c];
        for (int j = 1; j <= 3; ++j) {
            ex -= L[0][j] * r.ConditionCoefficients[static_cast<std::size_t>(j)][c];
            ey -= L[1][j] * r.ConditionCoefficients[static_cast<std::size_t>(j)][c];
        }
        d.Qxx += ex * ex;
        d.Qyy += ey * ey;
        d.Qxy += ex * ey;
        ff[0] += f.fx[c] * f.fx[c];
        ff[1] += f.fy[c] * f.fy[c];
    }
    d.expandedQxx = ff[0], d.expandedQyy = ff[1];
    for (int j = 1; j <= 3; ++j) {
        d.expandedQxx -= Af[0][j] * L[0][j];
        d.expandedQyy -= Af[1][j] * L[1][j];
    }
    return d;
}

bool IsKnown(const ChainResult& r, int p) { return r.PointPrecisions.at(static_cast<std::size_t>(p)).known; }

}  // namespace

// Chains whose misclosures are large for their length: the single step misses
// the least-squares solution (and mostly C) by more than 0.01 mm; the iterated
// solution lands on the reference's within 0.01 mm and on C. Both run with pi
// in full, as the reference does: the program's shortened pi alone moves long
// chains by some 3e-10 of their extent (ShortPiAllowance), 0.07 mm at N = 150.
TEST(RigorousSolution, IteratedSolutionMatchesTheReferenceWhereOneStepFallsShort)
{
    int chains = 0;
    double worstIterated = 0, leastSingle = 1e9;
    for (Closing closing : ALL_CLOSINGS) {
        for (int n : {20, 60, 150}) {
            for (double noise : {200.0, 600.0}) {
                chain::GeneratedChain g = Generate(n, closing, noise, 40 + static_cast<std::uint64_t>(n), chain::ZigzagSigns(n));
                SCOPED_TRACE(Label(g));
                const ChainObservations o = ObservationsOfChain(g, true);
                ChainOutcome iterated = AdjustChain(o);
                ASSERT_FALSE(iterated.fault) << "the iterated solution stopped";
                EXPECT_GE(iterated.result.Iterations, 2);
                ChainObservations single = o;
                single.constants.ITERATION_LIMIT = 1;
                ChainOutcome step = AdjustChain(single);

                reference::Result ref = reference::Adjust(reference::NetworkFromChain(g, Perturbed(g)));
                ASSERT_TRUE(ref.converged);
                double dIterated = 0, dSingle = 0;
                for (int id : g.unknownPoints) {
                    const Point2& q = ref.coords.at(static_cast<std::size_t>(reference::NetIndex(id)));
                    dIterated = std::max(dIterated, Dist(Adjusted(iterated.result, id), q));
                    dSingle = std::max(dSingle, Dist(Adjusted(step.result, id), q));
                }
                EXPECT_LE(dIterated, 1e-5) << "iterated solution against the reference [m]";
                EXPECT_GT(dSingle, 1e-5) << "the single step already solves this chain: no test of the iteration";
                EXPECT_LE(Dist(Adjusted(iterated.result, g.cIndex), g.C), 1e-5) << "the adjusted C";
                worstIterated = std::max(worstIterated, dIterated);
                leastSingle = std::min(leastSingle, dSingle);
                ++chains;
            }
        }
    }
    std::printf("[rigorous] %d chains: iterated vs reference at most %.3g mm; the single step at least %.3g mm off\n",
                chains, worstIterated * 1e3, leastSingle * 1e3);
}

// The longest chain with 1 mm of side noise: one step misses C by decimetres
// and is refused; the iterated solution completes and lands on C.
TEST(RigorousSolution, LongestChainWithMillimetreNoiseLandsOnC)
{
    for (Closing closing : ALL_CLOSINGS) {
        chain::GeneratedChain g = Generate(16382, closing, 1.0, 7, chain::ZigzagSigns(16382));
        SCOPED_TRACE(Label(g));
        const ChainObservations o = ObservationsOfChain(g);
        ChainOutcome out = AdjustChain(o);
        ASSERT_FALSE(out.fault);
        const double miss = Dist(Adjusted(out.result, g.cIndex), g.C);
        EXPECT_LE(miss, 1e-4);
        ChainObservations single = o;
        single.constants.ITERATION_LIMIT = 1;
        ChainOutcome step = AdjustChain(single);
        ASSERT_TRUE(step.fault);
        EXPECT_EQ(step.fault->kind, ChainFaultKind::ClosureMissed);
        std::printf("[rigorous] N = 16382, 1 mm, %s: %d iterations, C missed by %.3g mm (one step: %.0f mm)\n",
                    ClosingName(closing), out.result.Iterations, miss * 1e3, step.fault->miss * 1e3);
    }
}

// Every point's cofactors against the reference's (A'A)^-1 within 0.1 % (or
// 1e-6 absolute), chains of every closing kind up to N = 1000.
TEST(RigorousSolution, EveryPointsCofactorsMatchTheReference)
{
    double worst = 0;
    int points = 0;
    for (Closing closing : ALL_CLOSINGS) {
        for (int n : {1, 2, 3, 4, 7, 12, 30, 100, 1000}) {
            if (closing == Closing::PointD && n < 3) continue;
            chain::GeneratedChain g = Generate(n, closing, 3, 300 + static_cast<std::uint64_t>(n));
            SCOPED_TRACE(Label(g));
            ChainOutcome out = AdjustChain(ObservationsOfChain(g));
            ASSERT_FALSE(out.fault);
            reference::Result ref = reference::Adjust(reference::NetworkFromChain(g, Perturbed(g)));
            ASSERT_TRUE(ref.converged);
            const ChainResult& r = out.result;
            ASSERT_EQ(r.PointPrecisions.size(), static_cast<std::size_t>(r.ResultPointCount) + 1);
            for (int id = 0; id <= r.ResultPointCount; ++id) {
                const PointPrecision& pp = r.PointPrecisions[static_cast<std::size_t>(id)];
                const int net = reference::NetIndex(id);
                const int slot = ref.unknownSlot.at(static_cast<std::size_t>(net));
                EXPECT_EQ(pp.known, slot < 0) << "point " << id;
                if (slot < 0) {
                    EXPECT_EQ(pp.Qxx + pp.Qyy + pp.mp + pp.ellipse.E, 0) << "known point " << id;
                    continue;
                }
                const double qxx = ref.Qxx(slot, slot), qyy = ref.Qxx(slot + 1, slot + 1), qxy = ref.Qxx(slot, slot + 1);
                const double scale = std::max(qxx, qyy);
                auto near = [&](double value, double expected) {
                    EXPECT_NEAR(value, expected, std::max(1e-3 * scale, 1e-6)) << "point " << id;
                    worst = std::max(worst, std::fabs(value - expected) / std::max(scale, 1e-3));
                };
                near(pp.Qxx, qxx);
                near(pp.Qyy, qyy);
                near(pp.Qxy, qxy);
                ++points;
            }
        }
    }
    std::printf("[rigorous] cofactors of %d points against the reference: worst %.3g %% of the larger one\n", points,
                worst * 100);
}

// The linear-time cofactors against the direct evaluation of every point's
// weight function with the same correlate matrix, within 1e-9 of the larger
// cofactor; at the weakest station they are the window's 1/px, 1/py. The
// expanded form f'f - u'N^-1 u of the same sums shows what the digits near C
// would be without the care.
TEST(RigorousSolution, LinearTimeCofactorsMatchTheDirectEvaluation)
{
    double worst = 0, worstExpanded = 0;
    int points = 0;
    for (Closing closing : ALL_CLOSINGS) {
        for (int n : {3, 8, 40, 1000, 16382}) {
          for (bool zigzag : {true, false}) {
            if (n >= 100 && !zigzag) continue;
            chain::GeneratedChain g = Generate(n, closing, n > 1000 ? 1 : 3, 900 + static_cast<std::uint64_t>(n),
                                               zigzag ? chain::ZigzagSigns(n) : std::vector<int>{});
            SCOPED_TRACE(Label(g) + (zigzag ? ", zigzag" : ", random signs"));
            ChainWork at;
            const ChainResult r = AdjustToPrecision(ObservationsOfChain(g), &at);
            const int stride = n > 1000 ? 97 : 1;
            for (int p = 1; p <= r.ResultPointCount; ++p) {
                const bool nearEnd = p <= 20 || p >= r.ResultPointCount - 20;
                if (IsKnown(r, p) || (!nearEnd && p % stride != 0)) continue;
                const PointPrecision& pp = r.PointPrecisions[static_cast<std::size_t>(p)];
                const DirectCofactors d = Direct(at, r, p);
                const double scale = std::max(d.Qxx, d.Qyy);
                const double dev = std::max({std::fabs(pp.Qxx - d.Qxx), std::fabs(pp.Qyy - d.Qyy), std::fabs(pp.Qxy - d.Qxy)});
                EXPECT_LE(dev, 1e-9 * scale) << "point " << p << ": Qxx " << pp.Qxx << " / " << d.Qxx;
                worst = std::max(worst, dev / scale);
                worstExpanded = std::max(worstExpanded, std::max(std::fabs(d.expandedQxx - d.Qxx), std::fabs(d.expandedQyy - d.Qyy)) / scale);
                ++points;
            }
            const int M = HalfCount(n);
            if (!IsKnown(r, M)) {
                const PointPrecision& w = r.PointPrecisions[static_cast<std::size_t>(M)];
                EXPECT_NEAR(w.Qxx, *r.InvPx, 1e-9 * std::max(w.Qxx, w.Qyy)) << "1/px";
                EXPECT_NEAR(w.Qyy, *r.InvPy, 1e-9 * std::max(w.Qxx, w.Qyy)) << "1/py";
            }
          }
        }
    }
    std::printf("[rigorous] %d points: linear-time against direct cofactors %.3g of the larger; the expanded form "
                "f'f - u'N^-1 u %.3g\n",
                points, worst, worstExpanded);
}

// The redundancy numbers of all observations, the orientation angle included,
// add up to the number of conditions, on chains of every closing kind and
// every sign pattern; each lies in 0..1.
TEST(RigorousSolution, RedundancyNumbersAddUpToTheConditions)
{
    int chains = 0;
    double worst = 0;
    for (Closing closing : ALL_CLOSINGS) {
        for (int n : {1, 2, 3, 4, 5, 8, 13, 21, 40, 200}) {
            for (int pattern = 0; pattern < 3; ++pattern) {
                std::vector<int> signs = pattern == 0   ? chain::ZigzagSigns(n)
                                         : pattern == 1 ? chain::PivotSigns(n, 2, closing)
                                                        : chain::RandomSigns(n, 5 + static_cast<std::uint64_t>(n), closing);
                if (!chain::ValidSigns(signs, closing)) continue;
                chain::GeneratedChain g = Generate(n, closing, 3, 17, signs);
                SCOPED_TRACE(Label(g) + ", pattern " + std::to_string(pattern));
                ChainOutcome out = AdjustChain(ObservationsOfChain(g));
                ASSERT_FALSE(out.fault);
                const ChainResult& r = out.result;
                const int conditions = closing == Closing::NoAzimuth ? 2 : 3;
                EXPECT_EQ(r.ConditionCount, conditions);
                double sum = 0;
                for (std::size_t k = 2; k < r.Redundancy.size(); ++k) {
                    EXPECT_GE(r.Redundancy[k], -1e-12) << "r of " << k;
                    EXPECT_LE(r.Redundancy[k], 1 + 1e-12) << "r of " << k;
                    sum += r.Redundancy[k];
                }
                EXPECT_NEAR(sum, conditions, 1e-9);
                EXPECT_NEAR(r.SumRedundancy, conditions, 1e-9);
                worst = std::max(worst, std::fabs(sum - conditions));
                ++chains;
            }
        }
    }
    std::printf("[rigorous] redundancy sums of %d chains: worst %.3g off the condition count\n", chains, worst);
}

// With sigma0, a blunder of 10 sigma0 in a side the geometry sees (the side
// with the largest redundancy number) gives that side the largest |w|, over
// 3.29; the global test refuses the chain. Without it the test passes and no
// w is flagged beyond chance. A side has its w exactly when r >= 0.01 (the
// chains of N = 9 hold sides of 0.02 <= r < 0.1).
TEST(RigorousSolution, BlunderGetsTheLargestNormalisedCorrection)
{
    const double sigma0Mm = 2;
    for (Closing closing : ALL_CLOSINGS) {
        for (int n : {4, 9}) {
            chain::GeneratedChain g = Generate(n, closing, 0.2, 61 + static_cast<std::uint64_t>(n));
            SCOPED_TRACE(Label(g));
            ChainObservations o = ObservationsOfChain(g);
            o.sigma0Mm = sigma0Mm;
            ChainOutcome clean = AdjustChain(o);
            ASSERT_FALSE(clean.fault);
            ASSERT_TRUE(clean.result.globalTest);
            EXPECT_TRUE(clean.result.globalTest->passed);
            std::size_t seen = 2;
            for (std::size_t k = 2; k <= static_cast<std::size_t>(2 * n + 1); ++k)
                if (clean.result.Redundancy[k] > clean.result.Redundancy[seen]) seen = k;
            ASSERT_GE(clean.result.Redundancy[seen], 0.01);

            o.sides[seen].used += 10 * sigma0Mm * 1e-3;
            ChainOutcome blunder = AdjustChain(o);
            ASSERT_FALSE(blunder.fault);
            const ChainResult& r = blunder.result;
            ASSERT_TRUE(r.Normalised[seen]);
            const double w = std::fabs(*r.Normalised[seen]);
            EXPECT_GT(w, 3.29) << "side " << seen << ", r " << r.Redundancy[seen];
            for (std::size_t k = 2; k < r.Normalised.size(); ++k) {
                if (r.Normalised[k] && k != seen) {
                    EXPECT_LE(std::fabs(*r.Normalised[k]), w * (1 + 1e-9)) << "side " << k;
                }
            }
            ASSERT_TRUE(r.globalTest);
            EXPECT_FALSE(r.globalTest->passed);
            EXPECT_EQ(r.globalTest->dof, closing == Closing::NoAzimuth ? 2 : 3);
            for (std::size_t k = 2; k < r.Normalised.size(); ++k) {
                if (r.Redundancy[k] < 0.01) {
                    EXPECT_FALSE(r.Normalised[k]) << "no w where r < 0.01: " << k;
                } else {
                    EXPECT_TRUE(r.Normalised[k]) << "a w where r >= 0.01: " << k << ", r " << r.Redundancy[k];
                }
            }
        }
    }
}
