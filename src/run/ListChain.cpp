#include "run/ListChain.h"

#include <algorithm>

#include "core/ChainTopology.h"
#include "text/PackedAngle.h"

namespace {

// `base`, or `base` with primes added, whichever is first not among `taken`.
std::string FreeName(std::string base, const std::vector<std::string>& taken)
{
    while (std::find(taken.begin(), taken.end(), base) != taken.end()) base += '\'';
    return base;
}

}  // namespace

ChainListing ListChain(const ProgramState& s, const LastRunFigures& f)
{
    const int N = s.TriangleCount;
    const bool dGiven = PointDGiven(s);
    const ChainTopology t = ChainTopologyOf(N, f.RouteSigns, dGiven);
    const auto shown = static_cast<std::size_t>(s.ResultPointCount);

    std::vector<std::string> typed(s.PointNames.begin(),
                                   s.PointNames.begin() + static_cast<std::ptrdiff_t>(std::min(shown + 1, s.PointNames.size())));
    const std::string aName = FreeName("A", typed);
    const std::string dName = FreeName("D", typed);
    auto nameOf = [&](int id) -> std::string {
        if (id == CHAIN_POINT_A) return aName;
        if (id == t.D) return dName;
        return s.PointNames.at(static_cast<std::size_t>(id));
    };

    ChainListing l;
    l.project = f.project;
    l.notes = f.notes;
    l.knownPoints.push_back({aName, s.Xa, s.Ya, true});
    l.knownPoints.push_back({nameOf(0), s.Xb, s.Yb, true});
    l.knownPoints.push_back({nameOf(t.C), s.Xc, s.Yc, true});
    if (dGiven) l.knownPoints.push_back({dName, s.Xd, s.Yd, true});

    for (std::size_t i = 0; i <= shown; ++i) {
        const bool known = i == 0 || static_cast<int>(i) == t.C;
        ListedPoint point{s.PointNames.at(i), s.PointX.at(i), s.PointY.at(i), known};
        if (i < f.precisions.size()) {
            const PointPrecision& q = f.precisions[i];
            point.hasPrecision = true;
            point.mx = q.mx, point.my = q.my, point.mp = q.mp;
            point.E = q.ellipse.E, point.F = q.ellipse.F, point.phi = q.ellipse.phi;
        }
        l.points.push_back(point);
    }

    for (int k = 1; k <= 2 * N + 1; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        ListedSide side;
        side.k = k;
        side.from = nameOf(t.sides[uk].from);
        side.to = nameOf(t.sides[uk].to);
        side.observed = s.ObservedSides.at(uk);
        side.sign = k % 2 == 0 ? f.RouteSigns.at(uk / 2) : 0;
        side.known = k == 1 || (dGiven && k == 2 * N + 1);
        side.correction = side.known || uk >= f.Corrections.size() ? 0.0 : f.Corrections[uk];
        side.adjusted = s.SideLengths.at(uk);
        l.sides.push_back(side);
    }

    // Without azimuth data both angles are typed as 0 and there is no closing angle.
    if (!dGiven && !(s.Tb == 0 && s.Qb == 0)) {
        ChainListing::ClosingAngles c;
        c.TbPacked = s.Tb;
        c.QbPacked = s.Qb;
        c.azimuthDeg = PackedToDegrees(s.Tb).value_or(0);
        c.orientationDeg = PackedToDegrees(s.Qb).value_or(0);
        c.lastSideFar = nameOf(t.station.at(static_cast<std::size_t>(N)));
        l.closing = c;
    }
    return l;
}
