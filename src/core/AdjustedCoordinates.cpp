// Adjusted coordinates: the route carried again with the adjusted sides.
// Point i is the far end of leg i (side 2i+1). Leg i starts at point i-1 when
// the signs of triangles i-1 and i differ, and at the start of leg i-1 when
// they are equal (the route pivots there).
#include <cmath>

#include "core/AdjustmentPhases.h"
#include "core/Geometry.h"
#include "core/TriangleSolution.h"
#include "state/RunFault.h"

void ComputeAdjustedCoordinates(ProgramState& s)
{
    RunState& r = s.run;
    const int N = s.TriangleCount;
    const double t = r.RADIANS_PER_DEGREE;
    const std::vector<double>& S = s.SideLengths;
    const std::vector<int>& sigma = r.RouteSigns;
    std::vector<double>& T = r.RouteAzimuths;
    std::vector<double>& X = s.PointX;
    std::vector<double>& Y = s.PointY;

    for (int i = 1; i <= N; ++i)
        r.TriangleAngle2[i] = SolveTriangle(i, S, s.ObservedSides, true, t).angle2;

    const int n = PointDGiven(s) ? N - 1 : N;
    T[1] = ReduceOnce(r.AzimuthAB + sigma[1] * r.TriangleAngle2[1] + 180);
    X[1] = std::cos(T[1] * t) * S[3] + s.Xb;
    Y[1] = std::sin(T[1] * t) * S[3] + s.Yb;
    for (int i = 2; i <= n; ++i) {
        if (sigma[i - 1] == sigma[i]) {
            T[i] = ReduceOnce(T[i - 1] + sigma[i] * r.TriangleAngle2[i]);
            X[i] = X[i - 1] - std::cos(T[i - 1] * t) * S[2 * i - 1] + std::cos(T[i] * t) * S[2 * i + 1];
            Y[i] = Y[i - 1] - std::sin(T[i - 1] * t) * S[2 * i - 1] + std::sin(T[i] * t) * S[2 * i + 1];
        } else {
            T[i] = ReduceOnce(T[i - 1] + sigma[i] * r.TriangleAngle2[i] + 180);
            X[i] = std::cos(T[i] * t) * S[2 * i + 1] + X[i - 1];
            Y[i] = std::sin(T[i] * t) * S[2 * i + 1] + Y[i - 1];
        }
    }
    for (int i = 0; i <= n; ++i) {
        RequireFinite(X[i], "平差座标");
        RequireFinite(Y[i], "平差座标");
    }
}
