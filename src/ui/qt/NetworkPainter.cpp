#include "ui/qt/NetworkPainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "ui/qt/FormLayout.h"

namespace {

namespace c = network_colours;

// The ground of target, widened by `pixels` on every side [m].
struct GroundWindow {
    double minX, maxX, minY, maxY;
    bool Meets(const NetworkBlock& b) const { return b.maxX >= minX && b.minX <= maxX && b.maxY >= minY && b.minY <= maxY; }
    bool Holds(const NetworkPoint& p) const { return p.X >= minX && p.X <= maxX && p.Y >= minY && p.Y <= maxY; }
};

GroundWindow WindowOf(const QRectF& target, const NetworkFrame& frame, double pixels)
{
    const QPointF topLeft = frame.ToGround(target.topLeft() - QPointF(pixels, pixels), target);
    const QPointF bottomRight = frame.ToGround(target.bottomRight() + QPointF(pixels, pixels), target);
    return {bottomRight.x(), topLeft.x(), topLeft.y(), bottomRight.y()};
}

// Which parts of target already hold a name: a coarse grid of cells.
class NameRoom {
public:
    NameRoom(const QRectF& target, double cell)
        : target_(target), cell_(cell), columns_(static_cast<int>(target.width() / cell) + 1),
          rows_(static_cast<int>(target.height() / cell) + 1),
          taken_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), false)
    {
    }
    // Takes the cells under r when every one of them is free.
    bool Take(const QRectF& r)
    {
        const int c0 = Column(r.left()), c1 = Column(r.right()), r0 = Row(r.top()), r1 = Row(r.bottom());
        for (int row = r0; row <= r1; ++row)
            for (int col = c0; col <= c1; ++col)
                if (taken_[Index(row, col)]) return false;
        for (int row = r0; row <= r1; ++row)
            for (int col = c0; col <= c1; ++col) taken_[Index(row, col)] = true;
        return true;
    }
    bool Free(const QPointF& p) const { return !taken_[Index(Row(p.y()), Column(p.x()))]; }
    bool Fits(const QRectF& r) const
    {
        const int c0 = Column(r.left()), c1 = Column(r.right()), r0 = Row(r.top()), r1 = Row(r.bottom());
        for (int row = r0; row <= r1; ++row)
            for (int col = c0; col <= c1; ++col)
                if (taken_[Index(row, col)]) return false;
        return true;
    }

private:
    int Column(double x) const { return std::clamp(static_cast<int>((x - target_.left()) / cell_), 0, columns_ - 1); }
    int Row(double y) const { return std::clamp(static_cast<int>((y - target_.top()) / cell_), 0, rows_ - 1); }
    std::size_t Index(int row, int col) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(col);
    }
    QRectF target_;
    double cell_;
    int columns_, rows_;
    std::vector<bool> taken_;
};

// Draws text with its baseline starting at `at`, as text or as outlines.
void Text(QPainter& painter, const QPointF& at, const QString& text, bool asPath)
{
    if (!asPath) return painter.drawText(at, text);
    QPainterPath path;
    path.addText(at, painter.font(), text);
    painter.fillPath(path, painter.pen().color());
}

// Text centred in box.
void CentredText(QPainter& painter, const QRectF& box, const QString& text, bool asPath)
{
    if (!asPath) return painter.drawText(box, Qt::AlignCenter, text);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QPointF at(box.center().x() - metrics.horizontalAdvance(text) / 2,
                     box.center().y() + (metrics.ascent() - metrics.descent()) / 2);
    Text(painter, at, text, true);
}

bool SegmentMeets(const QLineF& s, const QRectF& r)
{
    if (r.contains(s.p1()) || r.contains(s.p2())) return true;
    const QLineF edges[] = {{r.topLeft(), r.topRight()}, {r.topRight(), r.bottomRight()},
                            {r.bottomRight(), r.bottomLeft()}, {r.bottomLeft(), r.topLeft()}};
    for (const QLineF& e : edges)
        if (s.intersects(e, nullptr) == QLineF::BoundedIntersection) return true;
    return false;
}

