#include "state/ValueLog.h"

#include <algorithm>

void ValueLog::Prefill(const ObservationRecord& values)
{
    prefilled_ = &values.values;
    used_.assign(prefilled_->size(), false);
    firstUnused_ = 0;
    prefilledComplete_ = values.complete;
    record_.project = values.project;
    record_.notes = values.notes;
    record_.sigma0Mm = values.sigma0Mm;
    record_.edmAMm = values.edmAMm;
    record_.edmBPpm = values.edmBPpm;
    record_.orientationSigmaSec = values.orientationSigmaSec;
    record_.sideSigmaMm = values.sideSigmaMm;
    record_.reduction = values.reduction;
    record_.grade = values.grade;
}

std::optional<std::string> ValueLog::TakePrefilled(ValueKey key)
{
    if (!prefilled_) return std::nullopt;
    const std::vector<TypedValue>& values = *prefilled_;
    for (std::size_t i = firstUnused_; i < values.size(); ++i) {
        if (used_[i] || !(values[i].key == key)) continue;
        used_[i] = true;
        while (firstUnused_ < used_.size() && used_[firstUnused_]) ++firstUnused_;
        return values[i].text;
    }
    return std::nullopt;
}

void ValueLog::Confirm(ValueKey key, const std::string& text)
{
    record_.values.push_back({key, text});
    if (onConfirm) onConfirm(record_);
}

void ValueLog::Forget(ValueKey key)
{
    std::vector<TypedValue>& values = record_.values;
    values.erase(std::remove_if(values.begin(), values.end(), [&key](const TypedValue& v) { return v.key == key; }),
                 values.end());
    if (onConfirm) onConfirm(record_);  // the journal drops it too, before the next box
}
