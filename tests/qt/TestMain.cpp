// GoogleTest main for the window tests: one QApplication, set up as the
// program sets it up, in a process that can reach no printer of the machine
// and writes nothing into the folders of the person running the tests.
#include <QApplication>
#include <QPrinterInfo>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <gtest/gtest.h>

#include "OwnUserFolders.h"
#include "PrintGuard.h"
#include "QuietOffscreen.h"
#include "ui/qt/Fonts.h"

namespace {

// Why a printer of the machine is within reach; empty when none is. None of
// the window tests has a printer (the print command takes the way to a PDF
// file), so any printer found would be a real one.
std::string PrinterOfTheMachine()
{
    if (const QString server = ForeignPrintServer(); !server.isEmpty()) return server.toStdString();
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    if (!printers.isEmpty()) return "printers within reach: " + printers.join(", ").toStdString();
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    // never a real display: the tests also run where there is none
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);  // first: the folder is named after the tests that run
    const OwnUserFolders folders("qt_tests." + GTEST_FLAG_GET(filter).substr(0, 80));
    // Started by hand, without ctest's environment: still no print server.
    // A print server named in the environment stays, and is checked.
    if (qEnvironmentVariableIsEmpty("CUPS_SERVER")) setenv("CUPS_SERVER", NoPrintServer().toUtf8().constData(), 1);
    QuietOffscreenNotes();
    QApplication app(argc, argv);
    SetUpApplication();
    // Refused before any test starts (a failure inside a test would come too
    // late: the test might print first); listing the tests stays possible.
    if (!GTEST_FLAG_GET(list_tests))
        if (const std::string printer = PrinterOfTheMachine(); !printer.empty()) {
            std::fprintf(stderr, "qt_tests: not running, a test could print on a printer of the machine: %s\n",
                         printer.c_str());
            return 1;
        }
    return RUN_ALL_TESTS();
}
