#pragma once
// One adjustment of an observation file without a window: the chain the file
// reader gathered goes straight to the core; no dialogue runs.
#include <optional>
#include <string>

#include "files/JsonSummary.h"
#include "files/ObservationFile.h"
#include "rules/GradeTexts.h"
#include "run/AdjustmentRun.h"
#include "state/CompletedRun.h"

struct BatchRun {
    RunOutcome outcome;   // a completed run's result is handed on to completed
    std::string missing;  // an incomplete file: the label of the first value it lacks
    std::optional<CompletedRun> completed;

    bool Completed() const { return outcome.kind == RunOutcome::Completed; }
    // The adjustment's result: the completed run's, else the chain's (a run
    // that failed in the adjustment). Only for a run that reached it.
    const ChainResult& Result() const { return completed ? completed->result : outcome.chain->result; }
    // The figures the summary and the JSON document print.
    BatchFigures Figures() const;
};

// A precision model given on the command line: where it gives sigma0Mm or
// edm it replaces the file's whole one (先验测边中误差, or a, b with the
// orientation angle's and the sides' own standard errors).
struct PrecisionOverride {
    std::optional<double> sigma0Mm;             // one a-priori standard error for every side [mm]
    std::optional<DistanceAccuracy> edm;        // a [mm], b [mm/km]
    std::optional<double> orientationSigmaSec;  // with edm, the orientation angle's [arc s]
    bool Given() const { return sigma0Mm || edm; }
};

// sigma0Mm: the a-priori standard error of a side [mm] that overrides the
// file's; with either, the normalised corrections and the global test.
BatchRun RunChainFile(const ChainFile& file, std::optional<double> sigma0Mm = std::nullopt);
// design: the 精度预估 of a planned chain (DesignChain) in place of the
// adjustment; it needs mu0 (a and b, or 先验测边中误差), else it fails with
// kDesignWithoutMu0.
BatchRun RunChainFile(const ChainFile& file, const PrecisionOverride& precision, bool design = false);
// The same, taking the file's input instead of copying it (a long chain's is
// megabytes).
BatchRun RunChainFile(ChainFile&& file, const PrecisionOverride& precision, bool design = false);
// The same for a record already read.
BatchRun RunRecord(const ObservationRecord& record, std::optional<double> sigma0Mm = std::nullopt);
