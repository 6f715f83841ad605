#pragma once
// Number display of the fields and the report: the value rounded to the shown
// decimals (nearest, ties to even, on the exact binary value) and written with
// exactly that many decimals, at least one integer digit, "-" for negatives,
// "." as decimal point, no grouping. A value that shows as zero has no sign.
#include <string>

std::string FormatFixed(double value, int decimals);

// Plain decimal integer, for side numbers and counts inside texts.
std::string FormatInteger(long value);

// Shortest decimal that reads back as the same double, never in exponent form
// (1e-05 is written 0.00001). Locale independent.
std::string ShortestDecimal(double value);

// A relative error m/S written as 1/T, T = S/m rounded to the nearest 100
// (to the nearest whole number below 1000): 1/85000. "0" for no error (below
// 1e-10: a side between known points).
std::string FormatRelative(double relative);
