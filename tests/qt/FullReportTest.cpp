// The full report (成果报告): its text lines up column by column and names every
// point; its PDF is searchable, paged with 第 n 页 共 m 页 and ends with the
// drawing of the chain.
#include <QDir>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "ChainAnswers.h"
#include "display/FullReport.h"
#include "display/ReportText.h"
#include "files/DialogueSequence.h"
#include "run/BatchRun.h"
#include "support/ChainGenerator.h"
#include "support/TestFolder.h"
#include "ui/qt/FullReportPdf.h"

namespace {

// The record of the values a run of these answers types: N, then every value
// with its confirmation after it.
ObservationRecord RecordOf(const std::vector<std::string>& answers)
{
    DialogueSequence sequence;
    ObservationRecord record;
    for (std::size_t i = 0; i < answers.size() && sequence.Next(); i += i == 0 ? 1 : 2) {
        const ValueKey key = *sequence.Next();
        EXPECT_FALSE(sequence.Take(answers[i])) << answers[i];
        record.values.push_back({key, answers[i]});
    }
    record.complete = !sequence.Next();
    return record;
}

BatchRun Adjusted(const std::vector<std::string>& answers, std::optional<double> sigma0Mm = std::nullopt,
             const std::string& project = {}, const std::vector<std::string>& notes = {})
{
    ObservationRecord record = RecordOf(answers);
    record.project = project;
    record.notes = notes;
    BatchRun run = RunRecord(record, sigma0Mm);
    EXPECT_TRUE(run.Completed()) << run.outcome.reason;
    return run;
}

std::vector<std::string> AzimuthChainAnswers()
{
    chain::ChainSpec spec;
    spec.triangles = 6;
    spec.closing = chain::Closing::ExternalAzimuth;
    spec.noiseMm = 2;
    return chain::GenerateChain(spec).answers;
}

FullReport Compose(const BatchRun& run) { return ComposeFullReport(run.completed->listing, run.Result(), "2026-01-02"); }

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// Every table of the text report, read back from the text: each cell found in
// its line after the one before it, at the same display column as in every
// other row of its table (its left edge, or its right edge for numbers).
void ExpectTablesLineUp(const FullReport& report)
{
    const std::vector<std::string> lines = Lines(FullReportAsText(report));
    for (const FullReportBlock& b : report.blocks) {
        if (!b.hasTable) continue;
        const auto heading = std::find(lines.begin(), lines.end(), b.heading);
        ASSERT_NE(heading, lines.end()) << b.heading;
        const auto rule = std::find_if(heading, lines.end(), [](const std::string& l) { return l.rfind("---", 0) == 0; });
        ASSERT_NE(rule, lines.end());
        ASSERT_GE(lines.end() - rule, static_cast<long>(b.table.rows.size()) + 1);
        std::vector<const std::vector<std::string>*> cells{&b.table.header};
        std::vector<std::string> texts{*(rule - 1)};
        for (std::size_t r = 0; r < b.table.rows.size(); ++r) {
            cells.push_back(&b.table.rows[r]);
            texts.push_back(*(rule + 1 + static_cast<long>(r)));
        }
        std::vector<int> edge(b.table.header.size(), -1);
        for (std::size_t r = 0; r < cells.size(); ++r) {
            std::size_t from = 0;
            int previousEnd = -COLUMN_GAP;
            for (std::size_t c = 0; c < cells[r]->size(); ++c) {
                const std::string& cell = (*cells[r])[c];
                const std::size_t at = texts[r].find(cell, from);
                ASSERT_NE(at, std::string::npos) << b.heading << " row " << r << ": " << cell << " in " << texts[r];
                const int start = DisplayColumns(texts[r].substr(0, at)), end = start + DisplayColumns(cell);
                EXPECT_GE(start, previousEnd + COLUMN_GAP) << texts[r];
                const int place = b.table.rightAligned[c] ? end : start;
                if (edge[c] < 0) edge[c] = place;
                EXPECT_EQ(place, edge[c]) << b.heading << " column " << c << ": " << texts[r];
                from = at + cell.size();
                previousEnd = end;
            }
        }
    }
}

// The standard output of a tool, which must succeed.
QString Tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

bool Holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(FullReportText, TablesLineUpWithFullWidthNamesAndWithout)
{
    ExpectTablesLineUp(Compose(Adjusted(ChainAnswers({.triangles = 5, .withD = false, .wideNames = true}))));
    ExpectTablesLineUp(Compose(Adjusted(ChainAnswers({.triangles = 12, .withD = true}))));
    ExpectTablesLineUp(Compose(Adjusted(AzimuthChainAnswers(), 2.0)));
}

TEST(FullReportText, TitleDateEveryPointAndTheWordsASurveyorLooksFor)
{
    const BatchRun run = Adjusted(ChainAnswers({.triangles = 4, .withD = false, .wideNames = true}), std::nullopt, "某某线三角锁");
    const std::string text = FullReportAsText(Compose(run));
    const std::vector<std::string> lines = Lines(text);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "某某线三角锁 三边锁平差成果报告");
    EXPECT_EQ(lines[1], "日期：2026-01-02");
    for (const auto* list : {&run.completed->listing.knownPoints, &run.completed->listing.points})
        for (const ListedPoint& p : *list) EXPECT_TRUE(Holds(text, "\n" + p.name + " ")) << p.name;
    EXPECT_TRUE(Holds(text, "方位角"));
    EXPECT_TRUE(Holds(text, "中误差"));
    EXPECT_EQ(Lines(FullReportAsText(Compose(Adjusted(ChainAnswers({.triangles = 4})))))[0], "三边锁平差成果报告");
}

