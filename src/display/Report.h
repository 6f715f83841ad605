#pragma once
// The printed report as data: lines of items, each item optionally placed at a
// column stop. The printer and the tests read the same lines.
#include <string>
#include <vector>

struct ReportItem {
    int stop = 0;        // column stop [n] before the item (columns from 1); 0: none
    std::string text;    // printed character for character
};

struct ReportLine {
    int pointSize = 10;  // font size in points
    std::vector<ReportItem> items;  // empty: an empty line
};

struct Report {
    // The two opening printer settings: the start of the first line, in twips
    // across and down from the printable area's corner.
    float startLeftTwips = 2000;
    float startTopTwips = 1000;
    std::string fontName = "宋体";
    std::vector<ReportLine> lines;
};

// Columns a text takes in the replay rendering: a full-width (East Asian wide)
// character counts two, every other character one.
int DisplayColumns(const std::string& utf8);

// Lays the report out as plain text lines (column stops by DisplayColumns,
// rule: an item whose stop lies left of the text so far starts a new line),
// trailing blanks removed.
std::vector<std::string> LayoutReportAsText(const Report& report);

// The same lines as one UTF-8 text, each ended by a line feed.
std::string ReportAsText(const Report& report);
