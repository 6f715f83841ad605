#include "core/AdjustChain.h"

#include <cmath>

#include "core/ChainPhases.h"
#include "core/ChiSquare.h"
#include "core/RouteMotions.h"
#include "core/SignFinder.h"

int HalfCount(int N) { return N % 2 == 0 ? N / 2 : (N + 1) / 2; }

void RaiseChainFault(const ChainFault& fault) { throw ChainFaultRaised{fault}; }

void RequireFinite(double value, ChainQuantity quantity)
{
    if (std::isfinite(value)) return;
    ChainFault fault;
    fault.kind = ChainFaultKind::NotFinite;
    fault.quantity = quantity;
    RaiseChainFault(fault);
}

ChainResult SizedResult(const ChainWork& o)
{
    const std::size_t N = static_cast<std::size_t>(o.N);
    ChainResult r;
    r.ObservedSides.assign(2 * N + 2, 0.0);
    r.SideLengths = o.SideLengths;
    r.SideLengths.resize(2 * N + 2, 0.0);
    r.PointX.assign(N + 1, 0.0);
    r.PointY.assign(N + 1, 0.0);
    r.RouteAzimuths.assign(N + 2, 0.0);
    r.TriangleAngle1.assign(N + 1, 0.0);
    r.TriangleAngle2.assign(N + 1, 0.0);
    r.TriangleAngle3.assign(N + 1, 0.0);
    r.TriangleTerm.assign(N + 1, 0.0);
    for (std::vector<double>& row : r.ConditionCoefficients) row.assign(2 * N + 3, 0.0);
    r.Corrections.assign(2 * N + 3, 0.0);
    r.ResultPointCount = PointDGiven(o) ? o.N - 1 : o.N;
    return r;
}

namespace {

// Faults of the triangles as typed: no sign changes them.
bool TriangleAsTyped(const ChainFault& f)
{
    switch (f.kind) {
    case ChainFaultKind::ZeroSide:
    case ChainFaultKind::SidesOutOfRange:
    case ChainFaultKind::FlatTriangle: return true;
    case ChainFaultKind::NotATriangle: return !f.adjustedSides;
    default: return false;
    }
}

// w' (A Q A')^-1 w of the misclosures as typed, with the condition rows the
// first linearisation formed.
double TypedStatistic(const ChainWork& w, const ChainResult& r, const ObservationSigmas& s)
{
    ClosingFigures f;
    for (std::size_t j = 1; j <= 3; ++j) f.w[j] = r.Misclosures[j];
    f.covariance = ConditionCovariance(w, r, s);
    return MisclosureStatistic(f, AzimuthConditionUsed(w));
}

}  // namespace

ChainOutcome AdjustChain(const ChainObservations& observations)
{
    const ChainWork w = WorkOf(observations);
    ChainOutcome outcome{SizedResult(w), std::nullopt, std::nullopt};
    ChainResult& r = outcome.result;
    std::optional<double> typedStatistic;
    try {
        ComputeApproximateChain(w, r);
        ComputeMisclosures(w, r);
        FormConditionEquations(w, r);
        typedStatistic = TypedStatistic(w, r, SigmasOf(observations));
        ComputeWeightReciprocals(r);
        const ChainWork at = AdjustIteratively(w, r);
        ComputeWeightReciprocals(r);
        ComputeStandardErrors(w, r);
        ComputePointPrecision(at, r);
        ChooseWeakestPoint(w, r);
        ComputeRedundancy(w, r);
        ComputeDetectability(at, r);
        ComputeAdjustedCoordinates(w, r);
        CheckAdjustedClosure(w, r);
        ComputeSidePrecision(at, r);
    } catch (const ChainFaultRaised& raised) {
        outcome.fault = raised.fault;
    }
    if (outcome.fault) {
        if (!TriangleAsTyped(*outcome.fault)) outcome.diagnosis = FindWrongSign(observations);
    } else if (typedStatistic) {
        const double critical = ChiSquareQuantile(0.95, AzimuthConditionUsed(w) ? 3 : 2);
        // a completed chain is a fault only where one sign explains it
        if (!(*typedStatistic <= FAR_BEYOND_FACTOR * critical)) outcome.diagnosis = FindWrongSign(observations);
        if (outcome.diagnosis && outcome.diagnosis->verdict == SignVerdict::NoSingleSign) outcome.diagnosis.reset();
        if (outcome.diagnosis) outcome.fault = ChainFault{ChainFaultKind::SignMistyped};
    }
    return outcome;
}
