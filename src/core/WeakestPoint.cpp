// The weakest point: of the new points (B and C excluded, the point after C
// included) the one with the largest Qxx + Qyy, the first along the route
// where two are equal (to a relative 1e-9, below which the cofactors of two
// points differ only by rounding). The condition rows 4, 5 give 1/px, 1/py of
// the station M = HalfCount(N) only; where another point is weaker its own
// cofactors stand in for them, and mx, my, md are taken again from them.
#include "core/ChainPhases.h"

namespace {

constexpr double TIE = 1e-9;  // relative difference of Qxx + Qyy taken as equal

}  // namespace

void ChooseWeakestPoint(const ChainWork& o, ChainResult& r)
{
    const int M = HalfCount(o.N);
    int weakest = -1;
    double largest = 0;
    for (std::size_t p = 0; p < r.PointPrecisions.size(); ++p) {
        const PointPrecision& q = r.PointPrecisions[p];
        if (q.known) continue;
        const double sum = q.Qxx + q.Qyy;
        if (weakest < 0 || sum > largest * (1 + TIE)) {
            weakest = static_cast<int>(p);
            largest = sum;
        }
    }
    r.WeakestPoint = weakest < 0 ? M : weakest;
    if (r.WeakestPoint == M) return;
    const PointPrecision& q = r.PointPrecisions[static_cast<std::size_t>(r.WeakestPoint)];
    r.InvPx = q.Qxx;
    r.InvPy = q.Qyy;
    ComputeStandardErrors(o, r);
}
