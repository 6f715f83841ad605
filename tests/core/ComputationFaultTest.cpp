// Faults of the computation end the run with a named message, never the
// program; and the cases the formulas leave open get their limits.
#include <gtest/gtest.h>

#include <cmath>

#include "Dialogue.h"
#include "core/AdjustChain.h"
#include "core/ChainPhases.h"
#include "dialogue/EntryPhases.h"
#include "rules/FaultTexts.h"
#include "display/ResultDisplay.h"
#include "run/AdjustmentRun.h"
#include "support/ChainTables.h"

namespace {

// A chain of one triangle A, B, C with the given sides and sign, no azimuth data.
Answers OneTriangle(const std::string& Xc, const std::string& Yc, const std::string& S2, const std::string& S3,
                    const std::string& AB = "3")
{
    Answers a;
    a("1").confirmed("0").confirmed("0").confirmed("0").confirmed(AB);
    a.confirmed(Xc).confirmed(Yc).confirmed("0").confirmed("0").confirmed("0").confirmed("0");
    a.confirmed(S2).confirmed(S3).confirmed("B").confirmed("C");  // the display prompts may run out
    return a;
}

void ExpectNoUnprintableNumber(const std::string& transcript)
{
    for (const std::string& line : Lines(transcript)) {
        if (line.rfind("TEXT\t", 0) != 0) continue;
        EXPECT_EQ(line.find("nan"), std::string::npos) << line;
        EXPECT_EQ(line.find("inf"), std::string::npos) << line;
    }
}

struct Outcome {
    ProgramState s;
    std::string transcript;
    std::vector<std::string> ends, messages;
};

Outcome RunAll(const Answers& answers)
{
    Outcome o;
    ScriptedPlatform p(answers.lines);
    o.transcript = ReplayRuns(o.s, p);
    o.ends = Events(o.transcript, "END");
    o.messages = Events(o.transcript, "MESSAGE");
    return o;
}

// The computation's own faults of a triangle. The dialogue and the file
// reader refuse such a triangle as soon as its sides are in, in these words
// (TriangleEntryTest); the computation still meets them in a chain handed to
// it directly.
std::string OneTriangleAdjusted(double S2, double S3, int sign)
{
    ChainWork o;
    o.N = 1;
    o.Xb = 0, o.Yb = 3, o.Xc = -4, o.Yc = 0;
    o.AzimuthAB = 90;
    o.SideLengths = {0, 3, S2, S3};
    o.RouteSigns = {0, sign, 0};
    ChainOutcome outcome = AdjustChain(ObservationsFromTables(o));
    if (!outcome.fault) return "completed";
    return FailureText(DescribeChainFault(*outcome.fault));
}

TEST(ComputationFault, SidesThatCannotFormATriangle)
{
    EXPECT_EQ(OneTriangleAdjusted(4, 50, -1), "无效参数：第1个三角形 (S1=3, S2=4, S3=50) 的三条边不能构成三角形");
    EXPECT_EQ(OneTriangleAdjusted(4, 5, -1), "completed");
}

TEST(ComputationFault, ZeroSide)
{
    EXPECT_EQ(OneTriangleAdjusted(0, 5, 0), "除以零：第1个三角形 (S1=3, S2=0, S3=5) 有一条边长为零");
}

TEST(ComputationFault, CollinearPointsHaveNoHeight)
{
    // 3 + 4 = 7: a flat triangle
    EXPECT_EQ(OneTriangleAdjusted(4, 7, 1), "除以零：第1个三角形 (S1=3, S2=4, S3=7) 的三点共线，三角形高为零");
}

TEST(ComputationFault, ExactRightAngleIsNinetyDegrees)
{
    // 3-4-5: the cosine at A is exactly 0
    Outcome o = RunAll(OneTriangle("-4", "0", "-4", "5"));
    ASSERT_EQ(o.ends, std::vector<std::string>{"completed"}) << o.transcript;
    EXPECT_NEAR(o.s.LastRun->result.PointX[1], -4, 1e-9);
    EXPECT_NEAR(o.s.LastRun->result.PointY[1], 0, 1e-9);
    EXPECT_GE((*o.s.LastRun->result.InvPx), 0);
    EXPECT_GE((*o.s.LastRun->result.InvPy), 0);
}

TEST(ComputationFault, CoordinatesBeyondDoubleRange)
{
    Answers a;
    a("2").confirmed("0").confirmed("0").confirmed("1e300").confirmed("1e300");
    a.confirmed("5").confirmed("5").confirmed("0").confirmed("0").confirmed("0").confirmed("0");
    Outcome o = RunAll(a);
    ASSERT_EQ(o.ends.size(), 1u);
    EXPECT_EQ(o.ends[0].rfind("failed\t溢出：A-B 边长", 0), 0u) << o.ends[0];
    ExpectNoUnprintableNumber(o.transcript);
}

TEST(ComputationFault, ObservedSidesKeepEveryTypedMillimetre)
{
    // sides of tens of kilometres: single precision would lose the millimetre
    Answers a = OneTriangle("-40000.001", "0", "-40000.001", "50000.0017", "30000.0013");
    Outcome o = RunAll(a);
    ASSERT_EQ(o.ends, std::vector<std::string>{"completed"}) << o.transcript;
    EXPECT_EQ(o.s.LastRun->result.ObservedSides[2], 40000.001);
    EXPECT_EQ(o.s.LastRun->result.ObservedSides[3], 50000.0017);
    EXPECT_EQ(FormatFixed(o.s.LastRun->result.ObservedSides[3], 3), "50000.002");
}

// The message of a chain the sign finder looked at: the fault, the finder's
// conclusion (misclosures as typed w [m], w1 [arc s]), and the exact text.
struct SignMessage {
    const char* why;
    ChainFaultKind fault;
    SignVerdict verdict;
    int conditions;
    std::array<double, 4> w;
    std::vector<SignCandidate> best;
    int firstTriangle;
    bool orientationTried;
    const char* text;
};

TEST(ComputationFault, AWrongSignIsNamedWhereTheMisclosureAppears)
{
    ChainFault broken{ChainFaultKind::NotATriangle};
    broken.triangle = 5, broken.sides = {1347.895, 1497.541, 1294.446}, broken.adjustedSides = true;
    const std::array<double, 4> typed = {0, 0, -10336.8610, 2.34562};
    const SignCandidate s6{6, 3, 1, {0, 0, 0.00121, -0.00079}, 0.2};
    const SignCandidate s10{10, 5, -1, {0, 0, 0.00204, 0.00151}, 0.9};
    const SignCandidate q{0, 13, 1, {0, 0.44, 0.0031, -0.0004}, 1.1};
    const SignMessage rows[] = {
        {"one sign", ChainFaultKind::NotATriangle, SignVerdict::OneSign, 2, typed, {s6, s10}, 3, false,
         "无效参数：闭合差 wx = -10336861.0 毫米、wy = 2345.6 毫米 远远超出测边中误差所容许的范围，从第3个三角形开始出现："
         "S6 的左右可能输错了：改为右侧后，闭合差为 wx = 1.2 毫米、wy = -0.8 毫米"},
        {"two signs", ChainFaultKind::NotConverged, SignVerdict::TwoSigns, 2, typed, {s10, s6}, 3, false,
         "无效参数：闭合差 wx = -10336861.0 毫米、wy = 2345.6 毫米 远远超出测边中误差所容许的范围，从第3个三角形开始出现："
         "S10 或 S6 的左右可能输错了：S10 改为左侧后，闭合差为 wx = 2.0 毫米、wy = 1.5 毫米；"
         "S6 改为右侧后，闭合差为 wx = 1.2 毫米、wy = -0.8 毫米"},
        {"the orientation angle", ChainFaultKind::ClosureMissed, SignVerdict::OneSign, 3, {0, 1296000.4, 0.0031, -0.0004},
         {q}, 13, true,
         "无效参数：闭合差 wb = 1296000.4 秒、wx = 3.1 毫米、wy = -0.4 毫米 远远超出测边中误差所容许的范围，出现在终点 C 的方位角上："
         "定向角的正负号可能输错了：改为负值后，闭合差为 wb = 0.4 秒、wx = 3.1 毫米、wy = -0.4 毫米"},
        {"a completed chain", ChainFaultKind::SignMistyped, SignVerdict::OneSign, 2, typed, {s6}, 3, false,
         "无效参数：闭合差 wx = -10336861.0 毫米、wy = 2345.6 毫米 远远超出测边中误差所容许的范围，从第3个三角形开始出现："
         "S6 的左右可能输错了：改为右侧后，闭合差为 wx = 1.2 毫米、wy = -0.8 毫米"},
        {"no single sign", ChainFaultKind::NotATriangle, SignVerdict::NoSingleSign, 3, {0, 12.26, -10336.8610, 2.34562},
         {s6, s10}, 0, true,
         "无效参数：第5个三角形 (S9=1347.895, S10=1497.541, S11=1294.446) 平差改正后的三条边不能构成三角形；"
         "闭合差 wb = 12.3 秒、wx = -10336861.0 毫米、wy = 2345.6 毫米 远远超出测边中误差所容许的范围，"
         "改正任何一条边的左右或定向角的正负号都不能使闭合差合限：不是某一个符号输错了"},
    };
    for (const SignMessage& row : rows) {
        SCOPED_TRACE(row.why);
        ChainFault fault = broken;
        fault.kind = row.fault;
        SignDiagnosis d;
        d.verdict = row.verdict, d.conditions = row.conditions, d.w = row.w, d.best = row.best;
        d.firstTriangle = row.firstTriangle, d.orientationTried = row.orientationTried;
        EXPECT_EQ(FailureText(DescribeChainFailure(fault, d)), row.text);
    }
    // without the finder's word, the fault's own
    EXPECT_EQ(FailureText(DescribeChainFailure(broken, std::nullopt)), FailureText(DescribeChainFault(broken)));
}

struct Computed {
    ChainWork o;
    ChainResult r;
};

// The worked-example chain after the approximate chain.
Computed Chain(std::vector<int> signs, Closing closing)
{
    EquilateralChain chain(signs, closing);
    ProgramState s;
    SetConstants(s);
    s.TriangleCount = static_cast<std::int16_t>(signs.size());
    SizeArrays(s);
    s.Xa = 1000, s.Ya = 1000, s.Xb = 1000, s.Yb = 1100;
    s.Xc = chain.Xc, s.Yc = chain.Yc, s.Xd = chain.Xd, s.Yd = chain.Yd;
    for (std::size_t k = 2; k < s.SideLengths.size(); ++k) s.SideLengths[k] = 100;
    for (std::size_t i = 1; i <= signs.size(); ++i) s.run.RouteSigns[i] = signs[i - 1];
    if (closing == Closing::WithD) {
        ScriptedPlatform quiet{{}};
        EnterClosingOrientation(s, quiet);
    }
    DeriveStartSide(s);
    Computed c{WorkOf(ObservationsOf(s)), {}};
    c.r = SizedResult(c.o);
    ComputeApproximateChain(c.o, c.r);
    return c;
}

TEST(WithoutAzimuthCondition, OnlyTheCoordinateConditionsAreAdjusted)
{
    auto [o, r] = Chain({-1, 1, -1, 1}, Closing::CoordinatesOnly);
    ComputeMisclosures(o, r);
    FormConditionEquations(o, r);
    for (double a : r.ConditionCoefficients[1]) EXPECT_EQ(a, 0);
    const Table6 N = r.NormalMatrix;
    EXPECT_EQ(N[1][1], 1);

    // 1/px from the two coordinate conditions alone, by Cramer's rule
    auto reciprocal = [&N](int f) {
        double det = N[2][2] * N[3][3] - N[2][3] * N[2][3];
        double x2 = -(N[3][3] * N[2][f] - N[2][3] * N[3][f]) / det;
        double x3 = -(N[2][2] * N[3][f] - N[2][3] * N[2][f]) / det;
        return N[f][f] + N[2][f] * x2 + N[3][f] * x3;
    };
    ComputeWeightReciprocals(r);
    EXPECT_NEAR(*r.InvPx, reciprocal(4), 1e-12);
    EXPECT_NEAR(*r.InvPy, reciprocal(5), 1e-12);

    r.Misclosures = {0, 0, 0.012f, -0.007f};
    ApplyCorrections(o, r);
    EXPECT_EQ(r.Correlates[1], 0);
    for (int row = 2; row <= 3; ++row) {
        double sum = r.Misclosures[static_cast<std::size_t>(row)];
        for (std::size_t k = 2; k < r.Corrections.size(); ++k)
            sum += r.ConditionCoefficients[static_cast<std::size_t>(row)][k] * r.Corrections[k];
        EXPECT_NEAR(sum, 0, 1e-15);
    }
}

TEST(WeakestPoint, InAFanItIsTheFarEndOfLegM)
{
    // N = 4, M = 2: triangles 1..3 turn about B, so station 2 is still B when
    // the weight functions are formed.
    for (Closing closing : {Closing::CoordinatesOnly, Closing::WithAzimuth}) {
        EquilateralChain truth({1, 1, 1, -1}, closing);
        auto [o, r] = Chain({1, 1, 1, -1}, closing);
        ASSERT_EQ(r.PointX[2], r.PointX[1]);
        ComputeMisclosures(o, r);
        FormConditionEquations(o, r);
        EXPECT_NEAR(r.PointX[2], truth.X[2], 1e-6);
        EXPECT_NEAR(r.PointY[2], truth.Y[2], 1e-6);
    }
}

TEST(WeightReciprocal, ACoordinateFixedByTheConditionsIsNotNegative)
{
    // N = 1 without D: the weakest point is C itself
    for (const char* sign : {"-4", "4"}) {
        Outcome o = RunAll(OneTriangle(sign[0] == '-' ? "-4" : "4", "0", sign, "5"));
        ASSERT_EQ(o.ends.size(), 1u);
        if (o.ends[0] != "completed") continue;  // the wrong side: a large misclosure
        EXPECT_GE((*o.s.LastRun->result.InvPx), 0);
        EXPECT_GE((*o.s.LastRun->result.InvPy), 0);
        EXPECT_LT((*o.s.LastRun->result.InvPx), 1e-6);
        EXPECT_LT((*o.s.LastRun->result.InvPy), 1e-6);
    }
}

}  // namespace

