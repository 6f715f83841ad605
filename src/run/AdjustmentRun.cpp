#include "run/AdjustmentRun.h"

#include "rules/GradeTexts.h"

#include <new>
#include <stdexcept>

#include "dialogue/EntryPhases.h"
#include "display/CoordinateDisplay.h"
#include "rules/FaultTexts.h"
#include "rules/GradeTexts.h"
#include "rules/PrecisionLines.h"
#include "rules/ReductionTexts.h"
#include "display/ResultDisplay.h"
#include "run/ChainReduction.h"
#include "run/RunCompletion.h"
#include "run/RunFields.h"
#include "state/RunFault.h"
#include "rules/FormFields.h"

void SetConstants(ProgramState& s, const ChainConstants& constants)
{
    s.run.PI_VALUE = constants.PI_VALUE;
    s.run.RHO_SECONDS = constants.RHO_SECONDS;
    s.run.RADIANS_PER_DEGREE = constants.RADIANS_PER_DEGREE;
    s.run.ITERATION_LIMIT = constants.ITERATION_LIMIT;
}

void SizeArrays(ProgramState& s)
{
    const std::size_t N = static_cast<std::size_t>(s.TriangleCount);
    s.PointNames.assign(N + 1, std::string());
    s.SideLengths.assign(2 * N + 2, 0.0);
    s.run.RouteSigns.assign(N + 2, 0);
}

void EnterRunInput(ProgramState& s, RunFields& p)
{
    EnterTriangleCount(s, p);
    SizeArrays(s);
    p.EmptyResultFields();
    p.SetFieldText(field::Xa, "");
    EnterKnownPoints(s, p);
    EnterClosingOrientation(s, p);
    DeriveStartSide(s);
    EnterSideLengths(s, p);
    EnterPointNames(s, p);
}

ChainObservations ObservationsOf(const ProgramState& s)
{
    ChainObservations o;
    o.constants = {s.run.PI_VALUE, s.run.RHO_SECONDS, s.run.RADIANS_PER_DEGREE, s.run.ITERATION_LIMIT};
    o.N = s.TriangleCount;
    o.closing = ClosingOf(s);
    o.Xa = s.Xa, o.Ya = s.Ya, o.Xb = s.Xb, o.Yb = s.Yb, o.Xc = s.Xc, o.Yc = s.Yc, o.Xd = s.Xd, o.Yd = s.Yd;
    o.AzimuthAB = s.run.AzimuthAB;
    o.ClosingAzimuth = s.run.ClosingAzimuth;
    if (o.closing == ClosingKind::OnCWithAzimuth) o.orientation = OrientationObservation{s.run.OrientationAngle, std::nullopt};
    SetSides(o, s.SideLengths, s.run.RouteSigns);
    o.UnknownPointCount = s.run.UnknownPointCount;
    // the precision lines came with a file; one completed here may miss one
    // the chain turned out to need
    const ObservationRecord& record = s.run.Typed.Record();
    if (std::optional<PrecisionRefusal> refused = RefusePrecisionLines(record, ChainShape{o.N, o.closing}))
        RaiseFault(FaultKind::InvalidArgument, refused->reason);
    ApplyPrecisionLines(record, o);
    return o;
}

ChainInput InputOf(const ProgramState& s)
{
    ChainInput input;
    input.observations = ObservationsOf(s);
    input.names = s.PointNames;
    if (input.observations.closing != ClosingKind::OnCWithD) input.TbPacked = s.Tb, input.QbPacked = s.Qb;
    input.project = s.run.Typed.Record().project;
    input.notes = s.run.Typed.Record().notes;
    input.grade = s.run.Typed.Record().grade;
    if (std::optional<std::string> refused = ReduceChainInput(input, s.run.Typed.Record().reduction))
        RaiseFault(FaultKind::InvalidArgument, *refused);
    return input;
}

ChainOutcome ComputeAdjustment(const ChainObservations& o, Platform& p)
{
    ChainOutcome outcome = AdjustChain(o);
    ShowResult(outcome.result, p);
    return outcome;
}

static void Failed(RunFields& p, const RunFault& fault, RunOutcome& outcome)
{
    outcome.kind = RunOutcome::Failed;
    outcome.reason = FailureText(fault);
    p.MessageBox(outcome.reason);
}

RunOutcome AdjustmentRun(ProgramState& s, Platform& platform, const RunOptions& options)
{
    RunFields p(platform);
    const bool earlierRunCompleted = s.LastRunCompleted;
    s.LastRunCompleted = false;
    s.SuspectSign.reset();
    s.run = RunState{};
    if (options.prefilled) s.run.Typed.Prefill(*options.prefilled);
    s.run.Typed.onConfirm = options.onConfirm;
    RunOutcome outcome;
    try {
        SetConstants(s, options.constants);
        EnterRunInput(s, p);
        s.run.Typed.Record().complete = true;
        ChainInput input = InputOf(s);
        outcome.observations = input.observations;
        outcome.chain = ComputeAdjustment(input.observations, p);
        if (outcome.chain->fault) {
            const std::optional<SignDiagnosis>& d = outcome.chain->diagnosis;
            if (d && d->verdict == SignVerdict::OneSign && !d->best.empty()) s.SuspectSign = d->best.front().side;
            throw DescribeChainFailure(*outcome.chain->fault, d);
        }
        const ChainResult& result = outcome.chain->result;
        ShowAdjustedCoordinates(result, input.names, p, !s.run.Typed.AllPrefilled());
        s.LastRun = CompleteRun(std::move(input), result);
        s.LastRunCompleted = true;
        if (const std::string warning = DistortionWarning(s.LastRun->listing); !warning.empty()) p.MessageBox(warning);
        // the chain against the grade its 等级 names: 合格, or 不合格 with the first failing check
        if (s.LastRun->listing.grade) p.MessageBox(GradeVerdictLine(*s.LastRun->listing.grade));
    } catch (const RunCancelled&) {
        outcome.kind = RunOutcome::Cancelled;
        // cancelled at the triangle count: nothing of the run has happened
        if (s.run.Typed.Record().values.empty()) s.LastRunCompleted = earlierRunCompleted;
    } catch (const RunFault& fault) {
        Failed(p, fault, outcome);
    } catch (const std::out_of_range&) {
        Failed(p, {FaultKind::IndexRange, "数组下标超出范围"}, outcome);
    } catch (const std::bad_alloc&) {
        Failed(p, {FaultKind::Overflow, "内存不足"}, outcome);
    }
    outcome.valuesTaken = s.run.Typed.Record().values.size();
    if (outcome.valuesTaken > 0) s.LastTyped = s.run.Typed.Record();
    s.run = RunState{};
    return outcome;
}
