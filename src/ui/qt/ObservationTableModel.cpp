#include "ui/qt/ObservationTableModel.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTimer>

#include "ui/qt/QtText.h"

namespace {

const char* GroupTitle(SheetGroup group)
{
    switch (group) {
    case SheetGroup::Project: return "工程名称、备注";
    case SheetGroup::Count: return "三角形个数";
    case SheetGroup::KnownPoints: return "已知点 A、B、C、D 的纵座标 X、横座标 Y [m]（没有 D 点时 Xd、Yd 都为零）";
    case SheetGroup::Closing: return "C 点的外方位角 Tb 与定向角 Qb（度.分秒）";
    case SheetGroup::Sides: return "边长 [m]：偶数边位于方位角推算路线的左侧或右侧";
    case SheetGroup::Names: return "点名：B，待定点 1 到 K，C，C 后续的待定点";
    case SheetGroup::Precision:
        return "测量精度：先验测边中误差 [mm]（各边等权），或测距精度 a + b·D（a [mm]，b [mm/km]）、定向角中误差 [秒]、"
               "各边中误差 [mm]；等级（二等、三等、四等、一级、二级）";
    case SheetGroup::Reduction:
        return "边长归算：边长类型（平面、平距、斜距），测距常数 [mm]、[mm/km]，椭球，中央子午线（度.分秒），Y加常数、"
               "投影面高程、高程异常、各点高程、仪器高与镜高 [m]";
    }
    return "";
}

bool SameRows(const std::vector<SheetRow>& a, const std::vector<SheetRow>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(a[i].slot == b[i].slot) || a[i].group != b[i].group) return false;
    return true;
}

}  // namespace

ObservationTableModel::ObservationTableModel(QObject* parent) : QAbstractTableModel(parent) { Rebuild(); }

void ObservationTableModel::Rebuild()
{
    rows_ = sheet_.Rows();
    modelRows_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (i == 0 || rows_[i].group != rows_[i - 1].group) modelRows_.push_back({-1, rows_[i].group});
        modelRows_.push_back({static_cast<int>(i), rows_[i].group});
    }
}

void ObservationTableModel::SetSheet(const ObservationSheet& sheet, const SheetCheck& check)
{
    pending_ = sheet;
    pendingCheck_ = check;
    if (resetQueued_) return;  // the reset to come takes this sheet
    std::vector<SheetRow> rows = sheet.Rows();
    if (SameRows(rows, rows_)) {
        sheet_ = sheet;
        rows_ = std::move(rows);  // a side's two points may have changed
        check_ = check;
        if (!modelRows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return;
    }
    resetQueued_ = true;
    QTimer::singleShot(0, this, &ObservationTableModel::ApplyPending);
}

void ObservationTableModel::Settle() { ApplyPending(); }

void ObservationTableModel::ApplyPending()
{
    if (!resetQueued_) return;
    resetQueued_ = false;
    beginResetModel();
    sheet_ = pending_;
    check_ = pendingCheck_;
    Rebuild();
    endResetModel();
    emit RowsRebuilt();
}

const SheetRow* ObservationTableModel::RowAt(int row) const
{
    if (row < 0 || row >= static_cast<int>(modelRows_.size())) return nullptr;
    const int at = modelRows_[static_cast<std::size_t>(row)].sheetRow;
    return at < 0 ? nullptr : &rows_[static_cast<std::size_t>(at)];
}

int ObservationTableModel::SheetRowIndex(int row) const
{
    for (int r = std::max(row, 0); r < static_cast<int>(modelRows_.size()); ++r)
        if (modelRows_[static_cast<std::size_t>(r)].sheetRow >= 0) return modelRows_[static_cast<std::size_t>(r)].sheetRow;
    return -1;
}

int ObservationTableModel::RowOf(Slot slot) const
{
    for (std::size_t r = 0; r < modelRows_.size(); ++r) {
        const int at = modelRows_[r].sheetRow;
        if (at >= 0 && rows_[static_cast<std::size_t>(at)].slot == slot) return static_cast<int>(r);
    }
    return -1;
}

bool ObservationTableModel::Editable(const QModelIndex& index) const
{
    const SheetRow* row = RowAt(index.row());
    if (!row) return false;
    return index.column() == ValueColumn || (index.column() == SideColumn && row->routeSide);
}

int ObservationTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(modelRows_.size());
}

int ObservationTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ObservationTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const SheetRow* row = RowAt(index.row());
    if (!row) {  // a group's title
        if (index.column() != LabelColumn) return {};
        if (role == Qt::DisplayRole) return QString::fromUtf8(GroupTitle(modelRows_[static_cast<std::size_t>(index.row())].group));
        if (role == Qt::FontRole) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (role == Qt::ForegroundRole) return QBrush(Qt::black);  // a title is no cell, but not greyed
        return {};
    }
    const std::string* reason = check_.ReasonFor(row->slot);
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case LabelColumn: return ToQString(row->label);
        case EndsColumn: return ToQString(row->ends);
        case ValueColumn: return ToQString(sheet_.Text(row->slot));
        case SideColumn:
            if (!row->routeSide) return {};
            return QString::fromUtf8(sheet_.RightOfRoute(row->slot.index) ? "右" : "左");
        case CheckColumn: return reason ? ToQString(*reason) : QString();
        }
        return {};
    }
    if (role == Qt::ToolTipRole && reason && (index.column() == ValueColumn || index.column() == CheckColumn))
        return ToQString(*reason);
    if (role == Qt::BackgroundRole && reason && (index.column() == ValueColumn || (index.column() == SideColumn && row->routeSide)))
        return QBrush(QColor(255, 214, 214));
    if (role == Qt::ForegroundRole && index.column() == CheckColumn) return QBrush(QColor(176, 0, 0));
    if (role == Qt::TextAlignmentRole && index.column() == SideColumn) return int(Qt::AlignCenter);
    return {};
}

QVariant ObservationTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const captions[ColumnCount] = {"项目", "两端点", "值", "左/右", "检查"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf8(captions[section]) : QVariant();
}

Qt::ItemFlags ObservationTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    if (!RowAt(index.row())) return Qt::NoItemFlags;  // the arrow keys pass over a title
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (Editable(index)) f |= Qt::ItemIsEditable;
    return f;
}

bool ObservationTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !Editable(index)) return false;
    const SheetRow* row = RowAt(index.row());
    emit EditRequested(row->slot, index.column(), value.toString());
    return true;
}
