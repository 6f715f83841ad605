#include "run/PlaneToGround.h"

#include <map>

#include "core/ChainTopology.h"
#include "files/ReductionKeys.h"
#include "reduction/GaussPlaneReduction.h"

std::variant<std::vector<GroundSide>, std::string> PlaneToGround(const CompletedRun& run)
{
    const ChainObservations& o = run.input.observations;
    const std::optional<ReductionParameters>& p = run.input.reduction;
    if (!p || !p->centralMeridianDeg)
        return std::string("缺少「中央子午线」：平面边长换算到地面须给出中央子午线、各点的高程（高程 A …）");
    const ChainTopology t = ChainTopologyOf(o.N, RouteSignsOf(o), o.closing == ClosingKind::OnCWithD);

    std::map<int, PlanePoint> points;
    for (int id = 1; id <= run.result.ResultPointCount; ++id)
        points[id] = {run.result.PointX.at(static_cast<std::size_t>(id)), run.result.PointY.at(static_cast<std::size_t>(id))};
    points[CHAIN_POINT_A] = {o.Xa, o.Ya};
    points[0] = {o.Xb, o.Yb};
    points[t.C] = {o.Xc, o.Yc};
    if (t.D != CHAIN_NO_POINT) points[t.D] = {o.Xd, o.Yd};

    std::vector<GroundSide> sides;
    for (const ListedSide& listed : run.listing.sides) {
        const ChainSide& ends = t.sides.at(static_cast<std::size_t>(listed.k));
        for (int mark : {ends.from, ends.to})
            if (!p->markHeightM.count(mark))
                return "缺少" + std::string("「") + HeightLabel(run.input, mark) + "」：边 S" + std::to_string(listed.k) +
                       " 换算到地面要用它的高程";
        GroundSide side{listed.k, listed.from, listed.to, listed.adjusted, 0};
        side.ground = GroundLength(*p, points.at(ends.from), points.at(ends.to), p->markHeightM.at(ends.from),
                                   p->markHeightM.at(ends.to), listed.adjusted);
        sides.push_back(side);
    }
    return sides;
}
