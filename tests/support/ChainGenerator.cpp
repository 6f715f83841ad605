#include "support/ChainGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <stdexcept>

namespace chain {

namespace {

constexpr double DEG = std::numbers::pi / 180.0;

// splitmix64 seeding a xorshift generator: small, portable and reproducible.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed + 0x9E3779B97F4A7C15ull) { Next(); }

    std::uint64_t Next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform01() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform01(); }
    // Box-Muller, one value per call.
    double Normal()
    {
        double u1 = Uniform01();
        if (u1 < 1e-300) u1 = 1e-300;
        double u2 = Uniform01();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

private:
    std::uint64_t state_;
};

double RoundMicro(double v) { return std::round(v * 1e6) / 1e6; }

Point2 Rounded(Point2 p) { return {RoundMicro(p.x), RoundMicro(p.y)}; }

double Dist(const Point2& p, const Point2& q) { return std::hypot(q.x - p.x, q.y - p.y); }

// Interior angle at vertex p of triangle (p, q, r), degrees.
double AngleAt(const Point2& p, const Point2& q, const Point2& r)
{
    double ux = q.x - p.x, uy = q.y - p.y, vx = r.x - p.x, vy = r.y - p.y;
    return std::atan2(std::fabs(ux * vy - uy * vx), ux * vx + uy * vy) / DEG;
}

// Which side of the line p -> q the point r lies on: +1, -1 or 0.
int SideOf(const Point2& p, const Point2& q, const Point2& r)
{
    double c = (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x);
    return c > 0 ? 1 : (c < 0 ? -1 : 0);
}

std::string Fixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

double Normalise180(double deg)
{
    deg = std::fmod(deg, 360.0);
    if (deg <= -180) deg += 360;
    if (deg > 180) deg -= 360;
    return deg;
}

}  // namespace

double AzimuthDeg(const Point2& p, const Point2& q)
{
    double a = std::atan2(q.y - p.y, q.x - p.x) / DEG;
    if (a < 0) a += 360;
    if (a >= 360) a -= 360;
    return a;
}

std::string PackedAngleText(double degrees, double* typedDeg)
{
    bool negative = degrees < 0;
    // whole units of 1e-6 arc seconds
    constexpr long long PER_SECOND = 1000000LL;
    long long units = std::llround(std::fabs(degrees) * 3600.0 * static_cast<double>(PER_SECOND));
    long long d = units / (3600 * PER_SECOND);
    long long rest = units % (3600 * PER_SECOND);
    long long m = rest / (60 * PER_SECOND);
    long long secUnits = rest % (60 * PER_SECOND);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%lld.%02lld%02lld%06lld", negative ? "-" : "", d, m, secUnits / PER_SECOND,
                  secUnits % PER_SECOND);
    // the program reads the seconds digits as one decimal number
    double value = (static_cast<double>(d) + static_cast<double>(m) / 60.0) +
                   (static_cast<double>(secUnits) / static_cast<double>(PER_SECOND)) / 3600.0;
    if (typedDeg) *typedDeg = negative ? -value : value;
    return buf;
}

int GeneratedChain::ApexOpposite(int i) const
{
    int st = station.at(static_cast<std::size_t>(i));
    int prevStation = station.at(static_cast<std::size_t>(i - 1));
    return st == i - 1 ? prevStation : i - 1;
}

std::vector<int> ZigzagSigns(int n)
{
    std::vector<int> s(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) s[static_cast<std::size_t>(i)] = i % 2 == 0 ? -1 : 1;
    return s;
}

bool ValidSigns(const std::vector<int>& signs, Closing closing)
{
    const int n = static_cast<int>(signs.size());
    if (n < 1) return false;
    for (int v : signs)
        if (v != 1 && v != -1) return false;
    if (closing != Closing::PointD) return true;
    if (n < 2) return false;
    if (n == 2 && signs[0] == signs[1]) return false;
    if (n >= 3 && signs[static_cast<std::size_t>(n - 1)] == signs[static_cast<std::size_t>(n - 2)] &&
        signs[static_cast<std::size_t>(n - 2)] == signs[static_cast<std::size_t>(n - 3)])
        return false;
    return true;
}

// With D the last three signs must not be equal: flip the last sign when needed
// (that can only shorten the last run).
static void FixEnd(std::vector<int>& s, Closing closing)
{
    if (closing == Closing::PointD && !ValidSigns(s, closing) && !s.empty()) s.back() = -s.back();
}

std::vector<int> PivotSigns(int n, int run, Closing closing)
{
    if (run < 1) run = 1;
    std::vector<int> s(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) s[static_cast<std::size_t>(i)] = (i / run) % 2 == 0 ? -1 : 1;
    FixEnd(s, closing);
    return s;
}

std::vector<int> RandomSigns(int n, std::uint64_t seed, Closing closing, int maxRun)
{
    Random rng(seed * 7919 + 17);
    std::vector<int> s;
    int runLength = 0;
    for (int i = 0; i < n; ++i) {
        int v = rng.Uniform01() < 0.5 ? -1 : 1;
        if (!s.empty() && v == s.back() && runLength >= maxRun) v = -v;
        runLength = (!s.empty() && v == s.back()) ? runLength + 1 : 1;
        s.push_back(v);
    }
    FixEnd(s, closing);
    return s;
}

