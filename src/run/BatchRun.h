#pragma once
// One adjustment of an observation file without a window: the chain the file
// reader gathered goes straight to the core; no dialogue runs.
#include <optional>
#include <string>

#include "files/JsonSummary.h"
#include "files/ObservationFile.h"
#include "run/AdjustmentRun.h"
#include "state/CompletedRun.h"

struct BatchRun {
    RunOutcome outcome;
    std::string missing;  // an incomplete file: the label of the first value it lacks
    std::optional<CompletedRun> completed;

    bool Completed() const { return outcome.kind == RunOutcome::Completed; }
    // The figures the summary and the JSON document print.
    BatchFigures Figures() const;
};

// sigma0Mm: the a-priori standard error of a side [mm] that overrides the
// file's; with either, the normalised corrections and the global test.
BatchRun RunChainFile(const ChainFile& file, std::optional<double> sigma0Mm = std::nullopt);
// The same for a record already read.
BatchRun RunRecord(const ObservationRecord& record, std::optional<double> sigma0Mm = std::nullopt);
