#include <QApplication>

#include "ui/qt/Fonts.h"
#include "ui/qt/MainWindow.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetUpApplication();
    MainWindow window;
    window.show();
    return app.exec();
}
