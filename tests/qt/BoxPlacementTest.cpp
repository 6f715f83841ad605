// Where the boxes open: by the placement rule on made-up screens, and through
// the real window, never over the field of the value asked nor the diagrams.
#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "ChainAnswers.h"
#include "DialogAnswerer.h"
#include "ui/qt/BoxPlacement.h"
#include "ui/qt/ProgramWindow.h"

namespace {

const QRect SCREEN(0, 0, 1920, 1080);
const QRect WINDOW(100, 100, 961, 700);
const QRect DIAGRAMS(100, 130, 961, 170);
const QSize BOX(420, 130);

TEST(BoxPlacement, BesideTheWindowWhenTheScreenHasRoom)
{
    const QRect field(360, 400, 89, 19);
    const QPoint at = PlaceBox({SCREEN, WINDOW, field, DIAGRAMS}, BOX);
    EXPECT_EQ(at.x(), WINDOW.right() + 1 + 8);
    EXPECT_EQ(at.y() + BOX.height() / 2, field.center().y());  // level with the field
    // no room on the right: on the left
    const QRect right(SCREEN.width() - 1000, 100, 961, 700);
    const QPoint left = PlaceBox({SCREEN, right, field.translated(right.x() - 100, 0), DIAGRAMS}, BOX);
    EXPECT_EQ(left.x() + BOX.width() + 8, right.left());
}

TEST(BoxPlacement, OverTheFormFarFromTheFieldWhenTheWindowFillsTheScreen)
{
    const QRect screen(0, 0, 1000, 760), window(0, 0, 1000, 760), diagrams(0, 30, 1000, 170);
    for (const QRect& field : {QRect(260, 330, 89, 19), QRect(880, 600, 89, 19), QRect(600, 240, 240, 19)}) {
        const QRect box(PlaceBox({screen, window, field, diagrams}, BOX), BOX);
        EXPECT_FALSE(box.intersects(field)) << field.x() << "," << field.y();
        EXPECT_FALSE(box.intersects(diagrams));
        EXPECT_TRUE(screen.contains(box));
    }
    // a field low on the right sends the box to the upper left, below the diagrams
    const QRect box(PlaceBox({screen, window, QRect(880, 600, 89, 19), diagrams}, BOX), BOX);
    EXPECT_LT(box.center().x(), screen.center().x());
    EXPECT_GE(box.top(), diagrams.bottom());
}

QRect OnScreen(QWidget* w) { return {w->mapToGlobal(QPoint(0, 0)), w->size()}; }

TEST(BoxPlacement, TheRealBoxesLeaveTheAskedFieldAndTheDiagramsInView)
{
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    MainWindow& form = window.Form();
    DialogAnswerer at(ChainAnswers({.triangles = 2}));
    form.Button(1)->click();
    ASSERT_TRUE(form.State().LastRunCompleted);
    // the prompts of the values and their fields: Xa..Yd, the sides, the names
    const struct {
        const char* start;
        int field;
    } asked[] = {{"输入起始点 A 纵", 1}, {"输入起始点 A 横", 2}, {"输入闭合点 B 纵", 3}, {"输入闭合点 B 横", 4},
                 {"输入闭合点 C 纵", 5}, {"输入闭合点 C 横", 6}, {"请输入闭合点 D 纵", 7}, {"输入闭合点 D 横", 8},
                 {"输入S2", 11},         {"输入S3边", 10},       {"输入S4边", 11},         {"输入三角锁起始点 B", 17}};
    const QRect diagrams = form.DiagramsOnScreen();
    int checked = 0;
    for (int i = 0; i < at.Prompts().size(); ++i) {
        const QRect box = at.PromptFrames()[i];
        EXPECT_FALSE(box.intersects(diagrams)) << at.Prompts()[i].toStdString();
        for (const auto& a : asked) {
            if (!at.Prompts()[i].startsWith(QString::fromUtf8(a.start))) continue;
            EXPECT_FALSE(box.intersects(OnScreen(form.Field(a.field)))) << at.Prompts()[i].toStdString();
            // its confirmation too
            if (i + 1 < at.Prompts().size()) {
                EXPECT_FALSE(at.PromptFrames()[i + 1].intersects(OnScreen(form.Field(a.field))));
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 12);
}

TEST(BoxPlacement, ABoxTheOperatorMovedIsWhereTheNextOnesOpen)
{
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    DialogAnswerer at(ChainAnswers({.triangles = 2}));
    at.SetMoveFirstTo(QPoint(23, 41));
    window.Form().Button(1)->click();
    ASSERT_GE(at.PromptFrames().size(), 3);
    for (int i = 1; i < at.PromptFrames().size(); ++i) EXPECT_EQ(at.PromptFrames()[i].topLeft(), QPoint(23, 41)) << i;
}

}  // namespace

namespace {

TEST(Boxes, SpeakChineseAndShowTheirTitleWhole)
{
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QStringList buttons;
    int width = 0;
    DialogAnswerer at({"<CANCEL>"});
    at.SetBeforeAnswer([&](QWidget* box, int) {
        for (QPushButton* b : box->findChildren<QPushButton*>()) buttons << b->text();
        width = box->width();
    });
    window.Form().Button(1)->click();  // the narrow triangle-count box
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("确定")));
    EXPECT_TRUE(buttons.contains(QString::fromUtf8("取消")));
    EXPECT_GE(width, QFontMetrics(QApplication::font()).horizontalAdvance(QApplication::applicationName()) + 150);
    // Qt's own boxes and dialogs in Chinese too
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Save)->text(), QString::fromUtf8("保存"));
    EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QString::fromUtf8("否")));
}

}  // namespace
