#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "display/ReportComposer.h"
#include "files/Journal.h"
#include "files/ListChain.h"
#include "run/AdjustmentRun.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/FormLayout.h"
#include "ui/qt/QtPlatform.h"
#include "ui/qt/ReportPainter.h"

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
            QLabel* label = AddLabel(spec.caption, spec.left, spec.top, FormFont(spec.font));
            if (spec.hidden) label->setObjectName("HiddenLabel");
        }

    const QFont song9 = FormFont(form::FontKind::Song9);
    for (const form::FieldSpec& spec : form::Fields()) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString("Text%1").arg(spec.number));
        field->setReadOnly(true);
        field->setFont(song9);
        field->setGeometry(PixelsX(spec.left), PixelsY(spec.top), PixelsX(spec.width), PixelsY(form::FIELD_HEIGHT));
        QPalette p = field->palette();
        p.setColor(QPalette::Base, Qt::white);
        p.setColor(QPalette::Text, Qt::black);
        field->setPalette(p);
        fields_[static_cast<std::size_t>(spec.number)] = field;
    }

    for (const form::ButtonSpec& spec : form::Buttons()) {
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), this);
        button->setObjectName(QString("Command%1").arg(spec.number));
        button->setFont(song9);
        button->setGeometry(PixelsX(spec.left), PixelsY(spec.top), PixelsX(spec.width), PixelsY(spec.height));
        if (spec.cyan) {
            QPalette p = button->palette();
            p.setColor(QPalette::Button, ToColour(form::BUTTON_CYAN));
            button->setPalette(p);
        }
        buttons_[static_cast<std::size_t>(spec.number)] = button;
    }
    // Nothing to print before a run has completed.
    Button(3)->setEnabled(false);
    connect(Button(1), &QPushButton::clicked, this, &MainWindow::RunAdjustment);
    connect(Button(2), &QPushButton::clicked, this, &MainWindow::EndProgram);
    connect(Button(3), &QPushButton::clicked, this, &MainWindow::PrintReport);

    resize(PixelsX(form::CONTENT_WIDTH), PixelsY(form::CONTENT_HEIGHT));
}

QSize MainWindow::sizeHint() const { return {PixelsX(form::CONTENT_WIDTH), PixelsY(form::CONTENT_HEIGHT)}; }

int MainWindow::PixelsX(int twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiX() / 1440.0));
}

int MainWindow::PixelsY(int twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiY() / 1440.0));
}

QLabel* MainWindow::AddLabel(const char* caption, int left, int top, QFont font)
{
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setFont(font);
    label->setContentsMargins(0, 0, 0, 0);
    label->adjustSize();
    label->move(PixelsX(left), PixelsY(top));
    labels_.push_back(label);
    return label;
}

void MainWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double scale = logicalDpiX() / 96.0;  // line widths are given in pixels at 96 DPI
    for (auto table : {form::BorderLines, form::DiagramLines})
        for (const form::LineSpec& line : table()) {
            QPen pen(ToColour(line.colour), std::max(1.0, line.widthPixels * scale));
            pen.setCapStyle(Qt::RoundCap);
            painter.setPen(pen);
            painter.drawLine(QPointF(PixelsX(line.x1), PixelsY(line.y1)), QPointF(PixelsX(line.x2), PixelsY(line.y2)));
        }
}

void MainWindow::SetFieldText(int field, const QString& text)
{
    if (field < 0 || field >= static_cast<int>(fields_.size())) return;
    if (QLineEdit* f = Field(field)) f->setText(text);
}

void MainWindow::RunAdjustment() { Run(nullptr); }

void MainWindow::RunFromRecord(const ObservationRecord& record) { Run(&record); }

void MainWindow::Run(const ObservationRecord* prefilled)
{
    QtPlatform platform(*this);
    Button(3)->setEnabled(false);
    RunOptions options;
    options.prefilled = prefilled;
    if (journal_) {
        journal_->Start();
        options.onConfirm = [this](const ObservationRecord& typed) {
            if (std::optional<std::string> error = journal_->Update(typed))
                QMessageBox::warning(this, QApplication::applicationName(),
                                     QString::fromUtf8("输入记录无法写入（%1），请及时保存观测数据。").arg(ToQString(*error)));
        };
    }
    RunOutcome outcome = AdjustmentRun(state_, platform, options);
    if (journal_ && outcome.observations) journal_->Remove();  // every value is in
    if (outcome.kind == RunOutcome::Completed) {
        LastRunFigures figures;
        figures.RouteSigns = outcome.observations->RouteSigns;
        figures.Corrections = outcome.chain->result.Corrections;
        figures.project = state_.LastTyped.project;
        listing_ = ListChain(state_, figures);
    } else if (!state_.LastRunCompleted) {
        listing_.reset();
    }
    Button(3)->setEnabled(state_.LastRunCompleted);
    emit RunEnded();
}

void MainWindow::PrintReport()
{
    if (!state_.LastRunCompleted) return;
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
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        OfferPdf(report, QString::fromUtf8("没有找到默认打印机，报告无法打印。"));
        return;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QString::fromUtf8(form::CAPTION));
    const ReportPaintResult result = PaintReport(report, printer);
    if (!result.ok)
        OfferPdf(report, QString::fromUtf8("打印机 %1 出错，报告没有打印完（%2）。").arg(info.printerName(), result.error));
}

void MainWindow::OfferPdf(const Report& report, const QString& problem)
{
    const QString question = problem + QString::fromUtf8("\n\n是否把报告保存为 PDF 文件？");
    if (QMessageBox::warning(this, QApplication::applicationName(), question, QMessageBox::Save | QMessageBox::Cancel,
                             QMessageBox::Save) != QMessageBox::Save)
        return;
    const QString file = QFileDialog::getSaveFileName(this, QString::fromUtf8("报告保存为 PDF"), "trilat-report.pdf",
                                                      "PDF (*.pdf)");
    if (file.isEmpty()) return;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(file);
    pdf.setDocName(QString::fromUtf8(form::CAPTION));
    const ReportPaintResult result = PaintReport(report, pdf);
    if (!result.ok)
        QMessageBox::warning(this, QApplication::applicationName(),
                             QString::fromUtf8("文件 %1 无法写入（%2）。").arg(file, result.error));
}
