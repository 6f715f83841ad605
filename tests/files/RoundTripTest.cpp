// Every answer the dialogue takes survives a save and a read unchanged: as a
// name, as a project name and note, and where the dialogue takes it as a
// number, as a number. A run from the file gives the results of the typed run.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "FileTestSupport.h"
#include "rules/InputRules.h"
#include "display/ReportComposer.h"
#include "files/DialogueSequence.h"
#include "files/Journal.h"
#include "files/RecordKeys.h"
#include "core/TriangleSolution.h"
#include "run/AdjustmentRun.h"
#include "run/DesignRun.h"
#include "rules/GradeTexts.h"
#include "run/BatchRun.h"
#include "run/ScriptedPlatform.h"
#include "support/ChainGenerator.h"
#include "support/FileProperties.h"
#include "text/NumberReading.h"

namespace {

namespace fs = std::filesystem;
const fs::path kSource = TRILAT_SOURCE_DIR;

// Every answer of the tests' answers files, the fuzz seeds, and the bad-answer
// catalogue (tests/core/BadAnswerCatalogueTest.cpp), with numbers as a
// surveyor may type them.
std::set<std::string> AllAnswers()
{
    std::set<std::string> answers{
        "", "   ", "abc", "1,5", "1e400", "nan", "inf", "--1", "-", "\xEF\xBC\x92", "\xEF\xBC\x90",
        std::string(10000, '9'), std::string(10000, 'q'), std::string("\x01\x1b[2J\x7f", 6), "\xC3\x28\xFF",
        ScriptedPlatform::CANCEL, std::string("\x01 \xC3\x28 name\t", 11),
        // numbers kept as typed
        "4.5", "3.5", " 4 ", "\t4", "4\t", "\xEF\xBC\x94", "\xE3\x80\x80" "4" "\xE3\x80\x80", "+4", "4e0",
        // what a line cannot hold plainly
        "#", "a#b", "\\", "\\x41", "\\s", " ", "\t", "\r", "\n", "a\r\nb", std::string(1, '\0'),
        "\xEF\xBB\xBF" "B", "\xE2\x80\xA8", "\xC2\x85", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC0\xAF",
        "+ = x", "未完成", "= x", "点名 B = x"};
    std::string everyByte;
    for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
    answers.insert(everyByte);
    answers.insert(std::string(5000, '\x01'));  // four bytes each when escaped
    std::string longChinese;
    for (int i = 0; i < 2000; ++i) longChinese += "基";
    answers.insert(longChinese + " ");

    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(kSource / "tests/data"))
        if (entry.path().extension() == ".answers") files.push_back(entry.path());
    for (const char* dir : {"tests/fuzz/corpus", "tests/properties/data"})
        for (const auto& entry : fs::directory_iterator(kSource / dir)) files.push_back(entry.path());
    EXPECT_GE(files.size(), 10u);
    for (const fs::path& file : files)
        for (std::string& line : SplitAnswerLines(ReadBytes(file))) answers.insert(std::move(line));
    return answers;
}

void ExpectRoundTrip(const ObservationRecord& record, const std::string& what)
{
    std::string file = WriteObservationFile(record);
    auto read = ReadObservationFile(file);
    if (const FileError* error = std::get_if<FileError>(&read)) {
        ADD_FAILURE() << what << ": " << FormatFileError(*error);
        return;
    }
    EXPECT_EQ(RecordDifference(record, std::get<ObservationRecord>(read)), "") << what;
    std::string violated = CheckFileProperties(reinterpret_cast<const std::uint8_t*>(file.data()), file.size());
    EXPECT_EQ(violated, "") << what;
}

