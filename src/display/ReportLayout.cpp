// Plain-text rendering of the report, as trilat-replay prints it: a full-width
// character takes two columns, every other character one.
#include "display/Report.h"

namespace {

// Decodes one UTF-8 sequence at s[i]; invalid bytes decode one by one as 0xFFFD.
char32_t DecodeAt(const std::string& s, std::size_t& i)
{
    auto byte = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = byte(i);
    int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t code = extra == 0 ? c : (c & (0x3F >> extra));
    for (int k = 1; k <= extra; ++k) {
        unsigned char next = byte(i + static_cast<std::size_t>(k));
        if ((next >> 6) != 0x2) {
            ++i;
            return 0xFFFD;
        }
        code = (code << 6) | (next & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return code;
}

bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

int DisplayColumns(const std::string& utf8)
{
    int columns = 0;
    for (std::size_t i = 0; i < utf8.size();) columns += IsWide(DecodeAt(utf8, i)) ? 2 : 1;
    return columns;
}

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
