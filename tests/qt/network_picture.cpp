// The window 网图 after a run over a generated chain with noisy sides, shown
// on the offscreen platform and grabbed as a PNG file (the README's picture).
//   trilat-network-picture [--chain N] PNG
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <string>

#include "QuietOffscreen.h"
#include "run/ListChain.h"
#include "run/AdjustmentRun.h"
#include "run/ScriptedPlatform.h"
#include "support/ChainGenerator.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/NetworkView.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietOffscreenNotes();
    QApplication app(argc, argv);
    SetUpApplication();
    chain::ChainSpec spec;
    spec.triangles = 10;
    spec.closing = chain::Closing::ExternalAzimuth;
    spec.signs = chain::RandomSigns(spec.triangles, 3, spec.closing, 2);
    spec.noiseMm = 5;
    spec.sideScale = 800;
    spec.seed = 3;
    QString png;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--chain" && i + 1 < argc) {
            spec.triangles = std::stoi(argv[++i]);
            spec.signs = chain::RandomSigns(spec.triangles, 3, spec.closing, 2);
        } else {
            png = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (png.isEmpty()) {
        std::fprintf(stderr, "usage: trilat-network-picture [--chain N] PNG\n");
        return 2;
    }
    const chain::GeneratedChain generated = chain::GenerateChain(spec);
    ProgramState s;
    ScriptedPlatform platform(generated.answers);
    RunOutcome outcome = AdjustmentRun(s, platform);
    if (outcome.kind != RunOutcome::Completed) {
        std::fprintf(stderr, "the chain did not complete: %s\n", outcome.reason.c_str());
        return 1;
    }
    NetworkView view(s.LastRun->listing, outcome.chain->result);
    view.setAttribute(Qt::WA_DeleteOnClose, false);
    view.resize(900, 640);
    view.show();
    QApplication::processEvents();
    return view.grab().save(png) ? 0 : 3;
}