TEST(RoundTrip, EveryAnswerAsANameAProjectAndANote)
{
    std::set<std::string> answers = AllAnswers();
    EXPECT_GT(answers.size(), 100u);
    for (const std::string& answer : answers) {
        ObservationRecord record = With(AzimuthChain(), {ValueKind::PointName, 2}, answer);
        record.project = answer;
        record.notes = {answer, "", answer};
        ExpectRoundTrip(record, "name " + answer.substr(0, 40));
        // the point after C of a chain closing on D
        ExpectRoundTrip(With(PointDChain(), {ValueKind::PointName, 4}, answer), "after-C name");
    }
}

// The a-priori standard error of a side is kept as typed, and it may stand
// anywhere, like the project name.
TEST(RoundTrip, TheAPrioriStandardErrorOfASide)
{
    for (const char* sigma : {"2", "0.5", "１.５", " 3 "}) {
        ObservationRecord record = AzimuthChain();
        record.sigma0Mm = sigma;
        ExpectRoundTrip(record, std::string("sigma0 ") + sigma);
    }
    std::string file = WriteObservationFile(AzimuthChain());
    file.replace(file.find("N = "), 0, "先验测边中误差 = 1.5   # 测距仪标称精度\n");
    auto read = ReadObservationFile(file);
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read));
    EXPECT_EQ(std::get<ObservationRecord>(read).sigma0Mm, "1.5");
}

// The keys of the reduction to the Gauss plane are kept as typed and may
// stand anywhere before 未完成, like the project name.
TEST(RoundTrip, TheReductionToTheGaussPlane)
{
    ObservationRecord record = AzimuthChain();
    ReductionRecord& r = record.reduction;
    r.sideKind = "斜距", r.ellipsoid = "西安80", r.centralMeridian = "113.30", r.falseEasting = "５０００００";
    r.surfaceHeight = "１５００", r.heightAnomaly = "-12.5", r.addConstantMm = "3", r.scaleConstantMmPerKm = "-2";
    r.heights = {{"C", "20"}, {"A", "10.125"}, {"3", " 7 "}, {"B", "-3"}, {"1", "1e2"}, {"2", "0"}};
    r.sideHeights = {{5, "1.5", ""}, {2, "", "1.80"}, {7, "1.6", "1.7"}};
    ExpectRoundTrip(record, "every reduction key");
    std::string file = WriteObservationFile(AzimuthChain());
    file.replace(file.find("S5 = "), 0, "高程 c = 3   # 基2\n");
    auto read = ReadObservationFile(file);
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read));
    ASSERT_EQ(std::get<ObservationRecord>(read).reduction.heights.size(), 1u);
    EXPECT_EQ(std::get<ObservationRecord>(read).reduction.heights[0].mark, "C");
    EXPECT_EQ(std::get<ObservationRecord>(read).reduction.heights[0].text, "3");
}

// The weights are kept as typed: the distance meter's a and b, the
// orientation angle's standard error and sides' own, in side order.
TEST(RoundTrip, TheWeightsOfTheObservations)
{
    struct Case {
        const char* why;
        const char *a, *b, *orientation;
        std::map<int, std::string> own;
    };
    const Case cases[] = {
        {"a and b", "2", "2", "1.5", {}},
        {"b alone", "0", "５", "２", {}},
        {"sides of their own", " 3 ", "1e0", "0.7", {{9, "12"}, {2, "3.25"}, {5, "０.８"}}},
    };
    for (const Case& c : cases) {
        ObservationRecord record = AzimuthChain();
        record.edmAMm = c.a, record.edmBPpm = c.b, record.orientationSigmaSec = c.orientation;
        record.sideSigmaMm = c.own;
        ExpectRoundTrip(record, c.why);
    }
    ObservationRecord record = AzimuthChain();
    record.edmAMm = "2", record.edmBPpm = "2", record.orientationSigmaSec = "1", record.sideSigmaMm = {{7, "4"}};
    record.grade = "四等";
    ExpectRoundTrip(record, "with its grade");
    const std::string file = WriteObservationFile(record);
    EXPECT_NE(file.find("等级 = 四等\n"), std::string::npos) << file;
    EXPECT_NE(file.find("测距固定误差 = 2\n测距比例误差 = 2\n定向角中误差 = 1\nS7 中误差 = 4\n"), std::string::npos) << file;
}

