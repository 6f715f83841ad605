#include "rules/PrecisionLines.h"

#include "text/NumberReading.h"

namespace {

std::string Quoted(std::string_view s) { return "「" + std::string(s) + "」"; }

Refusal RefuseNumber(std::string_view typed, double& value, bool zeroAllowed, const char* rule)
{
    std::optional<double> number = ReadNumber(typed);
    if (!number || !(zeroAllowed ? *number >= 0 : *number > 0)) return std::string(rule);
    value = *number;
    return std::nullopt;
}

double NumberOf(const std::string& typed) { return ReadNumber(typed).value_or(0); }

const std::string WITH_EDM = "只与" + Quoted(kEdmAKey) + Quoted(kEdmBKey) + "一起给出";

}  // namespace

std::string SideSigmaKey(int k) { return "S" + std::to_string(k) + " 中误差"; }

Refusal RefuseSigma0(std::string_view typed, double& mm)
{
    return RefuseNumber(typed, mm, false, "应是一个正数，以毫米计（例如 2）");
}

Refusal RefuseEdmA(std::string_view typed, double& mm)
{
    return RefuseNumber(typed, mm, true, "应是一个不小于零的数，以毫米计（例如 2）");
}

Refusal RefuseEdmB(std::string_view typed, double& ppm)
{
    return RefuseNumber(typed, ppm, true, "应是一个不小于零的数，以毫米每千米计（例如 2）");
}

Refusal RefuseOrientationSigma(std::string_view typed, double& seconds)
{
    return RefuseNumber(typed, seconds, false, "应是一个正数，以秒计（例如 2）");
}

Refusal RefuseSideSigma(std::string_view typed, double& mm)
{
    return RefuseNumber(typed, mm, false, "应是一个正数，以毫米计（例如 3.2）");
}

bool HasWeightLines(const ObservationRecord& record)
{
    return !record.edmAMm.empty() || !record.edmBPpm.empty() || !record.orientationSigmaSec.empty() ||
           !record.sideSigmaMm.empty();
}

std::optional<PrecisionRefusal> RefusePrecisionLines(const ObservationRecord& record,
                                                     const std::optional<ChainShape>& chain)
{
    const bool a = !record.edmAMm.empty(), b = !record.edmBPpm.empty();
    // the first weighting line, for a refusal that concerns them all
    const std::string first = a ? kEdmAKey
                              : b ? kEdmBKey
                              : !record.orientationSigmaSec.empty() ? kOrientationSigmaKey
                              : !record.sideSigmaMm.empty() ? SideSigmaKey(record.sideSigmaMm.begin()->first)
                                                            : std::string();
    if (!record.sigma0Mm.empty() && !first.empty())
        return PrecisionRefusal{first, Quoted(kSigma0Key) + "与" + Quoted(first) +
                                           "不能同时给出：前者给所有边同一个中误差，后者按测距仪的标称精度 a + b·D "
                                           "给出各边的中误差；只留一种"};
    if (a != b) {
        const char* given = a ? kEdmAKey : kEdmBKey;
        const char* other = a ? kEdmBKey : kEdmAKey;
        return PrecisionRefusal{given, Quoted(given) + "须与" + Quoted(other) + "一起给出（没有这一部分时写「" +
                                           other + " = 0」）"};
    }
    if (a && NumberOf(record.edmAMm) + NumberOf(record.edmBPpm) <= 0)
        return PrecisionRefusal{kEdmBKey, Quoted(kEdmAKey) + "与" + Quoted(kEdmBKey) +
                                              "不能都为零：D 千米的边，中误差为 a + b·D 毫米，须大于零"};
    if (!a && !record.orientationSigmaSec.empty())
        return PrecisionRefusal{kOrientationSigmaKey, Quoted(kOrientationSigmaKey) + WITH_EDM};
    if (!a && !record.sideSigmaMm.empty()) {
        const std::string key = SideSigmaKey(record.sideSigmaMm.begin()->first);
        return PrecisionRefusal{key, Quoted(key) + WITH_EDM};
    }
    if (!chain) return std::nullopt;

    const bool orientation = chain->closing == ClosingKind::OnCWithAzimuth;
    if (!record.orientationSigmaSec.empty() && !orientation)
        return PrecisionRefusal{kOrientationSigmaKey, (chain->closing == ClosingKind::OnCWithD
                                                           ? std::string("有 D 点时没有定向角")
                                                           : std::string("没有外方位角与定向角（Tb、Qb 都为零）")) +
                                                          "：不给" + Quoted(kOrientationSigmaKey)};
    if (a && orientation && record.orientationSigmaSec.empty())
        return PrecisionRefusal{"", "缺少" + Quoted(kOrientationSigmaKey) + "：给出" + Quoted(kEdmAKey) +
                                        Quoted(kEdmBKey) + "、又有定向角 Qb 时，定向角也须有它的中误差（秒）"};
    const int last = chain->closing == ClosingKind::OnCWithD ? 2 * chain->N : 2 * chain->N + 1;
    for (const auto& [k, text] : record.sideSigmaMm) {
        if (k >= 2 && k <= last) continue;
        std::string reason = Quoted(SideSigmaKey(k)) + "没有对应的边：这条三角锁观测的边为 S2 到 S" + std::to_string(last);
        if (k == 1) reason += "（S1 即 A-B 由座标算得）";
        if (k == last + 1 && chain->closing == ClosingKind::OnCWithD)
            reason += "（S" + std::to_string(k) + " 即 C-D 由座标算得）";
        return PrecisionRefusal{SideSigmaKey(k), reason};
    }
    return std::nullopt;
}

void ApplyPrecisionLines(const ObservationRecord& record, ChainObservations& o)
{
    o.sigma0Mm.reset();
    o.edm.reset();
    if (!record.sigma0Mm.empty()) o.sigma0Mm = ReadNumber(record.sigma0Mm);
    if (record.edmAMm.empty() || record.edmBPpm.empty()) return;
    o.edm = DistanceAccuracy{NumberOf(record.edmAMm), NumberOf(record.edmBPpm)};
    for (const auto& [k, text] : record.sideSigmaMm) {
        const auto side = static_cast<std::size_t>(k);
        if (k >= 2 && side < o.sides.size() && !o.sides[side].fromCoordinates) o.sides[side].sigmaMm = NumberOf(text);
    }
    if (o.orientation && !record.orientationSigmaSec.empty())
        o.orientation->sigmaSec = NumberOf(record.orientationSigmaSec);
}
