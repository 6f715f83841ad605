#pragma once
// The printed report as plain text, as trilat-replay prints it and the tests
// read it.
#include <string>
#include <vector>

#include "rules/Report.h"
#include "text/Utf8.h"

// Lays the report out as plain text lines (column stops by DisplayColumns,
// rule: an item whose stop lies left of the text so far starts a new line),
// trailing blanks removed.
std::vector<std::string> LayoutReportAsText(const Report& report);

// The same lines as one UTF-8 text, each ended by a line feed.
std::string ReportAsText(const Report& report);