// The window's run from a file takes its weights, and keeps them in the
// record it saves; a record that reaches the adjustment without the
// orientation angle's standard error its chain needs (an incomplete file
// completed in the window) is refused, naming the line.
TEST(RoundTrip, TheWindowsRunTakesTheFilesWeights)
{
    ObservationRecord record = AzimuthChain();
    record.edmAMm = "3", record.edmBPpm = "2", record.orientationSigmaSec = "2", record.sideSigmaMm = {{5, "4"}};
    auto run = [](const ObservationRecord& file, ProgramState& s) {
        ScriptedPlatform p(std::vector<std::string>{});
        RunOptions options;
        options.prefilled = &file;
        return AdjustmentRun(s, p, options);
    };
    ProgramState s;
    RunOutcome outcome = run(record, s);
    ASSERT_EQ(outcome.kind, RunOutcome::Completed) << outcome.reason;
    const ChainResult& r = s.LastRun->result;
    EXPECT_TRUE(r.Weighted);
    EXPECT_EQ(r.Mu0Mm, 5.0);
    EXPECT_EQ(r.Sigma.at(5), 0.004);                             // its own
    EXPECT_NEAR(r.Sigma.at(7), (3 + 2 * 0.1) / 1000, 1e-15);     // 100 m: 3 + 2 x 0.1 mm
    EXPECT_NEAR(r.Sigma.back(), 2, 1e-12);                       // the orientation angle [arc s]
    EXPECT_EQ(RecordDifference(s.LastTyped, record), "");

    // with its grade: the verdict after the run (the program's limits have no
    // figures yet: 无此项限差), and the window's 精度预估 of the same record
    record.grade = "四等";
    ScriptedPlatform graded(std::vector<std::string>{});
    RunOptions options;
    options.prefilled = &record;
    ProgramState g;
    ASSERT_EQ(AdjustmentRun(g, graded, options).kind, RunOutcome::Completed);
    EXPECT_NE(graded.Transcript().find("等级 四等：无限差可判定（无此项限差）"), std::string::npos) << graded.Transcript();
    const DesignReport design = DesignOfRecord(record, "2026-12-10");
    ASSERT_TRUE(design.Made()) << design.refusal;
    EXPECT_EQ(design.Lines().at(0), "三边锁精度预估报告");
    EXPECT_EQ(design.Lines().at(1), "日期：2026-12-10");
    EXPECT_EQ(*design.completed->result.ms, 5.0f);  // mu0 = a + b
    ObservationRecord plain = AzimuthChain();
    EXPECT_EQ(DesignOfRecord(plain, "2026-12-10").refusal, kDesignWithoutMu0);
    plain.values.pop_back();
    EXPECT_EQ(DesignOfRecord(plain, "2026-12-10").refusal, "观测值不完整：缺少 点名 C");
    record.grade.clear();

    record.orientationSigmaSec.clear();
    ProgramState refused;
    outcome = run(record, refused);
    EXPECT_EQ(outcome.kind, RunOutcome::Failed);
    EXPECT_EQ(outcome.reason, "无效参数：缺少「定向角中误差」：给出「测距固定误差」「测距比例误差」、又有定向角 Qb 时，"
                              "定向角也须有它的中误差（秒）");
}

