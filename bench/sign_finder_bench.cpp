// The sign finder on the benchmark chains with the left/right of the middle
// triangle's cross side typed wrong. All N + 1 candidates come from prefix and
// suffix products of the route's rigid motions, so the finder's time grows
// linearly in N; carrying every candidate chain in full instead would take N
// full computations (the "one in full" row, times N). Prints the time per
// triangle for every N and the estimate of the full way after the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <memory>

#include "BenchChains.h"
#include "core/ObservationSigmas.h"
#include "core/RouteMotions.h"
#include "core/SignFinder.h"
#include "run/AdjustmentRun.h"
#include "support/ChainTables.h"

namespace {

struct Prepared {
    ChainObservations typed;  // the middle sign reversed
    int named = 0;            // the side the finder named
};

const Prepared& PreparedFor(int n)
{
    static std::map<int, std::unique_ptr<Prepared>> cache;
    std::unique_ptr<Prepared>& slot = cache[n];
    if (!slot) {
        slot = std::make_unique<Prepared>();
        slot->typed = WithSignReversed(ObservationsOf(bench::EnteredState(bench::BenchChain(n))), n / 2 + 1);
        const std::optional<SignDiagnosis> d = FindWrongSign(slot->typed);
        if (d && d->verdict == SignVerdict::OneSign) slot->named = d->best[0].side;
    }
    return *slot;
}

void Finder(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const Prepared& p = PreparedFor(n);
    for (auto _ : state) benchmark::DoNotOptimize(FindWrongSign(p.typed));
    state.SetComplexityN(n);
    state.counters["named_side"] = p.named;
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// One candidate chain carried and linearised in full.
void OneInFull(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const ChainObservations& o = PreparedFor(n).typed;
    const ChainWork w = WorkOf(o);
    const ObservationSigmas s = SigmasOf(o);
    for (auto _ : state) benchmark::DoNotOptimize(ClosingComputedInFull(w, s));
}

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || run.report_big_o || run.report_rms) continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            const int n = std::stoi(run.run_name.args);
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            double& slot = run.run_name.function_name == "Finder" ? times[n].finder : times[n].full;
            if (run.run_type == Run::RT_Aggregate || slot == 0) slot = seconds;
        }
    }
    struct Entry {
        double finder = 0, full = 0;
    };
    std::map<int, Entry> times;
};

}  // namespace

BENCHMARK(Finder)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Arg(16382)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(OneInFull)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    reporter.SetOutputStream(&std::cout);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nThe sign finder, the middle sign typed wrong\n");
    std::printf("%8s %12s %14s %10s %22s\n", "N", "finder [ms]", "per tri [ns]", "named", "N in full (est.) [s]");
    for (const auto& [n, e] : reporter.times) {
        if (e.finder == 0) continue;
        std::printf("%8d %12.2f %14.1f %9s%d", n, e.finder * 1e3, e.finder / n * 1e9, "S", PreparedFor(n).named);
        if (e.full > 0) std::printf(" %22.2f", e.full * n);
        std::printf("\n");
    }
    return 0;
}
