// The window's files through the real window and its real boxes: open a
// complete, an incomplete and a bad observation file, save, every export,
// the journal of a run, and two windows at once.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QDialog>
#include <QDir>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QStatusBar>
#include <gtest/gtest.h>
#include <fstream>
#include <memory>
#include <sstream>

#include "ChainAnswers.h"
#include "DialogAnswerer.h"
#include "display/ReportComposer.h"
#include "files/Journal.h"
#include "files/ObservationFile.h"
#include "support/TestFolder.h"
#include "ui/qt/ProgramWindow.h"

namespace {

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

QStringList Fields(MainWindow& form)
{
    QStringList texts;
    for (int n = 1; n <= 29; ++n)
        if (QLineEdit* f = form.Field(n)) texts << f->text();
    return texts;
}

// The chain of the end-to-end test, typed through the boxes.
struct Typed {
    std::vector<std::string> answers = ChainAnswers({.triangles = 3});
    ProgramWindow window;
    Typed()
    {
        DialogAnswerer at(answers);
        window.Form().Button(1)->click();
    }
};

QAction* Action(QMenu* menu, const char* caption)
{
    for (QAction* a : menu->actions())
        if (a->text() == QString::fromUtf8(caption)) return a;
    return nullptr;
}

TEST(FilesWindow, ACompleteFileRunsWithoutABoxAndLeavesTheWindowAsTheTypedRun)
{
    const TestFolder folder;
    Typed typed;
    ASSERT_TRUE(typed.window.Form().State().LastRunCompleted);
    const std::string file = folder.File("chain.trilat");
    Write(file, WriteObservationFile(typed.window.Form().State().LastTyped));

    ProgramWindow opened;
    DialogAnswerer at({});
    at.SetSaveFile(QString::fromStdString(file));
    opened.OpenObservations();
    EXPECT_TRUE(at.Prompts().isEmpty()) << at.Prompts().join("\n").toStdString();
    EXPECT_TRUE(at.Messages().isEmpty()) << at.Messages().join("\n").toStdString();
    MainWindow& form = opened.Form();
    ASSERT_TRUE(form.State().LastRunCompleted);
    EXPECT_EQ(Fields(form), Fields(typed.window.Form()));
    EXPECT_TRUE(form.Button(3)->isEnabled());
    EXPECT_TRUE(opened.ExportMenu()->isEnabled());
    EXPECT_EQ(LayoutReportAsText(ComposeReport(form.State())),
              LayoutReportAsText(ComposeReport(typed.window.Form().State())));
}

TEST(FilesWindow, AFileOfTheCommandLineOpensAsOpenDoesAndNamesTheWindow)
{
    const TestFolder folder;
    Typed typed;
    const std::string file = folder.File("某某线.trilat");
    Write(file, WriteObservationFile(typed.window.Form().State().LastTyped));

    ProgramWindow opened;
    DialogAnswerer at({});
    EXPECT_TRUE(opened.OpenFile(QString::fromStdString(file)));
    EXPECT_TRUE(at.Prompts().isEmpty()) << at.Prompts().join("\n").toStdString();
    EXPECT_TRUE(opened.Form().State().LastRunCompleted);
    EXPECT_EQ(opened.windowTitle().toStdString(), "某某线.trilat — 端点为已知点的三边锁平差");
    // the weakest point's fields name it in their tips (P1 or P2 of the three triangles)
    const QString tip = opened.Form().Field(25)->toolTip();
    EXPECT_TRUE(tip.contains(QString::fromUtf8("\n最弱点：P"))) << tip.toStdString();
    EXPECT_FALSE(opened.OpenFile(QString::fromStdString(folder.File("none.trilat"))));
    EXPECT_EQ(at.Messages().size(), 1);
}

TEST(FilesWindow, ABoxAsksAboutAFieldTheFormHasScrolledIntoView)
{
    ProgramWindow window;
    window.resize(480, 320);  // the smallest window: the form scrolls
    window.show();
    QApplication::processEvents();
    auto* area = window.findChild<QScrollArea*>("FormArea");
    ASSERT_NE(area, nullptr);
    for (int n : {1, 8, 11, 19, 25, 29, 1}) {
        SCOPED_TRACE("Text" + std::to_string(n));
        window.Form().RevealField(n);
        QApplication::processEvents();
        const QLineEdit* f = window.Form().Field(n);
        const QRect inView(f->mapTo(area->viewport(), QPoint(0, 0)), f->size());
        EXPECT_TRUE(area->viewport()->rect().contains(inView)) << inView.x() << "," << inView.y();
    }
}

TEST(FilesWindow, TheProgramsOwnOptionsAnswerOnTheTerminal)
{
    const struct {
        const char* why;
        QStringList arguments;
        int status;
        const char* firstLine;  // of standard output, or of standard error for a refusal
    } rows[] = {
        {"help", {"--help"}, 0, "用法：trilat [观测文件]"},
        {"version", {"--version"}, 0, "trilat 1.0"},
        {"an unknown option", {"--bogus"}, 2, "trilat: 不认识的选项「--bogus」"},
        {"two files", {"a.trilat", "b.trilat"}, 2, "trilat: 一次只能打开一个观测文件"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        QProcess program;
        program.start(TRILAT_PROGRAM, row.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitCode(), row.status);
        const QByteArray out = row.status == 0 ? program.readAllStandardOutput() : program.readAllStandardError();
        EXPECT_EQ(QString::fromUtf8(out).split('\n').value(0).toStdString(), row.firstLine);
    }
}

TEST(FilesWindow, AnIncompleteFileAsksOnlyForTheRest)
{
    const TestFolder folder;
    Typed typed;
    const ObservationRecord& all = typed.window.Form().State().LastTyped;
    ObservationRecord part = all;
    part.values.resize(12);  // N, the eight coordinates, Tb, Qb, S2
    part.complete = false;
    const std::string file = folder.File("part.trilat");
    Write(file, WriteObservationFile(part));

    // the answers from S3 on: each value and its empty confirmation, then the display pacing
    std::vector<std::string> rest(typed.answers.begin() + 1 + 2 * 11, typed.answers.end());
    ProgramWindow opened;
    DialogAnswerer at(rest);
    at.SetSaveFile(QString::fromStdString(file));
    opened.OpenObservations();
    ASSERT_FALSE(at.Prompts().isEmpty());
    EXPECT_EQ(at.Prompts().front(), QString::fromUtf8("输入S3边 :"));
    EXPECT_EQ(at.Unanswered(), 0);
    ASSERT_TRUE(opened.Form().State().LastRunCompleted);
    EXPECT_EQ(Fields(opened.Form()), Fields(typed.window.Form()));
}

TEST(FilesWindow, ABadFileNamesItsLineAndChangesNothing)
{
    const TestFolder folder;
    Typed typed;
    MainWindow& form = typed.window.Form();
    const QStringList before = Fields(form);
    const std::string typedBefore = WriteObservationFile(form.State().LastTyped);
    const std::string file = folder.File("bad.trilat");
    Write(file, "trilat-observations 1\nN = 2\nXa = 0\nYa = abc\n");

    DialogAnswerer at({});
    at.SetSaveFile(QString::fromStdString(file));
    typed.window.OpenObservations();
    ASSERT_EQ(at.Messages().size(), 1);
    EXPECT_TRUE(at.Messages().front().contains(QString::fromUtf8("第 4 行"))) << at.Messages().front().toStdString();
    EXPECT_TRUE(at.Prompts().isEmpty());
    EXPECT_EQ(Fields(form), before);
    EXPECT_TRUE(form.State().LastRunCompleted);
    EXPECT_TRUE(form.Button(3)->isEnabled());
    EXPECT_EQ(WriteObservationFile(form.State().LastTyped), typedBefore);
}

TEST(FilesWindow, SaveWritesTheLastRunAlsoWhenItWasCancelled)
{
    const TestFolder folder;
    Typed typed;
    {
        DialogAnswerer save({});
        save.SetSaveFile(QString::fromStdString(folder.File("whole")));  // no extension typed
        typed.window.SaveObservations();
    }
    const std::string whole = Read(folder.File("whole.trilat"));
    EXPECT_EQ(whole, WriteObservationFile(typed.window.Form().State().LastTyped));
    EXPECT_EQ(typed.window.statusBar()->currentMessage(),
              QString::fromUtf8("观测数据已保存到 ") + QDir::toNativeSeparators(QString::fromStdString(folder.File("whole.trilat"))));
    EXPECT_EQ(whole.find("未完成"), std::string::npos);

    {  // a run cancelled at its fourth coordinate: what was typed so far
        std::vector<std::string> answers(typed.answers.begin(), typed.answers.begin() + 7);
        answers.push_back("<CANCEL>");
        DialogAnswerer at(answers);
        typed.window.Form().Button(1)->click();
    }
    {  // a run cancelled at its first prompt is no run: the one before it stays
        DialogAnswerer at({"<CANCEL>"});
        typed.window.Form().Button(1)->click();
    }
    DialogAnswerer again({});
    again.SetSaveFile(QString::fromStdString(folder.File("part.trilat")));
    typed.window.SaveObservations();
    auto read = ReadObservationFile(Read(folder.File("part.trilat")));
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read));
    const ObservationRecord& part = std::get<ObservationRecord>(read);
    EXPECT_FALSE(part.complete);
    EXPECT_EQ(part.values.size(), 4u);  // N, Xa, Ya, Xb
}

