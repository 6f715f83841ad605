// A triangle the adjustment cannot solve is refused as soon as its last typed
// side is confirmed, with the faults and words of the computation: the
// message names it with its sides as typed, and its typed sides are asked
// again in their order, each exactly as at its first asking.
#include <gtest/gtest.h>

#include <algorithm>

#include "Dialogue.h"
#include "core/AdjustChain.h"
#include "rules/PromptTexts.h"
#include "rules/FaultTexts.h"
#include "files/ObservationFile.h"
#include "run/AdjustmentRun.h"
#include "support/ChainTables.h"

namespace {

using namespace texts;

// One triangle on A = (0, 0), B = (0, 3) closing on C = (-4, 0) without
// azimuth data, the sides S2 and S3 typed as given (S1 = 3).
Answers OneTriangleUpToItsSides(const std::string& S2, const std::string& S3)
{
    Answers a;
    a("1").confirmed("0").confirmed("0").confirmed("0").confirmed("3");
    a.confirmed("-4").confirmed("0").confirmed("0").confirmed("0").confirmed("0").confirmed("0");
    return a.confirmed(S2).confirmed(S3);
}

struct Session {
    ProgramState s;
    std::string transcript;
    explicit Session(const Answers& answers)
    {
        ScriptedPlatform p(answers.lines);
        transcript = ReplayRuns(s, p);
    }
    std::vector<std::string> lines() const { return Lines(transcript); }
    std::vector<std::string> messages() const { return Events(transcript, "MESSAGE"); }
};

// The events from the line `from` up to (not including) the next line that
// starts with `until`.
std::vector<std::string> Stretch(const std::vector<std::string>& lines, std::size_t from, const std::string& until)
{
    std::vector<std::string> out;
    for (std::size_t i = from; i < lines.size() && lines[i].rfind(until, 0) != 0; ++i) out.push_back(lines[i]);
    return out;
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& line, std::size_t from = 0)
{
    return static_cast<std::size_t>(std::find(lines.begin() + static_cast<long>(from), lines.end(), line) - lines.begin());
}

// What the computation says of the same triangle, after the words that name it.
std::string ComputationWords(double S2, double S3, int sign)
{
    ChainWork o;
    o.N = 1;
    o.Xb = 0, o.Yb = 3, o.Xc = -4;
    o.AzimuthAB = 90;
    o.SideLengths = {0, 3, S2, S3};
    o.RouteSigns = {0, sign, 0};
    ChainOutcome outcome = AdjustChain(ObservationsFromTables(o));
    if (!outcome.fault) return "no fault";
    std::string message = DescribeChainFault(*outcome.fault).message;
    return message.substr(message.find(')'));
}

TEST(TriangleEntry, EveryFaultOfTheComputationIsFoundAtTheLastSide)
{
    struct Case {
        const char* S2;
        const char* S3;
        double s2, s3;
        int sign;
        const char* refused;
    };
    const Case cases[] = {
        {"-4", "50", 4, 50, -1, "第1个三角形 (S1=3, S2=-4, S3=50) 的三条边不能构成三角形"},
        {"0", "5", 0, 5, 0, "第1个三角形 (S1=3, S2=0, S3=5) 有一条边长为零"},
        {"4", "7", 4, 7, 1, "第1个三角形 (S1=3, S2=4, S3=7) 的三点共线，三角形高为零"},
        {"1e200", "1e200", 1e200, 1e200, 1, "第1个三角形 (S1=3, S2=1e200, S3=1e200) 的边长超出数值范围"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        Answers a = OneTriangleUpToItsSides(c.S2, c.S3);
        a.confirmed("-4").confirmed("5").confirmed("B").confirmed("C");  // asked again, then a triangle
        Session r(a);
        ASSERT_EQ(r.messages().size(), 1u);
        EXPECT_EQ(r.messages()[0], TriangleReentryText(c.refused, 1, false));
        const std::string words = c.refused;
        EXPECT_EQ(words.substr(words.find(')')), ComputationWords(c.s2, c.s3, c.sign));
        EXPECT_EQ(Events(r.transcript, "END"), std::vector<std::string>{"completed"});
        EXPECT_EQ(r.s.LastRun->result.ObservedSides[2], 4);
        EXPECT_EQ(r.s.LastRun->result.ObservedSides[3], 5);
    }
    EXPECT_EQ(TriangleReentryText("第1个三角形 (S1=3, S2=-4, S3=50) 的三条边不能构成三角形", 1, false),
              "第1个三角形 (S1=3, S2=-4, S3=50) 的三条边不能构成三角形。请重新输入 S2 和 S3；"
              "如果是 A、B 点座标输错了，请按“取消”后重新计算");
}

// The sides asked again come with the same hints, field writes, prompts and
// confirmations as at their first asking: typed the same way again, they
// give the same events and the same message.
TEST(TriangleEntry, TheSidesAreAskedAgainAsAtTheirFirstAsking)
{
    EquilateralChain chain({-1, 1, -1}, Closing::CoordinatesOnly);
    Answers a;
    a("3").append(chain.KnownPoints());
    a.confirmed("-100").confirmed("100").confirmed("100").confirmed("300");  // S5 = 300: triangle 2 fails
    a.confirmed("100").confirmed("300");                                      // the same again
    a.confirmed("100").confirmed("100");                                      // S4, S5 mended
    a.confirmed("-100").confirmed("100").append(chain.Names()).append(chain.Pacing());
    Session r(a);
    ASSERT_EQ(Events(r.transcript, "END"), std::vector<std::string>{"completed"}) << r.transcript;
    const std::string refused = "第2个三角形 (S3=100, S4=100, S5=300) 的三条边不能构成三角形";
    const std::string message = "MESSAGE\t" + TriangleReentryText(refused, 2, false);
    EXPECT_EQ(message, "MESSAGE\t" + refused + "。请重新输入 S4 和 S5；如果是 S3 输错了，请按“取消”结束本次计算："
                                              "已确认的值可以保存为观测文件，在编辑器中改正后再打开");
    const std::vector<std::string> lines = r.lines();
    const std::size_t firstAsking = IndexOf(lines, "TEXT\tText9\t" + SideHint(4));
    const std::size_t first = IndexOf(lines, message), second = IndexOf(lines, message, first + 1);
    ASSERT_LT(second, lines.size());
    std::vector<std::string> asked = Stretch(lines, firstAsking, "MESSAGE");
    EXPECT_EQ(Stretch(lines, first + 1, "MESSAGE"), asked);
    EXPECT_EQ(asked.front(), "TEXT\tText9\t" + SideHint(4));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "PROMPT\t" + EvenSidePrompt(4)), 1);
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "PROMPT\t" + Confirming("S5 = 300 米", K3(5))), 1);
    EXPECT_EQ(lines[second + 1], "TEXT\tText9\t" + SideHint(4));

    // the record holds each side once, in dialogue order, as typed last
    std::vector<std::string> sides;
    for (const TypedValue& v : r.s.LastTyped.values)
        if (v.key.kind == ValueKind::Side) sides.push_back("S" + std::to_string(v.key.index) + "=" + v.text);
    EXPECT_EQ(sides, (std::vector<std::string>{"S2=-100", "S3=100", "S4=100", "S5=100", "S6=-100", "S7=100"}));
}

