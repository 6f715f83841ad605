#include "files/DxfExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numbers>
#include <unordered_map>
#include <vector>

#include "files/DxfDrawing.h"
#include "files/NameText.h"
#include "files/NetworkScale.h"
#include "text/DisplayFormat.h"

namespace {

constexpr const char* TEXT_STYLE = "CHINESE";
constexpr const char* TEXT_FONT = "simsun.ttc";

// The layers and their colours (AutoCAD colour index).
constexpr DxfLayer KNOWN{"KNOWN_POINTS", 7}, NEW{"NEW_POINTS", 5}, NAMES{"POINT_NAMES", 7}, SIDES{"SIDES", 8},
    ELLIPSES{"ERROR_ELLIPSES", 1}, SCALE{"ELLIPSE_SCALE", 1};
constexpr DxfLayer LAYERS[] = {KNOWN, NEW, NAMES, SIDES, ELLIPSES, SCALE};

// The code points of valid UTF-8.
std::vector<char32_t> CodePoints(const std::string& utf8)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = len == 1 ? b : len == 2 ? b & 0x1Fu : len == 3 ? b & 0x0Fu : b & 0x07u;
        for (std::size_t j = 1; j < len; ++j) c = (c << 6) | (static_cast<unsigned char>(utf8[i + j]) & 0x3Fu);
        out.push_back(c);
        i += len;
    }
    return out;
}

std::string NameFault(const std::string& name)
{
    if (!IsValidUtf8(name)) return "点名" + QuotedName(name) + "不是有效的 UTF-8 文字，不能写入 DXF 文件";
    for (char32_t c : CodePoints(name)) {
        if (c > 0xFFFF) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%X", static_cast<unsigned>(c));
            return "点名" + QuotedName(name) + "含字符 " + code + "，DXF 文件的文字写不出基本平面以外的字符";
        }
    }
    return {};
}

// A round length (RoundDown125) as the window's bar prints it: as many
// decimals as its first digit needs.
std::string Round(double v)
{
    return FormatFixed(v, std::max(0, -static_cast<int>(std::floor(std::log10(v) + 1e-9))));
}

}  // namespace

std::string DxfText(const std::string& name)
{
    std::string out;
    const std::vector<char32_t> text = CodePoints(name);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        // %% starts a code: a % next to another is written %%% (a lone % is itself)
        const bool percentRun = (i > 0 && text[i - 1] == '%') || (i + 1 < text.size() && text[i + 1] == '%');
        if (c < 0x20) {
            out += '^';
            out += static_cast<char>(c + 0x40);
        } else if (c == '^') {
            out += "^ ";
        } else if (c == '%' && percentRun) {
            out += "%%%";
        } else if (c == '\\' || c >= 0x7F) {
            char code[16];
            std::snprintf(code, sizeof code, "\\U+%04X", static_cast<unsigned>(c));
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

ExportOutcome DxfExport(const ChainListing& listing)
{
    // The points of the drawing: the report's points, then A and D; a side's
    // ends found by name, the first point of that name, as the window draws.
    std::vector<const ListedPoint*> points;
    std::unordered_map<std::string, const ListedPoint*> byName;
    for (const ListedPoint& p : listing.points) points.push_back(&p), byName.emplace(p.name, &p);
    for (const ListedPoint& p : listing.knownPoints)
        if (byName.emplace(p.name, &p).second) points.push_back(&p);
    for (const ListedPoint* p : points)
        if (std::string fault = NameFault(p->name); !fault.empty()) return ExportOutcome::Refused(fault);

    std::vector<std::pair<const ListedPoint*, const ListedPoint*>> sides;
    std::vector<double> lengths;
    for (const ListedSide& s : listing.sides) {
        const auto from = byName.find(s.from), to = byName.find(s.to);
        if (from == byName.end() || to == byName.end()) continue;
        sides.emplace_back(from->second, to->second);
        lengths.push_back(std::hypot(from->second->X - to->second->X, from->second->Y - to->second->Y));
    }
    double largestE = 0;
    for (const ListedPoint* p : points)
        if (p->hasPrecision) largestE = std::max(largestE, p->E);
    const double medianSide = MedianSide(lengths);
    const double m = EllipseMagnification(medianSide, largestE);

    // Marker radius R and text height [m] from the median side (else the extent).
    DxfExtent ground;
    for (const ListedPoint* p : points) ground.Cover(p->Y, p->X);
    const double span = ground.Empty() ? 0 : std::max(ground.maxX - ground.minX, ground.maxY - ground.minY);
    const double basis = medianSide > 0 ? medianSide : span > 0 ? span : 40;
    const double R = RoundDown125(basis / 40), textHeight = 1.5 * R;

    DxfDrawing w({std::begin(LAYERS), std::end(LAYERS)}, TEXT_STYLE, TEXT_FONT);
    for (const auto& [a, b] : sides) w.Line(SIDES, a->Y, a->X, b->Y, b->X);
    for (const ListedPoint* p : points) {
        if (!p->hasPrecision || !(p->E > 0)) continue;
        const double phi = p->phi * std::numbers::pi / 180, a = m * p->E / 1000;
        w.Ellipse(ELLIPSES, p->Y, p->X, a * std::sin(phi), a * std::cos(phi), std::clamp(p->F / p->E, 1e-6, 1.0));
    }
    for (const ListedPoint* p : points) {
        w.Point(p->known ? KNOWN : NEW, p->Y, p->X);
        if (p->known)
            w.ClosedPolyline(KNOWN, {{p->Y, p->X + R}, {p->Y + 0.866 * R, p->X - 0.5 * R}, {p->Y - 0.866 * R, p->X - 0.5 * R}});
        else
            w.Circle(NEW, p->Y, p->X, 0.6 * R);
    }
    for (const ListedPoint* p : points)
        if (!p->name.empty())
            w.Text(NAMES, p->Y + 1.3 * R, p->X + 0.8 * R, textHeight, DxfText(p->name), CodePoints(p->name).size());

    if (largestE > 0) {
        const double mm = EllipseBarMillimetres(largestE, 0.5 * medianSide * 1000 / m);
        const double length = mm / 1000 * m, x0 = w.Extent().minX, y0 = w.Extent().minY - 2.5 * textHeight;
        w.Line(SCALE, x0, y0, x0 + length, y0);
        w.Line(SCALE, x0, y0 - textHeight / 3, x0, y0 + textHeight / 3);
        w.Line(SCALE, x0 + length, y0 - textHeight / 3, x0 + length, y0 + textHeight / 3);
        const std::string caption = "误差椭圆 " + Round(mm) + " mm（放大 " + Round(m) + " 倍）";
        w.Text(SCALE, x0, y0 + 0.6 * textHeight, textHeight, DxfText(caption), CodePoints(caption).size());
    }
    return ExportOutcome::Written(w.File());
}
