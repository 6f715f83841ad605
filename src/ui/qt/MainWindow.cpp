#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QScrollArea>
#include <QShortcut>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QTime>
#include <algorithm>
#include <cmath>

#include "display/ReportComposer.h"
#include "files/Journal.h"
#include "files/RecordSummary.h"
#include "rules/FormFields.h"
#include "run/AdjustmentRun.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/FormLayout.h"
#include "ui/qt/FullReportPdf.h"
#include "ui/qt/PrinterQueue.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/QtText.h"
#include "ui/qt/ReportPdf.h"

namespace {

QColor ToColour(form::Rgb c) { return QColor(c.r, c.g, c.b); }

}  // namespace

MainWindow::MainWindow()
{
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8(form::CAPTION));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToColour(form::BACKGROUND));
    setPalette(palette);
    setAutoFillBackground(true);
    setFont(FormFont(form::FontKind::Window));

    // Labels first, so that a label under a field stays hidden behind it.
    for (auto table : {form::FieldCaptions, form::Headings, form::DiagramLabels})
        for (const form::LabelSpec& spec : table()) {
            QLabel* label = AddLabel(spec.caption);
            if (spec.hidden) label->setObjectName("HiddenLabel");
        }

    for (const form::FieldSpec& spec : form::Fields()) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString("Text%1").arg(spec.number));
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);  // output only: Tab goes from button to button
        QPalette p = field->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        field->setPalette(p);
        fields_[static_cast<std::size_t>(spec.number)] = field;
    }

    for (const form::ButtonSpec& spec : form::Buttons()) {
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), this);
        button->setObjectName(QString("Command%1").arg(spec.number));
        if (spec.cyan) {
            QPalette p = button->palette();
            p.setColor(QPalette::Button, ToColour(form::BUTTON_CYAN));
            button->setPalette(p);
        }
        buttons_[static_cast<std::size_t>(spec.number)] = button;
    }
    // Nothing to print before a run has completed.
    Button(3)->setEnabled(false);
    // The captions stay as they are; Alt with the initial of the word's sound
    // presses a button (平差 P, 结束 J, 打印 D), Return and Space the focused one.
    const struct {
        int button;
        const char* keys;
    } shortcuts[] = {{1, "Alt+P"}, {2, "Alt+J"}, {3, "Alt+D"}};
    for (const auto& s : shortcuts) {
        QPushButton* button = Button(s.button);
        auto* shortcut = new QShortcut(QKeySequence(s.keys), this);
        connect(shortcut, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) button->click();
        });
        button->setToolTip(QString(s.keys));
        button->installEventFilter(this);
    }
    setFocusProxy(Button(1));
    connect(Button(1), &QPushButton::clicked, this, &MainWindow::RunAdjustment);
    connect(Button(2), &QPushButton::clicked, this, &MainWindow::EndProgram);
    connect(Button(3), &QPushButton::clicked, this, &MainWindow::PrintReport);

    LayOut();
}

QSize MainWindow::sizeHint() const { return {PixelsX(form::CONTENT_WIDTH), PixelsY(form::CONTENT_HEIGHT)}; }

int MainWindow::PixelsX(int twips) const
{
    return static_cast<int>(std::lround(twips * zoom_ * logicalDpiX() / 1440.0));
}

int MainWindow::PixelsY(int twips) const
{
    return static_cast<int>(std::lround(twips * zoom_ * logicalDpiY() / 1440.0));
}

void MainWindow::SetZoom(double zoom)
{
    zoom = std::clamp(zoom, 1.0, 4.0);
    if (std::abs(zoom - zoom_) < 1e-3) return;
    zoom_ = zoom;
    LayOut();
}

// The form's font of a kind at the zoom.
static QFont Zoomed(form::FontKind kind, double zoom)
{
    QFont font = FormFont(kind);
    if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * zoom);
    return font;
}

