// The operator dialogue, driven by a scripted operator and checked event by
// event: prompts, field texts, their order, re-entries and refusals.
#include <gtest/gtest.h>

#include <algorithm>

#include "Dialogue.h"
#include "dialogue/ConfirmedPrompt.h"
#include "rules/PromptTexts.h"
#include "display/ReportComposer.h"
#include "run/AdjustmentRun.h"

namespace {

using namespace texts;

struct Replay {
    ProgramState s;
    std::string transcript;
    ScriptedPlatform p;
    explicit Replay(const Answers& answers) : p(answers.lines) { transcript = ReplayRuns(s, p); }
    std::vector<std::string> prompts() const { return Events(transcript, "PROMPT"); }
    std::vector<std::string> texts(int field) const { return Events(transcript, "TEXT\tText" + std::to_string(field)); }
    std::vector<std::string> ends() const { return Events(transcript, "END"); }
    std::vector<std::string> messages() const { return Events(transcript, "MESSAGE"); }
    bool has(const std::string& line) const
    {
        std::vector<std::string> all = Lines(transcript);
        return std::find(all.begin(), all.end(), line) != all.end();
    }
};

std::size_t Count(const std::vector<std::string>& v, const std::string& x)
{
    return static_cast<std::size_t>(std::count(v.begin(), v.end(), x));
}

TEST(Dialogue, CompleteRunsOfEveryClosingKind)
{
    for (Closing kind : {Closing::WithD, Closing::WithAzimuth, Closing::CoordinatesOnly}) {
        EquilateralChain chain({-1, 1, -1, 1}, kind);
        Replay r(chain.Run());
        ASSERT_EQ(r.ends(), std::vector<std::string>{"completed"}) << r.transcript;
        EXPECT_TRUE(r.s.LastRunCompleted);
        EXPECT_EQ(r.s.LastRun->result.ResultPointCount, kind == Closing::WithD ? 3 : 4);
        EXPECT_EQ(Count(r.prompts(), DISPLAY_PROMPT), static_cast<std::size_t>(chain.DisplayedPoints()));
        EXPECT_EQ(r.p.Field(18), FormatFixed(r.s.LastRun->result.PointX[static_cast<std::size_t>(r.s.LastRun->result.ResultPointCount)], 3));
        EXPECT_EQ(r.p.Field(20), DISPLAY_HINT);
        std::string conditions = kind == Closing::CoordinatesOnly ? TWO_CONDITIONS : THREE_CONDITIONS;
        EXPECT_EQ(r.p.Field(27), conditions);
    }
}

TEST(Dialogue, TriangleCountIsShownAndSizesTheSideEntry)
{
    EquilateralChain withD({-1, 1, -1, 1, -1}, Closing::WithD);
    Replay r(withD.Run());
    EXPECT_EQ(r.texts(29), std::vector<std::string>{" 三角锁共有5个三角形"});
    std::vector<std::string> hints = r.texts(9);
    std::vector<std::string> expected{S2_HINT};
    for (int n = 3; n <= 10; ++n) expected.push_back(SideHint(n));
    EXPECT_EQ(hints, expected);  // 9 sides with D

    EquilateralChain withoutD({-1, 1, -1, 1, -1}, Closing::CoordinatesOnly);
    Replay r2(withoutD.Run());
    expected.push_back(ClosingSideHint(11));
    EXPECT_EQ(r2.texts(9), expected);  // 10 sides without D
}

TEST(Dialogue, TriangleCountRoundsHalvesToEven)
{
    for (auto [typed, n] : {std::pair{"4.5", 4}, {"5.5", 6}, {"2.4999", 2}, {" 3 ", 3}, {"\xEF\xBC\x93", 3}}) {
        Replay r(Answers{}(typed));
        EXPECT_EQ(r.s.TriangleCount, n) << typed;
        EXPECT_EQ(r.texts(29), std::vector<std::string>{CountText(n)});
    }
}

TEST(Dialogue, TriangleCountOutsideItsRangeIsAskedAgain)
{
    Replay r(Answers{}("0")("16383")("-1")("1e10")("0.4")("abc")("")("16382"));
    EXPECT_EQ(Count(r.prompts(), COUNT_PROMPT), 8u);
    EXPECT_EQ(Count(r.messages(), COUNT_OUT_OF_RANGE), 5u);
    EXPECT_EQ(Count(r.messages(), NOT_A_NUMBER), 2u);
    EXPECT_EQ(r.s.TriangleCount, 16382);
    EXPECT_EQ(r.s.SideLengths.size(), 2u * 16382 + 2);
    EXPECT_EQ(r.ends(), std::vector<std::string>{"cancelled"});  // input ran out at Xa
}

TEST(Dialogue, ReEntryOfACoordinate)
{
    // wrong once, then re-entered and confirmed
    Replay r(Answers{}("2")("1")("0")("2")(""));
    std::vector<std::string> lines = Lines(r.transcript);
    std::vector<std::string> expected{"PROMPT\t" + COUNT_PROMPT, "TEXT\tText29\t" + CountText(2)};
    for (const std::string& emptied : EmptiedResultFields()) expected.push_back(emptied);
    for (const std::string& line : std::vector<std::string>{"TEXT\tText1\t",           "PROMPT\t" + XA_PROMPT,    "TEXT\tText1\t 1.000",
                                    "PROMPT\t" + Confirming("Xa = 1 米", K1), "TEXT\tText1\t", "PROMPT\t" + X_REENTRY,
                                    "TEXT\tText1\t 2.000",     "PROMPT\t" + Confirming("Xa = 2 米", K1),           "TEXT\tText1\t 2.000",
                                    "PROMPT\t" + YA_PROMPT,    "QUESTION\t结束本次输入?\t结束", "END\tcancelled"})
        expected.push_back(line);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(r.s.Xa, 2);
}

TEST(Dialogue, EveryConfirmationAnsweredZeroKeepsAskingTheSameValue)
{
    Replay r(Answers{}("2")("5")("0")("6")("0.00")("7")(" 0 ")("8")("-0")("9")("1"));
    EXPECT_EQ(Count(r.prompts(), X_REENTRY), 4u);
    EXPECT_EQ(r.s.Xa, 9);
    EXPECT_EQ(r.texts(1).back(), " 9.000");
    EXPECT_EQ(Count(r.prompts(), YA_PROMPT), 1u);
}

TEST(Dialogue, ConfirmationTest)
{
    EXPECT_EQ(TestConfirmation(std::nullopt), Confirmation::Wrong);  // Cancel: not confirmed
    for (const char* yes : {"", "1", "-1", "0.5", "  ", "M"})
        EXPECT_NE(TestConfirmation(std::string(yes)), Confirmation::Wrong) << yes;
    for (const char* no : {"0", "0.0", "-0", "000", " 0 ", "0.00", "\xEF\xBC\x90"})
        EXPECT_EQ(TestConfirmation(std::string(no)), Confirmation::Wrong) << no;
    EXPECT_EQ(TestConfirmation(std::string("y")), Confirmation::Unreadable);
}

TEST(Dialogue, UnreadableConfirmationIsAskedAgain)
{
    Replay r(Answers{}("2")("1")("y")("yes")("")("2"));
    std::vector<std::string> prompts = r.prompts();
    EXPECT_EQ(Count(prompts, Confirming("Xa = 1 米", K1)), 3u);
    EXPECT_EQ(Count(prompts, Confirming("Ya = 2 米", K1)), 1u);
    EXPECT_EQ(Count(r.messages(), CONFIRM_UNREADABLE), 2u);
    EXPECT_EQ(r.s.Xa, 1);
    EXPECT_EQ(r.s.Ya, 2);
}

TEST(Dialogue, NotANumberGivesAMessageAndTheSamePrompt)
{
    Replay r(Answers{}("2")("12a")("")("1,5")("1e400")("7")(""));
    std::vector<std::string> expected{COUNT_PROMPT, XA_PROMPT, XA_PROMPT, XA_PROMPT, XA_PROMPT,
                                      XA_PROMPT,    Confirming("Xa = 7 米", K1), YA_PROMPT};
    EXPECT_EQ(r.prompts(), expected);
    EXPECT_EQ(Count(r.messages(), NOT_A_NUMBER), 4u);
    EXPECT_EQ(r.texts(1), (std::vector<std::string>{"", " 7.000", " 7.000"}));  // unchanged until a number
    EXPECT_EQ(r.s.Xa, 7);
}

TEST(Dialogue, CancelOnANumberEndsTheRunAndTheNextRunWorks)
{
    EquilateralChain chain({-1, 1}, Closing::CoordinatesOnly);
    Answers a;
    a("2")("1")("")("<CANCEL>");
    a.append(chain.Run());
    Replay r(a);
    EXPECT_EQ(r.ends(), (std::vector<std::string>{"cancelled", "completed"}));
}

// Cancel on a value box asks "结束本次输入?": 继续输入 (the default) asks the same
// value again and the run goes on as if Cancel had never been pressed.
TEST(Dialogue, CancelOnAValueAsksAndContinueAsksItAgain)
{
    EquilateralChain chain({-1, 1}, Closing::WithAzimuth);
    const std::vector<std::string> valid = chain.Run().lines;
    const Replay straight{Answers{valid}};
    for (std::size_t at : {1u, 3u, 17u, 19u, 21u, 23u}) {  // Xa, Ya, Tb, Qb, an even side, an odd side
        std::vector<std::string> answers = valid;
        answers.insert(answers.begin() + static_cast<long>(at), {ScriptedPlatform::CANCEL, "<继续输入>"});
        Replay r(Answers{answers});
        EXPECT_EQ(r.ends(), std::vector<std::string>{"completed"}) << "Cancel at answer " << at;
        const std::vector<std::string> prompts = r.prompts();
        ASSERT_GT(prompts.size(), at + 1);
        EXPECT_EQ(prompts[at], prompts[at + 1]) << "the same value is asked again";
        EXPECT_NE(r.transcript.find("QUESTION\t结束本次输入?\t继续输入\n"), std::string::npos);
        EXPECT_EQ(r.s.LastTyped.values.size(), straight.s.LastTyped.values.size());
        EXPECT_EQ(r.s.LastRun->result.PointX, straight.s.LastRun->result.PointX);
    }
}

// 全部显示 at the pacing prompt (<ALL>) shows the rest of the points at once:
// the fields end as after a prompt for every point.
TEST(Dialogue, ShowAllAtThePacingPromptShowsTheRestAtOnce)
{
    EquilateralChain chain({-1, 1, -1, 1}, Closing::WithAzimuth);
    std::vector<std::string> answers = chain.Run().lines;
    const std::size_t paced = static_cast<std::size_t>(chain.DisplayedPoints());
    const Replay straight{Answers{answers}};
    for (std::size_t at = 0; at < paced; ++at) {
        std::vector<std::string> all(answers.begin(), answers.end() - static_cast<long>(paced - at));
        all.push_back(ScriptedPlatform::ALL);
        Replay r{Answers{all}};
        EXPECT_EQ(r.ends(), std::vector<std::string>{"completed"});
        EXPECT_EQ(Count(r.prompts(), DISPLAY_PROMPT), at + 1) << "全部显示 at point " << at;
        for (int f : {17, 18, 19, 20}) EXPECT_EQ(r.p.Field(f), straight.p.Field(f)) << "Text" << f;
    }
}

// Cancel on a confirmation box says "wrong": the value is asked again exactly
// as after the answer 0, and only the re-entered value is recorded.
TEST(Dialogue, CancelOnAConfirmationAsksTheValueAgain)
{
    Replay cancelled(Answers{}("2")("3")("<CANCEL>")("4")("")("5"));
    Replay zero(Answers{}("2")("3")("0")("4")("")("5"));
    EXPECT_EQ(cancelled.transcript, zero.transcript);
    std::vector<std::string> expected{COUNT_PROMPT,
                                      XA_PROMPT,
                                      Confirming("Xa = 3 米", K1),
                                      X_REENTRY,
                                      Confirming("Xa = 4 米", K1),
                                      YA_PROMPT,
                                      Confirming("Ya = 5 米", K1),
                                      Y_REENTRY};
    EXPECT_EQ(cancelled.prompts(), expected);
    EXPECT_EQ(cancelled.texts(1), (std::vector<std::string>{"", " 3.000", "", " 4.000", " 4.000"}));
    EXPECT_EQ(cancelled.s.Xa, 4);
    const std::vector<TypedValue>& typed = cancelled.s.LastTyped.values;
    ASSERT_EQ(typed.size(), 2u);  // N and Xa: the input ran out at Ya's confirmation, then its re-entry
    EXPECT_EQ(typed[1].text, "4");

    // at every kind of confirmation: the re-entry prompt of that value follows
    EquilateralChain chain({-1, 1}, Closing::WithAzimuth);
    std::vector<std::string> valid = chain.Run().lines;
    for (std::size_t at = 2; at < valid.size(); ++at) {
        if (!valid[at].empty() || valid[at - 1].empty()) continue;  // the confirmation of a typed value
        std::vector<std::string> answers = valid;
        answers[at] = ScriptedPlatform::CANCEL;
        answers.insert(answers.begin() + static_cast<long>(at) + 1, {valid[at - 1], ""});
        Replay r(Answers{answers});
        EXPECT_EQ(r.ends(), std::vector<std::string>{"completed"}) << "Cancel at answer " << at;
        std::vector<std::string> prompts = r.prompts();
        ASSERT_GT(prompts.size(), at + 1);
        EXPECT_NE(prompts[at + 1].find("正确的"), std::string::npos) << prompts[at + 1];
        EXPECT_EQ(r.s.LastTyped.values.size(), Replay(chain.Run()).s.LastTyped.values.size());
    }
}

TEST(Dialogue, LargeCoordinateDisplay)
{
    Replay r(Answers{}("2")("1234.56785")("")("-3456789.0004"));
    EXPECT_EQ(r.texts(1)[1], " 1234.568");
    EXPECT_EQ(r.texts(2)[0], " -3456789.000");
}

TEST(Dialogue, PointDWithOneZeroCoordinateIsAskedAgain)
{
    Answers a;
    a("3").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("7").confirmed("0");  // D = (7, 0)
    a.confirmed("0").confirmed("9");  // D = (0, 9)
    a.confirmed("9").confirmed("9");  // D = (9, 9)
    Replay r(a);
    EXPECT_EQ(Count(r.messages(), D_NEEDS_BOTH), 2u);
    EXPECT_EQ(Count(r.prompts(), XD_PROMPT), 3u);
    EXPECT_EQ(r.s.Xd, 9);
    EXPECT_EQ(r.p.Field(27), THREE_CONDITIONS);
    EXPECT_EQ(r.texts(8).front(), " 0.000");
}

TEST(Dialogue, PointDWithASingleTriangleIsRefused)
{
    Answers a;
    a("1").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("9").confirmed("9").confirmed("0").confirmed("0");
    Replay r(a);
    EXPECT_EQ(Count(r.messages(), D_NEEDS_TWO_TRIANGLES), 1u);
    EXPECT_EQ(r.s.Xd, 0);
    EXPECT_EQ(r.p.Field(27), "");  // no text before the azimuth answers
    EXPECT_EQ(r.prompts().back(), AZIMUTH_PROMPT);
}

TEST(Dialogue, ZeroLengthKnownSidesAreAskedAgain)
{
    Answers a;
    a("3").confirmed("10").confirmed("20").confirmed("10").confirmed("20");  // B = A
    a.confirmed("10").confirmed("120");
    a.confirmed("5").confirmed("5").confirmed("5").confirmed("5");  // D = C
    a.confirmed("0").confirmed("0");
    Replay r(a);
    EXPECT_EQ(Count(r.messages(), A_EQUALS_B), 1u);
    EXPECT_EQ(Count(r.messages(), C_EQUALS_D), 1u);
    EXPECT_EQ(Count(r.prompts(), XB_PROMPT), 2u);
    EXPECT_EQ(Count(r.prompts(), XD_PROMPT), 2u);
    EXPECT_EQ(Count(r.prompts(), XC_PROMPT), 1u);
    EXPECT_EQ(r.s.Yb, 120);
}

TEST(Dialogue, ReEnteringDClearsItsEastingToOneBlank)
{
    Answers a;
    a("3").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("0")("0")("0")("1")("0")("0")("");
    Replay r(a);
    EXPECT_EQ(r.texts(8), (std::vector<std::string>{" 0.000", " ", " 1.000", " ", " 0.000", " 0.000"}));
    EXPECT_EQ(r.texts(7), (std::vector<std::string>{" 0.000", " 0.000"}));
}

TEST(Dialogue, AzimuthDataWithoutD)
{
    Answers a;
    a("3").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("0").confirmed("0");
    a("123.4530")("0")("123.4530")("");  // re-entered once
    a("-12.3000")("");
    Replay r(a);
    std::vector<std::string> prompts = r.prompts();
    EXPECT_EQ(Count(prompts, AZIMUTH_REENTRY), 1u);
    EXPECT_EQ(Count(prompts, Confirming("Qb = -12.3000 度.分秒", K1C)), 1u);
    EXPECT_EQ(Count(prompts, Confirming("Tb = 123.4530 度.分秒", K1)), 2u);
    EXPECT_EQ(r.texts(26), (std::vector<std::string>{"", " 123.45300", " ", " 123.45300", " 123.45300"}));
    EXPECT_EQ(r.texts(28), (std::vector<std::string>{"", " -12.30000", " -12.30000"}));
    EXPECT_EQ(r.s.Tb, 123.453);
    EXPECT_EQ(r.s.Qb, -12.3);
    EXPECT_EQ(r.p.Field(27), THREE_CONDITIONS);
}

TEST(Dialogue, NoAzimuthData)
{
    Answers a;
    a("3").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("0").confirmed("0").confirmed("0").confirmed("0");
    Replay r(a);
    EXPECT_EQ(r.p.Field(26), NO_AZIMUTH);
    EXPECT_EQ(r.p.Field(28), NO_ORIENTATION);
    EXPECT_EQ(r.p.Field(27), TWO_CONDITIONS);
    EXPECT_EQ(r.texts(9).front(), S2_HINT);  // side entry follows
}

TEST(Dialogue, OrientationAngleWithoutExternalAzimuthIsAskedAgain)
{
    Answers a;
    a("3").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("0").confirmed("0").confirmed("0").confirmed("5");
    a.confirmed("200").confirmed("0");  // an azimuth without orientation angle: three conditions
    Replay r(a);
    EXPECT_EQ(Count(r.messages(), ORIENTATION_WITHOUT_AZIMUTH), 1u);
    EXPECT_EQ(Count(r.prompts(), AZIMUTH_PROMPT), 2u);
    EXPECT_EQ(r.s.Tb, 200);
    EXPECT_EQ(r.s.Qb, 0);
    EXPECT_EQ(r.p.Field(27), THREE_CONDITIONS);
}

TEST(Dialogue, PackedAngleWithSixtyMinutesIsAskedAgain)
{
    Answers a;
    a("3").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("0").confirmed("0")("12.60")("12.0075")("x")("12.3")("");
    Replay r(a);
    EXPECT_EQ(Count(r.messages(), PACKED_OUT_OF_RANGE), 2u);
    EXPECT_EQ(Count(r.messages(), NOT_A_NUMBER), 1u);
    EXPECT_EQ(Count(r.prompts(), AZIMUTH_PROMPT), 4u);
    EXPECT_EQ(r.s.Tb, 12.3);
}

TEST(Dialogue, SideEntrySplitsTheSign)
{
    EquilateralChain chain({1, -1, 1}, Closing::CoordinatesOnly);
    Answers a;
    a("3").append(chain.KnownPoints());
    a("100")("0")("-245.3")("");   // S2 wrong once, then negative
    a.confirmed("200")("-512.25")("");
    Replay r(a);
    EXPECT_EQ(r.texts(11).at(1), "S2=100.0000");
    EXPECT_EQ(r.texts(11).at(2), "");
    EXPECT_EQ(r.texts(11).at(3), "S2=-245.3000");
    EXPECT_EQ(r.s.SideLengths[2], 245.3);
    EXPECT_TRUE(r.has("TEXT\tText11\ts4=-512.2500"));
    EXPECT_EQ(r.s.SideLengths[4], 512.25);
    std::vector<std::string> prompts = r.prompts();
    EXPECT_EQ(Count(prompts, S2_REENTRY), 1u);
    EXPECT_EQ(Count(prompts, Confirming("S2 = 100 米（左侧）", K2)), 1u);
    EXPECT_EQ(Count(prompts, Confirming("S2 = -245.3 米（右侧）", K2)), 1u);
    EXPECT_EQ(Count(prompts, Confirming("S3 = 200 米", K3(3))), 1u);
    EXPECT_EQ(Count(prompts, Confirming("S4 = -512.25 米（右侧）", K5)), 1u);
}

TEST(Dialogue, SideEntryOrderAndFields)
{
    EquilateralChain chain({-1, 1, -1}, Closing::CoordinatesOnly);
    Answers a;
    a("3").append(chain.KnownPoints());
    a.confirmed("-100");
    a("100")("0")("101")("0")("100")("");  // S3 re-entered twice: K3 then K4
    a.confirmed("100").confirmed("100").confirmed("-100").confirmed("100");
    a.append(chain.Names());
    Replay r(a);
    std::vector<std::string> prompts = r.prompts();
    auto from = std::find(prompts.begin(), prompts.end(), S2_PROMPT);
    std::vector<std::string> sideEntry(from, prompts.begin() + static_cast<long>(std::min<std::size_t>(prompts.size(), static_cast<std::size_t>(from - prompts.begin()) + 18)));
    std::vector<std::string> expected{S2_PROMPT,
                                      Confirming("S2 = -100 米（右侧）", K2),
                                      OddSidePrompt(3),
                                      Confirming("S3 = 100 米", K3(3)),
                                      SideReentry(3),
                                      Confirming("S3 = 101 米", K4),
                                      SideReentry(3),
                                      Confirming("S3 = 100 米", K4),
                                      EvenSidePrompt(4),
                                      Confirming("S4 = 100 米（左侧）", K5),
                                      OddSidePrompt(5),
                                      Confirming("S5 = 100 米", K3(5)),
                                      EvenSidePrompt(6),
                                      Confirming("S6 = -100 米（右侧）", K5),
                                      OddSidePrompt(7),
                                      Confirming("S7 = 100 米", K5),
                                      B_PROMPT,
                                      Confirming("点名 B = B", K2)};
    EXPECT_EQ(sideEntry, expected);
    EXPECT_EQ(r.texts(10).at(0), "");
    EXPECT_EQ(r.texts(10).at(1), "S3=100.0000");
    EXPECT_TRUE(r.has("TEXT\tText9\t现在输入S7 边长"));
    EXPECT_TRUE(r.has("TEXT\tText10\tS7=100.0000"));
    EXPECT_EQ(r.s.LastRun->result.ObservedSides[3], 100);
    EXPECT_EQ(r.s.run.UnknownPointCount, 0);  // run-level state is gone once the run ends
}

TEST(Dialogue, UnknownPointCountAndNames)
{
    struct Case {
        std::vector<int> signs;
        Closing closing;
        int K;
        bool after;
    };
    for (const Case& c : {Case{{-1, 1, -1}, Closing::CoordinatesOnly, 2, false},
                          Case{{-1, 1, -1, 1}, Closing::WithD, 2, false},
                          Case{{-1, 1, 1, -1, -1}, Closing::WithD, 2, true},
                          Case{{1, -1, 1, 1}, Closing::WithD, 1, true},
                          Case{{1, 1, 1, 1}, Closing::WithAzimuth, 3, false}}) {
        EquilateralChain chain(c.signs, c.closing);
        ASSERT_EQ(chain.K(), c.K);
        Replay r(chain.Run());
        const int N = static_cast<int>(c.signs.size());
        EXPECT_EQ(Count(r.texts(20), B_HINT), 1u);
        for (int i = 1; i <= c.K; ++i) EXPECT_EQ(Count(r.texts(20), UnknownHint(i)), 1u) << i;
        EXPECT_EQ(Count(r.texts(20), UnknownHint(c.K + 1)), 0u);
        EXPECT_EQ(Count(r.prompts(), AFTER_C_PROMPT), c.after ? 1u : 0u);
        EXPECT_EQ(Count(r.texts(20), UnknownHint(c.K + 2)), c.after ? 1u : 0u);
        EXPECT_EQ(r.s.PointNames[0], "B");
        EXPECT_EQ(r.s.PointNames[static_cast<std::size_t>(c.K + 1)], "C");
        if (c.after) {
            EXPECT_EQ(r.s.PointNames[static_cast<std::size_t>(c.K + 2)], "Q");
        }
        if (c.closing == Closing::WithD) {
            EXPECT_EQ(r.s.PointNames[static_cast<std::size_t>(N)], "");
        }
        ASSERT_EQ(r.ends(), std::vector<std::string>{"completed"}) << r.transcript;
        // C's adjusted coordinates land on the known C
        EXPECT_NEAR(r.s.LastRun->result.PointX[static_cast<std::size_t>(c.K + 1)], chain.Xc, 1e-6);
        EXPECT_NEAR(r.s.LastRun->result.PointY[static_cast<std::size_t>(c.K + 1)], chain.Yc, 1e-6);
    }
}

TEST(Dialogue, NameReEntries)
{
    EquilateralChain chain({-1, 1, -1}, Closing::CoordinatesOnly);
    Answers a;
    a("3").append(chain.KnownPoints()).append(chain.Sides());
    a("b")("0")("B")("");                           // B: cleared to the empty text
    a("x")("0")("y")("0")("  P1")("");               // point 1 re-entered twice: K2, K6, K6
    a("P2")("");                                     // point 2 starts with K2 again
    a("c")("0")("C")("");                            // C: K2 then K7
    Replay r(a);
    std::vector<std::string> prompts = r.prompts();
    auto from = std::find(prompts.begin(), prompts.end(), B_PROMPT);
    std::vector<std::string> names(from, from + 15);
    std::vector<std::string> expected{B_PROMPT,
                                      Confirming("点名 B = b", K2),
                                      NAME_REENTRY,
                                      Confirming("点名 B = B", K2),
                                      UnknownPrompt(1),
                                      Confirming("点名 1 = x", K2),
                                      NAME_REENTRY,
                                      Confirming("点名 1 = y", K6),
                                      NAME_REENTRY,
                                      Confirming("点名 1 =   P1", K6),
                                      UnknownPrompt(2),
                                      Confirming("点名 2 = P2", K2),
                                      C_PROMPT,
                                      Confirming("点名 C = c", K2),
                                      NAME_REENTRY};
    EXPECT_EQ(names, expected);
    std::vector<std::string> field17 = r.texts(17);
    EXPECT_EQ(field17.at(0), "");  // emptied when the run starts
    EXPECT_EQ(field17.at(1), "");  // emptied after S2
    EXPECT_EQ(field17.at(2), " b");
    EXPECT_EQ(field17.at(3), "");
    EXPECT_EQ(field17.at(6), " x");
    EXPECT_EQ(field17.at(7), " ");
    EXPECT_EQ(r.s.PointNames[1], "  P1");
    EXPECT_TRUE(r.has("PROMPT\t" + Confirming("点名 C = C", K7)));
    EXPECT_TRUE(r.has("TEXT\tText17\t   P1"));
}

TEST(Dialogue, SignPatternsThatCannotCloseOnCAndD)
{
    for (std::vector<int> signs : {std::vector<int>{1, 1}, {-1, -1}, {1, -1, -1, -1}, {-1, 1, 1, 1}}) {
        EquilateralChain chain(signs, Closing::WithD);
        Answers a;
        a(std::to_string(signs.size())).append(chain.KnownPoints()).append(chain.Sides());
        Replay r(a);
        ASSERT_EQ(r.ends().size(), 1u);
        EXPECT_EQ(r.ends()[0].rfind("failed\t", 0), 0u) << r.ends()[0];
        EXPECT_EQ(r.messages().size(), 1u);
        EXPECT_NE(r.messages()[0].find(SIGNS_CANNOT_CLOSE), std::string::npos);
        EXPECT_EQ(Count(r.prompts(), B_PROMPT), 0u);
        EXPECT_FALSE(r.s.LastRunCompleted);
    }
}

TEST(Dialogue, PacingAnswersAreDiscarded)
{
    EquilateralChain chain({-1, 1}, Closing::CoordinatesOnly);
    Answers a;
    a("2").append(chain.KnownPoints()).append(chain.Sides()).append(chain.Names());
    a("M")("0")("<CANCEL>");
    Replay r(a);
    EXPECT_EQ(r.ends(), std::vector<std::string>{"completed"});
    std::vector<std::string> lines = Lines(r.transcript);
    auto first = std::find(lines.begin(), lines.end(), "PROMPT\t" + DISPLAY_PROMPT);
    std::vector<std::string> display(first, lines.end());
    std::vector<std::string> expected{
        "PROMPT\t" + DISPLAY_PROMPT, "TEXT\tText20\t" + DISPLAY_HINT, "TEXT\tText17\t B",
        "TEXT\tText18\t1000.000",    "TEXT\tText19\t1100.000",
        "PROMPT\t" + DISPLAY_PROMPT, "TEXT\tText20\t" + DISPLAY_HINT, "TEXT\tText17\t P1",
        "TEXT\tText18\t" + FormatFixed(chain.X[1], 3), "TEXT\tText19\t" + FormatFixed(chain.Y[1], 3),
        "PROMPT\t" + DISPLAY_PROMPT, "TEXT\tText20\t" + DISPLAY_HINT, "TEXT\tText17\t C",
        "TEXT\tText18\t" + FormatFixed(chain.Xc, 3), "TEXT\tText19\t" + FormatFixed(chain.Yc, 3),
        "END\tcompleted"};
    EXPECT_EQ(display, expected);
}

TEST(Dialogue, TwoRunsInARowCarryTheFormStateOver)
{
    EquilateralChain first({-1, 1, -1}, Closing::WithAzimuth);
    EquilateralChain second({-1, 1, -1, 1, -1}, Closing::WithD);
    Answers a = first.Run();
    a.append(second.Run());
    Replay r(a);
    ASSERT_EQ(r.ends(), (std::vector<std::string>{"completed", "completed"})) << r.transcript;
    EXPECT_EQ(r.s.TriangleCount, 5);
    EXPECT_EQ(r.s.SideLengths.size(), 12u);
    EXPECT_EQ(r.s.PointNames.size(), 6u);
    EXPECT_EQ(r.s.PointNames[5], "");  // nothing of the first run survives in an array
    EXPECT_EQ(r.s.Tb, std::stod(first.azimuthPacked));  // Tb and Qb only written without D
    EXPECT_EQ(r.s.Qb, 25);
    // with D the azimuth fields are emptied so they show nothing of the first run
    std::vector<std::string> t26 = r.texts(26);
    EXPECT_EQ(t26.back(), "");
    EXPECT_EQ(r.p.Field(28), "");
    EXPECT_EQ(r.texts(29).back(), CountText(5));
}

TEST(Dialogue, SameInputsTwiceGiveTheSameTexts)
{
    EquilateralChain chain({-1, 1, -1, 1}, Closing::WithAzimuth);
    Replay once(chain.Run());
    Answers twice = chain.Run();
    twice.append(chain.Run());
    Replay r(twice);
    std::string single = once.transcript;
    ASSERT_EQ(r.transcript.size(), 2 * single.size());
    EXPECT_EQ(r.transcript.substr(0, single.size()), single);
    EXPECT_EQ(r.transcript.substr(single.size()), single);
}

TEST(Dialogue, InputRunningOutCancelsTheWaitingBox)
{
    Replay r(Answers{});
    EXPECT_EQ(Lines(r.transcript), (std::vector<std::string>{"PROMPT\t" + COUNT_PROMPT, "END\tcancelled"}));
}

// With D and three triangles the last three signs are all the signs: three
// equal ones pivot every leg about B, so C would be B, and the run stops after
// the sides as it does for N = 2 and 4. Two equal signs at the end (the route
// pivots at C) or at the start still close.
TEST(Dialogue, ThreeTrianglesWithDAndThreeEqualSigns)
{
    for (std::vector<int> signs : {std::vector<int>{1, 1, 1}, {-1, -1, -1}}) {
        EquilateralChain chain(signs, Closing::WithD);
        Answers a;
        a("3").append(chain.KnownPoints()).append(chain.Sides());
        Replay r(a);
        ASSERT_EQ(r.ends().size(), 1u);
        EXPECT_EQ(r.ends()[0], "failed\t" + std::string("无效参数：") + SIGNS_CANNOT_CLOSE);
        EXPECT_EQ(r.messages(), std::vector<std::string>{std::string("无效参数：") + SIGNS_CANNOT_CLOSE});
        EXPECT_EQ(Count(r.prompts(), B_PROMPT), 0u);
        EXPECT_FALSE(r.s.LastRunCompleted);
    }
    for (std::vector<int> signs : {std::vector<int>{-1, 1, 1}, {1, 1, -1}, {1, -1, 1}}) {
        EquilateralChain chain(signs, Closing::WithD);
        Replay r(chain.Run());
        ASSERT_EQ(r.ends().size(), 1u);
        EXPECT_EQ(r.ends()[0], "completed") << signs[0] << signs[1] << signs[2];
        EXPECT_TRUE(r.messages().empty());
    }
}


// An orientation angle turned anticlockwise (typed negative) has no external
// azimuth to refer to either: asked again like a positive one.
TEST(Dialogue, NegativeOrientationAngleWithoutExternalAzimuthIsAskedAgain)
{
    Answers a;
    a("3").confirmed("0").confirmed("0").confirmed("0").confirmed("100").confirmed("5").confirmed("5");
    a.confirmed("0").confirmed("0").confirmed("0").confirmed("-25.3");
    a.confirmed("0").confirmed("0");  // then no azimuth data at all: two conditions
    Replay r(a);
    EXPECT_EQ(Count(r.messages(), ORIENTATION_WITHOUT_AZIMUTH), 1u);
    EXPECT_EQ(Count(r.prompts(), AZIMUTH_PROMPT), 2u);
    EXPECT_EQ(r.s.Qb, 0);
    EXPECT_EQ(r.p.Field(27), TWO_CONDITIONS);
}


// Runs one after another in one session, the transcript of each kept apart.
struct Runs {
    ProgramState s;
    ScriptedPlatform p;
    explicit Runs(const Answers& answers) : p(answers.lines) {}
    std::vector<std::string> Next()
    {
        p.EndRun(AdjustmentRun(s, p));
        return Lines(p.TakeTranscript());
    }
    std::vector<std::string> Fields() const
    {
        std::vector<std::string> f;
        for (int n = 1; n <= 29; ++n) f.push_back(p.Field(n));
        return f;
    }
};

// The lines just before the first line that starts with `kind`.
std::vector<std::string> Before(const std::vector<std::string>& lines, const std::string& kind, std::size_t count)
{
    auto at = std::find_if(lines.begin(), lines.end(), [&kind](const std::string& l) { return l.rfind(kind, 0) == 0; });
    const long n = std::min(static_cast<long>(count), at - lines.begin());
    return {at - n, at};
}

// After a finished run, a new run empties every result field in field order
// once its triangle count is taken: nothing of the finished run's result
// stands beside its first values, nor beside its own fault.
TEST(Dialogue, ANewRunEmptiesTheResultFieldsWhenItStarts)
{
    EquilateralChain chain({-1, 1}, Closing::CoordinatesOnly), missed = chain;
    missed.Xc += 100;  // so far off that the adjusted sides stop forming a triangle
    EquilateralChain withD({-1, 1}, Closing::WithD);
    Answers a = chain.Run();
    a("2").append(missed.KnownPoints()).append(missed.Sides()).append(missed.Names());
    a("2").append(withD.KnownPoints()).confirmed("-100").confirmed("100").confirmed("-100");  // signs that cannot close
    Runs r(a);
    ASSERT_EQ(r.Next().back(), "END\tcompleted");
    ASSERT_NE(r.p.Field(25), "");

    const auto startsEmptied = [](const std::vector<std::string>& lines) {
        std::vector<std::string> expected{"PROMPT\t" + COUNT_PROMPT, "TEXT\tText29\t" + CountText(2)};
        for (const std::string& emptied : EmptiedResultFields()) expected.push_back(emptied);
        expected.push_back("TEXT\tText1\t");
        return std::vector<std::string>(lines.begin(), lines.begin() + static_cast<long>(std::min(lines.size(), expected.size()))) ==
               expected;
    };

    // a fault of the computation after the misclosures and the weight
    // reciprocals: those are this run's, the rest stays empty
    std::vector<std::string> lines = r.Next();
    ASSERT_EQ(lines.back().rfind("END\tfailed\t", 0), 0u) << lines.back();
    EXPECT_TRUE(startsEmptied(lines));
    for (int n : {16, 18, 19, 22, 24, 25}) EXPECT_EQ(r.p.Field(n), "") << n;
    EXPECT_NE(r.p.Field(14), " 0.00 毫米");  // this run's misclosure
    EXPECT_EQ(r.p.Field(5), " " + FormatFixed(missed.Xc, 3));

    // a refusal during entry: every result field empty
    lines = r.Next();
    ASSERT_EQ(lines.back(), "END\tfailed\t无效参数：" + SIGNS_CANNOT_CLOSE);
    EXPECT_TRUE(startsEmptied(lines));
    EXPECT_EQ(Before(lines, "MESSAGE", 1), std::vector<std::string>{"TEXT\tText11\ts4=-100.0000"});
    for (int n : {12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}) EXPECT_EQ(r.p.Field(n), "") << n;
    EXPECT_EQ(r.p.Field(7), " " + FormatFixed(withD.Xd, 3));  // the values typed stay
    EXPECT_FALSE(r.s.LastRunCompleted);
}

// A run cancelled after its first prompt: the result fields were emptied when
// it started, and input fields it has not reached keep their text.
TEST(Dialogue, ACancelledRunLeavesTheResultFieldsEmpty)
{
    EquilateralChain chain({-1, 1}, Closing::CoordinatesOnly);
    Runs r(chain.Run()("3")("5")(""));
    r.Next();
    std::vector<std::string> lines = r.Next();
    EXPECT_EQ(lines.back(), "END\tcancelled");
    for (int n : {12, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}) EXPECT_EQ(r.p.Field(n), "") << n;
    EXPECT_EQ(r.p.Field(29), CountText(3));
    EXPECT_EQ(r.p.Field(1), " 5.000");
    EXPECT_EQ(r.p.Field(10), "S5=100.0000");  // an input field of the earlier run
    EXPECT_EQ(r.s.LastTyped.values.size(), 2u);
}

// An accidental press of the adjustment button, cancelled at the triangle
// count (after a refused count too): no field, no state changes, and the
// finished run still prints.
TEST(Dialogue, ARunCancelledAtTheTriangleCountChangesNothing)
{
    EquilateralChain chain({-1, 1}, Closing::WithAzimuth);
    Runs r(chain.Run()("<CANCEL>")("0")("<CANCEL>"));
    r.Next();
    ASSERT_TRUE(r.s.LastRunCompleted);
    ReportPrinter(r.s, r.p);
    const std::vector<std::string> report = Lines(r.p.TakeTranscript());
    ASSERT_GT(report.size(), 10u);
    const std::vector<std::string> fields = r.Fields();
    const ProgramState before = r.s;

    const std::vector<std::vector<std::string>> pressed{
        {"PROMPT\t" + COUNT_PROMPT, "END\tcancelled"},
        {"PROMPT\t" + COUNT_PROMPT, "MESSAGE\t" + COUNT_OUT_OF_RANGE, "PROMPT\t" + COUNT_PROMPT, "END\tcancelled"}};
    for (const std::vector<std::string>& transcript : pressed) {
        EXPECT_EQ(r.Next(), transcript);
        EXPECT_EQ(r.Fields(), fields);
        EXPECT_TRUE(r.s.LastRunCompleted);
        EXPECT_EQ(r.s.TriangleCount, before.TriangleCount);
        EXPECT_EQ(r.s.LastRun->result.PointX, before.LastRun->result.PointX);
        EXPECT_EQ((*r.s.LastRun->result.ms), (*before.LastRun->result.ms));
        EXPECT_EQ(r.s.LastTyped.values.size(), before.LastTyped.values.size());
        ReportPrinter(r.s, r.p);
        EXPECT_EQ(Lines(r.p.TakeTranscript()), report);
    }
}
}  // namespace