TEST(FilesWindow, EveryExportOfTheLastCompletedRun)
{
    const TestFolder folder;
    ProgramWindow fresh;
    EXPECT_FALSE(fresh.ExportMenu()->isEnabled());  // nothing before a completed run

    Typed typed;
    ASSERT_TRUE(typed.window.ExportMenu()->isEnabled());
    const struct {
        const char* caption;
        const char* file;
    } exports[] = {{"报告文本…", "report"}, {"报告 PDF…", "report"}, {"坐标 CSV…", "points"},
                   {"坐标 DAT…", "points"}, {"Gama XML…", "chain"}, {"网图 DXF…", "drawing"}};
    for (const auto& e : exports) {
        QAction* action = Action(typed.window.ExportMenu(), e.caption);
        ASSERT_NE(action, nullptr) << e.caption;
        DialogAnswerer at({});
        at.SetSaveFile(QString::fromStdString(folder.File(e.file)));
        action->trigger();
        EXPECT_TRUE(at.Messages().isEmpty()) << e.caption << ": " << at.Messages().join("\n").toStdString();
    }
    EXPECT_EQ(Read(folder.File("report.txt")), ReportAsText(ComposeReport(typed.window.Form().State())));
    EXPECT_EQ(Read(folder.File("report.pdf")).substr(0, 5), "%PDF-");
    EXPECT_EQ(Read(folder.File("points.csv")).substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(Read(folder.File("points.dat")).find("P1,,"), std::string::npos);
    EXPECT_NE(Read(folder.File("chain.xml")).find("<gama-local"), std::string::npos);
    EXPECT_NE(Read(folder.File("drawing.dxf")).find("AC1015"), std::string::npos);

    // 查看 → 计算过程: the steps of the run in a window of their own, exported as text
    QAction* steps = Action(typed.window.ViewMenu(), "计算过程(&S)");
    ASSERT_NE(steps, nullptr);
    steps->trigger();
    auto* shown = typed.window.findChild<QDialog*>("StepsWindow");
    ASSERT_NE(shown, nullptr);
    const QString text = shown->findChild<QPlainTextEdit*>()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("第 1 次线性化（在观测值处）"))) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("4. 条件方程 A·v + w = 0 的系数")));
    {
        DialogAnswerer at({});
        at.SetSaveFile(QString::fromStdString(folder.File("steps.txt")));
        for (QPushButton* b : shown->findChildren<QPushButton*>())
            if (b->text() == QString::fromUtf8("导出…")) b->click();
    }
    EXPECT_EQ(QString::fromStdString(Read(folder.File("steps.txt"))).split('\n').mid(2), text.split('\n').mid(2));
    shown->close();
}

