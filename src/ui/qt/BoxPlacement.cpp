#include "ui/qt/BoxPlacement.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr int GAP = 8;  // [px] between the window and a box beside it

int Clamp(int value, int low, int high) { return high < low ? low : std::clamp(value, low, high); }

double Distance(const QRect& a, const QRect& b)
{
    const QPoint d = a.center() - b.center();
    return std::hypot(d.x(), d.y());
}

}  // namespace

QPoint PlaceBox(const BoxScene& s, const QSize& box)
{
    const QRect& screen = s.screen;
    const QRect& w = s.window;
    const int fieldY = s.field.isEmpty() ? w.center().y() : s.field.center().y();
    const int y = Clamp(fieldY - box.height() / 2, screen.top(), screen.bottom() + 1 - box.height());
    const int x = Clamp(w.center().x() - box.width() / 2, screen.left(), screen.right() + 1 - box.width());

    // beside the window
    if (w.right() + GAP + box.width() <= screen.right() + 1) return {w.right() + 1 + GAP, y};
    if (w.left() - GAP - box.width() >= screen.left()) return {w.left() - GAP - box.width(), y};
    if (w.bottom() + GAP + box.height() <= screen.bottom() + 1) return {x, w.bottom() + 1 + GAP};
    if (w.top() - GAP - box.height() >= screen.top()) return {x, w.top() - GAP - box.height()};

    // over the form, below the diagrams, as far from the field as it goes
    const QRect area = w.intersected(screen);
    const int top = std::max(area.top(), s.diagrams.isEmpty() ? area.top() : s.diagrams.bottom() + 1);
    const int left = area.left(), right = area.right() + 1 - box.width();
    const int upper = top, lower = area.bottom() + 1 - box.height();
    const std::vector<QPoint> corners{{left, upper}, {right, upper}, {left, lower}, {right, lower},
                                      {(left + right) / 2, lower}, {(left + right) / 2, upper}};
    QPoint best = corners.front();
    double bestScore = -std::numeric_limits<double>::infinity();
    for (QPoint c : corners) {
        c = {Clamp(c.x(), screen.left(), screen.right() + 1 - box.width()),
             Clamp(c.y(), screen.top(), screen.bottom() + 1 - box.height())};
        const QRect placed(c, box);
        double score = s.field.isEmpty() ? 0 : Distance(placed, s.field);
        if (!s.field.isEmpty() && placed.intersects(s.field)) score -= 1e6;
        if (placed.intersects(s.diagrams)) score -= 1e5;
        if (score > bestScore) bestScore = score, best = c;
    }
    return best;
}
