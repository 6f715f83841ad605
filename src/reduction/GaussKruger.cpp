#include "reduction/GaussKruger.h"

#include <cmath>

#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/TransverseMercator.hpp>

struct GaussKrugerZone::Geographiclib {
    GeographicLib::TransverseMercator projection;
    GeographicLib::Ellipsoid ellipsoid;
};

namespace {

GeographicLib::TransverseMercator ProjectionOf(EllipsoidConstants c)
{
    return GeographicLib::TransverseMercator(c.a, 1 / c.inverseFlattening, 1.0);
}

}  // namespace

GaussKrugerZone::GaussKrugerZone(EllipsoidName ellipsoid, double centralMeridianDeg, double falseEastingM)
    : g_(new Geographiclib{ProjectionOf(ConstantsOf(ellipsoid)),
                          GeographicLib::Ellipsoid(ConstantsOf(ellipsoid).a, 1 / ConstantsOf(ellipsoid).inverseFlattening)}),
      L0_(centralMeridianDeg),
      E0_(falseEastingM)
{
}

GaussKrugerZone::~GaussKrugerZone() = default;

GeographicPosition GaussKrugerZone::Geographic(PlanePoint p) const
{
    GeographicPosition g;
    // GeographicLib's x is the easting, y the northing
    g_->projection.Reverse(L0_, East(p), p.X, g.B, g.L, g.gamma, g.k);
    return g;
}

PlanePoint GaussKrugerZone::Grid(double Bdeg, double Ldeg) const
{
    double x = 0, y = 0;
    g_->projection.Forward(L0_, Bdeg, Ldeg, x, y);
    return {y, x + E0_};
}

double GaussKrugerZone::PointScale(PlanePoint p) const { return Geographic(p).k; }

double GaussKrugerZone::LineScale(PlanePoint a, PlanePoint b) const
{
    const PlanePoint m{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
    return (PointScale(a) + 4 * PointScale(m) + PointScale(b)) / 6;
}

double GaussKrugerZone::RadiusInAzimuth(double Bdeg, double Adeg) const
{
    return g_->ellipsoid.NormalCurvatureRadius(Bdeg, Adeg);
}

double GaussKrugerZone::MeanRadius(double Bdeg) const
{
    return std::sqrt(g_->ellipsoid.MeridionalCurvatureRadius(Bdeg) * g_->ellipsoid.TransverseCurvatureRadius(Bdeg));
}

double GaussKrugerZone::DirectionCorrectionArcSec(PlanePoint from, PlanePoint to) const
{
    const double Bm = (Geographic(from).B + Geographic(to).B) / 2;
    const double R = MeanRadius(Bm);
    return -ARC_SECONDS_PER_RADIAN / (6 * R * R) * (to.X - from.X) * (2 * East(from) + East(to));
}
