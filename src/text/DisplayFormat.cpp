#include "text/DisplayFormat.h"

#include <charconv>
#include <cmath>

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value)) return "?";  // never reached: the run refuses non-finite values
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string FormatInteger(long value) { return std::to_string(value); }

std::string ShortestDecimal(double value)
{
    if (!std::isfinite(value)) return "?";
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string FormatRelative(double relative)
{
    if (!(relative > 1e-10)) return "0";  // a side the known points fix
    const double T = 1 / relative;
    const double rounded = T < 1000 ? std::round(T) : std::round(T / 100) * 100;
    return "1/" + FormatFixed(rounded, 0);
}
