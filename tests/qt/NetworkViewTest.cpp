// The drawing of the chain (网图) of a real run, rendered offscreen: the
// markers where the coordinates put them, the ellipses as large as E and F
// times the magnification and turned by phi, the zoom around the pointer, the
// drag, fit-to-window, and the PNG and SVG files.
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QWheelEvent>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <map>

#include "run/ListChain.h"
#include "run/AdjustmentRun.h"
#include "run/ScriptedPlatform.h"
#include "support/ChainGenerator.h"
#include "support/TestFolder.h"
#include "ui/qt/NetworkPainter.h"
#include "ui/qt/NetworkView.h"

namespace {

namespace c = network_colours;

// A completed run of a noisy chain, its listing and result as the window
// keeps them.
struct DrawnRun {
    ChainListing listing;
    ChainResult result;
};

DrawnRun CompleteRun(int triangles, chain::Closing closing)
{
    chain::ChainSpec spec;
    spec.triangles = triangles;
    spec.closing = closing;
    spec.noiseMm = 8;
    spec.sideScale = 400;
    spec.seed = 7;
    const chain::GeneratedChain generated = chain::GenerateChain(spec);
    ProgramState s;
    ScriptedPlatform platform(generated.answers);
    RunOutcome outcome = AdjustmentRun(s, platform);
    if (outcome.kind != RunOutcome::Completed) throw std::runtime_error("the test chain did not complete: " + outcome.reason);
    return {s.LastRun->listing, outcome.chain->result};
}

const DrawnRun& Azimuth()
{
    static const DrawnRun run = CompleteRun(6, chain::Closing::ExternalAzimuth);
    return run;
}

QImage Render(const NetworkScene& scene, const NetworkFrame& frame, QSize size = {900, 700})
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintNetwork(painter, QRectF(image.rect()), scene, frame);
    return image;
}

