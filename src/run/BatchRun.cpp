#include "run/BatchRun.h"

#include "files/DialogueSequence.h"
#include "run/ListChain.h"
#include "run/SilentPlatform.h"
#include "text/NumberReading.h"

BatchRun RunRecord(const ObservationRecord& record, std::optional<double> sigma0Mm)
{
    BatchRun run;
    if (!record.complete || NextKeyOf(record)) {
        std::string label;
        if (NextKeyOf(record, &label)) {
            run.missing = label;
        } else {
            run.missing = "未完成";
        }
        run.outcome = RunOutcome(RunOutcome::Cancelled);
        return run;
    }
    SilentPlatform platform;
    RunOptions options;
    options.prefilled = &record;
    run.outcome = AdjustmentRun(run.state, platform, options);
    if (!sigma0Mm && !record.sigma0Mm.empty()) sigma0Mm = ReadNumber(record.sigma0Mm);
    if (sigma0Mm && run.Completed()) TestCorrections(run.outcome.chain->result, *sigma0Mm);
    if (run.outcome.kind == RunOutcome::Cancelled) {
        run.missing = platform.prompts.empty() ? std::string() : platform.prompts.front();
    } else if (run.Completed()) {
        LastRunFigures figures;
        figures.RouteSigns = run.outcome.observations->RouteSigns;
        figures.Corrections = run.outcome.chain->result.Corrections;
        figures.project = record.project;
        figures.precisions = run.outcome.chain->result.PointPrecisions;
        run.listing = ListChain(run.state, figures);
    }
    return run;
}

BatchFigures BatchRun::Figures() const
{
    BatchFigures f;
    f.completed = Completed();
    f.fault = outcome.reason;
    if (outcome.chain) f.result = &outcome.chain->result;
    if (f.completed) {
        f.listing = &listing;
        const std::size_t M = static_cast<std::size_t>(HalfCount(state.TriangleCount));
        if (M < state.PointNames.size()) f.weakestName = state.PointNames[M];
    }
    return f;
}
