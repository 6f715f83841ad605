#include "files/ReductionKeys.h"

#include <cmath>

#include "core/ChainTopology.h"
#include "text/NumberReading.h"
#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"

namespace {

const std::string kHeight = "高程";
const std::string kInstrument = "仪器高";
const std::string kReflector = "镜高";

// Bounds of the values [m].
constexpr double LOWEST_HEIGHT_M = -500, HIGHEST_HEIGHT_M = 9000;
constexpr double LARGEST_ANOMALY_M = 200;
constexpr double HIGHEST_INSTRUMENT_M = 100;

std::string Quoted(const std::string& s) { return "「" + s + "」"; }

// The named single keys: normalised key, label, the record's field.
struct SingleKey {
    const char* key;
    const char* label;
    std::string ReductionRecord::*field;
};
const SingleKey kSingleKeys[] = {
    {"边长类型", "边长类型", &ReductionRecord::sideKind},
    {"测距加常数", "测距加常数", &ReductionRecord::addConstantMm},
    {"测距乘常数", "测距乘常数", &ReductionRecord::scaleConstantMmPerKm},
    {"椭球", "椭球", &ReductionRecord::ellipsoid},
    {"中央子午线", "中央子午线", &ReductionRecord::centralMeridian},
    {"y加常数", "Y加常数", &ReductionRecord::falseEasting},
    {"投影面高程", "投影面高程", &ReductionRecord::surfaceHeight},
    {"高程异常", "高程异常", &ReductionRecord::heightAnomaly},
};

const SingleKey* SingleKeyOf(const std::string& key)
{
    for (const SingleKey& k : kSingleKeys)
        if (key == k.key) return &k;
    return nullptr;
}

// "高程a" -> "A", "高程c后" -> "C后", "高程12" -> "12"; empty when not a mark's height.
std::string MarkOf(const std::string& key)
{
    if (key.rfind(kHeight, 0) != 0) return {};
    const std::string rest = key.substr(kHeight.size());
    if (rest == "a" || rest == "b" || rest == "c" || rest == "d") return std::string(1, static_cast<char>(rest[0] - 'a' + 'A'));
    if (rest == "c后") return "C后";
    if (rest.empty() || rest.size() > 6 || rest[0] == '0') return {};
    for (char c : rest)
        if (c < '0' || c > '9') return {};
    return rest;
}

// "s5仪器高" -> 5 and instrument; 0 when not a side's height.
int SideOf(const std::string& key, bool& instrument)
{
    if (key.size() < 2 || key[0] != 's') return 0;
    std::size_t digits = 1;
    while (digits < key.size() && key[digits] >= '0' && key[digits] <= '9') ++digits;
    if (digits == 1 || digits > 7) return 0;
    const std::string rest = key.substr(digits);
    if (rest != kInstrument && rest != kReflector) return 0;
    instrument = rest == kInstrument;
    return std::stoi(key.substr(1, digits - 1));
}

std::optional<std::string> RefuseNumber(const std::string& label, const std::string& text, const char* unit, double low,
                                        double high)
{
    std::optional<double> v = ReadNumber(text);
    if (!v) return Quoted(label) + "应是一个数（" + unit + "），却是" + Quoted(text);
    if (*v < low || *v > high)
        return label + " = " + text + " 超出范围：应在 " + ShortestDecimal(low) + " 到 " + ShortestDecimal(high) +
               " " + unit + "之间";
    return std::nullopt;
}

std::optional<MeasuredSideKind> SideKindOf(const std::string& text)
{
    if (text.empty() || text == "平面") return MeasuredSideKind::Plane;
    if (text == "平距") return MeasuredSideKind::Horizontal;
    if (text == "斜距") return MeasuredSideKind::Slope;
    return std::nullopt;
}

std::optional<EllipsoidName> EllipsoidOf(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    for (EllipsoidName e : {EllipsoidName::CGCS2000, EllipsoidName::WGS84, EllipsoidName::Xian80, EllipsoidName::Beijing54})
        if (text == NameOf(e)) return e;
    if (text.empty()) return EllipsoidName::CGCS2000;
    return std::nullopt;
}

// The checks of one value as it stands, before the chain is known.
std::optional<std::string> RefuseValue(const std::string& label, const std::string& field, const std::string& text)
{
    if (field == "边长类型")
        return SideKindOf(text) ? std::nullopt
                                : std::optional<std::string>(Quoted(label) + "应是「平面」「平距」或「斜距」，却是" + Quoted(text));
    if (field == "椭球")
        return EllipsoidOf(text) ? std::nullopt
                                 : std::optional<std::string>(Quoted(label) + "应是 CGCS2000、WGS84、西安80 或 北京54，却是" +
                                                              Quoted(text));
    if (field == "中央子午线") {
        std::optional<double> v = ReadNumber(text);
        std::optional<double> deg = v ? PackedToDegrees(*v) : std::nullopt;
        if (!v) return Quoted(label) + "应是经度（度.分秒，例如 117 或 113.30），却是" + Quoted(text);
        if (!deg) return label + " = " + text + " 不是度.分秒：分和秒都须小于 60";
        if (*deg < 0 || *deg > 360) return label + " = " + text + " 超出范围：应在 0 到 360 度之间";
        return std::nullopt;
    }
    if (field == "Y加常数") return RefuseNumber(label, text, "米", 0, 1e9);
    if (field == "高程异常") return RefuseNumber(label, text, "米", -LARGEST_ANOMALY_M, LARGEST_ANOMALY_M);
    if (field == "测距加常数") return RefuseNumber(label, text, "毫米", -1e4, 1e4);
    if (field == "测距乘常数") return RefuseNumber(label, text, "毫米/千米", -1e4, 1e4);
    if (field == "高程" || field == "投影面高程") return RefuseNumber(label, text, "米", LOWEST_HEIGHT_M, HIGHEST_HEIGHT_M);
    return RefuseNumber(label, text, "米", 0, HIGHEST_INSTRUMENT_M);  // instrument and reflector heights
}

double NumberOr(const std::string& text, double otherwise)
{
    return text.empty() ? otherwise : ReadNumber(text).value_or(otherwise);
}

ChainTopology TopologyOf(const ChainInput& input)
{
    const ChainObservations& o = input.observations;
    return ChainTopologyOf(o.N, RouteSignsOf(o), o.closing == ClosingKind::OnCWithD);
}

// The point id of a mark, nullopt where the chain has no such mark.
std::optional<int> PointOf(const std::string& mark, const ChainInput& input, const ChainTopology& t)
{
    const int K = input.observations.UnknownPointCount;
    if (mark == "A") return CHAIN_POINT_A;
    if (mark == "B") return 0;
    if (mark == "C") return t.C;
    if (mark == "D") return t.D == CHAIN_NO_POINT ? std::nullopt : std::optional<int>(t.D);
    if (mark == "C后") {
        const int after = K + 2;
        return t.D != CHAIN_NO_POINT && after < t.D ? std::optional<int>(after) : std::nullopt;
    }
    const int i = std::stoi(mark);
    return i >= 1 && i <= K ? std::optional<int>(i) : std::nullopt;
}

std::string MarksOf(const ChainInput& input, const ChainTopology& t)
{
    const int K = input.observations.UnknownPointCount;
    std::string marks = "A、B";
    if (K == 1) marks += "、1";
    if (K > 1) marks += "、1 到 " + std::to_string(K);
    marks += "、C";
    if (t.D != CHAIN_NO_POINT && K + 2 < t.D) marks += "、C后";
    if (t.D != CHAIN_NO_POINT) marks += "、D";
    return marks;
}

}  // namespace

