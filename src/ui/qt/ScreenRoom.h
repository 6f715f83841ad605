#pragma once
// The size a window of the program opens at: the size it wants, as far as the
// screen it opens on has room for it (its frame and a margin kept clear), so
// that no window opens partly off a small screen or at a large scale.
#include <QSize>

class QWidget;

// near: the window it opens beside (its screen is used), or none for the primary screen
QSize WithinScreen(const QSize& wanted, const QWidget* near);
