#include "run/BatchRun.h"

#include <cmath>

#include "core/DesignChain.h"
#include "rules/FaultTexts.h"
#include "run/ChainReduction.h"
#include "run/RunCompletion.h"
#include "state/RunFault.h"

namespace {

// The known sides the input derives from the coordinates must be numbers, as
// the dialogue requires before it asks any side: C-D first, then A-B.
std::optional<RunFault> KnownSideFault(const ChainObservations& o)
{
    const auto last = static_cast<std::size_t>(2 * o.N + 1);
    if (o.closing == ClosingKind::OnCWithD && !std::isfinite(o.sides.at(last).measured))
        return RunFault{FaultKind::Overflow, OutOfRangeText("C-D 边长")};
    if (!std::isfinite(o.sides.at(1).measured)) return RunFault{FaultKind::Overflow, OutOfRangeText("A-B 边长")};
    return std::nullopt;
}

// The run of a complete file's input (its own copy, or the file's moved).
BatchRun RunInput(ChainInput input, const ChainFile& file, const PrecisionOverride& precision, bool design);

}  // namespace

BatchRun RunChainFile(const ChainFile& file, std::optional<double> sigma0Mm)
{
    return RunChainFile(file, PrecisionOverride{sigma0Mm, std::nullopt, std::nullopt});
}

BatchRun RunChainFile(const ChainFile& file, const PrecisionOverride& precision, bool design)
{
    if (!file.input) {
        BatchRun run;
        run.missing = file.missing;
        run.outcome = RunOutcome(RunOutcome::Cancelled);
        return run;
    }
    return RunInput(*file.input, file, precision, design);
}

BatchRun RunChainFile(ChainFile&& file, const PrecisionOverride& precision, bool design)
{
    if (!file.input) return RunChainFile(file, precision, design);
    ChainInput input = std::move(*file.input);
    return RunInput(std::move(input), file, precision, design);
}

namespace {

BatchRun RunInput(ChainInput input, const ChainFile& file, const PrecisionOverride& precision, bool design)
{
    BatchRun run;
    if (precision.Given()) {
        ChainObservations& o = input.observations;
        o.sigma0Mm = precision.sigma0Mm;
        o.edm = precision.edm;
        for (SideObservation& side : o.sides) side.sigmaMm.reset();
        if (o.orientation) o.orientation->sigmaSec = precision.orientationSigmaSec;
    }
    if (!file.refused.empty()) {
        run.outcome = RunOutcome(RunOutcome::Failed, file.refused);
        return run;
    }
    if (std::optional<std::string> refused = ReduceChainInput(input)) {
        run.outcome = RunOutcome(RunOutcome::Failed, *refused);
        return run;
    }
    if (std::optional<RunFault> fault = KnownSideFault(input.observations)) {
        run.outcome = RunOutcome(RunOutcome::Failed, FailureText(*fault));
        return run;
    }
    if (design && !input.observations.sigma0Mm && !input.observations.edm) {
        run.outcome = RunOutcome(RunOutcome::Failed, kDesignWithoutMu0);
        return run;
    }
    input.observations.design = design;
    run.outcome.observations = input.observations;
    run.outcome.chain = design ? DesignChain(input.observations) : AdjustChain(input.observations);
    if (run.outcome.chain->fault) {
        run.outcome.kind = RunOutcome::Failed;
        const ChainOutcome& chain = *run.outcome.chain;
        run.outcome.reason = FailureText(DescribeChainFailure(*chain.fault, chain.diagnosis));
        return run;
    }
    run.completed = CompleteRun(std::move(input), std::move(run.outcome.chain->result));
    return run;
}

}  // namespace

BatchRun RunRecord(const ObservationRecord& record, std::optional<double> sigma0Mm)
{
    return RunChainFile(ChainOfRecord(record), sigma0Mm);
}

BatchFigures BatchRun::Figures() const
{
    BatchFigures f;
    f.completed = Completed();
    f.fault = outcome.reason;
    if (outcome.chain) f.result = &Result();
    if (outcome.chain && outcome.chain->diagnosis) f.diagnosis = &*outcome.chain->diagnosis;
    if (completed) {
        f.listing = &completed->listing;
        const std::size_t weakest = static_cast<std::size_t>(completed->result.WeakestPoint);
        if (weakest < completed->input.names.size()) f.weakestName = completed->input.names[weakest];
    }
    return f;
}
