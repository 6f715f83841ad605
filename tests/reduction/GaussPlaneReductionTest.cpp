// Sides measured on the ground reduced to the Gauss plane, checked against
// references the reduction does not use: a side worked by hand
// (docs/reduction.md), PROJ's scale factors and grid of the CGCS2000 zones,
// the textbook short-side and direction-correction formulas, and chains
// generated on the ellipsoid (true geographic positions and heights, slope
// distances as chords between geocentric positions) that adjust back to their
// true grid coordinates.
#include <gtest/gtest.h>

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/TransverseMercator.hpp>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "files/ObservationFile.h"
#include "files/RecordKeys.h"
#include "reduction/GaussKruger.h"
#include "reduction/GaussPlaneReduction.h"
#include "run/BatchRun.h"
#include "support/ChainGenerator.h"
#include "support/TestFolder.h"

namespace {

constexpr double PI = 3.14159265358979323846;

// M and N by the textbook formulas (not GeographicLib's), for the references.
double MeanRadiusSquared(EllipsoidName e, double Bdeg)
{
    const EllipsoidConstants c = ConstantsOf(e);
    const double f = 1 / c.inverseFlattening, e2 = f * (2 - f);
    const double W = std::sqrt(1 - e2 * std::pow(std::sin(Bdeg * PI / 180), 2));
    return c.a * (1 - e2) / (W * W * W) * (c.a / W);
}

// ---------------------------------------------------------------------------
// The side of docs/reduction.md, worked by hand: CGCS2000, L0 = 117, a slope
// distance of 2000.000 m from P1 (3400000, 650000) to P2 (3401500, 651320),
// H1 = 512.300, H2 = 618.700, zeta = -10, i = 1.500, v = 1.800, H0 = 0.
TEST(GaussPlane, TheSideWorkedByHand)
{
    const GaussKrugerZone zone(EllipsoidName::CGCS2000, 117, 500000);
    const PlanePoint P1{3400000, 650000}, P2{3401500, 651320};
    std::optional<SideReduction> r =
        ReduceSide(zone, MeasuredSideKind::Slope, 2000.000, P1, P2, 512.3 - 10 + 1.5, 618.7 - 10 + 1.8, 0);
    ASSERT_TRUE(r);
    EXPECT_NEAR(r->horizontal, 1997.15175, 0.00001);
    EXPECT_NEAR(r->surface, 1996.97699, 0.00001);
    EXPECT_NEAR(r->scale, 1.00027990, 0.00000001);
    EXPECT_NEAR(r->plane, 1997.53594, 0.00001);
    // D is the horizontal distance at the mean height of instrument and
    // reflector, 557.15 m: as a horizontal distance between marks at those
    // heights it reduces to the same plane length
    std::optional<SideReduction> h =
        ReduceSide(zone, MeasuredSideKind::Horizontal, 1997.15175, P1, P2, 512.3 - 10 + 1.5, 618.7 - 10 + 1.8, 0);
    ASSERT_TRUE(h);
    EXPECT_NEAR(h->plane, 1997.53594, 0.00001);
    // and the plane length comes back to the ground at that height; at the
    // marks' own mean height, 1.65 m lower, it is 0.52 mm shorter
    ReductionParameters p;
    p.centralMeridianDeg = 117;
    p.heightAnomalyM = -10;
    EXPECT_NEAR(GroundLength(p, P1, P2, 512.3 + 1.5, 618.7 + 1.8, 1997.53594), 1997.15175, 0.00001);
    EXPECT_NEAR(GroundLength(p, P1, P2, 512.3, 618.7, 1997.53594), 1997.15175 * (1 - 1.65 / 6366285.7), 0.00001);
    // a slope no longer than its height difference cannot be reduced
    EXPECT_FALSE(ReduceSide(zone, MeasuredSideKind::Slope, 100, P1, P2, 0, 100, 0));
}

// ---------------------------------------------------------------------------
// The projection against PROJ: grid coordinates and point scale factors of the
// CGCS2000 zones, by their EPSG codes (3-degree CM 117E, CM 120E, zone 38 with
// its number; 6-degree zone 20 with its number).
struct ProjCase {
    const char* why;
    int epsg;
    double L0, E0;  // [deg], [m]
    double B, L;    // [deg]
};
constexpr ProjCase kProjCases[] = {
    {"3-degree CM 117E on the meridian", 4548, 117, 500000, 30.5, 117.0},
    {"3-degree CM 117E 48 km east", 4548, 117, 500000, 30.5, 117.5},
    {"3-degree CM 117E 145 km east", 4548, 117, 500000, 30.5, 118.5},
    {"3-degree CM 117E 150 km west, 45 N", 4548, 117, 500000, 45.0, 115.1},
    {"3-degree CM 120E at 22 N", 4549, 120, 500000, 22.0, 121.4},
    {"3-degree zone 38 (CM 114E) with its number", 4526, 114, 38500000, 40.0, 115.2},
    {"6-degree zone 20 (CM 117E) 290 km east", 4498, 117, 20500000, 30.0, 120.0},
    {"6-degree zone 20 (CM 117E) 340 km west, 50 N", 4498, 117, 20500000, 50.0, 112.3},
};

// The Debian python with its pyproj, or empty where it is not installed.
std::string PyprojPython()
{
    for (const char* python : {"/usr/bin/python3"}) {
        const std::string probe = std::string(python) + " -c 'import pyproj' 2>/dev/null";
        if (std::system(probe.c_str()) == 0) return python;
    }
    return {};
}

TEST(GaussPlane, TheProjectionAgreesWithProj)
{
    const std::string python = PyprojPython();
    if (python.empty()) GTEST_SKIP() << "pyproj is not installed (Debian's python3-pyproj): the PROJ comparison is skipped";
    TestFolder folder;
    const std::string script = folder.File("factors.py");
    {
        std::ofstream out(script);
        out << "import sys, pyproj\n"
               "for line in sys.stdin:\n"
               "    epsg, B, L = line.split()\n"
               "    crs = pyproj.CRS.from_epsg(int(epsg))\n"
               "    t = pyproj.Transformer.from_crs(crs.geodetic_crs, crs, always_xy=True)\n"
               "    E, Nn = t.transform(float(L), float(B))\n"
               "    k = pyproj.Proj(crs).get_factors(float(L), float(B)).meridional_scale\n"
               "    print(repr(Nn), repr(E), repr(k))\n";
        std::ofstream points(folder.File("points.txt"));
        for (const ProjCase& c : kProjCases) points << c.epsg << " " << c.B << " " << c.L << "\n";
    }
    const std::string command = python + " " + script + " < " + folder.File("points.txt");
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0) << text;
    std::istringstream lines(text);
    for (const ProjCase& c : kProjCases) {
        SCOPED_TRACE(c.why);
        double X = 0, Y = 0, k = 0;
        ASSERT_TRUE(lines >> X >> Y >> k);
        const GaussKrugerZone zone(EllipsoidName::CGCS2000, c.L0, c.E0);
        const PlanePoint grid = zone.Grid(c.B, c.L);
        EXPECT_NEAR(grid.X, X, 1e-5);
        EXPECT_NEAR(grid.Y, Y, 1e-5);
        EXPECT_NEAR(zone.PointScale(grid), k, 1e-10);  // PROJ differentiates numerically
        const GeographicPosition back = zone.Geographic({X, Y});
        EXPECT_NEAR(back.B, c.B, 1e-10);
        EXPECT_NEAR(back.L, c.L, 1e-10);
    }
}