// True points of B (A-B) and points 1..N with their stations. False when a
// triangle found no admissible place.
static bool DrawGeometry(GeneratedChain& g, const ChainSpec& spec, Random& rng)
{
    const int N = g.N;
    const auto n = static_cast<std::size_t>(N);
    const double scale = spec.sideScale;
    // Start side A-B.
    double t0 = rng.Uniform(0, 360);
    g.A = Rounded({spec.offsetX + rng.Uniform(-0.1, 0.1) * scale, spec.offsetY + rng.Uniform(-0.1, 0.1) * scale});
    double sAB = scale * rng.Uniform(0.9, 1.1);
    g.B = Rounded({g.A.x + sAB * std::cos(t0 * DEG), g.A.y + sAB * std::sin(t0 * DEG)});

    g.points.assign(n + 1, Point2{});
    g.points[0] = g.B;
    g.station.assign(n + 1, POINT_A);
    // angle sums around every point (index id + 1), to keep fans from overlapping
    std::vector<double> angleSum(n + 2, 0.0);
    auto sumAt = [&angleSum](int id) -> double& { return angleSum[static_cast<std::size_t>(id + 1)]; };

    for (int i = 1; i <= N; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        bool advance = i == 1 || g.signs[ui] != g.signs[ui - 1];
        int st = i == 1 ? 0 : (advance ? i - 1 : g.station[ui - 1]);
        g.station[ui] = st;
        // the other end of side 2i-1, seen from the station
        int other = st == i - 1 ? g.station[ui - 1] : i - 1;
        const Point2 S = g.Pt(st), O = g.Pt(other);
        double back = AzimuthDeg(S, O);
        // the vertex of the previous triangle across side 2i-1
        int apex = i >= 2 ? g.ApexOpposite(i - 1) : 0;

        // Draw several admissible placements and keep the one farthest from A,
        // so that the strip keeps moving away from its start instead of curling.
        bool placed = false;
        Point2 best{};
        double bestReach = -1, bestS = 0, bestO = 0, bestP = 0;
        int admissible = 0;
        for (int attempt = 0; attempt < 400 && admissible < 6; ++attempt) {
            double upper = std::min(78.0, 335.0 - sumAt(st) - 55.0);
            double lower = std::min(45.0, upper - 8.0);
            if (upper < 32.0) break;
            double beta = rng.Uniform(lower, upper);
            double len = scale * rng.Uniform(0.8, 1.25);
            double t = back + g.signs[ui] * beta;
            Point2 P = Rounded({S.x + len * std::cos(t * DEG), S.y + len * std::sin(t * DEG)});

            double aS = AngleAt(S, O, P), aO = AngleAt(O, S, P), aP = AngleAt(P, S, O);
            if (std::min({aS, aO, aP}) < 30.0) continue;
            if (sumAt(st) + aS > 335.0 || sumAt(other) + aO > 335.0) continue;
            if (i >= 2 && SideOf(g.Pt(g.station[ui - 1]), g.Pt(i - 1), P) ==
                              SideOf(g.Pt(g.station[ui - 1]), g.Pt(i - 1), g.Pt(apex)))
                continue;  // would fold back over the previous triangle
            bool clear = Dist(P, g.A) > 0.45 * scale;
            for (int j = 0; j < i && clear; ++j) clear = Dist(P, g.points[static_cast<std::size_t>(j)]) > 0.45 * scale;
            if (!clear) continue;

            ++admissible;
            double reach = Dist(P, g.A);
            if (reach > bestReach) {
                bestReach = reach;
                best = P;
                bestS = aS;
                bestO = aO;
                bestP = aP;
            }
            placed = true;
        }
        if (!placed) return false;
        g.points[ui] = best;
        sumAt(st) += bestS;
        sumAt(other) += bestO;
        sumAt(i) += bestP;
    }
    return true;
}

