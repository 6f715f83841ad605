// The window by keyboard: read-only fields take no focus, focus starts on
// 平差计算, Return and Space press the focused button, Alt shortcuts press the
// buttons, and a whole run goes from the first key to the last; closing the
// window while a box is open abandons the run and keeps what was typed.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "ChainAnswers.h"
#include "DialogAnswerer.h"
#include "files/Journal.h"
#include "ui/qt/ProgramWindow.h"

namespace {

struct Shown {
    ProgramWindow window;
    MainWindow& form = window.Form();
    Shown()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
};

TEST(Keyboard, FocusStartsOnTheAdjustmentButtonAndTabGoesFromButtonToButton)
{
    Shown s;
    EXPECT_EQ(QApplication::focusWidget(), s.form.Button(1));
    for (int n = 1; n <= 29; ++n) {
        if (QLineEdit* f = s.form.Field(n)) {
            EXPECT_EQ(f->focusPolicy(), Qt::NoFocus) << n;
        }
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), s.form.Button(2));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);  // 打印 is disabled before a run
    EXPECT_EQ(QApplication::focusWidget(), s.form.Button(2));
}

TEST(Keyboard, AWholeRunFromTheFirstKeyToTheLast)
{
    Shown s;
    {
        DialogAnswerer at(ChainAnswers({.triangles = 2}));  // it types each answer and presses Return
        ASSERT_EQ(QApplication::focusWidget(), s.form.Button(1));
        QTest::keyClick(s.form.Button(1), Qt::Key_Return);
        EXPECT_EQ(at.Unanswered(), 0);
    }
    ASSERT_TRUE(s.form.State().LastRunCompleted);
    EXPECT_EQ(s.form.Field(17)->text(), " P2");
    {  // Space presses the focused button, Alt+P the adjustment button from anywhere
        DialogAnswerer at({"<CANCEL>"});
        s.form.Button(1)->setFocus();
        QTest::keyClick(s.form.Button(1), Qt::Key_Space);
        EXPECT_EQ(at.Prompts().size(), 1);
    }
    {
        DialogAnswerer at({"<CANCEL>"});
        QApplication::setActiveWindow(&s.window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&s.window));
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused ? focused : &s.window, Qt::Key_P, Qt::AltModifier);
        EXPECT_EQ(at.Prompts().size(), 1);
    }
    EXPECT_FALSE(s.form.Button(1)->toolTip().isEmpty());
    EXPECT_EQ(s.window.menuBar()->actions().front()->text(), QString::fromUtf8("文件(&F)"));
}

TEST(Keyboard, ClosingTheWindowDuringARunAbandonsItAndKeepsWhatWasTyped)
{
    Shown s;
    bool closed = false;
    QObject::connect(&s.window, &QObject::destroyed, [&closed] { closed = true; });
    DialogAnswerer at(ChainAnswers({.triangles = 2}));
    at.SetAcceptMessages(true);
    at.SetMessageButton(QMessageBox::Yes);
    at.SetCloseAt(7, &s.window);  // at the prompt of Yb
    s.form.Button(1)->click();
    QTest::qWait(50);  // the window closes once the run is over
    EXPECT_FALSE(s.window.isVisible());
    ASSERT_FALSE(at.Messages().isEmpty());
    EXPECT_TRUE(at.Messages().front().contains(QString::fromUtf8("放弃")));
    EXPECT_FALSE(s.form.State().LastRunCompleted);
    EXPECT_EQ(s.form.State().LastTyped.values.size(), 4u);  // N, Xa, Ya, Xb
    const QStringList journals = QDir(JournalFolder::Path()).entryList({"journal-*.trilat"});
    EXPECT_EQ(journals.size(), 1);
}

}  // namespace
