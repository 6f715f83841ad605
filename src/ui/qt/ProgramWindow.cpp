#include "ui/qt/ProgramWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <variant>

#include "display/ReportComposer.h"
#include "files/AtomicWrite.h"
#include "files/CsvExport.h"
#include "files/DatExport.h"
#include "files/DxfExport.h"
#include "files/GamaExport.h"
#include "files/Journal.h"
#include "files/ObservationFile.h"
#include "ui/qt/FormLayout.h"
#include "ui/qt/FullReportPdf.h"
#include "ui/qt/Manual.h"
#include "ui/qt/NetworkView.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportPdf.h"
#include "ui/qt/ResultsTable.h"

namespace {

const char* OBSERVATIONS_FILTER = "三边锁观测数据 (*.trilat);;文本文件 (*.txt);;所有文件 (*)";

QString Utf8(const char* text) { return QString::fromUtf8(text); }

std::string Local(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Writes bytes whole or not at all; the reason when it cannot.
QString WriteBytes(const QString& path, const std::string& bytes)
{
    std::optional<std::string> error = WriteFileAtomically(Local(path), bytes);
    return error ? ToQString(*error) : QString();
}

bool ReadWhole(const QString& path, std::string& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray all = file.readAll();
    bytes.assign(all.constData(), static_cast<std::size_t>(all.size()));
    return true;
}

}  // namespace

ProgramWindow::ProgramWindow()
{
    setWindowTitle(Utf8(form::CAPTION));
    form_ = new MainWindow;
    // The form keeps its size: it scrolls when the window is smaller (a large
    // screen scale, a shrunk window) and sits in the middle of a larger one.
    auto* scroll = new QScrollArea;
    scroll->setObjectName("FormArea");
    scroll->setWidget(form_);
    scroll->setWidgetResizable(false);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);  // Tab goes from button to button
    QPalette margins = scroll->palette();
    margins.setColor(QPalette::Window, QColor(form::BACKGROUND.r, form::BACKGROUND.g, form::BACKGROUND.b));
    scroll->setPalette(margins);
    scroll->setAutoFillBackground(true);
    scroll->viewport()->setPalette(margins);
    scroll->viewport()->setAutoFillBackground(true);
    setCentralWidget(scroll);
    setMinimumSize(480, 320);
    if (journals_.Usable()) form_->SetJournal(&journals_.Own());

    fileMenu_ = menuBar()->addMenu(Utf8("文件(&F)"));
    QAction* open = fileMenu_->addAction(Utf8("打开观测数据(&O)…"), this, &ProgramWindow::OpenObservations);
    open->setShortcut(QKeySequence::Open);
    QAction* save = fileMenu_->addAction(Utf8("保存观测数据(&S)…"), this, &ProgramWindow::SaveObservations);
    save->setShortcut(QKeySequence::Save);
    exportMenu_ = fileMenu_->addMenu(Utf8("导出(&E)"));
    exportMenu_->addAction(Utf8("报告文本…"), this, [this] {
        Export(Utf8("报告导出为文本"), Utf8("文本文件 (*.txt)"), "txt", [this](const QString& path) {
            return WriteBytes(path, ReportAsText(ComposeReport(form_->State())));
        });
    });
    exportMenu_->addAction(Utf8("报告 PDF…"), this, [this] {
        Export(Utf8("报告导出为 PDF"), "PDF (*.pdf)", "pdf",
               [this](const QString& path) { return WriteReportPdf(ComposeReport(form_->State()), path); });
    });
    struct Listed {
        const char* caption;
        const char* title;
        const char* filter;
        const char* suffix;
        ExportOutcome (*write)(const ChainListing&);
    };
    for (const Listed& e : {Listed{"坐标 CSV…", "坐标导出为 CSV", "CSV (*.csv)", "csv", CsvExport},
                            Listed{"坐标 DAT…", "坐标导出为 DAT（测图软件的坐标文件）", "DAT (*.dat)", "dat", DatExport},
                            Listed{"Gama XML…", "导出为 GNU Gama 平差数据", "Gama XML (*.xml *.gkf)", "xml", GamaExport},
                            Listed{"网图 DXF…", "网图导出为 DXF（CAD 图形）", "DXF (*.dxf)", "dxf", DxfExport}}) {
        exportMenu_->addAction(Utf8(e.caption), this, [this, e] {
            Export(Utf8(e.title), Utf8(e.filter), e.suffix, [this, e](const QString& path) {
                ExportOutcome composed = e.write(*form_->Listing());
                return composed.ok() ? WriteBytes(path, composed.bytes) : ToQString(composed.refusal);
            });
        });
    }
    exportMenu_->addAction(Utf8("成果报告…"), this, [this] {
        if (!form_->Result()) return;
        Export(Utf8("导出成果报告"), Utf8("PDF (*.pdf);;文本文件 (*.txt)"), "pdf", [this](const QString& path) {
            return WriteFullReportFile(*form_->Listing(), *form_->Result(), path);  // .txt: text, else PDF
        });
    });
    fileMenu_->addSeparator();
    QAction* quit = fileMenu_->addAction(Utf8("退出(&Q)"), form_, &MainWindow::EndProgram);
    quit->setShortcut(QKeySequence::Quit);

