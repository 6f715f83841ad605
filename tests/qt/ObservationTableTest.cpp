// 观测数据 through the real window: edits checked with the dialogue's reasons,
// a wrong sign mended and adjusted again to the run typed right, undo and
// redo, N changed, a field book's sides pasted, the keyboard's order, and the
// journal after a kill in the middle of editing. The expected figures are
// those of the run typed right through the boxes.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QDir>
#include <QLabel>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>
#include <gtest/gtest.h>
#include <csignal>
#include <fstream>
#include <memory>
#include <sstream>

#include "ChainAnswers.h"
#include "DialogAnswerer.h"
#include "display/ReportComposer.h"
#include "display/ReportText.h"
#include "files/Journal.h"
#include "files/ObservationFile.h"
#include "files/SheetCheck.h"
#include "support/ChainGenerator.h"
#include "support/TestFolder.h"
#include "ui/qt/ObservationTable.h"
#include "ui/qt/ObservationTableModel.h"
#include "ui/qt/ObservationTableView.h"
#include "ui/qt/ProgramWindow.h"

namespace {

// The journals a test leaves (a table edited and not adjusted keeps its
// values there for the next start) are removed before and after it.
struct NoJournalsLeft {
    NoJournalsLeft() { Clear(); }
    ~NoJournalsLeft() { Clear(); }
    static void Clear()
    {
        QDir folder(JournalFolder::Path());
        for (const QString& name : folder.entryList({"journal-*.trilat", "journal-*.lock"})) folder.remove(name);
    }
};

// Six triangles closing on C with an external azimuth, sides with 3 mm of noise.
chain::GeneratedChain Chain(int triangles = 6)
{
    chain::ChainSpec spec;
    spec.triangles = triangles;
    spec.closing = chain::Closing::ExternalAzimuth;
    spec.noiseMm = 3;
    spec.seed = 21;
    return chain::GenerateChain(spec);
}

// The answer that types side n of a chain without D: N, eight coordinates and
// Tb, Qb come first, each value with its confirmation.
std::size_t SideAnswer(int n) { return 1 + 2 * 10 + 2 * static_cast<std::size_t>(n - 2); }

std::string Flipped(const std::string& side) { return side[0] == '-' ? side.substr(1) : "-" + side; }

QStringList Fields(MainWindow& form)
{
    QStringList texts;
    for (int n = 1; n <= 29; ++n)
        if (QLineEdit* f = form.Field(n)) texts << f->text();
    return texts;
}

std::vector<std::string> Report(const MainWindow& form) { return LayoutReportAsText(ComposeReport(form.State())); }

// A program window that ran the answers through its boxes.
struct Typed {
    ProgramWindow window;
    QStringList messages;
    explicit Typed(const std::vector<std::string>& answers)
    {
        DialogAnswerer at(answers);
        at.SetAcceptMessages(true);
        window.Form().Button(1)->click();
        messages = at.Messages();
    }
    MainWindow& Form() { return window.Form(); }
};

ObservationTable& TableOf(ProgramWindow& window)
{
    window.ShowObservationTable();
    QApplication::processEvents();
    return *window.Observations();
}

// Types text into a cell of the value column as the surveyor does: the cell
// made current, its editor opened, the text in, Enter.
void TypeInto(ObservationTable& table, Slot slot, const std::string& text)
{
    table.GoTo(slot);
    QApplication::processEvents();
    ObservationTableView* view = table.View();
    view->edit(view->currentIndex());
    QWidget* focus = QApplication::focusWidget();
    if (!focus || !view->viewport()->isAncestorOf(focus)) {  // the window not active: the open editor
        focus = view->viewport()->findChild<QComboBox*>("ValueList");
        if (!focus) focus = view->viewport()->findChild<QLineEdit*>();
    }
    auto* list = qobject_cast<QComboBox*>(focus);  // a value from a list, or typed into its line
    auto* editor = list ? list->lineEdit() : qobject_cast<QLineEdit*>(focus);
    ASSERT_NE(editor, nullptr) << SlotLabel(slot);
    editor->setText(QString::fromStdString(text));
    QTest::keyClick(focus, Qt::Key_Return);
    QApplication::processEvents();  // rows that came or went
}

// Keys typed one by one, each to the widget with the focus (the first opens
// the cell's editor, the others go into it).
void Keys(const std::string& text)
{
    for (char c : text) {
        ASSERT_NE(QApplication::focusWidget(), nullptr) << "typing " << text;
        QTest::keyClick(QApplication::focusWidget(), c);
    }
}

// The label of the current cell, with "/左右" for a 左/右 cell.
std::string CurrentCell(ObservationTable& table)
{
    const QModelIndex at = table.View()->currentIndex();
    const SheetRow* row = table.Model()->RowAt(at.row());
    if (!row) return "?";
    return row->label + (at.column() == ObservationTableModel::SideColumn ? "/左右" : "");
}

int RowsOf(const ObservationSheet& sheet, SheetGroup group)
{
    int n = 0;
    for (const SheetRow& row : sheet.Rows()) n += row.group == group;
    return n;
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(ObservationTable, AnEditIsRefusedWithTheDialoguesReason)
{
    const NoJournalsLeft clean;
    const chain::GeneratedChain chain = Chain();
    // the dialogue's reasons, as its boxes give them
    std::vector<std::string> answers = chain.answers;
    answers.insert(answers.begin() + 3, {"3456007,04"});  // Ya, refused, then typed right
    const std::size_t s5 = SideAnswer(5) + 1;
    const std::string rightS5 = answers[s5];
    answers[s5] = "50000";  // triangle 2 cannot be formed: S4 and S5 are asked again
    answers.insert(answers.begin() + static_cast<std::ptrdiff_t>(s5) + 2,
                   {answers[s5 - 2], "", rightS5, ""});
    Typed typed(answers);
    ASSERT_TRUE(typed.Form().State().LastRunCompleted);
    ASSERT_EQ(typed.messages.size(), 2) << typed.messages.join("\n").toStdString();

    ObservationTable& table = TableOf(typed.window);
    TypeInto(table, {SlotKind::Coordinate, 1}, "3456007,04");
    const std::string* notANumber = table.Model()->Check().ReasonFor({SlotKind::Coordinate, 1});
    ASSERT_NE(notANumber, nullptr);
    EXPECT_EQ(QString::fromStdString(*notANumber), typed.messages[0]);
    EXPECT_EQ(*notANumber, "输入的不是数字，请重新输入一个数值（例如 1234.567）");
    EXPECT_EQ(table.Model()->index(table.Model()->RowOf({SlotKind::Coordinate, 1}), ObservationTableModel::CheckColumn)
                  .data()
                  .toString()
                  .toStdString(),
              *notANumber);  // beside the cell

    TypeInto(table, {SlotKind::Side, 5}, "50000");
    const std::string* triangle = table.Model()->Check().ReasonFor({SlotKind::Side, 5});
    ASSERT_NE(triangle, nullptr);
    EXPECT_TRUE(typed.messages[1].startsWith(QString::fromStdString(*triangle) + QString::fromUtf8("。请重新输入 S4 和 S5")))
        << typed.messages[1].toStdString() << "\n" << *triangle;
    // the adjustment is not started while a value is refused: the first one is made current
    table.AdjustButton()->click();
    EXPECT_EQ(CurrentCell(table), "Ya");
    EXPECT_TRUE(typed.Form().State().LastRunCompleted);
}

// One table of edits, from the chain typed right, each with what the table
// shows after it.
TEST(ObservationTable, EditsAndWhatTheTableShowsAfterEach)
{
    const NoJournalsLeft clean;
    const chain::GeneratedChain chain = Chain();
    Typed typed(chain.answers);
    ASSERT_TRUE(typed.Form().State().LastRunCompleted);
    ObservationTable& table = TableOf(typed.window);
    const auto& a = chain.answers;
    const std::string S3 = a[SideAnswer(3)], S4 = a[SideAnswer(4)], S13 = a[SideAnswer(13)];
    const std::string S4mag = S4[0] == '-' ? S4.substr(1) : S4;
    ASSERT_EQ(S4[0] == '-', chain.signs[2] < 0);

    enum Kind { Look, Type, Space, Undo, Redo };
    const struct Row {
        const char* why;
        Kind kind;
        Slot slot;
        std::string text;     // typed
        Slot shown;           // the slot whose value and reason are checked
        std::string value;    // its value as the record holds it
        std::string reason;   // beside it; empty: none
        int sides, names;     // rows of the sides and of the names
        bool ready;
    } rows[] = {
        {"the chain as typed", Look, {}, "", {SlotKind::Count, 0}, "6", "", 12, 7, true},
        {"Ya not a number", Type, {SlotKind::Coordinate, 1}, "3456007,04", {SlotKind::Coordinate, 1}, "3456007,04",
         "输入的不是数字，请重新输入一个数值（例如 1234.567）", 12, 7, false},
        {"undone", Undo, {}, "", {SlotKind::Coordinate, 1}, a[3], "", 12, 7, true},
        {"redone", Redo, {}, "", {SlotKind::Coordinate, 1}, "3456007,04",
         "输入的不是数字，请重新输入一个数值（例如 1234.567）", 12, 7, false},
        {"undone again", Undo, {}, "", {SlotKind::Coordinate, 1}, a[3], "", 12, 7, true},
        {"Tb with 60 minutes", Type, {SlotKind::Azimuth, 0}, "55.6000", {SlotKind::Azimuth, 0}, "55.6000",
         "角度按 度.分秒 输入（例如 123.4530 为 123°45′30″），分和秒必须小于 60，请重新输入", 12, 7, false},
        {"Tb zero with an orientation angle: at Qb", Type, {SlotKind::Azimuth, 0}, "0", {SlotKind::Orientation, 0},
         a[19], "没有外方位角( 输入零 )时定向角也必须输入零，请重新输入外方位角和定向角", 12, 7, false},
        {"Tb as typed", Type, {SlotKind::Azimuth, 0}, a[17], {SlotKind::Orientation, 0}, a[19], "", 12, 7, true},
        {"Xd alone: refused at Yd, still no D", Type, {SlotKind::Coordinate, 6}, "5", {SlotKind::Coordinate, 7}, "0",
         "D 点的纵、横座标必须都不为零；没有 D 点时请都输入零( 0 )，请重新输入 D 点座标", 12, 7, false},
        {"Xd back to zero", Type, {SlotKind::Coordinate, 6}, "0", {SlotKind::Coordinate, 7}, "0", "", 12, 7, true},
        {"S3 too short for triangle 2: on its three sides", Type, {SlotKind::Side, 3}, "1", {SlotKind::Side, 4}, S4,
         "第2个三角形 (S3=1, S4=" + S4 + ", S5=" + a[SideAnswer(5)] + ") 的三条边不能构成三角形", 12, 7, false},
        {"S3 as typed", Type, {SlotKind::Side, 3}, S3, {SlotKind::Side, 4}, S4, "", 12, 7, true},
        {"S4's side turned with Space", Space, {SlotKind::Side, 4}, "", {SlotKind::Side, 4}, Flipped(S4), "", 12, 7,
         true},
        {"S4 typed with a sign takes the sign's side", Type, {SlotKind::Side, 4}, "-" + S4mag, {SlotKind::Side, 4},
         "-" + S4mag, "", 12, 7, true},
        {"S4 typed without a sign keeps its side", Type, {SlotKind::Side, 4}, S4mag, {SlotKind::Side, 4}, "-" + S4mag,
         "", 12, 7, true},
        {"Space turns it back", Space, {SlotKind::Side, 4}, "", {SlotKind::Side, 4}, S4mag, "", 12, 7, true},
        {"S4 as typed", Type, {SlotKind::Side, 4}, S4, {SlotKind::Side, 4}, S4, "", 12, 7, true},
        {"N = 7 adds a triangle at the end", Type, {SlotKind::Count, 0}, "7", {SlotKind::Side, 13}, S13, "", 14, 8,
         false},
        {"N = 5 removes triangles at the end", Type, {SlotKind::Count, 0}, "5", {SlotKind::Side, 11},
         a[SideAnswer(11)], "", 10, 6, true},
        {"N undone: 7", Undo, {}, "", {SlotKind::Side, 13}, S13, "", 14, 8, false},
        {"N undone: 6, every side as typed", Undo, {}, "", {SlotKind::Side, 13}, S13, "", 12, 7, true},
        {"N = 0 out of range", Type, {SlotKind::Count, 0}, "0", {SlotKind::Count, 0}, "0",
         "三角形个数必须是 1 到 16382 之间的整数，请重新输入", 0, 0, false},
        {"N back", Undo, {}, "", {SlotKind::Count, 0}, "6", "", 12, 7, true},
        {"a name is any text", Type, {SlotKind::NameC, 0}, "柳树湾 (17)", {SlotKind::NameC, 0}, "柳树湾 (17)", "", 12, 7,
         true},
        {"a note", Type, {SlotKind::Note, 0}, "边长已加气象改正", {SlotKind::Note, 0}, "边长已加气象改正", "", 12, 7,
         true},
        {"a of the distance meter alone", Type, {SlotKind::EdmA, 0}, "3", {SlotKind::EdmA, 0}, "3",
         "「测距固定误差」须与「测距比例误差」一起给出（没有这一部分时写「测距比例误差 = 0」）", 12, 7, false},
        {"b too: the orientation angle's standard error is missing, at its row", Type, {SlotKind::EdmB, 0}, "2",
         {SlotKind::OrientationSigma, 0}, "",
         "缺少「定向角中误差」：给出「测距固定误差」「测距比例误差」、又有定向角 Qb 时，定向角也须有它的中误差（秒）", 12, 7,
         false},
        {"given", Type, {SlotKind::OrientationSigma, 0}, "1.5", {SlotKind::OrientationSigma, 0}, "1.5", "", 12, 7, true},
        {"a side's own standard error, in its row beside a and b", Type, {SlotKind::SideSigma, 13}, "0",
         {SlotKind::SideSigma, 13}, "0", "「S13 中误差」应是一个正数，以毫米计（例如 3.2），却是「0」", 12, 7, false},
        {"the sides measured as horizontal distances: a reduction lacks its central meridian", Type,
         {SlotKind::Reduction, 0}, "平距", {SlotKind::Reduction, 4}, "",
         "边长类型为「平距」时须给出「中央子午线」（度.分秒），边长才能归算到高斯平面", 12, 7, false},
        {"undone", Undo, {}, "", {SlotKind::SideSigma, 13}, "0",
         "「S13 中误差」应是一个正数，以毫米计（例如 3.2），却是「0」", 12, 7, false},
        {"undone again", Undo, {}, "", {SlotKind::SideSigma, 13}, "", "", 12, 7, true},
        {"a standard error that is not positive", Type, {SlotKind::Sigma0, 0}, "-2", {SlotKind::Sigma0, 0}, "-2",
         "「先验测边中误差」应是一个正数，以毫米计（例如 2），却是「-2」", 12, 7, false},
        {"S13 emptied: missing, not refused", Type, {SlotKind::Side, 13}, "", {SlotKind::Side, 13}, "", "", 12, 7,
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        switch (row.kind) {
        case Type: TypeInto(table, row.slot, row.text); break;
        case Space:
            table.GoTo(row.slot, SheetColumn::RouteSide);
            QTest::keyClick(table.View(), Qt::Key_Space);
            break;
        case Look: break;
        case Undo: QTest::keyClick(table.View(), Qt::Key_Z, Qt::ControlModifier); break;
        case Redo: QTest::keyClick(table.View(), Qt::Key_Y, Qt::ControlModifier); break;
        }
        QApplication::processEvents();
        const ObservationSheet& sheet = table.Sheet();
        EXPECT_EQ(sheet.RecordText(row.shown), row.value);
        const std::string* reason = table.Model()->Check().ReasonFor(row.shown);
        EXPECT_EQ(reason ? *reason : std::string(), row.reason);
        EXPECT_EQ(RowsOf(sheet, SheetGroup::Sides), row.sides);
        EXPECT_EQ(RowsOf(sheet, SheetGroup::Names), row.names);
        EXPECT_EQ(table.Model()->Check().ready, row.ready) << table.Status()->text().toStdString();
        EXPECT_EQ(table.Model()->Sheet(), sheet);  // the view shows the sheet
    }
    // the triangle's three sides were marked together (row "S3 too short")
    EXPECT_TRUE(table.Edited());
    // the status names what is missing
    EXPECT_EQ(table.Status()->text().split('\n').front().toStdString(),
              "1 处有误，第一处 先验测边中误差：「先验测边中误差」应是一个正数，以毫米计（例如 2），却是「-2」。还缺 1 个值（S13）。");
}

TEST(ObservationTable, AWrongSignMendedAndAdjustedAgainEqualsTheRunTypedRight)
{
    const NoJournalsLeft clean;
    const TestFolder folder;
    const chain::GeneratedChain chain = Chain();
    Typed right(chain.answers);
    ASSERT_TRUE(right.Form().State().LastRunCompleted);

    std::vector<std::string> wrong = chain.answers;
    wrong[SideAnswer(6)] = Flipped(wrong[SideAnswer(6)]);
    Typed slip(wrong);
    // a chain with a wrong sign does not close: the run fails, and the table opens by itself
    ObservationTable* opened = slip.window.Observations();
    if (slip.Form().State().LastRunCompleted) {
        ADD_FAILURE() << "the wrong sign went through: " << slip.messages.join("\n").toStdString();
        return;
    }
    ASSERT_NE(opened, nullptr);
    EXPECT_TRUE(opened->isVisible());
    ObservationTable& table = *opened;
    EXPECT_EQ(table.Sheet().RecordText({SlotKind::Side, 6}), wrong[SideAnswer(6)]);

    // it opens on the 左/右 of S6, which the message names: the keyboard mends it
    // there, then 平差 by its button
    EXPECT_TRUE(slip.messages.join("\n").contains("S6")) << slip.messages.join("\n").toStdString();
    EXPECT_EQ(table.View()->currentIndex().row(), table.Model()->RowOf({SlotKind::Side, 6}));
    EXPECT_EQ(table.View()->currentIndex().column(), ObservationTableModel::SideColumn);
    QTest::keyClick(table.View(), Qt::Key_Space);
    QApplication::processEvents();
    {
        DialogAnswerer at({});
        table.AdjustButton()->click();
        EXPECT_TRUE(at.Prompts().isEmpty()) << at.Prompts().join("\n").toStdString();
        EXPECT_TRUE(at.Messages().isEmpty()) << at.Messages().join("\n").toStdString();
    }
    ASSERT_TRUE(slip.Form().State().LastRunCompleted);
    EXPECT_EQ(Fields(slip.Form()), Fields(right.Form()));
    EXPECT_EQ(Report(slip.Form()), Report(right.Form()));
    EXPECT_FALSE(table.Edited());

    // 保存 writes the values adjusted: the file of the run typed right
    DialogAnswerer save({});
    save.SetSaveFile(QString::fromStdString(folder.File("mended.trilat")));
    slip.window.SaveObservations();
    EXPECT_EQ(Read(folder.File("mended.trilat")), WriteObservationFile(right.Form().State().LastTyped));
    // no journal is left by a run that completed
    EXPECT_TRUE(QDir(JournalFolder::Path()).entryList({"journal-*.trilat"}).isEmpty());
}

TEST(ObservationTable, SaveWritesTheTablesValuesOnceEdited)
{
    const NoJournalsLeft clean;
    const TestFolder folder;
    const chain::GeneratedChain chain = Chain();
    Typed typed(chain.answers);
    ObservationTable& table = TableOf(typed.window);
    TypeInto(table, {SlotKind::NameC, 0}, "柳树湾");
    {
        DialogAnswerer save({});
        save.SetSaveFile(QString::fromStdString(folder.File("renamed.trilat")));
        table.findChild<QPushButton*>("TableSave")->click();
        EXPECT_TRUE(save.Messages().isEmpty()) << save.Messages().join("\n").toStdString();
    }
    ObservationRecord renamed = typed.Form().State().LastTyped;
    renamed.values.back().text = "柳树湾";  // the last name is C's
    EXPECT_EQ(Read(folder.File("renamed.trilat")), WriteObservationFile(renamed));

    // a value the rules refuse: the reason 打开 would give, and no file
    TypeInto(table, {SlotKind::Side, 3}, "abc");
    DialogAnswerer save({});
    save.SetSaveFile(QString::fromStdString(folder.File("refused.trilat")));
    typed.window.SaveObservations();
    ASSERT_EQ(save.Messages().size(), 1);
    EXPECT_TRUE(save.Messages().front().contains(QString::fromUtf8("S3：「abc」：输入的不是数字")))
        << save.Messages().front().toStdString();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File("refused.trilat"))));
}

