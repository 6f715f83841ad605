#include "ui/qt/ObservationTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "files/Journal.h"
#include "files/SheetCheck.h"
#include "ui/qt/ObservationTableModel.h"
#include "ui/qt/ObservationTableView.h"
#include "ui/qt/QtText.h"

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::string Std(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool SameRecord(const ObservationRecord& a, const ObservationRecord& b)
{
    if (a.project != b.project || a.notes != b.notes || a.sigma0Mm != b.sigma0Mm || a.complete != b.complete ||
        a.values.size() != b.values.size())
        return false;
    for (std::size_t i = 0; i < a.values.size(); ++i)
        if (!(a.values[i].key == b.values[i].key) || a.values[i].text != b.values[i].text) return false;
    return true;
}

}  // namespace

// One step of the undo stack: the whole sheet before and after it.
class SheetChange : public QUndoCommand {
public:
    SheetChange(ObservationTable& table, ObservationSheet before, ObservationSheet after, const QString& what,
                bool journalFirst)
        : QUndoCommand(what), table_(table), before_(std::move(before)), after_(std::move(after)),
          journal_(journalFirst)
    {
    }
    void redo() override
    {
        table_.Apply(after_, journal_);
        journal_ = true;  // done again, it is an edit like any other
    }
    void undo() override { table_.Apply(before_, true); }

private:
    ObservationTable& table_;
    ObservationSheet before_, after_;
    bool journal_;
};

ObservationTable::ObservationTable(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("ObservationTable");
    setWindowTitle(Utf8("观测数据"));
    undo_ = new QUndoStack(this);
    model_ = new ObservationTableModel(this);
    view_ = new ObservationTableView(this);
    view_->setModel(model_);

    adjust_ = new QPushButton(Utf8("平差(&P)"), this);
    adjust_->setObjectName("TableAdjust");
    adjust_->setToolTip(Utf8("用表中的值平差，不再逐项询问（Alt+P）"));
    auto* save = new QPushButton(Utf8("保存观测数据(&S)…"), this);
    save->setObjectName("TableSave");
    auto* undo = new QAction(Utf8("撤销"), this);
    undo->setShortcut(QKeySequence::Undo);
    undo->setEnabled(false);
    connect(undo, &QAction::triggered, undo_, &QUndoStack::undo);
    connect(undo_, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(undo_, &QUndoStack::undoTextChanged, undo, [undo](const QString& what) { undo->setToolTip(Utf8("撤销：") + what); });
    auto* redo = new QAction(Utf8("重做"), this);
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y))) redoKeys.prepend(QKeySequence(Qt::CTRL | Qt::Key_Y));
    redo->setShortcuts(redoKeys);
    redo->setEnabled(false);
    connect(redo, &QAction::triggered, undo_, &QUndoStack::redo);
    connect(undo_, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(undo_, &QUndoStack::redoTextChanged, redo, [redo](const QString& what) { redo->setToolTip(Utf8("重做：") + what); });
    for (QAction* a : {undo, redo}) {
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
    }
    auto* undoButton = new QToolButton(this);
    undoButton->setObjectName("TableUndo");
    undoButton->setDefaultAction(undo);
    auto* redoButton = new QToolButton(this);
    redoButton->setObjectName("TableRedo");
    redoButton->setDefaultAction(redo);
    auto* design = new QPushButton(Utf8("精度预估(&E)…"), this);
    design->setObjectName("TableDesign");
    design->setToolTip(Utf8("把表中的值当作设计的三角锁（边长取自图上），不平差，按 a、b 或先验测边中误差估算各点、各边的精度，"
                            "并按等级检核，写出精度预估报告"));
    auto* fresh = new QPushButton(Utf8("新建(&N)"), this);
    fresh->setObjectName("TableNew");
    fresh->setToolTip(Utf8("清空表格，输入一条新的三角锁（可以撤销）"));

    auto* buttons = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{adjust_, save, design, undoButton, redoButton, fresh}) buttons->addWidget(w);
    buttons->addStretch();
    auto* keys = new QLabel(Utf8("Tab、Enter：下一格　空格：切换左右　Ctrl+Z：撤销　Ctrl+Y：重做　Ctrl+C、Ctrl+V：复制、粘贴"), this);
    keys->setObjectName("TableKeys");
    keys->setWordWrap(true);
    status_ = new QLabel(this);
    status_->setObjectName("TableStatus");
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view_, 1);
    layout->addWidget(status_);
    layout->addWidget(keys);
    setTabOrder(view_, adjust_);
    setTabOrder(adjust_, save);
    setTabOrder(save, design);
    setTabOrder(design, fresh);

    view_->setColumnWidth(ObservationTableModel::LabelColumn, 110);
    view_->setColumnWidth(ObservationTableModel::EndsColumn, 170);
    view_->setColumnWidth(ObservationTableModel::ValueColumn, 170);
    view_->setColumnWidth(ObservationTableModel::SideColumn, 50);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 8);
    // as much of the table as the screen has room for (1024 x 768 at a scale of 2 too)
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() - QSize(24, 64) : QSize(900, 620);
    resize(QSize(900, 620).boundedTo(room));

    connect(model_, &ObservationTableModel::EditRequested, this, [this](Slot slot, int column, const QString& text) {
        Edit(slot, column == ObservationTableModel::SideColumn ? SheetColumn::RouteSide : SheetColumn::Value, text);
    });
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (focusColumn_ >= 0) return;  // a cell asked for already
        const QModelIndex current = view_->currentIndex();
        if (const SheetRow* row = model_->RowAt(current.row())) focusSlot_ = row->slot, focusColumn_ = current.column();
    });
    connect(model_, &ObservationTableModel::RowsRebuilt, this, [this] {
        SpanTitles();
        const int row = model_->RowOf(focusSlot_);
        if (focusColumn_ >= 0 && row >= 0) {
            view_->setCurrentIndex(model_->index(row, focusColumn_));
        } else if (const int edited = model_->RowOf(edited_); focusColumn_ >= 0 && edited >= 0) {
            // the cell that was next is gone (Tb, Qb once D is given): the one now after the edited value
            view_->setCurrentIndex(model_->index(edited, ObservationTableModel::ValueColumn));
            view_->Step(true);
        }
        focusColumn_ = -1;
    });
    connect(view_, &ObservationTableView::CopyRequested, this, &ObservationTable::Copy);
    connect(view_, &ObservationTableView::PasteRequested, this,
            [this] { PasteAtCurrent(QApplication::clipboard()->text()); });
    connect(view_, &ObservationTableView::ClearRequested, this, &ObservationTable::ClearSelection);
    connect(view_, &ObservationTableView::RouteSideTyped, this, [this](const QModelIndex& index, bool right, bool toggle) {
        const SheetRow* row = model_->RowAt(index.row());
        if (!row) return;
        if (toggle) right = !sheet_.RightOfRoute(row->slot.index);
        Edit(row->slot, SheetColumn::RouteSide, Utf8(right ? "右" : "左"));
    });
    connect(adjust_, &QPushButton::clicked, this, &ObservationTable::Adjust);
    connect(save, &QPushButton::clicked, this, &ObservationTable::SaveRequested);
    connect(design, &QPushButton::clicked, this, [this] {
        if (GoToFirstProblem()) return view_->setFocus();  // a planned chain needs every value as a run does
        emit DesignRequested();
    });
    connect(fresh, &QPushButton::clicked, this, [this] { Change(ObservationSheet(), Utf8("新建")); });
    Apply(sheet_, false);
    SpanTitles();
    GoTo({SlotKind::Count, 0});
}

