#pragma once
// How the measured sides of a chain are reduced from the ground to the Gauss
// plane: the kind of the measured sides, the ellipsoid and the zone, the
// projection surface, and the heights of the marks. Plain numbers: the
// observation file's keys are read into them (files/ReductionKeys.h).
//
// Glossary (units in brackets):
//   H        normal height of a mark [m]; zeta the height anomaly [m];
//            h = H + zeta the ellipsoidal height
//   H0       height of the projection surface above the ellipsoid [m]
//   L0       longitude of the central meridian [deg]
//   E0       false easting [m]: y = Y - E0 is the distance east of the
//            central meridian on the plane (E0 carries the zone number where
//            Y does, 38500000)
//   i, v     instrument and reflector heights above the marks [m]
//   c0, m0   the distance meter's additive constant [mm] and scale constant
//            [mm/km], applied to the sides first
// Point ids are those of ChainTopology: A is -1, B 0, the far end of route
// leg i is i (C among them; with D, D is N).
#include <map>
#include <optional>

enum class MeasuredSideKind {
    Plane,       // grid distances already: nothing is reduced
    Horizontal,  // horizontal distances between the marks
    Slope,       // slope distances, instrument to reflector
};

enum class EllipsoidName { CGCS2000, WGS84, Xian80, Beijing54 };

struct EllipsoidConstants {
    double a = 0;                  // semi-major axis [m]
    double inverseFlattening = 0;  // 1/f [-]
};
EllipsoidConstants ConstantsOf(EllipsoidName name);
// "CGCS2000", "WGS84", "西安80", "北京54"
const char* NameOf(EllipsoidName name);

struct ReductionParameters {
    MeasuredSideKind sides = MeasuredSideKind::Plane;
    EllipsoidName ellipsoid = EllipsoidName::CGCS2000;
    std::optional<double> centralMeridianDeg;  // L0 [deg]; needed by every reduction
    double falseEastingM = 500000;             // E0 [m]
    double surfaceHeightM = 0;                 // H0 [m]
    double heightAnomalyM = 0;                 // zeta [m]
    double addConstantMm = 0;                  // c0 [mm]
    double scaleConstantMmPerKm = 0;           // m0 [mm/km]
    std::map<int, double> markHeightM;         // H by point id [m]
    std::map<int, double> instrumentHeightM;   // i by side number [m], 0 where none
    std::map<int, double> reflectorHeightM;    // v by side number [m], 0 where none
};
