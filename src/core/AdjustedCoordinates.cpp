// Adjusted coordinates: the route carried again with the adjusted sides.
// Point i is the far end of leg i (side 2i+1). Leg i starts at point i-1 when
// the signs of triangles i-1 and i differ, and at the start of leg i-1 when
// they are equal (the route pivots there).
#include <cmath>

#include "core/ChainPhases.h"
#include "core/Geometry.h"
#include "core/TriangleSolution.h"

void ComputeAdjustedCoordinates(const ChainWork& o, ChainResult& r)
{
    const int N = o.N;
    const double t = o.constants.RADIANS_PER_DEGREE;
    const std::vector<double>& S = r.SideLengths;
    const std::vector<int>& sigma = o.RouteSigns;
    std::vector<double>& T = r.RouteAzimuths;
    std::vector<double>& X = r.PointX;
    std::vector<double>& Y = r.PointY;

    for (int i = 1; i <= N; ++i)
        r.TriangleAngle2[i] = SolveTriangle(i, S, r.ObservedSides, true, t).angle2;

    const int n = PointDGiven(o) ? N - 1 : N;
    T[1] = ReduceOnce(o.AzimuthAB + sigma[1] * r.TriangleAngle2[1] + 180);
    X[1] = std::cos(T[1] * t) * S[3] + o.Xb;
    Y[1] = std::sin(T[1] * t) * S[3] + o.Yb;
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
        RequireFinite(X[i], ChainQuantity::AdjustedCoordinates);
        RequireFinite(Y[i], ChainQuantity::AdjustedCoordinates);
    }
}