void ObservationTable::SpanTitles()
{
    view_->clearSpans();
    for (int row = 0; row < model_->rowCount(); ++row)
        if (!model_->RowAt(row)) view_->setSpan(row, 0, 1, ObservationTableModel::ColumnCount);
}

void ObservationTable::Apply(const ObservationSheet& sheet, bool toJournal)
{
    sheet_ = sheet;
    check_ = CheckSheet(sheet_);
    model_->SetSheet(sheet_, check_);
    if (toJournal) WriteJournal();
    ShowStatus();
}

void ObservationTable::WriteJournal()
{
    if (!journal_) return;
    std::optional<std::string> error = journal_->Replace(sheet_.Record());
    journalProblem_ = error ? Utf8("输入记录无法写入（%1），请及时保存观测数据。").arg(ToQString(*error)) : QString();
}

void ObservationTable::Change(const ObservationSheet& sheet, const QString& what)
{
    if (sheet == sheet_) return;
    undo_->push(new SheetChange(*this, sheet_, sheet, what, true));
}

void ObservationTable::LoadRun(const ObservationRecord& given, const ObservationRecord& typed, bool toJournal)
{
    if (given.values.empty() && SameRecord(typed, loaded_)) return;  // a run that took no value
    loaded_ = typed;
    // the given values with the typed ones over them (the same file lines: the run keeps them)
    ObservationSheet sheet(given.values.empty() ? typed : given);
    if (!given.values.empty()) sheet.Overlay(typed);
    if (undo_->count() == 0 && sheet_ == ObservationSheet())
        Apply(sheet, toJournal);  // the table's first values: nothing before them to go back to
    else if (!(sheet == sheet_))
        undo_->push(new SheetChange(*this, sheet_, sheet, Utf8("载入运行的观测数据"), toJournal));
    else if (toJournal)
        WriteJournal(), ShowStatus();
    undo_->setClean();
}

void ObservationTable::MarkAdjusted()
{
    loaded_ = sheet_.Record();
    undo_->setClean();
}

bool ObservationTable::Edited() const { return !undo_->isClean(); }

