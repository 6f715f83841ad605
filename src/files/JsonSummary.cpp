#include "files/JsonSummary.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cmath>
#include <optional>
#include <thread>
#include <vector>

#include "rules/FaultTexts.h"
#include "rules/GradeTexts.h"
#include "rules/ReductionTexts.h"
#include "text/DisplayFormat.h"
#include "text/Utf8.h"

namespace {

// text as a JSON string, appended to out
void AppendJsonString(std::string& out, const std::string& text)
{
    out += '"';
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        std::size_t n = Utf8CharLength(text, i);
        if (n == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text, i, n);
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    out += '"';
}

// The shortest text that reads back as the value, null where it is not
// finite. The Append forms write straight into the document: the points and
// sides of a long chain hold half a million numbers.
template <typename Number>
void AppendShortest(std::string& j, Number value)
{
    if (!std::isfinite(value)) {
        j += "null";
        return;
    }
    char buffer[64];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    j.append(buffer, static_cast<std::size_t>(end - buffer));
}

template <typename Number>
std::string Shortest(Number value)
{
    std::string text;
    AppendShortest(text, value);
    return text;
}

template <typename Number>
void AppendOptional(std::string& j, const std::optional<Number>& value)
{
    if (value) AppendShortest(j, *value);
    else j += "null";
}

template <typename Number>
std::string Optional(const std::optional<Number>& value)
{
    return value ? Shortest(*value) : "null";
}

void AppendInteger(std::string& j, long long value)
{
    char buffer[24];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    j.append(buffer, static_cast<std::size_t>(end - buffer));
}

// a member of an object: its text up to the value (", \"x\": "), the value
template <typename Number>
void AppendMember(std::string& j, const char* before, Number value)
{
    j += before;
    AppendShortest(j, value);
}

template <typename Number>
void AppendMember(std::string& j, const char* before, const std::optional<Number>& value)
{
    j += before;
    AppendOptional(j, value);
}

// qxx, qyy, qxy [-], mx_mm, my_mm, mp_mm and the error ellipse of one point.
void AppendPrecision(std::string& j, const PointPrecision& q)
{
    AppendMember(j, ", \"qxx\": ", q.Qxx);
    AppendMember(j, ", \"qyy\": ", q.Qyy);
    AppendMember(j, ", \"qxy\": ", q.Qxy);
    AppendMember(j, ", \"mx_mm\": ", q.mx);
    AppendMember(j, ", \"my_mm\": ", q.my);
    AppendMember(j, ", \"mp_mm\": ", q.mp);
    AppendMember(j, ", \"ellipse\": {\"a_mm\": ", q.ellipse.E);
    AppendMember(j, ", \"b_mm\": ", q.ellipse.F);
    AppendMember(j, ", \"azimuth_deg\": ", q.ellipse.phi);
    j += '}';
}

// A side's reduction to the Gauss plane [m, -], null on a plane chain.
void AppendReduction(std::string& j, const std::optional<SideReduction>& r)
{
    if (!r) {
        j += "null";
        return;
    }
    AppendMember(j, "{\"measured_m\": ", r->measured);
    AppendMember(j, ", \"horizontal_m\": ", r->horizontal);
    AppendMember(j, ", \"surface_m\": ", r->surface);
    AppendMember(j, ", \"plane_m\": ", r->plane);
    AppendMember(j, ", \"scale\": ", r->scale);
    j += '}';
}

// iterations, the orientation angle's check where there is one, the sum of the
// redundancy numbers and the global test (null without sigma0).
void AppendChecks(std::string& j, const BatchFigures& f)
{
    const ChainResult* r = f.completed ? f.result : nullptr;
    j += ",\n  \"iterations\": " + (r ? std::to_string(r->Iterations) : std::string("null"));
    if (r && f.listing && f.listing->closing && !r->Redundancy.empty()) {
        const std::size_t Q = r->Redundancy.size() - 1;
        const std::optional<ListedOrientation>& o = f.listing->orientation;
        auto figure = [&o](std::optional<double> ListedOrientation::*member) {
            return o ? Optional(*o.*member) : std::string("null");
        };
        j += ",\n  \"orientation\": {\"correction_arcsec\": " + Shortest(r->OrientationCorrection) +
             ", \"redundancy\": " + Shortest(r->Redundancy[Q]) + ", \"normalised\": " + Optional(r->Normalised[Q]) +
             ", \"sigma_arcsec\": " + figure(&ListedOrientation::sigmaSec) +
             ", \"mdb_arcsec\": " + figure(&ListedOrientation::mdbSec) +
             ", \"bias_to_noise\": " + figure(&ListedOrientation::biasToNoise) +
             ", \"weakest_shift_mm\": " + figure(&ListedOrientation::weakestShiftMm) + "}";
    }
    j += ",\n  \"sum_redundancy\": " + (r ? Shortest(r->SumRedundancy) : std::string("null"));
    j += ",\n  \"global_test\": ";
    if (r && r->globalTest) {
        const GlobalTest& t = *r->globalTest;
        j += "{\"statistic\": " + Shortest(t.statistic) + ", \"dof\": " + std::to_string(t.dof) +
             ", \"critical\": " + Shortest(t.critical) + ", \"passed\": " + (t.passed ? "true" : "false") + "}";
    } else {
        j += "null";
    }
}

// The weakest side, the grade's checks (null where none is asked) and
// whether the figures are a design's.
void AppendGrade(std::string& j, const BatchFigures& f)
{
    const ChainListing* l = f.completed ? f.listing : nullptr;
    j += ",\n  \"weakest_side\": ";
    if (l && l->weakestSide) {
        const ListedSide& s = l->sides[*l->weakestSide];
        j += "{\"k\": " + std::to_string(s.k) + ", \"from\": " + JsonString(s.from) + ", \"to\": " + JsonString(s.to) +
             ", \"relative\": " + Optional(s.relative) + "}";
    } else {
        j += "null";
    }
    j += ",\n  \"grade\": ";
    if (l && l->grade) {
        j += "{\"name\": " + JsonString(l->grade->name) + ", \"checks\": [";
        const char* comma = "";
        for (const GradeCheck& c : l->grade->checks) {
            j.append(comma).append("{\"item\": ").append(JsonString(GradeItemName(c.item)));
            j.append(", \"value\": ").append(Optional(c.value)).append(", \"limit\": ").append(Optional(c.limit));
            j.append(", \"passed\": ").append(c.passed ? (*c.passed ? "true" : "false") : "null");
            j.append(", \"source\": ").append(c.source.empty() ? "null" : JsonString(c.source)).append("}");
            comma = ", ";
        }
        j += "]}";
    } else {
        j += "null";
    }
    j += ",\n  \"design\": " + std::string(l && l->design ? "true" : "false");
}

const char* VerdictName(SignVerdict v)
{
    switch (v) {
    case SignVerdict::OneSign: return "one_sign";
    case SignVerdict::TwoSigns: return "two_signs";
    case SignVerdict::NoSingleSign: break;
    }
    return "no_single_sign";
}

// "w1_arcsec": .., "w2_mm": .., "w3_mm": .. of misclosures w1 [arc s], w2, w3 [m]
std::string MisclosureMembers(const std::array<double, 4>& w, int conditions)
{
    return "\"w1_arcsec\": " + (conditions == 3 ? Shortest(w[1]) : std::string("null")) +
           ", \"w2_mm\": " + Shortest(w[2] * 1000) + ", \"w3_mm\": " + Shortest(w[3] * 1000);
}

std::string DiagnosisJson(const SignDiagnosis& d)
{
    std::string j = "{\"verdict\": \"" + std::string(VerdictName(d.verdict)) + "\", \"statistic\": " + Shortest(d.statistic) +
                    ", \"dof\": " + std::to_string(d.conditions) + ", \"critical\": " + Shortest(d.critical) +
                    ", \"misclosures\": {" + MisclosureMembers(d.w, d.conditions) + "}, \"first_triangle\": " +
                    (d.firstTriangle > 0 ? std::to_string(d.firstTriangle) : std::string("null")) + ", \"candidates\": [";
    const char* comma = "";
    for (const SignCandidate& c : d.best) {
        const bool side = c.side != 0;
        j.append(comma).append("{\"side\": ").append(side ? std::to_string(c.side) : "null");
        j.append(", \"triangle\": ").append(side ? std::to_string(c.triangle) : "null");
        j.append(", \"typed_sign\": ").append(std::to_string(c.typedSign)).append(", ");
        j.append(MisclosureMembers(c.w, d.conditions)).append(", \"statistic\": ").append(Shortest(c.statistic)).append("}");
        comma = ", ";
    }
    return j + "], \"text\": " + JsonString(SignDiagnosisText(d)) + "}";
}

// Hands the document written so far on once it holds 64 KiB.
constexpr std::size_t PART = 65536;
void PassOn(std::string& j, const std::function<void(const std::string&)>& pass)
{
    if (!pass || j.size() < PART) return;
    pass(j);
    j.clear();
}

// Point i of the listing and its precision.
void AppendPoint(std::string& j, const BatchFigures& f, std::size_t i)
{
    const ChainResult* r = f.result;
    const ListedPoint& p = f.listing->points[i];
    j += "{\"name\": ";
    AppendJsonString(j, p.name);
    AppendMember(j, ", \"x\": ", p.X);
    AppendMember(j, ", \"y\": ", p.Y);
    if (r && i < r->PointPrecisions.size()) AppendPrecision(j, r->PointPrecisions[i]);
    j += '}';
}

// A side of the listing: observed, corrected, its checks and precision.
void AppendSide(std::string& j, const BatchFigures& f, const ListedSide& s)
{
    const ChainResult* r = f.result;
    j += "{\"k\": ";
    AppendInteger(j, s.k);
    j += ", \"from\": ";
    AppendJsonString(j, s.from);
    j += ", \"to\": ";
    AppendJsonString(j, s.to);
    AppendMember(j, ", \"observed\": ", s.observed);
    j += ", \"sign\": ";
    AppendInteger(j, s.sign);
    AppendMember(j, ", \"correction\": ", s.correction);
    AppendMember(j, ", \"adjusted\": ", s.adjusted);
    const auto k = static_cast<std::size_t>(s.k);
    const bool checked = r && !s.known && k < r->Redundancy.size();
    j += ", \"redundancy\": ";
    if (checked) AppendShortest(j, r->Redundancy[k]);
    else j += "null";
    j += ", \"normalised\": ";
    if (checked) AppendOptional(j, r->Normalised[k]);
    else j += "null";
    AppendMember(j, ", \"sigma_mm\": ", s.sigmaMm);
    AppendMember(j, ", \"mdb_mm\": ", s.mdbMm);
    AppendMember(j, ", \"bias_to_noise\": ", s.biasToNoise);
    AppendMember(j, ", \"weakest_shift_mm\": ", s.weakestShiftMm);
    j += ", \"reduction\": ";
    AppendReduction(j, s.reduction);
    AppendMember(j, ", \"adjusted_sigma_mm\": ", s.adjustedSigmaMm);
    AppendMember(j, ", \"relative\": ", s.relative);
    AppendMember(j, ", \"azimuth_deg\": ", s.azimuthDeg);
    AppendMember(j, ", \"azimuth_sigma_arcsec\": ", s.azimuthSigmaArcSec);
    j += '}';
}

// Item i of the points and sides, after its separator: the points first,
// then the sides (the item after the last point opens the sides' array).
void AppendItem(std::string& j, const BatchFigures& f, std::size_t i)
{
    const std::size_t P = f.listing->points.size();
    if (i < P) {
        j += i == 0 ? "\n    " : ",\n    ";
        AppendPoint(j, f, i);
        return;
    }
    if (i == P) j += "\n  ],\n  \"sides\": [";
    j += i == P ? "\n    " : ",\n    ";
    AppendSide(j, f, f.listing->sides[i - P]);
}

// The points and sides of a long chain formatted by two threads, block by
// block: this one the even blocks, straight into j, a second one the odd
// blocks, each into one of two buffers reserved here; every block is handed
// on in its order, so the document is the same as one thread's. The second
// thread starts block b only once block b - 4, the last one in its buffer,
// has been handed on.
constexpr std::size_t PARALLEL_ITEMS = 8192, BLOCK = 1024;  // [points and sides]
void AppendItemsInTwo(std::string& j, const BatchFigures& f, std::size_t items,
                      const std::function<void(const std::string&)>& pass)
{
    const std::size_t blocks = (items + BLOCK - 1) / BLOCK;
    std::array<std::string, 2> buffer;
    for (std::string& b : buffer) b.reserve(BLOCK * 1024);  // a side takes some 450 bytes at most
    std::vector<std::atomic<bool>> ready(blocks);
    std::atomic<std::size_t> handedOn{0};  // blocks handed on so far
    auto format = [&](std::string& out, std::size_t b) {
        for (std::size_t i = b * BLOCK; i < std::min(items, (b + 1) * BLOCK); ++i) AppendItem(out, f, i);
    };
    std::thread odd([&] {
        for (std::size_t b = 1; b < blocks; b += 2) {
            for (std::size_t done = handedOn.load(); done + 3 < b; done = handedOn.load()) handedOn.wait(done);
            std::string& out = buffer[(b / 2) % 2];
            out.clear();
            format(out, b);
            ready[b].store(true);
            ready[b].notify_one();
        }
    });
    for (std::size_t b = 0; b < blocks; ++b) {
        if (b % 2 == 0) {
            format(j, b);
            PassOn(j, pass);
        } else {
            ready[b].wait(false);
            if (!j.empty()) pass(j);
            j.clear();
            pass(buffer[(b / 2) % 2]);
        }
        handedOn.store(b + 1);
        handedOn.notify_one();
    }
    odd.join();
}

}  // namespace