namespace {

// Normal equations whose weight function repeats the first condition: the
// reciprocal is [ff] - u^T N^-1 u = 0 in exact arithmetic.
ChainResult FixedByTheConditions(double ff)
{
    ChainResult s;
    for (Table6* t : {&s.NormalMatrix, &s.NormalWork}) {
        *t = {};
        for (int i = 1; i <= 3; ++i) (*t)[i][i] = 1;
        (*t)[1][4] = (*t)[4][1] = 1;
        (*t)[4][4] = ff;
        (*t)[2][5] = (*t)[5][2] = 0.5;
        (*t)[5][5] = 1;
    }
    return s;
}

TEST(WeightReciprocal, ARoundingErrorBelowZeroIsZero)
{
    ChainResult r = FixedByTheConditions(1 - 1e-12);
    ScriptedPlatform p{{}};
    ComputeWeightReciprocals(r);
    ShowResult(r, p);
    EXPECT_EQ(*r.InvPx, 0);
    EXPECT_EQ(p.Field(21), "  0.0000");
    EXPECT_EQ(*r.InvPy, 0.75);
}

TEST(WeightReciprocal, AClearlyNegativeOneIsAFault)
{
    ChainResult r = FixedByTheConditions(0.5);
    ScriptedPlatform p{{}};
    try {
        ComputeWeightReciprocals(r);
        FAIL() << "no fault";
    } catch (const ChainFaultRaised& raised) {
        RunFault fault = DescribeChainFault(raised.fault);
        EXPECT_EQ(fault.kind, FaultKind::InvalidArgument);
        EXPECT_NE(fault.message.find("纵座标权倒数"), std::string::npos);
    }
    ShowResult(r, p);
    EXPECT_EQ(p.Field(21), "");  // nothing shown
}

}  // namespace