bool CircleMeets(const QPointF& c, double radius, const QRectF& r)
{
    const double dx = c.x() - std::clamp(c.x(), r.left(), r.right());
    const double dy = c.y() - std::clamp(c.y(), r.top(), r.bottom());
    return dx * dx + dy * dy < radius * radius;
}

// Whether the ellipse of semi-axes a, b [px] at c, its a turned phi [deg]
// clockwise from up, has its outline in r or r's middle inside it.
bool EllipseMeets(const QPointF& c, double a, double b, double phi, const QRectF& r)
{
    const QTransform place = QTransform().translate(c.x(), c.y()).rotate(phi - 90);
    const QPointF m = place.inverted().map(r.center());
    if ((m.x() / a) * (m.x() / a) + (m.y() / b) * (m.y() / b) < 1) return true;
    for (int k = 0; k < 64; ++k) {
        const double t = k * M_PI / 32;
        if (r.contains(place.map(QPointF(a * std::cos(t), b * std::sin(t))))) return true;
    }
    return false;
}

QPolygonF Triangle(const QPointF& at, double r)
{
    return QPolygonF({at + QPointF(0, -r), at + QPointF(0.866 * r, 0.5 * r), at + QPointF(-0.866 * r, 0.5 * r)});
}

// A round length as the bars print it: no exponent, no trailing zeros.
QString Round(double v)
{
    const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(v) + 1e-9)));
    return QString::number(v, 'f', decimals);
}

QString Metres(double m) { return m >= 1000 ? Round(m / 1000) + " km" : Round(m) + " m"; }

// A bar of `pixels` from `at` to the right with its ticks and a caption above.
void Bar(QPainter& painter, const QPointF& at, double pixels, const QString& caption, const QColor& colour, double u,
         bool asPath)
{
    painter.setPen(QPen(colour, 2 * u, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(at, at + QPointF(pixels, 0));
    painter.setPen(QPen(colour, 1 * u));
    painter.drawLine(at + QPointF(0, -4 * u), at + QPointF(0, 4 * u));
    painter.drawLine(at + QPointF(pixels, -4 * u), at + QPointF(pixels, 4 * u));
    painter.setPen(c::NAME);
    Text(painter, at + QPointF(0, -6 * u), caption, asPath);
}

// The drawing's bar of a round length of about 120 px; beside it the
// ellipses' bar of a round length in millimetres no longer than the largest
// ellipse, drawn as long as an ellipse of that size.
void ScaleBars(QPainter& painter, const QRectF& target, const NetworkScene& scene, const NetworkFrame& frame,
               double largestE, double u, bool asPath)
{
    const double wanted = std::min(120 * u, target.width() / 4);
    const double metres = RoundDown125(wanted / frame.scale);
    const QPointF at = target.bottomLeft() + QPointF(14 * u, -14 * u);
    const QRectF paper(at + QPointF(-8 * u, -30 * u), QSizeF(0, 40 * u));
    const double pixels = metres * frame.scale;
    const double perMm = EllipsePixels(1, scene, frame);
    const double mm = EllipseBarMillimetres(largestE, wanted / perMm);
    const QString ellipseCaption = QString::fromUtf8("误差椭圆 %1 mm（放大 %2 倍）")
                                       .arg(Round(mm), QString::number(scene.Magnification(), 'f', 0));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const double first = std::max(pixels, metrics.horizontalAdvance(Metres(metres))) + 24 * u;
    const double width = first + std::max(mm * perMm, metrics.horizontalAdvance(ellipseCaption)) + 16 * u;
    painter.fillRect(QRectF(paper.topLeft(), QSizeF(width, paper.height())), QColor(255, 255, 255, 220));
    Bar(painter, at, pixels, Metres(metres), c::KNOWN, u, asPath);
    Bar(painter, at + QPointF(first, 0), mm * perMm, ellipseCaption, c::ELLIPSE, u, asPath);
}

void Legend(QPainter& painter, const QRectF& target, const NetworkScene& scene, double u, bool asPath)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    QPointF at = target.topLeft() + QPointF(14 * u, 16 * u);
    const double line = metrics.height() + 3 * u;
    painter.fillRect(QRectF(at - QPointF(8 * u, 10 * u), QSizeF(150 * u, 3 * line + 10 * u)), QColor(255, 255, 255, 220));
    painter.setPen(Qt::NoPen);
    painter.setBrush(c::KNOWN);
    painter.drawPolygon(Triangle(at, 5 * u));
    painter.setPen(c::NAME);
    Text(painter, at + QPointF(12 * u, 4 * u), QString::fromUtf8("已知点"), asPath);
    at += QPointF(0, line);
    painter.setPen(Qt::NoPen);
    painter.setBrush(c::NEW_POINT);
    painter.drawEllipse(at, 3.5 * u, 3.5 * u);
    painter.setPen(c::NAME);
    Text(painter, at + QPointF(12 * u, 4 * u), QString::fromUtf8("待定点"), asPath);
    at += QPointF(0, line);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(c::WEAKEST, 2 * u));
    painter.drawEllipse(at, 7 * u, 7 * u);
    painter.setPen(c::NAME);
    const int w = scene.Weakest();
    Text(painter, at + QPointF(12 * u, 4 * u),
         QString::fromUtf8("最弱点") + (w >= 0 ? " " + scene.Points()[static_cast<std::size_t>(w)].name : QString()), asPath);
}