const std::vector<ReductionField>& ReductionFields()
{
    static const std::vector<ReductionField> fields = [] {
        std::vector<ReductionField> all;
        for (const SingleKey& k : kSingleKeys) all.push_back({k.label, k.field});
        return all;
    }();
    return fields;
}

std::optional<std::string> RefuseReductionValue(const std::string& label, const std::string& text)
{
    std::string key;  // as the reader normalises it: no blanks, ASCII letters in lower case
    for (char c : label)
        if (c != ' ' && c != '\t') key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    ReductionRecord scratch;
    return TakeReductionValue(scratch, key, text);
}

bool IsReductionKey(const std::string& key)
{
    bool instrument = false;
    return SingleKeyOf(key) || !MarkOf(key).empty() || SideOf(key, instrument) > 0;
}

std::optional<std::string> TakeReductionValue(ReductionRecord& record, const std::string& key, const std::string& value,
                                              std::string* label)
{
    std::string name;
    if (const SingleKey* single = SingleKeyOf(key)) {
        name = single->label;
        if (label) *label = name;
        if (!(record.*single->field).empty()) return Quoted(name) + "只能给一次";
        if (std::optional<std::string> refused = RefuseValue(name, name, value)) return refused;
        record.*single->field = value;
        return std::nullopt;
    }
    if (std::string mark = MarkOf(key); !mark.empty()) {
        name = kHeight + " " + mark;
        if (label) *label = name;
        for (const MarkHeightText& h : record.heights)
            if (h.mark == mark) return Quoted(name) + "只能给一次";
        if (std::optional<std::string> refused = RefuseValue(name, kHeight, value)) return refused;
        record.heights.push_back({mark, value});
        return std::nullopt;
    }
    bool instrument = false;
    const int k = SideOf(key, instrument);
    name = "S" + std::to_string(k) + " " + (instrument ? kInstrument : kReflector);
    if (label) *label = name;
    SideHeightText* side = nullptr;
    for (SideHeightText& s : record.sideHeights)
        if (s.k == k) side = &s;
    if (side && !(instrument ? side->instrument : side->reflector).empty()) return Quoted(name) + "只能给一次";
    if (std::optional<std::string> refused = RefuseValue(name, "", value)) return refused;
    if (!side) side = &record.sideHeights.emplace_back(SideHeightText{k, "", ""});
    (instrument ? side->instrument : side->reflector) = value;
    return std::nullopt;
}

