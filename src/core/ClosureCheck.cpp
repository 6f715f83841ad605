// The adjusted chain must reach the known C. The condition equations are the
// chain linearised once at the observed sides; when the misclosures are large
// for the geometry (a nearly flat triangle turns millimetres of side error into
// metres of misclosure) the terms left out of that one step move the adjusted
// C visibly off the known one. Such a result is not shown as an adjustment.
#include <algorithm>
#include <cmath>

#include "core/ChainPhases.h"

namespace {

constexpr double CLOSURE_TOLERANCE = 0.001;  // [m], the last digit shown

// The triangle with the smallest angle, where the linearisation is poorest.
int FlattestTriangle(const ChainResult& r, int N)
{
    int flattest = 1;
    double smallest = 180;
    for (int i = 1; i <= N; ++i) {
        double angle = std::min({r.TriangleAngle1[i], r.TriangleAngle2[i], r.TriangleAngle3[i]});
        if (angle < smallest) smallest = angle, flattest = i;
    }
    return flattest;
}

}  // namespace

void CheckAdjustedClosure(const ChainObservations& o, ChainResult& r)
{
    const int N = o.N;
    // index of C among the adjusted points: after the K unknown points with D
    const int c = PointDGiven(o) ? o.UnknownPointCount + 1 : N;
    const double miss = std::hypot(r.PointX[c] - o.Xc, r.PointY[c] - o.Yc);
    if (miss <= CLOSURE_TOLERANCE) return;
    const int i = FlattestTriangle(r, N);
    ChainFault fault;
    fault.kind = ChainFaultKind::ClosureMissed;
    fault.miss = miss;
    fault.triangle = i;
    fault.height = r.TriangleTerm[i];
    RaiseChainFault(fault);
}
