// The adjustment alone: this program links the core library and nothing
// above it (no dialogue, no texts, no platform). Observations in, a result
// or a structured fault, with what was computed before it, out.
#include <gtest/gtest.h>

#include <cmath>

#include "core/AdjustChain.h"
#include "core/Geometry.h"

namespace {

// Two triangles on B = (0, 100), A = (0, 0), C = (-86.6025, 150): the
// textbook chain of equilateral triangles of 100 m, no azimuth data.
ChainObservations TwoTriangles(double S5 = 100)
{
    ChainObservations o;
    o.N = 2;
    o.Xb = 0, o.Yb = 100, o.Xc = -86.6025, o.Yc = 150;
    LengthAzimuth ab = AzimuthFromDifferences(0 - 0, 100 - 0, o.constants.RADIANS_PER_DEGREE);
    o.AzimuthAB = ab.alpha;
    o.SideLengths = {0, ab.S, 100, 100, 100, S5};
    o.RouteSigns = {0, -1, +1, 0};
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

}  // namespace
