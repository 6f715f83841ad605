#pragma once
// Synthetic trilateration chains for tests, fuzzer seeds and benchmarks.
//
// A chain is built from true coordinates; every side is the distance between
// its two true points plus optional Gaussian noise. The result carries the
// operator's answer lines for one adjustment run (for ScriptedPlatform or
// trilat-replay), the truth and the topology of points and sides.
//
// Glossary
//   N          number of triangles
//   point id   -1 is A; 0 is B; i = 1..N is the far end of route leg i (side 2i+1)
//   sigma_i    route sign of triangle i, typed as the sign of side 2i
//              (-1: the cross side lies on the right of the azimuth route)
//   st(i)      station where route leg i starts: st(0) = A, st(1) = B; for i >= 2
//              point i-1 when sigma_i != sigma_(i-1) (advance), st(i-1) when the
//              signs are equal (pivot)
//   triangle i vertices st(i-1), point i-1, point i; side 2i-1 joins st(i-1) and
//              point i-1, side 2i+1 joins st(i) and point i, side 2i is the third
//   closing    PointD: point N is the known D, C = st(N), side 2N+1 (C-D) not typed;
//              ExternalAzimuth: C = point N, an external azimuth Tb at C and the
//              orientation angle Q = Tb - azimuth(C -> st(N)) are typed;
//              NoAzimuth: C = point N, both angles typed as 0
//   X, Y       northing and easting [m]; azimuths in degrees clockwise from north
#include <cstdint>
#include <string>
#include <vector>

namespace chain {

constexpr int POINT_A = -1;

enum class Closing { PointD, ExternalAzimuth, NoAzimuth };

struct Point2 {
    double x = 0;  // northing [m]
    double y = 0;  // easting [m]
};

struct ChainSpec {
    int triangles = 4;               // N >= 1 (>= 3 for PointD, see ValidSigns)
    Closing closing = Closing::NoAzimuth;
    std::vector<int> signs;          // sigma_1..sigma_N as +1/-1; empty: ZigzagSigns(N)
    std::uint64_t seed = 1;
    double noiseMm = 0;              // standard deviation of the side noise [mm]
    double orientationNoiseSec = 1;  // standard deviation of the orientation angle noise [arc s]
    double sideScale = 3000;         // typical side length [m]
    double offsetX = 3.4e6;          // northing of A, roughly [m]
    double offsetY = 5.0e5;          // easting of A, roughly [m]
};

struct SideEnds {
    int from = 0;  // point id
    int to = 0;    // point id
};

struct GeneratedChain {
    ChainSpec spec;
    int N = 0;
    std::vector<int> signs;          // 0..N, element 0 unused (0)

    // Truth. Points are rounded to the micrometre and typed exactly; sides are
    // typed to 1e-9 m, angles to 1e-6 arc seconds.
    Point2 A, B, C, D;               // D is (0, 0) unless closing == PointD
    std::vector<Point2> points;      // 0..N: 0 = B, point N = C (no D) or D
    std::vector<int> station;        // 0..N: st(i) as point id (st(0) = POINT_A)
    int cIndex = 0;                  // point id of C
    int dIndex = -2;                 // point id of D (N) or -2 when there is none
    std::vector<int> unknownPoints;  // ids of the new points, increasing

    // Sides 1..2N+1 (element 0 unused).
    std::vector<SideEnds> sideEnds;
    std::vector<double> trueSides;   // distances between the true points [m]
    std::vector<double> typedSides;  // as typed (with noise); 1 and, with D, 2N+1 are
                                     // the true lengths, which are not typed
    std::vector<bool> sideTyped;     // whether side k is an observation of the run

    // Orientation data (closing == ExternalAzimuth only).
    double azimuthTypedDeg = 0;      // external azimuth Tb as typed, decimal degrees
    double orientationTypedDeg = 0;  // orientation angle Q as typed (noisy), decimal degrees
    double orientationTrueDeg = 0;   // Q from the true coordinates, decimal degrees

    std::vector<std::string> answers;  // answer lines for one adjustment run

    // Point id -> coordinates (POINT_A allowed).
    const Point2& Pt(int id) const { return id == POINT_A ? A : points.at(static_cast<std::size_t>(id)); }
    // The vertex of triangle i that is not on its route side 2i+1: st(i-1) on an
    // advance (and for i = 1, where it is A), point i-1 on a pivot.
    int ApexOpposite(int i) const;
};

// Alternating signs -1, +1, -1, ... (every step an advance).
std::vector<int> ZigzagSigns(int n);
// Runs of equal signs of the given length (2: -1 -1 +1 +1 ...), so that the
// route pivots inside every run; the end is arranged to satisfy ValidSigns.
std::vector<int> PivotSigns(int n, int run, Closing closing);
// Random signs with runs of at most maxRun equal signs, satisfying ValidSigns.
std::vector<int> RandomSigns(int n, std::uint64_t seed, Closing closing, int maxRun = 3);
// Whether the program accepts the pattern: with D, N >= 2, not N = 2 with equal
// signs and not the last three signs equal.
bool ValidSigns(const std::vector<int>& signs, Closing closing);

// Builds the chain; throws std::invalid_argument for an invalid spec and
// std::runtime_error when no non-overlapping geometry was found.
GeneratedChain GenerateChain(const ChainSpec& spec);

// Packed angle text D.MMSSssssss (seconds to 1e-6) of a decimal-degree value,
// with a leading '-' for a negative angle; *typedDeg receives the decimal
// degrees that the text stands for.
std::string PackedAngleText(double degrees, double* typedDeg);

// "D given", "external azimuth" or "no azimuth data", for test messages.
const char* ClosingName(Closing closing);

// Azimuth from p to q in decimal degrees, 0 <= value < 360.
double AzimuthDeg(const Point2& p, const Point2& q);

}  // namespace chain
