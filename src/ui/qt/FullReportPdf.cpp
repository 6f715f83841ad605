#include "ui/qt/FullReportPdf.h"

#include "ui/qt/NetworkPainter.h"
#include "ui/qt/ReportPdf.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>
#include <algorithm>
#include <iterator>
#include <string>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "files/AtomicWrite.h"
#include "ui/qt/FormLayout.h"
#include "ui/qt/ReportPainter.h"

namespace {

// The drawing page's heading, numbered after the report's last numbered
// block ("五、网图" after 一 to 四, "七、网图" after 六、等级检核).
QString DrawingHeading(const FullReport& report)
{
    static const char* const NUMERALS[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"};
    std::size_t numbered = 0;
    for (const FullReportBlock& b : report.blocks)
        for (std::size_t i = 0; i < std::size(NUMERALS); ++i)
            if (b.heading.rfind(std::string(NUMERALS[i]) + "、", 0) == 0) numbered = std::max(numbered, i + 1);
    return QString::fromUtf8(NUMERALS[std::min(numbered, std::size(NUMERALS) - 1)]) + QString::fromUtf8("、网图");
}

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

constexpr double BODY_POINTS = 10, TITLE_POINTS = 14, NAME_POINTS = 7;
constexpr double SMALLEST_TABLE_POINTS = 5;

QFont Song(double points)
{
    QFont font(QString::fromUtf8(form::SONG));
    font.setPointSizeF(points);
    return font;
}

// Draws text with its baseline at (x, y), piece by piece so that a PDF reader
// finds the names again (ReportPainter.h); returns the advance.
double DrawText(QPainter& painter, const QFontMetricsF& metrics, double x, double y, const QString& text)
{
    double at = x;
    for (const QString& piece : DrawingPieces(text)) {
        painter.drawText(QPointF(at, y), piece);
        at += metrics.horizontalAdvance(piece);
    }
    return at - x;
}

// One line of a page: a text line, a row of a table, or the rule below a
// table's header.
struct PageLine {
    enum Kind { Text, Row, Rule } kind = Text;
    double points = BODY_POINTS;
    std::string text;                         // Text
    const FullReportTable* table = nullptr;   // Row, Rule
    const TableColumns* columns = nullptr;
    const std::vector<std::string>* cells = nullptr;  // Row
    bool header = false;                      // the header row, repeated on every page of the table
};

struct Layout {
    std::vector<std::vector<PageLine>> pages;  // the pages of text; the drawing follows
};

class Paginator {
public:
    Paginator(QPrinter& printer, double bodyHeight) : printer_(printer), bodyHeight_(bodyHeight) { layout_.pages.emplace_back(); }

    double Height(double points) const { return QFontMetricsF(Song(points), &printer_).lineSpacing(); }

    // Places a line; keep: the height that must fit below it on the same page.
    void Add(const PageLine& line, double keep = 0)
    {
        const double h = Height(line.points);
        if (y_ > 0 && y_ + h + keep > bodyHeight_) {
            NewPage();
            if (line.kind == PageLine::Row && !line.header && header_) {
                Place(*header_);
                Place(rule_);
            }
        }
        Place(line);
    }
    void StartTable(const PageLine& header, const PageLine& rule)
    {
        header_ = header;
        rule_ = rule;
        Add(header, Height(header.points) * 2);
        Add(rule);
    }
    void EndTable() { header_.reset(); }
    Layout Take() { return std::move(layout_); }

private:
    void NewPage()
    {
        layout_.pages.emplace_back();
        y_ = 0;
    }
    void Place(const PageLine& line)
    {
        layout_.pages.back().push_back(line);
        y_ += Height(line.points);
    }

    QPrinter& printer_;
    double bodyHeight_;
    double y_ = 0;
    Layout layout_;
    std::optional<PageLine> header_;
    PageLine rule_;
};

// The point size at which a table of columns fits the width.
double TablePoints(const TableColumns& columns, double width, QPrinter& printer)
{
    const double column = ReportColumnWidth(QFontMetricsF(Song(BODY_POINTS), &printer));
    if (columns.total <= 0 || columns.total * column <= width) return BODY_POINTS;
    return std::max(SMALLEST_TABLE_POINTS, BODY_POINTS * width / (columns.total * column));
}

void PaintLine(QPainter& painter, QPrinter& printer, const PageLine& line, double y)
{
    const QFont font = Song(line.points);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    const double baseline = y + metrics.ascent();
    if (line.kind == PageLine::Text) {
        DrawText(painter, metrics, 0, baseline, ToQ(line.text));
        return;
    }
    const double column = ReportColumnWidth(metrics);
    const TableColumns& c = *line.columns;
    if (line.kind == PageLine::Rule) {
        const double middle = y + metrics.lineSpacing() / 2;
        painter.drawLine(QPointF(0, middle), QPointF(c.total * column, middle));
        return;
    }
    const std::vector<std::string>& cells = *line.cells;
    for (std::size_t i = 0; i < cells.size() && i < c.width.size(); ++i) {
        const QString text = ToQ(cells[i]);
        const bool right = i < line.table->rightAligned.size() && line.table->rightAligned[i];
        const double x = right ? (c.start[i] + c.width[i]) * column - metrics.horizontalAdvance(text) : c.start[i] * column;
        DrawText(painter, metrics, x, baseline, text);
    }
}

// Breaks a text line into lines no wider than width: after a blank or a
// full-width character where there is one, else anywhere.
std::vector<std::string> Wrap(const std::string& line, const QFontMetricsF& metrics, double width)
{
    const QString text = ToQ(line);
    std::vector<std::string> out;
    qsizetype start = 0, lastBreak = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > start && metrics.horizontalAdvance(text.mid(start, i - start + 1)) > width) {
            const qsizetype end = lastBreak > start ? lastBreak : i;
            out.push_back(text.mid(start, end - start).trimmed().toStdString());
            start = end;
            lastBreak = -1;
        }
        if (text[i] == ' ' || text[i].unicode() >= 0x2E80) lastBreak = i + 1;
    }
    out.push_back(text.mid(start).trimmed().toStdString());
    return out;
}


}  // namespace