void MainWindow::LayOut()
{
    setFont(Zoomed(form::FontKind::Window, zoom_));
    std::size_t next = 0;
    for (auto table : {form::FieldCaptions, form::Headings, form::DiagramLabels})
        for (const form::LabelSpec& spec : table()) {
            QLabel* label = labels_.at(next++);
            label->setFont(Zoomed(spec.font, zoom_));
            label->adjustSize();
            label->move(PixelsX(spec.left), PixelsY(spec.top));
        }
    const QFont song9 = Zoomed(form::FontKind::Song9, zoom_);
    for (const form::FieldSpec& spec : form::Fields()) {
        QLineEdit* field = Field(spec.number);
        field->setFont(song9);
        field->setGeometry(PixelsX(spec.left), PixelsY(spec.top), PixelsX(spec.width), PixelsY(form::FIELD_HEIGHT));
    }
    for (const form::ButtonSpec& spec : form::Buttons()) {
        QPushButton* button = Button(spec.number);
        button->setFont(song9);
        button->setGeometry(PixelsX(spec.left), PixelsY(spec.top), PixelsX(spec.width), PixelsY(spec.height));
    }
    resize(sizeHint());
    update();
}

QLabel* MainWindow::AddLabel(const char* caption)
{
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setContentsMargins(0, 0, 0, 0);
    labels_.push_back(label);
    return label;
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double scale = zoom_ * logicalDpiX() / 96.0;  // line widths are given in pixels at 96 DPI
    for (auto table : {form::BorderLines, form::DiagramLines})
        for (const form::LineSpec& line : table()) {
            QPen pen(ToColour(line.colour), std::max(1.0, line.widthPixels * scale));
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            painter.drawLine(QPointF(PixelsX(line.x1), PixelsY(line.y1)), QPointF(PixelsX(line.x2), PixelsY(line.y2)));
        }
}

void MainWindow::SetFieldText(int field, const QString& text, const QString& tip)
{
    if (field < 0 || field >= static_cast<int>(fields_.size())) return;
    if (QLineEdit* f = Field(field)) {
        f->setText(text);
        f->setCursorPosition(0);  // a text longer than the field shows its beginning
        f->setToolTip(tip.isEmpty() ? text : tip);
    }
}

void MainWindow::RevealField(int n)
{
    QLineEdit* f = n >= 0 && n < static_cast<int>(fields_.size()) ? Field(n) : nullptr;
    if (!f) return;
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* scroll = qobject_cast<QScrollArea*>(w)) {
            // the whole field (not only its text cursor), with some room around it
            const QRect r(f->mapTo(this, QPoint(0, 0)), f->size());
            scroll->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + PixelsX(300),
                                  r.height() / 2 + PixelsY(200));
            return;
        }
}

