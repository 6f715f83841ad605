#pragma once
// The drawing of the chain (网图) on any paint device: the window's view, an
// image, an SVG file or a PDF page.
//
// Drawn in target, to scale, north up: every side a line, the error ellipses
// magnified (NetworkScene::Magnification), known points as triangles, new
// points as filled circles, the names beside them, a ring around the weakest
// station, and at the bottom left the drawing's scale bar with the ellipses'
// own scale bar beside it, a legend at the top left. Only the blocks of points
// and sides inside target are drawn; an ellipse smaller than a pixel and a
// name with no room left (another name there) are left out. A name stands
// beside its point where it crosses no side, ellipse or other marker: right
// above, right below, left above, left below, above or below, then the
// same beyond its own ellipse, the first of these that is clear; where none
// is, the first that lies in target and meets no other name.
//
// Sizes of markers, pens and text are given for a 96 DPI screen and grow with
// the device's logical DPI, so a PDF page at 1200 DPI looks like the window.
//
// For a drawing of the whole chain, fitted into a rectangle (the full
// report's page):
//     PaintNetwork(painter, pageRect, listing, result);
// For a view of its own, keep a NetworkScene and change the NetworkFrame:
//     PaintNetwork(painter, target, scene, frame);
#include <QColor>
#include <QPainter>
#include <QRectF>

#include "core/ChainResult.h"
#include "state/ChainListing.h"
#include "ui/qt/NetworkScene.h"

namespace network_colours {
inline const QColor PAPER{255, 255, 255};
inline const QColor SIDE{110, 110, 110};
inline const QColor KNOWN{0, 0, 0};         // triangles
inline const QColor NEW_POINT{0, 70, 200};  // circles
inline const QColor ELLIPSE{220, 0, 0};
inline const QColor WEAKEST{240, 150, 0};   // the ring
inline const QColor NAME{0, 0, 0};
}  // namespace network_colours

struct NetworkPaintOptions {
    // Every name in target, also where names overlap (a vector file the
    // reader zooms into).
    bool everyName = false;
    bool scaleBars = true;
    bool legend = true;
    // Every text drawn as filled outlines, not as text: a file that shows
    // the same where the reader lacks the face.
    bool textAsPaths = false;
};

// The face of the names, the legend and the bars: 宋体 (Fonts.h) at 9 pt.
QFont NetworkFont();

// The room a name takes beside its point on device [px]: the widest name of
// scene and the gap to its marker, and the height of a line.
QSizeF NetworkNameRoom(const NetworkScene& scene, const QPaintDevice* device);

// The whole chain with its ellipses and names fitted into target on device.
NetworkFrame FitNetwork(const NetworkScene& scene, const QRectF& target, const QPaintDevice* device);

// The drawing of scene as seen through frame.
void PaintNetwork(QPainter& painter, const QRectF& target, const NetworkScene& scene, const NetworkFrame& frame,
                  const NetworkPaintOptions& options = {});

// The whole chain fitted into target (FitNetwork).
void PaintNetwork(QPainter& painter, const QRectF& target, const ChainListing& listing, const ChainResult& result,
                  const NetworkPaintOptions& options = {});

// The size of the drawing's sizes on the painter's device: 1 on a 96 DPI
// screen or image.
double NetworkUnit(const QPainter& painter);

// The drawn semi-axes of a point's ellipse [px], E and F times the
// magnification at the frame's scale.
inline double EllipsePixels(double axisMm, const NetworkScene& scene, const NetworkFrame& frame)
{
    return axisMm / 1000 * scene.Magnification() * frame.scale;
}