    viewMenu_ = menuBar()->addMenu(Utf8("查看(&V)"));
    resultViews_ << viewMenu_->addAction(Utf8("成果表(&T)"), this, &ProgramWindow::ShowResultsTable);
    resultViews_ << viewMenu_->addAction(Utf8("网图(&N)"), this, &ProgramWindow::ShowNetwork);
    QAction* observations = viewMenu_->addAction(Utf8("观测数据(&D)"), this, &ProgramWindow::ShowObservationTable);
    observations->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));

    QMenu* help = menuBar()->addMenu(Utf8("帮助(&H)"));
    QAction* manual = help->addAction(Utf8("使用说明(&M)"), this, &ProgramWindow::ShowManual);
    manual->setShortcut(QKeySequence::HelpContents);
    help->addAction(Utf8("关于(&A)"), this, &ProgramWindow::ShowAbout);

    connect(form_, &MainWindow::RunEnded, this, &ProgramWindow::UpdateMenus);
    connect(form_, &MainWindow::RunEnded, this, &ProgramWindow::TableAfterRun);
    connect(form_, &MainWindow::RunEnded, this, [this] {
        if (closeWhenRunEnds_) QTimer::singleShot(0, this, &QWidget::close);
    });
    UpdateMenus();
    // the form whole with the bar above it, as far as the screen has room
    const QSize whole = form_->sizeHint() + QSize(0, menuBar()->sizeHint().height());
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
    resize(whole.boundedTo(screen.size() - QSize(16, 48)));
    form_->setFocus();
}

void ProgramWindow::UpdateMenus()
{
    const bool results = form_->State().LastRunCompleted && form_->Listing() && form_->Result();
    exportMenu_->setEnabled(results);
    for (QAction* view : resultViews_) view->setEnabled(results);
}

void ProgramWindow::ShowNetwork()
{
    if (!form_->State().LastRunCompleted || !form_->Listing() || !form_->Result()) return;
    (new NetworkView(*form_->Listing(), *form_->Result(), this))->show();  // deletes itself when closed
}

void ProgramWindow::ShowResultsTable()
{
    if (!form_->State().LastRunCompleted || !form_->Listing() || !form_->Result()) return;
    auto* table = new ResultsTable(*form_->Listing(), *form_->Result(), this);
    table->setAttribute(Qt::WA_DeleteOnClose);
    table->show();
}

void ProgramWindow::Warn(const QString& text) { QMessageBox::warning(this, QApplication::applicationName(), text); }