TEST(RoundTrip, EveryNumberTheDialogueTakesAsANumber)
{
    int numbers = 0, counts = 0, angles = 0;
    for (const std::string& answer : AllAnswers()) {
        double value = 0, degrees = 0;
        if (RefuseNumber(answer, value)) continue;
        ++numbers;
        // Xc enters no triangle of a chain without D; S7 is a side of triangles 3
        // and 4 (their other sides 100 m), which must stay triangles
        ExpectRoundTrip(With(AzimuthChain(), {ValueKind::Coordinate, 4}, answer), "Xc " + answer);
        if (std::fabs(value) > 1e-6 && std::fabs(value) < 199)
            ExpectRoundTrip(With(AzimuthChain(), {ValueKind::Side, 7}, answer), "S7 " + answer);
        std::int16_t N = 0;
        if (!RefuseTriangleCount(value, N) && N == 4) {
            ++counts;
            ExpectRoundTrip(With(AzimuthChain(), {ValueKind::TriangleCount, 0}, answer), "N " + answer);
        }
        if (!RefusePackedAngle(value, degrees)) {
            ++angles;
            ObservationRecord record = With(AzimuthChain(), {ValueKind::ExternalAzimuth, 0}, answer);
            if (degrees == 0) record = With(record, {ValueKind::OrientationAngle, 0}, "0");
            ExpectRoundTrip(record, "Tb " + answer);
        }
    }
    EXPECT_GT(numbers, 30);
    EXPECT_GE(counts, 8);  // "4", "4.5", "3.5", full-width and blank-padded fours
    EXPECT_GT(angles, 20);
}

TEST(RoundTrip, IncompleteRecordsStopWhereTheRunStopped)
{
    for (const ObservationRecord& full : {AzimuthChain(), PointDChain()}) {
        for (std::size_t n = 0; n <= full.values.size(); ++n) {
            ObservationRecord record = full;
            record.values.resize(n);
            record.complete = false;
            ExpectRoundTrip(record, "first " + std::to_string(n) + " values");
            std::string label;
            std::optional<ValueKey> next = NextKeyOf(record, &label);
            if (n < full.values.size()) {
                ASSERT_TRUE(next);
                EXPECT_EQ(*next, full.values[n].key);
                EXPECT_EQ(label, KeyLabel(full.values[n].key, n > 0 && full.values.size() == 24 ? 3 : 2));
            } else {
                EXPECT_FALSE(next);
            }
        }
    }
}

TEST(RoundTrip, NothingIsHalfRead)
{
    // every file cut after any of its lines: an error, or with 未完成 added an
    // incomplete record of just the values before the cut
    for (const ObservationRecord& full : {AzimuthChain(), PointDChain()}) {
        std::string file = WriteObservationFile(full);
        std::size_t cut = file.find('\n');
        while ((cut = file.find('\n', cut + 1)) != std::string::npos) {
            std::string head = file.substr(0, cut + 1);
            if (cut + 1 == file.size()) {
                EXPECT_EQ(RecordDifference(ReadOrFail(head), full), "");
                break;
            }
            FileError error = ErrorOf(head);
            EXPECT_EQ(error.line, 0) << error.message;
            EXPECT_NE(error.message.find("之前结束"), std::string::npos) << error.message;

            ObservationRecord partial = ReadOrFail(head + "未完成\n");
            EXPECT_FALSE(partial.complete);
            ASSERT_LE(partial.values.size(), full.values.size());
            for (std::size_t i = 0; i < partial.values.size(); ++i) {
                EXPECT_EQ(partial.values[i].key, full.values[i].key);
                EXPECT_EQ(partial.values[i].text, full.values[i].text);
            }
        }
    }
}

// A kill while the journal writes a line leaves that line torn (no line end):
// the journal reads as the values before it, the torn half left out.
TEST(RoundTrip, AJournalKilledInsideALineReadsUpToTheLineBefore)
{
    ObservationRecord before = AzimuthChain();  // N, Xa .. Yd, Tb, Qb, S2, S3; S4 = 100 being written
    before.values.resize(13);
    before.complete = false;
    ObservationRecord written = AzimuthChain();
    written.values.resize(14);
    ASSERT_EQ(written.values.back().text, "100");
    const std::string lines = WriteObservationHeader(written) + WriteValueLines(written, 0, 3);
    ASSERT_EQ(lines.substr(lines.size() - 9), "S4 = 100\n");
    const std::string torn = lines.substr(0, lines.size() - 2);  // "S4 = 10"
    auto read = ReadJournal(torn);
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read)) << FormatFileError(std::get<FileError>(read));
    EXPECT_EQ(RecordDifference(std::get<ObservationRecord>(read), before), "");
}

