#include "text/PackedAngle.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "text/DisplayFormat.h"

std::optional<double> PackedToDegrees(double v)
{
    if (v < 0) {
        std::optional<double> positive = PackedToDegrees(-v);
        if (!positive) return std::nullopt;
        return -*positive;
    }
    std::string digits = ShortestDecimal(v);
    std::size_t point = digits.find('.');
    std::string fraction = point == std::string::npos ? std::string() : digits.substr(point + 1);
    while (fraction.size() < 4) fraction.push_back('0');
    double d = std::trunc(v);
    int minutes = (fraction[0] - '0') * 10 + (fraction[1] - '0');
    // seconds: two integer digits, the rest their decimals
    std::string secondsText = fraction.substr(2, 2) + "." + fraction.substr(4) + "0";
    double seconds = 0;
    std::from_chars(secondsText.data(), secondsText.data() + secondsText.size(), seconds);
    if (minutes >= 60 || seconds >= 60) return std::nullopt;
    return (d + minutes / 60.0) + seconds / 3600.0;
}

std::string DegreesToPacked(double degrees)
{
    const long long hundredths = std::llround(std::fabs(degrees) * 360000.0);
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld.%02lld%04lld", degrees < 0 && hundredths > 0 ? "-" : "", hundredths / 360000,
                  hundredths / 6000 % 60, hundredths % 6000);
    return text;
}

std::string DegreesToDashedDms(double degrees)
{
    constexpr long long UNITS_PER_SECOND = 1000000;  // microseconds of arc
    constexpr long long FULL_CIRCLE = 360LL * 3600 * UNITS_PER_SECOND;
    long long units = std::llround(degrees * 3600.0 * static_cast<double>(UNITS_PER_SECOND)) % FULL_CIRCLE;
    if (units < 0) units += FULL_CIRCLE;
    const long long d = units / (3600 * UNITS_PER_SECOND);
    const long long m = units / (60 * UNITS_PER_SECOND) % 60;
    const long long sec = units % (60 * UNITS_PER_SECOND);
    char text[64];
    std::snprintf(text, sizeof text, "%lld-%02lld-%02lld.%06lld", d, m, sec / UNITS_PER_SECOND, sec % UNITS_PER_SECOND);
    return text;
}