// ---------------------------------------------------------------------------
// The line scale factor against the short-side formula
//   d = s (1 + y_m^2 / 2R^2 + dy^2 / 24R^2 [+ y_m^4 / 24R^4]),  R^2 = M N,
// within 0.05 mm on 3 km sides: without the quartic term to 150 km from the
// central meridian, with it to 300 km.
struct ShortSide {
    const char* why;
    double B;        // latitude of the middle [deg]
    double ymKm;     // the middle's distance from the central meridian [km]
    double azimuth;  // grid azimuth [deg]
    bool quartic;
};
constexpr ShortSide kShortSides[] = {
    {"on the meridian, north", 30, 0, 0, false},        {"50 km east, east-west", 30, 50, 90, false},
    {"100 km west, diagonal", 40, -100, 45, false},     {"150 km east, north", 25, 150, 0, false},
    {"150 km east, east-west", 45, 150, 90, false},     {"150 km west, diagonal", 35, -150, 135, false},
    {"220 km east, east-west", 30, 220, 90, true},      {"300 km east, diagonal", 30, 300, 60, true},
    {"300 km west, east-west, 45 N", 45, -300, 90, true},
};

TEST(GaussPlane, TheLineScaleFactorAgreesWithTheShortSideFormula)
{
    const GaussKrugerZone zone(EllipsoidName::CGCS2000, 117, 500000);
    const double s = 3000;  // the arc on the surface [m]
    for (const ShortSide& c : kShortSides) {
        SCOPED_TRACE(c.why);
        const double X0 = zone.Grid(c.B, 117).X;
        const double dX = s / 2 * std::cos(c.azimuth * PI / 180), dY = s / 2 * std::sin(c.azimuth * PI / 180);
        const PlanePoint a{X0 - dX, 500000 + c.ymKm * 1000 - dY}, b{X0 + dX, 500000 + c.ymKm * 1000 + dY};
        const double Bm = (zone.Geographic(a).B + zone.Geographic(b).B) / 2;
        const double R2 = MeanRadiusSquared(EllipsoidName::CGCS2000, Bm);
        const double ym = c.ymKm * 1000, dy = 2 * dY;
        const double formula = s * (1 + ym * ym / (2 * R2) + dy * dy / (24 * R2) + (c.quartic ? std::pow(ym, 4) / (24 * R2 * R2) : 0));
        EXPECT_NEAR(s * zone.LineScale(a, b), formula, 0.05e-3);
    }
}