TEST(ObservationTable, TheDesignOfTheTablesValuesIsSavedAsAReport)
{
    const NoJournalsLeft clean;
    const TestFolder folder;
    Typed typed(Chain().answers);
    ObservationTable& table = TableOf(typed.window);
    {
        // without a standard error there is nothing to design from: the reason, no file
        DialogAnswerer design({});
        design.SetSaveFile(QString::fromStdString(folder.File("none.txt")));
        table.findChild<QPushButton*>("TableDesign")->click();
        ASSERT_EQ(design.Messages().size(), 1);
        EXPECT_TRUE(design.Messages().front().startsWith(QString::fromUtf8("不能做精度预估："))) << design.Messages().front().toStdString();
        EXPECT_FALSE(QFile::exists(QString::fromStdString(folder.File("none.txt"))));
    }
    TypeInto(table, {SlotKind::Sigma0, 0}, "2");
    TypeInto(table, {SlotKind::Grade, 0}, "四等");
    ASSERT_EQ(table.Record().grade, "四等");
    DialogAnswerer design({});
    design.SetSaveFile(QString::fromStdString(folder.File("design.txt")));
    table.findChild<QPushButton*>("TableDesign")->click();
    EXPECT_TRUE(design.Messages().isEmpty()) << design.Messages().join("\n").toStdString();
    const std::string report = Read(folder.File("design.txt"));
    EXPECT_NE(report.find("精度预估报告"), std::string::npos) << report.substr(0, 400);
    EXPECT_NE(report.find("四等"), std::string::npos) << report;
}

