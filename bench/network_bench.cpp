// The drawing of the chain (网图) at N = 16382: the first picture of the
// window (the scene built from the run's listing and result, fitted and
// painted), one repaint of the fitted drawing, one of a view zoomed 1000 times
// around the weakest station, and the window itself built, shown and grabbed. Runs
// on the offscreen platform unless another one is asked for. With
// TRILAT_NETWORK_PICTURES=FOLDER it also leaves the fitted and the zoomed
// picture there as PNG files, to be looked at.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <map>
#include <memory>
#include <stdexcept>

#include "BenchChains.h"
#include "run/ListChain.h"
#include "qt/QuietOffscreen.h"
#include "run/ScriptedPlatform.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/NetworkPainter.h"
#include "ui/qt/NetworkView.h"

namespace {

struct DrawnRun {
    ChainListing listing;
    ChainResult result;
};

const DrawnRun& RunFor(int n)
{
    static std::map<int, std::unique_ptr<DrawnRun>> cache;
    std::unique_ptr<DrawnRun>& slot = cache[n];
    if (slot) return *slot;
    const chain::GeneratedChain c = bench::BenchChain(n);
    ProgramState s;
    ScriptedPlatform p(c.answers);
    RunOutcome outcome = AdjustmentRun(s, p);
    if (outcome.kind != RunOutcome::Completed) throw std::runtime_error("the benchmark chain did not complete: " + outcome.reason);
    slot = std::make_unique<DrawnRun>(DrawnRun{s.LastRun->listing, outcome.chain->result});
    return *slot;
}

const QSize WINDOW(900, 640);

// The fitted frame zoomed around the weakest station.
NetworkFrame ZoomedToWeakest(const NetworkScene& scene, const QRectF& target, double zoom)
{
    const NetworkFrame fitted = NetworkFrame::Fit(scene, target);
    const NetworkPoint& m = scene.Points()[static_cast<std::size_t>(scene.Weakest())];
    return fitted.ZoomedAt(fitted.ToPixel(m.X, m.Y, target), zoom, target);
}

// The scene built, fitted and painted once: what the window does before its
// first picture.
void FirstPicture(benchmark::State& state)
{
    const DrawnRun& run = RunFor(static_cast<int>(state.range(0)));
    QImage image(WINDOW, QImage::Format_RGB32);
    for (auto _ : state) {
        const NetworkScene scene(run.listing, run.result);
        QPainter painter(&image);
        PaintNetwork(painter, QRectF(image.rect()), scene, NetworkFrame::Fit(scene, QRectF(image.rect())));
    }
}

void Repaint(benchmark::State& state, double zoom)
{
    const DrawnRun& run = RunFor(static_cast<int>(state.range(0)));
    const NetworkScene scene(run.listing, run.result);
    QImage image(WINDOW, QImage::Format_RGB32);
    const QRectF target(image.rect());
    const NetworkFrame frame = ZoomedToWeakest(scene, target, zoom);
    for (auto _ : state) {
        QPainter painter(&image);
        PaintNetwork(painter, target, scene, frame);
    }
}
void RepaintFitted(benchmark::State& state) { Repaint(state, 1); }
void RepaintZoomed(benchmark::State& state) { Repaint(state, 1000); }

// The window built, shown and its first picture taken.
void WindowShown(benchmark::State& state)
{
    const DrawnRun& run = RunFor(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto* view = new NetworkView(run.listing, run.result);
        view->resize(WINDOW);
        view->show();
        const QPixmap picture = view->grab();
        benchmark::DoNotOptimize(picture.cacheKey());
        view->close();
        QApplication::processEvents();
    }
}

}  // namespace

BENCHMARK(FirstPicture)->Arg(16382)->Repetitions(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RepaintFitted)->Arg(16382)->Repetitions(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(RepaintZoomed)->Arg(16382)->Repetitions(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WindowShown)->Arg(16382)->Repetitions(5)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetUpApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    QuietOffscreenNotes();
    const DrawnRun& run = RunFor(16382);
    if (const QString folder = qEnvironmentVariable("TRILAT_NETWORK_PICTURES"); !folder.isEmpty()) {
        const NetworkScene scene(run.listing, run.result);
        for (double zoom : {1.0, 1000.0}) {
            QImage image(WINDOW, QImage::Format_RGB32);
            const QRectF target(image.rect());
            QPainter painter(&image);
            PaintNetwork(painter, target, scene, ZoomedToWeakest(scene, target, zoom));
            painter.end();
            image.save(QString("%1/network-16382-zoom-%2.png").arg(folder).arg(zoom));
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
