#include "adjust/Geometry.h"

#include <charconv>
#include <cmath>
#include <string>

#include "ui/DisplayFormat.h"

LengthAzimuth AzimuthFromDifferences(double dX, double dY, double radiansPerDegree)
{
    double S = std::sqrt(dX * dX + dY * dY);
    double alpha;
    if (dX == 0) {
        alpha = dY > 0 ? 90 : 270;
    } else if (dY == 0) {
        alpha = dX < 0 ? 180 : 0;
    } else {
        double r = dY / S;
        double t = std::sqrt(1 - r * r);
        if (t == 0) return {S, dY > 0 ? 90.0 : 270.0};
        alpha = std::atan(r / t) / radiansPerDegree;
        if (dX < 0) alpha = 180 - alpha;
        if (dX > 0 && dY < 0) alpha = alpha + 360;
    }
    return {S, alpha};
}

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

double ReduceOnce(double azimuth)
{
    if (azimuth >= 360) azimuth -= 360;
    if (azimuth < 0) azimuth += 360;
    return azimuth;
}

double AngleFromCosine(double cosine, double radiansPerDegree)
{
    if (cosine == 0) return 90;
    double sine = std::sqrt(1 - cosine * cosine);
    double angle = std::atan(sine / cosine) / radiansPerDegree;
    if (cosine < 0) angle += 180;
    return angle;
}
