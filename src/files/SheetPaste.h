#pragma once
// A block of cells pasted into a sheet: text as a spreadsheet copies it, one
// line a row, the cells of a line separated by tabs (a field book's sides
// pasted in one go). The block goes into the rows from the first one down,
// its first column into the column pasted at: the value column (a second
// cell then gives an even side's 左/右) or the 左/右 column.
//   左/右 cells read 左 or 右 (also L/R); a cell left empty there keeps the side.
#include <string_view>

#include "files/ObservationSheet.h"

enum class SheetColumn { Value, RouteSide };

struct PastedBlock {
    ObservationSheet sheet;  // the sheet with the block in it
    int cells = 0;           // cells taken
    int rowsLeftOver = 0;    // lines of the block below the last row
};

// firstRow: the index of the first row in sheet.Rows().
PastedBlock PasteBlock(const ObservationSheet& sheet, int firstRow, SheetColumn column, std::string_view block);

// The lines and cells of a tab-separated block; a last empty line (the line
// end a spreadsheet puts after the last row) is no line. Carriage returns end
// lines too.
std::vector<std::vector<std::string>> SplitBlock(std::string_view block);