std::variant<std::optional<ReductionParameters>, ReductionRefusal> ReductionOf(const ReductionRecord& record,
                                                                                const ChainInput& input)
{
    using Result = std::variant<std::optional<ReductionParameters>, ReductionRefusal>;
    if (record.Empty()) return Result(std::optional<ReductionParameters>());
    // every value once more as the reader takes it (a record may come from elsewhere)
    for (const SingleKey& k : kSingleKeys) {
        const std::string& text = record.*k.field;
        if (!text.empty())
            if (std::optional<std::string> refused = RefuseValue(k.label, k.label, text)) return ReductionRefusal{*refused, k.label};
    }
    const ChainObservations& o = input.observations;
    const ChainTopology t = TopologyOf(input);
    ReductionParameters p;
    p.sides = *SideKindOf(record.sideKind);
    p.ellipsoid = *EllipsoidOf(record.ellipsoid);
    if (!record.centralMeridian.empty()) p.centralMeridianDeg = PackedToDegrees(*ReadNumber(record.centralMeridian));
    p.falseEastingM = NumberOr(record.falseEasting, 500000);
    p.surfaceHeightM = NumberOr(record.surfaceHeight, 0);
    p.heightAnomalyM = NumberOr(record.heightAnomaly, 0);
    p.addConstantMm = NumberOr(record.addConstantMm, 0);
    p.scaleConstantMmPerKm = NumberOr(record.scaleConstantMmPerKm, 0);
    const bool reduced = p.sides != MeasuredSideKind::Plane;

    for (const MarkHeightText& h : record.heights) {
        const std::string label = kHeight + " " + h.mark;
        if (std::optional<std::string> refused = RefuseValue(label, kHeight, h.text)) return ReductionRefusal{*refused, label};
        std::optional<int> id = PointOf(h.mark, input, t);
        if (!id) return ReductionRefusal{"这条三角锁没有点 " + h.mark + "：" + Quoted(label) + "；它的点为 " + MarksOf(input, t), label};
        p.markHeightM[*id] = *ReadNumber(h.text);
    }
    for (const SideHeightText& s : record.sideHeights) {
        for (bool instrument : {true, false}) {
            const std::string& text = instrument ? s.instrument : s.reflector;
            if (text.empty()) continue;
            const std::string label = "S" + std::to_string(s.k) + " " + (instrument ? kInstrument : kReflector);
            if (std::optional<std::string> refused = RefuseValue(label, "", text)) return ReductionRefusal{*refused, label};
            if (p.sides != MeasuredSideKind::Slope)
                return ReductionRefusal{Quoted(label) + "只用于斜距：边长类型须是「斜距」", label};
            const auto uk = static_cast<std::size_t>(s.k);
            if (s.k < 2 || uk >= o.sides.size() || o.sides[uk].fromCoordinates)
                return ReductionRefusal{"没有测量的边 S" + std::to_string(s.k) + "：" + Quoted(label) + "；测量的边为 S2 到 S" +
                                            std::to_string(o.closing == ClosingKind::OnCWithD ? 2 * o.N : 2 * o.N + 1),
                                        label};
            (instrument ? p.instrumentHeightM : p.reflectorHeightM)[s.k] = *ReadNumber(text);
        }
    }
    if (!reduced) {
        for (const char* constant : {"测距加常数", "测距乘常数"})
            if (!(record.*SingleKeyOf(constant)->field).empty())
                return ReductionRefusal{Quoted(constant) + "只用于平距或斜距：边长类型须是「平距」或「斜距」", constant};
    }
    if (reduced && !p.centralMeridianDeg)
        return ReductionRefusal{"边长类型为「" + record.sideKind + "」时须给出「中央子午线」（度.分秒），边长才能归算到高斯平面", "",
                                "中央子午线"};
    if (p.centralMeridianDeg) {
        const char* labels[] = {"Ya", "Yb", "Yc", "Yd"};
        const double Y[] = {o.Ya, o.Yb, o.Yc, o.Yd};
        for (int i = 0; i < (o.closing == ClosingKind::OnCWithD ? 4 : 3); ++i) {
            const double y = Y[i] - p.falseEastingM;
            if (std::abs(y) <= MAX_DISTANCE_FROM_MERIDIAN_M) continue;
            std::string message = std::string(labels[i]) + " = " + ShortestDecimal(Y[i]) + " 离中央子午线 " +
                                  ShortestDecimal(std::round(y / 1000)) + " 千米（Y加常数 " + ShortestDecimal(p.falseEastingM) +
                                  "），超过 1000 千米";
            if (Y[i] >= 1e6)
                message += "：横座标前面带着带号时，Y加常数须连带号写，例如带号 " +
                           ShortestDecimal(std::floor(Y[i] / 1e6)) + " 写「Y加常数 = " +
                           ShortestDecimal(std::floor(Y[i] / 1e6)) + "500000」";
            return ReductionRefusal{message, labels[i]};
        }
    }
    if (std::optional<ReductionFault> missing = MissingHeight(o, p))
        return ReductionRefusal{ReductionFaultText(*missing, input), "",
                                missing->kind == ReductionFault::Kind::MissingHeight ? HeightLabel(input, missing->point)
                                                                                     : std::string()};
    return Result(std::optional<ReductionParameters>(p));
}

