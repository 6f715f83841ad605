#pragma once
// Reading a typed answer as a number, independent of the process locale.
// Accepted: optional blanks, optional sign, digits with an optional decimal
// point (".5" and "5." are numbers), optional exponent, optional blanks.
// Full-width digits, point, plus and minus and the ideographic blank, as a
// Chinese input method types them, read as their ASCII counterparts.
// A value too large for a double is not a number; one too small reads as zero.
#include <optional>
#include <string>
#include <string_view>

std::optional<double> ReadNumber(std::string_view answer);

// The answer with full-width digits, signs, point and blanks, and the
// ideographic full stop "。" (a point), turned into ASCII.
std::string NormaliseFullWidth(std::string_view answer);

// True when the answer holds nothing but blanks (or nothing at all).
bool IsBlank(std::string_view answer);

// How many answers this thread has read as numbers so far: a seam for the
// tests that show a value is read once on its way to the adjustment.
long NumbersRead();
