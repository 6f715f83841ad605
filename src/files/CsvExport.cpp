#include "files/CsvExport.h"

#include "files/NameText.h"
#include "text/DisplayFormat.h"

std::string CsvField(const std::string& text)
{
    std::string field = text;
    if (!field.empty() && std::string_view("=+-@\t\r").find(field[0]) != std::string_view::npos)
        field.insert(0, 1, '\'');
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

ExportOutcome CsvExport(const ChainListing& listing)
{
    const bool precision = !listing.points.empty() && listing.points.front().hasPrecision;
    std::string out = "\xEF\xBB\xBF";
    out += precision ? "点名,X,Y,mx(mm),my(mm),mp(mm),E(mm),F(mm),φ(°)\r\n" : "点名,X,Y\r\n";
    for (const ListedPoint& p : listing.points) {
        if (!IsValidUtf8(p.name))
            return ExportOutcome::Refused("点名" + QuotedName(p.name) + "不是有效的 UTF-8 文字，不能写入 CSV 文件");
        out += CsvField(p.name) + "," + FormatFixed(p.X, 3) + "," + FormatFixed(p.Y, 3);
        if (precision) {
            for (double mm : {p.mx, p.my, p.mp, p.E, p.F}) out += "," + FormatFixed(mm, 2);
            out += "," + FormatFixed(p.phi, 1);
        }
        out += "\r\n";
    }
    return ExportOutcome::Written(std::move(out));
}