TEST(FullReportText, TheProjectsNotesStandUnderTheTitle)
{
    const BatchRun run = Adjusted(ChainAnswers({.triangles = 3}), std::nullopt, "某某线三角锁",
                                  {"2026 年 11 月观测，测距仪 A 型", "天气晴"});  // the file's 备注 lines
    const std::vector<std::string> lines = Lines(FullReportAsText(Compose(run)));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "某某线三角锁 三边锁平差成果报告");
    EXPECT_EQ(lines[1], "2026 年 11 月观测，测距仪 A 型");
    EXPECT_EQ(lines[2], "天气晴");
    EXPECT_EQ(lines[3], "日期：2026-01-02");

    // and on the PDF's first page, between the title and the date
    const TestFolder folder;
    const QString file = QString::fromStdString(folder.File("notes.pdf"));
    ASSERT_EQ(WriteFullReportPdf(Compose(run), run.completed->listing, run.Result(), file), QString());
    QStringList first = Tool("pdftotext", {"-l", "1", file, "-"}).split('\n', Qt::SkipEmptyParts);
    for (QString& line : first) line = line.simplified();
    const qsizetype title = first.indexOf(QString::fromUtf8("某某线三角锁 三边锁平差成果报告"));
    ASSERT_GE(title, 0) << first.join('|').toStdString();
    ASSERT_GT(first.size(), title + 3);
    EXPECT_EQ(first[title + 1].toStdString(), "2026 年 11 月观测，测距仪 A 型");
    EXPECT_EQ(first[title + 2].toStdString(), "天气晴");
    EXPECT_EQ(first[title + 3].toStdString(), "日期：2026-01-02");
}

TEST(FullReportText, OrientationRowAndGlobalTestOnlyWhereThereAreSuch)
{
    const BatchRun azimuth = Adjusted(AzimuthChainAnswers(), 2.0);
    const FullReport withAzimuth = Compose(azimuth);
    const FullReportTable& sides = withAzimuth.blocks[1].table;
    ASSERT_EQ(sides.rows.size(), azimuth.completed->listing.sides.size() + 1);
    const std::vector<std::string>& q = sides.rows.back();
    EXPECT_EQ(q[0], "Qb");
    EXPECT_EQ(q[2], azimuth.completed->listing.closing->lastSideFar);
    const std::string text = FullReportAsText(withAzimuth);
    EXPECT_TRUE(Holds(text, "全局检验：[pvv]/σ0² = ")) << text;
    EXPECT_TRUE(Holds(text, "方位角条件闭合差 w1 = "));
    // a normalised correction for every tested side
    for (std::size_t i = 1; i + 1 < sides.rows.size() - 1; ++i) EXPECT_NE(sides.rows[i][7], "-") << i;

    const BatchRun withD = Adjusted(ChainAnswers({.triangles = 5, .withD = true}));
    const FullReport closedOnCD = Compose(withD);
    EXPECT_EQ(closedOnCD.blocks[1].table.rows.size(), withD.completed->listing.sides.size());
    EXPECT_EQ(closedOnCD.blocks[1].table.rows.back()[4], "已知");  // C-D
    const std::string dText = FullReportAsText(closedOnCD);
    EXPECT_TRUE(Holds(dText, "未作全局检验：没有给出先验测边中误差。"));
    EXPECT_TRUE(Holds(dText, "锁闭合于已知边 C-D"));
    EXPECT_FALSE(Holds(dText, "\n   Qb"));
}

