#include "dialogue/ValueLog.h"

#include <algorithm>

void ValueLog::Prefill(const ObservationRecord& values)
{
    prefilled_ = values.values;
    used_.assign(prefilled_.size(), false);
    prefilledComplete_ = values.complete;
    record_.project = values.project;
    record_.notes = values.notes;
}

std::optional<std::string> ValueLog::TakePrefilled(ValueKey key)
{
    for (std::size_t i = 0; i < prefilled_.size(); ++i) {
        if (used_[i] || !(prefilled_[i].key == key)) continue;
        used_[i] = true;
        return prefilled_[i].text;
    }
    return std::nullopt;
}

void ValueLog::Confirm(ValueKey key, const std::string& text)
{
    std::vector<TypedValue>& values = record_.values;
    auto same = [&key](const TypedValue& v) { return v.key == key; };
    auto it = std::find_if(values.begin(), values.end(), same);
    if (it != values.end()) {
        it->text = text;
    } else {
        values.push_back({key, text});
    }
    if (onConfirm) onConfirm(record_);
}

void ValueLog::Forget(ValueKey key)
{
    std::vector<TypedValue>& values = record_.values;
    values.erase(std::remove_if(values.begin(), values.end(), [&key](const TypedValue& v) { return v.key == key; }),
                 values.end());
}
