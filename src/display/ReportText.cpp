// Plain-text rendering of the report, as trilat-replay prints it: a full-width
// character takes two columns, every other character one.
#include "display/ReportText.h"

std::vector<std::string> LayoutReportAsText(const Report& report)
{
    std::vector<std::string> out;
    for (const ReportLine& line : report.lines) {
        std::string text;
        int used = 0;  // columns taken so far on this physical line
        for (const ReportItem& item : line.items) {
            if (item.stop > 0) {
                int edge = item.stop - 1;
                if (used > edge) {
                    out.push_back(text);
                    text.clear();
                    used = 0;
                }
                text.append(static_cast<std::size_t>(edge - used), ' ');
                used = edge;
            }
            text += item.text;
            used += DisplayColumns(item.text);
        }
        out.push_back(text);
    }
    for (std::string& s : out) s.erase(s.find_last_not_of(' ') + 1);
    return out;
}

std::string ReportAsText(const Report& report)
{
    std::string text;
    for (const std::string& line : LayoutReportAsText(report)) text.append(line).append("\n");
    return text;
}
