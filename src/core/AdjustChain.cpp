#include "core/AdjustChain.h"

#include <cmath>

#include "core/ChainPhases.h"

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

ChainOutcome AdjustChain(const ChainObservations& observations)
{
    const ChainWork w = WorkOf(observations);
    ChainOutcome outcome{SizedResult(w), std::nullopt};
    ChainResult& r = outcome.result;
    try {
        ComputeApproximateChain(w, r);
        ComputeMisclosures(w, r);
        FormConditionEquations(w, r);
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
    } catch (const ChainFaultRaised& raised) {
        outcome.fault = raised.fault;
    }
    return outcome;
}