TEST(TriangleEntry, TheFirstTriangleAsksSideTwoAgainWithItsFieldWrites)
{
    Answers a = OneTriangleUpToItsSides("-4", "50");
    Session r(a);  // the input runs out at S2 asked again
    std::vector<std::string> lines = r.lines();
    const std::size_t at = IndexOf(lines, "MESSAGE\t" + TriangleReentryText("第1个三角形 (S1=3, S2=-4, S3=50) 的三条边不能构成三角形", 1, false));
    ASSERT_LT(at, lines.size());
    EXPECT_EQ(lines[at + 1], "TEXT\tText9\t" + S2_HINT);
    EXPECT_EQ(lines[at + 2], "TEXT\tText11\t");
    EXPECT_EQ(lines[at + 3], "PROMPT\t" + S2_PROMPT);
    EXPECT_EQ(Events(r.transcript, "END"), std::vector<std::string>{"cancelled"});
}

// With D the third side of triangle N is C-D: only S2N is asked again, and
// the message shows C-D as computed.
TEST(TriangleEntry, WithDTheLastTriangleAsksOnlyItsCrossSide)
{
    EquilateralChain chain({-1, 1}, Closing::WithD);
    Answers a;
    a("2").append(chain.KnownPoints());
    a.confirmed("-100").confirmed("100").confirmed("300");  // S4 = 300
    a.confirmed("100").append(chain.Names()).append(chain.Pacing());
    Session r(a);
    ASSERT_EQ(Events(r.transcript, "END"), std::vector<std::string>{"completed"}) << r.transcript;
    ASSERT_EQ(r.messages().size(), 1u);
    const std::string message = r.messages()[0];
    EXPECT_EQ(message.rfind("第2个三角形 (S3=100, S4=300, S5=", 0), 0u) << message;
    EXPECT_NE(message.find(") 的三条边不能构成三角形"), std::string::npos) << message;
    EXPECT_NE(message.find("请重新输入 S4（S5 即 C-D 由座标算得）"), std::string::npos) << message;
    std::vector<std::string> prompts = Events(r.transcript, "PROMPT");
    const std::size_t s4 = IndexOf(prompts, EvenSidePrompt(4));
    ASSERT_LT(s4 + 3, prompts.size());
    EXPECT_EQ(prompts[s4 + 2], EvenSidePrompt(4));  // asked again at once
    EXPECT_EQ(prompts[s4 + 4], B_PROMPT);
}

