#pragma once
// The measured sides of a chain reduced from the ground to the Gauss plane,
// and the orientation angle at C with them (docs/reduction.md has every
// formula and a side worked through by hand):
//   S' = S + c0/1000 + S m0/1e6                 the instrument constants first
//   slope S':      D = sqrt(S'^2 - (h2 - h1)^2),  c = D (R_A + H0) / sqrt((R_A + h1)(R_A + h2))
//   horizontal D:  c = D (R_A + H0) / (R_A + h_m)
//   s = 2 (R_A + H0) asin(c / (2 (R_A + H0)))   the arc on the projection surface
//   d = s (k1 + 4 k_m + k2) / 6                 the length on the plane
// with h1, h2 the ellipsoidal heights of the instrument and the reflector
// (the marks' H + zeta, plus i and v for a slope distance), h_m the mean of
// the marks' h, R_A the radius of curvature in the side's azimuth at its mean
// latitude. The orientation angle, measured on the ground, loses the direction
// correction of the last route side from C. Latitudes, azimuths and y come
// from the approximate chain of the unreduced sides. The sides from
// coordinates (A-B, C-D) are not reduced; a side keeps its sign.
#include <optional>
#include <variant>

#include "core/ChainObservations.h"
#include "reduction/GaussKruger.h"
#include "reduction/ReductionParameters.h"

struct ReductionFault {
    enum class Kind {
        NoCentralMeridian,  // a reduction without L0
        MissingHeight,      // `point` has no height; `side` needs it
        FarFromMeridian,    // `point` lies more than 1000 km from the central meridian
        SlopeTooShort,      // `side`: the slope distance is no longer than the height difference
        Unsolvable,         // the approximate chain cannot be solved
    } kind;
    int point = 0;  // point id
    int side = 0;   // side number
};

// The farthest a point may lie from the central meridian [m].
inline constexpr double MAX_DISTANCE_FROM_MERIDIAN_M = 1000e3;

// The observations with every measured side's used length on the plane and
// its reduction, and the orientation angle reduced. A plane chain comes back
// as it is.
std::variant<ChainObservations, ReductionFault> ReduceToGaussPlane(const ChainObservations& o,
                                                                   const ReductionParameters& p);

// One side: S [m] (after the constants) between the grid points a and b,
// h1, h2 the ellipsoidal heights of the instrument and the reflector (slope)
// or of the marks (horizontal) [m], H0 [m]; nullopt for a slope distance no
// longer than its height difference. measured is S.
std::optional<SideReduction> ReduceSide(const GaussKrugerZone& zone, MeasuredSideKind kind, double S, PlanePoint a,
                                        PlanePoint b, double h1, double h2, double H0);

// The first mark (in the order A, B, the new points along the chain, D) whose
// height the reduction of o needs and p lacks; nullopt when none is missing
// or nothing is reduced.
std::optional<ReductionFault> MissingHeight(const ChainObservations& o, const ReductionParameters& p);

// The largest length distortion of the reduced sides, (plane - horizontal) /
// horizontal with its sign, in cm per km; nullopt where no side is reduced.
std::optional<double> LargestDistortionCmPerKm(const ChainObservations& o);

// A plane length d [m] between grid points a and b brought back to the
// ground: the horizontal distance at the mean height of the marks whose
// normal heights are Ha, Hb [m] (the reverse of the reduction of a horizontal
// distance). p.centralMeridianDeg must be set.
double GroundLength(const ReductionParameters& p, PlanePoint a, PlanePoint b, double Ha, double Hb, double d);