// ---------------------------------------------------------------------------
// The direction correction of a side against its definition: the grid azimuth
// of the straight line less that of the geodesic's image, the geodesic's
// azimuth from GeographicLib's Geodesic less the meridian convergence.
struct Direction {
    const char* why;
    double B;      // [deg]
    double y1Km;   // [km]
    double azimuth, length;  // grid [deg], [m]
    double aboutArcSec;      // its size by the rule of thumb
};
constexpr Direction kDirections[] = {
    {"2 km north, 150 km east", 30, 150, 0, 2000, -0.76},
    {"2 km south, 150 km east", 30, 150, 180, 2000, 0.76},
    {"2 km north, 150 km west", 30, -150, 0, 2000, 0.76},
    {"3 km north-east, 280 km east, 45 N", 45, 280, 45, 3000, -1.51},
    {"2 km east, on the meridian", 30, 0, 90, 2000, 0.0},
};

TEST(GaussPlane, TheDirectionCorrectionAgreesWithTheGeodesic)
{
    const GaussKrugerZone zone(EllipsoidName::CGCS2000, 117, 500000);
    const EllipsoidConstants c = ConstantsOf(EllipsoidName::CGCS2000);
    const GeographicLib::Geodesic geodesic(c.a, 1 / c.inverseFlattening);
    for (const Direction& d : kDirections) {
        SCOPED_TRACE(d.why);
        const PlanePoint a{zone.Grid(d.B, 117).X, 500000 + d.y1Km * 1000};
        const PlanePoint b{a.X + d.length * std::cos(d.azimuth * PI / 180), a.Y + d.length * std::sin(d.azimuth * PI / 180)};
        const GeographicPosition ga = zone.Geographic(a), gb = zone.Geographic(b);
        double azi1 = 0, azi2 = 0;
        geodesic.Inverse(ga.B, ga.L, gb.B, gb.L, azi1, azi2);
        double expected = (d.azimuth - (azi1 - ga.gamma)) * 3600;
        expected -= 1296000 * std::round(expected / 1296000);
        EXPECT_NEAR(zone.DirectionCorrectionArcSec(a, b), expected, 0.002);
        EXPECT_NEAR(expected, d.aboutArcSec, 0.02);
    }
}

