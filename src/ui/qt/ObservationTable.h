#pragma once
// 观测数据: every value of the current observations in one editable table,
// in a window of its own (查看 → 观测数据, Ctrl+T). Each edit is checked at
// once by the rules of the dialogue and the file reader, is one step of the
// undo stack (Ctrl+Z, Ctrl+Y) and goes to the window's journal, so a kill in
// the middle of editing loses nothing. 平差 hands the values to the window,
// which adjusts them as it adjusts a complete file: without a single box.
#include <QWidget>

#include "files/ObservationSheet.h"
#include "files/SheetCheck.h"
#include "files/SheetPaste.h"

class Journal;
class QLabel;
class QPushButton;
class QUndoStack;
class ObservationTableModel;
class ObservationTableView;

class ObservationTable : public QWidget {
    Q_OBJECT
public:
    explicit ObservationTable(QWidget* parent = nullptr);

    // Every edit is written to the journal (none: no journal).
    void SetJournal(Journal* journal) { journal_ = journal; }

    // The values of a run: given, the record a run from values started with
    // (none for a typed run), and typed, what the run took. The table shows
    // the given values with the typed ones over them, as one step that can be
    // undone; afterwards it counts as unedited. toJournal: write them to the
    // journal too (a run that stopped before the end of its given values).
    void LoadRun(const ObservationRecord& given, const ObservationRecord& typed, bool toJournal);
    // The values went to a run: the table counts as unedited.
    void MarkAdjusted();
    // The table was edited since it was loaded or adjusted.
    bool Edited() const;

    const ObservationSheet& Sheet() const { return sheet_; }
    ObservationRecord Record() const { return sheet_.Record(); }

    // One edit as the surveyor makes it in a cell, one step to undo.
    void Edit(Slot slot, SheetColumn column, const QString& text);
    // A tab-separated block pasted at the current cell, one step to undo.
    void PasteAtCurrent(const QString& block);
    // The selected cells as tab-separated text, one line a row.
    QString SelectionAsText() const;

    ObservationTableView* View() const { return view_; }
    ObservationTableModel* Model() const { return model_; }
    QUndoStack* UndoStack() const { return undo_; }
    QPushButton* AdjustButton() const { return adjust_; }
    QLabel* Status() const { return status_; }
    // The first value refused, else the first missing, made current; false when there is none.
    bool GoToFirstProblem();
    // The model row and column of a slot's value (or 左/右) cell, made current.
    void GoTo(Slot slot, SheetColumn column = SheetColumn::Value);
    // The 左/右 of even side `side` made current (0: the orientation angle's value).
    void GoToSign(int side);

signals:
    // 平差 with values that are all there and pass every rule.
    void AdjustRequested();
    void SaveRequested();
    // 精度预估: the values as a planned chain, for its precision before measuring.
    void DesignRequested();

private:
    friend class SheetChange;
    // The sheet as it is after a step (done, undone or redone).
    void Apply(const ObservationSheet& sheet, bool toJournal);
    void Change(const ObservationSheet& sheet, const QString& what);
    void Adjust();
    void ShowStatus();
    void SpanTitles();
    void WriteJournal();
    void Copy() const;
    void ClearSelection();

    ObservationSheet sheet_;
    SheetCheck check_;
    ObservationRecord loaded_;  // what LoadRun took last, to tell a run that took nothing
    ObservationTableModel* model_ = nullptr;
    ObservationTableView* view_ = nullptr;
    QUndoStack* undo_ = nullptr;
    QPushButton* adjust_ = nullptr;
    QLabel* status_ = nullptr;
    QString journalProblem_;
    QString pasteNote_;
    Journal* journal_ = nullptr;
    // the cell to make current once the model is rebuilt
    Slot focusSlot_;
    Slot edited_;  // the value edited last
    int focusColumn_ = -1;
};
