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
#include <tuple>
#include <utility>
#include <vector>

#include "PropertyChain.h"
#include "core/AdjustChain.h"
#include "core/ChainPhases.h"
#include "core/DesignChain.h"
#include "files/GradeLimitsFile.h"
#include "rules/GradeTexts.h"
#include "run/GradeCheck.h"
#include "run/RunCompletion.h"
#include "text/DisplayFormat.h"
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

// One more linearisation after the iterated solution's last moves no
// correction and no point by 1e-6 m, the orientation angle by 0.0001". A
// point of a route of N legs carries up to N roundings of half a unit in the
// last place of its coordinates: where that exceeds 1e-6 m (N = 16382 and
// coordinates of 2.6e7 m: 3e-5 m) it bounds the move instead.
void ExpectSettled(const ChainObservations& o, const ChainResult& r)
{
    const LinearisationMoves moves = MovesOfOneMoreLinearisation(WorkOf(o), r);
    double largest = 0;
    for (int i = 0; i <= r.ResultPointCount; ++i)
        largest = std::max({largest, std::fabs(Adjusted(r, i).x), std::fabs(Adjusted(r, i).y)});
    const double rounding = 0.5 * o.N * (std::nextafter(largest, INFINITY) - largest);
    EXPECT_LE(moves.correction, 1e-6) << "a correction [m]";
    EXPECT_LE(moves.point, std::max(1e-6, rounding)) << "a point [m]";
    EXPECT_LE(moves.orientation, 1e-4) << "the orientation angle [arc s]";
}

bool IsKnown(const ChainResult& r, int p) { return r.PointPrecisions.at(static_cast<std::size_t>(p)).known; }

}  // namespace

