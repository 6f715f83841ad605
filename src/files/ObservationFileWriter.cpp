#include <string>

#include "files/DialogueSequence.h"
#include "files/FileText.h"
#include "text/Utf8.h"
#include "files/ObservationFile.h"
#include "files/RecordKeys.h"
#include "files/ReductionKeys.h"
#include "rules/GradeTexts.h"
#include "rules/PrecisionLines.h"

namespace {

// Raw bytes per line of a long value: escaped (at most four bytes each) and
// with the longest key it stays below kMaxLineBytes.
constexpr std::size_t kChunkBytes = 1000;

void AppendValueLines(std::string& out, const std::string& label, std::string_view value)
{
    std::string_view key = label;
    do {
        std::size_t length = 0;
        while (length < value.size()) {
            std::size_t c = Utf8CharLength(value, length);
            if (c == 0) c = 1;
            if (length + c > kChunkBytes) break;
            length += c;
        }
        std::string escaped = EscapeValue(value.substr(0, length));
        value.remove_prefix(length);
        out.append(key);
        out += escaped.empty() ? " =" : " = ";
        out += escaped;
        out += '\n';
        key = "+";
    } while (!value.empty());
}

const char* GroupComment(ValueKind kind)
{
    switch (kind) {
    case ValueKind::TriangleCount: return "# 三角形个数";
    case ValueKind::Coordinate: return "# 已知点 A、B、C、D 的纵座标 X、横座标 Y [m]（没有 D 点时 Xd、Yd 都为零）";
    case ValueKind::ExternalAzimuth: return "# C 点的外方位角 Tb 与定向角 Qb（度.分秒）";
    case ValueKind::OrientationAngle: return nullptr;
    case ValueKind::Side: return "# 边长 [m]；偶数边为负值时该边位于方位角推算路线的右侧";
    case ValueKind::PointName: return "# 点名：B，待定点 1 到 K，C，C 后续的待定点";
    }
    return nullptr;
}

// The unknown-point count the record's own values give, or -1.
int UnknownPointsOf(const ObservationRecord& record)
{
    DialogueSequence sequence;
    for (const TypedValue& v : record.values) {
        if (!sequence.Next() || !(*sequence.Next() == v.key) || sequence.Take(v.text)) break;
        if (v.key.kind == ValueKind::PointName) break;
    }
    return sequence.UnknownPointCount();
}

}  // namespace

std::string WriteObservationHeader(const ObservationRecord& record)
{
    std::string out = std::string(kObservationFileFormat) + " " + std::to_string(kObservationFileVersion) + "\n";
    out += "# trilat 三边测量三角锁的观测值。每行一个值：键 = 值；以 # 开始的是注释。\n";
    out += "# 值按输入的原样保存。转义：\\\\ 反斜杠，\\# 井号，\\s 空格，\\t \\n \\r，\\xHH 一个字节。\n";
    if (!record.project.empty()) AppendValueLines(out, "工程名称", record.project);
    for (const std::string& note : record.notes) AppendValueLines(out, "备注", note);
    if (!record.grade.empty()) AppendValueLines(out, kGradeKey, record.grade);
    if (!record.sigma0Mm.empty()) AppendValueLines(out, kSigma0Key, record.sigma0Mm);
    if (HasWeightLines(record)) out += "# 测距仪标称精度 ±(a + b·D)：D 千米的边中误差为 a + b·D 毫米；定向角中误差以秒计\n";
    if (!record.edmAMm.empty()) AppendValueLines(out, kEdmAKey, record.edmAMm);
    if (!record.edmBPpm.empty()) AppendValueLines(out, kEdmBKey, record.edmBPpm);
    if (!record.orientationSigmaSec.empty()) AppendValueLines(out, kOrientationSigmaKey, record.orientationSigmaSec);
    for (const auto& [k, text] : record.sideSigmaMm) AppendValueLines(out, SideSigmaKey(k), text);
    const auto reduction = ReductionEntries(record.reduction);
    if (!reduction.empty()) out += "# 边长归算到高斯平面（docs/reduction.md）\n";
    for (const auto& [label, text] : reduction) AppendValueLines(out, label, text);
    return out;
}

int RecordUnknownPointCount(const ObservationRecord& record) { return UnknownPointsOf(record); }

std::string WriteValueLines(const ObservationRecord& record, std::size_t from, int K)
{
    std::string out;
    const std::vector<TypedValue>& values = record.values;
    for (std::size_t i = from; i < values.size(); ++i) {
        const TypedValue& v = values[i];
        if (i == 0 || values[i - 1].key.kind != v.key.kind) {
            if (const char* comment = GroupComment(v.key.kind)) {
                out += comment;
                out += '\n';
            }
        }
        AppendValueLines(out, KeyLabel(v.key, K), v.text);
    }
    return out;
}

std::string WriteObservationFile(const ObservationRecord& record)
{
    std::string out = WriteObservationHeader(record);
    out += WriteValueLines(record, 0, UnknownPointsOf(record));
    if (!record.complete) out += "# 运行没有完成，以下的值尚未输入\n未完成\n";
    return out;
}
