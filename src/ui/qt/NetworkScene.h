#pragma once
// The chain as a drawing sees it: every point and side once, in ground
// coordinates, grouped into runs of neighbours with their bounding boxes so
// that a view draws only the runs it shows; and the frame of one view.
//
// Glossary (units in brackets):
//   X, Y        northing and easting of a point [m]; X is up on the drawing,
//               Y to the right
//   E, F, phi   semi-axes of a point's standard error ellipse [mm] and the
//               azimuth of E [deg, clockwise from +X]
//   weakest     the listed point ChainResult::WeakestPoint (none without sides)
//   magnification  how many times the ellipses are drawn larger than the
//               ground they stand for (EllipseMagnification)
//   scale       pixels per metre of the ground in a frame [px/m]
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <vector>

#include "core/ChainResult.h"
#include "state/ChainListing.h"
#include "files/NetworkScale.h"  // RoundDown125, the magnification

struct NetworkPoint {
    QString name;
    double X = 0, Y = 0;  // [m]
    bool known = false;
    double E = 0, F = 0, phi = 0;  // [mm], [mm], [deg]; E = 0: no ellipse
};

// A run of consecutive points or sides and the ground they cover.
struct NetworkBlock {
    int first = 0, end = 0;  // [first, end) of the points or sides
    double minX = 0, maxX = 0, minY = 0, maxY = 0;  // [m]
};

class NetworkScene {
public:
    // The listed points (B, the new points, C and the point after C), then
    // A and D; a side's ends are found by name (the listing's names are
    // unique). The ellipses are those of result.PointPrecisions where it has
    // one for the point, else the listing's.
    NetworkScene(const ChainListing& listing, const ChainResult& result);

    const std::vector<NetworkPoint>& Points() const { return points_; }
    // Index pairs into Points(), side k = 1..2N+1 at k - 1.
    const std::vector<std::pair<int, int>>& Sides() const { return sides_; }
    const std::vector<NetworkBlock>& PointBlocks() const { return pointBlocks_; }
    const std::vector<NetworkBlock>& SideBlocks() const { return sideBlocks_; }
    // Index of the weakest station in Points(), -1 when the chain has none.
    int Weakest() const { return weakest_; }
    double Magnification() const { return magnification_; }
    // The ground of every point [m], X and Y spans at least 1 m.
    double MinX() const { return minX_; }
    double MaxX() const { return maxX_; }
    double MinY() const { return minY_; }
    double MaxY() const { return maxY_; }
    // The ground the drawing covers: every point with its ellipse as drawn, a
    // circle of E times the magnification around it [m].
    double DrawnMinX() const { return drawnMinX_; }
    double DrawnMaxX() const { return drawnMaxX_; }
    double DrawnMinY() const { return drawnMinY_; }
    double DrawnMaxY() const { return drawnMaxY_; }

private:
    std::vector<NetworkPoint> points_;
    std::vector<std::pair<int, int>> sides_;
    std::vector<NetworkBlock> pointBlocks_, sideBlocks_;
    int weakest_ = -1;
    double magnification_ = 1;
    double minX_ = 0, maxX_ = 1, minY_ = 0, maxY_ = 1;
    double drawnMinX_ = 0, drawnMaxX_ = 1, drawnMinY_ = 0, drawnMaxY_ = 1;
};

// Which ground a view shows in its target rectangle: the ground point at the
// centre of the target and the scale.
struct NetworkFrame {
    double centreX = 0, centreY = 0;  // [m]
    double scale = 1;                 // [px/m]

    // The whole chain with its ellipses in target, with a margin of `margin`
    // pixels left and right for the markers, twice that above and below,
    // where the legend and the scale bars are, and besides on every side the
    // room of the widest name, `name` [px], which may stand on either side of
    // its point.
    static NetworkFrame Fit(const NetworkScene& scene, const QRectF& target, double margin = 40, QSizeF name = {});

    QPointF ToPixel(double X, double Y, const QRectF& target) const
    {
        return {target.center().x() + (Y - centreY) * scale, target.center().y() - (X - centreX) * scale};
    }
    // The ground under a pixel: x() is X [m], y() is Y [m].
    QPointF ToGround(const QPointF& pixel, const QRectF& target) const
    {
        return {centreX - (pixel.y() - target.center().y()) / scale, centreY + (pixel.x() - target.center().x()) / scale};
    }
    // The same ground under `pixel` after the scale is multiplied by factor.
    NetworkFrame ZoomedAt(const QPointF& pixel, double factor, const QRectF& target) const;
    // The drawing moved by `pixels` on the screen.
    NetworkFrame Panned(const QPointF& pixels) const;
};
