#pragma once
#include <optional>
// Chains for the property tests: a plain description (true points, route signs,
// typed sides and closing data) that can come from the chain generator or be
// laid out by hand, turned into the operator's answers, run through the
// program, and recomputed independently from the adjusted sides.
//
// Point ids follow the generator: -1 is A, 0 is B, i = 1..N the far end of
// route leg i. The station st(i) where leg i starts and the apex of triangle i
// (its vertex off side 2i+1) follow from the signs alone.
//
// The independent recomputation places every point i from the two vertices of
// side 2i-1 by intersecting the circle of radius S(2i+1) about st(i) with the
// circle of radius S(2i) about the apex; of the two intersections it takes the
// one on the side of the line st(i) -> apex that the route sign names (+1: to
// the left, i.e. the azimuth from st(i) turns clockwise from the apex to the
// point). No azimuth is carried, so none of the program's angle arithmetic is
// repeated.
#include <cstdio>
#include <string>
#include <vector>

#include "run/AdjustmentRun.h"
#include "state/ProgramState.h"
#include "support/ChainGenerator.h"

namespace props {

using chain::Closing;
using chain::Point2;

struct ChainData {
    int N = 0;
    Closing closing = Closing::NoAzimuth;
    std::vector<int> signs;          // 1..N (element 0 unused)
    Point2 A;
    std::vector<Point2> points;      // 0..N true points, 0 = B
    std::vector<double> sides;       // 1..2N+1 as typed (1, and 2N+1 with D, not typed)
    double azimuthDeg = 0;           // external azimuth Tb (ExternalAzimuth only)
    double orientationDeg = 0;       // orientation angle Q as typed, signed
    std::string azimuthText = "0", orientationText = "0";
    std::string label;               // for failure messages

    const Point2& Pt(int id) const { return id == chain::POINT_A ? A : points.at(static_cast<std::size_t>(id)); }
    int Station(int i) const;        // st(i) as a point id, i = 0..N
    int Apex(int i) const;           // vertex of triangle i off side 2i+1, i = 1..N
    int CIndex() const;              // point id of C
    int DIndex() const { return closing == Closing::PointD ? N : -2; }
    Point2 C() const { return Pt(CIndex()); }
    std::vector<int> UnknownPoints() const;  // ids of the new points
};

// From a generated chain (the same typed values as its answers).
ChainData FromGenerated(const chain::GeneratedChain& g, const std::string& label);

// From true points 0..N (0 = B) and signs 1..N: every side is the distance of its
// two points. Throws std::logic_error when a sign does not match the side of the
// line st(i) -> apex that point i lies on. For ExternalAzimuth, Tb is given and
// Q follows from the points.
ChainData FromPoints(const Point2& A, const std::vector<Point2>& points, const std::vector<int>& signs,
                     Closing closing, const std::string& label, double azimuthDeg = 123.456);

// The whole chain mirrored in the X axis: Y -> -Y for every point, every sign
// reversed, Tb -> 360 - Tb and Q -> -Q.
ChainData Mirrored(const ChainData& c);

// The operator's answers for one run; withPacing adds the answers of the
// coordinate display (leave them out for a run that is expected to fail before it).
std::vector<std::string> Answers(const ChainData& c, bool withPacing = true);

struct ProgramRun {
    ProgramState state;
    RunOutcome outcome{RunOutcome::Failed, "not run"};
    bool inputLeft = false;
    std::vector<std::string> messages;  // the message boxes of the run
};

// Where the dialogue refuses a triangle of these answers, as soon as its last
// side is confirmed (by the rule the file reader applies as well): the
// reason, and the answers up to that confirmation with a Cancel at the side
// asked again.
struct EntryRefusal {
    std::string reason;
    std::vector<std::string> answers;
};
std::optional<EntryRefusal> TriangleRefusedAtEntry(const std::vector<std::string>& answers);

// One run with the scripted operator; the transcript is thrown away as it goes.
ProgramRun RunChain(const std::vector<std::string>& answers);

// The same run, phase by phase in the order of the program's run, with the
// program's shortened pi replaced by the given one (the full pi shows which
// differences come from the shortened one alone). The state keeps the run-level
// values of the run.
ProgramRun RunChainWithPi(const std::vector<std::string>& answers, double pi);
// The same with the program's constants replaced (the shortened pi, rho, the
// iteration limit: 1 lets the single step stand).
ProgramRun RunChainWith(const std::vector<std::string>& answers, const ChainConstants& constants);

// Several runs in one session (one state, one operator), as trilat-replay does;
// returns the END lines of the transcript and leaves the last state in *state.
std::vector<std::string> Session(const std::vector<std::string>& answers, ProgramState* state = nullptr);

// The chain placed again from A, B and the given side lengths (1..2N+1).
std::vector<Point2> Recompute(const ChainData& c, const std::vector<double>& sides);

struct Closure {
    double cMiss = 0;          // |recomputed C - known C| [m]
    double azimuthMissSec = 0; // closing azimuth: C->D, or the outer azimuth through the adjusted Q [arc s]
    double orientationCorrectionSec = 0;  // k1 sigma_(N+1): the share of Q in the azimuth condition [arc s]
    double programCMiss = 0;   // |program's adjusted C - known C| [m]
    double programVsRecomputed = 0;  // max over the program's points 1..n of |program - recomputed| [m]
    double extent = 0;         // farthest true point from B [m]
};

// Closure of a run's result: the chain recomputed with the program's adjusted
// sides, and the program's own adjusted coordinates.
Closure CloseChain(const ChainData& c, const ChainResult& r);

// Extra allowance of the closure for the program's shortened pi (3.1415926535):
// every 180 degrees it adds or removes along the route turns the legs that
// follow by about 9e-11 rad, which our exact geometry does not share.
inline double ShortPiAllowance(double extent) { return 3e-10 * extent; }

double Dist(const Point2& p, const Point2& q);
// Difference of two azimuths in degrees, into -180..180.
double AngleDiffDeg(double a, double b);

}  // namespace props
