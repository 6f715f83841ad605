#include "rules/FaultTexts.h"

#include "text/DisplayFormat.h"

const char* FaultKindName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::TypeMismatch: return "类型不匹配";
    case FaultKind::Overflow: return "溢出";
    case FaultKind::IndexRange: return "下标越界";
    case FaultKind::DivisionByZero: return "除以零";
    case FaultKind::InvalidArgument: return "无效参数";
    }
    return "错误";
}

std::string FailureText(const RunFault& fault) { return std::string(FaultKindName(fault.kind)) + "：" + fault.message; }

std::string OutOfRangeText(std::string_view what) { return std::string(what) + " 超出数值范围，计算无法继续"; }

namespace {

const char* QuantityName(ChainQuantity quantity)
{
    switch (quantity) {
    case ChainQuantity::None: break;
    case ChainQuantity::ApproximateCoordinates: return "近似座标";
    case ChainQuantity::AzimuthMisclosure: return "方位角闭合差";
    case ChainQuantity::NorthingMisclosure: return "纵座标闭合差";
    case ChainQuantity::EastingMisclosure: return "横座标闭合差";
    case ChainQuantity::NormalCoefficients: return "法方程系数";
    case ChainQuantity::NormalSolution: return "法方程的解";
    case ChainQuantity::Corrections: return "改正数";
    case ChainQuantity::WeightReciprocalX: return "纵座标权倒数";
    case ChainQuantity::WeightReciprocalY: return "横座标权倒数";
    case ChainQuantity::UnitWeightError: return "单位权测边中误差";
    case ChainQuantity::NorthingError: return "纵座标中误差";
    case ChainQuantity::EastingError: return "横座标中误差";
    case ChainQuantity::PositionError: return "点位中误差";
    case ChainQuantity::AdjustedCoordinates: return "平差座标";
    case ChainQuantity::PointCofactors: return "点位协因数";
    }
    return "计算值";
}

// "第i个三角形 (S(2i-1)=a, S(2i)=b, S(2i+1)=c)" with the sides as given.
std::string TriangleWhere(int i, const std::array<std::string, 3>& sides)
{
    std::string text = "第" + FormatInteger(i) + "个三角形 (";
    for (int k = 0; k < 3; ++k) {
        if (k > 0) text += ", ";
        text += "S" + FormatInteger(2 * i - 1 + k) + "=" + sides[static_cast<std::size_t>(k)];
    }
    return text + ")";
}

// The same with the sides as observed.
std::string TriangleWhere(const ChainFault& f)
{
    std::array<std::string, 3> sides;
    for (std::size_t k = 0; k < 3; ++k) sides[k] = ShortestDecimal(f.sides[k]);
    return TriangleWhere(f.triangle, sides);
}

// What is wrong with a triangle, after the words that name it.
std::string TriangleFaultWords(const ChainFault& f)
{
    switch (f.kind) {
    case ChainFaultKind::ZeroSide: return " 有一条边长为零";
    case ChainFaultKind::SidesOutOfRange: return " 的边长超出数值范围";
    case ChainFaultKind::NotATriangle:
        return f.adjustedSides ? " 平差改正后的三条边不能构成三角形" : " 的三条边不能构成三角形";
    case ChainFaultKind::FlatTriangle: return " 的三点共线，三角形高为零";
    default: break;
    }
    return " 不能计算";
}

}  // namespace

std::string TriangleEntryText(const ChainFault& fault, const std::array<std::string, 3>& sides)
{
    return TriangleWhere(fault.triangle, sides) + TriangleFaultWords(fault);
}

std::string TriangleReentryText(const std::string& refused, int i, bool closingSideKnown)
{
    const std::string shared = "S" + FormatInteger(2 * i - 1), cross = "S" + FormatInteger(2 * i),
                      next = "S" + FormatInteger(2 * i + 1);
    std::string text = refused + "。请重新输入 ";
    text += closingSideKnown ? cross + "（" + next + " 即 C-D 由座标算得）" : cross + " 和 " + next;
    if (i == 1) return text + "；如果是 A、B 点座标输错了，请按“取消”后重新计算";
    return text + "；如果是 " + shared + " 输错了，请按“取消”结束本次计算：已确认的值可以保存为观测文件，在编辑器中改正后再打开";
}

