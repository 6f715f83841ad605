// The sign finder on generated chains of every closing kind up to N = 200:
// every single wrong left/right named with the triangle where the misclosure
// appears, the orientation angle's wrong sign named, both of two equally good
// signs named, and no sign named where the chain went wrong through a wrong
// side length or a wrong coordinate. What is expected comes from the chain's
// truth: the sign that was reversed, and the misclosures of the true chain.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/AdjustChain.h"
#include "core/ChainPhases.h"
#include "core/Geometry.h"
#include "core/ObservationSigmas.h"
#include "core/RouteMotions.h"
#include "rules/FormFields.h"
#include "run/ScriptedPlatform.h"
#include "support/ChainGenerator.h"
#include "support/ChainTables.h"

namespace {

using chain::Closing;

enum class Slip {
    Sign,         // the route sign of triangle `which` reversed (0: each in turn)
    Orientation,  // the orientation angle's sign reversed
    SideLonger,   // side `which` typed `metres` too long (0: each typed side in turn)
    COff,         // Xc (which = 0) or Yc (which = 1) typed `metres` off
    BOff,         // Xb typed `metres` off: A-B and its azimuth change with it
    DOff,         // Yd typed `metres` off
};

enum class Named {
    TheSlip,         // one sign: the one reversed
    TheSlipAndSide4, // two equally good: the one reversed and S4
    Nothing,         // the run completes, or fails without naming a sign
};

struct Row {
    const char* why;
    Closing closing;
    int N;
    Slip slip;
    int which;
    double metres;
    Named named;
    bool equilateral = false;  // the hand chain of equilateral triangles of 100 m
};

const Row ROWS[] = {
    {"D given, N = 3, each sign", Closing::PointD, 3, Slip::Sign, 0, 0, Named::TheSlip},
    {"D given, N = 4, each sign", Closing::PointD, 4, Slip::Sign, 0, 0, Named::TheSlip},
    {"D given, N = 12, each sign", Closing::PointD, 12, Slip::Sign, 0, 0, Named::TheSlip},
    {"D given, N = 41, each sign", Closing::PointD, 41, Slip::Sign, 0, 0, Named::TheSlip},
    {"D given, N = 200, each sign", Closing::PointD, 200, Slip::Sign, 0, 0, Named::TheSlip},
    {"external azimuth, N = 1, the sign", Closing::ExternalAzimuth, 1, Slip::Sign, 0, 0, Named::TheSlip},
    {"external azimuth, N = 2, each sign", Closing::ExternalAzimuth, 2, Slip::Sign, 0, 0, Named::TheSlip},
    {"external azimuth, N = 12, each sign", Closing::ExternalAzimuth, 12, Slip::Sign, 0, 0, Named::TheSlip},
    {"external azimuth, N = 40, each sign", Closing::ExternalAzimuth, 40, Slip::Sign, 0, 0, Named::TheSlip},
    {"external azimuth, N = 200, each sign", Closing::ExternalAzimuth, 200, Slip::Sign, 0, 0, Named::TheSlip},
    {"C alone, N = 1, the sign", Closing::NoAzimuth, 1, Slip::Sign, 0, 0, Named::TheSlip},
    {"C alone, N = 2, each sign", Closing::NoAzimuth, 2, Slip::Sign, 0, 0, Named::TheSlip},
    {"C alone, N = 12, each sign", Closing::NoAzimuth, 12, Slip::Sign, 0, 0, Named::TheSlip},
    {"C alone, N = 40, each sign", Closing::NoAzimuth, 40, Slip::Sign, 0, 0, Named::TheSlip},
    {"C alone, N = 200, each sign", Closing::NoAzimuth, 200, Slip::Sign, 0, 0, Named::TheSlip},
    {"external azimuth, N = 1, orientation angle", Closing::ExternalAzimuth, 1, Slip::Orientation, 0, 0, Named::TheSlip},
    {"external azimuth, N = 12, orientation angle", Closing::ExternalAzimuth, 12, Slip::Orientation, 0, 0, Named::TheSlip},
    {"external azimuth, N = 200, orientation angle", Closing::ExternalAzimuth, 200, Slip::Orientation, 0, 0, Named::TheSlip},
    // (+,+,-) closes on C = (0, 200) from B = (0, 100); so do (-,-,-) and
    // (+,-,-): typed (-,+,-), S2 and S4 are equally good
    {"equilateral, N = 3, S2 of (+,+,-)", Closing::NoAzimuth, 3, Slip::Sign, 1, 0, Named::TheSlipAndSide4, true},
    {"D given, N = 12, each side 10 m long", Closing::PointD, 12, Slip::SideLonger, 0, 10, Named::Nothing},
    {"D given, N = 12, each side 100 m long", Closing::PointD, 12, Slip::SideLonger, 0, 100, Named::Nothing},
    {"D given, N = 200, S2 100 m long", Closing::PointD, 200, Slip::SideLonger, 2, 100, Named::Nothing},
    {"D given, N = 200, S201 10 m long", Closing::PointD, 200, Slip::SideLonger, 201, 10, Named::Nothing},
    {"external azimuth, N = 12, each side 10 m long", Closing::ExternalAzimuth, 12, Slip::SideLonger, 0, 10, Named::Nothing},
    {"external azimuth, N = 12, each side 100 m long", Closing::ExternalAzimuth, 12, Slip::SideLonger, 0, 100, Named::Nothing},
    {"external azimuth, N = 200, S401 100 m long", Closing::ExternalAzimuth, 200, Slip::SideLonger, 401, 100, Named::Nothing},
    {"C alone, N = 12, each side 10 m long", Closing::NoAzimuth, 12, Slip::SideLonger, 0, 10, Named::Nothing},
    {"C alone, N = 12, each side 100 m long", Closing::NoAzimuth, 12, Slip::SideLonger, 0, 100, Named::Nothing},
    {"C alone, N = 200, S200 10 m long", Closing::NoAzimuth, 200, Slip::SideLonger, 200, 10, Named::Nothing},
    {"D given, N = 12, Xc 10 m off", Closing::PointD, 12, Slip::COff, 0, 10, Named::Nothing},
    {"D given, N = 12, Yd 100 m off", Closing::PointD, 12, Slip::DOff, 0, 100, Named::Nothing},
    {"external azimuth, N = 12, Yc 100 m off", Closing::ExternalAzimuth, 12, Slip::COff, 1, 100, Named::Nothing},
    {"external azimuth, N = 40, Xb 10 m off", Closing::ExternalAzimuth, 40, Slip::BOff, 0, 10, Named::Nothing},
    {"C alone, N = 12, Xc 100 m off", Closing::NoAzimuth, 12, Slip::COff, 0, 100, Named::Nothing},
    {"C alone, N = 200, Xb 100 m off", Closing::NoAzimuth, 200, Slip::BOff, 0, 100, Named::Nothing},
};

chain::GeneratedChain Generated(const Row& row)
{
    chain::ChainSpec spec;
    spec.triangles = row.N;
    spec.closing = row.closing;
    spec.seed = 2200 + static_cast<std::uint64_t>(row.N);
    spec.noiseMm = 2;
    // random signs wind long chains into themselves: zigzag from 100 on
    spec.signs = row.N < 100 ? chain::RandomSigns(row.N, spec.seed, row.closing) : chain::ZigzagSigns(row.N);
    return chain::GenerateChain(spec);
}

// Equilateral triangles of 100 m from A = (0, 0), B = (0, 100), signs (+,+,-), on C alone.
ChainObservations Equilateral()
{
    ChainWork w;
    w.N = 3;
    w.Xb = 0, w.Yb = 100, w.Xc = 0, w.Yc = 200;
    w.AzimuthAB = AzimuthFromDifferences(0, 100, w.constants.RADIANS_PER_DEGREE).alpha;
    w.SideLengths.assign(8, 100.0);
    w.RouteSigns = {0, 1, 1, -1, 0};
    w.UnknownPointCount = 2;
    return ObservationsFromTables(w);
}

// Farthest true point from B [m].
double Extent(const chain::GeneratedChain& g)
{
    double extent = 0;
    for (const chain::Point2& p : g.points) extent = std::max(extent, std::hypot(p.x - g.B.x, p.y - g.B.y));
    return extent;
}

// The outcome names the reversed sign `side` (0: the orientation angle) of
// triangle `triangle` alone (or with S4), and its misclosures are those of
// the true chain (to the single precision they are kept in).
void ExpectNamed(const ChainOutcome& out, const Row& row, int side, int triangle, const ChainResult& truth)
{
    ASSERT_TRUE(out.fault);
    ASSERT_TRUE(out.diagnosis);
    const SignDiagnosis& d = *out.diagnosis;
    EXPECT_GT(d.statistic, d.critical);
    if (row.named == Named::TheSlipAndSide4) {
        ASSERT_EQ(d.verdict, SignVerdict::TwoSigns);
        std::vector<int> sides = {d.best[0].side, d.best[1].side};
        std::sort(sides.begin(), sides.end());
        EXPECT_EQ(sides, (std::vector<int>{side, 4}));
        EXPECT_EQ(d.firstTriangle, 1);
        return;
    }
    ASSERT_EQ(d.verdict, SignVerdict::OneSign) << "best " << d.best[0].side << " (" << d.best[0].statistic << ")";
    EXPECT_EQ(d.best[0].side, side);
    EXPECT_EQ(d.firstTriangle, triangle);
    EXPECT_LE(d.best[0].statistic, d.critical);
    if (d.best.size() > 1) {
        EXPECT_GE(d.best[1].statistic, 10 * d.best[0].statistic);
    }
    for (std::size_t j = 2; j <= 3; ++j) EXPECT_NEAR(d.best[0].w[j], truth.Misclosures[j], 1e-6) << "w" << j;
    if (d.conditions == 3) {
        EXPECT_NEAR(d.best[0].w[1], truth.Misclosures[1], 1e-3);
    }
}

void ExpectNothingNamed(const ChainOutcome& out)
{
    if (!out.fault) return;  // completed: nothing to explain
    EXPECT_NE(out.fault->kind, ChainFaultKind::SignMistyped);
    if (out.diagnosis) {
        EXPECT_EQ(out.diagnosis->verdict, SignVerdict::NoSingleSign) << "named S" << out.diagnosis->best[0].side;
    }
}

ChainObservations WithSideLonger(ChainObservations o, int k, double metres)
{
    o.sides[static_cast<std::size_t>(k)].used += metres;
    o.sides[static_cast<std::size_t>(k)].measured += metres;
    return o;
}

}  // namespace

