#pragma once
// The full report (成果报告) on A4: its blocks and tables page by page in the
// window's Song face, a page with the drawing of the chain, and 第 n 页 共 m 页
// at the foot of every page. Also the plain-text file of the same report.
#include <QDate>
#include <QRectF>
#include <QString>
#include <functional>

#include "core/ChainResult.h"
#include "display/FullReport.h"
#include "state/ChainListing.h"

class QPainter;
class QPrinter;

// Draws the chain into target (device coordinates of the page).
using NetworkPagePainter =
    std::function<void(QPainter& painter, const QRectF& target, const ChainListing& listing, const ChainResult& result)>;

// The painter of the drawing page: empty (the default) draws the window's
// drawing of the chain (NetworkPainter.h); a test may put another in.
NetworkPagePainter& FullReportNetworkPainter();

struct FullReportPaintResult {
    bool ok = false;
    int pages = 0;
    QString error;  // when !ok
};

// Paints the report onto printer (set to A4 and its margins here).
FullReportPaintResult PaintFullReport(const FullReport& report, const ChainListing& listing, const ChainResult& result,
                                      QPrinter& printer);

// Writes the PDF atomically: in the file's folder under a temporary name, put
// in place only when complete. Returns the reason when it could not be
// written, else an empty text; pages gets the page count.
QString WriteFullReportPdf(const FullReport& report, const ChainListing& listing, const ChainResult& result,
                           const QString& path, int* pages = nullptr);

// The window's 文件 → 导出 ▸ 成果报告…: the report of the run dated date, as
// plain UTF-8 text when path ends in .txt, else as PDF. Returns the reason
// when the file was not written, else an empty text.
QString WriteFullReportFile(const ChainListing& listing, const ChainResult& result, const QString& path,
                            const QDate& date = QDate::currentDate());