std::string HeightLabel(const ChainInput& input, int id)
{
    const ChainTopology t = TopologyOf(input);
    if (id == CHAIN_POINT_A) return kHeight + " A";
    if (id == 0) return kHeight + " B";
    if (id == t.C) return kHeight + " C";
    if (id == t.D) return kHeight + " D";
    if (id == input.observations.UnknownPointCount + 2) return kHeight + " C后";
    return kHeight + " " + std::to_string(id);
}

std::string ReductionFaultText(const ReductionFault& fault, const ChainInput& input)
{
    const std::string side = "S" + std::to_string(fault.side);
    switch (fault.kind) {
    case ReductionFault::Kind::NoCentralMeridian: return "边长归算须给出「中央子午线」";
    case ReductionFault::Kind::MissingHeight:
        return "缺少" + Quoted(HeightLabel(input, fault.point)) + "：边 " + side + " 归算到高斯平面要用它的高程";
    case ReductionFault::Kind::FarFromMeridian:
        return "点 " + HeightLabel(input, fault.point).substr(kHeight.size() + 1) + " 离中央子午线超过 1000 千米：边长无法归算";
    case ReductionFault::Kind::SlopeTooShort:
        return "斜距 " + side + " 不长于两端（仪器与镜）的高差：边长无法归算";
    case ReductionFault::Kind::Unsolvable: return "三角锁无法由未归算的边长近似解算：边长无法归算";
    }
    return "边长无法归算";
}

std::vector<std::pair<std::string, std::string>> ReductionEntries(const ReductionRecord& record)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (const SingleKey& k : kSingleKeys)
        if (!(record.*k.field).empty()) entries.emplace_back(k.label, record.*k.field);
    for (const MarkHeightText& h : record.heights) entries.emplace_back(kHeight + " " + h.mark, h.text);
    for (const SideHeightText& s : record.sideHeights) {
        if (!s.instrument.empty()) entries.emplace_back("S" + std::to_string(s.k) + " " + kInstrument, s.instrument);
        if (!s.reflector.empty()) entries.emplace_back("S" + std::to_string(s.k) + " " + kReflector, s.reflector);
    }
    return entries;
}