TEST(SignFinder, NamesTheWrongSignAndNothingElse)
{
    for (const Row& row : ROWS) {
        SCOPED_TRACE(row.why);
        if (row.equilateral) {
            const ChainObservations truth = Equilateral();
            const ChainOutcome clean = AdjustChain(truth);
            ASSERT_FALSE(clean.fault);
            ExpectNamed(AdjustChain(WithSignReversed(truth, row.which)), row, 2 * row.which, row.which, clean.result);
            continue;
        }
        chain::GeneratedChain g = Generated(row);
        const ChainObservations truth = ObservationsOfGenerated(g);
        const ChainOutcome clean = AdjustChain(truth);
        ASSERT_FALSE(clean.fault) << "the true chain completes";
        EXPECT_FALSE(clean.diagnosis);
        switch (row.slip) {
        case Slip::Sign:
            for (int i = row.which ? row.which : 1; i <= (row.which ? row.which : row.N); ++i) {
                SCOPED_TRACE("S" + std::to_string(2 * i));
                ChainObservations typed = WithSignReversed(truth, i);
                std::vector<int> s = RouteSignsOf(typed);
                const int n = row.N;
                // with D the input refuses the last three signs equal: no run to explain
                if (row.closing == Closing::PointD && n >= 3 && s[n - 2] == s[n - 1] && s[n - 1] == s[n]) continue;
                ExpectNamed(AdjustChain(typed), row, 2 * i, i, clean.result);
            }
            break;
        case Slip::Orientation: {
            ChainObservations typed = truth;
            typed.orientation->angleDeg = -typed.orientation->angleDeg;
            ExpectNamed(AdjustChain(typed), row, 0, row.N + 1, clean.result);
            break;
        }
        case Slip::SideLonger:
            for (int k = row.which ? row.which : 2; k <= (row.which ? row.which : 2 * row.N + 1); ++k) {
                SCOPED_TRACE("S" + std::to_string(k));
                if (truth.sides[static_cast<std::size_t>(k)].fromCoordinates) continue;
                ExpectNothingNamed(AdjustChain(WithSideLonger(truth, k, row.metres)));
            }
            break;
        case Slip::COff: {
            ChainObservations typed = truth;
            (row.which == 0 ? typed.Xc : typed.Yc) += row.metres;
            ExpectNothingNamed(AdjustChain(typed));
            break;
        }
        case Slip::BOff:
            g.B.x += row.metres;
            ExpectNothingNamed(AdjustChain(ObservationsOfGenerated(g)));
            break;
        case Slip::DOff:
            g.D.y += row.metres;
            ExpectNothingNamed(AdjustChain(ObservationsOfGenerated(g)));
            break;
        }
    }
}

