// The adjustment alone: this program links the core library and nothing
// above it (no dialogue, no texts, no platform). Observations in, a result
// or a structured fault, with what was computed before it, out.
#include <gtest/gtest.h>

#include <cmath>

#include "core/AdjustChain.h"
#include "core/ChainPhases.h"
#include "core/ChiSquare.h"
#include "core/Geometry.h"
#include "core/ObservationSigmas.h"

namespace {

// Two triangles on B = (0, 100), A = (0, 0), C = (-86.6025, 150): the
// textbook chain of equilateral triangles of 100 m, no azimuth data.
ChainObservations TwoTriangles(double S5 = 100)
{
    ChainObservations o;
    o.N = 2;
    o.closing = ClosingKind::OnC;
    o.Xb = 0, o.Yb = 100, o.Xc = -86.6025, o.Yc = 150;
    LengthAzimuth ab = AzimuthFromDifferences(0 - 0, 100 - 0, o.constants.RADIANS_PER_DEGREE);
    o.AzimuthAB = ab.alpha;
    // every side with its number, end points (A -1, B 0, stations 1, 2), value and sign
    o.sides = {{},
               {1, -1, 0, ab.S, ab.S, 0, true, {}, {}},
               {2, -1, 1, 100, 100, -1, false, {}, {}},
               {3, 0, 1, 100, 100, 0, false, {}, {}},
               {4, 0, 2, 100, 100, +1, false, {}, {}},
               {5, 1, 2, S5, S5, 0, false, {}, {}}};
    o.UnknownPointCount = 1;
    return o;
}

TEST(AdjustChain, ACompleteResultHoldsEveryShownFigure)
{
    ChainOutcome out = AdjustChain(TwoTriangles());
    ASSERT_FALSE(out.fault);
    const ChainResult& r = out.result;
    EXPECT_TRUE(r.withoutAngleCondition);
    EXPECT_FALSE(r.wbSeconds);
    ASSERT_TRUE(r.wxMillimetres && r.wyMillimetres && r.InvPx && r.InvPy && r.ms && r.mx && r.my && r.md);
    EXPECT_EQ(*r.wxMillimetres, r.Misclosures[2] * 1000.0f);  // the product in single precision
    EXPECT_EQ(r.ResultPointCount, 2);
    // the adjusted chain lands on the known C, and the corrections remove the misclosures
    EXPECT_NEAR(r.PointX[2], -86.6025, 1e-6);
    EXPECT_NEAR(r.PointY[2], 150, 1e-6);
    double vv = 0;
    for (int k = 2; k <= 5; ++k) vv += r.Corrections[k] * r.Corrections[k];
    EXPECT_DOUBLE_EQ(vv, r.SumSquaredCorrections);
    EXPECT_FLOAT_EQ(*r.ms, static_cast<float>(std::sqrt(vv / 2) * 1000));
}

TEST(AdjustChain, AnImpossibleTriangleIsNamedWithItsObservedSides)
{
    ChainOutcome out = AdjustChain(TwoTriangles(250));
    ASSERT_TRUE(out.fault);
    EXPECT_EQ(out.fault->kind, ChainFaultKind::NotATriangle);
    EXPECT_EQ(out.fault->triangle, 2);
    EXPECT_EQ(out.fault->sides, (std::array<double, 3>{100, 100, 250}));
    EXPECT_FALSE(out.fault->adjustedSides);
    EXPECT_FALSE(out.result.wxMillimetres);  // nothing was shown before it
}

TEST(AdjustChain, AFaultAfterThePrecisionKeepsWhatCameBefore)
{
    // 30 m of misclosure on sides of 100 m: the single step (the iteration
    // limit as a seam) misses C, and the closure check stops it
    ChainObservations o = TwoTriangles(130);
    o.constants.ITERATION_LIMIT = 1;
    ChainOutcome out = AdjustChain(o);
    ASSERT_TRUE(out.fault);
    EXPECT_EQ(out.fault->kind, ChainFaultKind::ClosureMissed);
    EXPECT_GT(out.fault->miss, 0.001);
    EXPECT_GE(out.fault->triangle, 1);
    const ChainResult& r = out.result;
    EXPECT_TRUE(r.wxMillimetres && r.wyMillimetres && r.InvPx && r.InvPy && r.ms && r.mx && r.my && r.md);
}

TEST(AdjustChain, TheConstantsAreASeam)
{
    ChainObservations o = TwoTriangles(100.002);
    ChainOutcome shortened = AdjustChain(o);
    o.constants.PI_VALUE = std::acos(-1.0);
    o.constants.RADIANS_PER_DEGREE = o.constants.PI_VALUE / 180;
    ChainOutcome full = AdjustChain(o);
    ASSERT_FALSE(shortened.fault);
    ASSERT_FALSE(full.fault);
    EXPECT_NE(shortened.result.PointX[1], full.result.PointX[1]);
    EXPECT_NEAR(shortened.result.PointX[1], full.result.PointX[1], 1e-6);
}

// Consistent sides need no second linearisation: the single step stands and
// every point's precision comes with it; B and C are known.
TEST(AdjustChain, ConsistentSidesSettleInOneStep)
{
    ChainObservations o = TwoTriangles();
    o.Xc = -50 * std::sqrt(3.0);  // the exact C of the equilateral triangles
    ChainOutcome out = AdjustChain(o);
    ASSERT_FALSE(out.fault);
    const ChainResult& r = out.result;
    EXPECT_EQ(r.Iterations, 1);
    ASSERT_EQ(r.PointPrecisions.size(), 3u);
    EXPECT_TRUE(r.PointPrecisions[0].known);
    EXPECT_FALSE(r.PointPrecisions[1].known);
    EXPECT_TRUE(r.PointPrecisions[2].known);
    EXPECT_EQ(r.ConditionCount, 2);
    EXPECT_NEAR(r.SumRedundancy, 2, 1e-12);
    EXPECT_FALSE(r.globalTest);  // no a-priori standard error, no test
    for (const auto& w : r.Normalised) EXPECT_FALSE(w);
}

// Two millimetres of error on 100 m sides: the single step leaves a change of
// the corrections the second linearisation sees; the iterated solution closes
// C to far below the single step's miss, and the window's 1/px, 1/py are the
// weakest point's cofactors of the last linearisation.
TEST(AdjustChain, NoisySidesAreIterated)
{
    ChainObservations o = TwoTriangles(100.2);
    ChainOutcome out = AdjustChain(o);
    ASSERT_FALSE(out.fault);
    const ChainResult& r = out.result;
    EXPECT_GE(r.Iterations, 2);
    EXPECT_NEAR(r.PointX[2], -86.6025, 1e-7);
    EXPECT_NEAR(r.PointY[2], 150, 1e-7);
    const PointPrecision& weakest = r.PointPrecisions[1];
    EXPECT_NEAR(weakest.Qxx, *r.InvPx, 1e-12);
    EXPECT_NEAR(weakest.Qyy, *r.InvPy, 1e-12);
    EXPECT_FLOAT_EQ(static_cast<float>(weakest.mx), *r.mx);
    EXPECT_NEAR(weakest.mp, std::hypot(weakest.mx, weakest.my), 1e-12);
    // the corrections are the total ones: the adjusted sides are observed + v
    for (int k = 2; k <= 5; ++k) EXPECT_EQ(r.SideLengths[k], o.sides[k].used + r.Corrections[k]);

    o.constants.ITERATION_LIMIT = 1;  // the single step as it stands
    ChainOutcome single = AdjustChain(o);
    EXPECT_EQ(single.result.Iterations, 1);
    EXPECT_NE(single.result.Corrections[2], r.Corrections[2]);
}

// A chain that does not settle within the limit is a named fault with the
// flattest triangle and the last change of a correction.
TEST(AdjustChain, ASolutionThatDoesNotSettleIsAFault)
{
    ChainObservations o = TwoTriangles(130);
    o.constants.ITERATION_LIMIT = 2;
    ChainOutcome out = AdjustChain(o);
    ASSERT_TRUE(out.fault);
    EXPECT_EQ(out.fault->kind, ChainFaultKind::NotConverged);
    EXPECT_EQ(out.fault->iterations, 2);
    EXPECT_GT(out.fault->change, 1e-5);
    EXPECT_GE(out.fault->triangle, 1);
    EXPECT_TRUE(out.result.wxMillimetres);  // the misclosures of the observations were shown
}

// The standard error ellipse, worked by hand (ms = 2 mm).
TEST(ErrorEllipse, HandWorkedCases)
{
    ErrorEllipse circle = EllipseOf(1, 1, 0, 2);
    EXPECT_DOUBLE_EQ(circle.E, 2);
    EXPECT_DOUBLE_EQ(circle.F, 2);
    EXPECT_EQ(circle.phi, 0);

    ErrorEllipse north = EllipseOf(4, 1, 0, 2);  // long along X
    EXPECT_DOUBLE_EQ(north.E, 4);
    EXPECT_DOUBLE_EQ(north.F, 2);
    EXPECT_EQ(north.phi, 0);

    ErrorEllipse east = EllipseOf(1, 4, 0, 2);  // long along Y: azimuth 90
    EXPECT_DOUBLE_EQ(east.E, 4);
    EXPECT_DOUBLE_EQ(east.F, 2);
    EXPECT_DOUBLE_EQ(east.phi, 90);

    // Qxx = Qyy = 2.5, Qxy = 1.5: eigenvalues 4 along 45 deg and 1 along 135 deg
    ErrorEllipse diagonal = EllipseOf(2.5, 2.5, 1.5, 2);
    EXPECT_NEAR(diagonal.E, 4, 1e-14);
    EXPECT_NEAR(diagonal.F, 2, 1e-14);
    EXPECT_NEAR(diagonal.phi, 45, 1e-12);
    EXPECT_NEAR(EllipseOf(2.5, 2.5, -1.5, 2).phi, 135, 1e-12);

    ErrorEllipse fixed = EllipseOf(0, 0, 0, 2);  // a known point
    EXPECT_EQ(fixed.E + fixed.F + fixed.phi, 0);
}

// The 95 % points of chi-square for the two and three conditions a chain can
// have, and the distribution itself at known values.
TEST(ChiSquare, QuantilesOfTheConditionCounts)
{
    EXPECT_NEAR(ChiSquareQuantile(0.95, 2), 5.991464547, 1e-8);
    EXPECT_NEAR(ChiSquareQuantile(0.95, 3), 7.814727903, 1e-8);
    EXPECT_NEAR(ChiSquareQuantile(0.95, 1), 3.841458821, 1e-8);
    EXPECT_NEAR(ChiSquareProbability(2, 2), 1 - std::exp(-1.0), 1e-15);
    EXPECT_NEAR(ChiSquareProbability(1, 1), 0.682689492, 1e-9);
    EXPECT_EQ(ChiSquareProbability(0, 3), 0);
}

// The tests with an a-priori standard error: w = v / (sigma0 sqrt(r)).
TEST(AdjustChain, NormalisedCorrectionsWithSigma0)
{
    ChainObservations o = TwoTriangles(100.004);
    o.sigma0Mm = 2;
    ChainOutcome out = AdjustChain(o);
    ASSERT_FALSE(out.fault);
    const ChainResult& r = out.result;
    ASSERT_TRUE(r.globalTest);
    EXPECT_EQ(r.globalTest->dof, 2);
    EXPECT_NEAR(r.globalTest->statistic, r.SumWeightedSquares / 4e-6, 1e-9);
    for (int k = 2; k <= 5; ++k) {
        if (r.Redundancy[k] < 0.01) {
            EXPECT_FALSE(r.Normalised[k]);
            continue;
        }
        ASSERT_TRUE(r.Normalised[k]);
        EXPECT_NEAR(*r.Normalised[k], r.Corrections[k] / (0.002 * std::sqrt(r.Redundancy[k])), 1e-12);
    }
}

}  // namespace

