#include "files/RecordLines.h"

#include <algorithm>
#include <string>

#include "files/FileText.h"
#include "files/ObservationFile.h"
#include "files/ReductionKeys.h"
#include "rules/GradeTexts.h"
#include "rules/PrecisionLines.h"

namespace {

// Every digit, at least one, at most nine.
std::optional<int> Digits(std::string_view text)
{
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The key of a label the writer gives a value; a name of C or of the point
// after C is told by K (index -1 and -2 until K is known).
std::optional<ValueKey> KeyOfLabel(std::string_view label)
{
    static const char* const coordinates[] = {"Xa", "Ya", "Xb", "Yb", "Xc", "Yc", "Xd", "Yd"};
    if (label == "N") return ValueKey{ValueKind::TriangleCount, 0};
    for (int i = 0; i < 8; ++i)
        if (label == coordinates[i]) return ValueKey{ValueKind::Coordinate, i};
    if (label == "Tb") return ValueKey{ValueKind::ExternalAzimuth, 0};
    if (label == "Qb") return ValueKey{ValueKind::OrientationAngle, 0};
    if (label.size() > 1 && label[0] == 'S')
        if (std::optional<int> n = Digits(label.substr(1)); n && *n >= 2) return ValueKey{ValueKind::Side, *n};
    const std::string_view name = "点名 ";
    if (label.substr(0, name.size()) == name) {
        std::string_view rest = label.substr(name.size());
        if (rest == "B") return ValueKey{ValueKind::PointName, 0};
        if (rest == "C") return ValueKey{ValueKind::PointName, -1};
        if (rest == "C后") return ValueKey{ValueKind::PointName, -2};
        if (std::optional<int> i = Digits(rest); i && *i >= 1) return ValueKey{ValueKind::PointName, *i};
    }
    return std::nullopt;
}

// "S5 中误差" -> 5; 0 for any other label.
int SideSigmaSide(std::string_view label)
{
    const std::string_view tail = " 中误差";
    if (label.size() <= tail.size() + 1 || label[0] != 'S' || label.substr(label.size() - tail.size()) != tail) return 0;
    std::optional<int> k = Digits(label.substr(1, label.size() - tail.size() - 1));
    return k && *k >= 2 ? *k : 0;
}

// The label as the reduction's keys are told (files/ReductionKeys.h): no
// blanks, ASCII letters in lower case.
std::string ReductionKeyOf(std::string_view label)
{
    std::string key;
    for (char c : label)
        if (c != ' ' && c != '\t') key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return key;
}

}  // namespace

std::optional<ObservationRecord> ReadValuesAsWritten(std::string_view bytes)
{
    ObservationRecord record;
    std::string* last = nullptr;  // the value a "+ =" line continues
    int K = -1;
    bool first = true;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            first = false;
            if (line.substr(0, std::string_view(kObservationFileFormat).size()) != kObservationFileFormat)
                return std::nullopt;
            continue;
        }
        line = TrimBlanks(line.substr(0, std::min(CommentStart(line), line.size())));
        if (line.empty()) continue;
        if (line == "未完成") break;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view label = TrimBlanks(line.substr(0, equals));
        std::string error;
        std::optional<std::string> value = UnescapeValue(TrimBlanks(line.substr(equals + 1)), &error);
        if (!value) return std::nullopt;
        if (label == "+") {
            if (!last) return std::nullopt;
            *last += *value;
            continue;
        }
        if (label == "工程名称") {
            record.project = std::move(*value);
            last = &record.project;
        } else if (label == "备注") {
            record.notes.push_back(std::move(*value));
            last = &record.notes.back();
        } else if (label == kSigma0Key) {
            record.sigma0Mm = std::move(*value);
            last = &record.sigma0Mm;
        } else if (label == kEdmAKey || label == kEdmBKey || label == kOrientationSigmaKey || label == kGradeKey) {
            std::string& field = label == kEdmAKey              ? record.edmAMm
                                 : label == kEdmBKey            ? record.edmBPpm
                                 : label == kOrientationSigmaKey ? record.orientationSigmaSec
                                                                 : record.grade;
            field = std::move(*value);
            last = &field;
        } else if (const int k = SideSigmaSide(label)) {
            last = &(record.sideSigmaMm[k] = std::move(*value));
        } else if (const std::string reductionKey = ReductionKeyOf(label); IsReductionKey(reductionKey)) {
            // the reduction's keys come from a file read before: a value its
            // rules refuse here is left out, the run names what it misses
            (void)TakeReductionValue(record.reduction, reductionKey, *value);
            last = nullptr;
        } else {
            std::optional<ValueKey> key = KeyOfLabel(label);
            if (!key) return std::nullopt;
            if (key->kind == ValueKind::PointName && key->index < 0) {
                if (K < 0) K = RecordUnknownPointCount(record);
                if (K < 0) return std::nullopt;
                key->index = key->index == -1 ? K + 1 : K + 2;
            }
            record.values.push_back({*key, std::move(*value)});
            last = &record.values.back().text;
        }
    }
    if (first) return std::nullopt;
    record.complete = false;
    return record;
}
