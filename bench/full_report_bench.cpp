// The full report (成果报告) of a completed run of the benchmark chain written
// as an A4 PDF (tables, page numbers, the drawing page): wall time, pages and
// file size; and its composition and plain text alone. Runs on the offscreen
// platform unless another one is asked for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

#include "BenchChains.h"
#include "display/FullReport.h"
#include "files/DialogueSequence.h"
#include "run/BatchRun.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/FullReportPdf.h"

namespace {

QTemporaryDir* outputDir = nullptr;

// The batch run of the chain's values, as trilat-adjust runs an observation file.
const BatchRun& RunFor(int n)
{
    static std::map<int, std::unique_ptr<BatchRun>> cache;
    std::unique_ptr<BatchRun>& slot = cache[n];
    if (!slot) {
        const std::vector<std::string> answers = bench::BenchChain(n).answers;
        DialogueSequence sequence;
        ObservationRecord record;
        for (std::size_t i = 0; i < answers.size() && sequence.Next(); i += i == 0 ? 1 : 2) {
            record.values.push_back({*sequence.Next(), answers[i]});
            sequence.Take(answers[i]);
        }
        record.complete = !sequence.Next();
        slot = std::make_unique<BatchRun>(RunRecord(record, 2.0));
    }
    return *slot;
}

void ComposeText(benchmark::State& state)
{
    const BatchRun& run = RunFor(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = FullReportAsText(ComposeFullReport(run.completed->listing, run.Result(), "2026-01-02"));
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["kB"] = static_cast<double>(bytes) / 1e3;
}

void WritePdf(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const BatchRun& run = RunFor(n);
    if (!run.Completed()) {
        state.SkipWithError("the benchmark chain did not complete");
        return;
    }
    const QString file = outputDir->filePath(QString("full-%1.pdf").arg(n));
    int pages = 0;
    for (auto _ : state) {
        const FullReport report = ComposeFullReport(run.completed->listing, run.Result(), "2026-01-02");
        const QString error = WriteFullReportPdf(report, run.completed->listing, run.Result(), file, &pages);
        if (!error.isEmpty()) {
            state.SkipWithError(error.toStdString().c_str());
            break;
        }
    }
    state.counters["pages"] = pages;
    state.counters["MB"] = static_cast<double>(QFileInfo(file).size()) / 1e6;
    state.SetLabel(std::to_string(pages) + " pages");
}

}  // namespace

BENCHMARK(ComposeText)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(WritePdf)->Arg(1000)->Iterations(1)->Repetitions(5)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication();
    QTemporaryDir dir;
    outputDir = &dir;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RunFor(1000);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
