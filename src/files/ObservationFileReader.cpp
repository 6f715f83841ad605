// Reads an observation file line by line, each value checked as the dialogue
// checks it when it is typed, in the order the dialogue asks it. The result is
// a complete (or declared incomplete) record, or the first fault found.
#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "files/DialogueSequence.h"
#include "files/FileText.h"
#include "files/ReductionKeys.h"
#include "text/Utf8.h"
#include "files/ObservationFile.h"
#include "text/NumberReading.h"
#include "rules/GradeTexts.h"
#include "rules/PrecisionLines.h"

namespace {

const std::string kIncompleteMarker = "未完成";
const std::string kProjectKey = "工程名称";
const std::string kNoteKey = "备注";

// A key as found in a file, ordered as the dialogue asks: within one kind by
// index; names B, 1..K, C, the point after C.
struct FoundKey {
    ValueKind kind;
    long index;  // coordinate 0..7, side number, name: 0 B, i, C and after C at the end
    static constexpr long kNameC = LONG_MAX - 1, kNameAfterC = LONG_MAX;

    std::string Label() const
    {
        static const char* const coordinates[] = {"Xa", "Ya", "Xb", "Yb", "Xc", "Yc", "Xd", "Yd"};
        switch (kind) {
        case ValueKind::TriangleCount: return "N";
        case ValueKind::Coordinate: return coordinates[index];
        case ValueKind::ExternalAzimuth: return "Tb";
        case ValueKind::OrientationAngle: return "Qb";
        case ValueKind::Side: return "S" + std::to_string(index);
        case ValueKind::PointName:
            if (index == 0) return "点名 B";
            if (index == kNameC) return "点名 C";
            if (index == kNameAfterC) return "点名 C后";
            if (index < 0) return "点名 0";
            return "点名 " + std::to_string(index);
        }
        return "";
    }
    bool Before(const FoundKey& other) const
    {
        return kind != other.kind ? static_cast<int>(kind) < static_cast<int>(other.kind) : index < other.index;
    }
    bool operator==(const FoundKey&) const = default;
};

FoundKey FromValueKey(ValueKey key, int K)
{
    if (key.kind == ValueKind::PointName && key.index > 0) {
        if (key.index == K + 1) return {key.kind, FoundKey::kNameC};
        if (key.index == K + 2) return {key.kind, FoundKey::kNameAfterC};
    }
    return {key.kind, key.index};
}

// The key without blanks (ASCII and ideographic), ASCII letters in lower case.
std::string NormaliseKey(std::string_view key)
{
    std::string out;
    out.reserve(key.size());
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = key[i];
        if (c == ' ' || c == '\t') continue;
        if (c == '\xE3' && key.substr(i, 3) == "\xE3\x80\x80") {
            i += 2;
            continue;
        }
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

// A number of at most nine digits (more reads as LONG_MAX: out of any range).
std::optional<long> ReadIndex(std::string_view digits)
{
    if (digits.empty()) return std::nullopt;
    long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value > 99999999 ? LONG_MAX / 2 : value * 10 + (c - '0');
    }
    return value;
}

// Dispatched on the key's first byte: nearly every line holds a side, and
// the side keys are tried without first comparing the other value keys.
std::optional<FoundKey> ReadValueKey(const std::string& key)
{
    if (key.empty()) return std::nullopt;
    switch (key[0]) {
    case 'n':
        if (key.size() == 1) return FoundKey{ValueKind::TriangleCount, 0};
        return std::nullopt;
    case 'x':
    case 'y':  // xa ya xb yb xc yc xd yd: 0..7
        if (key.size() == 2 && key[1] >= 'a' && key[1] <= 'd')
            return FoundKey{ValueKind::Coordinate, 2 * (key[1] - 'a') + (key[0] == 'y' ? 1 : 0)};
        return std::nullopt;
    case 't':
        if (key == "tb") return FoundKey{ValueKind::ExternalAzimuth, 0};
        return std::nullopt;
    case 'q':
        if (key == "qb") return FoundKey{ValueKind::OrientationAngle, 0};
        return std::nullopt;
    case 's':
        if (key.size() > 1)
            if (std::optional<long> n = ReadIndex(std::string_view(key).substr(1))) return FoundKey{ValueKind::Side, *n};
        return std::nullopt;
    default: break;
    }
    constexpr std::string_view name = "点名";
    if (std::string_view(key).substr(0, name.size()) == name) {
        std::string_view rest = std::string_view(key).substr(name.size());
        if (rest == "b") return FoundKey{ValueKind::PointName, 0};
        if (rest == "c") return FoundKey{ValueKind::PointName, FoundKey::kNameC};
        if (rest == "c后") return FoundKey{ValueKind::PointName, FoundKey::kNameAfterC};
        if (std::optional<long> i = ReadIndex(rest)) return FoundKey{ValueKind::PointName, *i == 0 ? -1 : *i};
    }
    return std::nullopt;
}

std::string Quoted(std::string_view s) { return "「" + std::string(s) + "」"; }

// A precision line's key as found (rules/PrecisionLines.h): its label and,
// for S<k> 中误差, the side.
struct PrecisionKey {
    std::string label;
    int side = 0;  // S<k> 中误差: k; else 0
};

std::optional<PrecisionKey> ReadPrecisionKey(const std::string& key)
{
    for (const char* label : {kSigma0Key, kEdmAKey, kEdmBKey, kOrientationSigmaKey})
        if (key == label) return PrecisionKey{label, 0};
    const std::string suffix = "中误差";
    if (key.size() > suffix.size() + 1 && key[0] == 's' && key.compare(key.size() - suffix.size(), suffix.size(), suffix) == 0)
        if (std::optional<long> k = ReadIndex(std::string_view(key).substr(1, key.size() - 1 - suffix.size()))) {
            const int side = static_cast<int>(std::min<long>(*k, 999999999));
            return PrecisionKey{SideSigmaKey(side), side};
        }
    return std::nullopt;
}

// At most about 30 characters of a line, for a message.
std::string Excerpt(std::string_view line)
{
    std::size_t at = 0;
    for (int chars = 0; at < line.size() && chars < 30; ++chars) {
        std::size_t c = Utf8CharLength(line, at);
        at += c == 0 ? 1 : c;
    }
    return std::string(line.substr(0, at)) + (at < line.size() ? "…" : "");
}

struct Fault {
    FileError error;
};

class FileReader {
public:
    ChainFile Read(std::string_view bytes);

private:
    DialogueSequence sequence_;
    ObservationRecord record_;
    std::vector<std::pair<FoundKey, int>> seenAt_;  // every value key with its line, in the file's order
    std::map<std::string, int> reductionAt_;  // label of a reduction key -> its line
    int projectLine_ = 0, markerLine_ = 0, gradeLine_ = 0;
    std::map<std::string, int> precisionLines_;  // label of a precision line -> its line
    std::string* pending_ = nullptr;  // the value a "+ =" line continues
    bool pendingIsValue_ = false;
    int pendingLine_ = 0;

