#include "core/Linearisations.h"

#include "core/ChainPhases.h"

namespace {

// The phases up to the normal equations at `at`; station M's weight
// reciprocals from the formed tables, which are kept unreduced.
ChainResult TablesAt(const ChainWork& at)
{
    ChainResult r = SizedResult(at);
    ComputeApproximateChain(at, r);
    ComputeMisclosures(at, r);
    FormConditionEquations(at, r);
    const Table6 formed = r.NormalMatrix;
    ComputeWeightReciprocals(r);
    r.NormalMatrix = r.NormalWork = formed;
    return r;
}

}  // namespace

Linearisations FirstAndLastLinearisation(const ChainObservations& observations)
{
    const ChainWork o = WorkOf(observations);
    const int N = o.N;
    const int Q = 2 * N + 2;  // column of the orientation angle
    Linearisations all;
    all.azimuthCondition = AzimuthConditionUsed(o);
    all.observed = o.SideLengths;
    try {
        Linearisation first;
        first.at = o;
        first.tables = TablesAt(o);
        for (int j = 1; j <= 3; ++j) first.w[static_cast<std::size_t>(j)] = first.tables.Misclosures[static_cast<std::size_t>(j)];

        // the single step on the formed tables (it reduces them in place)
        ChainResult solved = first.tables;
        ApplyCorrections(o, solved);
        for (int j = 1; j <= 3; ++j) first.k[static_cast<std::size_t>(j)] = solved.Correlates[static_cast<std::size_t>(j)];
        first.v = solved.Corrections;
        first.vQ = solved.Correlates[1] * first.tables.ConditionCoefficients[1][static_cast<std::size_t>(Q)];

        // the whole solution, for the point of its last linearisation
        ChainResult whole = first.tables;
        const ChainWork at = AdjustIteratively(o, whole);
        all.iterations = whole.Iterations;
        all.shown.push_back(std::move(first));
        if (whole.Iterations <= 1) return all;

        Linearisation last;
        last.number = whole.Iterations;
        last.at = at;
        last.tables = TablesAt(at);
        const auto& A = last.tables.ConditionCoefficients;
        // what the linearisation before it had corrected: l_i = l + v_i
        std::vector<double> before(static_cast<std::size_t>(2 * N + 3), 0.0);
        for (int c = 2; c <= 2 * N + 1; ++c)
            before[static_cast<std::size_t>(c)] = at.SideLengths[static_cast<std::size_t>(c)] - o.SideLengths[static_cast<std::size_t>(c)];
        const double sign = A[1][static_cast<std::size_t>(Q)];
        const double vQbefore = sign * (at.OrientationAngle - o.OrientationAngle) * 3600;
        const std::array<double, 4> f = MisclosuresAt(at, last.tables);
        for (int j = 1; j <= 3; ++j) {
            const auto row = static_cast<std::size_t>(j);
            double wj = f[row];
            for (int c = 2; c <= 2 * N + 1; ++c) wj -= A[row][static_cast<std::size_t>(c)] * before[static_cast<std::size_t>(c)];
            wj -= A[row][static_cast<std::size_t>(Q)] * vQbefore;
            last.w[row] = wj;
            last.k[row] = whole.Correlates[row];
        }
        last.v = whole.Corrections;
        last.vQ = whole.Correlates[1] * sign;
        all.shown.push_back(std::move(last));
    } catch (const ChainFaultRaised&) {
        all.shown.clear();
    }
    return all;
}
