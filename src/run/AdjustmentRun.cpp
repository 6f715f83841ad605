#include "run/AdjustmentRun.h"

#include <new>
#include <stdexcept>

#include "core/AdjustmentPhases.h"
#include "dialogue/EntryPhases.h"
#include "state/RunFault.h"
#include "display/CoordinateDisplay.h"

void SetConstants(ProgramState& s)
{
    s.run.PI_VALUE = 3.1415926535;
    s.run.RHO_SECONDS = 206265;
    s.run.RADIANS_PER_DEGREE = s.run.PI_VALUE / 180;
}

void SizeArrays(ProgramState& s)
{
    const std::size_t N = static_cast<std::size_t>(s.TriangleCount);
    RunState& r = s.run;
    r.ConditionCount = 3;
    r.HalfCount = N % 2 == 0 ? N / 2.0 : (N + 1) / 2.0;
    s.PointNames.assign(N + 1, std::string());
    s.SideLengths.assign(2 * N + 2, 0.0);
    s.ObservedSides.assign(2 * N + 2, 0.0);
    s.Misclosures = {};
    s.Correlates = {};
    s.PointX.assign(N + 1, 0.0);
    s.PointY.assign(N + 1, 0.0);
    r.RouteSigns.assign(N + 2, 0);
    r.RouteAzimuths.assign(N + 2, 0.0);
    r.TriangleAngle1.assign(N + 1, 0.0);
    r.TriangleAngle2.assign(N + 1, 0.0);
    r.TriangleAngle3.assign(N + 1, 0.0);
    r.TriangleTerm.assign(N + 1, 0.0);
    for (std::vector<double>& row : r.ConditionCoefficients) row.assign(2 * N + 3, 0.0);
    r.NormalMatrix = {};
    r.NormalWork = {};
    r.Corrections.assign(2 * N + 3, 0.0);
    r.SumSquaredCorrections = 0;
}

void EnterRunInput(ProgramState& s, Platform& p)
{
    EnterTriangleCount(s, p);
    SizeArrays(s);
    p.SetFieldText(1, "");
    EnterKnownPoints(s, p);
    EnterClosingOrientation(s, p);
    DeriveStartSide(s);
    EnterSideLengths(s, p);
    EnterPointNames(s, p);
}

void ComputeAdjustment(ProgramState& s, Platform& p)
{
    ComputeApproximateChain(s);
    ComputeMisclosures(s, p);
    FormConditionEquations(s);
    ComputeWeightReciprocals(s, p);
    ApplyCorrections(s);
    ComputeStandardErrors(s, p);
    ComputeAdjustedCoordinates(s);
    CheckAdjustedClosure(s);
}

static RunOutcome Failed(Platform& p, FaultKind kind, const std::string& message)
{
    std::string text = std::string(FaultKindName(kind)) + "：" + message;
    p.MessageBox(text);
    return {RunOutcome::Failed, text};
}

RunOutcome AdjustmentRun(ProgramState& s, Platform& p)
{
    s.LastRunCompleted = false;
    s.run = RunState{};
    RunOutcome outcome{RunOutcome::Completed, {}};
    try {
        SetConstants(s);
        EnterRunInput(s, p);
        ComputeAdjustment(s, p);
        ShowAdjustedCoordinates(s, p);
        s.LastRunCompleted = true;
    } catch (const RunCancelled&) {
        outcome = {RunOutcome::Cancelled, {}};
    } catch (const RunFault& fault) {
        outcome = Failed(p, fault.kind, fault.message);
    } catch (const std::out_of_range&) {
        outcome = Failed(p, FaultKind::IndexRange, "数组下标超出范围");
    } catch (const std::bad_alloc&) {
        outcome = Failed(p, FaultKind::Overflow, "内存不足");
    }
    s.run = RunState{};
    return outcome;
}
