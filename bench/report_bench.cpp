// Composing the report's lines from the state of a completed run.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "BenchChains.h"
#include "display/ReportComposer.h"

namespace {

const ProgramState& CompletedFor(int n)
{
    static std::map<int, std::unique_ptr<ProgramState>> cache;
    std::unique_ptr<ProgramState>& slot = cache[n];
    if (!slot) slot = std::make_unique<ProgramState>(bench::CompletedState(bench::BenchChain(n)));
    return *slot;
}

void ComposeReportLines(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const ProgramState& s = CompletedFor(n);
    std::size_t lines = 0;
    for (auto _ : state) {
        Report report = ComposeReport(s);
        lines = report.lines.size();
        benchmark::DoNotOptimize(report.lines.data());
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.counters["per_line"] = benchmark::Counter(static_cast<double>(lines),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

// The plain-text layout of the same report, as trilat-replay --report prints it.
void LayOutReportAsText(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const Report report = ComposeReport(CompletedFor(n));
    for (auto _ : state) {
        std::vector<std::string> text = LayoutReportAsText(report);
        benchmark::DoNotOptimize(text.data());
    }
}

}  // namespace

BENCHMARK(ComposeReportLines)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LayOutReportAsText)->Arg(1000)->Arg(16382)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
