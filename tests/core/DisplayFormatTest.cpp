#include <gtest/gtest.h>

#include "display/CoordinateDisplay.h"
#include "display/ResultDisplay.h"
#include "rules/FormFields.h"
#include "run/ScriptedPlatform.h"
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

TEST(DisplayFormat, RelativeErrorAsOneOverT)
{
    EXPECT_EQ(FormatRelative(4.0 / 1000 / 340.0), "1/85000");      // 4 mm on 340 m: T = 85000
    EXPECT_EQ(FormatRelative(2.3 / 1000 / 1999.99), "1/869600");   // T = 869561 to the nearest 100
    EXPECT_EQ(FormatRelative(0.05 / 25.0), "1/500");               // below 1000: whole
    EXPECT_EQ(FormatRelative(1.0 / 40049), "1/40000");             // T = 40049 to the nearest 100
    EXPECT_EQ(FormatRelative(0), "0");
    EXPECT_EQ(FormatRelative(4e-14), "0");                         // a side between known points
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

// A figure too long for its field shows "超限", the figure whole in the tip;
// one that just fits shows as it is. Field widths in half-width columns: the
// misclosures 15, ms 12, the other figures 14 (a Chinese character two).
struct FieldFigure {
    const char* why;
    int field;
    float value;
    const char* text;  // what the field shows
    const char* tip;
};

TEST(DisplayFormat, AFigureBeyondItsFieldShowsBeyondAndItsTipTheFigure)
{
    const FieldFigure rows[] = {
        {"wx of ten kilometres", field::wx, -10336861.0f, "超限", "-10336861.00 毫米"},
        {"wx just fits", field::wx, -99999.99f, " -99999.99 毫米", " -99999.99 毫米"},
        {"wx one digit more", field::wx, -100000.0f, "超限", "-100000.00 毫米"},
        {"wb just fits", field::wb, 12345678.0f, " 12345678.00 秒", " 12345678.00 秒"},
        {"wb one digit more", field::wb, 123456792.0f, "超限", "123456792.00 秒"},
        {"ms just fits", field::ms, 9999.99f, "9999.99 毫米", "9999.99 毫米"},
        {"ms one digit more", field::ms, 10000.0f, "超限", "10000.00 毫米"},
        {"md one digit more", field::md, 10000.0f, "超限", "10000.00 毫米"},
        {"my just fits", field::my, 9999.99f, "  9999.99 毫米", "  9999.99 毫米"},
    };
    for (const FieldFigure& row : rows) {
        SCOPED_TRACE(row.why);
        ChainResult r;
        switch (row.field) {
        case field::wb: r.wbSeconds = row.value; break;
        case field::wx: r.wxMillimetres = row.value; break;
        case field::ms: r.ms = row.value; break;
        case field::my: r.my = row.value; break;
        case field::md: r.md = row.value; break;
        }
        ScriptedPlatform p({});
        ShowResult(r, p);
        EXPECT_EQ(p.Field(row.field), row.text);
        EXPECT_EQ(p.Tip(row.field), row.tip);
    }
    // an adjusted coordinate of the grid fits; one of a runaway chain does not
    ChainResult r;
    r.PointX = {3456789.1234, -1234567890.5};
    r.PointY = {-12345678.123, 500000};
    r.ResultPointCount = 1;
    ScriptedPlatform p({});
    ShowAdjustedCoordinates(r, {"B", "P1"}, p, false);
    EXPECT_EQ(p.Field(field::PointX), "超限");
    EXPECT_EQ(p.Tip(field::PointX), "-1234567890.500");
    EXPECT_NE(p.Transcript().find("TEXT\tText18\t3456789.123\n"), std::string::npos);
    EXPECT_NE(p.Transcript().find("TEXT\tText19\t-12345678.123\n"), std::string::npos);
}
