// Azimuths from coordinate differences, packed angles, azimuth reduction and
// triangle angles, with the shortened pi of the program.
#include <gtest/gtest.h>

#include "core/Geometry.h"
#include "text/PackedAngle.h"
#include "run/AdjustmentRun.h"
#include "text/DisplayFormat.h"

namespace {

double Rpd()
{
    ProgramState s;
    SetConstants(s);
    return s.run.RADIANS_PER_DEGREE;
}

TEST(Geometry, RadiansPerDegreeIsFormedFromTheShortenedPi)
{
    EXPECT_EQ(Rpd(), 0.017453292519444445);
    EXPECT_EQ(ShortestDecimal(Rpd()), "0.017453292519444445");
}

TEST(Geometry, AzimuthFromDifferencesOnTheAxes)
{
    const double rpd = Rpd();
    auto az = [rpd](double dX, double dY) { return AzimuthFromDifferences(dX, dY, rpd); };
    EXPECT_EQ(az(0, 1000).S, 1000);  // A = (1000, 1000), B = (1000, 2000)
    EXPECT_EQ(az(0, 1000).alpha, 90);
    EXPECT_EQ(az(-1000, 0).alpha, 180);
    EXPECT_EQ(az(1000, 0).alpha, 0);
    EXPECT_EQ(az(0, -1000).alpha, 270);
    EXPECT_EQ(az(0, 0).alpha, 270);
    EXPECT_EQ(az(0, 0).S, 0);
}

TEST(Geometry, AzimuthFromDifferencesCarriesTheShortenedPi)
{
    const double rpd = Rpd();
    LengthAzimuth nw = AzimuthFromDifferences(100, -100, rpd);
    EXPECT_EQ(nw.S, 141.4213562373095);
    EXPECT_EQ(nw.alpha, 314.9999999987138);
    EXPECT_EQ(AzimuthFromDifferences(-100, -100, rpd).alpha, 225.0000000012862);
    EXPECT_EQ(AzimuthFromDifferences(100, 100, rpd).alpha, 45.00000000128619);
    LengthAzimuth pythagoras = AzimuthFromDifferences(3, 4, rpd);
    EXPECT_EQ(pythagoras.S, 5);
    EXPECT_EQ(pythagoras.alpha, 53.13010235567456);
}

TEST(Geometry, AzimuthWhereTheArcsineQuotientHasNoValueIsItsLimit)
{
    // dX so small against dY that S equals |dY|: t = 0
    const double rpd = Rpd();
    EXPECT_EQ(AzimuthFromDifferences(1e-9, 1e6, rpd).alpha, 90);
    EXPECT_EQ(AzimuthFromDifferences(-1e-9, 1e6, rpd).alpha, 90);
    EXPECT_EQ(AzimuthFromDifferences(1e-9, -1e6, rpd).alpha, 270);
    EXPECT_EQ(AzimuthFromDifferences(-1e-9, -1e6, rpd).alpha, 270);
}

TEST(Geometry, PackedToDegreesReadsTheTypedDigits)
{
    EXPECT_EQ(PackedToDegrees(123.4530), 123.75833333333334);
    EXPECT_EQ(PackedToDegrees(30.1530), 30.258333333333333);
    EXPECT_EQ(FormatFixed(*PackedToDegrees(0.29), 10), "0.4833333333");  // 0 deg 29'
    EXPECT_EQ(*PackedToDegrees(0.29), 29 / 60.0);
    EXPECT_EQ(*PackedToDegrees(123.4), 123 + 40 / 60.0);
    EXPECT_EQ(PackedToDegrees(-12.3000), -12.5);
    EXPECT_EQ(PackedToDegrees(0), 0);
    EXPECT_EQ(PackedToDegrees(90), 90);
    EXPECT_NEAR(*PackedToDegrees(123.453015), 123 + 45 / 60.0 + 30.15 / 3600.0, 1e-13);
    EXPECT_NEAR(*PackedToDegrees(0.00001), 0.1 / 3600.0, 1e-18);
}

TEST(Geometry, PackedMinutesOrSecondsOfSixtyAreTypingErrors)
{
    EXPECT_FALSE(PackedToDegrees(12.60).has_value());
    EXPECT_FALSE(PackedToDegrees(12.0060).has_value());
    EXPECT_FALSE(PackedToDegrees(-12.7).has_value());
    EXPECT_TRUE(PackedToDegrees(12.5959999).has_value());
}

TEST(Geometry, ReduceOnceMakesEachTestOnce)
{
    EXPECT_EQ(ReduceOnce(360), 0);
    EXPECT_EQ(ReduceOnce(540), 180);
    EXPECT_EQ(ReduceOnce(-10), 350);
    EXPECT_EQ(ReduceOnce(0), 0);
    EXPECT_EQ(ReduceOnce(720), 360);  // a value of 720 or more stays at 360 or more
    EXPECT_EQ(ReduceOnce(450), 90);
}

TEST(Geometry, AngleFromCosine)
{
    const double rpd = Rpd();
    EXPECT_EQ(AngleFromCosine(0, rpd), 90);  // the limit of arctan(s / c)
    EXPECT_EQ(AngleFromCosine(1, rpd), 0);
    EXPECT_EQ(AngleFromCosine(-1, rpd), 180);
    EXPECT_GT(AngleFromCosine(0.5, rpd), 60);  // the shortened pi: slightly above
    EXPECT_LT(AngleFromCosine(0.5, rpd), 60 + 1e-8);
    EXPECT_GT(AngleFromCosine(-0.5, rpd), 119.99999999);
}

}  // namespace
