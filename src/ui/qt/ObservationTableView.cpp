#include "ui/qt/ObservationTableView.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/qt/ObservationTableModel.h"

ObservationTableView::ObservationTableView(QWidget* parent) : QTableView(parent)
{
    setObjectName("ObservationTableView");
    setItemDelegate(new ObservationTableDelegate(this));
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setTabKeyNavigation(true);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
}

ObservationTableModel* ObservationTableView::Model() const { return qobject_cast<ObservationTableModel*>(model()); }

QModelIndex ObservationTableView::Neighbour(const QModelIndex& index, bool forward) const
{
    const ObservationTableModel* m = Model();
    if (!m) return {};
    const int columns = m->columnCount();
    int at = index.isValid() ? index.row() * columns + index.column() : (forward ? -1 : m->rowCount() * columns);
    for (;;) {
        at += forward ? 1 : -1;
        if (at < 0 || at >= m->rowCount() * columns) return {};
        const QModelIndex next = m->index(at / columns, at % columns);
        if (m->Editable(next)) return next;
    }
}

void ObservationTableView::Step(bool forward)
{
    const QModelIndex next = Neighbour(currentIndex(), forward);
    if (next.isValid()) setCurrentIndex(next);
}

QModelIndex ObservationTableView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (cursorAction == MoveNext) return Neighbour(currentIndex(), true);
    if (cursorAction == MovePrevious) return Neighbour(currentIndex(), false);
    return QTableView::moveCursor(cursorAction, modifiers);
}

void ObservationTableView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) return emit CopyRequested();
    if (event->matches(QKeySequence::Paste)) return emit PasteRequested();
    if (state() != EditingState) {
        const QModelIndex current = currentIndex();
        const int key = event->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
            return Step(true);
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) return emit ClearRequested();
        if (current.column() == ObservationTableModel::SideColumn && Model() && Model()->Editable(current)) {
            switch (key) {
            case Qt::Key_Space: return emit RouteSideTyped(current, false, true);
            case Qt::Key_L:
            case Qt::Key_Z: return emit RouteSideTyped(current, false, false);
            case Qt::Key_R:
            case Qt::Key_Y: return emit RouteSideTyped(current, true, false);
            default: break;
            }
        }
    }
    QTableView::keyPressEvent(event);
}

namespace {

// The words a value takes from a list, or none: the kind of the sides, the
// ellipsoid, the grade (typed text is taken too; the rules judge it).
QStringList ChoicesFor(const QModelIndex& index)
{
    const auto* model = qobject_cast<const ObservationTableModel*>(index.model());
    const SheetRow* row = model ? model->RowAt(index.row()) : nullptr;
    if (!row || index.column() != ObservationTableModel::ValueColumn) return {};
    auto words = [](std::initializer_list<const char*> list) {
        QStringList out;
        for (const char* w : list) out << QString::fromUtf8(w);
        return out;
    };
    if (row->label == "边长类型") return words({"平面", "平距", "斜距"});
    if (row->label == "椭球") return words({"CGCS2000", "WGS84", "西安80", "北京54"});
    if (row->slot.kind == SlotKind::Grade) return words({"二等", "三等", "四等", "一级", "二级"});
    return {};
}

}  // namespace

QWidget* ObservationTableDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                                const QModelIndex& index) const
{
    if (const QStringList choices = ChoicesFor(index); !choices.isEmpty()) {
        auto* list = new QComboBox(parent);
        list->setObjectName("ValueList");
        list->setEditable(true);
        list->setInsertPolicy(QComboBox::NoInsert);
        list->addItems(choices);
        return list;
    }
    if (index.column() != ObservationTableModel::SideColumn) return QStyledItemDelegate::createEditor(parent, option, index);
    auto* list = new QComboBox(parent);
    list->setObjectName("RouteSideList");
    list->addItems({QString::fromUtf8("左"), QString::fromUtf8("右")});
    return list;
}

void ObservationTableDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        if (list->isEditable()) {
            // Up and Down step through the list from the value there
            const QString text = index.data(Qt::EditRole).toString();
            if (const int at = list->findText(text); at >= 0) list->setCurrentIndex(at);
            list->setEditText(text);
        }
        else
            list->setCurrentIndex(index.data(Qt::EditRole).toString() == QString::fromUtf8("右") ? 1 : 0);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void ObservationTableDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        if (list->currentText() != index.data(Qt::EditRole).toString()) model->setData(index, list->currentText(), Qt::EditRole);
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (line->text() != index.data(Qt::EditRole).toString()) model->setData(index, line->text(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool ObservationTableDelegate::eventFilter(QObject* object, QEvent* event)
{
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (enter || tab) {
            // the value taken, the editor closed, the next cell current but not
            // opened: typing there replaces its value, a key of 左/右 turns it
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            if (auto* view = qobject_cast<ObservationTableView*>(parent()))
                view->Step(!(key->key() == Qt::Key_Backtab || key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
