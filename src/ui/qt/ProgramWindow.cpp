#include "ui/qt/ProgramWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QDesktopServices>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <cmath>
#include <variant>

#include "display/AdjustmentSteps.h"
#include "display/ReportComposer.h"
#include "files/AtomicWrite.h"
#include "files/CsvExport.h"
#include "files/DatExport.h"
#include "files/DxfExport.h"
#include "files/GamaExport.h"
#include "files/Journal.h"
#include "files/ObservationFile.h"
#include "files/RecordSummary.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/FormLayout.h"
#include "ui/qt/FullReportPdf.h"
#include "ui/qt/Manual.h"
#include "ui/qt/NetworkView.h"
#include "ui/qt/ScreenRoom.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportPdf.h"
#include "ui/qt/ReductionWindow.h"
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
    // The form grows with a larger window, fonts and lines with it, keeping its
    // proportions (in the middle of the other dimension); it keeps its own size
    // and scrolls when the window is smaller (a large
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
    formArea_ = scroll;
    scroll->viewport()->installEventFilter(this);
    setMinimumSize(480, 320);
    if (journals_.Usable()) form_->SetJournal(&journals_.Own());

    fileMenu_ = menuBar()->addMenu(Utf8("文件(&F)"));
    QAction* open = fileMenu_->addAction(Utf8("打开观测数据(&O)…"), this, &ProgramWindow::OpenObservations);
    open->setShortcut(QKeySequence::Open);
    QAction* save = fileMenu_->addAction(Utf8("保存观测数据(&S)…"), this, &ProgramWindow::SaveObservations);
    save->setShortcut(QKeySequence::Save);
    continueAction_ = fileMenu_->addAction(Utf8("继续未完成的输入(&C)"), this, &ProgramWindow::ContinueCutOffRun);
    continueAction_->setObjectName("ContinueCutOffRun");
    connect(fileMenu_, &QMenu::aboutToShow, this, &ProgramWindow::UpdateMenus);
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
    resultViews_ << viewMenu_->addAction(Utf8("边长归算表(&R)"), this, [this] {
        if (!form_->Listing()) return;
        auto* window = new ReductionWindow(*form_->Listing(), this);  // deletes itself when closed
        if (const QString earlier = form_->EarlierRunLabel(); !earlier.isEmpty())
            window->setWindowTitle(window->windowTitle() + Utf8(" — ") + earlier);
        window->show();
    });
    QAction* observations = viewMenu_->addAction(Utf8("观测数据(&D)"), this, &ProgramWindow::ShowObservationTable);
    observations->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    resultViews_ << viewMenu_->addAction(Utf8("计算过程(&S)"), this, &ProgramWindow::ShowSteps);

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

bool ProgramWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (formArea_ && watched == formArea_->viewport() && event->type() == QEvent::Resize) {
        const QSize room = formArea_->maximumViewportSize();  // without scroll bars
        const QSizeF own = QSizeF(form_->sizeHint()) / form_->Zoom();
        const double fit = std::min(room.width() / own.width(), room.height() / own.height());
        form_->SetZoom(std::floor(fit * 1000) / 1000);  // a whole pixel below the room: no scroll bar
    }
    return QMainWindow::eventFilter(watched, event);
}

void ProgramWindow::UpdateMenus()
{
    const bool results = form_->Listing() && form_->Result();
    exportMenu_->setEnabled(results);
    for (QAction* view : resultViews_) view->setEnabled(results);
    continueAction_->setEnabled(!form_->Running() && (form_->CutOffRun() || journals_.HasOrphans()));
}

// A window showing the last completed run while a later run did not complete
// says so in its title.
static void LabelWithEarlierRun(QWidget& window, const QString& label)
{
    if (!label.isEmpty()) window.setWindowTitle(window.windowTitle() + Utf8(" — ") + label);
}

void ProgramWindow::ShowNetwork()
{
    if (!form_->Listing() || !form_->Result()) return;
    auto* view = new NetworkView(*form_->Listing(), *form_->Result(), this);  // deletes itself when closed
    LabelWithEarlierRun(*view, form_->EarlierRunLabel());
    view->resize(WithinScreen(QSize(1000, 700), this));
    view->show();
}

