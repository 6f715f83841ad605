#include "PropertyChain.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "state/RunFault.h"
#include "display/CoordinateDisplay.h"
#include "files/DialogueSequence.h"
#include "run/ScriptedPlatform.h"

namespace props {

namespace {

std::string Fixed(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

double RoundMicro(double v) { return std::round(v * 1e6) / 1e6; }

// (O - S) x (P - S): positive when P lies clockwise from O as seen from S
// (X north, Y east, azimuths clockwise).
double Cross(const Point2& S, const Point2& O, const Point2& P)
{
    return (O.x - S.x) * (P.y - S.y) - (O.y - S.y) * (P.x - S.x);
}

std::string NegatedText(const std::string& t)
{
    if (t == "0") return t;
    return t.front() == '-' ? t.substr(1) : "-" + t;
}

struct NullStream {
    std::FILE* f = std::fopen("/dev/null", "w");
    ~NullStream()
    {
        if (f) std::fclose(f);
    }
};

std::string EndLine(const RunOutcome& o)
{
    switch (o.kind) {
    case RunOutcome::Completed: return "completed";
    case RunOutcome::Cancelled: return "cancelled";
    case RunOutcome::Failed: return "failed\t" + o.reason;
    }
    return "?";
}

}  // namespace

double Dist(const Point2& p, const Point2& q) { return std::hypot(q.x - p.x, q.y - p.y); }

double AngleDiffDeg(double a, double b) { return std::remainder(a - b, 360.0); }

int ChainData::Station(int i) const
{
    if (i == 0) return chain::POINT_A;
    if (i == 1) return 0;
    const auto u = static_cast<std::size_t>(i);
    return signs[u] != signs[u - 1] ? i - 1 : Station(i - 1);
}

int ChainData::Apex(int i) const
{
    int st = Station(i);
    return st == i - 1 ? Station(i - 1) : i - 1;
}

int ChainData::CIndex() const { return closing == Closing::PointD ? Station(N) : N; }

std::vector<int> ChainData::UnknownPoints() const
{
    std::vector<int> ids;
    const int c = CIndex();
    for (int i = 1; i <= N - 1; ++i)
        if (i != c) ids.push_back(i);
    return ids;
}

ChainData FromGenerated(const chain::GeneratedChain& g, const std::string& label)
{
    ChainData c;
    c.N = g.N;
    c.closing = g.spec.closing;
    c.signs = g.signs;
    c.A = g.A;
    c.points = g.points;
    c.sides = g.typedSides;
    if (c.closing == Closing::ExternalAzimuth) {
        c.azimuthDeg = g.azimuthTypedDeg;
        c.orientationDeg = g.orientationTypedDeg;
        // the typed texts, as the generator wrote them
        c.azimuthText = g.answers.at(17);
        c.orientationText = g.answers.at(19);
    }
    c.label = label;
    return c;
}

ChainData FromPoints(const Point2& A, const std::vector<Point2>& points, const std::vector<int>& signs,
                     Closing closing, const std::string& label, double azimuthDeg)
{
    ChainData c;
    c.N = static_cast<int>(signs.size());
    if (static_cast<int>(points.size()) != c.N + 1) throw std::logic_error("FromPoints: need points 0..N");
    c.closing = closing;
    c.label = label;
    c.signs.assign(1, 0);
    c.signs.insert(c.signs.end(), signs.begin(), signs.end());
    c.A = {RoundMicro(A.x), RoundMicro(A.y)};
    for (const Point2& p : points) c.points.push_back({RoundMicro(p.x), RoundMicro(p.y)});

    const auto n = static_cast<std::size_t>(c.N);
    c.sides.assign(2 * n + 2, 0.0);
    c.sides[1] = Dist(c.A, c.points[0]);
    for (int i = 1; i <= c.N; ++i) {
        const int st = c.Station(i), apex = c.Apex(i);
        double side = Cross(c.Pt(st), c.Pt(apex), c.Pt(i));
        int sign = side > 0 ? 1 : (side < 0 ? -1 : 0);
        if (sign != 0 && sign != c.signs[static_cast<std::size_t>(i)])
            throw std::logic_error(label + ": sign of triangle " + std::to_string(i) + " does not match its points");
        const auto u = static_cast<std::size_t>(i);
        c.sides[2 * u + 1] = Dist(c.Pt(st), c.Pt(i));
        c.sides[2 * u] = Dist(c.Pt(apex), c.Pt(i));
    }
    if (closing == Closing::ExternalAzimuth) {
        c.azimuthText = chain::PackedAngleText(azimuthDeg, &c.azimuthDeg);
        double back = chain::AzimuthDeg(c.C(), c.Pt(c.Station(c.N)));
        c.orientationText = chain::PackedAngleText(AngleDiffDeg(c.azimuthDeg, back), &c.orientationDeg);
    }
    return c;
}

ChainData Mirrored(const ChainData& c)
{
    ChainData m = c;
    m.label = c.label + ", mirrored";
    m.A.y = -m.A.y;
    for (Point2& p : m.points) p.y = -p.y;
    for (int& s : m.signs) s = -s;
    if (c.closing == Closing::ExternalAzimuth) {
        m.azimuthText = chain::PackedAngleText(360.0 - c.azimuthDeg, &m.azimuthDeg);
        m.orientationText = NegatedText(c.orientationText);
        m.orientationDeg = -c.orientationDeg;
    }
    return m;
}

std::vector<std::string> Answers(const ChainData& c, bool withPacing)
{
    std::vector<std::string> a;
    auto confirmed = [&a](const std::string& v) {
        a.push_back(v);
        a.push_back("");
    };
    const bool withD = c.closing == Closing::PointD;
    const Point2 C = c.C();
    a.push_back(std::to_string(c.N));
    confirmed(Fixed(c.A.x, 6));
    confirmed(Fixed(c.A.y, 6));
    confirmed(Fixed(c.points[0].x, 6));
    confirmed(Fixed(c.points[0].y, 6));
    confirmed(Fixed(C.x, 6));
    confirmed(Fixed(C.y, 6));
    confirmed(withD ? Fixed(c.Pt(c.N).x, 6) : "0");
    confirmed(withD ? Fixed(c.Pt(c.N).y, 6) : "0");
    if (!withD) {
        confirmed(c.azimuthText);
        confirmed(c.orientationText);
    }
    auto side = [&c](int k) { return Fixed(c.sides[static_cast<std::size_t>(k)], 9); };
    auto signedSide = [&](int i) {
        return c.signs[static_cast<std::size_t>(i)] < 0 ? "-" + side(2 * i) : side(2 * i);
    };
    confirmed(signedSide(1));
    for (int k = 2; k <= c.N; ++k) {
        confirmed(side(2 * k - 1));
        confirmed(signedSide(k));
    }
    if (!withD) confirmed(side(2 * c.N + 1));

    confirmed("B");
    const auto n = static_cast<std::size_t>(c.N);
    const bool afterC = withD && c.signs[n] == c.signs[n - 1];
    const int K = withD ? (afterC ? c.N - 3 : c.N - 2) : c.N - 1;
    for (int i = 1; i <= K; ++i) confirmed("P" + std::to_string(i));
    confirmed("C");
    if (afterC) confirmed("P" + std::to_string(K + 2));
    if (withPacing) {
        const int shown = withD ? c.N - 1 : c.N;
        for (int j = 0; j <= shown; ++j) a.push_back("");
    }
    return a;
}

namespace {

// The scripted operator, keeping the texts of the message boxes.
struct MessageKeeping : ScriptedPlatform {
    using ScriptedPlatform::ScriptedPlatform;
    std::vector<std::string> messages;
    void MessageBox(const std::string& text) override
    {
        messages.push_back(text);
        ScriptedPlatform::MessageBox(text);
    }
};

}  // namespace

ProgramRun RunChain(const std::vector<std::string>& answers)
{
    ProgramRun run;
    NullStream sink;
    MessageKeeping platform(answers);
    platform.StreamTo(sink.f);
    run.outcome = AdjustmentRun(run.state, platform);
    run.inputLeft = platform.HasUnreadInput();
    run.messages = platform.messages;
    return run;
}

std::optional<EntryRefusal> TriangleRefusedAtEntry(const std::vector<std::string>& answers)
{
    // answers: N, then every value followed by its confirmation
    DialogueSequence sequence;
    for (std::size_t at = 0; at < answers.size() && sequence.Next(); at += at == 0 ? 1 : 2) {
        const ValueKey key = *sequence.Next();
        Refusal refused = sequence.Take(answers[at]);
        if (!refused) continue;
        if (key.kind != ValueKind::Side) return std::nullopt;
        EntryRefusal r{*refused, {answers.begin(), answers.begin() + static_cast<long>(at) + 2}};
        r.answers.push_back(ScriptedPlatform::CANCEL);
        return r;
    }
    return std::nullopt;
}

ProgramRun RunChainWith(const std::vector<std::string>& answers, const ChainConstants& constants)
{
    ProgramRun run;
    NullStream sink;
    ScriptedPlatform p(answers);
    p.StreamTo(sink.f);
    RunOptions options;
    options.constants = constants;
    run.outcome = AdjustmentRun(run.state, p, options);
    run.inputLeft = p.HasUnreadInput();
    return run;
}

ProgramRun RunChainWithPi(const std::vector<std::string>& answers, double pi)
{
    ChainConstants constants;
    constants.PI_VALUE = pi;
    constants.RADIANS_PER_DEGREE = pi / 180;
    return RunChainWith(answers, constants);
}

std::vector<std::string> Session(const std::vector<std::string>& answers, ProgramState* state)
{
    auto s = std::make_unique<ProgramState>();
    NullStream sink;
    ScriptedPlatform platform(answers);
    platform.StreamTo(sink.f);
    std::vector<std::string> ends;
    do {
        RunOutcome o = AdjustmentRun(*s, platform);
        platform.EndRun(o);
        ends.push_back(EndLine(o));
    } while (platform.HasUnreadInput() && ends.size() < 100);
    if (state) *state = *s;
    return ends;
}

std::vector<Point2> Recompute(const ChainData& c, const std::vector<double>& sides)
{
    std::vector<Point2> p(static_cast<std::size_t>(c.N + 1));
    p[0] = c.points[0];
    auto at = [&](int id) -> const Point2& { return id == chain::POINT_A ? c.A : p[static_cast<std::size_t>(id)]; };
    for (int i = 1; i <= c.N; ++i) {
        const Point2 S = at(c.Station(i)), O = at(c.Apex(i));
        const double r1 = sides.at(static_cast<std::size_t>(2 * i + 1));  // station to point i
        const double r2 = sides.at(static_cast<std::size_t>(2 * i));      // apex to point i
        const double dx = O.x - S.x, dy = O.y - S.y;
        const double d = std::hypot(dx, dy);
        const double along = (r1 * r1 - r2 * r2 + d * d) / (2 * d);
        const double h = std::sqrt(std::max(0.0, r1 * r1 - along * along));
        const double ux = dx / d, uy = dy / d;
        // (-uy, ux) is the unit normal clockwise of S -> O, where a sign of +1 puts the point
        const double sign = c.signs[static_cast<std::size_t>(i)];
        p[static_cast<std::size_t>(i)] = {S.x + along * ux - sign * h * uy, S.y + along * uy + sign * h * ux};
    }
    return p;
}

Closure CloseChain(const ChainData& c, const ChainResult& result)
{
    Closure r;
    const std::vector<Point2> P = Recompute(c, result.SideLengths);
    const int ci = c.CIndex();
    const Point2 C = c.C();
    const Point2& Cr = P[static_cast<std::size_t>(ci)];
    r.cMiss = Dist(Cr, C);
    if (c.closing == Closing::PointD) {
        const Point2& D = c.Pt(c.N);
        r.azimuthMissSec = AngleDiffDeg(chain::AzimuthDeg(Cr, P[static_cast<std::size_t>(c.N)]), chain::AzimuthDeg(C, D)) * 3600;
    } else if (c.closing == Closing::ExternalAzimuth) {
        // the orientation angle takes its own share k1 * sigma of the azimuth
        // condition, a correction the program keeps to itself: Q + sigma v_Q
        const double sigma = c.orientationDeg > 0 ? 1 : (c.orientationDeg < 0 ? -1 : 0);
        r.orientationCorrectionSec = sigma * (result.Correlates[1] * sigma);
        double back = chain::AzimuthDeg(Cr, P[static_cast<std::size_t>(c.Station(c.N))]);
        r.azimuthMissSec =
            AngleDiffDeg(back + c.orientationDeg + r.orientationCorrectionSec / 3600, c.azimuthDeg) * 3600;
    }
    const auto uci = static_cast<std::size_t>(ci);
    r.programCMiss = Dist({result.PointX.at(uci), result.PointY.at(uci)}, C);
    const int n = c.closing == Closing::PointD ? c.N - 1 : c.N;
    for (int i = 1; i <= n; ++i) {
        const auto u = static_cast<std::size_t>(i);
        r.programVsRecomputed = std::max(r.programVsRecomputed, Dist({result.PointX.at(u), result.PointY.at(u)}, P[u]));
    }
    for (const Point2& p : c.points) r.extent = std::max(r.extent, Dist(p, c.points[0]));
    return r;
}

}  // namespace props
