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
