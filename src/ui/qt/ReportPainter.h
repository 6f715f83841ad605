#pragma once
// Puts a composed report on paper: one function that renders a Report onto any
// QPrinter, the system printer as well as a PDF file.
#include <QFontMetricsF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include "rules/Report.h"

class QPrinter;

struct ReportPaintResult {
    bool ok = false;
    int pages = 0;
    QString error;  // what went wrong when !ok
};

// The part of the page the report is printed on, in the painter's
// coordinates (device pixels from the corner of the printable area): the
// printable area, kept at least REPORT_MARGIN_MM inside every edge of the
// paper.
inline constexpr double REPORT_MARGIN_MM = 10;  // [mm]
QRectF ReportArea(const QPrinter& printer);

// Lines start at the report's start position (twips from the corner of
// ReportArea) and follow one another; a column is the width of one
// half-width character of the font in effect; output that reaches the bottom
// of a page continues at the top of the next.
ReportPaintResult PaintReport(const Report& report, QPrinter& printer);

// Splits a text where digits follow a letter ("P12" -> "P", "12"), to be
// drawn piece by piece: shaped together, such digits take glyph variants that
// the PDF writer cannot map back to characters.
QStringList DrawingPieces(const QString& text);

// The width of one report column for a font. A CJK face reports the width of a
// full-width character as its average; the column is then half of it, so that a
// full-width character takes exactly two columns.
double ReportColumnWidth(const QFontMetricsF& metrics);