namespace {

// The sides of TwoTriangles were written by hand from the sketch of the chain.
TEST(ChainObservations, SetSidesNamesEverySideAsTheSketchDoes)
{
    const ChainObservations hand = TwoTriangles();
    ChainObservations built;
    built.N = 2;
    built.closing = ClosingKind::OnC;
    SetSides(built, {0, hand.sides[1].measured, 100, 100, 100, 100}, {0, -1, +1, 0});
    ASSERT_EQ(built.sides.size(), hand.sides.size());
    for (std::size_t k = 1; k < hand.sides.size(); ++k) {
        SCOPED_TRACE("side " + std::to_string(k));
        EXPECT_EQ(built.sides[k].k, hand.sides[k].k);
        EXPECT_EQ(built.sides[k].from, hand.sides[k].from);
        EXPECT_EQ(built.sides[k].to, hand.sides[k].to);
        EXPECT_EQ(built.sides[k].routeSign, hand.sides[k].routeSign);
        EXPECT_EQ(built.sides[k].fromCoordinates, hand.sides[k].fromCoordinates);
    }
}

TEST(ChainObservations, TheClosingIsNamedByOneRule)
{
    struct Case {
        const char* why;
        double Xd, Yd, azimuthDeg, orientationDeg;
        ClosingKind expected;
    };
    const Case cases[] = {
        {"D given", 10, 20, 0, 0, ClosingKind::OnCWithD},
        {"no D, an external azimuth and an angle", 0, 0, 120.5, -30.25, ClosingKind::OnCWithAzimuth},
        {"no D, an external azimuth alone", 0, 0, 120.5, 0, ClosingKind::OnCWithAzimuth},
        {"no D, no angles: C alone", 0, 0, 0, 0, ClosingKind::OnC},
        {"D on an axis is no D", 10, 0, 0, 0, ClosingKind::OnC},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClosingKindOf(c.Xd, c.Yd, c.azimuthDeg, c.orientationDeg), c.expected) << c.why;
}

}  // namespace