TEST(FilesWindow, EachWindowKeepsAJournalOfItsOwnInTheUsersDataFolder)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_TRUE(data.startsWith(qEnvironmentVariable("XDG_DATA_HOME"))) << data.toStdString();
    const std::vector<std::string> answers = ChainAnswers({.triangles = 2});
    const std::vector<std::string> part(answers.begin(), answers.begin() + 9);  // N, Xa..Yb confirmed
    auto first = std::make_unique<ProgramWindow>();
    auto second = std::make_unique<ProgramWindow>();
    for (ProgramWindow* w : {first.get(), second.get()}) {
        std::vector<std::string> cancelled = part;
        cancelled.push_back("<CANCEL>");
        DialogAnswerer at(cancelled);
        w->Form().Button(1)->click();
    }
    // both journals are there, each held by its own window
    JournalFolder third;
    EXPECT_TRUE(third.TakeOrphans().empty());
    const QStringList journals = QDir(JournalFolder::Path()).entryList({"journal-*.trilat"});
    EXPECT_EQ(journals.size(), 2);

    // a window that goes leaves its journal for the next start
    second.reset();
    std::vector<JournalFolder::Orphan> orphans = third.TakeOrphans();
    ASSERT_EQ(orphans.size(), 1u);
    auto read = ReadJournal(Read(QFile::encodeName(orphans[0].path).toStdString()));
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read));
    EXPECT_EQ(std::get<ObservationRecord>(read).values.size(), 5u);
    JournalFolder::Discard(orphans[0]);

    // a completed run leaves none
    DialogAnswerer at(answers);
    first->Form().Button(1)->click();
    ASSERT_TRUE(first->Form().State().LastRunCompleted);
    EXPECT_TRUE(QDir(JournalFolder::Path()).entryList({"journal-*.trilat"}).isEmpty());
}