// ---------------------------------------------------------------------------
// Chains generated on the ellipsoid. The generator's plane chain gives the true
// grid coordinates; each point's true geographic position is their inverse
// projection, its height drawn from the row's range. Slope distances are the
// chords between the geocentric positions of instrument and reflector (i, v
// above the marks), horizontal distances the chords between the marks'
// verticals at their mean height; the orientation angle at C is the
// difference of the geodesics' azimuths there, the external azimuth a grid
// azimuth. With a projection surface at H0 the true grid is the zone's scaled
// by 1 + H0/R_m: the reduction's (R_A + H0)/R_A departs from it by up to
// H0 (N - M)/(2 R^2) as the sides turn (docs/reduction.md), the row's model
// allowance. Noise is added (the orientation angle's that of the
// adjustment's weights, 1 arc s to 1 m of side: 0.001 arc s with 1 mm
// sides), the file written and read, its sides reduced and the chain
// adjusted: every new point within the noise of its true place.
struct ChainCase {
    const char* why;
    chain::Closing closing;
    int N;
    EllipsoidName ellipsoid;
    const char* ellipsoidText;
    const char* centralMeridian;  // as typed [D.MMSS]
    double L0, E0;                // [deg], [m]
    double northing;              // X of A [m]
    double eastKm;                // y of A [km]
    double Hlow, Hhigh;           // the marks' normal heights [m]
    MeasuredSideKind kind;
    double H0, zeta, c0Mm, m0MmPerKm;
    double noiseMm;               // sides [mm]; the orientation angle 0.001 arc s per mm
    double modelMm;               // what the model may add to a point's offset [mm]
};
using chain::Closing;
using K = MeasuredSideKind;
using E = EllipsoidName;
const ChainCase kChains[] = {
    {"3-degree zone, on the meridian, sea level, slope, on C", Closing::NoAzimuth, 6, E::CGCS2000, "CGCS2000", "117", 117,
     500000, 3.4e6, 2, 0, 40, K::Slope, 0, 0, 0, 0, 1, 0},
    {"3-degree zone, 150 km east, 500 m, horizontal, with D", Closing::PointD, 6, E::CGCS2000, "", "117", 117, 500000,
     3.4e6, 150, 450, 650, K::Horizontal, 0, 0, 0, 0, 1, 0},
    {"3-degree zone, 150 km west, 3000 m, slope, external azimuth", Closing::ExternalAzimuth, 5, E::CGCS2000, "CGCS2000",
     "117", 117, 500000, 3.3e6, -150, 2700, 3000, K::Slope, 0, 0, 0, 0, 1, 0},
    {"6-degree zone 20 with its number, 300 km east, 1500 m, slope, with D", Closing::PointD, 5, E::CGCS2000, "CGCS2000",
     "117", 117, 20500000, 4.5e6, 300, 1300, 1700, K::Slope, 0, 0, 0, 0, 1, 0},
    {"6-degree zone, 280 km west, anomaly -25, horizontal, external azimuth", Closing::ExternalAzimuth, 6, E::WGS84,
     "WGS84", "111", 111, 500000, 2.6e6, -280, 1400, 1600, K::Horizontal, 0, -25, 0, 0, 1, 0},
    {"西安80, 3-degree zone 38 with its number, 100 km east, constants, slope, on C", Closing::NoAzimuth, 5, E::Xian80,
     "西安80", "114", 114, 38500000, 5.0e6, 100, 200, 800, K::Slope, 0, 12, 5, 3, 1, 0},
    {"北京54, L0 113°30′, 50 km west, 2300 m, horizontal, with D", Closing::PointD, 4, E::Beijing54, "北京54", "113.30",
     113.5, 500000, 4.0e6, -50, 2200, 2500, K::Horizontal, 0, 30, -3, -2, 1, 0},
    {"3-degree zone, 30 km east, 500 m, surface at 500 m, slope, external azimuth", Closing::ExternalAzimuth, 6,
     E::CGCS2000, "CGCS2000", "117", 117, 500000, 3.4e6, 30, 450, 550, K::Slope, 500, 0, 0, 0, 1, 1.0},
    {"3-degree zone, 140 km east, 1000 m, slope, external azimuth, without noise", Closing::ExternalAzimuth, 4, E::CGCS2000,
     "CGCS2000", "117", 117, 500000, 3.4e6, 140, 900, 1100, K::Slope, 0, 0, 0, 0, 0, 0},
};