// Where the sign finder's standard errors come from: the distance meter's
// a + b D (a side's own where given), else a side's own, else the chain's
// sigma0, else 2 mm + 2 ppm; the sides from the coordinates none.
TEST(AdjustChain, TheStandardErrorsTheMisclosureTestWeighsWith)
{
    ChainObservations o = TwoTriangles();
    o.sides[3].used = o.sides[3].measured = 3000;
    o.sides[4].sigmaMm = 1.5;
    struct Row {
        const char* why;
        std::optional<double> sigma0Mm;
        std::optional<DistanceAccuracy> edm;
        std::array<double, 6> metres;  // sides 0..5
    };
    const Row rows[] = {
        {"2 mm + 2 ppm", std::nullopt, std::nullopt, {0, 0, 0.0022, 0.008, 0.0015, 0.0022}},
        {"sigma0 of the chain", 3.0, std::nullopt, {0, 0, 0.003, 0.003, 0.0015, 0.003}},
        {"3 mm + 5 ppm of the distance meter", std::nullopt, DistanceAccuracy{3, 5}, {0, 0, 0.0035, 0.018, 0.0015, 0.0035}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        o.sigma0Mm = row.sigma0Mm;
        o.edm = row.edm;
        const ObservationSigmas s = SigmasOf(o);
        for (std::size_t k = 0; k < 6; ++k) EXPECT_NEAR(s.sideMetres[k], row.metres[k], 1e-15) << "side " << k;
        EXPECT_EQ(s.orientationSeconds, 0);
    }
    o.orientation = OrientationObservation{12.5, 1.2};
    EXPECT_EQ(SigmasOf(o).orientationSeconds, 1.2);  // its own, with the distance meter's accuracy
    o.edm.reset();
    EXPECT_EQ(SigmasOf(o).orientationSeconds, 2.0);
}
