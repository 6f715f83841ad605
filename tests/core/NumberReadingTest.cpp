// Reading typed answers as numbers: rows of answer and expected value.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "text/NumberReading.h"

namespace {

struct Row {
    const char* answer;
    bool isNumber;
    double value;
};

const Row kRows[] = {
    {"0", true, 0},
    {"1234.5678", true, 1234.5678},
    {"  -245.3  ", true, -245.3},
    {"+12", true, 12},
    {".5", true, 0.5},
    {"5.", true, 5},
    {"1e3", true, 1000},
    {"1.5E-2", true, 0.015},
    {"\t7\t", true, 7},
    {"-0", true, 0},
    {"000", true, 0},
    {"1e-400", true, 0},  // too small for a double: zero
    {"\xEF\xBC\x91\xEF\xBC\x92\xEF\xBC\x8E\xEF\xBC\x95", true, 12.5},  // full-width "12.5"
    {"\xEF\xBC\x8D\xEF\xBC\x93", true, -3},                          // full-width "-3"
    {"\xE3\x80\x80" "42" "\xE3\x80\x80", true, 42},                  // ideographic blanks
    {"3456007\xE3\x80\x82" "043", true, 3456007.043},                  // "。" of a Chinese input method
    {"\xEF\xBC\x95\xE3\x80\x82\xEF\xBC\x95", true, 5.5},            // full-width "5。5"
    {"1\xE3\x80\x82" "2\xE3\x80\x82" "3", false, 0},                   // "1。2。3"
    {"", false, 0},
    {"   ", false, 0},
    {"abc", false, 0},
    {"1,5", false, 0},
    {"1e400", false, 0},
    {"-1e400", false, 0},
    {"nan", false, 0},
    {"inf", false, 0},
    {"--1", false, 0},
    {"-", false, 0},
    {"+", false, 0},
    {".", false, 0},
    {"1e", false, 0},
    {"1e+", false, 0},
    {"12 34", false, 0},
    {"0x10", false, 0},
    {"1.2.3", false, 0},
    {"\xFF\xFE", false, 0},
};

TEST(NumberReading, RowsOfAnswers)
{
    for (const Row& row : kRows) {
        std::optional<double> value = ReadNumber(row.answer);
        ASSERT_EQ(value.has_value(), row.isNumber) << "answer: [" << row.answer << "]";
        if (row.isNumber) {
            EXPECT_EQ(*value, row.value) << "answer: [" << row.answer << "]";
        }
    }
}

TEST(NumberReading, LongAnswers)
{
    std::string digits(10000, '7');
    EXPECT_FALSE(ReadNumber(digits).has_value());  // 7.7e9999 overflows
    std::string small = "0." + std::string(9990, '0') + "1";
    EXPECT_EQ(ReadNumber(small), std::optional<double>(0.0));
    std::string letters(10000, 'x');
    ASSERT_FALSE(ReadNumber(letters).has_value());
}

TEST(NumberReading, DoesNotDependOnTheLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(ReadNumber("1.25"), 1.25);
    EXPECT_FALSE(ReadNumber("1,25").has_value());
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(NumberReading, BlankAnswers)
{
    EXPECT_TRUE(IsBlank(""));
    EXPECT_TRUE(IsBlank("  \t"));
    EXPECT_TRUE(IsBlank("\xE3\x80\x80"));
    EXPECT_FALSE(IsBlank(" 0 "));
}

}  // namespace
