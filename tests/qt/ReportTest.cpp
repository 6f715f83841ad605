// The printed report: the lines trilat-replay --report writes for typical and
// edge-case runs, and the same report rendered through Qt's printer support
// into a PDF file, read back with pdftotext and pdfinfo.
#include <QPrinter>
#include <QProcess>
#include <QRawFont>
#include <map>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "ChainAnswers.h"
#include "display/ReportComposer.h"
#include "run/ScriptedPlatform.h"
#include "support/TestFolder.h"
#include "ui/qt/ReportPainter.h"

namespace {

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

// The REPORT lines of trilat-replay --report for the answers.
std::vector<std::string> ReplayReport(const std::vector<std::string>& answers)
{
    QProcess replay;
    replay.start(TRILAT_REPLAY, {"--report"});
    EXPECT_TRUE(replay.waitForStarted());
    replay.write(QByteArray::fromStdString(Join(answers)));
    replay.closeWriteChannel();
    EXPECT_TRUE(replay.waitForFinished(60000));
    std::vector<std::string> lines;
    for (const QByteArray& line : replay.readAllStandardOutput().split('\n'))
        if (line.startsWith("REPORT\t")) lines.push_back(line.mid(7).toStdString());
    return lines;
}

// The form-level state after one scripted run.
ProgramState RunChain(const ChainOptions& options)
{
    ProgramState state;
    ScriptedPlatform platform(ChainAnswers(options));
    const RunOutcome outcome = AdjustmentRun(state, platform);
    EXPECT_EQ(outcome.kind, RunOutcome::Completed) << outcome.reason;
    return state;
}

std::string Spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

int Count(const std::vector<std::string>& lines, const std::string& prefix)
{
    int n = 0;
    for (const std::string& l : lines) n += l.rfind(prefix, 0) == 0;
    return n;
}

TEST(ReplayReport, ChainClosingOnCWithoutD)
{
    const std::vector<std::string> expected = {
        Spaces(21) + "--- 由已知边起算的三边锁平差 ---",
        "",
        Spaces(21) + "已知点座标 :",
        "",
        Spaces(23) + "点名" + Spaces(5) + "X" + Spaces(16) + "Y",
        "",
        Spaces(24) + "A   0.000            0.000",
        Spaces(24) + "B   0.000            100.000",
        Spaces(24) + "C   -86.603          150.000",
        Spaces(24) + "D   0.000            0.000",
        Spaces(24) + "闭合方位角 Tb= 0.00000",
        Spaces(24) + "闭合定向角 Qb= 0.00000",
        "",
        Spaces(21) + "观测边长 (米) :" + Spaces(8) + "平差改正后边长 (米) :",
        Spaces(23) + "s( 1 )= 100.000        S( 1 )= 100.0000",
        Spaces(23) + "s( 2 )= 100.000        S( 2 )= 100.0000",
        Spaces(23) + "s( 3 )= 100.000        S( 3 )= 100.0000",
        Spaces(23) + "s( 4 )= 100.000        S( 4 )= 100.0000",
        Spaces(23) + "s( 5 )= 100.000        S( 5 )= 100.0000",
        "",
        Spaces(21) + "条件方程式闭合差 :",
        "",
        Spaces(23) + "方位角条件闭合差 : w( 1 )= 0.00 秒",
        Spaces(23) + "纵座标条件闭合差 : w( 2 )= 0.00 毫米",
        Spaces(23) + "横座标条件闭合差 : w( 3 )= 0.00 毫米",
        "",
        Spaces(21) + "平差结果 :",
        "",
        Spaces(23) + "P0    X= 0.000         Y= 100.000",
        Spaces(23) + "P1    X= -86.603       Y= 50.000",
        Spaces(23) + "P2    X= -86.603       Y= 150.000",
        "",
        Spaces(21) + "精度统计 :",
        "",
        Spaces(23) + "单位权测边中误差 :        ms= 0.00 毫米",
        "",
        Spaces(23) + "最弱点纵座标权倒数 :     1/px= 0.6667",
        Spaces(23) + "最弱点横座标权倒数 :     1/py= 0.6667",
        Spaces(23) + "最弱点纵座标单位权中误差 : mx= 0.00 毫米",
        Spaces(23) + "最弱点横座标单位权中误差 : my= 0.00 毫米",
        Spaces(23) + "最弱点单位权点位中误差 :   md= 0.00 毫米",
        Spaces(23) + "最弱点：P1",
    };
    EXPECT_EQ(Join(ReplayReport(ChainAnswers({.triangles = 2}))), Join(expected));
}

TEST(ReplayReport, ChainClosingOnTheKnownSideCD)
{
    const std::vector<std::string> lines = ReplayReport(ChainAnswers({.triangles = 4, .withD = true}));
    ASSERT_GT(lines.size(), 12u);
    EXPECT_EQ(lines[8], Spaces(24) + "C   -173.205         100.000");
    EXPECT_EQ(lines[9], Spaces(24) + "D   -173.205         200.000");
    EXPECT_EQ(lines[10], "");  // no closing azimuth lines when D is given
    EXPECT_EQ(Count(lines, Spaces(23) + "s("), 9);
    // the coordinate list: B and points 1 to 3
    EXPECT_EQ(Count(lines, Spaces(23) + "P"), 4);
    EXPECT_NE(std::find(lines.begin(), lines.end(), Spaces(23) + "P3    X= -173.205      Y= 100.000"), lines.end());
    EXPECT_EQ(Count(lines, Spaces(23) + "P4"), 0);
    EXPECT_NE(std::find(lines.begin(), lines.end(), Spaces(23) + "方位角条件闭合差 : w( 1 )= 0.00 秒"), lines.end());
}

TEST(ReplayReport, WidePointNamePushesTheCoordinatesToTheNextLine)
{
    const std::vector<std::string> lines =
        ReplayReport(ChainAnswers({.triangles = 2, .withD = false, .wideNames = true}));
    const auto name = std::find(lines.begin(), lines.end(), Spaces(23) + "北北北");
    ASSERT_NE(name, lines.end());
    // " X=" at column 29 of a new line, " Y=" at column 46 of that line
    EXPECT_EQ(*(name + 1), Spaces(28) + " X= 0.000" + Spaces(8) + " Y= 100.000");
    EXPECT_EQ(*(name + 2), Spaces(23) + "东北北");
    EXPECT_EQ(*(name + 3), Spaces(28) + " X= -86.603" + Spaces(6) + " Y= 50.000");
}

TEST(ReplayReport, ThreeTrianglesHaveSevenSideLines)
{
    const std::vector<std::string> lines = ReplayReport(ChainAnswers({.triangles = 3}));
    ASSERT_EQ(Count(lines, Spaces(23) + "s("), 7);
    for (int i = 1; i <= 7; ++i) {
        const std::string observed = Spaces(23) + "s( " + std::to_string(i) + " )=";
        const auto line = std::find_if(lines.begin(), lines.end(),
                                       [&](const std::string& l) { return l.rfind(observed, 0) == 0; });
        ASSERT_NE(line, lines.end()) << i;
        EXPECT_EQ(line->substr(46, 7), "S( " + std::to_string(i) + " )=") << *line;
    }
}

TEST(ReportComposition, ACOnAGridAxisKeepsItsLine)
{
    ProgramState state = RunChain({.triangles = 2});
    state.LastRun->input.observations.Yc = 0;
    const std::vector<std::string> lines = LayoutReportAsText(ComposeReport(state));
    EXPECT_EQ(lines[8], Spaces(24) + "C   -86.603          0.000");
    EXPECT_EQ(lines[9], Spaces(24) + "D   0.000            0.000");
}

TEST(ReportComposition, TitleLinesInTwelvePointsTheRestInTen)
{
    const Report report = ComposeReport(RunChain({.triangles = 2}));
    EXPECT_EQ(report.fontName, "宋体");
    EXPECT_FLOAT_EQ(report.startLeftTwips, 2000);
    EXPECT_FLOAT_EQ(report.startTopTwips, 1000);
    ASSERT_GT(report.lines.size(), 3u);
    EXPECT_EQ(report.lines[0].pointSize, 12);
    EXPECT_EQ(report.lines[1].pointSize, 12);
    for (std::size_t i = 2; i < report.lines.size(); ++i) EXPECT_EQ(report.lines[i].pointSize, 10) << i;
}

// --- the report on paper ---

struct Printed {
    int pages = 0;          // pages painted
    int pdfPages = 0;       // pages pdfinfo counts
    std::vector<std::vector<std::string>> text;  // pdftotext -layout, per page
};

QString Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

Printed PrintToPdf(const Report& report, const QString& name)
{
    const TestFolder folder;  // the PDF is read back here and goes with the folder
    const QString file = QString::fromStdString(folder.File(name.toStdString()));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    const ReportPaintResult result = PaintReport(report, printer);
    EXPECT_TRUE(result.ok) << result.error.toStdString();
    Printed printed;
    printed.pages = result.pages;
    const QRegularExpression pages("Pages:\\s+(\\d+)");
    printed.pdfPages = pages.match(Run("pdfinfo", {file})).captured(1).toInt();
    for (const QString& page : Run("pdftotext", {"-layout", file, "-"}).split('\f', Qt::SkipEmptyParts)) {
        std::vector<std::string> lines;
        for (const QString& line : page.split('\n')) lines.push_back(line.toStdString());
        printed.text.push_back(lines);
    }
    return printed;
}

// The PDF's text gives some ideographs as the look-alike radical that shares
// their glyph (U+2F45 for U+65B9); both sides are compared by glyph.
QString SameGlyphs(const QString& text)
{
    static const std::map<char32_t, char32_t> unified = [] {
        QFont song(QString::fromUtf8("宋体"));
        const QRawFont font = QRawFont::fromFont(song);
        std::map<quint32, char32_t> byGlyph;
        for (char32_t c = 0x4E00; c <= 0x9FFF; ++c) byGlyph.emplace(font.glyphIndexesForString(QString::fromUcs4(&c, 1)).value(0), c);
        std::map<char32_t, char32_t> map;
        for (char32_t c = 0x2E80; c <= 0x2FDF; ++c) {
            const auto found = byGlyph.find(font.glyphIndexesForString(QString::fromUcs4(&c, 1)).value(0));
            if (found != byGlyph.end() && found->first != 0) map[c] = found->second;
        }
        return map;
    }();
    QString out;
    for (char32_t c : text.toUcs4()) {
        const auto found = unified.find(c);
        const char32_t u = found == unified.end() ? c : found->second;
        out += QString::fromUcs4(&u, 1);
    }
    return out;
}

// A line with its runs of blanks shortened to one blank, ends trimmed; empty
// lines are dropped, since the PDF text keeps no blank lines reliably.
std::vector<std::string> Words(const std::vector<std::string>& lines)
{
    std::vector<std::string> out;
    for (const std::string& line : lines) {
        const QString simple = SameGlyphs(QString::fromStdString(line).simplified());
        if (!simple.isEmpty()) out.push_back(simple.toStdString());
    }
    return out;
}

void ExpectSameLines(const std::vector<std::string>& printed, const std::vector<std::string>& expected)
{
    EXPECT_EQ(printed.size(), expected.size());
    for (std::size_t i = 0; i < std::min(printed.size(), expected.size()); ++i)
        if (printed[i] != expected[i]) {
            ADD_FAILURE() << "line " << i << ": printed \"" << printed[i] << "\", expected \"" << expected[i] << "\"";
            return;
        }
}

std::string OneLine(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& l : lines) all += l + " ";
    return all;
}

