#pragma once
// The one state object of the program.
//
// Glossary (units in brackets):
//   Xa Ya, Xb Yb, Xc Yc, Xd Yd  known points A, B, C, D [m] as typed; X northing,
//                               Y easting; D typed as 0, 0: no D
//   N      TriangleCount; sides 1..2N+1, triangles 1..N, route stations 0..N (0 = B)
//   Tb Qb  external azimuth and orientation angle at C as typed (packed D.MMSS)
//   SideLengths  1..2N+1 the sides as the dialogue takes them [m], even sides
//          without their sign; S1 (and with D S(2N+1)) from the coordinates
//   Azimuths are decimal degrees clockwise from +X; a leg of length s, azimuth T
//   moves a point by s cos T in X and s sin T in Y.
//
// The figures of a run (misclosures, ms, the weakest point, the adjusted sides
// and coordinates) are not kept here but in the result the adjustment made:
// LastRun for the last completed run.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "state/CompletedRun.h"
#include "state/ObservationRecord.h"
#include "state/ValueLog.h"

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
    // Form-level state: lives as long as the window.
    double Xa = 0, Ya = 0, Xb = 0, Yb = 0, Xc = 0, Yc = 0, Xd = 0, Yd = 0;
    std::int16_t TriangleCount = 0;
    double Tb = 0, Qb = 0;
    std::vector<std::string> PointNames;  // 0..N
    std::vector<double> SideLengths;      // 0..2N+1 [m], as taken by the dialogue

    // True after a run that went through to its last display; a cancelled or
    // failed run leaves half-written state that must not be printed.
    bool LastRunCompleted = false;
    // The values of the last run as typed, also of a run that did not
    // complete (then up to where it stopped); a run cancelled at its first
    // prompt leaves the one before it.
    ObservationRecord LastTyped;
    // The last run that completed: what it read, what it made, its listing.
    std::optional<CompletedRun> LastRun;
    // The even side whose left/right the last run's misclosures point to
    // (0: the orientation angle's sign), where the run failed on them and one
    // single sign explains them; else none.
    std::optional<int> SuspectSign;

    RunState run;
};

// How the chain of the run closes, by the one rule (ClosingKindOf) from the
// values as far as they are typed.
ClosingKind ClosingOf(const ProgramState& s);
// The chain closes on C with D (both coordinates of D non-zero).
bool PointDGiven(const ProgramState& s);
bool PointDAbsent(const ProgramState& s);
