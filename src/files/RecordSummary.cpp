#include "files/RecordSummary.h"

#include "files/NameText.h"

namespace {

// "N = 12，first … last", the names shown as text (bytes that are not UTF-8 replaced).
std::string Summary(const std::string& count, const std::string* first, const std::string* last)
{
    std::string line = "N = " + count;
    if (first) {
        line += "，" + ValidUtf8Text(*first);
        if (last && last != first) line += " … " + ValidUtf8Text(*last);
    }
    return line;
}

}  // namespace

std::string SummaryOfRecord(const ObservationRecord& record)
{
    std::string count = "?";
    const std::string* first = nullptr;
    const std::string* last = nullptr;
    for (const TypedValue& value : record.values) {
        if (value.key.kind == ValueKind::TriangleCount) count = value.text;
        if (value.key.kind != ValueKind::PointName) continue;
        if (!first) first = &value.text;
        last = &value.text;
    }
    return Summary(count, first, last) + "，" + std::to_string(record.values.size()) + " 个值";
}

std::string SummaryOfRun(const ChainInput& input)
{
    const std::string count = std::to_string(input.observations.N);
    if (input.names.empty()) return Summary(count, nullptr, nullptr);
    return Summary(count, &input.names.front(), &input.names.back());
}
