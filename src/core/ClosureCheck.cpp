// The adjusted chain must reach the known C. The iterated solution lands on
// it to far below a millimetre; this check is the last guard, for a result
// whose linearisation left the adjusted C visibly off the known one (the
// single step with misclosures large for the geometry: a nearly flat triangle
// turns millimetres of side error into metres of misclosure). Such a result is
// not shown as an adjustment.
#include <algorithm>
#include <cmath>

#include "core/ChainPhases.h"

namespace {

constexpr double CLOSURE_TOLERANCE = 0.001;  // [m], the last digit shown

}  // namespace

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

void CheckAdjustedClosure(const ChainWork& o, ChainResult& r)
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