void North(QPainter& painter, const QRectF& target, double u, bool asPath)
{
    const QPointF tip = target.topRight() + QPointF(-20 * u, 12 * u);
    painter.setPen(Qt::NoPen);
    painter.setBrush(c::KNOWN);
    painter.drawPolygon(QPolygonF({tip, tip + QPointF(5 * u, 16 * u), tip + QPointF(0, 12 * u), tip + QPointF(-5 * u, 16 * u)}));
    painter.setPen(c::NAME);
    CentredText(painter, QRectF(tip + QPointF(-10 * u, 17 * u), QSizeF(20 * u, 16 * u)), "N", asPath);
}

}  // namespace

double NetworkUnit(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    return device ? device->logicalDpiX() / 96.0 : 1.0;
}

void PaintNetwork(QPainter& painter, const QRectF& target, const NetworkScene& scene, const NetworkFrame& frame,
                  const NetworkPaintOptions& options)
{
    const double u = NetworkUnit(painter);
    const std::vector<NetworkPoint>& points = scene.Points();
    auto pixelOf = [&](int i) {
        const NetworkPoint& p = points[static_cast<std::size_t>(i)];
        return frame.ToPixel(p.X, p.Y, target);
    };

    painter.save();
    painter.setClipRect(target);
    painter.fillRect(target, c::PAPER);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFont font = NetworkFont();
    painter.setFont(font);

    // Sides: a block of lines at a time, from the stack.
    const GroundWindow sideWindow = WindowOf(target, frame, 2 * u);
    painter.setPen(QPen(c::SIDE, 1 * u));
    std::array<QLineF, 64> lines;
    for (const NetworkBlock& b : scene.SideBlocks()) {
        if (!sideWindow.Meets(b)) continue;
        int n = 0;
        for (int k = b.first; k < b.end; ++k) {
            const auto& [from, to] = scene.Sides()[static_cast<std::size_t>(k)];
            lines[static_cast<std::size_t>(n++)] = QLineF(pixelOf(from), pixelOf(to));
            if (n == static_cast<int>(lines.size())) painter.drawLines(lines.data(), n), n = 0;
        }
        if (n) painter.drawLines(lines.data(), n);
    }

    // Ellipses, only where they are larger than a pixel.
    double largestE = 0;
    for (const NetworkPoint& p : points) largestE = std::max(largestE, p.E);
    const double reach = EllipsePixels(largestE, scene, frame);
    if (reach >= 1) {
        const GroundWindow window = WindowOf(target, frame, reach);
        const QTransform base = painter.transform();
        painter.setPen(QPen(c::ELLIPSE, 1.5 * u));
        painter.setBrush(Qt::NoBrush);
        for (const NetworkBlock& b : scene.PointBlocks()) {
            if (!window.Meets(b)) continue;
            for (int i = b.first; i < b.end; ++i) {
                const NetworkPoint& p = points[static_cast<std::size_t>(i)];
                const double a = EllipsePixels(p.E, scene, frame);
                if (a < 1 || !window.Holds(p)) continue;
                const QPointF at = pixelOf(i);
                // phi turns clockwise from north (up); the painter's x axis is east,
                // and its rotation turns clockwise on the screen.
                painter.setTransform(QTransform().translate(at.x(), at.y()).rotate(p.phi - 90) * base);
                painter.drawEllipse(QPointF(0, 0), a, std::max(EllipsePixels(p.F, scene, frame), 0.5));
            }
        }
        painter.setTransform(base);
    }

    // Markers, then the names.
    const GroundWindow window = WindowOf(target, frame, 10 * u);
    const QFontMetricsF metrics(font, painter.device());
    NameRoom room(target, 6 * u);
    const double triangle = 6 * u, circle = 3.5 * u;
    for (const NetworkBlock& b : scene.PointBlocks()) {
        if (!window.Meets(b)) continue;
        for (int i = b.first; i < b.end; ++i) {
            const NetworkPoint& p = points[static_cast<std::size_t>(i)];
            if (!window.Holds(p)) continue;
            const QPointF at = pixelOf(i);
            painter.setPen(Qt::NoPen);
            if (p.known) {
                painter.setBrush(c::KNOWN);
                painter.drawPolygon(Triangle(at, triangle));
            } else {
                painter.setBrush(c::NEW_POINT);
                painter.drawEllipse(at, circle, circle);
            }
        }
    }
    if (const int w = scene.Weakest(); w >= 0) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(c::WEAKEST, 2 * u));
        painter.drawEllipse(pixelOf(w), 9 * u, 9 * u);
    }

    // Whether a name's box is clear of the sides, the ellipses and the
    // markers near it.
    auto clear = [&](const QRectF& box) {
        const GroundWindow ground = WindowOf(box, frame, std::max(reach, triangle) + 1);
        for (const NetworkBlock& b : scene.SideBlocks()) {
            if (!ground.Meets(b)) continue;
            for (int k = b.first; k < b.end; ++k) {
                const auto& [from, to] = scene.Sides()[static_cast<std::size_t>(k)];
                if (SegmentMeets(QLineF(pixelOf(from), pixelOf(to)), box)) return false;
            }
        }
        for (const NetworkBlock& b : scene.PointBlocks()) {
            if (!ground.Meets(b)) continue;
            for (int i = b.first; i < b.end; ++i) {
                const NetworkPoint& p = points[static_cast<std::size_t>(i)];
                const QPointF at = pixelOf(i);
                if (CircleMeets(at, triangle + u, box)) return false;
                const double a = EllipsePixels(p.E, scene, frame);
                if (a >= 1 && EllipseMeets(at, a, std::max(EllipsePixels(p.F, scene, frame), 0.5), p.phi, box)) return false;
            }
        }
        return true;
    };
    painter.setPen(c::NAME);
    const QRectF inside = target.adjusted(2 * u, 2 * u, -2 * u, -2 * u);
    const double gap = 8 * u;
    for (const NetworkBlock& b : scene.PointBlocks()) {
        if (!window.Meets(b)) continue;
        for (int i = b.first; i < b.end; ++i) {
            const NetworkPoint& p = points[static_cast<std::size_t>(i)];
            if (!window.Holds(p)) continue;
            const QPointF at = pixelOf(i);
            const QSizeF size(metrics.horizontalAdvance(p.name), metrics.height());
            const double w = size.width(), h = size.height();
            // the boxes beside the point, in the order they are tried: close
            // to it, then beyond its own ellipse
            const double far = std::max(gap, EllipsePixels(p.E, scene, frame) + 4 * u);
            const QRectF beside[] = {
                QRectF(at + QPointF(gap, -gap / 2 - h), size),  QRectF(at + QPointF(gap, gap / 2), size),
                QRectF(at + QPointF(-gap - w, -gap / 2 - h), size), QRectF(at + QPointF(-gap - w, gap / 2), size),
                QRectF(at + QPointF(-w / 2, -gap - h), size),   QRectF(at + QPointF(-w / 2, gap), size),
                QRectF(at + QPointF(far, -h / 2), size),        QRectF(at + QPointF(-far - w, -h / 2), size),
                QRectF(at + QPointF(-w / 2, -far - h), size),   QRectF(at + QPointF(-w / 2, far), size),
                QRectF(at + QPointF(far * 0.7, -far * 0.7 - h), size), QRectF(at + QPointF(far * 0.7, far * 0.7), size),
                QRectF(at + QPointF(-far * 0.7 - w, -far * 0.7 - h), size), QRectF(at + QPointF(-far * 0.7 - w, far * 0.7), size),
            };
            const QRectF* chosen = nullptr;
            for (const QRectF& box : beside)
                if (inside.contains(box) && (options.everyName || room.Fits(box)) && clear(box)) {
                    chosen = &box;
                    break;
                }
            if (!chosen)
                for (const QRectF& box : beside)
                    if (inside.contains(box) && (options.everyName || room.Fits(box))) {
                        chosen = &box;
                        break;
                    }
            if (!chosen && options.everyName) chosen = &beside[0];
            if (!chosen) continue;
            if (!options.everyName) room.Take(*chosen);
            Text(painter, QPointF(chosen->left(), chosen->top() + metrics.ascent()), p.name, options.textAsPaths);
        }
    }

    if (options.legend) Legend(painter, target, scene, u, options.textAsPaths), North(painter, target, u, options.textAsPaths);
    if (options.scaleBars) ScaleBars(painter, target, scene, frame, largestE, u, options.textAsPaths);
    painter.restore();
}

