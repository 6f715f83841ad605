// The computation of a run (approximate chain to adjusted coordinates) on
// realistic chains, and its floor: the same count of square roots,
// arctangents, sines and cosines evaluated alone. Prints the time per triangle
// and the ratio to the floor for every N after the benchmark table.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

#include "BenchChains.h"
#include "files/ObservationFile.h"
#include "run/BatchRun.h"

namespace {

struct Prepared {
    ProgramState entered;
    bench::ElementaryCounts counts;
};

// Chains are generated once per size and noise, on first use (outside any
// timing); noiseMm < 0: the benchmark chains' own noise.
const Prepared& PreparedFor(int n, double noiseMm = -1)
{
    static std::map<std::pair<int, double>, std::unique_ptr<Prepared>> cache;
    std::unique_ptr<Prepared>& slot = cache[{n, noiseMm}];
    if (!slot) {
        slot = std::make_unique<Prepared>();
        slot->entered = bench::EnteredState(bench::BenchChain(n, noiseMm));
        slot->counts = bench::CountElementaryFunctions(slot->entered);
    }
    return *slot;
}

// The whole computation: the iterated solution, every point's precision, the
// redundancy numbers, the adjusted coordinates. Argument 2: side noise [mm]
// (0: the benchmark chains' own, which shrinks with N).
void Computation(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const double noiseMm = state.range(1) > 0 ? static_cast<double>(state.range(1)) : -1;
    const Prepared& prepared = PreparedFor(n, noiseMm);
    ProgramState s = prepared.entered;
    bench::SilentPlatform platform;
    for (auto _ : state) {
        s = prepared.entered;  // the phases adjust the sides in place; not timed
        const auto start = std::chrono::steady_clock::now();
        bench::RunComputation(s, platform);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(s.SideLengths.data());
        benchmark::ClobberMemory();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.SetComplexityN(n);
    state.counters["triangles"] = n;
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The batch run of an observation file with the distance meter's weights
// (3 mm + 2 mm/km, the orientation angle 2.5") and, with argument 2 = 1, its
// sides taken as horizontal distances and reduced to the Gauss plane
// (central meridian 117, heights of 80 to 170 m, the projection surface at
// 50 m): the reduction, the weighted adjustment, the checks and the listing,
// from the file read to the figures of its JSON. The bench chains are
// straight, some 1.4 km a triangle, and their sides are plane distances: the
// reduction changes them by up to y^2/(2R^2), which a chain of more than a few
// dozen triangles no longer closes (and past 700 triangles it leaves the
// zone), so it is measured at N = 40 only.
const ChainFile& WeightedFile(int n, bool reduced)
{
    static std::map<std::pair<int, bool>, std::unique_ptr<ChainFile>> cache;
    std::unique_ptr<ChainFile>& slot = cache[{n, reduced}];
    if (!slot) {
        std::string text = WriteObservationFile(bench::CompletedState(bench::BenchChain(n)).LastTyped);
        std::string keys = "测距固定误差 = 3\n测距比例误差 = 2\n定向角中误差 = 2.5\n";
        if (reduced) {
            keys += "边长类型 = 平距\n中央子午线 = 117\n投影面高程 = 50\n高程 A = 120\n高程 B = 95\n高程 C = 140\n";
            for (int k = 1; k < n; ++k) keys += "高程 " + std::to_string(k) + " = " + std::to_string(80 + (k * 37) % 91) + "\n";
        }
        text.insert(text.find("\nN = ") + 1, keys);
        auto read = ReadChainFile(text);
        if (const FileError* error = std::get_if<FileError>(&read))
            throw std::runtime_error("the weighted benchmark file: " + FormatFileError(*error));
        slot = std::make_unique<ChainFile>(std::get<ChainFile>(std::move(read)));
    }
    return *slot;
}

void WeightedRun(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const ChainFile& file = WeightedFile(n, state.range(1) != 0);
    for (auto _ : state) {
        ChainFile copy = file;  // the run takes the file; not timed
        const auto start = std::chrono::steady_clock::now();
        BatchRun run = RunChainFile(std::move(copy), PrecisionOverride{});
        BatchFigures figures = run.Figures();
        const auto stop = std::chrono::steady_clock::now();
        if (!run.Completed()) {
            state.SkipWithError(run.outcome.reason.c_str());
            break;
        }
        benchmark::DoNotOptimize(figures);
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    state.counters["triangles"] = n;
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Inputs in the ranges the run sees: radians of azimuths and angles for the
// sine and cosine, quotients of a sine by a cosine for the arctangent, and
// 1 - cos^2 for the root. A cycle of CYCLE values each, read again and again,
// so that the floor is the functions alone and not the memory they read.
constexpr std::size_t CYCLE = 1024;

struct FloorInputs {
    std::vector<double> sqrtIn, atanIn, sinIn, cosIn;
};

FloorInputs MakeInputs(unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> turn(0.0, 6.283185307), angle(0.3, 2.8);
    FloorInputs in;
    for (std::size_t i = 0; i < CYCLE; ++i) {
        double co = std::cos(angle(rng));
        in.sqrtIn.push_back(1 - co * co);
        in.atanIn.push_back(std::tan(angle(rng) / 2));
        in.sinIn.push_back(turn(rng));
        in.cosIn.push_back(turn(rng));
    }
    return in;
}

// count evaluations of f over the cycle of inputs, summed
template <typename F>
double Evaluate(long count, const std::vector<double>& in, F f)
{
    double sum = 0;
    std::size_t j = 0;
    for (long i = 0; i < count; ++i) {
        sum += f(in[j]);
        j = (j + 1) & (CYCLE - 1);
    }
    return sum;
}

void Floor(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const bench::ElementaryCounts& c = PreparedFor(n).counts;
    const FloorInputs in = MakeInputs(static_cast<unsigned>(n));
    for (auto _ : state) {
        double sum = Evaluate(c.sqrt, in.sqrtIn, [](double v) { return std::sqrt(v); });
        sum += Evaluate(c.atan, in.atanIn, [](double v) { return std::atan(v); });
        sum += Evaluate(c.sin, in.sinIn, [](double v) { return std::sin(v); });
        sum += Evaluate(c.cos, in.cosIn, [](double v) { return std::cos(v); });
        benchmark::DoNotOptimize(sum);
    }
    state.counters["calls"] = static_cast<double>(c.Total());
    state.counters["per_triangle"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The console table as usual, and the times kept (the median when the runs
// are repeated) for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred || (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")) continue;
            if (run.report_big_o || run.report_rms) continue;
            if (run.run_name.function_name == "WeightedRun") continue;  // its own rows in the table only
            const int n = std::stoi(run.run_name.args);
            // a repeated run's median replaces the single runs
            const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
            Entry& e = times[n];
            double& slot = run.run_name.function_name == "Computation" ? e.computation : e.floor;
            if (run.run_type == Run::RT_Aggregate || slot == 0) slot = seconds;
            if (run.run_type == Run::RT_Aggregate) e.median = true;
        }
    }
    struct Entry {
        double computation = 0, floor = 0;
        bool median = false;
    };
    std::map<int, Entry> times;
};

}  // namespace

BENCHMARK(Computation)->Args({10, 0})->Args({100, 0})->Args({1000, 0})->Args({16382, 0})->UseManualTime()->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);
// 1 mm of side noise at every N: the misclosures of the long chains need the
// iterations (one step misses C by centimetres at N = 16382).
BENCHMARK(Computation)->Args({1000, 1})->Args({16382, 1})->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(WeightedRun)->Args({40, 0})->Args({40, 1})->Args({1000, 0})->Args({16382, 0})->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Floor)->Arg(10)->Arg(100)->Arg(1000)->Arg(16382)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    reporter.SetOutputStream(&std::cout);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nComputation of a run against the floor (sqrt, atan, sin, cos alone)\n");
    std::printf("%8s %12s %14s %12s %14s %8s %10s\n", "N", "run [us]", "per tri [ns]", "floor [us]", "floor/tri [ns]",
                "ratio", "calls/tri");
    double reference = 0;
    for (const auto& [n, e] : reporter.times) {
        const bench::ElementaryCounts& c = PreparedFor(n).counts;
        const double perTriangle = e.computation / n * 1e9;
        if (n == 1000) reference = perTriangle;
        std::printf("%8d %12.1f %14.1f %12.1f %14.1f %8.2f %10.2f\n", n, e.computation * 1e6, perTriangle,
                    e.floor * 1e6, e.floor / n * 1e9, e.floor > 0 ? e.computation / e.floor : 0.0,
                    static_cast<double>(c.Total()) / n);
    }
    if (reference > 0) {
        std::printf("\nper-triangle time relative to N = 1000:");
        for (const auto& [n, e] : reporter.times) std::printf("  N=%d: %.2f", n, e.computation / n * 1e9 / reference);
        std::printf("\n");
    }
    return 0;
}