void ObservationTable::Edit(Slot slot, SheetColumn column, const QString& text)
{
    edited_ = slot;
    ObservationSheet edited = sheet_;
    if (column == SheetColumn::RouteSide)
        edited.SetRightOfRoute(slot.index, text == Utf8("右"));
    else
        edited.SetText(slot, Std(text));
    Change(edited, Utf8("修改 %1").arg(ToQString(SlotLabel(slot))));
}

void ObservationTable::PasteAtCurrent(const QString& block)
{
    // the row of the current cell among the sheet's rows (of the next value for a title)
    const std::vector<SheetRow> rows = sheet_.Rows();
    int first = 0;
    const int modelRow = model_->SheetRowIndex(view_->currentIndex().row());
    if (modelRow >= 0) {
        const Slot slot = model_->Sheet().Rows().at(static_cast<std::size_t>(modelRow)).slot;
        const auto at = std::find_if(rows.begin(), rows.end(), [&slot](const SheetRow& r) { return r.slot == slot; });
        first = static_cast<int>(at - rows.begin());
    }
    const SheetColumn column =
        view_->currentIndex().column() == ObservationTableModel::SideColumn ? SheetColumn::RouteSide : SheetColumn::Value;
    const PastedBlock pasted = PasteBlock(sheet_, first, column, Std(block));
    pasteNote_ = pasted.rowsLeftOver > 0
                     ? Utf8("粘贴的内容有 %1 行在表格最后一行之后，没有粘贴。").arg(pasted.rowsLeftOver)
                     : QString();
    Change(pasted.sheet, Utf8("粘贴 %1 个单元格").arg(pasted.cells));
    ShowStatus();
}

QString ObservationTable::SelectionAsText() const
{
    std::map<int, std::map<int, QString>> cells;  // row -> column -> text
    for (const QModelIndex& index : view_->selectionModel()->selectedIndexes())
        if (model_->RowAt(index.row())) cells[index.row()][index.column()] = index.data(Qt::DisplayRole).toString();
    QStringList lines;
    for (const auto& [row, columns] : cells) {
        QStringList line;
        for (const auto& [column, text] : columns) line << text;
        lines << line.join('\t');
    }
    return lines.isEmpty() ? QString() : lines.join('\n') + '\n';
}

void ObservationTable::Copy() const
{
    const QString text = SelectionAsText();
    if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void ObservationTable::ClearSelection()
{
    ObservationSheet cleared = sheet_;
    std::vector<Slot> chosen;
    for (const QModelIndex& index : view_->selectionModel()->selectedIndexes())
        if (index.column() == ObservationTableModel::ValueColumn)
            if (const SheetRow* row = model_->RowAt(index.row())) chosen.push_back(row->slot);
    // notes from the last: an emptied note goes, and the ones after it move up
    std::sort(chosen.begin(), chosen.end(), [](const Slot& a, const Slot& b) { return a.index > b.index; });
    for (const Slot& slot : chosen) cleared.SetText(slot, "");
    Change(cleared, Utf8("清除"));
}

void ObservationTable::GoTo(Slot slot, SheetColumn column)
{
    const int modelColumn =
        column == SheetColumn::RouteSide ? ObservationTableModel::SideColumn : ObservationTableModel::ValueColumn;
    model_->Settle();
    const int row = model_->RowOf(slot);
    if (row >= 0) {
        view_->setCurrentIndex(model_->index(row, modelColumn));
        view_->scrollTo(view_->currentIndex());
        view_->horizontalScrollBar()->setValue(0);  // the label and the value stay in sight
    }
}

void ObservationTable::GoToSign(int side)
{
    const ValueKey key = side == 0 ? ValueKey{ValueKind::OrientationAngle, 0} : ValueKey{ValueKind::Side, side};
    if (const std::optional<Slot> slot = sheet_.SlotOf(key))
        GoTo(*slot, side == 0 ? SheetColumn::Value : SheetColumn::RouteSide);
}

bool ObservationTable::GoToFirstProblem()
{
    if (!check_.faults.empty())
        GoTo(check_.faults.front().slot);
    else if (!check_.missing.empty())
        GoTo(check_.missing.front());
    else
        return false;
    return true;
}

void ObservationTable::Adjust()
{
    if (!check_.ready) {
        GoToFirstProblem();
        view_->setFocus();
        return;
    }
    emit AdjustRequested();
}

void ObservationTable::ShowStatus()
{
    const SheetCheck& check = check_;
    QString text = ToQString(SheetStatus(check));
    if (!pasteNote_.isEmpty()) text += "\n" + pasteNote_;
    if (!journalProblem_.isEmpty()) text += "\n" + journalProblem_;
    status_->setText(text);
    QPalette p = status_->palette();
    p.setColor(QPalette::WindowText, check.ready ? QColor(0, 110, 0) : QColor(176, 0, 0));
    status_->setPalette(p);
}
