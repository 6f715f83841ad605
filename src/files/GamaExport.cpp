#include "files/GamaExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <set>

#include "files/NameText.h"
#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"

namespace {

constexpr double AUXILIARY_DISTANCE = 1000;  // [m] from C to the point along Tb
// Without weights: the program's equal weights, 1 for a side in metres and 1
// for the angle in arc seconds, scaled to a unit weight of 1 mm.
constexpr const char* SIDE_STDEV_MM = "1";
constexpr const char* ANGLE_STDEV_SEC = "0.001";

std::string Escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        default: out += c;
        }
    }
    return out;
}

// Why a name cannot be a point id of the document, or empty when it can.
std::string IdFault(const std::string& name)
{
    if (name.empty()) return "点名为空，Gama 文件的点号不能为空";
    if (!IsValidUtf8(name)) return "点名" + QuotedName(name) + "不是有效的 UTF-8 文字，不能写入 Gama 文件";
    for (unsigned char c : name)
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r'))
            return "点名" + QuotedName(name) + "含控制字符，XML 文件不能容纳";
    // U+FFFE and U+FFFF are not XML characters either
    if (name.find("\xEF\xBF\xBE") != std::string::npos || name.find("\xEF\xBF\xBF") != std::string::npos)
        return "点名" + QuotedName(name) + "含非字符 U+FFFE/U+FFFF，XML 文件不能容纳";
    return {};
}

std::string Point(const std::string& id, double X, double Y, const char* kind)
{
    return "<point id=\"" + Escaped(id) + "\" x=\"" + ShortestDecimal(X) + "\" y=\"" + ShortestDecimal(Y) + "\" " +
           kind + "/>\n";
}

}  // namespace

ExportOutcome GamaExport(const ChainListing& listing)
{
    std::vector<const ListedPoint*> fixed, free;
    for (const ListedPoint& p : listing.knownPoints) fixed.push_back(&p);
    for (const ListedPoint& p : listing.points)
        if (!p.known) free.push_back(&p);

    std::set<std::string> ids;
    for (const std::vector<const ListedPoint*>* group : {&fixed, &free}) {
        for (const ListedPoint* p : *group) {
            if (std::string fault = IdFault(p->name); !fault.empty()) return ExportOutcome::Refused(fault);
            if (!ids.insert(p->name).second)
                return ExportOutcome::Refused("点名" + QuotedName(p->name) +
                                              "用于两个点，Gama 文件以点名区分各点，不能写入");
        }
    }

    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gama-local xmlns=\"http://www.gnu.org/software/gama/gama-local\">\n"
                      "<network axes-xy=\"ne\" angles=\"left-handed\">\n";
    std::string description = "测边锁";
    if (!listing.project.empty()) description += " " + ValidUtf8Text(listing.project);
    description += "：已知点 A、B、C";
    if (listing.knownPoints.size() > 3) description += "、D";
    description += " 固定，新点以平差坐标为近似坐标；";
    description += listing.weights ? "边长按测距精度 a + b·D 的中误差（mm）、定向角按其中误差（\"）定权，sigma-apr 为 μ0 = a + b。"
                                   : "边长 1 mm、角 0.001\"、sigma-apr 1 即程序的等权。";
    // the project name may hold control characters XML cannot carry
    description.erase(std::remove_if(description.begin(), description.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r'; }),
                      description.end());
    out += "<description>" + Escaped(description) + "</description>\n";
    out += "<parameters sigma-apr=\"" + (listing.weights ? ShortestDecimal(listing.weights->mu0Mm) : std::string("1")) + "\"/>\n";
    out += "<points-observations>\n";

    for (const ListedPoint* p : fixed) out += Point(p->name, p->X, p->Y, "fix=\"xy\"");

    std::string auxiliary;
    if (listing.closing && listing.knownPoints.size() >= 3) {
        auxiliary = "Tb";
        while (ids.count(auxiliary)) auxiliary += '\'';
        const ListedPoint& C = listing.knownPoints[2];
        const double t = listing.closing->azimuthDeg * std::numbers::pi / 180.0;
        out += "<!-- " + auxiliary +
               ": auxiliary fixed point 1000 m from C along the external azimuth Tb; the orientation angle at C "
               "turns from the last route side to it -->\n";
        out += Point(auxiliary, C.X + AUXILIARY_DISTANCE * std::cos(t), C.Y + AUXILIARY_DISTANCE * std::sin(t),
                     "fix=\"xy\"");
    }

    for (const ListedPoint* p : free) out += Point(p->name, p->X, p->Y, "adj=\"xy\"");

    out += "<obs>\n";
    for (const ListedSide& side : listing.sides) {
        if (side.known) continue;
        out += "<distance from=\"" + Escaped(side.from) + "\" to=\"" + Escaped(side.to) + "\" val=\"" +
               ShortestDecimal(side.observed) + "\" stdev=\"" +
               (listing.weights && side.sigmaMm ? ShortestDecimal(*side.sigmaMm) : std::string(SIDE_STDEV_MM)) + "\"/>\n";
    }
    out += "</obs>\n";
    if (!auxiliary.empty()) {
        const ListedPoint& C = listing.knownPoints[2];
        out += "<obs>\n<angle from=\"" + Escaped(C.name) + "\" bs=\"" + Escaped(listing.closing->lastSideFar) +
               "\" fs=\"" + Escaped(auxiliary) + "\" val=\"" + DegreesToDashedDms(listing.closing->orientationDeg) +
               "\" stdev=\"" +
               (listing.weights && listing.orientation && listing.orientation->sigmaSec
                    ? ShortestDecimal(*listing.orientation->sigmaSec)
                    : std::string(ANGLE_STDEV_SEC)) +
               "\"/>\n</obs>\n";
    }
    out += "</points-observations>\n</network>\n</gama-local>\n";
    return ExportOutcome::Written(std::move(out));
}