TEST(ObservationTable, ABlockOfTwentySidesPastedFromAFieldBook)
{
    const NoJournalsLeft clean;
    // eleven triangles: S2 .. S23, of which S2 .. S21 come from the field book
    const chain::GeneratedChain chain = Chain(11);
    Typed right(chain.answers);
    ASSERT_TRUE(right.Form().State().LastRunCompleted);

    // a new window, every value typed but the sides S2 .. S21
    ProgramWindow window;
    ObservationTable& table = TableOf(window);
    EXPECT_FALSE(table.Model()->Check().ready);  // empty for a new chain
    const auto& a = chain.answers;
    TypeInto(table, {SlotKind::Count, 0}, a[0]);
    for (int i = 0; i < 8; ++i) TypeInto(table, {SlotKind::Coordinate, i}, a[1 + 2 * static_cast<std::size_t>(i)]);
    TypeInto(table, {SlotKind::Azimuth, 0}, a[17]);
    TypeInto(table, {SlotKind::Orientation, 0}, a[19]);
    TypeInto(table, {SlotKind::Side, 22}, a[SideAnswer(22)]);
    TypeInto(table, {SlotKind::Side, 23}, a[SideAnswer(23)]);
    const std::vector<SheetRow> rows = table.Sheet().Rows();
    std::size_t name = SideAnswer(24);  // after S23, the names
    for (const SheetRow& row : rows)
        if (row.group == SheetGroup::Names) TypeInto(table, row.slot, a[name]), name += 2;

    // the field book: the length without sign, then the side of the route for the even sides
    QString block;
    for (int n = 2; n <= 21; ++n) {
        const std::string side = a[SideAnswer(n)];
        block += QString::fromStdString(side[0] == '-' ? side.substr(1) : side);
        if (n % 2 == 0) block += QString::fromUtf8(side[0] == '-' ? "\t右" : "\t左");
        block += "\r\n";
    }
    QApplication::clipboard()->setText(block);
    table.GoTo({SlotKind::Side, 2});
    QTest::keyClick(table.View(), Qt::Key_V, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(table.Model()->Check().ready) << table.Status()->text().toStdString();
    EXPECT_EQ(table.UndoStack()->undoText().toStdString(), "粘贴 30 个单元格");  // 20 values, 10 sides of the route

    // copied back, the selection gives the same block
    table.View()->selectionModel()->select(
        QItemSelection(table.Model()->index(table.Model()->RowOf({SlotKind::Side, 2}), ObservationTableModel::ValueColumn),
                       table.Model()->index(table.Model()->RowOf({SlotKind::Side, 21}), ObservationTableModel::SideColumn)),
        QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(table.View(), Qt::Key_C, Qt::ControlModifier);
    QString copied = block;
    copied.replace("\r\n", "\n");
    for (int n = 3; n <= 21; n += 2) {  // an odd side copies with its empty 左/右 cell
        const std::string side = a[SideAnswer(n)];
        copied.replace(QString::fromStdString("\n" + side + "\n"), QString::fromStdString("\n" + side + "\t\n"));
    }
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), copied.toStdString());

    {
        DialogAnswerer at({});
        table.AdjustButton()->click();
        EXPECT_TRUE(at.Prompts().isEmpty()) << at.Prompts().join("\n").toStdString();
    }
    ASSERT_TRUE(window.Form().State().LastRunCompleted);
    EXPECT_EQ(Fields(window.Form()), Fields(right.Form()));
    EXPECT_EQ(Report(window.Form()), Report(right.Form()));

    // a block longer than the table: what is left over is named, the rest pasted
    table.GoTo({SlotKind::NameC, 0});
    QApplication::clipboard()->setText("C1\nC2\nC3\n");
    QTest::keyClick(table.View(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(table.Sheet().RecordText({SlotKind::NameC, 0}), "C1");
    EXPECT_TRUE(table.Status()->text().contains(QString::fromUtf8("有 2 行在表格最后一行之后")))
        << table.Status()->text().toStdString();
}

TEST(ObservationTable, TabAndEnterGoThroughTheCellsInDialogueOrder)
{
    const NoJournalsLeft clean;
    ProgramWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QAction* action = nullptr;
    for (QAction* a : window.ViewMenu()->actions())
        if (a->shortcut() == QKeySequence("Ctrl+T")) action = a;
    ASSERT_NE(action, nullptr);
    EXPECT_TRUE(action->isEnabled());  // before any run: a new chain
    action->trigger();
    ObservationTable& table = *window.Observations();
    QApplication::setActiveWindow(&table);  // the offscreen platform may hand activation back to the window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&table));
    EXPECT_EQ(QApplication::focusWidget(), table.View());
    EXPECT_EQ(CurrentCell(table), "N");

    // two triangles closing on C and D, every value typed by keys alone: a
    // value and Enter; an even side, then its side of the route (R or L) and Enter
    const std::vector<std::string> answers = ChainAnswers({.triangles = 2, .withD = true});
    std::vector<std::string> values{answers[0]};
    for (std::size_t i = 1; i + 1 < answers.size() && values.size() < 1 + 8 + 3 + 2; i += 2) values.push_back(answers[i]);
    std::vector<std::string> visited;
    for (std::size_t i = 0; i < values.size(); ++i) {
        visited.push_back(CurrentCell(table));
        const std::string& v = values[i];
        const bool even = i == 9 || i == 11;  // S2, S4
        Keys(even && v[0] == '-' ? v.substr(1) : v);
        ASSERT_NE(QApplication::focusWidget(), nullptr) << "typed " << v;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
        ASSERT_NE(QApplication::focusWidget(), nullptr) << "after " << v;
        if (even) {
            visited.push_back(CurrentCell(table));
            QTest::keyClick(QApplication::focusWidget(), v[0] == '-' ? Qt::Key_R : Qt::Key_L);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
    }
    // with D there are no Tb and Qb, no S5, and no unknown point between B and C
    const std::vector<std::string> expected{"N",  "Xa",      "Ya", "Xb", "Yb",      "Xc",     "Yc",    "Xd",
                                            "Yd", "S2",      "S2/左右", "S3", "S4", "S4/左右", "点名 B", "点名 C"};
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(table.Sheet().RecordText({SlotKind::Side, 2}), answers[17]);
    ASSERT_TRUE(table.Model()->Check().ready) << table.Status()->text().toStdString();
    // Enter on the last cell stays; Tab leaves the table for 平差, Shift+Tab comes back
    EXPECT_EQ(CurrentCell(table), "点名 C");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), table.AdjustButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), table.View());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

    Typed typed(answers);  // the same chain through the boxes, for the figures
    QApplication::setActiveWindow(&table);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&table));
    ASSERT_EQ(QApplication::focusWidget(), table.AdjustButton());
    DialogAnswerer at({});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);  // presses 平差
    EXPECT_TRUE(at.Prompts().isEmpty()) << at.Prompts().join("\n").toStdString();
    ASSERT_TRUE(window.Form().State().LastRunCompleted) << at.Messages().join("\n").toStdString();
    EXPECT_EQ(Fields(window.Form()), Fields(typed.Form()));
    // the equilateral pair closes exactly: misclosures of zero
    EXPECT_EQ(window.Form().Field(14)->text(), QString::fromUtf8(" 0.00 毫米"));
}

