#include <gtest/gtest.h>

#include "text/DisplayFormat.h"

TEST(DisplayFormat, RoundsTheExactBinaryValueTiesToEven)
{
    EXPECT_EQ(FormatFixed(0.125, 2), "0.12");  // exact tie: to even
    EXPECT_EQ(FormatFixed(0.375, 2), "0.38");
    EXPECT_EQ(FormatFixed(2.5, 0), "2");
    EXPECT_EQ(FormatFixed(1234.56785, 3), "1234.568");
    EXPECT_EQ(FormatFixed(0.0123456f * 1000.0f, 2), "12.35");
    EXPECT_EQ(FormatFixed(1.005, 2), "1.00");  // 1.005 is a little below in binary
}

TEST(DisplayFormat, PatternsAndSigns)
{
    EXPECT_EQ(FormatFixed(0, 3), "0.000");
    EXPECT_EQ(FormatFixed(0.5, 4), "0.5000");
    EXPECT_EQ(FormatFixed(-245.3, 4), "-245.3000");
    EXPECT_EQ(FormatFixed(-3, 2), "-3.00");
    EXPECT_EQ(FormatFixed(3456789.1234, 3), "3456789.123");  // no grouping
    EXPECT_EQ(FormatFixed(123.453, 5), "123.45300");
}

TEST(DisplayFormat, ZeroShowsWithoutMinus)
{
    EXPECT_EQ(FormatFixed(-0.0, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.001, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.004999, 2), "0.00");
    EXPECT_EQ(FormatFixed(-0.005001, 2), "-0.01");
}

TEST(DisplayFormat, ShortestDecimal)
{
    EXPECT_EQ(ShortestDecimal(0.29), "0.29");
    EXPECT_EQ(ShortestDecimal(0.00001), "0.00001");
    EXPECT_EQ(ShortestDecimal(123.4530), "123.453");
    EXPECT_EQ(ShortestDecimal(100), "100");
}