// The pixel that holds the point p.
QColor At(const QImage& image, const QPointF& p)
{
    return image.pixelColor(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

bool Reddish(const QColor& q) { return q.red() > 150 && q.green() < 110 && q.blue() < 110; }

// From the centre outward along the screen direction (dx, dy): the distance
// [px] to the middle of the outermost run of the ellipse's colour within
// `limit`.
double OutlineDistance(const QImage& image, const QPointF& centre, double dx, double dy, double limit)
{
    double first = -1, last = -1;
    for (double t = 5; t <= limit; t += 0.25) {
        const QPointF p = centre + QPointF(dx * t, dy * t);
        if (!QRectF(image.rect()).contains(p)) break;
        if (Reddish(At(image, p))) {
            if (last < 0 || t - last > 1.5) first = t;
            last = t;
        }
    }
    return first < 0 ? -1 : (first + last) / 2;
}

TEST(NetworkDrawing, EveryMarkerLiesWhereItsCoordinatesPutItInItsColour)
{
    for (chain::Closing closing : {chain::Closing::ExternalAzimuth, chain::Closing::PointD}) {
        const DrawnRun run = CompleteRun(6, closing);
        const NetworkScene scene(run.listing, run.result);
        const QRectF target(0, 0, 900, 700);
        const NetworkFrame frame = NetworkFrame::Fit(scene, target);
        const QImage image = Render(scene, frame);
        const std::size_t expected = run.listing.points.size() + (closing == chain::Closing::PointD ? 2 : 1);
        ASSERT_EQ(scene.Points().size(), expected) << "the listed points and A (and D)";
        ASSERT_EQ(scene.Sides().size(), run.listing.sides.size());
        for (const ListedPoint& p : run.listing.points) {
            const QPointF at = frame.ToPixel(p.X, p.Y, target);
            EXPECT_EQ(At(image, at), p.known ? c::KNOWN : c::NEW_POINT) << p.name << " at " << at.x() << ", " << at.y();
        }
        for (const ListedPoint& p : run.listing.knownPoints)
            EXPECT_EQ(At(image, frame.ToPixel(p.X, p.Y, target)), c::KNOWN) << p.name;
        // north up, east to the right
        const ListedPoint& b = run.listing.knownPoints[1];
        const ListedPoint& a = run.listing.knownPoints[0];
        const QPointF pa = frame.ToPixel(a.X, a.Y, target), pb = frame.ToPixel(b.X, b.Y, target);
        EXPECT_EQ(pb.x() > pa.x(), b.Y > a.Y);
        EXPECT_EQ(pb.y() < pa.y(), b.X > a.X);
        // the ring around the weakest point: the new point with the largest mp
        const ListedPoint* weakestPoint = nullptr;
        for (const ListedPoint& p : run.listing.points)
            if (!p.known && p.hasPrecision && (!weakestPoint || p.mp > weakestPoint->mp)) weakestPoint = &p;
        ASSERT_NE(weakestPoint, nullptr);
        const ListedPoint& weakest = *weakestPoint;
        ASSERT_EQ(scene.Points()[static_cast<std::size_t>(scene.Weakest())].name.toStdString(), weakest.name);
        EXPECT_EQ(At(image, frame.ToPixel(weakest.X, weakest.Y, target) + QPointF(0, 9)), c::WEAKEST);
    }
}

TEST(NetworkDrawing, EllipsesAreETimesTheMagnificationAlongPhiAndFAcrossIt)
{
    const NetworkScene scene(Azimuth().listing, Azimuth().result);
    const double M = scene.Magnification();
    EXPECT_EQ(M, RoundDown125(M)) << "a round factor";
    EXPECT_GE(M, 1000) << "ellipses of millimetres on sides of hundreds of metres";
    const QRectF target(0, 0, 900, 700);
    const NetworkFrame frame = NetworkFrame::Fit(scene, target);
    const QImage image = Render(scene, frame);

    int measured = 0;
    for (const NetworkPoint& p : scene.Points()) {
        if (p.known) {
            EXPECT_EQ(p.E, 0) << p.name.toStdString();
            continue;
        }
        const double a = EllipsePixels(p.E, scene, frame), b = EllipsePixels(p.F, scene, frame);
        EXPECT_GT(p.E, 0) << p.name.toStdString();
        if (b < 8) continue;  // the minor axis inside the marker
        const QPointF at = frame.ToPixel(p.X, p.Y, target);
        const double phi = p.phi * M_PI / 180;
        // E points at phi clockwise from north: on the screen (sin phi, -cos phi)
        EXPECT_NEAR(OutlineDistance(image, at, std::sin(phi), -std::cos(phi), a + 6), a, 1.5) << p.name.toStdString();
        EXPECT_NEAR(OutlineDistance(image, at, -std::sin(phi), std::cos(phi), a + 6), a, 1.5) << p.name.toStdString();
        EXPECT_NEAR(OutlineDistance(image, at, std::cos(phi), std::sin(phi), b + 6), b, 1.5) << p.name.toStdString();
        ++measured;
    }
    EXPECT_GE(measured, 2);
    // the largest ellipse spans at most half the median side, and at least a fifth
    double largest = 0;
    for (const NetworkPoint& p : scene.Points()) largest = std::max(largest, p.E);
    EXPECT_LE(largest / 1000 * M, 0.5 * 400 * 1.3);
    EXPECT_GE(largest / 1000 * M, 0.2 * 400 * 0.7);
}

TEST(NetworkDrawing, TheWholeChainFittedIntoARectangleIsTheScenesFittedFrame)
{
    const NetworkScene scene(Azimuth().listing, Azimuth().result);
    QImage page(600, 800, QImage::Format_RGB32);
    {
        QPainter painter(&page);
        PaintNetwork(painter, QRectF(page.rect()), Azimuth().listing, Azimuth().result);
    }
    EXPECT_EQ(page, Render(scene, FitNetwork(scene, QRectF(page.rect()), &page), page.size()));
}

// The azimuth chain with every point renamed to a long Chinese name.
DrawnRun LongNames()
{
    DrawnRun run = Azimuth();
    std::map<std::string, std::string> renamed;
    int n = 0;
    auto rename = [&](std::string& name) {
        if (!renamed.count(name)) renamed[name] = "长点名第" + std::to_string(++n) + "号站";
        name = renamed[name];
    };
    for (auto* list : {&run.listing.points, &run.listing.knownPoints})
        for (ListedPoint& p : *list) rename(p.name);
    for (ListedSide& s : run.listing.sides) rename(s.from), rename(s.to);
    return run;
}

// The words of a one-page PDF with their boxes [pt], from pdftotext -bbox.
std::vector<std::pair<QString, QRectF>> PdfWords(const QString& pdf)
{
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(20000));
    static const QRegularExpression word(
        R"re(<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">([^<]*)</word>)re");
    std::vector<std::pair<QString, QRectF>> words;
    for (auto m = word.globalMatch(QString::fromUtf8(p.readAllStandardOutput())); m.hasNext();) {
        const QRegularExpressionMatch w = m.next();
        words.push_back({w.captured(5), QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                               QPointF(w.captured(3).toDouble(), w.captured(4).toDouble()))});
    }
    return words;
}

