#pragma once
// Where a prompt, confirmation or message box opens: it must hide neither the
// field of the value it asks about nor the numbering diagrams the prompts
// refer to. Beside the window when the screen has room (right, left, below,
// above, in that order), otherwise over the part of the form farthest from
// the field. All rectangles in global (screen) pixels.
#include <QPoint>
#include <QRect>
#include <QSize>

struct BoxScene {
    QRect screen;    // the available area of the window's screen
    QRect window;    // the window's frame
    QRect field;     // the field of the value being asked (may be empty)
    QRect diagrams;  // the numbering diagrams across the top of the form
};

// The top-left corner of a box of the given size.
QPoint PlaceBox(const BoxScene& scene, const QSize& box);