void ProgramWindow::ShowResultsTable()
{
    if (!form_->Listing() || !form_->Result()) return;
    auto* table = new ResultsTable(*form_->Listing(), *form_->Result(), this);
    table->setAttribute(Qt::WA_DeleteOnClose);
    LabelWithEarlierRun(*table, form_->EarlierRunLabel());
    table->show();
}

void ProgramWindow::ShowSteps()
{
    const CompletedRun* last = form_->Last();
    if (!last) return;
    const FullReport steps = ComposeAdjustmentSteps(last->input.observations, last->listing,
                                                    QDate::currentDate().toString("yyyy-MM-dd").toStdString());
    auto* window = new QDialog(this);
    window->setObjectName("StepsWindow");
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(Utf8("计算过程"));
    LabelWithEarlierRun(*window, form_->EarlierRunLabel());
    auto* layout = new QVBoxLayout(window);
    auto* text = new QPlainTextEdit(ToQString(FullReportAsText(steps)), window);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(FormFont(form::FontKind::Song9));
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, window);
    QPushButton* save = buttons->addButton(Utf8("导出…"), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, window, &QDialog::close);
    connect(save, &QPushButton::clicked, this, [this, steps] {
        Export(Utf8("导出计算过程"), Utf8("PDF (*.pdf);;文本文件 (*.txt)"), "pdf", [this, steps](const QString& path) {
            if (path.endsWith(".txt", Qt::CaseInsensitive)) return WriteBytes(path, FullReportAsText(steps));
            return WriteFullReportPdf(steps, *form_->Listing(), *form_->Result(), path);
        });
    });
    layout->addWidget(buttons);
    window->resize(WithinScreen(QSize(1000, 700), this));
    window->show();
}

void ProgramWindow::ContinueCutOffRun()
{
    if (form_->Running()) return;
    if (const ObservationRecord* typed = form_->CutOffRun()) {
        const ObservationRecord record = *typed;  // the run replaces what it reads from
        form_->RunFromRecord(record);
        return;
    }
    if (!journals_.HasOrphans()) return Warn(Utf8("没有未完成的输入。"));
    OfferCutOffRuns();
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
    // a text that scrolls: as a message box it ran off a small screen with its button
    QDialog box(this);
    box.setObjectName("ManualBox");
    box.setWindowTitle(Utf8("使用说明"));
    auto* layout = new QVBoxLayout(&box);
    auto* text = new QPlainTextEdit(Utf8(kManual), &box);
    text->setReadOnly(true);
    text->setFrameShape(QFrame::NoFrame);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &box);
    connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    layout->addWidget(buttons);
    box.resize(WithinScreen(QSize(560, 620), this));
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
    statusBar()->showMessage(Utf8("观测数据已保存到 %1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
}

void ProgramWindow::Export(const QString& title, const QString& filter, const QString& suffix,
                           const std::function<QString(const QString& path)>& write)
{
    if (!form_->Listing()) return;
    const QString label = form_->EarlierRunLabel();
    const QString path = ChooseFile(true, label.isEmpty() ? title : title + Utf8(" — ") + label, filter, suffix);
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
        const QString when = QFileInfo(orphan.path).lastModified().toString("yyyy-MM-dd HH:mm");
        const QMessageBox::StandardButton answer = QMessageBox::question(
            this, QApplication::applicationName(),
            readable ? Utf8("上次有一次平差的输入没有完成：\n%1，最后一次输入在 %2。\n\n继续上次未完成的输入?")
                           .arg(ToQString(SummaryOfRecord(record)), when)
                     : Utf8("上次有一次平差的输入没有完成（最后一次输入在 %1），但记录已损坏。\n\n继续上次未完成的输入?")
                           .arg(when),
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
            TellWhereKept(kept);
    }
}

void ProgramWindow::TellWhereKept(const QString& kept)
{
    const QString folder = QFileInfo(kept).absolutePath();
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(),
                    Utf8("未完成的输入已保存为文件\n%1\n在文件夹\n%2\n\n可以用「文件 → 打开观测数据」打开它继续输入。")
                        .arg(QFileInfo(kept).fileName(), QDir::toNativeSeparators(folder)),
                    QMessageBox::Ok, this);
    box.setObjectName("KeptFileBox");
    QPushButton* open = box.addButton(Utf8("打开文件夹"), QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == open) QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
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
