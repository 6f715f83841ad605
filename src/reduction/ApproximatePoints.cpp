#include "reduction/ApproximatePoints.h"

#include "core/ChainPhases.h"
#include "core/ChainTopology.h"
#include "core/ChainWork.h"

std::optional<std::map<int, PlanePoint>> ApproximatePoints(const ChainObservations& o)
{
    const ChainWork w = WorkOf(o);
    const ChainTopology t = ChainTopologyOf(o.N, w.RouteSigns, PointDGiven(w));
    ChainResult r = SizedResult(w);
    try {
        ComputeApproximateChain(w, r);
        ComputeAdjustedCoordinates(w, r);  // every new point from the sides as they stand
    } catch (const ChainFaultRaised&) {
        return std::nullopt;
    }
    std::map<int, PlanePoint> points;
    for (int id = 1; id <= r.ResultPointCount; ++id)
        points[id] = {r.PointX[static_cast<std::size_t>(id)], r.PointY[static_cast<std::size_t>(id)]};
    points[CHAIN_POINT_A] = {o.Xa, o.Ya};
    points[0] = {o.Xb, o.Yb};
    points[t.C] = {o.Xc, o.Yc};
    if (t.D != CHAIN_NO_POINT) points[t.D] = {o.Xd, o.Yd};
    return points;
}
