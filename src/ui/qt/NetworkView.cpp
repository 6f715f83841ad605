#include "ui/qt/NetworkView.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "ui/qt/NetworkPainter.h"

NetworkCanvas::NetworkCanvas(const ChainListing& listing, const ChainResult& result, QWidget* parent)
    : QWidget(parent), scene_(listing, result)
{
    setMinimumSize(240, 180);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    frame_ = NetworkFrame::Fit(scene_, QRectF(rect()));
}

void NetworkCanvas::SetFrame(const NetworkFrame& frame)
{
    frame_ = frame;
    fitted_ = false;
    update();
}

void NetworkCanvas::FitToWindow()
{
    frame_ = NetworkFrame::Fit(scene_, QRectF(rect()));
    fitted_ = true;
    update();
}

void NetworkCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintNetwork(painter, QRectF(rect()), scene_, frame_);
}

void NetworkCanvas::resizeEvent(QResizeEvent*)
{
    if (fitted_) FitToWindow();
}

void NetworkCanvas::wheelEvent(QWheelEvent* event)
{
    // one notch of the wheel (120) zooms by 1.25
    const double factor = std::pow(1.25, event->angleDelta().y() / 120.0);
    if (factor != 1) SetFrame(frame_.ZoomedAt(event->position(), factor, QRectF(rect())));
    event->accept();
}

void NetworkCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    dragging_ = true;
    dragFrom_ = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void NetworkCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_) return QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
    SetFrame(frame_.Panned(QPointF(at - dragFrom_)));
    dragFrom_ = at;
}

void NetworkCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

NetworkView::NetworkView(const ChainListing& listing, const ChainResult& result, QWidget* parent)
    : QWidget(parent, Qt::Window), canvas_(new NetworkCanvas(listing, result, this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromUtf8("网图"));
    auto* fit = new QPushButton(QString::fromUtf8("适合窗口(&F)"), this);
    auto* png = new QPushButton(QString::fromUtf8("导出 PNG…"), this);
    auto* svg = new QPushButton(QString::fromUtf8("导出 SVG…"), this);
    fit->setObjectName("fit");
    png->setObjectName("png");
    svg->setObjectName("svg");
    connect(fit, &QPushButton::clicked, this, &NetworkView::FitToWindow);
    connect(png, &QPushButton::clicked, this, &NetworkView::AskExportPng);
    connect(svg, &QPushButton::clicked, this, &NetworkView::AskExportSvg);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fit);
    buttons->addWidget(png);
    buttons->addWidget(svg);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(canvas_, 1);
    canvas_->setFocusPolicy(Qt::StrongFocus);
}

void NetworkView::FitToWindow() { canvas_->FitToWindow(); }

void NetworkView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F || event->key() == Qt::Key_Home) return FitToWindow();
    QWidget::keyPressEvent(event);
}

QString NetworkView::ExportPng(const QString& path) const
{
    QImage image(canvas_->size(), QImage::Format_RGB32);
    {
        QPainter painter(&image);
        PaintNetwork(painter, QRectF(image.rect()), canvas_->Scene(), canvas_->Frame());
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!image.save(&file, "PNG")) return QString::fromUtf8("图像无法写入");
    if (!file.commit()) return file.errorString();
    return {};
}

QString NetworkView::ExportSvg(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setResolution(96);
    svg.setSize(canvas_->size());
    svg.setViewBox(QRect(QPoint(0, 0), canvas_->size()));
    svg.setTitle(QString::fromUtf8("网图"));
    {
        QPainter painter(&svg);
        NetworkPaintOptions options;
        options.everyName = true;
        PaintNetwork(painter, QRectF(QPointF(0, 0), QSizeF(canvas_->size())), canvas_->Scene(), canvas_->Frame(), options);
    }
    if (!file.commit()) return file.errorString();
    return {};
}

void NetworkView::AskExportPng()
{
    AskExport(QString::fromUtf8("网图保存为 PNG"), "PNG (*.png)", "png", &NetworkView::ExportPng);
}

void NetworkView::AskExportSvg()
{
    AskExport(QString::fromUtf8("网图保存为 SVG"), "SVG (*.svg)", "svg", &NetworkView::ExportSvg);
}

void NetworkView::AskExport(const QString& caption, const QString& filter, const QString& suffix,
                            QString (NetworkView::*write)(const QString&) const)
{
    QFileDialog dialog(this, caption, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(QString::fromUtf8("网图.") + suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().front();
    const QString error = (this->*write)(path);
    if (!error.isEmpty())
        QMessageBox::warning(this, QApplication::applicationName(),
                             QString::fromUtf8("文件 %1 无法写入（%2）。").arg(path, error));
}
