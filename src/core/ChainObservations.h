#pragma once
// What one adjustment of the chain reads: the known points, the closing
// direction, the measured sides with their route signs.
//
// Glossary (units in brackets):
//   N        number of triangles; sides 1..2N+1, triangles 1..N, route stations
//            0..N (0 = B)
//   Xb Yb, Xc Yc, Xd Yd  known points B, C, D [m], X northing, Y easting; D given
//            as 0, 0 means "no D"
//   AzimuthAB        azimuth A->B [deg]
//   ClosingAzimuth   azimuth C->D, or the external azimuth at C [deg] (0: none)
//   OrientationAngle signed orientation angle at C [deg]: from the last route
//            side clockwise to the outward direction
//   SideLengths      0..2N+1 [m]: side 1 = A-B from the coordinates, 2..2N (and
//            2N+1 without D) as measured, even sides without their sign; with D
//            side 2N+1 = C-D from the coordinates
//   RouteSigns       0..N+1: element k the sign typed with side 2k (-1: the side
//            lies on the right of the azimuth route), element N+1 the sign of the
//            orientation angle
//   UnknownPointCount  K, the unknown points between B and C
//   sigma0Mm         optional a-priori standard error of one side [mm]
// Azimuths are decimal degrees clockwise from +X; a leg of length s and
// azimuth T moves a point by s cos T in X and s sin T in Y.
#include <cstdint>
#include <optional>
#include <vector>

// The program's own constants: a shortened pi, and rho in whole seconds.
struct ChainConstants {
    double PI_VALUE = 3.1415926535;
    std::int32_t RHO_SECONDS = 206265;  // arc seconds per radian
    double RADIANS_PER_DEGREE = PI_VALUE / 180;
    // Linearisations the solution may take before it is a fault; 1: the
    // single step stands as it is.
    int ITERATION_LIMIT = 10;
};

struct ChainObservations {
    ChainConstants constants;
    int N = 0;
    double Xb = 0, Yb = 0, Xc = 0, Yc = 0, Xd = 0, Yd = 0;
    double AzimuthAB = 0;
    double ClosingAzimuth = 0;
    double OrientationAngle = 0;
    std::vector<double> SideLengths;
    std::vector<int> RouteSigns;
    int UnknownPointCount = 0;
    // A-priori standard error of one side [mm], where the surveyor gives one:
    // the normalised corrections and the global test rest on it.
    std::optional<double> sigma0Mm;
};

// Both coordinates of D non-zero.
bool PointDGiven(const ChainObservations& o);
// Both coordinates of D zero.
bool PointDAbsent(const ChainObservations& o);
// Three conditions (azimuth, X, Y) unless D is absent and there is no azimuth data.
bool AzimuthConditionUsed(const ChainObservations& o);
// The weakest station M: N/2, or (N+1)/2 when N is odd.
int HalfCount(int N);
