#include "ui/qt/NetworkView.h"

#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
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
#include <algorithm>
#include <cmath>

#include "ui/qt/NetworkPainter.h"

NetworkCanvas::NetworkCanvas(const ChainListing& listing, const ChainResult& result, QWidget* parent)
    : QWidget(parent), scene_(listing, result)
{
    setMinimumSize(240, 180);
    setCursor(Qt::OpenHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    frame_ = FitNetwork(scene_, QRectF(rect()), this);
}

void NetworkCanvas::SetFrame(const NetworkFrame& frame)
{
    frame_ = frame;
    fitted_ = false;
    update();
}

void NetworkCanvas::FitToWindow()
{
    frame_ = FitNetwork(scene_, QRectF(rect()), this);
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

void NetworkCanvas::keyPressEvent(QKeyEvent* event)
{
    const QRectF target(rect());
    const QPointF step(width() / 10.0, height() / 10.0);
    const bool control = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: return SetFrame(frame_.ZoomedAt(target.center(), 1.25, target));
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return SetFrame(frame_.ZoomedAt(target.center(), 1 / 1.25, target));
    // an arrow shows more of the ground that way: the drawing moves the other way
    case Qt::Key_Left: return SetFrame(frame_.Panned(QPointF(step.x(), 0)));
    case Qt::Key_Right: return SetFrame(frame_.Panned(QPointF(-step.x(), 0)));
    case Qt::Key_Up: return SetFrame(frame_.Panned(QPointF(0, step.y())));
    case Qt::Key_Down: return SetFrame(frame_.Panned(QPointF(0, -step.y())));
    case Qt::Key_0:
        if (control) return FitToWindow();
        break;
    default: break;
    }
    QWidget::keyPressEvent(event);
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
    if (event->key() == Qt::Key_F || event->key() == Qt::Key_Home ||
        (event->key() == Qt::Key_0 && (event->modifiers() & Qt::ControlModifier)))
        return FitToWindow();
    QWidget::keyPressEvent(event);
}

QString NetworkView::ExportPng(const QString& path, int widthPx, double dpi) const
{
    const QSize shown = canvas_->size();
    const int width = widthPx > 0 ? widthPx : shown.width();
    const double factor = static_cast<double>(width) / std::max(1, shown.width());
    QImage image(QSize(width, std::max(1, static_cast<int>(std::lround(shown.height() * factor)))), QImage::Format_RGB32);
    const int dotsPerMetre = static_cast<int>(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    {
        // the ground as shown, spread over the image's width
        const QRectF target(image.rect());
        NetworkFrame frame = canvas_->Frame();
        frame.scale *= factor;
        QPainter painter(&image);
        PaintNetwork(painter, target, canvas_->Scene(), frame);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (!image.save(&file, "PNG")) return QString::fromUtf8("图像无法写入");
    if (!file.commit()) return file.errorString();
    return {};
}

QString NetworkView::ExportSvg(const QString& path, bool textAsPaths) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QBuffer drawn;
    drawn.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&drawn);
    svg.setResolution(96);
    svg.setSize(canvas_->size());
    svg.setViewBox(QRect(QPoint(0, 0), canvas_->size()));
    svg.setTitle(QString::fromUtf8("网图"));
    {
        QPainter painter(&svg);
        NetworkPaintOptions options;
        options.everyName = true;
        options.textAsPaths = textAsPaths;
        PaintNetwork(painter, QRectF(QPointF(0, 0), QSizeF(canvas_->size())), canvas_->Scene(), canvas_->Frame(), options);
    }
    // The generator names the one face it drew with; a reader without it
    // would drop every Chinese character: the list ends in a generic family.
    QString text = QString::fromUtf8(drawn.data());
    static const QRegularExpression family(R"(font-family="[^"]*")");
    text.replace(family, QString("font-family=\"%1\"").arg(QString::fromUtf8(SVG_FONT_FAMILIES).toHtmlEscaped()));
    if (file.write(text.toUtf8()) < 0 || !file.commit()) return file.errorString();
    return {};
}

void NetworkView::AskExportPng()
{
    // the width and the resolution, the height following the window's proportions
    QDialog ask(this);
    ask.setWindowTitle(QString::fromUtf8("网图保存为 PNG"));
    auto* width = new QSpinBox(&ask);
    width->setRange(100, 20000);
    width->setValue(canvas_->width());
    width->setSuffix(QString::fromUtf8(" 像素"));
    auto* dpi = new QSpinBox(&ask);
    dpi->setRange(48, 1200);
    dpi->setValue(96);
    dpi->setSuffix(" DPI");
    auto* height = new QLabel(&ask);
    auto showHeight = [this, width, height] {
        height->setText(QString::fromUtf8("%1 像素").arg(std::lround(canvas_->height() * width->value() / std::max(1.0, 1.0 * canvas_->width()))));
    };
    showHeight();
    connect(width, &QSpinBox::valueChanged, &ask, showHeight);
    connect(dpi, &QSpinBox::valueChanged, &ask, [this, width, dpi] { width->setValue(std::max(100, static_cast<int>(std::lround(canvas_->width() * dpi->value() / 96.0)))); });
    auto* form = new QFormLayout(&ask);
    form->addRow(QString::fromUtf8("分辨率"), dpi);
    form->addRow(QString::fromUtf8("宽度"), width);
    form->addRow(QString::fromUtf8("高度"), height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    form->addRow(buttons);
    if (ask.exec() != QDialog::Accepted) return;
    const int w = width->value();
    const double d = dpi->value();
    AskExport(QString::fromUtf8("网图保存为 PNG"), "PNG (*.png)", "png", [this, w, d](const QString& path) { return ExportPng(path, w, d); });
}

void NetworkView::AskExportSvg()
{
    QMessageBox ask(QMessageBox::Question, QString::fromUtf8("网图保存为 SVG"),
                    QString::fromUtf8("文字保留为文字（可以搜索、编辑），还是转为路径（在没有中文字体的软件里也显示一样）？"),
                    QMessageBox::NoButton, this);
    QPushButton* asText = ask.addButton(QString::fromUtf8("保留为文字"), QMessageBox::AcceptRole);
    QPushButton* asPaths = ask.addButton(QString::fromUtf8("转为路径"), QMessageBox::AcceptRole);
    ask.addButton(QMessageBox::Cancel);
    ask.exec();
    if (ask.clickedButton() != asText && ask.clickedButton() != asPaths) return;
    const bool paths = ask.clickedButton() == asPaths;
    AskExport(QString::fromUtf8("网图保存为 SVG"), "SVG (*.svg)", "svg", [this, paths](const QString& path) { return ExportSvg(path, paths); });
}

void NetworkView::AskExport(const QString& caption, const QString& filter, const QString& suffix,
                            const std::function<QString(const QString&)>& write)
{
    QFileDialog dialog(this, caption, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(QString::fromUtf8("网图.") + suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().front();
    const QString error = write(path);
    if (!error.isEmpty())
        QMessageBox::warning(this, QApplication::applicationName(),
                             QString::fromUtf8("文件 %1 无法写入（%2）。").arg(path, error));
}