    [[noreturn]] static void Fail(int line, std::string message) { throw Fault{{line, std::move(message)}}; }
    static void CheckLineText(std::string_view line, int number);
    static void CheckHeader(std::string_view line);
    void ReadLine(std::string_view line, int number);
    void ReadPrecisionLine(const PrecisionKey& key, std::string value, int number);
    void TakePending();
    void CheckPlace(const FoundKey& found, int number);
    void TakeReduction(const std::string& key, const std::string& value, int number);
    int LineOf(const std::string& label) const;
    std::string SideRange() const;
};

void FileReader::CheckLineText(std::string_view line, int number)
{
    if (line.size() > kMaxLineBytes)
        Fail(number, "这一行太长（" + std::to_string(line.size()) + " 字节；一行最多 " +
                         std::to_string(kMaxLineBytes) + " 字节，长的值可以在下一行用「+ =」接着写）");
    for (std::size_t i = 0; i < line.size();) {
        const auto b = static_cast<unsigned char>(line[i]);
        if (b >= 0x80) {
            std::size_t length = Utf8CharLength(line, i);
            if (length == 0)
                Fail(number, "第 " + std::to_string(i + 1) +
                                 " 个字节起不是有效的 UTF-8 文字：观测文件须以 UTF-8 编码保存，不是 UTF-8 的字节写作 \\xHH");
            i += length;
            continue;
        }
        if ((b < 0x20 && b != '\t') || b == 0x7F) {
            const char hex[] = "0123456789ABCDEF";
            std::string code = {hex[b >> 4], hex[b & 0xF]};
            Fail(number, "第 " + std::to_string(i + 1) + " 个字节是控制字符 0x" + code + "：控制字符写作 \\x" + code);
        }
        ++i;
    }
}

void FileReader::CheckHeader(std::string_view line)
{
    const std::string format = kObservationFileFormat;
    const std::string expected = format + " " + std::to_string(kObservationFileVersion);
    std::string_view header = TrimBlanks(line.substr(0, std::min(CommentStart(line), line.size())));
    if (header.rfind(format, 0) != 0 || (header.size() > format.size() && header[format.size()] != ' ' &&
                                         header[format.size()] != '\t'))
        Fail(1, "不是 trilat 观测文件：观测文件的第一行是" + Quoted(expected));
    std::string_view version = TrimBlanks(header.substr(format.size()));
    if (version.empty()) Fail(1, "第一行没有写版本：应是" + Quoted(expected));
    if (version != std::to_string(kObservationFileVersion)) {
        CheckLineText(line, 1);
        Fail(1, "观测文件的版本" + Quoted(version) + "不认识：本程序读版本 " +
                    std::to_string(kObservationFileVersion));
    }
}

std::string FileReader::SideRange() const
{
    const int N = sequence_.TriangleCount();
    std::string range = "S2 到 S" + std::to_string(sequence_.LastSide());
    if (!sequence_.PointDKnown()) return "N = " + std::to_string(N) + " 时边最多为 " + range;
    if (sequence_.PointDGiven())
        return "N = " + std::to_string(N) + "，有 D 点，边为 " + range + "（S1 即 A-B、S" + std::to_string(2 * N + 1) +
               " 即 C-D 由座标算得）";
    return "N = " + std::to_string(N) + "，没有 D 点，边为 " + range + "（S1 即 A-B 由座标算得）";
}

// The found key must be the one the dialogue asks next; else says what is
// out of place.
void FileReader::CheckPlace(const FoundKey& found, int number)
{
    const std::optional<ValueKey>& next = sequence_.Next();
    const int K = sequence_.UnknownPointCount();
    if (next && FromValueKey(*next, K) == found) return;  // the dialogue's next value: never given before

    const std::string label = found.Label();
    for (const auto& [key, line] : seenAt_)
        if (key == found) Fail(number, Quoted(label) + "已在第 " + std::to_string(line) + " 行给出，每个值只能给一次");
    const int N = sequence_.TriangleCount();

    // keys this chain cannot hold, as far as it is known
    if (found.kind == ValueKind::Side && N > 0 && (found.index < 2 || found.index > sequence_.LastSide()))
        Fail(number, "边号超出范围：" + Quoted(label) + "；" + SideRange());
    if ((found.kind == ValueKind::ExternalAzimuth || found.kind == ValueKind::OrientationAngle) &&
        sequence_.PointDKnown() && sequence_.PointDGiven())
        Fail(number, "有 D 点时不输入外方位角 Tb 和定向角 Qb：" + Quoted(label));
    if (found.kind == ValueKind::PointName && found.index != 0 && found.index < FoundKey::kNameC) {
        if (found.index < 0 || (K >= 0 && found.index > K) || (N > 0 && found.index >= N))
            Fail(number, "点名超出范围：" + Quoted(label) + "；" +
                             (K > 0    ? "这条三角锁的待定点为 1 到 " + std::to_string(K)
                              : K == 0 ? std::string("这条三角锁没有待定点")
                                       : "N = " + std::to_string(N) + " 时待定点最多为 1 到 " + std::to_string(N - 1)));
    }
    if (found.kind == ValueKind::PointName && found.index == FoundKey::kNameAfterC && K >= 0 &&
        !(next && next->index == K + 2))
        Fail(number, "这条三角锁在 C 之后没有待定点：" + Quoted(label) +
                         "只在有 D 点、且 S" + std::to_string(2 * N) + " 与 S" + std::to_string(2 * N - 2) +
                         " 同号时输入");

    if (!next) Fail(number, "多余的值" + Quoted(label) + "：这条三角锁的值已经齐全");
    const std::string expected = sequence_.Label(*next);
    if (FromValueKey(*next, K).Before(found)) {
        std::string message = "缺少" + Quoted(expected) + "：这里应是" + Quoted(expected) + "，却是" + Quoted(label);
        if (next->kind == ValueKind::Side) message += "；" + SideRange();
        Fail(number, message);
    }
    Fail(number, Quoted(label) + "的位置不对：这里应是" + Quoted(expected) +
                     "；值须按输入的顺序排列（N，A、B、C、D 的座标，Tb、Qb，边长，点名）");
}

void FileReader::TakePending()
{
    if (pending_ && pendingIsValue_) {
        if (Refusal refused = sequence_.Take(*pending_)) {
            const TypedValue& value = record_.values.back();
            throw Fault{{pendingLine_, Quoted(Excerpt(value.text)) + "：" + *refused, sequence_.Label(value.key)}};
        }
    }
    pending_ = nullptr;
}

void FileReader::ReadLine(std::string_view raw, int number)
{
    CheckLineText(raw, number);
    std::string_view line = raw.substr(0, std::min(CommentStart(raw), raw.size()));
    line = TrimBlanks(line);
    if (line.empty()) return;
    if (markerLine_ != 0)
        Fail(number, Quoted(kIncompleteMarker) + "（第 " + std::to_string(markerLine_) +
                         " 行）之后不能再有值：它标出运行中断之处，是文件的最后一个值");
    if (line == kIncompleteMarker) {
        TakePending();
        markerLine_ = number;
        return;
    }

    std::size_t equals = line.find('=');
    std::size_t fullWidth = line.find("\xEF\xBC\x9D");  // ＝, as a Chinese input method types it
    std::size_t separator = std::min(equals, fullWidth);
    if (separator == std::string_view::npos)
        Fail(number, Quoted(Excerpt(line)) + "不是「键 = 值」的形式");
    std::string key = NormaliseKey(line.substr(0, separator));
    std::string_view escaped = TrimBlanks(line.substr(separator + (separator == equals ? 1 : 3)));
    std::string error;
    std::optional<std::string> value = UnescapeValue(escaped, &error);
    if (!value) Fail(number, error);

    if (key == "+") {
        if (!pending_) Fail(number, "「+ =」接着写上一个值，但它前面没有值");
        *pending_ += *value;
        return;
    }
    TakePending();
    // the value keys first: nearly every line of a file holds one
    std::optional<FoundKey> found = ReadValueKey(key);
    if (!found && key == kProjectKey) {
        if (projectLine_ != 0)
            Fail(number, Quoted(kProjectKey) + "已在第 " + std::to_string(projectLine_) + " 行给出，只能给一次");
        projectLine_ = number;
        record_.project = std::move(*value);
        pending_ = &record_.project;
        pendingIsValue_ = false;
        return;
    }
    if (std::optional<PrecisionKey> precision = found ? std::nullopt : ReadPrecisionKey(key)) {
        ReadPrecisionLine(*precision, std::move(*value), number);
        return;
    }
    if (!found && key == kGradeKey) {
        if (gradeLine_ != 0)
            Fail(number, Quoted(kGradeKey) + "已在第 " + std::to_string(gradeLine_) + " 行给出，只能给一次");
        if (Refusal refused = RefuseGrade(*value))
            Fail(number, Quoted(kGradeKey) + *refused + "，却是" + Quoted(Excerpt(*value)));
        gradeLine_ = number;
        record_.grade = std::move(*value);
        return;
    }
    if (!found && key == kNoteKey) {
        record_.notes.push_back(std::move(*value));
        pending_ = &record_.notes.back();
        pendingIsValue_ = false;
        return;
    }
    if (!found && IsReductionKey(key)) return TakeReduction(key, *value, number);
    if (!found)
        Fail(number, "不认识的键" + Quoted(Excerpt(TrimBlanks(line.substr(0, separator)))) +
                         "：可用的键为 N，Xa Ya Xb Yb Xc Yc Xd Yd，Tb，Qb，S2 S3 …，点名 B，点名 1 …，点名 C，点名 C后，"
                         "工程名称，备注，等级，先验测边中误差，测距固定误差，测距比例误差，定向角中误差，S2 中误差 …，+，"
                         "边长归算的键（边长类型，椭球，中央子午线，高程 B …，见 docs/observation-file.md）");
    CheckPlace(*found, number);
    seenAt_.emplace_back(*found, number);
    record_.values.push_back({*sequence_.Next(), std::move(*value)});
    pending_ = &record_.values.back().text;
    pendingIsValue_ = true;
    pendingLine_ = number;
}

void FileReader::TakeReduction(const std::string& key, const std::string& value, int number)
{
    std::string label;
    if (std::optional<std::string> refused = TakeReductionValue(record_.reduction, key, value, &label)) {
        if (auto seen = reductionAt_.find(label); seen != reductionAt_.end())
            Fail(number, Quoted(label) + "已在第 " + std::to_string(seen->second) + " 行给出，只能给一次");
        Fail(number, *refused);
    }
    reductionAt_[label] = number;
}

int FileReader::LineOf(const std::string& label) const
{
    if (auto at = reductionAt_.find(label); at != reductionAt_.end()) return at->second;
    for (const auto& [key, line] : seenAt_)
        if (key.Label() == label) return line;
    return 0;
}

void FileReader::ReadPrecisionLine(const PrecisionKey& key, std::string value, int number)
{
    if (auto seen = precisionLines_.find(key.label); seen != precisionLines_.end())
        Fail(number, Quoted(key.label) + "已在第 " + std::to_string(seen->second) + " 行给出，只能给一次");
    double number_ = 0;
    const Refusal refused = key.label == kSigma0Key            ? RefuseSigma0(value, number_)
                            : key.label == kEdmAKey            ? RefuseEdmA(value, number_)
                            : key.label == kEdmBKey            ? RefuseEdmB(value, number_)
                            : key.label == kOrientationSigmaKey ? RefuseOrientationSigma(value, number_)
                                                               : RefuseSideSigma(value, number_);
    if (refused) Fail(number, Quoted(key.label) + *refused + "，却是" + Quoted(Excerpt(value)));
    precisionLines_[key.label] = number;
    std::string& field = key.label == kSigma0Key            ? record_.sigma0Mm
                         : key.label == kEdmAKey            ? record_.edmAMm
                         : key.label == kEdmBKey            ? record_.edmBPpm
                         : key.label == kOrientationSigmaKey ? record_.orientationSigmaSec
                                                            : record_.sideSigmaMm[key.side];
    field = std::move(value);
}

ChainFile FileReader::Read(std::string_view bytes)
{
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        Fail(0, "文件是 UTF-16 编码：观测文件须以 UTF-8 编码保存");
    if (bytes.find('\0') != std::string_view::npos)
        Fail(0, "这不是文本文件（含有零字节）：观测文件是 UTF-8 文本");
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // the byte order mark some editors write
    if (bytes.empty()) Fail(0, "文件是空的：观测文件的第一行是「trilat-observations 1」");

    int number = 0;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // Windows line ends
        if (++number == 1) {
            CheckHeader(line);
            continue;
        }
        ReadLine(line, number);
    }
    TakePending();
    if (markerLine_ == 0 && sequence_.Next()) {
        const std::string missing = Quoted(sequence_.Label(*sequence_.Next()));
        Fail(0, "文件在" + missing + "之前结束：缺少" + missing + "及以后的值（运行没有完成的文件以" +
                    Quoted(kIncompleteMarker) + "一行结尾）");
    }
    record_.complete = markerLine_ == 0;
    ChainFile file;
    std::optional<ChainShape> shape;
    if (record_.complete) {
        file.input = sequence_.Input();
        shape = ChainShape{file.input->observations.N, file.input->observations.closing};
    }
    if (std::optional<PrecisionRefusal> refused = RefusePrecisionLines(record_, shape))
        Fail(refused->key.empty() ? 0 : precisionLines_.at(refused->key), refused->reason);
    if (record_.complete) {
        ApplyPrecisionLines(record_, file.input->observations);
        file.input->project = record_.project;
        file.input->notes = record_.notes;
        file.input->grade = record_.grade;
        auto reduction = ReductionOf(record_.reduction, *file.input);
        if (const ReductionRefusal* refused = std::get_if<ReductionRefusal>(&reduction))
            Fail(LineOf(refused->key), refused->message);
        file.input->reduction = std::get<0>(reduction);
    } else {
        file.missing = sequence_.Next() ? sequence_.Label(*sequence_.Next()) : std::string("未完成");
    }
    file.record = std::move(record_);
    return file;
}

}  // namespace

