#pragma once
// One Gauss-Krueger zone (the transverse Mercator projection with scale 1 on
// the central meridian) of one ellipsoid, and the figures of the ellipsoid the
// reduction of a side needs. GeographicLib does the projection and the radii;
// its headers stay inside this floor's .cpp files.
//
// Glossary (units in brackets):
//   X, Y     grid coordinates [m], X northing, Y easting with the false easting
//   y        Y - E0, the distance east of the central meridian [m]
//   B, L     geodetic latitude and longitude [deg]
//   gamma    meridian convergence: the bearing of grid north clockwise from
//            true north [deg]; a grid azimuth is the true azimuth - gamma
//   k        point scale factor of the projection [-]
//   M, N     radii of curvature in the meridian and the prime vertical [m]
//   R_A      radius of curvature of the normal section in azimuth A [m]
#include <memory>

#include "reduction/ReductionParameters.h"

struct PlanePoint {
    double X = 0, Y = 0;  // [m]
};

struct GeographicPosition {
    double B = 0, L = 0;  // [deg]
    double gamma = 0;     // [deg]
    double k = 1;         // [-]
};

class GaussKrugerZone {
public:
    GaussKrugerZone(EllipsoidName ellipsoid, double centralMeridianDeg, double falseEastingM);
    ~GaussKrugerZone();
    GaussKrugerZone(const GaussKrugerZone&) = delete;
    GaussKrugerZone& operator=(const GaussKrugerZone&) = delete;

    double East(PlanePoint p) const { return p.Y - E0_; }  // y [m]
    GeographicPosition Geographic(PlanePoint p) const;
    PlanePoint Grid(double Bdeg, double Ldeg) const;
    // k at a point, and the line scale factor of a short straight line on the
    // plane by Simpson's rule: (k1 + 4 k_m + k2) / 6 over its ends and middle.
    double PointScale(PlanePoint p) const;
    double LineScale(PlanePoint a, PlanePoint b) const;
    // R_A at latitude B in geodetic azimuth A; sqrt(M N) at latitude B [m].
    double RadiusInAzimuth(double Bdeg, double Adeg) const;
    double MeanRadius(double Bdeg) const;
    // The direction correction of the line from `from` to `to` at `from`
    // [arc s]: the grid azimuth of the straight line less that of the image of
    // the geodesic, -rho/(6 R^2) (X2 - X1)(2 y1 + y2) with R = sqrt(M N) at
    // the mean latitude.
    double DirectionCorrectionArcSec(PlanePoint from, PlanePoint to) const;
    double CentralMeridianDeg() const { return L0_; }

private:
    struct Geographiclib;
    std::unique_ptr<Geographiclib> g_;
    double L0_ = 0, E0_ = 0;
};

// Seconds of arc per radian, in full precision (the adjustment's own RHO is
// the shortened 206265).
inline constexpr double ARC_SECONDS_PER_RADIAN = 648000.0 / 3.14159265358979323846;
