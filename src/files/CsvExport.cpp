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
    if (listing.weights) {
        // a run with weights: the measured sides with their standard errors
        // and checks, after an empty row
        out += "\r\nk,起点,终点,观测值(m),v(mm),平差值(m),σ(mm),MDB(mm),λ\r\n";
        auto figure = [](const std::optional<double>& value, int decimals) {
            return value ? FormatFixed(*value, decimals) : std::string();
        };
        for (const ListedSide& s : listing.sides) {
            if (s.known) continue;
            for (const std::string* name : {&s.from, &s.to})
                if (!IsValidUtf8(*name))
                    return ExportOutcome::Refused("点名" + QuotedName(*name) + "不是有效的 UTF-8 文字，不能写入 CSV 文件");
            out += std::to_string(s.k) + "," + CsvField(s.from) + "," + CsvField(s.to) + "," + FormatFixed(s.observed, 4) +
                   "," + FormatFixed(s.correction * 1000, 2) + "," + FormatFixed(s.adjusted, 4) + "," +
                   figure(s.sigmaMm, 2) + "," + figure(s.mdbMm, 1) + "," + figure(s.biasToNoise, 2) + "\r\n";
        }
    }
    return ExportOutcome::Written(std::move(out));
}