// A wrong shared side: the operator cancels at the side asked again. The
// record keeps every value confirmed before the sides asked again, S3
// included, so a saved file can be mended in an editor and opened again.
TEST(TriangleEntry, CancelKeepsTheValuesBeforeTheSidesAskedAgain)
{
    EquilateralChain chain({-1, 1, -1}, Closing::CoordinatesOnly);
    Answers a;
    a("3").append(chain.KnownPoints());
    // S3 typed 190 for 100: triangle 1 (100, 100, 190) stands, triangle 2 (190, 100, 80) does not
    a.confirmed("-100").confirmed("190").confirmed("100").confirmed("80")(ScriptedPlatform::CANCEL);
    Session r(a);
    ASSERT_EQ(Events(r.transcript, "END"), std::vector<std::string>{"cancelled"});
    const std::vector<TypedValue>& typed = r.s.LastTyped.values;
    ASSERT_FALSE(typed.empty());
    EXPECT_FALSE(r.s.LastTyped.complete);
    EXPECT_EQ(typed.back().key, (ValueKey{ValueKind::Side, 3}));
    EXPECT_EQ(typed.back().text, "190");

    // S3 mended in the file: the run from it asks S4 next
    ObservationRecord mended = r.s.LastTyped;
    mended.values.back().text = "100";
    auto read = ReadObservationFile(WriteObservationFile(mended));
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read));
    ScriptedPlatform p(Answers{}.confirmed("100").confirmed("100").confirmed("-100").confirmed("100")
                           .append(chain.Names()).append(chain.Pacing()).lines);
    RunOptions options;
    const ObservationRecord file = std::get<ObservationRecord>(read);
    options.prefilled = &file;
    ProgramState s;
    RunOutcome outcome = AdjustmentRun(s, p, options);
    EXPECT_EQ(outcome.kind, RunOutcome::Completed) << p.Transcript();
    EXPECT_EQ(Events(p.Transcript(), "PROMPT").front(), EvenSidePrompt(4));
}

// A file holds the triangle as typed: the reader refuses it at the line of
// the side that completes it, with the dialogue's reason.
TEST(TriangleEntry, AFileWithSuchATriangleIsRefusedAtThatLine)
{
    EquilateralChain chain({-1, 1, -1}, Closing::CoordinatesOnly);
    Session typed(Answers{}("3").append(chain.KnownPoints()).append(chain.Sides()).append(chain.Names()));
    ObservationRecord record = typed.s.LastTyped;
    ASSERT_TRUE(record.complete);
    for (TypedValue& v : record.values)
        if (v.key == ValueKey{ValueKind::Side, 4}) v.text = "300";
    const std::string file = WriteObservationFile(record);
    auto read = ReadObservationFile(file);
    ASSERT_TRUE(std::holds_alternative<FileError>(read));
    const FileError& error = std::get<FileError>(read);
    std::vector<std::string> lines = Lines(file);
    ASSERT_GE(error.line, 1);
    EXPECT_EQ(lines[static_cast<std::size_t>(error.line - 1)].rfind("S5", 0), 0u) << lines[static_cast<std::size_t>(error.line - 1)];
    EXPECT_EQ(error.key, "S5");
    EXPECT_EQ(error.message, "「100」：第2个三角形 (S3=100, S4=300, S5=100) 的三条边不能构成三角形");
}

}  // namespace
