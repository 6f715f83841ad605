#include "files/SheetPaste.h"

#include <optional>

#include "files/FileText.h"

namespace {

// 右 true, 左 false; nothing for a cell that says neither.
std::optional<bool> RouteSideOf(std::string_view cell)
{
    cell = TrimBlanks(cell);
    if (cell == "右" || cell == "R" || cell == "r") return true;
    if (cell == "左" || cell == "L" || cell == "l") return false;
    return std::nullopt;
}

}  // namespace

std::vector<std::vector<std::string>> SplitBlock(std::string_view block)
{
    std::vector<std::vector<std::string>> lines;
    while (!block.empty()) {
        std::size_t end = block.find_first_of("\r\n");
        std::string_view line = block.substr(0, end);
        if (end == std::string_view::npos) {
            block = {};
        } else {
            block.remove_prefix(end + (block.substr(end, 2) == "\r\n" ? 2 : 1));
        }
        std::vector<std::string> cells;
        for (;;) {
            std::size_t tab = line.find('\t');
            cells.emplace_back(line.substr(0, tab));
            if (tab == std::string_view::npos) break;
            line.remove_prefix(tab + 1);
        }
        lines.push_back(std::move(cells));
    }
    return lines;
}

PastedBlock PasteBlock(const ObservationSheet& sheet, int firstRow, SheetColumn column, std::string_view block)
{
    PastedBlock pasted{sheet};
    const std::vector<SheetRow> rows = sheet.Rows();  // the rows as they were when the block was pasted
    const std::vector<std::vector<std::string>> lines = SplitBlock(block);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t at = static_cast<std::size_t>(firstRow) + i;
        if (firstRow < 0 || at >= rows.size()) {
            pasted.rowsLeftOver = static_cast<int>(lines.size() - i);
            break;
        }
        const SheetRow& row = rows[at];
        const std::vector<std::string>& cells = lines[i];
        std::size_t cell = 0;
        if (column == SheetColumn::Value) {
            // a cell is taken as text, blanks at its ends are the spreadsheet's
            pasted.sheet.SetText(row.slot, std::string(TrimBlanks(cells[cell++])));
            ++pasted.cells;
        }
        if (row.routeSide && cell < cells.size())
            if (std::optional<bool> right = RouteSideOf(cells[cell])) {
                pasted.sheet.SetRightOfRoute(row.slot.index, *right);
                ++pasted.cells;
            }
    }
    return pasted;
}
