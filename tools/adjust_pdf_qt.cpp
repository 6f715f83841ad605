#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "adjust_pdf.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/FullReportPdf.h"
#include "ui/qt/ReportPdf.h"

namespace {

// Qt's own notes (no runtime folder, a font substituted) are not the
// command's and are in English: left out. What Qt calls critical still shows.
void OnlyQtsFaults(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Runs write inside an application on the offscreen platform when there is no
// display.
template <typename Write>
std::string WithApplication(int argc, char** argv, Write write)
{
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (!std::getenv("QT_QPA_PLATFORM") && !display) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(OnlyQtsFaults);
    QApplication app(argc, argv);
    SetUpApplication();
    return write().toStdString();
}

}  // namespace

std::string WriteAdjustReportPdf(const Report& report, const std::string& path, int argc, char** argv)
{
    return WithApplication(argc, argv, [&] { return WriteReportPdf(report, QString::fromStdString(path)); });
}

std::string WriteAdjustFullReportPdf(const FullReport& report, const ChainListing& listing, const ChainResult& result,
                                     const std::string& path, int argc, char** argv)
{
    return WithApplication(argc, argv,
                           [&] { return WriteFullReportPdf(report, listing, result, QString::fromStdString(path)); });
}
