#pragma once
// What one adjustment of the chain makes, as far as it got: every figure the
// window shows and the report prints, and the working tables behind them.
// The figures the window shows are optional: each is there once computed, so
// a fault comes with what was computed before it.
//
// Glossary (units in brackets):
//   ObservedSides   1..2N+1 the sides before the adjustment [m]
//   TriangleAngle1  triangle k, opposite side 2k+1 [deg]
//   TriangleAngle2  triangle k, at station k-1, opposite side 2k [deg]
//   TriangleAngle3  triangle k, opposite side 2k-1 [deg]
//   TriangleTerm    height of triangle k onto side 2k [m]
//   CosAlpha CosGamma  cos of TriangleAngle1, TriangleAngle3 of triangle k [-],
//                   as the condition rows took them
//   RouteAzimuths   0..N+1 azimuths of the route legs [deg]
//   PointX PointY   0..N stations: approximate, then the adjusted points [m]
//   Misclosures     w1 azimuth [arc s], w2 X, w3 Y [m], single precision
//   ConditionCoefficients  rows 1 azimuth [arc s/m], 2 X, 3 Y [m/m], 4, 5 weight
//                   functions of the weakest point's X, Y; column k side k,
//                   column 2N+2 the orientation angle
//   NormalMatrix NormalWork  the 5 x 5 normal tables and their working copy
//   Correlates      k1..k3; Corrections v 2..2N+1 [m]; SumSquaredCorrections [vv] [m^2]
//   SideLengths     1..2N+1 the adjusted sides [m]
//   WeakestPoint    listed index of the weakest point: the new point (the point
//                   after C included) with the largest Qxx + Qyy, ties to the
//                   first along the route; the station M = HalfCount(N) where
//                   the chain has no new point
//   InvPx InvPy     weight reciprocals of the weakest point [-]
//   ms              standard error of unit weight of a side [mm]
//   mx my md        standard errors of the weakest point's X, Y, position [mm]
//   ResultPointCount  last index of the adjusted point list 0..n (N-1 with D, else N)
// The rigorous solution (the figures above come from its last linearisation,
// except ObservedSides and the misclosures, which are those of the observations):
//   Iterations      linearisations the solution took (1: the single step)
//   StationX StationY  0..N route stations of the linearisation [m]
//   OrientationCorrection  correction of the orientation angle as typed (signed)
//                   [arc s], 0 where there is none
//   Qkk             1..3 inverse of the condition normal matrix (cofactors of
//                   the correlates); without an azimuth condition row 1 is 0
//   ConditionCount  conditions of the adjustment: 3, or 2 without azimuth
// The precision of every point (PointPrecisions, one per listed point 0..n):
//   Qxx Qyy Qxy     cofactors of the point's X, Y [m^2 per unit weight, m^2/m^2]
//   mx my mp        ms sqrt(Qxx), ms sqrt(Qyy), ms sqrt(Qxx + Qyy) [mm]
//   ellipse E >= F  semi-axes of the standard error ellipse [mm], phi azimuth of
//                   E [deg] clockwise from +X, 0 <= phi < 180 (0 for a circle)
// The check of every observation (index k = 2..2N+1 side k, 2N+2 the
// orientation angle):
//   Redundancy      r_k = a_k' Qkk a_k, the diagonal of the cofactors of the
//                   corrections [-]; 0 for a side without coefficients
//   SumRedundancy   their sum, equal to ConditionCount
//   SumWeightedSquares [pvv] of the sides [m^2] and the orientation angle
//                   [arc s^2, weight 1 m^2 per arc s^2]
// With weights p_k = mu0^2 / sigma_k^2 (the distance meter's accuracy a + b D,
// Weighted) every sum above takes them: the normal matrix A P^-1 A', the
// corrections P^-1 A' k, the cofactors, r_k = p_k (Qvv)_kk, [pvv] = sum p v^2;
// ms is then the a-posteriori standard error of unit weight sqrt([pvv] / r)
// [mm] (the orientation angle included), without weights sqrt([vv] / r).
// With an a-priori standard error of unit weight mu0 (sigma0, or a + b with
// weights; TestCorrections):
//   Mu0Mm           mu0 [mm]
//   Sigma           0..2N+2 the a-priori standard error of each observation:
//                   sides [m], the orientation angle [arc s]; 0 for A-B, C-D
//   Normalised      w_k = v_k / (sigma_k sqrt(r_k)) where r_k >= 0.01, else none
//   globalTest      [pvv] / mu0^2 against chi-square(ConditionCount), 95 %
// How well the chain checks each observation k (where r_k >= 0.01, else none):
//   BiasToNoise     lambda_k = DELTA0 sqrt((1 - r_k) / r_k) [-]
//   Mdb             with mu0: the minimal detectable bias DELTA0 sigma_k /
//                   sqrt(r_k) [m, the orientation angle arc s]
//   WeakestShift    with mu0: how far an undetected bias Mdb_k moves the
//                   weakest point [m]
// The adjusted sides (index k = 1..2N+1; SideSigmaMm and SideRelative none
// for the fixed sides A-B and C-D; SideAzimuthSigma 0 between known points):
//   SideSigmaMm     ms sqrt((1 - r_k) / p_k), the adjusted side's standard error [mm]
//   SideRelative    SideSigmaMm / S_k [-], written 1/T
//   SideAzimuth     grid azimuth from -> to of the adjusted side [deg], 0 <= T < 360
//   SideAzimuthSigma  its standard error [arc s]
//   WeakestSide     k of the largest SideRelative (the first of equals); 0 none
#include <array>
#include <optional>
#include <vector>

