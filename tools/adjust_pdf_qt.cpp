#include <QApplication>
#include <cstdlib>

#include "adjust_pdf.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/ReportPdf.h"

std::string WriteAdjustReportPdf(const Report& report, const std::string& path, int argc, char** argv)
{
    const bool display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
    if (!std::getenv("QT_QPA_PLATFORM") && !display) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    SetUpApplication();
    return WriteReportPdf(report, QString::fromStdString(path)).toStdString();
}
