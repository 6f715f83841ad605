#include "BenchChains.h"

#include <cmath>
#include <stdexcept>

#include "run/AdjustmentRun.h"
#include "run/ScriptedPlatform.h"

namespace bench {

double BenchNoiseMm(int n) { return n <= 1000 ? 2.0 : 2.0 * std::pow(1000.0 / n, 1.5); }

chain::GeneratedChain BenchChain(int n, double noiseMm)
{
    chain::ChainSpec spec;
    spec.triangles = n;
    spec.closing = chain::Closing::ExternalAzimuth;
    spec.signs = chain::ZigzagSigns(n);
    spec.seed = 20240 + static_cast<std::uint64_t>(n);
    spec.noiseMm = noiseMm < 0 ? BenchNoiseMm(n) : noiseMm;
    return chain::GenerateChain(spec);
}

ProgramState EnteredState(const chain::GeneratedChain& c)
{
    ProgramState s;
    ScriptedPlatform p(c.answers);
    RunFields fields(p);
    SetConstants(s);
    EnterRunInput(s, fields);
    return s;
}

void RunComputation(ProgramState& s, Platform& p)
{
    ComputeAdjustment(ObservationsOf(s), p);
}

ProgramState CompletedState(const chain::GeneratedChain& c)
{
    ProgramState s;
    ScriptedPlatform p(c.answers);
    RunOutcome outcome = AdjustmentRun(s, p);
    if (outcome.kind != RunOutcome::Completed || !s.LastRunCompleted)
        throw std::runtime_error("the benchmark chain did not complete: " + outcome.reason);
    return s;
}

ElementaryCounts CountElementaryFunctions(const ProgramState& entered)
{
    const long N = entered.TriangleCount;
    const std::vector<int>& sigma = entered.run.RouteSigns;
    const bool dGiven = PointDGiven(entered);
    auto pivot = [&sigma](long k) { return sigma[static_cast<std::size_t>(k)] == sigma[static_cast<std::size_t>(k - 1)]; };
    ElementaryCounts n;

    // Approximate chain: two angles per triangle (a root and an arctangent
    // each), the height (a sine), a cosine and a sine per advancing leg, and
    // the last leg onto C when there is no D.
    n.sqrt += 2 * N;
    n.atan += 2 * N;
    n.sin += N;
    for (long k = 1; k <= N - 1; ++k)
        if (!pivot(k + 1)) {
            ++n.cos;
            ++n.sin;
        }
    if (!dGiven) {
        ++n.cos;
        ++n.sin;
    }

    // Condition equations: the azimuth row and the rows of C take two cosines
    // per triangle after the first; the rows of the weakest station M two per
    // triangle up to M, and one for its last route side.
    const long M = static_cast<long>(HalfCount(entered.TriangleCount));
    n.cos += 2 * (N - 1) + 2 * (N - 1) + 2 * (M - 1) + 1;
    if (!dGiven) n.cos += 2;
    if (pivot(M + 1)) {  // station M carried along leg M
        ++n.cos;
        ++n.sin;
    }

    // Standard errors: four roots.
    n.sqrt += 4;

    // Adjusted coordinates: the angles of every triangle again, then a cosine
    // and a sine per leg, two of each where the route pivots.
    n.sqrt += 2 * N;
    n.atan += 2 * N;
    const long legs = dGiven ? N - 1 : N;
    ++n.cos;
    ++n.sin;
    for (long i = 2; i <= legs; ++i) {
        const long k = pivot(i) ? 2 : 1;
        n.cos += k;
        n.sin += k;
    }
    return n;
}

}  // namespace bench