// The child of the kill test: makes its edits, then is killed. Runs only when
// the test below starts it.
TEST(ObservationTable, EditsThenKilled)
{
    const QByteArray data = qgetenv("TRILAT_TABLE_KILL_DATA");
    if (data.isEmpty()) GTEST_SKIP() << "started by TheJournalAfterAKillInTheMiddleOfEditing";
    setenv("XDG_DATA_HOME", data.constData(), 1);
    const chain::GeneratedChain chain = Chain();
    std::vector<std::string> wrong = chain.answers;
    wrong[SideAnswer(6)] = Flipped(wrong[SideAnswer(6)]);
    Typed slip(wrong);
    ObservationTable& table = TableOf(slip.window);
    TypeInto(table, {SlotKind::Side, 3}, "abc");  // a slip, on the disk too
    TypeInto(table, {SlotKind::NameC, 0}, "柳树湾");
    table.GoTo({SlotKind::Side, 6}, SheetColumn::RouteSide);
    QTest::keyClick(table.View(), Qt::Key_Space);  // the sign mended
    TypeInto(table, {SlotKind::Side, 3}, chain.answers[SideAnswer(3)]);  // the slip mended
    std::raise(SIGKILL);
}

TEST(ObservationTable, TheJournalAfterAKillInTheMiddleOfEditing)
{
    const TestFolder folder;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TRILAT_TABLE_KILL_DATA", QString::fromStdString(folder.File("data")));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ObservationTable.EditsThenKilled"});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardOutput().toStdString();

    // the run typed right, with C named as in the table
    const chain::GeneratedChain chain = Chain();
    std::vector<std::string> answers = chain.answers;
    const std::size_t nameC = SideAnswer(13) + 2 * 7;  // after S13: B, P1 .. P5, C
    ASSERT_EQ(chain.answers[nameC], "C");
    answers[nameC] = "柳树湾";
    Typed right(answers);
    ASSERT_TRUE(right.Form().State().LastRunCompleted);

    // started again on the same data: the offer, 是, and every value of the table
    const QByteArray own = qgetenv("XDG_DATA_HOME");
    setenv("XDG_DATA_HOME", folder.File("data").c_str(), 1);
    {
        ProgramWindow again;
        std::vector<std::string> display(7, "");  // the points shown one by one: the values came from a journal
        DialogAnswerer at(display);
        at.SetAcceptMessages(true);
        again.OfferCutOffRuns();
        ASSERT_EQ(at.Messages().size(), 1);
        EXPECT_EQ(at.Unanswered(), 0);
        ASSERT_TRUE(again.Form().State().LastRunCompleted) << at.Prompts().join("\n").toStdString();
        EXPECT_EQ(Fields(again.Form()), Fields(right.Form()));
        EXPECT_EQ(Report(again.Form()), Report(right.Form()));
    }
    setenv("XDG_DATA_HOME", own.constData(), 1);
}

