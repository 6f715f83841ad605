#include <QApplication>

#include "ui/qt/MainWindow.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8("端点为已知点的三边锁平差"));
    MainWindow window;
    window.show();
    return app.exec();
}
