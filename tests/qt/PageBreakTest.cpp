// Where the printed report breaks its pages, measured on the PDF: the words
// and their boxes as pdftotext -bbox reads them back, against the printable
// area of the printer in points. A report of three pages: every word lies
// inside the printable area and at least 10 mm inside every edge of the sheet, a page is given up only when the next line would
// not fit, a continued page starts at the top of the area (not at the report's
// start offset), and no line is lost or doubled across a break.
#include <QFontMetricsF>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "ChainAnswers.h"
#include "display/ReportComposer.h"
#include "run/ScriptedPlatform.h"
#include "ui/qt/ReportPainter.h"

namespace {

struct Word {
    double left = 0, top = 0, right = 0, bottom = 0;  // [pt from the corner of the sheet]
    QString text;
};

struct Sheet {
    std::vector<Word> words;
    // the lines as the distinct tops of their words, top to bottom
    std::vector<double> LineTops() const
    {
        std::vector<double> tops;
        for (const Word& w : words)
            if (std::none_of(tops.begin(), tops.end(), [&w](double t) { return std::abs(t - w.top) < 1; }))
                tops.push_back(w.top);
        std::sort(tops.begin(), tops.end());
        return tops;
    }
};

// Pages of the PDF with their words, from the XHTML of pdftotext -bbox.
std::vector<Sheet> ReadWords(const QString& pdf)
{
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString xhtml = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression item(
        R"re(<page |<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    std::vector<Sheet> sheets;
    for (auto m = item.globalMatch(xhtml); m.hasNext();) {
        const QRegularExpressionMatch w = m.next();
        if (w.captured(0).startsWith("<page")) {
            sheets.emplace_back();
        } else if (!sheets.empty()) {
            sheets.back().words.push_back(
                {w.captured(1).toDouble(), w.captured(2).toDouble(), w.captured(3).toDouble(), w.captured(4).toDouble(),
                 w.captured(5)});
        }
    }
    return sheets;
}

Report ChainReport(int triangles)
{
    ProgramState state;
    ScriptedPlatform platform(ChainAnswers({.triangles = triangles}));
    const RunOutcome outcome = AdjustmentRun(state, platform);
    EXPECT_EQ(outcome.kind, RunOutcome::Completed) << outcome.reason;
    return ComposeReport(state);
}

TEST(PrintedPageBreak, ThreePagesFilledToTheFootAndContinuedAtTheTop)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath("report.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setPageSize(QPageSize(QPageSize::A4));  // three pages on this paper, whatever the locale
    // the printable area, narrowed to 10 mm (28.35 pt) inside the sheet where it is wider
    const QRectF sheet = printer.pageLayout().fullRect(QPageLayout::Point);
    const double tenMm = 10 * 72 / 25.4;  // [pt]
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point) &
                        sheet.adjusted(tenMm, tenMm, -tenMm, -tenMm);

    // 121 side lines and 61 points: some 210 lines
    const Report report = ChainReport(60);
    const ReportPaintResult result = PaintReport(report, printer);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    const std::vector<Sheet> sheets = ReadWords(file);
    ASSERT_EQ(static_cast<int>(sheets.size()), result.pages);
    ASSERT_EQ(sheets.size(), 3u);

    // the pitch of a 10 point line [pt]
    QFont font(QString::fromStdString(report.fontName));
    font.setPointSize(10);
    const double pitch = QFontMetricsF(font, &printer).lineSpacing() * 72.0 / printer.logicalDpiY();
    const double startTop = report.startTopTwips / 20.0;  // [pt]
    ASSERT_GT(startTop, 2 * pitch) << "the start offset must be told apart from the top";

    for (std::size_t n = 0; n < sheets.size(); ++n) {
        SCOPED_TRACE("page " + std::to_string(n + 1));
        const std::vector<double> tops = sheets[n].LineTops();
        ASSERT_GE(tops.size(), 10u);
        for (const Word& w : sheets[n].words) {
            EXPECT_GE(w.left, tenMm - 0.5) << w.text.toStdString() << " within 10 mm of the left edge";
            EXPECT_GE(w.top, tenMm - 0.5) << w.text.toStdString() << " within 10 mm of the top edge";
            EXPECT_LE(w.right, sheet.width() - tenMm + 0.5) << w.text.toStdString() << " within 10 mm of the right edge";
            EXPECT_LE(w.bottom, sheet.height() - tenMm + 0.5) << w.text.toStdString() << " within 10 mm of the foot";
            EXPECT_GE(w.top, area.top() - 0.5) << w.text.toStdString();
            EXPECT_LE(w.bottom, area.bottom() + 0.5) << w.text.toStdString() << " reaches below the printable area";
        }
        // the first page starts at the report's offset, every other one at the top
        const double first = tops.front() - area.top();
        if (n == 0) {
            EXPECT_NEAR(first, startTop, pitch);
        } else {
            // (an empty line of the report may be the page's first)
            EXPECT_LT(first, 2 * pitch) << "a continued page starts " << first << " pt below the top";
        }
        // every line one pitch below the one before: nothing skipped on the page
        for (std::size_t k = 1; k < tops.size(); ++k)
            EXPECT_LT(tops[k] - tops[k - 1], 2.6 * pitch) << "gap above line " << k;  // empty lines are one pitch
        // a page is given up only when the next line would cross its foot
        if (n + 1 < sheets.size()) {
            double bottom = 0;
            for (const Word& w : sheets[n].words) bottom = std::max(bottom, w.bottom);
            EXPECT_GT(bottom + pitch, area.bottom() - 0.5) << "room for another line at the foot";
        }
    }

    // the same numbers and labels in the same order as the report's lines
    // (only the words of plain ASCII are compared), page by page, line by
    // line, left to right
    auto plain = [](const QString& word) {
        return std::all_of(word.begin(), word.end(), [](QChar c) { return c.unicode() < 0x80; });
    };
    QStringList printed, expected;
    for (const Sheet& s : sheets) {
        const std::vector<double> tops = s.LineTops();
        std::vector<std::pair<std::pair<std::size_t, double>, QString>> placed;  // (line, left), text
        for (const Word& w : s.words) {
            const auto line = std::find_if(tops.begin(), tops.end(), [&w](double t) { return std::abs(t - w.top) < 1; });
            placed.push_back({{static_cast<std::size_t>(line - tops.begin()), w.left}, w.text});
        }
        std::sort(placed.begin(), placed.end());
        for (const auto& p : placed)
            if (plain(p.second)) printed << p.second;
    }
    for (const std::string& line : LayoutReportAsText(report))
        for (const QString& word : QString::fromStdString(line).split(' ', Qt::SkipEmptyParts))
            if (plain(word)) expected << word;
    EXPECT_GT(expected.size(), 500);
    EXPECT_EQ(printed.join(' ').toStdString(), expected.join(' ').toStdString());
}

}  // namespace
