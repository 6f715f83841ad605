#pragma once
// The last completed run as lists of named points and sides: what the exports
// and the batch command write.
#include <optional>
#include <string>
#include <vector>

#include "core/ChainObservations.h"
#include "state/GradeLimits.h"

struct ListedPoint {
    std::string name;  // as typed; A and D, which are never named, get "A", "D"
    double X = 0, Y = 0;  // [m] X northing, Y easting
    bool known = false;   // A, B, C, D
    // The point's precision where the run handed it on (zeros for B and C):
    // mx, my, mp and the error ellipse E, F [mm] with the azimuth phi of E [deg].
    bool hasPrecision = false;
    double mx = 0, my = 0, mp = 0, E = 0, F = 0, phi = 0;
};

struct ListedSide {
    int k = 0;                // side number 1..2N+1
    std::string from, to;     // names of its two end points
    double observed = 0;      // [m] as typed (the known sides A-B, C-D from coordinates)
    int sign = 0;             // the sign typed with an even side (+1 left, -1 right of the route), else 0
    double correction = 0;    // [m] 0 for the known sides
    double adjusted = 0;      // [m]
    bool known = false;       // A-B, and C-D when D is given
    std::optional<SideReduction> reduction;  // a side measured on the ground: its reduction to the plane
    // How the run checks a measured side, where it has the figure (none for
    // the known sides, and where the redundancy number is below 0.01): its
    // a-priori standard error [mm], the minimal detectable bias [mm], the
    // bias-to-noise ratio [-], the shift of the weakest point by that bias [mm].
    std::optional<double> sigmaMm, mdbMm, biasToNoise, weakestShiftMm;
    // The adjusted side's standard error [mm] and relative error m/S [-] (none
    // for the known sides), its grid azimuth from -> to [deg] and the azimuth's
    // standard error [arc s].
    std::optional<double> adjustedSigmaMm, relative;
    double azimuthDeg = 0, azimuthSigmaArcSec = 0;
};

// The orientation angle at C with its correction and check, as ListedSide
// has them: v, sigma and the minimal detectable bias in arc seconds.
struct ListedOrientation {
    double correctionSec = 0;
    double redundancy = 0;
    std::optional<double> normalised, sigmaSec, mdbSec, biasToNoise, weakestShiftMm;
};

// The reduction of the sides to the Gauss plane, where the run made one.
struct ListedReduction {
    std::string sideKind;   // "平距" or "斜距"
    std::string ellipsoid;  // "CGCS2000", …
    double centralMeridianDeg = 0, falseEastingM = 0, surfaceHeightM = 0, heightAnomalyM = 0;  // [deg], [m]
    double addConstantMm = 0, scaleConstantMmPerKm = 0;
    // The largest (plane - horizontal) / horizontal of the chain, with its sign [cm/km].
    double distortionCmPerKm = 0;
    // The direction correction taken off the orientation angle [arc s], where there is one.
    std::optional<double> orientationReductionArcSec;
};
// The largest length distortion the projection may give [cm/km] (GB 50026).
inline constexpr double DISTORTION_LIMIT_CM_PER_KM = 2.5;

struct ChainListing {
    std::string project;
    std::vector<std::string> notes;  // the file's 备注 lines, may be none
    std::vector<ListedPoint> knownPoints;  // A, B, C and D (when given)
    // The points of the report, in its order: B, the new points, C, and the
    // point after C where there is one (adjusted coordinates).
    std::vector<ListedPoint> points;
    std::vector<ListedSide> sides;  // k = 1..2N+1
    // Without D: the external azimuth and the orientation angle at C as typed
    // (packed D.MMSS) and in decimal degrees; the orientation angle turns from
    // the last route side (C towards its other end) clockwise to the outward
    // direction.
    struct ClosingAngles {
        double TbPacked = 0, QbPacked = 0;
        double azimuthDeg = 0, orientationDeg = 0;
        std::string lastSideFar;  // name of the far end of the last route side seen from C
    };
    std::optional<ClosingAngles> closing;  // nullopt with D, or without azimuth data
    std::optional<ListedReduction> reduction;  // nullopt on a plane chain
    std::optional<ListedOrientation> orientation;  // with closing, once adjusted
    // A run with weights: the distance meter's accuracy a [mm], b [mm/km] and
    // mu0 = a + b [mm], the standard error of unit weight (a side of 1 km).
    struct Weights {
        double aMm = 0, bPpm = 0, mu0Mm = 0;
    };
    std::optional<Weights> weights;
    // The side with the largest relative error m/S: its index in sides.
    std::optional<std::size_t> weakestSide;
    // The chain against its grade, where one is asked (等级, --grade).
    std::optional<GradeVerdict> grade;
    // A design (精度预估): every figure from mu0, no measurement yet.
    bool design = false;
};
