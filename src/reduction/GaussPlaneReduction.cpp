#include "reduction/GaussPlaneReduction.h"

#include <cmath>
#include <vector>

#include "core/ChainTopology.h"
#include "reduction/ApproximatePoints.h"

namespace {

constexpr double DEGREES_PER_RADIAN = 180 / 3.14159265358979323846;

bool Reduced(const ReductionParameters& p) { return p.sides != MeasuredSideKind::Plane; }

// R_A of the line a-b at its mean latitude, in its geodetic azimuth (the grid
// azimuth and the convergence at its middle) [m].
double RadiusAlong(const GaussKrugerZone& zone, PlanePoint a, PlanePoint b)
{
    const double Bm = (zone.Geographic(a).B + zone.Geographic(b).B) / 2;
    const PlanePoint m{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
    const double T = std::atan2(b.Y - a.Y, b.X - a.X) * DEGREES_PER_RADIAN;
    return zone.RadiusInAzimuth(Bm, T + zone.Geographic(m).gamma);
}

double ValueOr(const std::map<int, double>& m, int key, double otherwise)
{
    auto it = m.find(key);
    return it == m.end() ? otherwise : it->second;
}

ChainTopology TopologyOf(const ChainObservations& o)
{
    return ChainTopologyOf(o.N, RouteSignsOf(o), o.closing == ClosingKind::OnCWithD);
}

// The marks in the order a missing one is named: A, B, 1..N (D last).
std::vector<int> MarksInOrder(const ChainTopology& t)
{
    std::vector<int> marks{CHAIN_POINT_A};
    for (int id = 0; id <= t.N; ++id)
        if (id != t.D) marks.push_back(id);
    if (t.D != CHAIN_NO_POINT) marks.push_back(t.D);
    return marks;
}

}  // namespace

std::optional<ReductionFault> MissingHeight(const ChainObservations& o, const ReductionParameters& p)
{
    if (!Reduced(p)) return std::nullopt;
    const ChainTopology t = TopologyOf(o);
    for (int mark : MarksInOrder(t)) {
        if (p.markHeightM.count(mark)) continue;
        for (const SideObservation& side : o.sides)
            if (side.k > 0 && !side.fromCoordinates && (side.from == mark || side.to == mark))
                return ReductionFault{ReductionFault::Kind::MissingHeight, mark, side.k};
    }
    return std::nullopt;
}

std::variant<ChainObservations, ReductionFault> ReduceToGaussPlane(const ChainObservations& o,
                                                                   const ReductionParameters& p)
{
    if (!Reduced(p)) return o;
    if (!p.centralMeridianDeg) return ReductionFault{ReductionFault::Kind::NoCentralMeridian};
    if (std::optional<ReductionFault> missing = MissingHeight(o, p)) return *missing;

    ChainObservations reduced = o;
    // the constants first: the approximate chain is that of the sides as measured
    for (SideObservation& side : reduced.sides)
        if (side.k > 0 && !side.fromCoordinates)
            side.used = side.measured + p.addConstantMm / 1000 + side.measured * p.scaleConstantMmPerKm / 1e6;
    const std::optional<std::map<int, PlanePoint>> points = ApproximatePoints(reduced);
    if (!points) return ReductionFault{ReductionFault::Kind::Unsolvable};

    const GaussKrugerZone zone(p.ellipsoid, *p.centralMeridianDeg, p.falseEastingM);
    for (const auto& [id, point] : *points)
        if (!(std::abs(zone.East(point)) <= MAX_DISTANCE_FROM_MERIDIAN_M))
            return ReductionFault{ReductionFault::Kind::FarFromMeridian, id};

    for (SideObservation& side : reduced.sides) {
        if (side.k <= 0 || side.fromCoordinates) continue;
        const bool slope = p.sides == MeasuredSideKind::Slope;
        const double h1 = p.markHeightM.at(side.from) + p.heightAnomalyM + (slope ? ValueOr(p.instrumentHeightM, side.k, 0) : 0);
        const double h2 = p.markHeightM.at(side.to) + p.heightAnomalyM + (slope ? ValueOr(p.reflectorHeightM, side.k, 0) : 0);
        std::optional<SideReduction> r =
            ReduceSide(zone, p.sides, side.used, points->at(side.from), points->at(side.to), h1, h2, p.surfaceHeightM);
        if (!r) return ReductionFault{ReductionFault::Kind::SlopeTooShort, 0, side.k};
        r->measured = side.measured;
        side.used = r->plane;
        side.reduction = r;
    }

    if (reduced.orientation) {
        // from C along the last route side, towards its other end
        const ChainTopology t = TopologyOf(o);
        const PlanePoint C{o.Xc, o.Yc};
        const PlanePoint far = points->at(t.station.at(static_cast<std::size_t>(o.N)));
        const double delta = zone.DirectionCorrectionArcSec(C, far);
        reduced.orientation->reductionArcSec = delta;
        reduced.orientation->angleDeg -= delta / 3600;
    }
    return reduced;
}

std::optional<SideReduction> ReduceSide(const GaussKrugerZone& zone, MeasuredSideKind kind, double S, PlanePoint a,
                                        PlanePoint b, double h1, double h2, double H0)
{
    const double RA = RadiusAlong(zone, a, b);
    double D = S, c = 0;
    if (kind == MeasuredSideKind::Slope) {
        const double dh = h2 - h1;
        if (!(S > std::abs(dh))) return std::nullopt;
        D = std::sqrt(S * S - dh * dh);
        c = D * (RA + H0) / std::sqrt((RA + h1) * (RA + h2));
    } else {
        c = D * (RA + H0) / (RA + (h1 + h2) / 2);
    }
    const double s = 2 * (RA + H0) * std::asin(c / (2 * (RA + H0)));
    const double scale = zone.LineScale(a, b);
    return SideReduction{S, D, s, s * scale, scale};
}

std::optional<double> LargestDistortionCmPerKm(const ChainObservations& o)
{
    std::optional<double> largest;
    for (const SideObservation& side : o.sides) {
        if (!side.reduction) continue;
        const double ratio = (side.reduction->plane - side.reduction->horizontal) / side.reduction->horizontal;
        const double cmPerKm = ratio * 1e5;
        if (!largest || std::abs(cmPerKm) > std::abs(*largest)) largest = cmPerKm;
    }
    return largest;
}

double GroundLength(const ReductionParameters& p, PlanePoint a, PlanePoint b, double Ha, double Hb, double d)
{
    const GaussKrugerZone zone(p.ellipsoid, p.centralMeridianDeg.value_or(0), p.falseEastingM);
    const double RA = RadiusAlong(zone, a, b);
    const double H0 = p.surfaceHeightM;
    const double s = d / zone.LineScale(a, b);
    const double c = 2 * (RA + H0) * std::sin(s / (2 * (RA + H0)));
    const double hm = (Ha + Hb) / 2 + p.heightAnomalyM;
    return c * (RA + hm) / (RA + H0);
}
