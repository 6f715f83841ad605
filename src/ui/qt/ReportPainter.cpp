#include "ui/qt/ReportPainter.h"

#include <QFont>
#include <algorithm>
#include <QPainter>
#include <QPrinter>
#include <QRectF>

namespace {

QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

// Splits a text where digits follow a letter ("P12" -> "P", "12"). Shaped
// together, such digits take glyph variants that the PDF writer cannot map
// back to characters, and a point name would lose its number when the
// document's text is copied or searched; drawn apart they keep it.
QStringList DrawingPieces(const QString& text)
{
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 1; i < text.size(); ++i)
        if (text[i].isDigit() && text[i - 1].isLetter()) {
            pieces << text.mid(start, i - start);
            start = i;
        }
    pieces << text.mid(start);
    return pieces;
}

double ReportColumnWidth(const QFontMetricsF& metrics)
{
    const double average = metrics.averageCharWidth();
    const double wide = metrics.horizontalAdvance(QChar(0x4E2D));  // a full-width ideograph
    if (wide > 0 && average >= 0.9 * wide) return wide / 2;
    return average;
}

QRectF ReportArea(const QPrinter& printer)
{
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const double mmX = printer.logicalDpiX() / 25.4, mmY = printer.logicalDpiY() / 25.4;  // [px/mm]
    const QRectF inset = paper.adjusted(REPORT_MARGIN_MM * mmX, REPORT_MARGIN_MM * mmY, -REPORT_MARGIN_MM * mmX,
                                        -REPORT_MARGIN_MM * mmY);
    return (inset & printable).translated(-printable.topLeft());
}

ReportPaintResult PaintReport(const Report& report, QPrinter& printer)
{
    ReportPaintResult result;
    QPainter painter;
    if (!painter.begin(&printer)) {
        result.error = QString::fromUtf8("打印机无法打开");
        return result;
    }
    result.pages = 1;
    const double dotsX = printer.logicalDpiX() / 1440.0;  // device pixels per twip
    const double dotsY = printer.logicalDpiY() / 1440.0;
    const QRectF area = ReportArea(printer);
    const double left = area.left(), top = area.top(), pageHeight = area.bottom();

    double x = left + report.startLeftTwips * dotsX;
    double y = top + report.startTopTwips * dotsY;
    bool pageHasText = false;
    const QString family = ToQ(report.fontName);
    int currentSize = -1;
    QFont font(family);
    painter.setPen(Qt::black);

    for (const ReportLine& line : report.lines) {
        if (line.pointSize != currentSize) {
            currentSize = line.pointSize;
            font = QFont(family);
            font.setPointSize(currentSize);
            painter.setFont(font);
        }
        const QFontMetricsF metrics(font, &printer);
        const double column = ReportColumnWidth(metrics);
        const double height = metrics.lineSpacing();

        // Starts a physical line: a new page first when it would not fit.
        auto beginLine = [&] {
            if (pageHasText && y + height > pageHeight) {
                printer.newPage();
                ++result.pages;
                y = top;
                pageHasText = false;
            }
        };
        auto lineFeed = [&] {
            y += height;
            x = left;
        };

        beginLine();
        for (const ReportItem& item : line.items) {
            if (item.stop > 0) {
                const double edge = left + (item.stop - 1) * column;
                if (x > edge + 1e-6) {
                    lineFeed();
                    beginLine();
                }
                x = std::max(x, edge);
            }
            for (const QString& piece : DrawingPieces(ToQ(item.text))) {
                painter.drawText(QPointF(x, y + metrics.ascent()), piece);
                x += metrics.horizontalAdvance(piece);
            }
        }
        pageHasText = true;
        lineFeed();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        result.error = QString::fromUtf8("打印机报告错误");
        return result;
    }
    result.ok = true;
    return result;
}