TEST(ObservationTable, AJournalWithARefusedValueReadsBackWholeAndNothingIsLostOnResuming)
{
    const NoJournalsLeft clean;
    // the table's journal while S3 is "abc": every value, the ones after S3 too
    const chain::GeneratedChain chain = Chain();
    auto owned = std::make_unique<Typed>(chain.answers);
    Typed& typed = *owned;
    ObservationTable& table = TableOf(typed.window);
    TypeInto(table, {SlotKind::Side, 3}, "abc");
    TypeInto(table, {SlotKind::Side, 13}, "");
    const ObservationRecord record = table.Record();
    const std::string path = QDir(JournalFolder::Path()).entryInfoList({"journal-*.trilat"}, QDir::Files, QDir::Time).value(0).absoluteFilePath().toStdString();
    ASSERT_FALSE(path.empty());
    auto read = ReadJournal(Read(path));
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read));
    const ObservationRecord& back = std::get<ObservationRecord>(read);
    ASSERT_EQ(back.values.size(), record.values.size());
    ASSERT_EQ(back.values.size(), 1 + 8 + 2 + 11 + 7u);  // S13 missing
    for (std::size_t i = 0; i < back.values.size(); ++i) {
        EXPECT_EQ(back.values[i].key, record.values[i].key) << i;
        EXPECT_EQ(back.values[i].text, record.values[i].text) << i;
    }
    EXPECT_EQ(back.values[12].text, "abc");

    // the window goes; at the next start 是, the refused S3 asked again, Cancel:
    // the table opens with every value, the journal keeps them all
    owned.reset();
    {
        ProgramWindow again;
        DialogAnswerer at({"<CANCEL>"});
        at.SetAcceptMessages(true);
        again.OfferCutOffRuns();
        ASSERT_GE(at.Messages().size(), 2);  // the offer, S3's reason (then what the window says of a cut-off run)
        EXPECT_EQ(at.Messages()[1].toStdString(), "输入的不是数字，请重新输入一个数值（例如 1234.567）");
        EXPECT_EQ(at.Prompts().size(), 1);
        ObservationTable* table = again.Observations();
        ASSERT_NE(table, nullptr);
        EXPECT_TRUE(table->isVisible());
        EXPECT_EQ(WriteObservationFile(table->Record()), WriteObservationFile(record));
        const QFileInfoList journals =
            QDir(JournalFolder::Path()).entryInfoList({"journal-*.trilat"}, QDir::Files, QDir::Time);
        ASSERT_EQ(journals.size(), 1);
        auto kept = ReadJournal(Read(journals.front().absoluteFilePath().toStdString()));
        ASSERT_TRUE(std::holds_alternative<ObservationRecord>(kept));
        EXPECT_EQ(WriteObservationFile(std::get<ObservationRecord>(kept)), WriteObservationFile(record));
    }
}

}  // namespace
