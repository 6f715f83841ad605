#include "ui/qt/NetworkScene.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "core/ChainObservations.h"

namespace {

// Points and sides per culling block: neighbours in the chain lie close
// together, so a run of them covers a small ground.
constexpr int BLOCK = 64;

template <typename Extent>
std::vector<NetworkBlock> Blocks(int count, Extent extentOf)
{
    std::vector<NetworkBlock> blocks;
    for (int first = 0; first < count; first += BLOCK) {
        NetworkBlock b{first, std::min(count, first + BLOCK), INFINITY, -INFINITY, INFINITY, -INFINITY};
        for (int i = b.first; i < b.end; ++i) extentOf(i, b);
        blocks.push_back(b);
    }
    return blocks;
}

void Cover(NetworkBlock& b, const NetworkPoint& p)
{
    b.minX = std::min(b.minX, p.X), b.maxX = std::max(b.maxX, p.X);
    b.minY = std::min(b.minY, p.Y), b.maxY = std::max(b.maxY, p.Y);
}

}  // namespace

NetworkScene::NetworkScene(const ChainListing& listing, const ChainResult& result)
{
    std::unordered_map<std::string, int> byName;
    auto add = [&](const ListedPoint& p, std::size_t listed) {
        if (byName.count(p.name)) return;
        NetworkPoint q{QString::fromStdString(p.name), p.X, p.Y, p.known};
        if (listed < result.PointPrecisions.size() && !result.PointPrecisions[listed].known) {
            const ErrorEllipse& e = result.PointPrecisions[listed].ellipse;
            q.E = e.E, q.F = e.F, q.phi = e.phi;
        } else if (p.hasPrecision) {
            q.E = p.E, q.F = p.F, q.phi = p.phi;
        }
        byName.emplace(p.name, static_cast<int>(points_.size()));
        points_.push_back(q);
    };
    for (std::size_t i = 0; i < listing.points.size(); ++i) add(listing.points[i], i);
    for (const ListedPoint& p : listing.knownPoints) add(p, SIZE_MAX);

    std::vector<double> lengths;
    for (const ListedSide& s : listing.sides) {
        const auto from = byName.find(s.from), to = byName.find(s.to);
        if (from == byName.end() || to == byName.end()) continue;
        sides_.emplace_back(from->second, to->second);
        const NetworkPoint &a = points_[static_cast<std::size_t>(from->second)],
                           &b = points_[static_cast<std::size_t>(to->second)];
        lengths.push_back(std::hypot(a.X - b.X, a.Y - b.Y));
    }

    const int N = (static_cast<int>(listing.sides.size()) - 1) / 2;
    if (N >= 1 && result.WeakestPoint >= 0 && result.WeakestPoint < static_cast<int>(listing.points.size()))
        weakest_ = byName.at(listing.points[static_cast<std::size_t>(result.WeakestPoint)].name);

    pointBlocks_ = Blocks(static_cast<int>(points_.size()),
                          [this](int i, NetworkBlock& b) { Cover(b, points_[static_cast<std::size_t>(i)]); });
    sideBlocks_ = Blocks(static_cast<int>(sides_.size()), [this](int i, NetworkBlock& b) {
        Cover(b, points_[static_cast<std::size_t>(sides_[static_cast<std::size_t>(i)].first)]);
        Cover(b, points_[static_cast<std::size_t>(sides_[static_cast<std::size_t>(i)].second)]);
    });

    if (!points_.empty()) {
        minX_ = maxX_ = points_.front().X;
        minY_ = maxY_ = points_.front().Y;
        for (const NetworkPoint& p : points_) {
            minX_ = std::min(minX_, p.X), maxX_ = std::max(maxX_, p.X);
            minY_ = std::min(minY_, p.Y), maxY_ = std::max(maxY_, p.Y);
        }
    }
    if (maxX_ - minX_ < 1) minX_ -= 0.5, maxX_ += 0.5;
    if (maxY_ - minY_ < 1) minY_ -= 0.5, maxY_ += 0.5;

    double largestE = 0;
    for (const NetworkPoint& p : points_) largestE = std::max(largestE, p.E);
    magnification_ = EllipseMagnification(MedianSide(lengths), largestE);

    drawnMinX_ = minX_, drawnMaxX_ = maxX_, drawnMinY_ = minY_, drawnMaxY_ = maxY_;
    for (const NetworkPoint& p : points_) {
        const double reach = p.E / 1000 * magnification_;  // [m]
        drawnMinX_ = std::min(drawnMinX_, p.X - reach), drawnMaxX_ = std::max(drawnMaxX_, p.X + reach);
        drawnMinY_ = std::min(drawnMinY_, p.Y - reach), drawnMaxY_ = std::max(drawnMaxY_, p.Y + reach);
    }
}

NetworkFrame NetworkFrame::Fit(const NetworkScene& scene, const QRectF& target, double margin, QSizeF name)
{
    NetworkFrame f;
    f.centreX = (scene.DrawnMinX() + scene.DrawnMaxX()) / 2;
    f.centreY = (scene.DrawnMinY() + scene.DrawnMaxY()) / 2;
    // above and below also the room of the legend and the scale bars
    const double width = std::max(1.0, target.width() - 2 * (margin + name.width()));
    const double height = std::max(1.0, target.height() - 4 * margin - 2 * name.height());
    f.scale = std::min(width / (scene.DrawnMaxY() - scene.DrawnMinY()), height / (scene.DrawnMaxX() - scene.DrawnMinX()));
    return f;
}

NetworkFrame NetworkFrame::ZoomedAt(const QPointF& pixel, double factor, const QRectF& target) const
{
    const QPointF ground = ToGround(pixel, target);
    NetworkFrame f = *this;
    f.scale = scale * factor;
    f.centreX = ground.x() + (pixel.y() - target.center().y()) / f.scale;
    f.centreY = ground.y() - (pixel.x() - target.center().x()) / f.scale;
    return f;
}

NetworkFrame NetworkFrame::Panned(const QPointF& pixels) const
{
    NetworkFrame f = *this;
    f.centreX += pixels.y() / scale;
    f.centreY -= pixels.x() / scale;
    return f;
}