std::string Fixed(double v, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

struct EllipsoidChain {
    ObservationRecord record;
    chain::GeneratedChain plane;
};

EllipsoidChain Generate(const ChainCase& c, std::uint64_t seed)
{
    chain::ChainSpec spec;
    spec.triangles = c.N;
    spec.closing = c.closing;
    spec.seed = seed;
    spec.sideScale = 2000;
    spec.offsetX = c.northing;
    spec.offsetY = c.E0 + c.eastKm * 1000;
    spec.orientationNoiseSec = 0;
    EllipsoidChain out{{}, chain::GenerateChain(spec)};
    const chain::GeneratedChain& g = out.plane;
    const int N = g.N;

    // the grid of a projection surface at H0: the zone's scaled by 1 + H0/R_m
    // (R_m = sqrt(M N) at the latitude of A)
    const EllipsoidConstants e = ConstantsOf(c.ellipsoid);
    const double Bstart = GaussKrugerZone(c.ellipsoid, c.L0, c.E0).Geographic({c.northing, spec.offsetY}).B;
    const GeographicLib::TransverseMercator grid(e.a, 1 / e.inverseFlattening,
                                                 1 + c.H0 / std::sqrt(MeanRadiusSquared(c.ellipsoid, Bstart)));
    const GeographicLib::Geocentric earth(e.a, 1 / e.inverseFlattening);
    const GeographicLib::Geodesic geodesic(e.a, 1 / e.inverseFlattening);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> height(c.Hlow, c.Hhigh);
    std::normal_distribution<double> noise(0, 1);

    auto geographic = [&](int id) {
        GeographicPosition p;
        grid.Reverse(c.L0, g.Pt(id).y - c.E0, g.Pt(id).x, p.B, p.L, p.gamma, p.k);
        return p;
    };
    std::map<int, double> H;
    for (int id = chain::POINT_A; id <= N; ++id) H[id] = std::round(height(rng) * 1000) / 1000;
    auto geocentric = [&](int id, double h) {
        const GeographicPosition p = geographic(id);
        std::array<double, 3> xyz{};
        earth.Forward(p.B, p.L, h, xyz[0], xyz[1], xyz[2]);
        return xyz;
    };
    auto chord = [](const std::array<double, 3>& p, const std::array<double, 3>& q) {
        return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
    };

    ReductionRecord& r = out.record.reduction;
    r.sideKind = c.kind == K::Slope ? "斜距" : "平距";
    r.ellipsoid = c.ellipsoidText;
    r.centralMeridian = c.centralMeridian;
    if (c.E0 != 500000) r.falseEasting = Fixed(c.E0, 0);
    if (c.H0 != 0) r.surfaceHeight = Fixed(c.H0, 3);
    if (c.zeta != 0) r.heightAnomaly = Fixed(c.zeta, 3);
    if (c.c0Mm != 0) r.addConstantMm = Fixed(c.c0Mm, 1);
    if (c.m0MmPerKm != 0) r.scaleConstantMmPerKm = Fixed(c.m0MmPerKm, 1);

    std::map<int, std::string> sideText;
    for (int k = 2; k <= 2 * N + 1; ++k) {
        if (!g.sideTyped.at(static_cast<std::size_t>(k))) continue;
        const chain::SideEnds ends = g.sideEnds.at(static_cast<std::size_t>(k));
        double measured = 0;
        if (c.kind == K::Slope) {
            const double i = 1.2 + 0.01 * k, v = 1.5 + 0.02 * k;
            r.sideHeights.push_back({k, Fixed(i, 3), Fixed(v, 3)});
            measured = chord(geocentric(ends.from, H[ends.from] + c.zeta + i), geocentric(ends.to, H[ends.to] + c.zeta + v));
        } else {
            const double hm = (H[ends.from] + H[ends.to]) / 2 + c.zeta;
            measured = chord(geocentric(ends.from, hm), geocentric(ends.to, hm));
        }
        measured = (measured - c.c0Mm / 1000) / (1 + c.m0MmPerKm / 1e6) + c.noiseMm / 1000 * noise(rng);
        sideText[k] = Fixed(measured, 6);
    }

    // the orientation angle at C, measured on the ground, to the grid azimuth Tb
    std::string Tb = "0", Qb = "0";
    if (c.closing == Closing::ExternalAzimuth) {
        const GeographicPosition C = geographic(g.cIndex), P = geographic(g.station.at(static_cast<std::size_t>(N)));
        double toP = 0, azi2 = 0;
        geodesic.Inverse(C.B, C.L, P.B, P.L, toP, azi2);
        double typedTb = 0;
        Tb = chain::PackedAngleText(g.azimuthTypedDeg, &typedTb);
        double Q = typedTb + C.gamma - toP + 0.001 * c.noiseMm * noise(rng) / 3600;
        Q -= 360 * std::round(Q / 360);
        double typedQ = 0;
        Qb = chain::PackedAngleText(Q, &typedQ);
    }

    const bool withD = c.closing == Closing::PointD;
    const bool lastEqual = withD && g.signs.at(static_cast<std::size_t>(N)) == g.signs.at(static_cast<std::size_t>(N - 1));
    const int Kpoints = UnknownPointCount(N, withD, lastEqual);
    const double coordinates[] = {g.A.x, g.A.y, g.B.x, g.B.y, g.C.x, g.C.y, withD ? g.D.x : 0, withD ? g.D.y : 0};
    for (ValueKey key : DialogueKeys(N, withD, lastEqual)) {
        std::string text;
        switch (key.kind) {
        case ValueKind::TriangleCount: text = std::to_string(N); break;
        case ValueKind::Coordinate: text = withD || key.index < 6 ? Fixed(coordinates[key.index], 6) : "0"; break;
        case ValueKind::ExternalAzimuth: text = Tb; break;
        case ValueKind::OrientationAngle: text = Qb; break;
        case ValueKind::Side: {
            const int sign = key.index % 2 == 0 ? g.signs.at(static_cast<std::size_t>(key.index / 2)) : 1;
            text = (sign < 0 ? "-" : "") + sideText.at(key.index);
            break;
        }
        case ValueKind::PointName: text = key.index == 0 ? "B" : "P" + std::to_string(key.index); break;
        }
        out.record.values.push_back({key, text});
    }
    out.record.complete = true;

    for (int id = chain::POINT_A; id <= N; ++id) {
        const std::string mark = id == chain::POINT_A ? "A"
                                 : id == 0            ? "B"
                                 : id == g.cIndex     ? "C"
                                 : id == g.dIndex     ? "D"
                                 : id > Kpoints       ? "C后"
                                                      : std::to_string(id);
        r.heights.push_back({mark, Fixed(H[id], 3)});
    }
    return out;
}

// The largest distance of a new point from its true place [m], and the
// largest of that distance over its standard error from the noise.
struct Offsets {
    double largest = 0, largestRatio = 0;
};
Offsets OffsetsOf(const BatchRun& run, const chain::GeneratedChain& g, double noiseMm, double modelMm = 0)
{
    Offsets o;
    const ChainResult& r = run.completed->result;
    for (int id = 1; id <= r.ResultPointCount; ++id) {
        if (id == g.cIndex) continue;
        const auto i = static_cast<std::size_t>(id);
        const double off = std::hypot(r.PointX[i] - g.Pt(id).x, r.PointY[i] - g.Pt(id).y);
        const PointPrecision& q = r.PointPrecisions.at(i);
        const double sigma = std::max(noiseMm, 0.05) / 1000 * std::sqrt(q.Qxx + q.Qyy);
        o.largest = std::max(o.largest, off);
        o.largestRatio = std::max(o.largestRatio, std::max(0.0, off - modelMm / 1000) / sigma);
    }
    return o;
}

TEST(GaussPlane, ChainsGeneratedOnTheEllipsoidAdjustToTheirTrueGridCoordinates)
{
    std::uint64_t seed = 11;
    for (const ChainCase& c : kChains) {
        SCOPED_TRACE(c.why);
        const EllipsoidChain chain = Generate(c, ++seed);
        const std::string file = WriteObservationFile(chain.record);
        auto read = ReadChainFile(file);
        if (const FileError* error = std::get_if<FileError>(&read)) {
            ADD_FAILURE() << FormatFileError(*error) << "\n" << file;
            continue;
        }
        const BatchRun run = RunChainFile(std::get<ChainFile>(read));
        ASSERT_TRUE(run.Completed()) << run.outcome.reason << "\n" << file;
        const Offsets reduced = OffsetsOf(run, chain.plane, c.noiseMm, c.modelMm);
        // within the noise: 4 standard errors of the point (0.05 mm without
        // noise), beyond the model's allowance
        EXPECT_LT(reduced.largestRatio, 4.0) << "largest offset " << reduced.largest * 1000 << " mm";
        for (const ListedSide& side : run.completed->listing.sides) EXPECT_EQ(side.reduction.has_value(), !side.known);

        // the same file without its reduction misses by far more, except on
        // the meridian at sea level
        ObservationRecord plane = chain.record;
        plane.reduction = ReductionRecord{};
        const BatchRun unreduced = RunRecord(plane);
        if (unreduced.Completed() && c.eastKm > 10) {
            EXPECT_GT(OffsetsOf(unreduced, chain.plane, c.noiseMm).largest, 20 * std::max(reduced.largest, 1e-3));
        }
    }
}

}  // namespace