GeneratedChain GenerateChain(const ChainSpec& spec)
{
    const int N = spec.triangles;
    if (N < 1) throw std::invalid_argument("chain: N must be at least 1");
    std::vector<int> typedSigns = spec.signs.empty() ? ZigzagSigns(N) : spec.signs;
    if (static_cast<int>(typedSigns.size()) != N) throw std::invalid_argument("chain: one sign per triangle");
    if (!ValidSigns(typedSigns, spec.closing)) throw std::invalid_argument("chain: sign pattern not accepted");

    const auto n = static_cast<std::size_t>(N);
    GeneratedChain g;
    g.spec = spec;
    g.N = N;
    g.signs.assign(n + 1, 0);
    for (std::size_t i = 1; i <= n; ++i) g.signs[i] = typedSigns[i - 1];

    // A strip that curls back onto itself leaves no room for the next triangle;
    // such a draw is thrown away and the whole geometry drawn again.
    Random rng(spec.seed);
    bool built = false;
    for (std::uint64_t draw = 0; draw < 32 && !built; ++draw) {
        if (draw > 0) rng = Random(spec.seed + 0x51ED2701ull * draw);
        built = DrawGeometry(g, spec, rng);
    }
    if (!built) throw std::runtime_error("chain: no room for the triangles (seed " + std::to_string(spec.seed) + ")");

    // Known closing points and the unknown points.
    if (spec.closing == Closing::PointD) {
        g.dIndex = N;
        g.D = g.points[n];
        g.cIndex = g.station[n];
        g.C = g.Pt(g.cIndex);
        for (int i = 1; i <= N - 1; ++i)
            if (i != g.cIndex) g.unknownPoints.push_back(i);
    } else {
        g.cIndex = N;
        g.C = g.points[n];
        for (int i = 1; i <= N - 1; ++i) g.unknownPoints.push_back(i);
    }

    // Sides: ends, true lengths, typed lengths.
    const std::size_t sides = 2 * n + 2;
    g.sideEnds.assign(sides, SideEnds{});
    g.trueSides.assign(sides, 0.0);
    g.typedSides.assign(sides, 0.0);
    g.sideTyped.assign(sides, false);
    g.sideEnds[1] = {POINT_A, 0};
    for (int i = 1; i <= N; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        g.sideEnds[2 * ui + 1] = {g.station[ui], i};
        g.sideEnds[2 * ui] = {g.ApexOpposite(i), i};
    }
    for (std::size_t k = 1; k < sides; ++k) {
        g.trueSides[k] = Dist(g.Pt(g.sideEnds[k].from), g.Pt(g.sideEnds[k].to));
        g.typedSides[k] = g.trueSides[k];
    }
    std::vector<std::string> sideText(sides);
    for (std::size_t k = 2; k < sides; ++k) {
        if (k == sides - 1 && spec.closing == Closing::PointD) continue;  // C-D comes from coordinates
        double noisy = g.trueSides[k] + spec.noiseMm * 1e-3 * rng.Normal();
        sideText[k] = Fixed(noisy, 9);
        g.typedSides[k] = std::strtod(sideText[k].c_str(), nullptr);
        g.sideTyped[k] = true;
    }

    // Orientation data at C.
    std::string azimuthText = "0", orientationText = "0";
    if (spec.closing == Closing::ExternalAzimuth) {
        double back = AzimuthDeg(g.C, g.Pt(g.station[n]));
        double tb = std::fmod(back + rng.Uniform(95.0, 265.0), 360.0);
        if (tb < 1.0 / 3600.0) tb += 1.0;  // an azimuth typed as 0 would mean "none"
        azimuthText = PackedAngleText(tb, &g.azimuthTypedDeg);
        g.orientationTrueDeg = Normalise180(g.azimuthTypedDeg - back);
        double noisy = g.orientationTrueDeg + spec.orientationNoiseSec * rng.Normal() / 3600.0;
        orientationText = PackedAngleText(noisy, &g.orientationTypedDeg);
    }

    // The operator's answers, in the order the run asks them.
    std::vector<std::string>& a = g.answers;
    auto confirmed = [&a](const std::string& v) {
        a.push_back(v);
        a.push_back("");
    };
    a.push_back(std::to_string(N));
    confirmed(Fixed(g.A.x, 6));
    confirmed(Fixed(g.A.y, 6));
    confirmed(Fixed(g.B.x, 6));
    confirmed(Fixed(g.B.y, 6));
    confirmed(Fixed(g.C.x, 6));
    confirmed(Fixed(g.C.y, 6));
    confirmed(spec.closing == Closing::PointD ? Fixed(g.D.x, 6) : "0");
    confirmed(spec.closing == Closing::PointD ? Fixed(g.D.y, 6) : "0");
    if (spec.closing != Closing::PointD) {
        confirmed(azimuthText);
        confirmed(orientationText);
    }
    auto signedSide = [&](std::size_t k, int sign) { return sign < 0 ? "-" + sideText[k] : sideText[k]; };
    confirmed(signedSide(2, g.signs[1]));
    for (std::size_t k = 2; k <= n; ++k) {
        confirmed(sideText[2 * k - 1]);
        confirmed(signedSide(2 * k, g.signs[k]));
    }
    if (spec.closing != Closing::PointD) confirmed(sideText[2 * n + 1]);

    confirmed("B");
    bool pointAfterC = spec.closing == Closing::PointD && g.signs[n] == g.signs[n - 1];
    std::size_t before = pointAfterC ? g.unknownPoints.size() - 1 : g.unknownPoints.size();
    for (std::size_t j = 0; j < before; ++j) confirmed("P" + std::to_string(g.unknownPoints[j]));
    confirmed("C");
    if (pointAfterC) confirmed("P" + std::to_string(g.unknownPoints.back()));
    int shown = spec.closing == Closing::PointD ? N - 1 : N;
    for (int j = 0; j <= shown; ++j) a.push_back("");
    return g;
}

const char* ClosingName(Closing closing)
{
    switch (closing) {
    case Closing::PointD: return "D given";
    case Closing::ExternalAzimuth: return "external azimuth";
    case Closing::NoAzimuth: return "no azimuth data";
    }
    return "?";
}

}  // namespace chain
