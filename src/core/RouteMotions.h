#pragma once
// The route of the chain as a product of rigid motions of the plane, so that
// the misclosures of every chain that differs from it in one route sign come
// in constant time each.
//
// Glossary (angles in degrees through RADIANS_PER_DEGREE, lengths in metres):
//   step j = 0..L   M_j: forward d_j along the heading, then a turn theta_j
//     j = 0         d = 0, theta = sigma_1 beta_1 + 180
//     j = 1..N-1    advance (sigma_j != sigma_(j+1)): d = S(2j+1),
//                   theta = sigma_(j+1) beta_(j+1) + 180; pivot: d = 0,
//                   theta = sigma_(j+1) beta_(j+1)
//     j = N         without D only: d = S(2N+1), theta = Q + 180 with an
//                   external azimuth (Q the orientation angle), else 0
//   L               the last step: N-1 with D, else N
//   pose H_j        heading and position before step j, positions relative to
//                   B: H_0 = (T_AB, B), H_(j+1) = H_j M_j. H_j stands at station
//                   j-1 with the azimuth of leg j; H_(L+1) is C with the
//                   closing azimuth
//   beta_i          the angle of triangle i at station i-1, opposite side 2i
//   flip i          sigma_i reversed: only the steps i-1 and i change; every
//                   pose after them moves by one rigid motion G of the plane
//   twist of side k how a change of side k moves the end of the route: a turn
//                   omega [rad/m] about the origin B and a shift v [m/m]; the
//                   turn of beta_i happens at station i-1
//   covariance      A Q A' of the misclosures (w1 [arc s], w2, w3 [m]) =
//                   L(C) (sum of sigma_k^2 tau_k tau_k') L(C)', L(C) mapping a
//                   twist onto (rho omega, omega x (C - B) + v); the sums over
//                   the sides before and beyond a flip are kept as prefix and
//                   suffix sums, those beyond moved by the adjoint of G
#include <array>
#include <vector>

#include "core/ChainResult.h"
#include "core/ChainWork.h"
#include "core/ObservationSigmas.h"

using Matrix3 = std::array<std::array<double, 3>, 3>;

// What a chain closes with: its misclosures and their covariance.
struct ClosingFigures {
    std::array<double, 4> w{};  // w1 [arc s] (0 on C alone), w2, w3 [m]: computed minus known
    Matrix3 covariance{};       // A Q A' of (w1, w2, w3) [arc s^2, arc s m, m^2]
};

struct RoutePose {
    double T = 0;     // heading [deg]
    double x = 0, y = 0;  // position relative to B [m]
};

struct RouteMotions {
    ChainWork work;
    ObservationSigmas sigmas;
    int last = 0;                       // L
    std::vector<double> beta;           // 1..N angle2 of triangle i [deg]
    std::vector<double> cos1, cos3;     // 1..N cosines of angle1 and angle3 of triangle i
    std::vector<double> height;         // 1..N height of triangle i onto side 2i [m]
    std::vector<RoutePose> pose;        // H_0 .. H_(L+1)
    std::vector<RoutePose> after;       // 0..L+1: the product M_j ... M_L (identity at L+1)
    std::vector<Matrix3> before;        // 0..2N+1: sides 2..k, sum of sigma^2 tau tau'
    std::vector<Matrix3> beyond;        // 0..2N+2: sides k..2N+1, the same sum
};

// The route of w as typed, with the standard errors s. Throws ChainFaultRaised
// where a triangle cannot be solved from its sides.
RouteMotions RouteMotionsOf(const ChainWork& w, const ObservationSigmas& s);

ClosingFigures ClosingAsTyped(const RouteMotions& m);
// The chain with the route sign of triangle i (1..N) reversed.
ClosingFigures ClosingWithSignFlipped(const RouteMotions& m, int i);
// The chain with the orientation angle's sign reversed (an external azimuth only).
ClosingFigures ClosingWithOrientationFlipped(const RouteMotions& m);

// The same figures by the adjustment's own steps, the approximate chain and
// the condition equations (their coordinate rows at the computed C), on w as
// it stands.
ClosingFigures ClosingComputedInFull(const ChainWork& w, const ObservationSigmas& s);
// A Q A' of the condition rows 1..3 the adjustment formed in r.
Matrix3 ConditionCovariance(const ChainWork& w, const ChainResult& r, const ObservationSigmas& s);

// w' (A Q A')^-1 w; on C alone the rows of w2 and w3 only. +infinity where
// the covariance is singular.
double MisclosureStatistic(const ClosingFigures& f, bool azimuthCondition);