using Table6 = std::array<std::array<double, 6>, 6>;

// The w-test: |w| above W_TEST_CRITICAL flags an observation (alpha0 = 0.001,
// two-sided). A bias of DELTA0 standard errors of its correction is found with
// probability 0.80 (beta = 0.80): DELTA0 = 3.29 + 0.84. An observation with a
// redundancy number below LEAST_TESTED_REDUNDANCY is not checked.
inline constexpr double W_TEST_CRITICAL = 3.29;
inline constexpr double DELTA0 = 4.13;
inline constexpr double LEAST_TESTED_REDUNDANCY = 0.01;

struct ErrorEllipse {
    double E = 0, F = 0;  // semi-axes [mm], E >= F
    double phi = 0;       // azimuth of E [deg], 0 <= phi < 180
};

struct PointPrecision {
    bool known = false;             // B, C: every figure 0
    double Qxx = 0, Qyy = 0, Qxy = 0;
    double mx = 0, my = 0, mp = 0;  // [mm]
    ErrorEllipse ellipse;
};

struct GlobalTest {
    double statistic = 0;  // [pvv] / mu0^2
    int dof = 0;
    double critical = 0;   // chi-square quantile 0.95 of dof
    bool passed = false;
};

struct ChainResult {
    std::vector<double> ObservedSides;
    std::vector<double> TriangleAngle1, TriangleAngle2, TriangleAngle3, TriangleTerm;
    std::vector<double> CosAlpha, CosGamma;
    std::vector<double> RouteAzimuths;
    std::vector<double> PointX, PointY;

    // Misclosures as shown: w1 [arc s] when there is an azimuth condition,
    // w2 and w3 in millimetres (the product by 1000 in single precision).
    // Without an azimuth condition w1 is 0 and the misclosures say so.
    bool withoutAngleCondition = false;
    std::optional<float> wbSeconds, wxMillimetres, wyMillimetres;
    std::array<float, 4> Misclosures{};

    std::array<std::vector<double>, 6> ConditionCoefficients;
    Table6 NormalMatrix{};
    Table6 NormalWork{};
    int WeakestPoint = 0;
    std::optional<double> InvPx, InvPy;

    std::array<double, 4> Correlates{};
    std::vector<double> Corrections;
    double SumSquaredCorrections = 0;
    std::vector<double> SideLengths;

    std::optional<float> ms, mx, my, md;
    int ResultPointCount = 0;

    int Iterations = 0;
    std::vector<double> StationX, StationY;
    double OrientationCorrection = 0;
    Table6 Qkk{};
    int ConditionCount = 0;

    std::vector<PointPrecision> PointPrecisions;

    std::vector<double> Redundancy;
    double SumRedundancy = 0;
    double SumWeightedSquares = 0;
    std::vector<std::optional<double>> Normalised;
    std::optional<GlobalTest> globalTest;

    bool Weighted = false;
    std::optional<double> Mu0Mm;
    std::vector<double> Sigma;
    std::vector<std::optional<double>> BiasToNoise, Mdb, WeakestShift;

    std::vector<std::optional<double>> SideSigmaMm, SideRelative;
    std::vector<double> SideAzimuth, SideAzimuthSigma;
    int WeakestSide = 0;
};