void MainWindow::NameTheWeakestPoint()
{
    const CompletedRun* last = Last();
    if (!last) return;
    const auto at = static_cast<std::size_t>(last->result.WeakestPoint);
    if (at >= last->input.names.size()) return;
    const QString tip = QString::fromUtf8("最弱点：") + ToQString(last->input.names[at]);
    for (int n : {field::InvPx, field::InvPy, field::mx, field::my, field::md})
        if (QLineEdit* f = Field(n)) f->setToolTip(f->toolTip() + "\n" + tip);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QRect MainWindow::FieldOnScreen(int n) const
{
    if (n <= 0 || n >= static_cast<int>(fields_.size()) || !fields_[static_cast<std::size_t>(n)]) return {};
    const QLineEdit* f = Field(n);
    return {f->mapToGlobal(QPoint(0, 0)), f->size()};
}

QRect MainWindow::DiagramsOnScreen() const
{
    return {mapToGlobal(QPoint(0, 0)), QSize(PixelsX(form::CONTENT_WIDTH), PixelsY(form::DIAGRAMS_HEIGHT))};
}

void MainWindow::Abandon()
{
    if (!running_) return;
    abandoning_ = true;
    if (QWidget* box = QApplication::activeModalWidget())
        if (auto* dialog = qobject_cast<QDialog*>(box)) dialog->reject();
}

void MainWindow::RunAdjustment()
{
    given_ = {};
    Run(nullptr);
}

void MainWindow::RunFromRecord(const ObservationRecord& record)
{
    given_ = record;
    Run(&record);
}

void MainWindow::Run(const ObservationRecord* prefilled)
{
    QtPlatform platform(*this);
    Button(3)->setEnabled(false);
    RunOptions options;
    options.prefilled = prefilled;
    if (journal_) {
        journal_->Start();
        // written at once, synced before the next box (BeforeBox): a file's
        // values, taken without their boxes, reach the disk together
        options.onConfirm = [this](const ObservationRecord& typed) {
            if (std::optional<std::string> error = journal_->Update(typed, false)) JournalNotWritten(*error);
        };
    }
    running_ = true;
    abandoning_ = false;
    RunOutcome outcome = AdjustmentRun(state_, platform, options);
    running_ = false;
    if (journal_ && outcome.observations)
        journal_->Remove();  // every value is in
    else
        BeforeBox();  // what the run took, on the disk before the window goes on
    if (outcome.kind == RunOutcome::Completed) {
        lastCompletedAt_ = QTime::currentTime().toString("HH:mm");
        NameTheWeakestPoint();
    }
    Button(3)->setEnabled(Last() != nullptr);
    if (outcome.kind == RunOutcome::Cancelled && outcome.valuesTaken > 0 && !abandoning_)
        TellHowToContinue(outcome.valuesTaken);
    emit RunEnded(outcome.kind);
}

void MainWindow::BeforeBox()
{
    if (!journal_) return;
    if (std::optional<std::string> error = journal_->Sync()) JournalNotWritten(*error);
}

void MainWindow::JournalNotWritten(const std::string& error)
{
    QMessageBox::warning(this, QApplication::applicationName(),
                         QString::fromUtf8("输入记录无法写入（%1），请及时保存观测数据。").arg(ToQString(error)));
}

void MainWindow::TellHowToContinue(std::size_t values)
{
    QString text = QString::fromUtf8("本次输入已结束。已输入的 %1 个值都保留着：\n"
                                     "用「文件 → 继续未完成的输入」从停下的地方接着输入，"
                                     "或用「文件 → 保存观测数据」保存下来。")
                       .arg(values);
    if (Last()) text += "\n\n" + EarlierRunLabel() + QString::fromUtf8("：它的成果表、网图、导出和打印仍可使用。");
    QMessageBox box(QMessageBox::Information, QApplication::applicationName(), text, QMessageBox::Ok, this);
    box.setObjectName("InputEndedBox");
    box.exec();
}

QString MainWindow::EarlierRunLabel() const
{
    if (state_.LastRunCompleted || !Last()) return {};
    QString label = QString::fromUtf8("上次完成的平差：") + ToQString(SummaryOfRun(Last()->input));
    if (!lastCompletedAt_.isEmpty()) label += QString::fromUtf8("（%1 完成）").arg(lastCompletedAt_);
    return label;
}

const ObservationRecord* MainWindow::CutOffRun() const
{
    const ObservationRecord& typed = state_.LastTyped;
    return !running_ && !typed.complete && !typed.values.empty() ? &typed : nullptr;
}

void MainWindow::PrintReport()
{
    if (!Last()) return;
    if (!state_.LastRunCompleted) {
        // the form shows a run that did not complete: say whose report this is
        QMessageBox ask(QMessageBox::Question, QApplication::applicationName(),
                        QString::fromUtf8("最近一次输入没有完成。\n打印%1的报告吗？").arg(EarlierRunLabel()),
                        QMessageBox::NoButton, this);
        ask.setObjectName("PrintEarlierBox");
        QPushButton* print = ask.addButton(QString::fromUtf8("打印"), QMessageBox::AcceptRole);
        QPushButton* keep = ask.addButton(QString::fromUtf8("取消"), QMessageBox::RejectRole);
        ask.setDefaultButton(print);
        ask.setEscapeButton(keep);
        ask.exec();
        if (ask.clickedButton() != print) return;
    }
    QtPlatform platform(*this);
    ReportPrinter(state_, platform);
}

void MainWindow::EndProgram()
{
    close();
    QCoreApplication::quit();  // leaves the event loop: the program ends
}

void MainWindow::PrintToPrinter(const Report& report)
{
    const QueueState preferred = QueueNamed();
    if (!preferred.serverReachable)
        return OfferPdf(report, QString::fromUtf8("无法连接打印服务（CUPS 没有运行或不可访问），报告无法打印。"));
    if (preferred.name.isEmpty()) return OfferPdf(report, QString::fromUtf8("没有找到默认打印机，报告无法打印。"));

    // The print dialog: the printer (the default queue chosen), copies, pages,
    // and which report: the adjustment report or the full report (成果报告).
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(preferred.name);
    printer.setDocName(PRINT_JOB_NAME);
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName("PrintDialog");
    dialog.setWindowTitle(QString::fromUtf8("打印报告"));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    auto* which = new QWidget;
    which->setWindowTitle(QString::fromUtf8("报告"));
    auto* layout = new QVBoxLayout(which);
    auto* adjustment = new QRadioButton(QString::fromUtf8("平差报告"), which);
    auto* full = new QRadioButton(QString::fromUtf8("成果报告（点名、误差椭圆、观测值改正数）"), which);
    full->setObjectName("FullReportChoice");
    adjustment->setChecked(true);
    full->setEnabled(Last() != nullptr);
    layout->addWidget(adjustment);
    layout->addWidget(full);
    layout->addStretch();
    dialog.setOptionTabs({which});
    if (dialog.exec() != QDialog::Accepted) return;
    const bool fullReport = full->isChecked();

    // Asked before the job is sent: a stopped queue would keep it unseen, a
    // rejecting one would lose it.
    const QueueState queue = QueueNamed(printer.printerName());
    if (queue.name.isEmpty())
        return OfferPdf(report, QString::fromUtf8("打印机 %1 找不到了，报告无法打印。").arg(printer.printerName()));
    const QString why = queue.reason.isEmpty() ? QString() : QString::fromUtf8("（%1）").arg(queue.reason);
    if (!queue.accepting)
        return OfferPdf(report, QString::fromUtf8("打印机 %1 不接受打印任务%2，报告无法打印。").arg(queue.name, why));
    if (queue.stopped)
        return OfferPdf(report, QString::fromUtf8("打印机 %1 已停止%2，报告现在不会打印出来。").arg(queue.name, why));
    QTemporaryDir folder;
    const QString pdf = folder.path() + "/" + PRINT_JOB_NAME + ".pdf";
    QString error = !folder.isValid()           ? folder.errorString()
                    : fullReport && Last()      ? WriteFullReportFile(Last()->listing, Last()->result, pdf)
                                                : WriteReportPdf(report, pdf);
    PrintJob job;
    if (error.isEmpty()) {
        const QString pages = printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0
                                  ? QString("%1-%2").arg(printer.fromPage()).arg(std::max(printer.fromPage(), printer.toPage()))
                                  : QString();
        job = SendPdf(queue.name, pdf, std::max(1, printer.copyCount()), pages);
        error = job.error;
    }
    if (!error.isEmpty())
        return OfferPdf(report, QString::fromUtf8("打印机 %1 没有接受这份报告（%2），报告没有打印。").arg(queue.name, error));
    QMessageBox sent(QMessageBox::Information, QApplication::applicationName(),
                     QString::fromUtf8("%1已发送到打印机 %2，作业号 %3。")
                         .arg(QString::fromUtf8(fullReport ? "成果报告" : "平差报告"), queue.name)
                         .arg(job.number),
                     QMessageBox::Ok, this);
    sent.setObjectName("PrintSentBox");
    sent.exec();
}

void MainWindow::OfferPdf(const Report& report, const QString& problem)
{
    const QString question = problem + QString::fromUtf8("\n\n是否把报告保存为 PDF 文件？");
    if (QMessageBox::warning(this, QApplication::applicationName(), question, QMessageBox::Save | QMessageBox::Cancel,
                             QMessageBox::Save) != QMessageBox::Save)
        return;
    QFileDialog dialog(this, QString::fromUtf8("报告保存为 PDF"), QString(), "PDF (*.pdf)");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("pdf");
    dialog.selectFile(QString(PRINT_JOB_NAME) + ".pdf");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString file = dialog.selectedFiles().front();
    const QString error = WriteReportPdf(report, file);
    if (!error.isEmpty())
        QMessageBox::warning(this, QApplication::applicationName(),
                             QString::fromUtf8("文件 %1 无法写入（%2）。").arg(file, error));
}
