#include "ui/qt/ScreenRoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

QSize WithinScreen(const QSize& wanted, const QWidget* near)
{
    const QScreen* screen = near && near->screen() ? near->screen() : QGuiApplication::primaryScreen();
    if (!screen) return wanted;
    // the title bar and the frame's borders, and a little of the screen beside them
    return wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 80));
}
