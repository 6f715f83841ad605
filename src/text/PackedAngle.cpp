#include "text/PackedAngle.h"

#include <charconv>
#include <cmath>
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
