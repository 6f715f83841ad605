#pragma once
// The view of the observation table, made for the keyboard:
//   Tab, Enter     the next editable cell in the order the dialogue asks
//                  (a value, then an even side's 左/右), also from inside an
//                  editor (the value typed is taken first); Shift+Tab back.
//                  Past the last cell Tab leaves the table for the buttons.
//   typing         starts editing the cell with the key typed; F2 edits it
//   左/右 cell      Space turns the side; L or Z sets 左, R or Y sets 右;
//                  editing it opens a list of 左 and 右
//   Delete         empties the value cells selected
//   Ctrl+C, Ctrl+V copy the selection, paste a tab-separated block
#include <QStyledItemDelegate>
#include <QTableView>

class ObservationTableModel;

class ObservationTableView : public QTableView {
    Q_OBJECT
public:
    explicit ObservationTableView(QWidget* parent = nullptr);
    ObservationTableModel* Model() const;
    // Makes the editable cell after (or before) the current one current.
    void Step(bool forward);

signals:
    void CopyRequested();
    void PasteRequested();
    void ClearRequested();
    // on a 左/右 cell: the side chosen by a key (toggle: Space)
    void RouteSideTyped(const QModelIndex& index, bool right, bool toggle);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The editable cell after (or before) index in row order; invalid past the end.
    QModelIndex Neighbour(const QModelIndex& index, bool forward) const;
};

// The editors: a line for a value, a list of 左 and 右 for the side of the
// route; Enter takes the value and goes on to the next cell, as Tab does.
class ObservationTableDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;
};
