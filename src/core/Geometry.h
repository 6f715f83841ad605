#pragma once
// Plane geometry of the chain. Angles in decimal degrees; radians only inside,
// through RADIANS_PER_DEGREE (formed from the shortened pi 3.1415926535).

struct LengthAzimuth {
    double S;      // length [m]
    double alpha;  // azimuth [deg], clockwise from +X, 0 <= alpha < 360 up to the
                   // few billionths of a degree the shortened pi leaves
};

// Length and azimuth of the vector (dX, dY) [m]. The arcsine of dY/S is taken
// as arctan(r / sqrt(1 - r^2)); where that quotient has no value (dY so much
// larger than dX that S equals |dY|) the azimuth is its limit, 90 or 270.
LengthAzimuth AzimuthFromDifferences(double dX, double dY, double radiansPerDegree);

// Brings an azimuth once towards 0..360: subtract 360 if it is 360 or more,
// then add 360 if it is below 0. Each test is made once only.
double ReduceOnce(double azimuth);

// Angle [deg] with the given cosine, 0..180. The sine is the non-negative root
// of 1 - cos^2 and the angle arctan(sin / cos), plus 180 for a negative cosine;
// a cosine of exactly 0 is the limit, 90. The caller makes sure |cosine| <= 1.
double AngleFromCosine(double cosine, double radiansPerDegree);
