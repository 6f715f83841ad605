#include "run/AdjustmentRun.h"

#include <new>
#include <stdexcept>

#include "dialogue/EntryPhases.h"
#include "display/CoordinateDisplay.h"
#include "rules/FaultTexts.h"
#include "display/ResultDisplay.h"
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
    RunState& r = s.run;
    s.PointNames.assign(N + 1, std::string());
    s.SideLengths.assign(2 * N + 2, 0.0);
    s.ObservedSides.assign(2 * N + 2, 0.0);
    s.Misclosures = {};
    s.Correlates = {};
    s.PointX.assign(N + 1, 0.0);
    s.PointY.assign(N + 1, 0.0);
    r.RouteSigns.assign(N + 2, 0);
}

void EnterRunInput(ProgramState& s, Platform& p)
{
    EnterTriangleCount(s, p);
    SizeArrays(s);
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
    o.Xb = s.Xb, o.Yb = s.Yb, o.Xc = s.Xc, o.Yc = s.Yc, o.Xd = s.Xd, o.Yd = s.Yd;
    o.AzimuthAB = s.run.AzimuthAB;
    o.ClosingAzimuth = s.run.ClosingAzimuth;
    o.OrientationAngle = s.run.OrientationAngle;
    o.SideLengths = s.SideLengths;
    o.RouteSigns = s.run.RouteSigns;
    o.UnknownPointCount = s.run.UnknownPointCount;
    return o;
}

// The figures of the result into the form-level state, as far as they were
// computed; the others keep what the earlier run left.
static void StoreResult(ProgramState& s, const ChainResult& r)
{
    s.ObservedSides = r.ObservedSides;
    s.Misclosures = r.Misclosures;
    s.Correlates = r.Correlates;
    s.SideLengths = r.SideLengths;
    s.PointX = r.PointX;
    s.PointY = r.PointY;
    if (r.InvPx) s.InvPx = *r.InvPx;
    if (r.InvPy) s.InvPy = *r.InvPy;
    if (r.ms) s.ms = *r.ms;
    if (r.mx) s.mx = *r.mx;
    if (r.my) s.my = *r.my;
    if (r.md) s.md = *r.md;
}

ChainOutcome ComputeAdjustment(ProgramState& s, Platform& p)
{
    ChainOutcome outcome = AdjustChain(ObservationsOf(s));
    StoreResult(s, outcome.result);
    ShowResult(outcome.result, p);
    if (!outcome.fault) s.ResultPointCount = static_cast<std::int16_t>(outcome.result.ResultPointCount);
    return outcome;
}

static void Failed(RunFields& p, const RunFault& fault, RunOutcome& outcome)
{
    outcome.kind = RunOutcome::Failed;
    outcome.reason = FailureText(fault);
    p.EmptyUnwrittenResultFields();
    p.MessageBox(outcome.reason);
}

RunOutcome AdjustmentRun(ProgramState& s, Platform& platform, const RunOptions& options)
{
    RunFields p(platform);
    const bool earlierRunCompleted = s.LastRunCompleted;
    s.LastRunCompleted = false;
    s.run = RunState{};
    if (options.prefilled) s.run.Typed.Prefill(*options.prefilled);
    s.run.Typed.onConfirm = options.onConfirm;
    RunOutcome outcome;
    try {
        SetConstants(s, options.constants);
        EnterRunInput(s, p);
        s.run.Typed.Record().complete = true;
        outcome.observations = ObservationsOf(s);
        outcome.chain = ComputeAdjustment(s, p);
        if (outcome.chain->fault) throw DescribeChainFault(*outcome.chain->fault);
        ShowAdjustedCoordinates(s, p, !s.run.Typed.AllPrefilled());
        s.LastRunCompleted = true;
    } catch (const RunCancelled&) {
        outcome.kind = RunOutcome::Cancelled;
        if (s.run.Typed.Record().values.empty()) {
            // cancelled at the triangle count: nothing of the run has happened
            s.LastRunCompleted = earlierRunCompleted;
        } else {
            p.EmptyUnwrittenResultFields();
        }
    } catch (const RunFault& fault) {
        Failed(p, fault, outcome);
    } catch (const std::out_of_range&) {
        Failed(p, {FaultKind::IndexRange, "数组下标超出范围"}, outcome);
    } catch (const std::bad_alloc&) {
        Failed(p, {FaultKind::Overflow, "内存不足"}, outcome);
    }
    if (!s.run.Typed.Record().values.empty()) s.LastTyped = s.run.Typed.Record();
    s.run = RunState{};
    return outcome;
}
