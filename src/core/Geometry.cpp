#include "core/Geometry.h"

#include <cmath>

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