// A window hands the journal each value as it is confirmed and syncs once
// before the next box: the file holds the first value (it starts the file)
// until then, and every value, whole, after.
TEST(RoundTrip, AJournalHoldsTheValuesOfARunUntilTheNextBox)
{
    const TemporaryFolder folder;
    Journal journal((folder.Path() / "journal.trilat").string());
    journal.Start();
    ObservationRecord typed;
    for (const TypedValue& value : AzimuthChain().values) {
        typed.values.push_back(value);
        ASSERT_EQ(journal.Update(typed, false), std::nullopt);
    }
    auto valuesInFile = [&journal] {
        auto read = ReadJournal(ReadBytes(journal.Path()));
        EXPECT_TRUE(std::holds_alternative<ObservationRecord>(read)) << FormatFileError(std::get<FileError>(read));
        return std::holds_alternative<ObservationRecord>(read) ? std::get<ObservationRecord>(read).values.size() : 0u;
    };
    EXPECT_EQ(valuesInFile(), 1u);
    EXPECT_EQ(journal.Sync(), std::nullopt);
    EXPECT_EQ(valuesInFile(), typed.values.size());
    EXPECT_EQ(journal.Sync(), std::nullopt);  // nothing left to sync
}

TEST(RoundTrip, TheRecordHoldsTheKeysOfItsChainInDialogueOrder)
{
    ObservationRecord d = ReadOrFail(WriteObservationFile(PointDChain()));
    std::vector<ValueKey> keys;
    for (const TypedValue& v : d.values) keys.push_back(v.key);
    EXPECT_EQ(keys, DialogueKeys(5, true, true));
    EXPECT_EQ(keys.size(), 1u + 8 + 9 + 5);  // no Tb, Qb; S2..S10; B, 1, 2, C, after C
    ASSERT_NE(Find(d, {ValueKind::PointName, 4}), nullptr);
    EXPECT_EQ(Find(d, {ValueKind::PointName, 4})->text, "Q");
    EXPECT_EQ(Find(d, {ValueKind::ExternalAzimuth, 0}), nullptr);
    std::string written = WriteObservationFile(PointDChain());
    EXPECT_NE(written.find("\n点名 C = C\n点名 C后 = Q\n"), std::string::npos) << written;
    EXPECT_EQ(UnknownPointCount(5, true, false), 3);
    EXPECT_EQ(UnknownPointCount(5, false, true), 4);
}

TEST(RoundTrip, TheLongestChainRoundTrips)
{
    // N = 16382 closing on D with equal last signs: 49 154 values
    std::vector<ValueKey> keys = DialogueKeys(16382, true, true);
    ObservationRecord record;
    record.complete = true;
    for (const ValueKey& key : keys) {
        std::string text = "P" + std::to_string(key.index);
        if (key.kind == ValueKind::TriangleCount) text = "16382";
        if (key.kind == ValueKind::Coordinate) text = std::to_string(1000 + key.index / 2 * 100 + key.index % 2);
        if (key.kind == ValueKind::Side) text = key.index % 2 == 0 && key.index % 4 == 0 ? "-100" : "100";
        record.values.push_back({key, text});
    }
    // the route signs alternate (+1 for S2, -1 for S4 ...) up to the last three: + - -
    for (TypedValue& v : record.values) {
        if (v.key == ValueKey{ValueKind::Side, 32760}) v.text = "100";
        if (v.key == ValueKey{ValueKind::Side, 32762}) v.text = "-100";
    }
    std::string file = WriteObservationFile(record);
    EXPECT_NE(file.find("\n点名 16379 = P16379\n点名 C = P16380\n点名 C后 = P16381\n"), std::string::npos);
    EXPECT_EQ(RecordDifference(ReadOrFail(file), record), "");
}

