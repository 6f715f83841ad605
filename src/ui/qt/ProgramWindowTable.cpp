// The program window's part in the observation table: opening it, taking the
// values of every run into it, adjusting its values, saving them.
#include <QPushButton>
#include <variant>

#include "files/ObservationFile.h"
#include "ui/qt/ObservationTable.h"
#include "ui/qt/ObservationTableModel.h"
#include "ui/qt/ObservationTableView.h"
#include "ui/qt/ProgramWindow.h"
#include "ui/qt/QtText.h"

ObservationTable& ProgramWindow::Table()
{
    if (table_) return *table_;
    table_ = new ObservationTable(this);
    table_->SetJournal(journals_.Usable() ? &journals_.Own() : nullptr);
    table_->LoadRun(form_->Given(), form_->State().LastTyped, false);
    connect(table_, &ObservationTable::AdjustRequested, this, [this] {
        if (form_->Running()) return;
        tableRun_ = true;
        form_->RunFromRecord(table_->Record());
    });
    connect(table_, &ObservationTable::SaveRequested, this, &ProgramWindow::SaveObservations);
    return *table_;
}

void ProgramWindow::ShowObservationTable()
{
    ObservationTable& table = Table();
    table.show();
    table.raise();
    table.activateWindow();
    table.View()->setFocus();
    // the current value in sight, now that the view has its size
    table.Model()->Settle();
    table.View()->scrollTo(table.View()->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void ProgramWindow::TableAfterRun()
{
    const ProgramState& state = form_->State();
    if (tableRun_) {
        tableRun_ = false;
        table_->MarkAdjusted();
        if (state.LastRunCompleted) {
            activateWindow();  // the results stand in the window
            raise();
        } else {
            ShowObservationTable();
        }
        return;
    }
    // a run abandoned as the window closes: nothing to open
    const bool cutOff = !state.LastRunCompleted && !state.LastTyped.values.empty() && !closeWhenRunEnds_;
    if (!table_ && !cutOff) return;
    // A run from values that stopped before their end: the values it did not
    // reach are in the table, and go to the journal with the rest.
    const bool rest = cutOff && !form_->Given().values.empty();
    Table().LoadRun(form_->Given(), state.LastTyped, rest);
    if (cutOff) {
        ShowObservationTable();
        table_->GoToFirstProblem();  // where the surveyor goes on
    }
}

QString ProgramWindow::ObservationsToSave(ObservationRecord& record) const
{
    if (!table_ || !table_->Edited()) {
        record = form_->State().LastTyped;
        return {};
    }
    record = table_->Record();
    // what 打开 would say of the file
    const auto read = ReadObservationFile(WriteObservationFile(record));
    if (const FileError* error = std::get_if<FileError>(&read))
        return QString::fromUtf8("观测数据表中的值不能保存为观测文件，请先改正：\n%1").arg(ToQString(FormatFileError(*error)));
    return {};
}