// Each candidate's misclosures and covariance, from the prefix and suffix
// products, against the chain with that sign reversed carried and linearised
// in full by the adjustment's own steps.
TEST(SignFinder, EveryCandidateAsTheFullComputationGivesIt)
{
    for (Closing closing : {Closing::PointD, Closing::ExternalAzimuth, Closing::NoAzimuth}) {
        const Row row{"", closing, 30, Slip::Sign, 0, 0, Named::TheSlip};
        const chain::GeneratedChain g = Generated(row);
        SCOPED_TRACE(chain::ClosingName(closing));
        const ChainObservations typed = WithSignReversed(ObservationsOfGenerated(g), 7);
        const ChainWork w = WorkOf(typed);
        const ObservationSigmas s = SigmasOf(typed);
        const RouteMotions m = RouteMotionsOf(w, s);
        // Each time the program brings an azimuth back by 360 degrees it turns
        // the legs after it by 360 RADIANS_PER_DEGREE - 2 pi = -1.9e-10 rad (the
        // shortened pi); the products do not repeat those turns.
        const double allowance = 1e-8 * Extent(g);
        for (int i = 0; i <= row.N; ++i) {
            SCOPED_TRACE(i);
            ChainWork flipped = w;
            if (i > 0) flipped.RouteSigns[static_cast<std::size_t>(i)] *= -1;
            const ClosingFigures fast = i > 0 ? ClosingWithSignFlipped(m, i) : ClosingAsTyped(m);
            const ClosingFigures full = ClosingComputedInFull(flipped, s);
            for (std::size_t j = 2; j <= 3; ++j) EXPECT_NEAR(fast.w[j], full.w[j], allowance);
            EXPECT_NEAR(fast.w[1], full.w[1], 1e-3);
            const std::size_t from = closing == Closing::NoAzimuth ? 1 : 0;
            for (std::size_t a = from; a < 3; ++a)
                for (std::size_t b = from; b < 3; ++b)
                    EXPECT_NEAR(fast.covariance[a][b], full.covariance[a][b],
                                1e-7 * std::sqrt(full.covariance[a][a] * full.covariance[b][b]));
        }
    }
}