// The report of one run of the answers.
std::vector<std::string> ReportOf(const std::vector<std::string>& answers)
{
    ProgramState state;
    ScriptedPlatform platform(answers);
    RunOutcome outcome = AdjustmentRun(state, platform);
    EXPECT_EQ(outcome.kind, RunOutcome::Completed);
    return LayoutReportAsText(ComposeReport(state));
}

TEST(RoundTrip, ARunFromTheFileGivesTheResultsOfTheTypedRun)
{
    // the typed answers of a session with re-entries, and the file of its values
    std::vector<std::string> typed = SplitAnswerLines(
        ReadBytes(kSource / "tests/data/golden/with-d-and-re-entries.answers"));
    std::vector<std::string> texts{"3",    "1000", "1000", "1000", "1100", "913.3974596215561", "1150",
                                   "826.7949192431122", "1100", "-100", "100", "100", "100", "-100",
                                   "B",    "P1",   "C"};
    ObservationRecord record;
    record.complete = true;
    std::vector<ValueKey> keys = DialogueKeys(3, true, false);
    ASSERT_EQ(keys.size(), texts.size());
    for (std::size_t i = 0; i < keys.size(); ++i) record.values.push_back({keys[i], texts[i]});
    ObservationRecord read = ReadOrFail(WriteObservationFile(record));
    std::vector<std::string> fromFile = ReportOf(AnswersOf(read));
    EXPECT_GT(fromFile.size(), 10u);
    EXPECT_EQ(fromFile, ReportOf(typed));
}

// A side read from a file is read once and its triangle solved once on its way
// to the adjustment: by the reader, with the rules of the dialogue; the batch
// run hands the reader's observations to the core, which solves each triangle
// once in every linearisation and once more for the adjusted coordinates.
TEST(RoundTrip, AFileValueIsReadOnceAndItsTriangleSolvedOnceBeforeTheCore)
{
    struct Case {
        const char* why;
        chain::Closing closing;
        int N;
        long numbers;  // N, the eight coordinates, Tb and Qb without D, the sides typed
    };
    const Case cases[] = {
        {"with D", chain::Closing::PointD, 3, 1 + 8 + 5},
        {"external azimuth", chain::Closing::ExternalAzimuth, 4, 1 + 8 + 2 + 8},
        {"C alone", chain::Closing::NoAzimuth, 2, 1 + 8 + 2 + 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        chain::ChainSpec spec;
        spec.triangles = c.N;
        spec.closing = c.closing;
        spec.noiseMm = 2;
        ProgramState typed;
        ScriptedPlatform platform(chain::GenerateChain(spec).answers);
        ASSERT_EQ(AdjustmentRun(typed, platform).kind, RunOutcome::Completed);
        const std::string bytes = WriteObservationFile(typed.LastTyped);

        const long numbers = NumbersRead(), triangles = TrianglesSolved();
        auto read = ReadChainFile(bytes);
        ASSERT_TRUE(std::holds_alternative<ChainFile>(read));
        EXPECT_EQ(NumbersRead() - numbers, c.numbers) << "every number of the file read once";
        EXPECT_EQ(TrianglesSolved() - triangles, c.N) << "every triangle checked once by the rules";

        const long beforeRun = TrianglesSolved();
        BatchRun run = RunChainFile(std::get<ChainFile>(read));
        ASSERT_TRUE(run.Completed()) << run.outcome.reason;
        EXPECT_EQ(NumbersRead() - numbers, c.numbers) << "the batch run reads no number again";
        EXPECT_EQ(TrianglesSolved() - beforeRun, c.N * (run.completed->result.Iterations + 2))
            << "the core solves each triangle once a linearisation, once to see the points settled and once for "
               "the adjusted coordinates";
    }
}

}  // namespace