QString ProgramWindow::ChooseFile(bool save, const QString& title, const QString& filter, const QString& suffix)
{
    QFileDialog dialog(this, title, QString(), filter);
    dialog.setObjectName("FileDialog");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

void ProgramWindow::OpenObservations()
{
    const QString path = ChooseFile(false, Utf8("打开观测数据"), Utf8(OBSERVATIONS_FILTER), "trilat");
    if (!path.isEmpty()) OpenFile(path);
}

bool ProgramWindow::OpenFile(const QString& path)
{
    std::string bytes;
    if (!ReadWhole(path, bytes)) {
        Warn(Utf8("文件 %1 无法读取。").arg(path));
        return false;
    }
    auto read = ReadObservationFile(bytes);
    if (const FileError* error = std::get_if<FileError>(&read)) {
        Warn(Utf8("文件 %1 不能打开：\n%2").arg(path, ToQString(FormatFileError(*error))));
        return false;
    }
    ShowFileInTitle(path);
    form_->RunFromRecord(std::get<ObservationRecord>(read));
    return true;
}

void ProgramWindow::ShowFileInTitle(const QString& path)
{
    setWindowTitle(QFileInfo(path).fileName() + Utf8(" — ") + Utf8(form::CAPTION));
    setWindowFilePath(path);
}

void ProgramWindow::ShowManual()
{
    QMessageBox box(QMessageBox::Information, Utf8("使用说明"), Utf8(kManual), QMessageBox::Ok, this);
    box.setObjectName("ManualBox");
    box.exec();
}

void ProgramWindow::ShowAbout()
{
    const QString text = Utf8("%1\n版本 %2\n\n未完成输入的记录保存在：\n%3\n\n观测数据和导出的文件保存在您选择的位置。")
                             .arg(Utf8(form::CAPTION), QApplication::applicationVersion(),
                                  QDir::toNativeSeparators(JournalFolder::Path()));
    QMessageBox box(QMessageBox::Information, Utf8("关于"), text, QMessageBox::Ok, this);
    box.setObjectName("AboutBox");
    box.exec();
}

void ProgramWindow::SaveObservations()
{
    ObservationRecord typed;  // the table's values once they were edited, else the last run's
    if (const QString fault = ObservationsToSave(typed); !fault.isEmpty()) return Warn(fault);
    if (typed.values.empty()) return Warn(Utf8("还没有输入观测数据，没有可保存的内容。"));
    const QString path = ChooseFile(true, Utf8("保存观测数据"), Utf8(OBSERVATIONS_FILTER), "trilat");
    if (path.isEmpty()) return;
    const QString error = WriteBytes(path, WriteObservationFile(typed));
    if (!error.isEmpty()) return Warn(Utf8("文件 %1 无法写入（%2）。").arg(path, error));
    ShowFileInTitle(path);
}

void ProgramWindow::Export(const QString& title, const QString& filter, const QString& suffix,
                           const std::function<QString(const QString& path)>& write)
{
    if (!form_->State().LastRunCompleted || !form_->Listing()) return;
    const QString path = ChooseFile(true, title, filter, suffix);
    if (path.isEmpty()) return;
    const QString error = write(path);
    if (!error.isEmpty()) Warn(Utf8("文件 %1 没有写入：%2").arg(path, error));
}

void ProgramWindow::OfferCutOffRuns()
{
    for (const JournalFolder::Orphan& orphan : journals_.TakeOrphans()) {
        std::string bytes;
        ObservationRecord record;
        bool readable = ReadWhole(orphan.path, bytes);
        if (readable) {
            auto read = ReadJournal(bytes);
            readable = std::holds_alternative<ObservationRecord>(read);
            if (readable) record = std::get<ObservationRecord>(std::move(read));
        }
        if (readable && record.values.empty()) {  // the run took no value
            JournalFolder::Discard(orphan);
            continue;
        }
        const QMessageBox::StandardButton answer = QMessageBox::question(
            this, QApplication::applicationName(),
            readable ? Utf8("上次有一次平差的输入没有完成（%1 个值）。\n\n继续上次未完成的输入?").arg(record.values.size())
                     : Utf8("上次有一次平差的输入没有完成，但记录已损坏。\n\n继续上次未完成的输入?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes && readable) {
            JournalFolder::Discard(orphan);  // its values go to this window's journal as they are taken
            form_->RunFromRecord(record);
            continue;
        }
        const QString kept = JournalFolder::KeepAsFile(orphan);
        if (kept.isEmpty())
            Warn(Utf8("未完成的输入记录 %1 无法另存。").arg(orphan.path));
        else
            QMessageBox::information(this, QApplication::applicationName(),
                                     Utf8("未完成的输入已保存为\n%1\n可以用「文件 → 打开观测数据」继续。").arg(kept));
    }
}

void ProgramWindow::closeEvent(QCloseEvent* event)
{
    if (form_->Running()) {
        // closing while a box is open: the run is abandoned, what was typed stays in the journal
        event->ignore();
        const auto answer = QMessageBox::question(
            this, QApplication::applicationName(),
            Utf8("平差计算正在输入中。放弃这次计算并退出吗？\n已输入的值保存在输入记录中，下次启动时可以继续。"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes) return;
        closeWhenRunEnds_ = true;
        form_->Abandon();
        return;
    }
    event->accept();
}