// Chains whose misclosures are large for their length: the single step misses
// the least-squares solution (and mostly C) by more than 0.01 mm; the iterated
// solution lands on the reference's within 1 um and on C, and one more
// linearisation moves nothing by 1 um (nor the orientation angle by 0.0001").
// The bounds are the stopping rule's own: the rounding of coordinates of
// millions of metres (5e-10 m a step, some 1e-9 m over N = 200) and the
// reference's last step (1e-8 m) lie far below them. Both run with pi
// in full, as the reference does: the program's shortened pi alone moves long
// chains by some 3e-10 of their extent (ShortPiAllowance), 0.07 mm at N = 150.
TEST(RigorousSolution, IteratedSolutionMatchesTheReferenceWhereOneStepFallsShort)
{
    int chains = 0;
    double worstIterated = 0, leastSingle = 1e9;
    for (Closing closing : ALL_CLOSINGS) {
        for (int n : {20, 60, 150, 200}) {
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
                EXPECT_LE(dIterated, 1e-6) << "iterated solution against the reference [m]";
                ExpectSettled(o, iterated.result);
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
// and is refused; the iterated solution completes, lands on C and has
// settled.
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
        ExpectSettled(o, out.result);  // the conditions hold to some 2e-7 m here
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

// ---------------------------------------------------------------------------
// Weighted sides: a distance meter of a + b D [mm], some sides with their own
// standard error, the orientation angle with its own.

namespace {

struct Weights {
    double aMm = 2, bPpm = 2;
    std::vector<std::pair<std::size_t, double>> own;  // side k, its standard error [mm]
    double sigmaQSec = 2;
};

// The chain's observations weighted, every standard error times k.
ChainObservations Weighted(ChainObservations o, const Weights& w, double k = 1)
{
    o.edm = DistanceAccuracy{w.aMm * k, w.bPpm * k};
    for (const auto& [side, sigma] : w.own) o.sides.at(side).sigmaMm = sigma * k;
    if (o.orientation) o.orientation->sigmaSec = w.sigmaQSec * k;
    return o;
}

// The standard error of side k [m] as the test works it out: its own, or
// a + b D with D the typed side in km.
double SideSigmaOf(const chain::GeneratedChain& g, const Weights& w, std::size_t k)
{
    for (const auto& [side, sigma] : w.own)
        if (side == k) return sigma / 1000;
    return (w.aMm + w.bPpm * std::fabs(g.typedSides[k]) / 1000) / 1000;
}

// The reference network of the chain with the weights 1 / sigma^2.
reference::Network WeightedNetwork(const chain::GeneratedChain& g, const Weights& w)
{
    reference::Network net = reference::NetworkFromChain(g, Perturbed(g));
    for (reference::Distance& d : net.distances) d.sigma = SideSigmaOf(g, w, static_cast<std::size_t>(d.k));
    if (net.orientation) net.orientation->sigmaSec = w.sigmaQSec;
    return net;
}

struct WeightedCase {
    const char* why;
    Closing closing;
    int N;
    double aMm, bPpm;
    double sideScale;  // [m]: the route sides 0.8 to 1.25 times it
    bool ownSigmas;    // two sides with their own standard error
};

const WeightedCase WEIGHTED_CHAINS[] = {
    {"D given, short sides", Closing::PointD, 3, 2, 5, 700, false},
    {"D given, 12, own sigmas", Closing::PointD, 12, 3, 2, 1500, true},
    {"D given, 100", Closing::PointD, 100, 5, 5, 2200, false},
    {"D given, 1000", Closing::PointD, 1000, 2, 3, 1200, true},
    {"azimuth, 1", Closing::ExternalAzimuth, 1, 2, 2, 1500, false},
    {"azimuth, 7, own sigmas", Closing::ExternalAzimuth, 7, 5, 2, 2300, true},
    {"azimuth, 40", Closing::ExternalAzimuth, 40, 2, 5, 900, false},
    {"azimuth, 1000", Closing::ExternalAzimuth, 1000, 4, 4, 1600, false},
    {"C alone, 2", Closing::NoAzimuth, 2, 3, 3, 2000, false},
    {"C alone, 13, own sigmas", Closing::NoAzimuth, 13, 2, 4, 650, true},
    {"C alone, 1000", Closing::NoAzimuth, 1000, 5, 3, 2000, true},
};

Weights WeightsOf(const WeightedCase& c)
{
    Weights w{c.aMm, c.bPpm, {}, 1.5 + c.aMm / 2};
    if (c.ownSigmas) w.own = {{2, 1.2}, {static_cast<std::size_t>(c.N + 1 + c.N % 2), 9.5}};
    return w;
}

chain::GeneratedChain GenerateWeighted(const WeightedCase& c)
{
    chain::ChainSpec spec;
    spec.triangles = c.N;
    spec.closing = c.closing;
    spec.signs = c.N < 100 ? chain::RandomSigns(c.N, 700 + static_cast<std::uint64_t>(c.N), c.closing) : chain::ZigzagSigns(c.N);
    spec.seed = 700 + static_cast<std::uint64_t>(c.N);
    spec.noiseMm = 4;
    spec.orientationNoiseSec = 2;
    spec.sideScale = c.sideScale;
    return chain::GenerateChain(spec);
}

}  // namespace

// The weighted adjustment against the reference with its weight matrix: the
// coordinates and corrections within 0.001 mm, the cofactors within 0.01 %
// (or 1e-9), every redundancy number, their sum the number of conditions, ms
// the a-posteriori standard error of unit weight, and the shift of the weakest
// point by each observation's minimal detectable bias. Both with pi in full.
TEST(RigorousSolution, WeightedChainsMatchTheReference)
{
    double worstXY = 0, worstLongXY = 0, worstV = 0, worstQ = 0, worstR = 0, worstShift = 0, shortest = 1e9, longest = 0;
    for (const WeightedCase& c : WEIGHTED_CHAINS) {
        SCOPED_TRACE(c.why);
        const chain::GeneratedChain g = GenerateWeighted(c);
        const Weights weights = WeightsOf(c);
        const ChainOutcome out = AdjustChain(Weighted(ObservationsOfChain(g, true), weights));
        ASSERT_FALSE(out.fault);
        const ChainResult& r = out.result;
        const reference::Network net = WeightedNetwork(g, weights);
        const reference::Result ref = reference::Adjust(net);
        ASSERT_TRUE(ref.converged);
        const int conditions = c.closing == Closing::NoAzimuth ? 2 : 3;
        ASSERT_EQ(ref.redundancy, conditions);
        EXPECT_TRUE(r.Weighted);
        const double mu0 = (c.aMm + c.bPpm) / 1000;  // [m]
        ASSERT_TRUE(r.Mu0Mm);
        EXPECT_NEAR(*r.Mu0Mm, c.aMm + c.bPpm, 1e-12);

        // A chain of a thousand triangles is a strip of 600 to 1000 km held at
        // its ends: sides that agree to 1e-9 m leave its middle free to bend by
        // micrometres (both solutions reproduce their adjusted sides to 2e-8 m
        // and still differ by up to 0.007 mm there).
        const double xyTolerance = c.N >= 1000 ? 1e-5 : 1e-6;
        for (int id : g.unknownPoints) {
            const Point2& q = ref.coords.at(static_cast<std::size_t>(reference::NetIndex(id)));
            const double d = Dist(Adjusted(r, id), q);
            EXPECT_LE(d, xyTolerance) << "point " << id;
            (c.N >= 1000 ? worstLongXY : worstXY) = std::max(c.N >= 1000 ? worstLongXY : worstXY, d);
        }
        double sumR = 0;
        for (std::size_t i = 0; i < net.distances.size(); ++i) {
            const auto k = static_cast<std::size_t>(net.distances[i].k);
            shortest = std::min(shortest, std::fabs(g.typedSides[k])), longest = std::max(longest, std::fabs(g.typedSides[k]));
            EXPECT_NEAR(r.Corrections[k], ref.distanceResiduals[i], 1e-6) << "v of side " << k;
            EXPECT_NEAR(r.Redundancy[k], ref.distanceRedundancy[i], 1e-6) << "r of side " << k;
            EXPECT_NEAR(r.Sigma[k], net.distances[i].sigma, 1e-15) << "sigma of side " << k;
            worstV = std::max(worstV, std::fabs(r.Corrections[k] - ref.distanceResiduals[i]));
            worstR = std::max(worstR, std::fabs(r.Redundancy[k] - ref.distanceRedundancy[i]));
            sumR += r.Redundancy[k];
        }
        if (net.orientation) {
            const std::size_t Q = r.Redundancy.size() - 1;
            EXPECT_NEAR(r.OrientationCorrection, ref.orientationResidualSec, 1e-3) << "v of the orientation angle";
            EXPECT_NEAR(r.Redundancy[Q], ref.orientationRedundancy, 1e-6) << "r of the orientation angle";
            sumR += r.Redundancy[Q];
        }
        EXPECT_NEAR(sumR, conditions, 1e-9);
        EXPECT_NEAR(r.SumRedundancy, conditions, 1e-9);
        // ms = mu0 sqrt(sum (v / sigma)^2 / r), single precision
        const double ms = c.aMm + c.bPpm == 0 ? 0 : (c.aMm + c.bPpm) * std::sqrt(ref.sumWeightedSquares / conditions);
        EXPECT_NEAR(*r.ms, ms, 1e-6 * ms + 1e-9) << "ms";

        // cofactors per unit weight mu0: the reference's covariances / mu0^2
        int weakest = -1;
        double largest = -1;
        for (int id = 0; id <= r.ResultPointCount; ++id) {
            const int slot = ref.unknownSlot.at(static_cast<std::size_t>(reference::NetIndex(id)));
            if (slot < 0) continue;
            const PointPrecision& pp = r.PointPrecisions[static_cast<std::size_t>(id)];
            const double qxx = ref.Qxx(slot, slot) / (mu0 * mu0), qyy = ref.Qxx(slot + 1, slot + 1) / (mu0 * mu0);
            const double qxy = ref.Qxx(slot, slot + 1) / (mu0 * mu0);
            const double tolerance = std::max(1e-4 * std::max(qxx, qyy), 1e-9);
            EXPECT_NEAR(pp.Qxx, qxx, tolerance) << "point " << id;
            EXPECT_NEAR(pp.Qyy, qyy, tolerance) << "point " << id;
            EXPECT_NEAR(pp.Qxy, qxy, tolerance) << "point " << id;
            worstQ = std::max(worstQ, std::max({std::fabs(pp.Qxx - qxx), std::fabs(pp.Qyy - qyy), std::fabs(pp.Qxy - qxy)}) /
                                          std::max({qxx, qyy, 1e-5}));
            if (qxx + qyy > largest * (1 + 1e-6)) largest = qxx + qyy, weakest = id;
        }
        if (weakest >= 0) {
            EXPECT_EQ(r.WeakestPoint, weakest);
        }

        // every adjusted side's standard error and its azimuth's against the
        // reference's covariances g' Qxx g / mu0^2, g the gradient of the
        // side's length or azimuth in the coordinates of its two ends
        double weakestSide = 0;
        for (const reference::Distance& d : net.distances) {
            const auto k = static_cast<std::size_t>(d.k);
            const Point2 &pa = ref.coords.at(static_cast<std::size_t>(d.a)), &pb = ref.coords.at(static_cast<std::size_t>(d.b));
            const double dx = pb.x - pa.x, dy = pb.y - pa.y, S2 = dx * dx + dy * dy, S = std::sqrt(S2);
            const double gS[4] = {-dx / S, -dy / S, dx / S, dy / S}, gT[4] = {dy / S2, -dx / S2, -dy / S2, dx / S2};
            const int slots[2] = {ref.unknownSlot.at(static_cast<std::size_t>(d.a)), ref.unknownSlot.at(static_cast<std::size_t>(d.b))};
            auto cofactor = [&](const double* g) {
                double q = 0;
                for (int i = 0; i < 4; ++i)
                    for (int j = 0; j < 4; ++j)
                        if (slots[i / 2] >= 0 && slots[j / 2] >= 0) q += g[i] * ref.Qxx(slots[i / 2] + i % 2, slots[j / 2] + j % 2) * g[j];
                return q / (mu0 * mu0);
            };
            const double mS = *r.ms * std::sqrt(cofactor(gS)), mT = *r.ms / 1000 * std::sqrt(cofactor(gT)) * 206265;
            ASSERT_TRUE(r.SideSigmaMm.at(k) && r.SideRelative.at(k)) << "side " << k;
            EXPECT_NEAR(*r.SideSigmaMm[k], mS, 1e-4 * mS + 1e-6) << "m_S of side " << k;
            EXPECT_NEAR(*r.SideRelative[k], mS / 1000 / S, 1e-4 * mS / 1000 / S + 1e-12) << "m_S / S of side " << k;
            EXPECT_NEAR(r.SideAzimuthSigma.at(k), mT, 1e-4 * mT + 1e-6) << "m_T of side " << k;
            EXPECT_NEAR(std::remainder(r.SideAzimuth[k] - std::atan2(dy, dx) * 180 / std::acos(-1.0), 180.0), 0, 1e-7) << "T of side " << k;
            worstQ = std::max(worstQ, std::fabs(r.SideAzimuthSigma[k] - mT) / std::max(mT, 1e-3));
            weakestSide = std::max(weakestSide, mS / 1000 / S);
        }
        ASSERT_GT(r.WeakestSide, 0);
        EXPECT_NEAR(*r.SideRelative.at(static_cast<std::size_t>(r.WeakestSide)), weakestSide, 1e-4 * weakestSide + 1e-12) << "the weakest side";

        // the shift of the weakest point by the minimal detectable bias of the
        // reference's redundancy number
        for (std::size_t i = 0; i < net.distances.size() + (net.orientation ? 1 : 0); ++i) {
            const bool angle = i == net.distances.size();
            const std::size_t k = angle ? r.Redundancy.size() - 1 : static_cast<std::size_t>(net.distances[i].k);
            const double rRef = angle ? ref.orientationRedundancy : ref.distanceRedundancy[i];
            if (std::fabs(rRef - 0.01) < 1e-6) continue;  // either side of the line
            if (rRef < 0.01) {
                EXPECT_FALSE(r.Mdb[k] || r.BiasToNoise[k] || r.WeakestShift[k]) << "not checked: " << k;
                continue;
            }
            const double sigma = angle ? net.orientation->sigmaSec : net.distances[i].sigma;
            const double mdb = 4.13 * sigma / std::sqrt(rRef);
            ASSERT_TRUE(r.Mdb[k] && r.BiasToNoise[k] && r.WeakestShift[k]) << k;
            EXPECT_NEAR(*r.Mdb[k], mdb, 1e-5 * mdb) << "minimal detectable bias of " << k;
            const double lambda = 4.13 * std::sqrt((1 - rRef) / rRef);
            EXPECT_NEAR(*r.BiasToNoise[k], lambda, 1e-5 * lambda + 1e-6) << "lambda of " << k;
            const double shift = weakest < 0 ? 0.0 : ref.ShiftOfPoint(net, i, mdb, reference::NetIndex(weakest));
            EXPECT_NEAR(*r.WeakestShift[k], shift, 1e-4 * shift + 1e-7) << "shift of the weakest point by " << k;
            worstShift = std::max(worstShift, std::fabs(*r.WeakestShift[k] - shift));
        }
    }
    std::printf("[weighted] sides %.0f to %.0f m: coordinates %.3g mm (N = 1000: %.3g mm), corrections %.3g mm, "
                "cofactors %.3g %%, redundancy numbers %.3g, weakest shifts %.3g mm off the reference\n",
                shortest, longest, worstXY * 1e3, worstLongXY * 1e3, worstV * 1e3, worstQ * 100, worstR, worstShift * 1e3);
}

// Every standard error times k: no coordinate, correction, redundancy number,
// cofactor, mx, my or mp changes; every w is divided by k, the global
// statistic by k^2, every minimal detectable bias multiplied by k.
TEST(RigorousSolution, ScalingEveryStandardErrorScalesOnlyTheTests)
{
    for (const WeightedCase& c : WEIGHTED_CHAINS) {
        if (c.N > 100) continue;
        SCOPED_TRACE(c.why);
        const chain::GeneratedChain g = GenerateWeighted(c);
        const ChainObservations o = ObservationsOfChain(g);
        const ChainOutcome one = AdjustChain(Weighted(o, WeightsOf(c)));
        ASSERT_FALSE(one.fault);
        for (double k : {0.1, 3.0, 1000.0}) {
            SCOPED_TRACE("k = " + std::to_string(k));
            const ChainOutcome scaled = AdjustChain(Weighted(o, WeightsOf(c), k));
            ASSERT_FALSE(scaled.fault);
            const ChainResult &a = one.result, &b = scaled.result;
            auto same = [](double x, double y, const std::string& what) { EXPECT_NEAR(y, x, 1e-9 * std::max(1.0, std::fabs(x))) << what; };
            for (int id = 0; id <= a.ResultPointCount; ++id) {
                const auto u = static_cast<std::size_t>(id);
                same(a.PointX[u], b.PointX[u], "X of " + std::to_string(id));
                same(a.PointY[u], b.PointY[u], "Y of " + std::to_string(id));
                const PointPrecision &p = a.PointPrecisions[u], &q = b.PointPrecisions[u];
                for (auto [x, y, what] : {std::tuple{p.Qxx, q.Qxx, "Qxx"}, {p.Qyy, q.Qyy, "Qyy"}, {p.Qxy, q.Qxy, "Qxy"}})
                    same(x, y, std::string(what) + " of " + std::to_string(id));
                // mx, my, mp rest on ms, a single-precision figure
                for (auto [x, y, what] : {std::tuple{p.mx, q.mx, "mx"}, {p.my, q.my, "my"}, {p.mp, q.mp, "mp"}})
                    EXPECT_NEAR(y, x, 1e-6 * x + 1e-12) << what << " of " << id;
            }
            EXPECT_EQ(*a.ms, *b.ms);
            for (std::size_t i = 2; i < a.Redundancy.size(); ++i) {
                SCOPED_TRACE("observation " + std::to_string(i));
                if (i < a.Redundancy.size() - 1) same(a.Corrections[i], b.Corrections[i], "v");
                same(a.Redundancy[i], b.Redundancy[i], "r");
                ASSERT_EQ(a.Normalised[i].has_value(), b.Normalised[i].has_value());
                if (a.Normalised[i]) { EXPECT_NEAR(*b.Normalised[i], *a.Normalised[i] / k, 1e-9 * std::fabs(*a.Normalised[i]) + 1e-12); }
                if (a.Mdb[i]) { EXPECT_NEAR(*b.Mdb[i], *a.Mdb[i] * k, 1e-9 * *a.Mdb[i] * k); }
                // lambda near r = 1 is the square root of a rounding error
                if (a.BiasToNoise[i]) { EXPECT_NEAR(*b.BiasToNoise[i], *a.BiasToNoise[i], 1e-7) << "lambda"; }
                if (a.WeakestShift[i]) { EXPECT_NEAR(*b.WeakestShift[i], *a.WeakestShift[i] * k, (1e-9 * *a.WeakestShift[i] + 1e-12) * k); }
            }
            same(a.OrientationCorrection, b.OrientationCorrection, "v of the orientation angle");
            ASSERT_TRUE(a.globalTest && b.globalTest);
            EXPECT_NEAR(b.globalTest->statistic, a.globalTest->statistic / (k * k), 1e-9 * a.globalTest->statistic / (k * k));
        }
    }
}

// A blunder of exactly the minimal detectable bias of a checked observation,
// in a chain without noise (exact sides, pi in full, coordinates near the
// origin), gives that observation w = 4.13 and no other a larger |w|. That is
// exact for the linearised adjustment; the chain is not linear: the bias also
// moves w by a part even in it, of order bias / side (up to 2e-4 here), and
// the part odd in it, (w(-bias) - w(+bias)) / 2, keeps terms of the third
// order, up to 2e-6 where the orientation angle turns the chain.
TEST(RigorousSolution, BlunderOfTheMinimalDetectableBiasGivesDelta0)
{
    double worstOdd = 0, worstRaw = 0;
    int observations = 0;
    for (Closing closing : ALL_CLOSINGS) {
        chain::ChainSpec spec;
        spec.triangles = 7;
        spec.closing = closing;
        spec.signs = chain::RandomSigns(7, 5, closing);
        spec.seed = 808;
        spec.noiseMm = 0;
        spec.orientationNoiseSec = 0;
        spec.sideScale = 1500;
        spec.offsetX = spec.offsetY = 0;
        const chain::GeneratedChain g = chain::GenerateChain(spec);
        SCOPED_TRACE(Label(g));
        ChainObservations o = Weighted(ObservationsOfChain(g, true), Weights{3, 2, {}, 2});
        for (std::size_t k = 2; k < o.sides.size(); ++k)
            if (!o.sides[k].fromCoordinates) o.sides[k].used = g.trueSides[k];
        if (o.orientation) o.orientation->angleDeg = g.orientationTrueDeg;
        const ChainOutcome clean = AdjustChain(o);
        ASSERT_FALSE(clean.fault);
        const ChainResult& c = clean.result;
        const std::size_t Q = c.Redundancy.size() - 1;
        for (std::size_t k = 2; k <= Q; ++k) {
            if (!c.Mdb[k]) continue;
            SCOPED_TRACE("observation " + std::to_string(k) + ", r " + std::to_string(c.Redundancy[k]));
            auto blundered = [&](double sign) {
                ChainObservations b = o;
                if (k == Q) {
                    b.orientation->angleDeg += sign * *c.Mdb[k] / 3600;
                } else {
                    b.sides[k].used += sign * *c.Mdb[k];
                }
                ChainOutcome out = AdjustChain(b);
                EXPECT_FALSE(out.fault);
                return out.result.Normalised;
            };
            const auto plus = blundered(+1), minus = blundered(-1);
            ASSERT_TRUE(plus[k] && minus[k]);
            const double odd = (*minus[k] - *plus[k]) / 2;
            EXPECT_NEAR(odd, 4.13, 1e-5);
            EXPECT_NEAR(-*plus[k], 4.13, 1e-3);
            worstOdd = std::max(worstOdd, std::fabs(odd - 4.13));
            worstRaw = std::max(worstRaw, std::fabs(-*plus[k] - 4.13));
            for (std::size_t j = 2; j <= Q; ++j) {
                if (!plus[j] || j == k) continue;
                EXPECT_LE(std::fabs(*minus[j] - *plus[j]) / 2, odd * (1 + 1e-6)) << "observation " << j;
            }
            ++observations;
        }
    }
    std::printf("[weighted] a blunder of the minimal detectable bias in %d observations: w 4.13 within %.3g (its odd "
                "part within %.3g)\n",
                observations, worstRaw, worstOdd);
}

// A design (zero misclosures, every figure from mu0) of a chain without noise:
// each point's standard errors are mu0 sqrt(Q) of the same chain adjusted, each
// side's mu0 sqrt((1 - r) / p) of that adjustment's r. One side measured ten
// times less accurately becomes the weakest side and fails a grade the planned
// chain met.
TEST(RigorousSolution, DesignIsMu0TimesTheCofactorsOfTheChain)
{
    const auto limits = std::get<GradeLimits>(ReadGradeLimits(
        "trilat-grade-limits 1\n四等 | 最弱边边长相对中误差 | 1/300000 | 测试 | 1 | 表 1 | 第 1 条\n"));
    for (Closing closing : ALL_CLOSINGS) {
        const chain::GeneratedChain g = Generate(12, closing, 0, 41, chain::ZigzagSigns(12));
        SCOPED_TRACE(Label(g));
        ProgramRun run = RunChain(g.answers);
        ASSERT_TRUE(run.state.LastRun);
        ChainInput input = run.state.LastRun->input;
        input.observations = Weighted(input.observations, Weights{2, 2, {}, 1.5});
        const ChainOutcome adjusted = AdjustChain(input.observations);
        const ChainOutcome design = DesignChain(input.observations);
        ASSERT_FALSE(adjusted.fault || design.fault);
        const ChainResult &a = adjusted.result, &d = design.result;
        const double mu0 = 4;  // [mm]
        EXPECT_EQ(*d.ms, 4.0f);
        for (std::size_t p = 0; p < a.PointPrecisions.size(); ++p) {
            const PointPrecision &q = a.PointPrecisions[p], &m = d.PointPrecisions.at(p);
            EXPECT_NEAR(m.mx, mu0 * std::sqrt(q.Qxx), 1e-6) << "mx of " << p;
            EXPECT_NEAR(m.my, mu0 * std::sqrt(q.Qyy), 1e-6) << "my of " << p;
            EXPECT_NEAR(m.mp, mu0 * std::sqrt(q.Qxx + q.Qyy), 1e-6) << "mp of " << p;
        }
        for (std::size_t k = 2; k < a.SideSigmaMm.size(); ++k) {
            if (!a.SideSigmaMm[k]) continue;
            const double sigma = 2 + 2 * input.observations.sides[k].used / 1000;  // [mm]
            EXPECT_NEAR(*d.SideSigmaMm[k], sigma * std::sqrt(1 - a.Redundancy[k]), 1e-6) << "m_S of side " << k;
        }

        // side 12, a cross side in the middle, ten times less accurate
        CompletedRun planned = CompleteRun(input, d);
        ASSERT_FALSE(CheckRunGrade(planned, "四等", limits));
        ChainInput worse = input;
        worse.observations.sides.at(12).sigmaMm = 10 * (2 + 2 * worse.observations.sides[12].used / 1000);
        const ChainOutcome worseDesign = DesignChain(worse.observations);
        ASSERT_FALSE(worseDesign.fault);
        CompletedRun measured = CompleteRun(worse, worseDesign.result);
        ASSERT_FALSE(CheckRunGrade(measured, "四等", limits));
        EXPECT_NE(d.WeakestSide, 12);
        EXPECT_EQ(worseDesign.result.WeakestSide, 12);
        const auto relative = [](const ChainResult& r) { return FormatRelative(*r.SideRelative.at(static_cast<std::size_t>(r.WeakestSide))); };
        std::printf("[design] %s: weakest side S%d %s, %s; S12 ten times less accurate: S%d %s, %s\n", ClosingName(closing),
                    d.WeakestSide, relative(d).c_str(), GradeVerdictLine(*planned.listing.grade).c_str(),
                    worseDesign.result.WeakestSide, relative(worseDesign.result).c_str(),
                    GradeVerdictLine(*measured.listing.grade).c_str());
        EXPECT_EQ(GradeVerdictLine(*planned.listing.grade), "等级 四等：合格");
        ASSERT_TRUE(measured.listing.grade->FirstFailure()) << GradeVerdictLine(*measured.listing.grade);
        EXPECT_EQ(measured.listing.grade->FirstFailure()->item, GradeItem::WeakestSide);
    }
}
