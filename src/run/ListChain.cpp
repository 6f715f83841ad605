#include "run/ListChain.h"

#include <algorithm>
#include <utility>

#include "core/ChainTopology.h"
#include "reduction/GaussPlaneReduction.h"
#include "text/PackedAngle.h"

namespace {

// `base`, or `base` with primes added, whichever is first not among `taken`.
std::string FreeName(std::string base, const std::vector<std::string>& taken)
{
    while (std::find(taken.begin(), taken.end(), base) != taken.end()) base += '\'';
    return base;
}

// What the run reduced the sides with, where it reduced them.
std::optional<ListedReduction> ListedReductionOf(const ChainInput& input)
{
    const std::optional<double> distortion = LargestDistortionCmPerKm(input.observations);
    if (!input.reduction || !distortion) return std::nullopt;
    const ReductionParameters& p = *input.reduction;
    ListedReduction r;
    r.sideKind = p.sides == MeasuredSideKind::Slope ? "斜距" : "平距";
    r.ellipsoid = NameOf(p.ellipsoid);
    r.centralMeridianDeg = p.centralMeridianDeg.value_or(0);
    r.falseEastingM = p.falseEastingM;
    r.surfaceHeightM = p.surfaceHeightM;
    r.heightAnomalyM = p.heightAnomalyM;
    r.addConstantMm = p.addConstantMm;
    r.scaleConstantMmPerKm = p.scaleConstantMmPerKm;
    r.distortionCmPerKm = *distortion;
    if (input.observations.orientation) r.orientationReductionArcSec = input.observations.orientation->reductionArcSec;
    return r;
}

}  // namespace

ChainListing ListChain(const ChainInput& input, const ChainResult& r)
{
    const ChainObservations& o = input.observations;
    const std::vector<std::string>& names = input.names;
    const int N = o.N;
    const bool dGiven = o.closing == ClosingKind::OnCWithD;
    const std::vector<int> signs = RouteSignsOf(o);
    const ChainTopology t = ChainTopologyOf(N, signs, dGiven);
    const auto shown = static_cast<std::size_t>(r.ResultPointCount);

    std::vector<std::string> typed(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(std::min(shown + 1, names.size())));
    const std::string aName = FreeName("A", typed);
    const std::string dName = FreeName("D", typed);
    auto nameOf = [&](int id) -> std::string {
        if (id == CHAIN_POINT_A) return aName;
        if (id == t.D) return dName;
        return names.at(static_cast<std::size_t>(id));
    };

    ChainListing l;
    l.project = input.project;
    l.notes = input.notes;
    l.knownPoints.push_back({aName, o.Xa, o.Ya, true});
    l.knownPoints.push_back({nameOf(0), o.Xb, o.Yb, true});
    l.knownPoints.push_back({nameOf(t.C), o.Xc, o.Yc, true});
    if (dGiven) l.knownPoints.push_back({dName, o.Xd, o.Yd, true});

    l.points.reserve(shown + 1);
    for (std::size_t i = 0; i <= shown; ++i) {
        const bool known = i == 0 || static_cast<int>(i) == t.C;
        ListedPoint point{names.at(i), r.PointX.at(i), r.PointY.at(i), known};
        if (i < r.PointPrecisions.size()) {
            const PointPrecision& q = r.PointPrecisions[i];
            point.hasPrecision = true;
            point.mx = q.mx, point.my = q.my, point.mp = q.mp;
            point.E = q.ellipse.E, point.F = q.ellipse.F, point.phi = q.ellipse.phi;
        }
        l.points.push_back(std::move(point));
    }

    l.sides.reserve(2 * static_cast<std::size_t>(N) + 1);
    for (int k = 1; k <= 2 * N + 1; ++k) {
        const auto uk = static_cast<std::size_t>(k);
        ListedSide side;
        side.k = k;
        side.from = nameOf(t.sides[uk].from);
        side.to = nameOf(t.sides[uk].to);
        side.observed = r.ObservedSides.at(uk);
        side.sign = o.sides.at(uk).routeSign;
        side.known = o.sides.at(uk).fromCoordinates;
        side.correction = side.known || uk >= r.Corrections.size() ? 0.0 : r.Corrections[uk];
        side.adjusted = r.SideLengths.at(uk);
        side.reduction = o.sides.at(uk).reduction;
        if (!side.known) {
            auto mm = [](const std::optional<double>& m) { return m ? std::optional<double>(*m * 1000) : std::nullopt; };
            if (uk < r.Sigma.size() && r.Sigma[uk] > 0) side.sigmaMm = r.Sigma[uk] * 1000;
            if (uk < r.Mdb.size()) side.mdbMm = mm(r.Mdb[uk]);
            if (uk < r.BiasToNoise.size()) side.biasToNoise = r.BiasToNoise[uk];
            if (uk < r.WeakestShift.size()) side.weakestShiftMm = mm(r.WeakestShift[uk]);
            if (uk < r.SideSigmaMm.size()) side.adjustedSigmaMm = r.SideSigmaMm[uk];
            if (uk < r.SideRelative.size()) side.relative = r.SideRelative[uk];
        }
        if (uk < r.SideAzimuth.size()) side.azimuthDeg = r.SideAzimuth[uk], side.azimuthSigmaArcSec = r.SideAzimuthSigma[uk];
        if (k == r.WeakestSide) l.weakestSide = l.sides.size();
        l.sides.push_back(std::move(side));
    }

    // Without azimuth data both angles are typed as 0 and there is no closing angle.
    if (!dGiven && !(input.TbPacked == 0 && input.QbPacked == 0)) {
        ChainListing::ClosingAngles c;
        c.TbPacked = input.TbPacked;
        c.QbPacked = input.QbPacked;
        c.azimuthDeg = PackedToDegrees(input.TbPacked).value_or(0);
        c.orientationDeg = PackedToDegrees(input.QbPacked).value_or(0);
        c.lastSideFar = nameOf(t.station.at(static_cast<std::size_t>(N)));
        // measured on the ground: the angle on the plane the adjustment used
        if (o.orientation && o.orientation->reductionArcSec != 0) c.orientationDeg = o.orientation->angleDeg;
        l.closing = c;
        if (!r.Redundancy.empty()) {
            const std::size_t Q = r.Redundancy.size() - 1;
            ListedOrientation q;
            q.correctionSec = r.OrientationCorrection;
            q.redundancy = r.Redundancy[Q];
            if (Q < r.Normalised.size()) q.normalised = r.Normalised[Q];
            if (Q < r.Sigma.size() && r.Sigma[Q] > 0) q.sigmaSec = r.Sigma[Q];
            if (Q < r.Mdb.size()) q.mdbSec = r.Mdb[Q];
            if (Q < r.BiasToNoise.size()) q.biasToNoise = r.BiasToNoise[Q];
            if (Q < r.WeakestShift.size() && r.WeakestShift[Q]) q.weakestShiftMm = *r.WeakestShift[Q] * 1000;
            l.orientation = q;
        }
    }
    l.reduction = ListedReductionOf(input);
    l.design = o.design;
    if (r.Weighted && o.edm && r.Mu0Mm) l.weights = ChainListing::Weights{o.edm->aMm, o.edm->bPpm, *r.Mu0Mm};
    return l;
}
