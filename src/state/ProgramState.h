#pragma once
// The one state object of the program.
//
// Glossary (units in brackets):
//   Xa Ya, Xb Yb, Xc Yc, Xd Yd  known points A, B, C, D [m]; X northing, Y easting;
//                               D given as 0, 0 means "no D"
//   N      TriangleCount; sides 1..2N+1, triangles 1..N, route stations 0..N (0 = B)
//   Tb Qb  external azimuth and orientation angle at C as typed (packed D.MMSS)
//   ms     standard error of unit weight of one side [mm]
//   mx my  standard errors of the weakest point's X and Y [mm]; md its position [mm]
//   InvPx InvPy  weight reciprocals 1/px, 1/py of the weakest point [-]
//   Misclosures  w1 azimuth [arc seconds], w2 X and w3 Y [m]
//   Azimuths are decimal degrees clockwise from +X; a leg of length s, azimuth T
//   moves a point by s cos T in X and s sin T in Y.
//
// ms, mx, my, md and Misclosures are single precision on purpose: every store
// into them rounds, and later uses see the rounded value. ObservedSides is kept
// double, so the report prints a side of tens of kilometres to the millimetre.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "state/ValueLog.h"
#include "state/ObservationRecord.h"

// Working values of one run: created at its start, discarded at its end. The
// dialogue fills them; the adjustment reads them (with the sides and the known
// points of the form-level state) as its observations.
struct RunState {
    double PI_VALUE = 0;            // 3.1415926535, the shortened pi of the program
    std::int32_t RHO_SECONDS = 0;   // 206265 arc seconds per radian
    double RADIANS_PER_DEGREE = 0;  // PI_VALUE / 180
    int ITERATION_LIMIT = 0;        // linearisations the adjustment may take

    double AzimuthAB = 0;           // azimuth A->B [deg]
    double ClosingAzimuth = 0;      // azimuth C->D, or the external azimuth at C [deg]
    double OrientationAngle = 0;    // signed orientation angle at C [deg]
    int UnknownPointCount = 0;      // K, unknown points between B and C

    std::vector<int> RouteSigns;          // 0..N+1: sign typed with side 2k; N+1 sign of Qb

    ValueLog Typed;  // the values as typed, recorded as each is confirmed
};

struct ProgramState {
    // Form-level state: lives as long as the window, read by the report.
    std::int16_t ResultPointCount = 0;
    double Xa = 0, Ya = 0, Xb = 0, Yb = 0, Xc = 0, Yc = 0, Xd = 0, Yd = 0;
    std::int16_t TriangleCount = 0;
    double Tb = 0, Qb = 0;
    float ms = 0;
    double InvPx = 0, InvPy = 0;
    float mx = 0, my = 0;
    float md = 0;  // holds the unknown-point count until the precision phase
    std::vector<std::string> PointNames;  // 0..N
    std::vector<double> SideLengths;      // 0..2N+1 [m], adjusted in place after a run
    std::vector<double> ObservedSides;    // 0..2N+1 [m], the sides as typed
    std::array<float, 4> Misclosures{};   // 1..3
    std::array<double, 4> Correlates{};   // 1..3
    std::vector<double> PointX, PointY;   // 0..N [m]

    // True after a run that went through to its last display; a cancelled or
    // failed run leaves half-written state that must not be printed.
    bool LastRunCompleted = false;
    // The values of the last run as typed, also of a run that did not
    // complete (then up to where it stopped); a run cancelled at its first
    // prompt leaves the one before it.
    ObservationRecord LastTyped;

    RunState run;
};

// Both coordinates of D non-zero.
bool PointDGiven(const ProgramState& s);
// Both coordinates of D zero.
bool PointDAbsent(const ProgramState& s);
// Three conditions (azimuth, X, Y) unless D is absent and there is no azimuth data.
bool AzimuthConditionUsed(const ProgramState& s);
