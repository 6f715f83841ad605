#pragma once
// The PDF output of trilat-adjust: the only part of the command that starts Qt
// (on the offscreen platform when there is no display).
#include <string>

#include "rules/Report.h"

// Returns the reason when the PDF could not be written, else an empty text.
std::string WriteAdjustReportPdf(const Report& report, const std::string& path, int argc, char** argv);

struct FullReport;
struct ChainListing;
struct ChainResult;
// The full report (成果报告) as PDF: the report, and the drawing of the chain.
std::string WriteAdjustFullReportPdf(const FullReport& report, const ChainListing& listing, const ChainResult& result,
                                     const std::string& path, int argc, char** argv);
