#pragma once
// The window 网图: the drawing of the last completed run's chain, fitted to
// the window when it opens. The wheel zooms around the pointer, a drag moves
// the drawing, 适合窗口 (or the key F, Home, Ctrl+0) fits the whole chain
// again; the keys + and − zoom around the middle, the arrows move the drawing
// by a tenth of the window. The drawing as shown can be saved as PNG, at a
// chosen width and resolution, or as SVG, its texts as text or as outlines.
#include <QPoint>
#include <QString>
#include <QWidget>
#include <functional>

#include "core/ChainResult.h"
#include "state/ChainListing.h"
#include "ui/qt/NetworkScene.h"

class QPushButton;

// The face the SVG file names for its texts: CJK serif faces a reader may
// have, then the generic family.
inline constexpr const char* SVG_FONT_FAMILIES = "Noto Serif CJK SC, AR PL UMing CN, AR PL SungtiL GB, serif";

// The drawing itself: keeps the scene and the frame it shows.
class NetworkCanvas : public QWidget {
public:
    NetworkCanvas(const ChainListing& listing, const ChainResult& result, QWidget* parent = nullptr);

    const NetworkScene& Scene() const { return scene_; }
    const NetworkFrame& Frame() const { return frame_; }
    void SetFrame(const NetworkFrame& frame);
    void FitToWindow();

    QSize sizeHint() const override { return {900, 640}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    NetworkScene scene_;
    NetworkFrame frame_;
    bool fitted_ = true;  // follows the window's size until zoomed or moved
    bool dragging_ = false;
    QPoint dragFrom_;
};

class NetworkView : public QWidget {
    Q_OBJECT
public:
    // A window of its own (deleted when closed); the chain is copied, the
    // listing and the result need not outlive it.
    NetworkView(const ChainListing& listing, const ChainResult& result, QWidget* parent = nullptr);

    NetworkCanvas& Canvas() { return *canvas_; }

    // The drawing as shown; the reason when the file could not be written,
    // else an empty text. PNG: widthPx wide [px] (0: the canvas's width), as
    // high as the canvas's proportions give, markers and text sized for dpi
    // [dots per inch], recorded in the file. SVG: the canvas's size; the
    // names' face a list that ends in a generic family (SVG_FONT_FAMILIES),
    // or with textAsPaths every text as filled outlines.
    QString ExportPng(const QString& path, int widthPx = 0, double dpi = 96) const;
    QString ExportSvg(const QString& path, bool textAsPaths = false) const;

public slots:
    void FitToWindow();
    void AskExportPng();
    void AskExportSvg();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AskExport(const QString& caption, const QString& filter, const QString& suffix,
                   const std::function<QString(const QString&)>& write);
    NetworkCanvas* canvas_;
};
