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
//   RouteAzimuths   0..N+1 azimuths of the route legs [deg]
//   PointX PointY   0..N stations: approximate, then the adjusted points [m]
//   Misclosures     w1 azimuth [arc s], w2 X, w3 Y [m], single precision
//   ConditionCoefficients  rows 1 azimuth [arc s/m], 2 X, 3 Y [m/m], 4, 5 weight
//                   functions of the weakest point's X, Y; column k side k,
//                   column 2N+2 the orientation angle
//   NormalMatrix NormalWork  the 5 x 5 normal tables and their working copy
//   Correlates      k1..k3; Corrections v 2..2N+1 [m]; SumSquaredCorrections [vv] [m^2]
//   SideLengths     1..2N+1 the adjusted sides [m]
//   InvPx InvPy     weight reciprocals of the weakest point [-]
//   ms              standard error of unit weight of a side [mm]
//   mx my md        standard errors of the weakest point's X, Y, position [mm]
//   ResultPointCount  last index of the adjusted point list 0..n (N-1 with D, else N)
#include <array>
#include <optional>
#include <vector>

using Table6 = std::array<std::array<double, 6>, 6>;

struct ChainResult {
    std::vector<double> ObservedSides;
    std::vector<double> TriangleAngle1, TriangleAngle2, TriangleAngle3, TriangleTerm;
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
    std::optional<double> InvPx, InvPy;

    std::array<double, 4> Correlates{};
    std::vector<double> Corrections;
    double SumSquaredCorrections = 0;
    std::vector<double> SideLengths;

    std::optional<float> ms, mx, my, md;
    int ResultPointCount = 0;
};