TEST(FilesWindow, ACutOffRunGoesOnFromTheMenuAndTheStartOfferNamesIt)
{
    const TestFolder folder;
    Typed straight;
    ProgramWindow window;
    QAction* goOn = window.FileMenu()->findChild<QAction*>("ContinueCutOffRun");
    ASSERT_NE(goOn, nullptr);
    EXPECT_EQ(goOn->text(), QString::fromUtf8("继续未完成的输入(&C)"));
    {  // Cancel at Yb, then 结束: the values so far stay
        std::vector<std::string> part(straight.answers.begin(), straight.answers.begin() + 7);
        part.push_back("<CANCEL>");
        DialogAnswerer at(part);
        window.Form().Button(1)->click();
    }
    ASSERT_FALSE(window.Form().State().LastRunCompleted);
    emit window.FileMenu()->aboutToShow();
    ASSERT_TRUE(goOn->isEnabled());
    {  // 文件 → 继续未完成的输入 asks from Yb on
        DialogAnswerer rest(std::vector<std::string>(straight.answers.begin() + 7, straight.answers.end()));
        goOn->trigger();
        EXPECT_EQ(rest.Unanswered(), 0);
        ASSERT_FALSE(rest.Prompts().isEmpty());
        EXPECT_TRUE(rest.Prompts().front().contains(QString::fromUtf8("B 横座标"))) << rest.Prompts().front().toStdString();
    }
    ASSERT_TRUE(window.Form().State().LastRunCompleted);
    EXPECT_EQ(Fields(window.Form()), Fields(straight.window.Form()));
    EXPECT_EQ(WriteObservationFile(window.Form().State().LastTyped),
              WriteObservationFile(straight.window.Form().State().LastTyped));
    emit window.FileMenu()->aboutToShow();
    EXPECT_FALSE(goOn->isEnabled());  // nothing left to go on with

    // a window that went with its run cut off: the next start names the run, and
    // 否 says where its values were kept
    {
        ProgramWindow gone;
        std::vector<std::string> part(straight.answers.begin(), straight.answers.begin() + 9);
        part.push_back("<CANCEL>");
        DialogAnswerer at(part);
        gone.Form().Button(1)->click();
    }
    ProgramWindow next;
    DialogAnswerer no({});  // Escape: 否
    next.OfferCutOffRuns();
    ASSERT_EQ(no.Messages().size(), 2) << no.Messages().join("\n").toStdString();
    const QString offer = no.Messages()[0];
    EXPECT_TRUE(offer.startsWith(QString::fromUtf8("上次有一次平差的输入没有完成：\nN = 3，5 个值，最后一次输入在 ")))
        << offer.toStdString();
    const QStringList kept = QDir(JournalFolder::Path()).entryList({QString::fromUtf8("未完成的输入-*.trilat")});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(no.Messages()[1].contains(kept[0]));
    EXPECT_TRUE(no.Messages()[1].contains(QDir::toNativeSeparators(JournalFolder::Path())));
    QFile::remove(JournalFolder::Path() + "/" + kept[0]);
}

}  // namespace