std::vector<std::string> AllPages(const Printed& p)
{
    std::vector<std::string> all;
    for (const auto& page : p.text) all.insert(all.end(), page.begin(), page.end());
    return all;
}

TEST(PrintedReport, PdfHoldsTheReportLines)
{
    const Report report = ComposeReport(RunChain({.triangles = 2}));
    const Printed printed = PrintToPdf(report, "report-n2.pdf");
    EXPECT_EQ(printed.pages, 1);
    EXPECT_EQ(printed.pdfPages, 1);
    ExpectSameLines(Words(AllPages(printed)), Words(LayoutReportAsText(report)));
}

TEST(PrintedReport, WideNamesWrapOnPaperToo)
{
    const Report report = ComposeReport(RunChain({.triangles = 3, .withD = true, .wideNames = true}));
    const Printed printed = PrintToPdf(report, "report-wide-names.pdf");
    EXPECT_EQ(printed.pdfPages, 1);
    const std::vector<std::string> words = Words(AllPages(printed));
    ExpectSameLines(words, Words(LayoutReportAsText(report)));
    const auto name = std::find(words.begin(), words.end(), "北北北");
    ASSERT_NE(name, words.end());
    EXPECT_EQ(*(name + 1), "X= 0.000 Y= 100.000");
}

TEST(PrintedReport, ColumnsLineUpOnPaper)
{
    // In the PDF text the s( and S( items of every side line start at the same
    // place, and S( lies right of the widest s( item.
    const Printed printed = PrintToPdf(ComposeReport(RunChain({.triangles = 3})), "report-n3.pdf");
    std::vector<std::size_t> observed, adjusted;
    for (const std::string& l : AllPages(printed)) {
        const QString line = QString::fromStdString(l);
        if (!line.contains("s(")) continue;
        observed.push_back(static_cast<std::size_t>(line.indexOf("s(")));
        adjusted.push_back(static_cast<std::size_t>(line.indexOf("S(")));
    }
    ASSERT_EQ(observed.size(), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(observed[i], observed[0]);
        EXPECT_EQ(adjusted[i], adjusted[0]);
    }
    EXPECT_GT(adjusted[0], observed[0] + 15);
}

