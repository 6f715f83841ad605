#pragma once
// The typed values of one run: each recorded as it is confirmed, in dialogue
// order; and, for a run from an observation file, the file's values, each
// taken once in place of its prompt.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "state/ObservationRecord.h"

class ValueLog {
public:
    // The values this run has confirmed so far.
    const ObservationRecord& Record() const { return record_; }
    ObservationRecord& Record() { return record_; }

    // Values to take without asking, kept by the caller while the run lasts.
    // Each is taken once: a value asked again (after a refusal) is asked at
    // its prompt.
    void Prefill(const ObservationRecord& values);
    std::optional<std::string> TakePrefilled(ValueKey key);
    // Every value came from the file: nothing was asked.
    bool AllPrefilled() const { return prefilledComplete_ && asked_ == 0; }
    void NoteAsked() { ++asked_; }

    // Records a confirmed value. A value is confirmed once; one asked again
    // after a refusal was forgotten first.
    void Confirm(ValueKey key, const std::string& text);
    // Drops values refused together after their confirmation (A = B, ...).
    void Forget(ValueKey key);

    // Called after every confirmed value and every value dropped (the journal).
    std::function<void(const ObservationRecord&)> onConfirm;

private:
    ObservationRecord record_;
    const std::vector<TypedValue>* prefilled_ = nullptr;  // the caller keeps them for the run
    std::vector<bool> used_;
    std::size_t firstUnused_ = 0;  // the file's values come in dialogue order
    bool prefilledComplete_ = false;
    int asked_ = 0;
};
