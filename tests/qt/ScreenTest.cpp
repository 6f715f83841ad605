// The window on a 1280 x 1024 or 1024 x 768 screen at the scale the test runs at
// (QT_SCALE_FACTOR 1, 1.5, 2): it fits the screen, the form scrolls so that
// every button can be reached and a run started and finished, and a larger
// window keeps the form in its middle. TRILAT_SCREENSHOT=FILE saves a picture
// of the screen with the first confirmation box open. Every box's message
// stands whole on the screen, a Cancel's question among them.
#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "ChainAnswers.h"
#include "DialogAnswerer.h"
#include "ui/qt/ProgramWindow.h"

namespace {

TEST(Screen, TheWindowFitsAndEveryButtonCanBeReached)
{
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window.frameGeometry())) << screen.width() << "x" << screen.height();
    auto* area = window.findChild<QScrollArea*>("FormArea");
    ASSERT_NE(area, nullptr);
    for (int n = 1; n <= 3; ++n) {
        QPushButton* button = window.Form().Button(n);
        area->ensureWidgetVisible(button);
        const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
        EXPECT_TRUE(screen.contains(onScreen)) << "Command" << n;
        const QRect view(area->viewport()->mapToGlobal(QPoint(0, 0)), area->viewport()->size());
        EXPECT_TRUE(view.contains(onScreen)) << "Command" << n;
    }
    const QString picture = qEnvironmentVariable("TRILAT_SCREENSHOT");
    // Cancel once on the first value: the question box is shown and answered 继续输入
    std::vector<std::string> answers = ChainAnswers({.triangles = 2});
    answers.insert(answers.begin() + 1, {"<CANCEL>", "<继续输入>"});
    DialogAnswerer at(answers);
    if (!picture.isEmpty()) {
        at.SetBeforeAnswer([&window, picture](QWidget*, int index) {
            if (index != 6) return;  // the confirmation of Yb
            QTest::qWait(50);
            window.screen()->grabWindow(0).save(picture);
        });
    }
    QTest::keyClick(window.Form().Button(1), Qt::Key_Return);
    EXPECT_TRUE(window.Form().State().LastRunCompleted);
    // every box whole on the screen, its message wrapped where it would run off
    for (const QRect& box : at.PromptFrames()) EXPECT_TRUE(screen.contains(box)) << box.x() << "," << box.width();
    EXPECT_EQ(at.Questions().size(), 1);
    EXPECT_TRUE(at.CutMessages().isEmpty()) << at.CutMessages().join("\n").toStdString();
    // the run's windows of 查看 open whole on the screen too
    window.ShowResultsTable();
    window.ShowNetwork();
    window.ShowSteps();
    window.ShowObservationTable();
    QApplication::processEvents();
    int opened = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != &window && w->isVisible() && w->isWindow()) {
            ++opened;
            EXPECT_LE(w->width(), screen.width()) << w->windowTitle().toStdString();
            EXPECT_LE(w->height(), screen.height()) << w->windowTitle().toStdString();
        }
    EXPECT_EQ(opened, 4);
}

// A run that fails with a long message (the sign finder's, naming S4 of a
// chain typed with its left/right reversed): the message is wrapped whole,
// at every screen size and scale
TEST(Screen, AFailedRunsLongMessageStandsWhole)
{
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    std::vector<std::string> answers = ChainAnswers({.triangles = 3});
    std::string& s4 = answers[1 + 2 * 8 + 2 * 2 + 2 * 2];  // N, eight coordinates, Tb, Qb, S2, S3, then S4
    s4 = s4[0] == '-' ? s4.substr(1) : "-" + s4;
    DialogAnswerer at(answers);
    QTest::keyClick(window.Form().Button(1), Qt::Key_Return);
    EXPECT_FALSE(window.Form().State().LastRunCompleted);
    ASSERT_FALSE(at.Messages().isEmpty());
    EXPECT_TRUE(at.Messages().join("\n").contains("S4")) << at.Messages().join("\n").toStdString();
    EXPECT_TRUE(at.CutMessages().isEmpty()) << at.CutMessages().join("\n").toStdString();
}

// 帮助 → 使用说明: its text scrolls in a box that stands on the screen
TEST(Screen, TheManualStandsOnTheScreen)
{
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect screen = window.screen()->availableGeometry();
    QSize manual;
    QTimer::singleShot(100, [&manual] {
        if (QWidget* box = QApplication::activeModalWidget()) manual = box->frameGeometry().size(), box->close();
    });
    window.ShowManual();
    EXPECT_TRUE(manual.isValid());
    EXPECT_LE(manual.width(), screen.width());
    EXPECT_LE(manual.height(), screen.height());
}

TEST(Screen, ALargerWindowKeepsTheFormInItsMiddle)
{
    ProgramWindow window;
    window.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* area = window.findChild<QScrollArea*>("FormArea");
    const QWidget* viewport = area->viewport();
    const QWidget& form = window.Form();
    if (viewport->width() <= form.width() || viewport->height() <= form.height())
        GTEST_SKIP() << "the screen is smaller than the form at this scale";
    const QPoint formMiddle = form.mapTo(viewport, form.rect().center());
    EXPECT_LE(std::abs(formMiddle.x() - viewport->rect().center().x()), 1);
    EXPECT_LE(std::abs(formMiddle.y() - viewport->rect().center().y()), 1);
}

// A window larger than the form draws the whole form larger, as one picture:
// its proportions, each field's place and the fonts grow by one factor; it
// fills one dimension of the window and needs no scroll bar.
TEST(Screen, TheFormGrowsWithALargerWindow)
{
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    MainWindow& form = window.Form();
    const QSize own = form.size();
    const QRect xa = form.Field(1)->geometry();
    const double font = form.Field(1)->font().pointSizeF();
    window.showMaximized();
    QTest::qWait(100);
    auto* area = window.findChild<QScrollArea*>("FormArea");
    const QSize room = area->viewport()->size();
    if (room.width() <= own.width() || room.height() <= own.height())
        GTEST_SKIP() << "the screen is smaller than the form at this scale";
    const double zoom = form.Zoom();
    EXPECT_GT(zoom, 1.0);
    EXPECT_NEAR(form.width(), own.width() * zoom, 2);
    EXPECT_NEAR(form.height(), own.height() * zoom, 2);
    EXPECT_TRUE(form.width() >= room.width() - 2 || form.height() >= room.height() - 2);  // one dimension filled
    EXPECT_LE(form.width(), room.width());
    EXPECT_LE(form.height(), room.height());
    EXPECT_NEAR(form.Field(1)->geometry().left(), xa.left() * zoom, 2);
    EXPECT_NEAR(form.Field(1)->geometry().top(), xa.top() * zoom, 2);
    EXPECT_NEAR(form.Field(1)->width(), xa.width() * zoom, 2);
    EXPECT_NEAR(form.Field(1)->font().pointSizeF(), font * zoom, 0.01);
    // a run in the larger form: every box keeps clear of the field it asks about
    // Cancel once on the first value: the question box is shown and answered 继续输入
    std::vector<std::string> answers = ChainAnswers({.triangles = 2});
    answers.insert(answers.begin() + 1, {"<CANCEL>", "<继续输入>"});
    DialogAnswerer at(answers);
    QTest::keyClick(form.Button(1), Qt::Key_Return);
    EXPECT_TRUE(form.State().LastRunCompleted);
    // back to the form's own size in a small window
    window.showNormal();
    window.resize(400, 300);
    QTest::qWait(100);
    EXPECT_DOUBLE_EQ(form.Zoom(), 1.0);
}

}  // namespace
