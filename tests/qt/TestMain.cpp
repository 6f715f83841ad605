// GoogleTest main for the window tests: one QApplication, set up as the
// program sets it up.
#include <QApplication>
#include <gtest/gtest.h>

#include "QuietOffscreen.h"
#include "ui/qt/Fonts.h"

int main(int argc, char** argv)
{
    // never a real display: the tests also run where there is none
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietOffscreenNotes();
    QApplication app(argc, argv);
    SetUpApplication();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
