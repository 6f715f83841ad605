#pragma once
// The PDF output of trilat-adjust (--pdf, --full-report FILE.pdf, --steps
// FILE.pdf): the only part of the command that needs Qt. trilat-adjust itself
// loads no Qt library; it runs trilat-pdf, installed beside it, which reads
// and adjusts the same file with the same arguments and writes the PDF files.
#include <string>

#include "rules/Report.h"

// trilat-adjust: writes the PDF files a asks for, dated `date` (2026-12-09),
// with trilat-pdf from the folder of the running program. Returns
// "FILE: reason" when one cannot be written, else an empty text.
struct Arguments;
std::string WriteAdjustPdfs(const Arguments& a, int argc, char** argv, const std::string& date);

// trilat-pdf: one file, inside an application on the offscreen platform when
// there is no display. Returns the reason when the PDF could not be written,
// else an empty text.
std::string WriteAdjustReportPdf(const Report& report, const std::string& path, int argc, char** argv);

struct FullReport;
struct ChainListing;
struct ChainResult;
// The full report (成果报告) as PDF: the report, and the drawing of the chain.
std::string WriteAdjustFullReportPdf(const FullReport& report, const ChainListing& listing, const ChainResult& result,
                                     const std::string& path, int argc, char** argv);