std::string JsonString(const std::string& text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

std::string FormatJson(const BatchFigures& f, const std::function<void(const std::string&)>& pass)
{
    const ChainResult* r = f.result;
    std::string j;
    // room for a part, or for the whole document at once (a point takes some
    // 340 bytes, a side 320, 450 with its reduction): grown by doubling, the
    // document would be copied and held twice
    if (pass) j.reserve(PART + 4096);
    else if (f.listing) j.reserve(512 * (f.listing->points.size() + f.listing->sides.size()) + 4096);
    j += "{\n  \"status\": ";
    j += f.completed ? "\"completed\"" : "\"failed\"";
    if (!f.completed) j += ",\n  \"fault\": " + JsonString(f.fault);
    j += ",\n  \"diagnosis\": " + (f.diagnosis ? DiagnosisJson(*f.diagnosis) : std::string("null"));
    auto figure = [r](auto member) -> std::string { return r ? Optional(r->*member) : "null"; };
    j += ",\n  \"misclosures\": {\"w1_arcsec\": " + figure(&ChainResult::wbSeconds) +
         ", \"w2_mm\": " + figure(&ChainResult::wxMillimetres) + ", \"w3_mm\": " + figure(&ChainResult::wyMillimetres) +
         "}";
    j += ",\n  \"ms_mm\": " + figure(&ChainResult::ms);
    j += ",\n  \"weights\": ";
    if (f.listing && f.listing->weights) {
        const ChainListing::Weights& w = *f.listing->weights;
        j += "{\"a_mm\": " + Shortest(w.aMm) + ", \"b_ppm\": " + Shortest(w.bPpm) + ", \"mu0_mm\": " + Shortest(w.mu0Mm) + "}";
    } else {
        j += "null";
    }
    j += ",\n  \"weakest\": {\"name\": " + (f.completed ? JsonString(f.weakestName) : std::string("null")) +
         ", \"inv_px\": " + figure(&ChainResult::InvPx) + ", \"inv_py\": " + figure(&ChainResult::InvPy) +
         ", \"mx_mm\": " + figure(&ChainResult::mx) + ", \"my_mm\": " + figure(&ChainResult::my) +
         ", \"md_mm\": " + figure(&ChainResult::md) + "}";
    if (f.listing) {
        j += ",\n  \"points\": [";
        const std::size_t items = f.listing->points.size() + f.listing->sides.size();
        if (pass && items >= PARALLEL_ITEMS) {
            AppendItemsInTwo(j, f, items, pass);
        } else {
            for (std::size_t i = 0; i < items; ++i) {
                AppendItem(j, f, i);
                PassOn(j, pass);
            }
        }
        if (f.listing->sides.empty()) j += "\n  ],\n  \"sides\": [";
        j += "\n  ]";
    }
    j += ",\n  \"distortion_cm_per_km\": " +
         (f.listing && f.listing->reduction ? Shortest(f.listing->reduction->distortionCmPerKm) : std::string("null"));
    AppendChecks(j, f);
    AppendGrade(j, f);
    j += "\n}\n";
    return j;
}

std::string FormatSummary(const BatchFigures& f)
{
    const ChainResult* r = f.result;
    const bool design = f.completed && f.listing && f.listing->design;
    std::string t = design ? "精度预估完成\n" : f.completed ? "平差完成\n" : "平差中止：" + f.fault + "\n";
    if (!r) return t;
    auto mm = [](const std::optional<float>& v) { return v ? FormatFixed(*v, 2) + " 毫米" : std::string("-"); };
    if (!design && (r->wxMillimetres || r->wbSeconds || r->withoutAngleCondition)) {
        t += "闭合差：";
        t += r->withoutAngleCondition ? std::string("没有角条件")
                                      : "w1 = " + (r->wbSeconds ? FormatFixed(*r->wbSeconds, 2) + " 秒" : "-");
        t += "，w2 = " + mm(r->wxMillimetres) + "，w3 = " + mm(r->wyMillimetres) + "\n";
    }
    const bool weighted = f.listing && f.listing->weights;
    if (weighted) {
        const ChainListing::Weights& w = *f.listing->weights;
        t += "测距精度 a = " + FormatFixed(w.aMm, 2) + " 毫米，b = " + FormatFixed(w.bPpm, 2) + " 毫米/千米，μ0 = a + b = " +
             FormatFixed(w.mu0Mm, 2) + " 毫米\n";
    }
    if (r->ms && !design) t += (weighted ? "验后单位权中误差 ms = " : "单位权测边中误差 ms = ") + mm(r->ms) + "\n";
    if (r->ms && design) t += "先验单位权中误差 μ0 = " + mm(r->ms) + "（精度预估的各项精度由它算得）\n";
    if (f.completed && f.listing && f.listing->reduction) {
        t += ReductionLine(*f.listing) + "\n";
        if (const std::string warning = DistortionWarning(*f.listing); !warning.empty()) t += warning + "\n";
    }
    if (f.completed) {
        t += "最弱点 " + f.weakestName + "：1/px = " + FormatFixed(*r->InvPx, 4) + "，1/py = " + FormatFixed(*r->InvPy, 4) +
             "，mx = " + mm(r->mx) + "，my = " + mm(r->my) + "，md = " + mm(r->md) + "\n";
        if (f.listing && f.listing->weakestSide) {
            const ListedSide& s = f.listing->sides[*f.listing->weakestSide];
            t += "最弱边 S" + FormatInteger(s.k) + "（" + s.from + "-" + s.to + "）：边长相对中误差 " + FormatRelative(*s.relative) + "\n";
        }
        if (f.listing && f.listing->grade) t += GradeVerdictLine(*f.listing->grade) + "\n";
        if (r->globalTest && !(f.listing && f.listing->design)) {
            const GlobalTest& g = *r->globalTest;
            t += std::string(weighted ? "全局检验：[pvv]/μ0² = " : "全局检验：[pvv]/σ0² = ") + FormatFixed(g.statistic, 3) + "，自由度 " + FormatInteger(g.dof) +
                 "，χ²(0.95) = " + FormatFixed(g.critical, 3) + "，" + (g.passed ? "通过" : "未通过") + "\n";
        }
    }
    return t;
}
