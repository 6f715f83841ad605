#pragma once
// The report as a PDF file, written in the file's folder under a temporary
// name and put in place only when complete.
#include <QString>
#include <functional>

#include "rules/Report.h"

// Returns the reason when the file could not be written, else an empty text.
// pages gets the page count.
QString WriteReportPdf(const Report& report, const QString& path, int* pages = nullptr);

class QPrinter;
// Any document as a PDF written that way: paint fills the printer (made for
// the temporary file, with docName) and returns the reason it failed, or an
// empty text.
QString WritePdfAtomically(const QString& path, const QString& docName, const std::function<QString(QPrinter&)>& paint);