void PaintNetwork(QPainter& painter, const QRectF& target, const ChainListing& listing, const ChainResult& result,
                  const NetworkPaintOptions& options)
{
    const NetworkScene scene(listing, result);
    PaintNetwork(painter, target, scene, FitNetwork(scene, target, painter.device()), options);
}

QFont NetworkFont()
{
    QFont font(QString::fromUtf8(form::SONG));
    font.setPointSizeF(9);
    return font;
}

QSizeF NetworkNameRoom(const NetworkScene& scene, const QPaintDevice* device)
{
    const double u = device ? device->logicalDpiX() / 96.0 : 1.0;
    const QFontMetricsF metrics = device ? QFontMetricsF(NetworkFont(), device) : QFontMetricsF(NetworkFont());
    double widest = 0;
    for (const NetworkPoint& p : scene.Points()) widest = std::max(widest, metrics.horizontalAdvance(p.name));
    return {widest + 8 * u, metrics.height() + 4 * u};
}

NetworkFrame FitNetwork(const NetworkScene& scene, const QRectF& target, const QPaintDevice* device)
{
    const double u = device ? device->logicalDpiX() / 96.0 : 1.0;
    // the room kept for the legend and the scale bars: 40 px, less in a small
    // window, where it would leave the chain itself a few pixels
    const double margin = std::min(40 * u, std::min(target.width(), target.height()) / 10);
    return NetworkFrame::Fit(scene, target, margin, NetworkNameRoom(scene, device));
}