// Whether the segment from a to b passes through r (sampled every 0.25 px).
bool Crosses(const QPointF& a, const QPointF& b, const QRectF& r)
{
    const double steps = std::max(1.0, QLineF(a, b).length() * 4);
    for (double i = 0; i <= steps; ++i)
        if (r.contains(a + (b - a) * (i / steps))) return true;
    return false;
}

TEST(NetworkDrawing, FittedTheNamesAndTheEllipsesStayInsideWhateverTheShape)
{
    // the rows: the shape of the target [px]
    const DrawnRun run = LongNames();
    const NetworkScene scene(run.listing, run.result);
    for (const QSize size : {QSize(900, 700), QSize(420, 320), QSize(300, 700), QSize(1200, 300)}) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        QImage image(size, QImage::Format_RGB32);
        NetworkPaintOptions options;
        options.legend = options.scaleBars = false;
        options.everyName = true;
        const NetworkFrame frame = FitNetwork(scene, QRectF(image.rect()), &image);
        {
            QPainter painter(&image);
            PaintNetwork(painter, QRectF(image.rect()), scene, frame, options);
        }
        // no ink in the outermost 3 px: no name, ellipse or marker cut at the edge
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if ((x < 3 || y < 3 || x >= image.width() - 3 || y >= image.height() - 3) &&
                    image.pixelColor(x, y) != c::PAPER)
                    ++inked;
        EXPECT_EQ(inked, 0);
        for (const NetworkPoint& p : scene.Points()) {
            const double a = EllipsePixels(p.E, scene, frame);
            const QPointF at = frame.ToPixel(p.X, p.Y, QRectF(image.rect()));
            for (const QPointF& edge : {at + QPointF(a, 0), at - QPointF(a, 0), at + QPointF(0, a), at - QPointF(0, a)})
                EXPECT_TRUE(QRectF(image.rect()).contains(edge)) << p.name.toStdString() << " with its ellipse";
        }
    }
}

TEST(NetworkDrawing, NamesStandClearOfTheSidesAndTheEllipsesWhereThereIsRoom)
{
    // the rows: the chain, the page [px at 96 DPI]; read back from the PDF
    const DrawnRun run = LongNames();
    struct Row {
        const char* label;
        const DrawnRun* run;
        QSizeF page;
    };
    for (const Row& row : {Row{"short names", &Azimuth(), {900, 700}}, Row{"long names", &run, {1100, 800}}}) {
        SCOPED_TRACE(row.label);
        const NetworkScene scene(row.run->listing, row.run->result);
        const TestFolder folder;
        const QString pdf = QString::fromStdString(folder.File("names.pdf"));
        NetworkFrame frame;
        {
            QPdfWriter writer(pdf);
            writer.setResolution(96);
            writer.setPageSize(QPageSize(row.page * 0.75, QPageSize::Point));
            writer.setPageMargins(QMarginsF());
            QPainter painter(&writer);
            const QRectF target(0, 0, writer.width(), writer.height());
            frame = FitNetwork(scene, target, &writer);
            NetworkPaintOptions options;
            options.legend = options.scaleBars = false;
            PaintNetwork(painter, target, scene, frame, options);
        }
        const QRectF target(QPointF(0, 0), row.page);
        QSet<QString> named;
        for (const auto& [word, points] : PdfWords(pdf)) {
            const QRectF box(points.topLeft() / 0.75, points.bottomRight() / 0.75);  // [px]
            named.insert(word);
            EXPECT_TRUE(target.contains(box)) << word.toStdString();
            for (const auto& [from, to] : scene.Sides()) {
                const NetworkPoint &a = scene.Points()[static_cast<std::size_t>(from)], &b = scene.Points()[static_cast<std::size_t>(to)];
                EXPECT_FALSE(Crosses(frame.ToPixel(a.X, a.Y, target), frame.ToPixel(b.X, b.Y, target), box))
                    << word.toStdString() << " crossed by " << a.name.toStdString() << "-" << b.name.toStdString();
            }
            // no point of an ellipse's outline in the box, nor the box inside an ellipse
            for (const NetworkPoint& p : scene.Points()) {
                const double a = EllipsePixels(p.E, scene, frame), b = EllipsePixels(p.F, scene, frame);
                if (a < 1) continue;
                const QPointF at = frame.ToPixel(p.X, p.Y, target);
                const double turn = (p.phi - 90) * M_PI / 180;  // clockwise on the screen
                bool on = false;
                for (double t = 0; t < 2 * M_PI; t += 0.01) {
                    const double x = a * std::cos(t), y = b * std::sin(t);
                    on = on || box.contains(at + QPointF(x * std::cos(turn) - y * std::sin(turn), x * std::sin(turn) + y * std::cos(turn)));
                }
                const QPointF d = box.center() - at;
                const double u = d.x() * std::cos(turn) + d.y() * std::sin(turn), v = -d.x() * std::sin(turn) + d.y() * std::cos(turn);
                on = on || (u / a) * (u / a) + (v / b) * (v / b) < 1;
                EXPECT_FALSE(on) << word.toStdString() << " on the ellipse of " << p.name.toStdString();
            }
        }
        for (const NetworkPoint& p : scene.Points()) EXPECT_TRUE(named.contains(p.name)) << p.name.toStdString();
    }
}

