#include <QApplication>
#include <QTimer>

#include "ui/qt/Fonts.h"
#include "ui/qt/ProgramWindow.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetUpApplication();
    ProgramWindow window;
    window.show();
    // a run cut off last time is offered once the window is up
    QTimer::singleShot(0, &window, &ProgramWindow::OfferCutOffRuns);
    return app.exec();
}