// Through the dialogue: S6 typed with the wrong sign in a chain of 12
// triangles ends the run with the message naming triangle 3 and S6, and the
// misclosure fields, kilometres long, show 超限 with the figure in their tips.
TEST(SignFinder, TheRunNamesTheSignAndItsFieldsDoNotOverflow)
{
    const Row row{"", Closing::ExternalAzimuth, 12, Slip::Sign, 3, 0, Named::TheSlip};
    chain::GeneratedChain g = Generated(row);
    char typed[64];
    std::snprintf(typed, sizeof typed, "%.9f", g.typedSides[6]);
    const std::string s6 = g.signs[3] < 0 ? "-" + std::string(typed) : std::string(typed);
    auto at = std::find(g.answers.begin(), g.answers.end(), s6);
    ASSERT_NE(at, g.answers.end());
    *at = g.signs[3] < 0 ? std::string(typed) : "-" + std::string(typed);
    const std::string to = g.signs[3] < 0 ? "改为右侧后" : "改为左侧后";

    ProgramState state;
    ScriptedPlatform p(g.answers);
    const std::string transcript = ReplayRuns(state, p);
    // the first run's end (the answers of the point display left over start others)
    const std::size_t first = transcript.find("END\t");
    ASSERT_NE(first, std::string::npos);
    const std::string end = transcript.substr(first, transcript.find('\n', first) - first);
    EXPECT_EQ(end.rfind("END\tfailed\t无效参数：闭合差 wb = ", 0), 0u) << end;
    EXPECT_NE(end.find("从第3个三角形开始出现：S6 的左右可能输错了：" + to + "，闭合差为 wb = "), std::string::npos) << end;
    EXPECT_NE(transcript.find("MESSAGE\t无效参数：闭合差 wb = "), std::string::npos);
    for (int field : {field::wx, field::wy}) {
        SCOPED_TRACE(field);
        EXPECT_EQ(p.Field(field), "超限");
        EXPECT_EQ(p.Tip(field).substr(p.Tip(field).size() - 7), " 毫米");
        EXPECT_GT(p.Tip(field).size(), 15u);
    }
}