TEST(NetworkDrawing, OnAPdfPageTheNamesAreTextAndTheMarkersKeepTheirSizeOnPaper)
{
    const TestFolder folder;
    const QString pdf = QString::fromStdString(folder.File("网图.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(1200);
        QPainter painter(&writer);
        EXPECT_DOUBLE_EQ(NetworkUnit(painter), 12.5);
        PaintNetwork(painter, QRectF(0, 0, writer.width(), writer.height()), Azimuth().listing, Azimuth().result);
    }
    QProcess text;
    text.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const ListedPoint& p : Azimuth().listing.points)
        EXPECT_TRUE(printed.contains(QString::fromStdString(p.name))) << p.name << " in\n" << printed.toStdString();
    EXPECT_TRUE(printed.contains(QString::fromUtf8("最弱点"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QString::fromUtf8("误差椭圆"))) << printed.toStdString();
}

TEST(NetworkDrawing, RoundFactors)
{
    EXPECT_EQ(RoundDown125(1), 1);
    EXPECT_EQ(RoundDown125(1.99), 1);
    EXPECT_EQ(RoundDown125(2), 2);
    EXPECT_EQ(RoundDown125(4999), 2000);
    EXPECT_EQ(RoundDown125(5000), 5000);
    EXPECT_DOUBLE_EQ(RoundDown125(0.3), 0.2);
}

struct ShownView {
    NetworkView* view;
    ShownView() : view(new NetworkView(Azimuth().listing, Azimuth().result))
    {
        view->resize(900, 700);
        view->show();
        QApplication::processEvents();
    }
    ~ShownView() { view->close(); }  // deletes itself
    NetworkCanvas& Canvas() { return view->Canvas(); }
    QRectF Target() { return QRectF(Canvas().rect()); }
    bool EveryPointInside()
    {
        const QRectF inside = Target().adjusted(10, 10, -10, -10);
        for (const NetworkPoint& p : Canvas().Scene().Points())
            if (!inside.contains(Canvas().Frame().ToPixel(p.X, p.Y, Target()))) return false;
        return true;
    }
    // The share of the canvas's width or height (the larger) the points span.
    double Filled()
    {
        QRectF span;
        for (const NetworkPoint& p : Canvas().Scene().Points())
            span |= QRectF(Canvas().Frame().ToPixel(p.X, p.Y, Target()), QSizeF(1e-9, 1e-9));
        return std::max(span.width() / Target().width(), span.height() / Target().height());
    }
};

void Wheel(QWidget& w, QPointF at, int delta)
{
    QWheelEvent event(at, w.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &event);
}

void Mouse(QWidget& w, QEvent::Type type, QPointF at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, w.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

TEST(NetworkWindow, TheWheelZoomsAroundThePointerAndADragMovesTheGroundWithIt)
{
    ShownView shown;
    EXPECT_EQ(shown.view->windowTitle(), QString::fromUtf8("网图"));
    NetworkCanvas& canvas = shown.Canvas();
    const QPointF pointer(610, 230);
    const QPointF under = canvas.Frame().ToGround(pointer, shown.Target());
    const double scale = canvas.Frame().scale;
    Wheel(canvas, pointer, 240);
    EXPECT_NEAR(canvas.Frame().scale, scale * 1.25 * 1.25, 1e-9 * scale);
    const QPointF after = canvas.Frame().ToGround(pointer, shown.Target());
    EXPECT_NEAR(after.x(), under.x(), 1e-6);
    EXPECT_NEAR(after.y(), under.y(), 1e-6);
    Wheel(canvas, QPointF(100, 500), -120);
    EXPECT_NEAR(canvas.Frame().scale, scale * 1.25, 1e-9 * scale);

    const QPointF from(300, 300), to(420, 250);
    const QPointF grabbed = canvas.Frame().ToGround(from, shown.Target());
    Mouse(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseButtonRelease, to, Qt::NoButton);
    const QPointF dropped = canvas.Frame().ToGround(to, shown.Target());
    EXPECT_NEAR(dropped.x(), grabbed.x(), 1e-6);
    EXPECT_NEAR(dropped.y(), grabbed.y(), 1e-6);
}

TEST(NetworkWindow, ItOpensFittedAndTheFitButtonShowsEveryPointAgain)
{
    ShownView shown;
    EXPECT_TRUE(shown.EveryPointInside());
    Wheel(shown.Canvas(), QPointF(200, 200), 120 * 6);
    EXPECT_FALSE(shown.EveryPointInside());
    shown.view->findChild<QPushButton*>("fit")->click();
    EXPECT_TRUE(shown.EveryPointInside());
    // a fitted drawing follows the window's size
    shown.view->resize(500, 900);
    QApplication::processEvents();
    EXPECT_TRUE(shown.EveryPointInside());
    // a small window (1024 x 768 at scale 2 leaves about 340 x 250): the room
    // kept for the legend and the scale bars does not shrink the chain to a dot
    shown.view->resize(340, 250);
    QApplication::processEvents();
    EXPECT_TRUE(shown.EveryPointInside());
    EXPECT_GE(shown.Filled(), 0.4);
}

void Key(QWidget& w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&w, &press);
}

TEST(NetworkWindow, KeysZoomAroundTheMiddleMoveByATenthAndCtrl0Fits)
{
    ShownView shown;
    NetworkCanvas& canvas = shown.Canvas();
    const QRectF target = shown.Target();
    const double scale = canvas.Frame().scale;
    const QPointF middle = canvas.Frame().ToGround(target.center(), target);
    struct Row {
        const char* label;
        int key;
        Qt::KeyboardModifiers modifiers;
        double scaleFactor;  // of the scale before the key
        QPointF moved;       // [px] where the ground under the middle went
    };
    const double dx = target.width() / 10, dy = target.height() / 10;
    const Row rows[] = {
        {"+", Qt::Key_Plus, Qt::NoModifier, 1.25, {0, 0}},       {"=", Qt::Key_Equal, Qt::NoModifier, 1.25, {0, 0}},
        {"-", Qt::Key_Minus, Qt::NoModifier, 0.8, {0, 0}},       {"left", Qt::Key_Left, Qt::NoModifier, 1, {dx, 0}},
        {"right", Qt::Key_Right, Qt::NoModifier, 1, {-dx, 0}},   {"up", Qt::Key_Up, Qt::NoModifier, 1, {0, dy}},
        {"down", Qt::Key_Down, Qt::NoModifier, 1, {0, -dy}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const NetworkFrame before = canvas.Frame();
        const QPointF ground = before.ToGround(target.center(), target);
        Key(canvas, row.key, row.modifiers);
        EXPECT_NEAR(canvas.Frame().scale, before.scale * row.scaleFactor, 1e-9 * before.scale);
        const QPointF now = canvas.Frame().ToPixel(ground.x(), ground.y(), target);
        EXPECT_NEAR(now.x(), target.center().x() + row.moved.x(), 1e-6);
        EXPECT_NEAR(now.y(), target.center().y() + row.moved.y(), 1e-6);
    }
    Key(canvas, Qt::Key_Plus);
    Key(canvas, Qt::Key_Plus);
    Key(canvas, Qt::Key_Plus);
    EXPECT_FALSE(shown.EveryPointInside());
    Key(canvas, Qt::Key_0, Qt::ControlModifier);
    EXPECT_TRUE(shown.EveryPointInside());
    EXPECT_NEAR(canvas.Frame().scale, scale, 1e-9 * scale);
    const QPointF again = canvas.Frame().ToGround(target.center(), target);
    EXPECT_NEAR(again.x(), middle.x(), 1e-6);
    EXPECT_NEAR(again.y(), middle.y(), 1e-6);
}

TEST(NetworkWindow, PngAtAChosenWidthAndResolution)
{
    const TestFolder folder;
    ShownView shown;
    const QSize canvas = shown.Canvas().size();
    struct Row {
        const char* label;
        int width;    // [px], 0: the canvas's
        double dpi;
        QSize size;   // expected [px]
        double unit;  // markers and text this many times their screen size
    };
    const Row rows[] = {
        {"as shown", 0, 96, canvas, 1},
        {"twice as wide at 192 DPI", canvas.width() * 2, 192, canvas * 2, 2},
        {"300 DPI, three times as wide", canvas.width() * 3, 300, canvas * 3, 300 / 96.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const QString png = QString::fromStdString(folder.File(std::string(row.label) + ".png"));
        ASSERT_EQ(shown.view->ExportPng(png, row.width, row.dpi), QString());
        const QImage image(png);
        ASSERT_EQ(image.size(), row.size);
        EXPECT_NEAR(image.dotsPerMeterX() * 0.0254, row.dpi, 0.5);
        // every marker where the view shows it, scaled with the image, in its colour
        const double factor = static_cast<double>(row.size.width()) / canvas.width();
        for (const NetworkPoint& p : shown.Canvas().Scene().Points()) {
            const QPointF at = shown.Canvas().Frame().ToPixel(p.X, p.Y, shown.Target()) * factor;
            EXPECT_EQ(At(image, at), p.known ? c::KNOWN : c::NEW_POINT) << p.name.toStdString();
            // a circle 3.5 px in radius at 96 DPI: filled 2 units out whatever the resolution
            if (!p.known) {
                EXPECT_EQ(At(image, at + QPointF(2 * row.unit, 0)), c::NEW_POINT) << p.name.toStdString();
            }
        }
    }
}

TEST(NetworkWindow, SvgNamesAFaceListEndingInAGenericFamilyOrDrawsTheTextAsPaths)
{
    const TestFolder folder;
    ShownView shown;
    struct Row {
        const char* label;
        bool paths;
        bool texts;  // <text> elements expected
    };
    for (const Row& row : {Row{"text", false, true}, Row{"paths", true, false}}) {
        SCOPED_TRACE(row.label);
        const QString svg = QString::fromStdString(folder.File(std::string(row.label) + ".svg"));
        ASSERT_EQ(shown.view->ExportSvg(svg, row.paths), QString());
        QFile file(svg);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        int texts = 0, paths = 0;
        QSet<QString> families;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) continue;
            texts += xml.name() == QStringLiteral("text");
            paths += xml.name() == QStringLiteral("path");
            if (xml.attributes().hasAttribute("font-family")) families.insert(xml.attributes().value("font-family").toString());
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(texts > 0, row.texts) << texts;
        for (const QString& f : families) {
            EXPECT_EQ(f.toStdString(), "Noto Serif CJK SC, AR PL UMing CN, AR PL SungtiL GB, serif");
            EXPECT_TRUE(f.endsWith(", serif"));
        }
        if (row.texts) {
            EXPECT_FALSE(families.isEmpty());
        } else {
            EXPECT_GT(paths, static_cast<int>(shown.Canvas().Scene().Points().size()));  // an outline a name at least
        }
    }
}

TEST(NetworkWindow, PngAndSvgExportsAreReadableAndHoldTheDrawing)
{
    const TestFolder folder;
    ShownView shown;
    const QString png = QString::fromStdString(folder.File("网图.png"));
    const QString svg = QString::fromStdString(folder.File("网图.svg"));
    ASSERT_EQ(shown.view->ExportPng(png), QString());
    ASSERT_EQ(shown.view->ExportSvg(svg), QString());

    QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), shown.Canvas().size());
    for (const NetworkPoint& p : shown.Canvas().Scene().Points())
        EXPECT_EQ(At(image, shown.Canvas().Frame().ToPixel(p.X, p.Y, shown.Target())), p.known ? c::KNOWN : c::NEW_POINT);

    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QSet<QString> texts;
    bool isSvg = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QStringLiteral("svg")) isSvg = true;
        if (xml.isStartElement() && xml.name() == QStringLiteral("text")) texts.insert(xml.readElementText().trimmed());
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(isSvg);
    for (const NetworkPoint& p : shown.Canvas().Scene().Points()) EXPECT_TRUE(texts.contains(p.name)) << p.name.toStdString();

    EXPECT_NE(shown.view->ExportPng(QString::fromStdString(folder.File("no-such-folder/网图.png"))), QString());
    EXPECT_NE(shown.view->ExportSvg(QString::fromStdString(folder.File("no-such-folder/网图.svg"))), QString());
}

}  // namespace
