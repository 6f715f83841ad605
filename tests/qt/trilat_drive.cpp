// trilat-drive: the program's window with a scripted operator at it.
//   trilat-drive [--chain N] [--with-d] [--answers FILE] [--print | --print-full] [--pdf FILE]
//                [--grab PNG] [--startup-only]
//                [--program] [--data DIR] [--kill-after K] [--resume] [--report-text FILE]
//                [--table PNG] [--observations PNG [--edit LABEL=TEXT]]
// --program drives the whole program window (menus, journal) instead of the
// form alone; --data keeps the user's data folder (the journals) in DIR, so
// that a second process finds what the first left; --kill-after K kills the
// process (SIGKILL) once K answers were given; --resume answers the offer to
// continue a cut-off run with 是 and goes on with the answers instead of
// pressing the adjustment button; --report-text writes the report's lines;
// --table saves a picture of the 成果表 window after the run; --observations
// one of the 观测数据 window, after the edit of the value labelled LABEL
// ("S5", "点名 C") when one is given.
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
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
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
#include "ui/qt/ObservationTable.h"
#include "ui/qt/ProgramWindow.h"
#include "ui/qt/ReportPainter.h"

int main(int argc, char** argv)
{
    QElapsedTimer started;
    started.start();
    const OwnUserFolders folders("drive");
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--data") setenv("XDG_DATA_HOME", argv[i + 1], 1);
    QuietOffscreenNotes();
    QApplication app(argc, argv);
    SetUpApplication();

    ChainOptions chain;
    QString answersFile, pdfFile, pngFile, reportFile, tableFile, observationsFile, edit;
    bool print = false, printFull = false, startupOnly = false, program = false, resume = false;
    int killAfter = -1;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() { return i + 1 < args.size() ? args[++i] : QString(); };
        if (a == "--chain") chain.triangles = value().toInt();
        else if (a == "--with-d") chain.withD = true;
        else if (a == "--answers") answersFile = value();
        else if (a == "--print") print = true;
        else if (a == "--print-full") print = printFull = true;
        else if (a == "--pdf") pdfFile = value();
        else if (a == "--grab") pngFile = value();
        else if (a == "--startup-only") startupOnly = true;
        else if (a == "--program") program = true;
        else if (a == "--data") value();
        else if (a == "--kill-after") killAfter = value().toInt();
        else if (a == "--resume") resume = program = true;
        else if (a == "--report-text") reportFile = value();
        else if (a == "--table") tableFile = value(), program = true;
        else if (a == "--observations") observationsFile = value(), program = true;
        else if (a == "--edit") edit = value();
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

    std::unique_ptr<ProgramWindow> top;
    std::unique_ptr<MainWindow> alone;
    if (program) {
        top = std::make_unique<ProgramWindow>();
    } else {
        alone = std::make_unique<MainWindow>();
    }
    MainWindow& window = program ? top->Form() : *alone;
    QWidget& shown = program ? static_cast<QWidget&>(*top) : window;
    shown.show();
    int status = 0;
    QTimer::singleShot(0, &window, [&] {
        if (startupOnly) {
            std::printf("STARTUP\t%lld ms\n", static_cast<long long>(started.elapsed()));
            app.exit(0);
            return;
        }
        DialogAnswerer operatorAtWindow(answers);
        QTimer killer;
        if (killAfter >= 0) {
            QObject::connect(&killer, &QTimer::timeout, [&] {
                if (static_cast<int>(answers.size()) - operatorAtWindow.Unanswered() >= killAfter) std::raise(SIGKILL);
            });
            killer.start(0);
        }
        if (resume) {
            operatorAtWindow.SetAcceptMessages(true);  // 是 to the offer
            top->OfferCutOffRuns();
        } else {
            window.Button(1)->click();
        }
        if (!window.State().LastRunCompleted) {
            std::fprintf(stderr, "trilat-drive: the run did not complete\n");
            status = 1;
        }
        if (status == 0 && print) {
            if (const QString foreign = ForeignPrinter(); !foreign.isEmpty()) {
                std::fprintf(stderr, "trilat-drive: not printing: %s\n", qPrintable(foreign));
                status = 1;
            } else {
                operatorAtWindow.SetFullReport(printFull);
                window.Button(3)->click();
            }
        }
        for (const QString& m : operatorAtWindow.Messages()) {
            std::fprintf(stderr, "MESSAGE\t%s\n", qPrintable(m));
            // resuming, the offer itself is a box; printing, the job's number
            if (!resume && !m.contains(QString::fromUtf8("已发送到打印机"))) status = 1;
        }
        if (status == 0 && !reportFile.isEmpty()) {
            QFile out(reportFile);
            const std::string text = ReportAsText(ComposeReport(window.State()));
            if (!out.open(QIODevice::WriteOnly) || out.write(text.data(), static_cast<qint64>(text.size())) < 0) status = 1;
        }
        if (status == 0 && !pdfFile.isEmpty()) {
            QPrinter pdf(QPrinter::HighResolution);
            pdf.setOutputFormat(QPrinter::PdfFormat);
            pdf.setOutputFileName(pdfFile);
            const ReportPaintResult result = PaintReport(ComposeReport(window.State()), pdf);
            if (!result.ok) status = 1;
            std::printf("PAGES\t%d\n", result.pages);
        }
        if (status == 0 && !tableFile.isEmpty()) {
            top->ShowResultsTable();
            QWidget* table = top->findChild<QWidget*>("ResultsTable");
            if (!table || !table->grab().save(tableFile)) status = 1;
        }
        if (status == 0 && !observationsFile.isEmpty()) {
            top->ShowObservationTable();
            ObservationTable& table = *top->Observations();
            const QString label = edit.section('=', 0, 0), text = edit.section('=', 1);
            for (const SheetRow& row : table.Sheet().Rows())
                if (!edit.isEmpty() && QString::fromStdString(row.label) == label) {
                    table.Edit(row.slot, SheetColumn::Value, text);
                    table.GoTo(row.slot);
                }
            QApplication::processEvents();
            if (!table.grab().save(observationsFile)) status = 1;
        }
        if (!pngFile.isEmpty() && !shown.grab().save(pngFile)) {
            std::fprintf(stderr, "trilat-drive: cannot write %s\n", qPrintable(pngFile));
            status = 1;
        }
        std::fflush(stdout);
        app.exit(status);
    });
    return app.exec();
}