// --- the PDF ---

TEST(FullReportPdf, SearchableTextAndEveryPageCountedOfAll)
{
    const TestFolder folder;
    const BatchRun run = Adjusted(ChainAnswers({.triangles = 150}));
    const QString file = QString::fromStdString(folder.File("full.pdf"));
    int pages = 0;
    ASSERT_EQ(WriteFullReportPdf(Compose(run), run.completed->listing, run.Result(), file, &pages), QString());
    EXPECT_GT(pages, 4);
    EXPECT_EQ(QRegularExpression("Pages:\\s+(\\d+)").match(Tool("pdfinfo", {file})).captured(1).toInt(), pages);
    const QStringList text = Tool("pdftotext", {"-layout", file, "-"}).split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(text.size(), pages);
    for (int n = 1; n <= pages; ++n) {
        const QString page = text[n - 1];
        EXPECT_EQ(page.trimmed().split('\n').last().simplified(), QString::fromUtf8("第 %1 页 共 %2 页").arg(n).arg(pages)) << n;
        // a page that goes on with a table starts with the table's header again
        if (n > 1 && n < pages) {
            EXPECT_TRUE(page.contains(QString::fromUtf8("观测值 (m)")) || page.contains(QString::fromUtf8("mx (mm)")) ||
                        page.contains(QString::fromUtf8("mS (mm)"))) << n;
        }
    }
    const QString all = text.join('\n');
    EXPECT_TRUE(all.contains(QString::fromUtf8("方位角")));
    EXPECT_TRUE(all.contains(QString::fromUtf8("中误差")));
    EXPECT_TRUE(text.last().contains(QString::fromUtf8("六、网图")));  // after 五、边长及方位角成果表
    const QStringList words = all.split(QRegularExpression("\\s+"));
    for (const ListedPoint& p : run.completed->listing.points) EXPECT_TRUE(words.contains(QString::fromStdString(p.name))) << p.name;
    EXPECT_EQ(QDir(QString::fromStdString(folder.Path().string())).entryList(QDir::Files | QDir::Hidden), QStringList{"full.pdf"});
}

TEST(FullReportPdf, TheDrawingPageUsesThePainterSetForIt)
{
    const TestFolder folder;
    const BatchRun run = Adjusted(ChainAnswers({.triangles = 3}));
    int calls = 0;
    QRectF target;
    std::size_t points = 0;
    FullReportNetworkPainter() = [&](QPainter&, const QRectF& r, const ChainListing& l, const ChainResult&) {
        ++calls;
        target = r;
        points = l.points.size();
    };
    int pages = 0;
    const QString error = WriteFullReportPdf(Compose(run), run.completed->listing, run.Result(),
                                             QString::fromStdString(folder.File("hook.pdf")), &pages);
    FullReportNetworkPainter() = nullptr;
    ASSERT_EQ(error, QString());
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(points, run.completed->listing.points.size());
    EXPECT_GT(target.width(), 0);
    EXPECT_GT(target.height(), target.width());  // most of an A4 page standing up
}

TEST(FullReportFile, TextByItsEndingAndAPdfOtherwise)
{
    const TestFolder folder;
    const BatchRun run = Adjusted(ChainAnswers({.triangles = 2}), std::nullopt, "工程");
    const ChainResult& result = run.Result();
    const QString text = QString::fromStdString(folder.File("report.TXT"));
    ASSERT_EQ(WriteFullReportFile(run.completed->listing, result, text, QDate(2026, 1, 2)), QString());
    QFile written(text);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), FullReportAsText(Compose(run)));
    const QString pdf = QString::fromStdString(folder.File("report.pdf"));
    ASSERT_EQ(WriteFullReportFile(run.completed->listing, result, pdf, QDate(2026, 1, 2)), QString());
    EXPECT_TRUE(Tool("pdftotext", {pdf, "-"}).contains(QString::fromUtf8("日期：2026-01-02")));
    EXPECT_NE(WriteFullReportFile(run.completed->listing, result, QString::fromStdString(folder.File("no/such/report.pdf"))), QString());
}

}  // namespace