TEST(PrintedReport, ALongChainContinuesOverPages)
{
    const Report report = ComposeReport(RunChain({.triangles = 1000}));
    const Printed printed = PrintToPdf(report, "report-n1000.pdf");
    // 2001 side lines and 1001 points make some forty pages of A4 or Letter
    EXPECT_GT(printed.pages, 30);
    EXPECT_EQ(printed.pdfPages, printed.pages);
    EXPECT_EQ(static_cast<int>(printed.text.size()), printed.pages);
    // Names of five characters such as "P1000" are wider on paper than five
    // columns, so there " X=" moves to the next line: the same text, not the
    // same lines.
    EXPECT_EQ(OneLine(Words(AllPages(printed))), OneLine(Words(LayoutReportAsText(report))));
    // every page but the last is filled down to its foot
    for (std::size_t p = 0; p + 1 < printed.text.size(); ++p) EXPECT_GE(Words(printed.text[p]).size(), 40u) << p;
    const std::vector<std::string> last = Words(printed.text.back());
    ASSERT_GE(last.size(), 2u);
    EXPECT_EQ(last[last.size() - 2].rfind("最弱点单位权点位中误差 : md=", 0), 0u) << last[last.size() - 2];
    EXPECT_EQ(last.back().rfind("最弱点：P", 0), 0u) << last.back();
}

TEST(PrintedReport, PrintingTwiceGivesTheSameDocument)
{
    const Report report = ComposeReport(RunChain({.triangles = 2, .withD = true}));
    EXPECT_EQ(AllPages(PrintToPdf(report, "report-first.pdf")), AllPages(PrintToPdf(report, "report-second.pdf")));
}

TEST(PrintedReport, ColumnIsHalfAFullWidthCharacter)
{
    QFont song(QString::fromUtf8("宋体"));
    song.setPointSize(10);
    const QFontMetricsF metrics(song);
    EXPECT_NEAR(ReportColumnWidth(metrics) * 2, metrics.horizontalAdvance(QString::fromUtf8("中")), 0.01);
}

}  // namespace
