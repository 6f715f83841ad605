#pragma once
// One adjustment of an observation file without a window: the real dialogue
// takes the file's values without prompts, the same core adjusts them.
#include <optional>
#include <string>

#include "state/ChainListing.h"
#include "files/JsonSummary.h"
#include "state/ObservationRecord.h"
#include "run/AdjustmentRun.h"

struct BatchRun {
    ProgramState state;
    RunOutcome outcome;
    std::string missing;  // an incomplete record: the label of the first value it lacks
    ChainListing listing; // a completed run's points and sides

    bool Completed() const { return outcome.kind == RunOutcome::Completed; }
    // The figures the summary and the JSON document print.
    BatchFigures Figures() const;
};

// sigma0Mm: the a-priori standard error of a side [mm] that overrides the
// record's; with either, the normalised corrections and the global test.
BatchRun RunRecord(const ObservationRecord& record, std::optional<double> sigma0Mm = std::nullopt);
