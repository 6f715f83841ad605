// The report of a completed run rendered through the printer support into a
// PDF file (QPrinter::PdfFormat at high resolution, as the print command's PDF
// fallback does): wall time, pages and file size. Runs on the offscreen
// platform unless another one is asked for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "BenchChains.h"
#include "display/ReportComposer.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/ReportPainter.h"

namespace {

QTemporaryDir* outputDir = nullptr;

const Report& ReportFor(int n)
{
    static std::map<int, std::unique_ptr<Report>> cache;
    std::unique_ptr<Report>& slot = cache[n];
    if (!slot) slot = std::make_unique<Report>(ComposeReport(bench::CompletedState(bench::BenchChain(n))));
    return *slot;
}

void RenderPdf(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const Report& report = ReportFor(n);
    const QString file = outputDir->filePath(QString("report-%1.pdf").arg(n));
    ReportPaintResult result;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        result = PaintReport(report, printer);
        if (!result.ok) {
            state.SkipWithError(result.error.toStdString().c_str());
            break;
        }
    }
    state.counters["lines"] = static_cast<double>(report.lines.size());
    state.counters["pages"] = result.pages;
    state.counters["MB"] = static_cast<double>(QFileInfo(file).size()) / 1e6;
    state.SetLabel(std::to_string(result.pages) + " pages");
}

}  // namespace

BENCHMARK(RenderPdf)->Arg(1000)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RenderPdf)->Arg(16382)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication();
    QTemporaryDir dir;
    outputDir = &dir;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    ReportFor(1000);
    ReportFor(16382);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
