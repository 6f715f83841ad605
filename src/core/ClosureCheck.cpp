// The adjusted chain must reach the known C. The condition equations are the
// chain linearised once at the observed sides; when the misclosures are large
// for the geometry (a nearly flat triangle turns millimetres of side error into
// metres of misclosure) the terms left out of that one step move the adjusted
// C visibly off the known one. Such a result is not shown as an adjustment.
#include <algorithm>
#include <cmath>

#include "core/AdjustmentPhases.h"
#include "state/RunFault.h"
#include "text/DisplayFormat.h"

namespace {

constexpr double CLOSURE_TOLERANCE = 0.001;  // [m], the last digit shown

// The triangle with the smallest angle, where the linearisation is poorest.
int FlattestTriangle(const RunState& r, int N)
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

void CheckAdjustedClosure(ProgramState& s)
{
    const RunState& r = s.run;
    const int N = s.TriangleCount;
    // index of C among the adjusted points: after the K unknown points with D
    const int c = PointDGiven(s) ? r.UnknownPointCount + 1 : N;
    const double miss = std::hypot(s.PointX[c] - s.Xc, s.PointY[c] - s.Yc);
    if (miss <= CLOSURE_TOLERANCE) return;
    const int i = FlattestTriangle(r, N);
    RaiseFault(FaultKind::InvalidArgument,
               "平差后推算的 C 点与已知 C 点仍相差 " + FormatFixed(miss * 1000, 1) +
                   " 毫米：闭合差对这样的图形太大，一次平差不能消除（最扁的是第" + FormatInteger(i) +
                   "个三角形，高 " + FormatFixed(r.TriangleTerm[i], 3) + " 米），平差结果不可靠，请检查观测边长");
}
