// trilat-drive: the program's window with a scripted operator at it.
//   trilat-drive [--chain N] [--with-d] [--answers FILE] [--print] [--pdf FILE]
//                [--grab PNG] [--startup-only]
// Opens Form1, presses the adjustment button and answers every prompt box from
// the answers (a chain of N equilateral triangles by default), then optionally
// presses the print button, renders the same report into a PDF file and saves a
// picture of the window. Exit status 0 when the run completed and no message
// box appeared; the messages go to standard error. Its HOME and XDG folders
// are a fresh folder of its own; it prints only where PrintGuard.h allows.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QTimer>
#include <cstdio>
#include <string>

#include "ChainAnswers.h"
#include "DialogAnswerer.h"
#include "OwnUserFolders.h"
#include "PrintGuard.h"
#include "display/ReportComposer.h"
#include "run/ScriptedPlatform.h"
#include "QuietOffscreen.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/ReportPainter.h"

int main(int argc, char** argv)
{
    QElapsedTimer started;
    started.start();
    const OwnUserFolders folders("drive");
    QuietOffscreenNotes();
    QApplication app(argc, argv);
    SetUpApplication();

    ChainOptions chain;
    QString answersFile, pdfFile, pngFile;
    bool print = false, startupOnly = false;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == "--chain") chain.triangles = value().toInt();
        else if (a == "--with-d") chain.withD = true;
        else if (a == "--answers") answersFile = value();
        else if (a == "--print") print = true;
        else if (a == "--pdf") pdfFile = value();
        else if (a == "--grab") pngFile = value();
        else if (a == "--startup-only") startupOnly = true;
        else {
            std::fprintf(stderr, "trilat-drive: unknown argument %s\n", qPrintable(a));
            return 2;
        }
    }
    std::vector<std::string> answers = ChainAnswers(chain);
    if (!answersFile.isEmpty()) {
        QFile f(answersFile);
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "trilat-drive: cannot read %s\n", qPrintable(answersFile));
            return 2;
        }
        answers = SplitAnswerLines(f.readAll().toStdString());
    }

    MainWindow window;
    window.show();
    int status = 0;
    QTimer::singleShot(0, &window, [&] {
        if (startupOnly) {
            std::printf("STARTUP\t%lld ms\n", static_cast<long long>(started.elapsed()));
            app.exit(0);
            return;
        }
        DialogAnswerer operatorAtWindow(answers);
        window.Button(1)->click();
        if (!window.State().LastRunCompleted) {
            std::fprintf(stderr, "trilat-drive: the run did not complete\n");
            status = 1;
        }
        if (status == 0 && print) {
            if (const QString foreign = ForeignPrinter(); !foreign.isEmpty()) {
                std::fprintf(stderr, "trilat-drive: not printing: %s\n", qPrintable(foreign));
                status = 1;
            } else {
                window.Button(3)->click();
            }
        }
        for (const QString& m : operatorAtWindow.Messages()) {
            std::fprintf(stderr, "MESSAGE\t%s\n", qPrintable(m));
            status = 1;
        }
        if (status == 0 && !pdfFile.isEmpty()) {
            QPrinter pdf(QPrinter::HighResolution);
            pdf.setOutputFormat(QPrinter::PdfFormat);
            pdf.setOutputFileName(pdfFile);
            const ReportPaintResult result = PaintReport(ComposeReport(window.State()), pdf);
            if (!result.ok) status = 1;
            std::printf("PAGES\t%d\n", result.pages);
        }
        if (!pngFile.isEmpty() && !window.grab().save(pngFile)) {
            std::fprintf(stderr, "trilat-drive: cannot write %s\n", qPrintable(pngFile));
            status = 1;
        }
        std::fflush(stdout);
        app.exit(status);
    });
    return app.exec();
}
