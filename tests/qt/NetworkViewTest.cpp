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
#include <QSet>
#include <QWheelEvent>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <cmath>

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
        // the ring around the weakest station HalfCount(6) = 3
        const ListedPoint& weakest = run.listing.points[3];
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
    EXPECT_EQ(page, Render(scene, NetworkFrame::Fit(scene, QRectF(page.rect())), page.size()));
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
