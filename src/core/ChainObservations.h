#pragma once
// What one adjustment of the chain reads: the known points, how the chain
// closes, and the observations, each naming its kind (a side, the orientation
// angle at C) with its value as measured and as the adjustment uses it.
//
// Glossary (units in brackets):
//   N        number of triangles; sides 1..2N+1, triangles 1..N, route stations
//            0..N (0 = B)
//   Xa Ya .. Xd Yd   known points A, B, C, D [m], X northing, Y easting; D only
//            where the chain closes on C with D
//   closing  how the chain closes, decided once where the values are gathered:
//            on C alone (the X and Y conditions), on C with D (the azimuth C->D
//            closes as well), on C with an external azimuth Tb and the
//            orientation angle Qb at C
//   AzimuthAB        azimuth A->B [deg]
//   ClosingAzimuth   azimuth C->D, or the external azimuth at C [deg]; 0 on C alone
//   sides    element k side k, 1..2N+1 (element 0 unused): side 1 = A-B and, with
//            D, side 2N+1 = C-D from the coordinates; the others measured
//   orientation      the orientation angle at C [deg], signed: from the last
//            route side clockwise to the outward direction
//   UnknownPointCount  K, the unknown points between B and C
//   sigma0Mm         optional a-priori standard error of one side [mm], the
//            same for every side (equal weights)
//   edm      optional nominal accuracy of the distance meter: sigma_k = a + b D_k
//            [mm], D_k side k in km; with it every side is weighted by its own
//            sigma (or the one given for it, sigmaMm) and the orientation angle
//            by its own (sigmaSec)
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

enum class ClosingKind {
    OnC,             // two conditions: X and Y of C
    OnCWithD,        // three: C, and the azimuth C->D
    OnCWithAzimuth,  // three: C, and the external azimuth through the orientation angle
};

// The one rule that names the closing from the values as typed: D given when
// both its coordinates are non-zero; else azimuth data when either angle is
// non-zero [deg]; else C alone.
ClosingKind ClosingKindOf(double Xd, double Yd, double azimuthDeg, double orientationDeg);

// A side reduced from the ground to the Gauss plane (the reduction floor makes
// it; a plane chain has none): the lengths of each stage [m] and the line
// scale factor of the projection [-].
struct SideReduction {
    double measured = 0;    // as measured, without its sign [m]
    double horizontal = 0;  // between the marks, after the instrument constants [m]
    double surface = 0;     // the arc on the projection surface [m]
    double plane = 0;       // on the Gauss plane: what the adjustment uses [m]
    double scale = 1;       // plane / surface [-]
};

// One measured (or, for A-B and C-D, computed) side.
struct SideObservation {
    int k = 0;                      // side number 1..2N+1
    int from = 0, to = 0;           // its end points as ChainTopology numbers them
    double measured = 0;            // [m] as measured; an even side without its sign
    double used = 0;                // [m] as the adjustment uses it (the measured value)
    int routeSign = 0;              // even sides: +1 left of the azimuth route, -1 right; else 0
    bool fromCoordinates = false;   // A-B, and C-D with D: fixed, not adjusted
    std::optional<double> sigmaMm;  // its own standard error [mm], where given
    std::optional<SideReduction> reduction;  // where the side was measured on the ground
};

struct OrientationObservation {
    double angleDeg = 0;             // [deg], signed, as the adjustment uses it
    std::optional<double> sigmaSec;  // its standard error [arc s]; needed with edm
    // The direction correction of the last route side taken off the angle as
    // measured on the ground [arc s]; 0 on a plane chain.
    double reductionArcSec = 0;
};

// The nominal accuracy of a distance meter, +-(a + b D): the standard error of
// a side of D km is a + b D [mm].
struct DistanceAccuracy {
    double aMm = 0;   // constant part a [mm], >= 0
    double bPpm = 0;  // part proportional to the side b [mm/km], >= 0; a + b > 0
};

struct ChainObservations {
    ChainConstants constants;
    int N = 0;
    ClosingKind closing = ClosingKind::OnC;
    double Xa = 0, Ya = 0, Xb = 0, Yb = 0, Xc = 0, Yc = 0, Xd = 0, Yd = 0;
    double AzimuthAB = 0;
    double ClosingAzimuth = 0;
    std::optional<OrientationObservation> orientation;  // on C with an external azimuth
    std::vector<SideObservation> sides;
    int UnknownPointCount = 0;
    // A-priori standard error of one side [mm], where the surveyor gives one:
    // the normalised corrections and the global test rest on it.
    std::optional<double> sigma0Mm;
    // The distance meter's accuracy: every side weighted by its own standard
    // error (this takes the place of sigma0Mm).
    std::optional<DistanceAccuracy> edm;
    // A design (DesignChain): the standard errors from mu0 (sigma0Mm, or a + b)
    // in place of the a-posteriori ms.
    bool design = false;
};

// The standard error of side s under the accuracy a + b D [mm]: its own where
// it has one, else a + b times its measured length in km.
double SideSigmaMm(const DistanceAccuracy& edm, const SideObservation& s);

// The a-priori standard error of unit weight mu0 under that accuracy: that of
// a side of 1 km, a + b [mm].
inline double UnitWeightSigmaMm(const DistanceAccuracy& edm) { return edm.aMm + edm.bPpm; }

// The sides of o from the tables the input gathers: S 0..2N+1 [m] (even sides
// without their sign, S1 and with D S(2N+1) from the coordinates) and the
// route signs 1..N; each side with its number, its end points and its sign.
// o.N and o.closing must be set.
void SetSides(ChainObservations& o, const std::vector<double>& S, const std::vector<int>& routeSigns);

// The route signs 0..N+1 the sides and the orientation angle carry: element k
// the sign of side 2k, element N+1 the sign of the orientation angle.
std::vector<int> RouteSignsOf(const ChainObservations& o);

// The weakest station M: N/2, or (N+1)/2 when N is odd.
int HalfCount(int N);
