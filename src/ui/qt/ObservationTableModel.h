#pragma once
// The rows of an observation sheet for a table view: a title row above each
// group, then one row a value, in five columns
//   项目 (the value's label) | 两端点 (a side's two points) | 值 | 左/右 | 检查
// The value column and an even side's 左/右 are editable; a value the rules
// refuse is shaded and its reason stands in 检查 (and in the cell's tip).
// An edit is not made here: setData hands it on (EditRequested), and the
// sheet comes back through SetSheet, once the edit is a step that can be
// undone.
#include <QAbstractTableModel>
#include <vector>

#include "files/ObservationSheet.h"
#include "files/SheetCheck.h"

class ObservationTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { LabelColumn, EndsColumn, ValueColumn, SideColumn, CheckColumn, ColumnCount };

    explicit ObservationTableModel(QObject* parent = nullptr);

    // The sheet to show. Rows that stay the same change in place; rows that
    // come or go reset the model once control is back in the event loop (an
    // editor that handed on the edit closes first).
    void SetSheet(const ObservationSheet& sheet, const SheetCheck& check);
    const ObservationSheet& Sheet() const { return sheet_; }
    // Rebuilds the rows now if a reset waits (never from inside an editor's commit).
    void Settle();
    const SheetCheck& Check() const { return check_; }

    // The sheet's row of a model row; nullptr for a title row.
    const SheetRow* RowAt(int row) const;
    // The index in Sheet().Rows() of a model row (of the next value row for a title row), or -1.
    int SheetRowIndex(int row) const;
    // The model row of a slot, or -1.
    int RowOf(Slot slot) const;
    bool Editable(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // The surveyor typed into a cell (the side column: "左" or "右").
    void EditRequested(Slot slot, int column, const QString& text);
    // The rows were built anew (after a reset).
    void RowsRebuilt();

private:
    struct ModelRow {
        int sheetRow = -1;  // -1: the title of group
        SheetGroup group = SheetGroup::Project;
    };
    ObservationSheet sheet_;
    std::vector<SheetRow> rows_;
    std::vector<ModelRow> modelRows_;
    SheetCheck check_;
    ObservationSheet pending_;
    SheetCheck pendingCheck_;
    bool resetQueued_ = false;

    void Rebuild();
    void ApplyPending();
};