RunFault DescribeChainFault(const ChainFault& f)
{
    switch (f.kind) {
    case ChainFaultKind::ZeroSide: return {FaultKind::DivisionByZero, TriangleWhere(f) + TriangleFaultWords(f)};
    case ChainFaultKind::SidesOutOfRange: return {FaultKind::Overflow, TriangleWhere(f) + TriangleFaultWords(f)};
    case ChainFaultKind::NotATriangle: return {FaultKind::InvalidArgument, TriangleWhere(f) + TriangleFaultWords(f)};
    case ChainFaultKind::FlatTriangle: return {FaultKind::DivisionByZero, TriangleWhere(f) + TriangleFaultWords(f)};
    case ChainFaultKind::ZeroPivot:
        return {FaultKind::DivisionByZero,
                "法方程第" + FormatInteger(f.row) + "行主元为零，条件方程线性相关，无法求解"};
    case ChainFaultKind::NotFinite: return {FaultKind::Overflow, OutOfRangeText(QuantityName(f.quantity))};
    case ChainFaultKind::NegativeReciprocal:
        return {FaultKind::InvalidArgument, std::string(QuantityName(f.quantity)) + " 为负数，法方程病态，无法评定精度"};
    case ChainFaultKind::ClosureMissed:
        return {FaultKind::InvalidArgument,
                "平差后推算的 C 点与已知 C 点仍相差 " + FormatFixed(f.miss * 1000, 1) +
                    " 毫米：闭合差对这样的图形太大，平差不能消除（最扁的是第" + FormatInteger(f.triangle) +
                    "个三角形，高 " + FormatFixed(f.height, 3) + " 米），平差结果不可靠，请检查观测边长"};
    case ChainFaultKind::SignMistyped: return {FaultKind::InvalidArgument, "闭合差远远超出测边中误差所容许的范围"};
    case ChainFaultKind::NotConverged:
        return {FaultKind::InvalidArgument,
                "平差迭代 " + FormatInteger(f.iterations) + " 次仍不收敛，边长改正数最后一次仍变化 " +
                    FormatFixed(f.change * 1000, 3) + " 毫米：闭合差对这样的图形太大（最扁的是第" +
                    FormatInteger(f.triangle) + "个三角形，高 " + FormatFixed(f.height, 3) +
                    " 米），平差结果不可靠，请检查观测边长"};
    }
    return {FaultKind::InvalidArgument, "计算中止"};
}

namespace {

// "wb = 0.4 秒、wx = 1.2 毫米、wy = -0.8 毫米"; without an azimuth condition
// the coordinates only.
std::string MisclosureWords(const std::array<double, 4>& w, int conditions)
{
    std::string text;
    if (conditions == 3) text = "wb = " + FormatFixed(w[1], 1) + " 秒、";
    return text + "wx = " + FormatFixed(w[2] * 1000, 1) + " 毫米、wy = " + FormatFixed(w[3] * 1000, 1) + " 毫米";
}

// "S6 的左右" or "定向角的正负号"
std::string CandidateName(const SignCandidate& c)
{
    return c.side == 0 ? std::string("定向角的正负号") : "S" + FormatInteger(c.side) + " 的左右";
}

// "改为右侧后，闭合差为 ..."
std::string CandidateMending(const SignCandidate& c, int conditions)
{
    const char* to = c.side == 0 ? (c.typedSign > 0 ? "改为负值" : "改为正值") : (c.typedSign > 0 ? "改为右侧" : "改为左侧");
    return std::string(to) + "后，闭合差为 " + MisclosureWords(c.w, conditions);
}

std::string ShortName(const SignCandidate& c) { return c.side == 0 ? std::string("定向角") : "S" + FormatInteger(c.side); }

}  // namespace

std::string SignDiagnosisText(const SignDiagnosis& d)
{
    switch (d.verdict) {
    case SignVerdict::OneSign: return CandidateName(d.best[0]) + "可能输错了：" + CandidateMending(d.best[0], d.conditions);
    case SignVerdict::TwoSigns: {
        const SignCandidate& a = d.best[0];
        const SignCandidate& b = d.best[1];
        return ShortName(a) + " 或 " + ShortName(b) + " 的" + (a.side == 0 || b.side == 0 ? "符号" : "左右") +
               "可能输错了：" + ShortName(a) + " " + CandidateMending(a, d.conditions) + "；" + ShortName(b) + " " +
               CandidateMending(b, d.conditions);
    }
    case SignVerdict::NoSingleSign: break;
    }
    return std::string("改正任何一条边的左右") + (d.orientationTried ? "或定向角的正负号" : "") +
           "都不能使闭合差合限：不是某一个符号输错了";
}

RunFault DescribeChainFailure(const ChainFault& fault, const std::optional<SignDiagnosis>& diagnosis)
{
    if (!diagnosis) return DescribeChainFault(fault);
    const SignDiagnosis& d = *diagnosis;
    const std::string misclosures = "闭合差 " + MisclosureWords(d.w, d.conditions) + " 远远超出测边中误差所容许的范围";
    if (d.verdict == SignVerdict::NoSingleSign) {
        RunFault described = DescribeChainFault(fault);
        described.message += "；" + misclosures + "，" + SignDiagnosisText(d);
        return described;
    }
    // the orientation angle alone: the misclosure appears at C
    const bool atC = d.verdict == SignVerdict::OneSign && d.best[0].side == 0;
    const std::string where = atC ? "，出现在终点 C 的方位角上：" : "，从第" + FormatInteger(d.firstTriangle) + "个三角形开始出现：";
    return {FaultKind::InvalidArgument, misclosures + where + SignDiagnosisText(d)};
}
