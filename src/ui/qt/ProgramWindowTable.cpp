// The program window's part in the observation table: opening it, taking the
// values of every run into it, adjusting its values, saving them.
#include <QDate>
#include <QFile>
#include <QPushButton>
#include <QStatusBar>
#include <variant>

#include "files/AtomicWrite.h"
#include "files/ObservationFile.h"
#include "run/DesignRun.h"
#include "ui/qt/FullReportPdf.h"
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
    connect(table_, &ObservationTable::DesignRequested, this, &ProgramWindow::DesignFromTable);
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
            if (state.SuspectSign) table_->GoToSign(*state.SuspectSign);  // where the message points
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
        // where the surveyor goes on, or the sign the failed run's message names
        if (!table_->GoToFirstProblem() && state.SuspectSign) table_->GoToSign(*state.SuspectSign);
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

void ProgramWindow::DesignFromTable()
{
    const DesignReport design =
        DesignOfRecord(table_->Record(), QDate::currentDate().toString(Qt::ISODate).toStdString());
    if (!design.Made() || !design.completed) {
        Warn(QString::fromUtf8("不能做精度预估：%1").arg(ToQString(design.refusal)));
        return;
    }
    const QString path = ChooseFile(true, QString::fromUtf8("保存精度预估报告"),
                                    QString::fromUtf8("PDF (*.pdf);;文本文件 (*.txt)"), "pdf");
    if (path.isEmpty()) return;
    QString error;
    if (path.endsWith(".txt", Qt::CaseInsensitive)) {
        std::string text;
        for (const std::string& line : design.Lines()) text += line + "\n";
        if (std::optional<std::string> failed = WriteFileAtomically(QFile::encodeName(path).toStdString(), text))
            error = ToQString(*failed);
    } else {
        error = WriteFullReportPdf(design.report, design.completed->listing, design.completed->result, path);
    }
    if (!error.isEmpty())
        Warn(QString::fromUtf8("文件 %1 没有写入：%2").arg(path, error));
    else
        statusBar()->showMessage(QString::fromUtf8("精度预估报告已保存：%1").arg(path), 10000);
}