NetworkPagePainter& FullReportNetworkPainter()
{
    static NetworkPagePainter painter;
    return painter;
}


FullReportPaintResult PaintFullReport(const FullReport& report, const ChainListing& listing, const ChainResult& result,
                                      QPrinter& printer)
{
    FullReportPaintResult out;
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 15, 15, 15),
                                      QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&printer)) {
        out.error = QString::fromUtf8("打印机无法打开");
        return out;
    }
    const QRectF page(QPointF(0, 0), QSizeF(painter.viewport().size()));
    const QFontMetricsF body(Song(BODY_POINTS), &printer);
    const double footer = body.lineSpacing() * 2;
    const double bodyHeight = page.height() - footer;

    // The tables' layouts live as long as the pages that point into them.
    std::vector<TableColumns> columns;
    columns.reserve(report.blocks.size());
    Paginator pages(printer, bodyHeight);
    const double gap = body.lineSpacing();
    auto text = [&](const std::string& line) {
        for (const std::string& piece : Wrap(line, body, page.width())) pages.Add({PageLine::Text, BODY_POINTS, piece});
    };
    pages.Add({PageLine::Text, TITLE_POINTS, report.title});
    for (const std::string& line : report.notes) text(line);
    pages.Add({PageLine::Text, BODY_POINTS, "日期：" + report.date});
    for (const FullReportBlock& b : report.blocks) {
        pages.Add({PageLine::Text, BODY_POINTS, ""});
        pages.Add({PageLine::Text, BODY_POINTS, b.heading}, gap * 3);
        for (const std::string& line : b.lines) text(line);
        if (b.hasTable) {
            columns.push_back(LayOutTable(b.table));
            const TableColumns* c = &columns.back();
            const double points = TablePoints(*c, page.width(), printer);
            pages.StartTable({PageLine::Row, points, {}, &b.table, c, &b.table.header, true},
                             {PageLine::Rule, points, {}, &b.table, c});
            for (const auto& row : b.table.rows) pages.Add({PageLine::Row, points, {}, &b.table, c, &row});
            pages.EndTable();
        }
        for (const std::string& line : b.notes) text(line);
    }
    const Layout layout = pages.Take();
    const int total = static_cast<int>(layout.pages.size()) + (report.withDrawing ? 1 : 0);

    painter.setPen(QPen(Qt::black, printer.logicalDpiX() / 300.0));
    auto foot = [&](int n) {
        painter.setFont(Song(BODY_POINTS));
        const QString text = QString::fromUtf8("第 %1 页 共 %2 页").arg(n).arg(total);
        DrawText(painter, body, (page.width() - body.horizontalAdvance(text)) / 2, page.bottom() - body.descent(), text);
    };
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        if (p > 0 && !printer.newPage()) break;
        double y = 0;
        for (const PageLine& line : layout.pages[p]) {
            PaintLine(painter, printer, line, y);
            y += QFontMetricsF(Song(line.points), &printer).lineSpacing();
        }
        foot(static_cast<int>(p) + 1);
    }
    if (report.withDrawing) {
        printer.newPage();
        painter.setFont(Song(BODY_POINTS));
        DrawText(painter, body, 0, body.ascent(), DrawingHeading(report));
        const QRectF drawing(0, body.lineSpacing() * 2, page.width(), bodyHeight - body.lineSpacing() * 2);
        if (const NetworkPagePainter& hook = FullReportNetworkPainter())
            hook(painter, drawing, listing, result);
        else
            PaintNetwork(painter, drawing, listing, result);
        foot(total);
    }

    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        out.error = QString::fromUtf8("打印机报告错误");
        return out;
    }
    out.ok = true;
    out.pages = total;
    return out;
}

QString WriteFullReportPdf(const FullReport& report, const ChainListing& listing, const ChainResult& result,
                           const QString& path, int* pages)
{
    return WritePdfAtomically(path, ToQ(report.title), [&](QPrinter& pdf) {
        const FullReportPaintResult painted = PaintFullReport(report, listing, result, pdf);
        if (pages) *pages = painted.pages;
        return painted.ok ? QString() : painted.error;
    });
}

QString WriteFullReportFile(const ChainListing& listing, const ChainResult& result, const QString& path, const QDate& date)
{
    const FullReport report = ComposeFullReport(listing, result, date.toString("yyyy-MM-dd").toStdString());
    if (!path.endsWith(".txt", Qt::CaseInsensitive)) return WriteFullReportPdf(report, listing, result, path);
    const std::optional<std::string> error = WriteFileAtomically(QFile::encodeName(path).toStdString(), FullReportAsText(report));
    return error ? ToQ(*error) : QString();
}
