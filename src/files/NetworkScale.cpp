#include "files/NetworkScale.h"

#include <algorithm>
#include <cmath>

double RoundDown125(double limit)
{
    const double decade = std::pow(10.0, std::floor(std::log10(limit)));
    for (double step : {5.0, 2.0, 1.0})
        if (step * decade <= limit * (1 + 1e-12)) return step * decade;
    return decade;
}

double MedianSide(std::vector<double>& lengths)
{
    if (lengths.empty()) return 0;
    const auto middle = lengths.begin() + static_cast<std::ptrdiff_t>(lengths.size() / 2);
    std::nth_element(lengths.begin(), middle, lengths.end());
    return *middle;
}

double EllipseMagnification(double medianSide, double largestE)
{
    if (!(largestE > 0) || !(medianSide > 0)) return 1;
    return std::max(1.0, RoundDown125(0.5 * medianSide * 1000 / largestE));
}

double EllipseBarMillimetres(double largestE, double roomMm)
{
    return RoundDown125(largestE > 0 ? std::min(roomMm, largestE) : roomMm);
}
