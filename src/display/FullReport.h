#pragma once
// The full report of a completed run (成果报告) as data: a title, the date, and
// blocks of lines and tables. The plain-text rendering below and the PDF of the
// window read the same blocks, so both hold the same figures, those of
// trilat-adjust --json.
//
// Figures and units in the tables:
//   X, Y            coordinates [m], X northing, Y easting
//   observed, adjusted  side lengths [m]; the orientation angle at C packed D.MMSSss
//   v               correction of a side [mm], of the orientation angle [arc s]
//   r               redundancy number [-]; w the normalised correction [-]
//   mx my mp        standard errors of a point's X, Y, position [mm]
//   E F phi         semi-axes of its standard error ellipse [mm], azimuth of E [deg]
#include <string>
#include <vector>

#include "core/ChainResult.h"
#include "state/ChainListing.h"

struct FullReportTable {
    std::vector<std::string> header;
    std::vector<bool> rightAligned;  // per column: numbers right-aligned, names left
    std::vector<std::vector<std::string>> rows;
};

struct FullReportBlock {
    std::string heading;              // "一、已知点" and so on; may be empty
    std::vector<std::string> lines;   // text before the table
    bool hasTable = false;
    FullReportTable table;
    std::vector<std::string> notes;   // text after the table
};

struct FullReport {
    std::string title;                // the report's name, with the 工程名称 when given
    std::vector<std::string> notes;   // the project's 备注, printed under the title
    std::string date;                 // as handed in, e.g. "2026-12-09"
    std::vector<FullReportBlock> blocks;
    bool withDrawing = true;          // the PDF ends with a page of the drawing of the chain
};

// date: the day of the report as it is to be printed (passed in, so that the
// same run gives the same report).
FullReport ComposeFullReport(const ChainListing& listing, const ChainResult& result, const std::string& date);

// Display columns of every column of the table (the widest of its header and
// cells, DisplayColumns), and the column where each starts (from 0), with
// COLUMN_GAP blank columns between two columns.
inline constexpr int COLUMN_GAP = 2;
struct TableColumns {
    std::vector<int> width, start;
    int total = 0;
};
TableColumns LayOutTable(const FullReportTable& table);

// One table row as a text line: each cell placed in its column, right- or
// left-aligned; trailing blanks removed.
std::string TableRowText(const TableColumns& columns, const std::vector<bool>& rightAligned,
                         const std::vector<std::string>& cells);

// The whole report as UTF-8 text, each line ended by a line feed.
std::string FullReportAsText(const FullReport& report);