std::variant<ChainFile, FileError> ReadChainFile(std::string_view bytes)
{
    try {
        FileReader reader;
        return reader.Read(bytes);
    } catch (Fault& fault) {
        return std::move(fault.error);
    }
}

std::variant<ObservationRecord, FileError> ReadObservationFile(std::string_view bytes)
{
    std::variant<ChainFile, FileError> read = ReadChainFile(bytes);
    if (FileError* error = std::get_if<FileError>(&read)) return std::move(*error);
    return std::move(std::get<ChainFile>(read).record);
}

std::string FormatFileError(const FileError& error)
{
    if (error.line <= 0) return error.message;
    return "第 " + std::to_string(error.line) + " 行" + (error.key.empty() ? "" : " " + error.key) + "：" + error.message;
}

ChainFile ChainOfRecord(const ObservationRecord& record)
{
    ChainFile file;
    file.record = record;
    const DialogueSequence sequence = SequenceOf(record);
    if (record.complete && !sequence.Next()) {
        file.input = sequence.Input();
        ApplyPrecisionLines(record, file.input->observations);
        file.input->project = record.project;
        file.input->notes = record.notes;
        file.input->grade = record.grade;
        auto reduction = ReductionOf(record.reduction, *file.input);
        if (const ReductionRefusal* refused = std::get_if<ReductionRefusal>(&reduction))
            file.refused = (refused->key.empty() ? "" : refused->key + "：") + refused->message;
        else
            file.input->reduction = std::get<0>(reduction);
    } else {
        file.missing = sequence.Next() ? sequence.Label(*sequence.Next()) : std::string("未完成");
    }
    return file;
}
