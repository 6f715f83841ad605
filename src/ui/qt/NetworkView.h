#pragma once
// The window 网图: the drawing of the last completed run's chain, fitted to
// the window when it opens. The wheel zooms around the pointer, a drag moves
// the drawing, 适合窗口 (or the key F, Home) fits the whole chain again; the
// drawing as shown can be saved as PNG or SVG.
#include <QPoint>
#include <QString>
#include <QWidget>

#include "core/ChainResult.h"
#include "state/ChainListing.h"
#include "ui/qt/NetworkScene.h"

class QPushButton;

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

    // The drawing as shown, at the canvas's size; the reason when the file
    // could not be written, else an empty text.
    QString ExportPng(const QString& path) const;
    QString ExportSvg(const QString& path) const;

public slots:
    void FitToWindow();
    void AskExportPng();
    void AskExportSvg();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AskExport(const QString& caption, const QString& filter, const QString& suffix,
                   QString (NetworkView::*write)(const QString&) const);
    NetworkCanvas* canvas_;
};
