// Approximate chain: every triangle solved from its sides, the azimuth of A->B
// carried along the odd sides, stations placed from B towards C.
//   Route leg k runs along S(2k+1) from station k-1; station 0 is B.
//   Between legs k and k+1 the route advances (signs differ: station k is the
//   far end of leg k) or pivots (signs equal: station k is station k-1).
#include <cmath>

#include "core/ChainPhases.h"
#include "core/Geometry.h"
#include "core/TriangleSolution.h"

void ComputeApproximateChain(const ChainWork& o, ChainResult& r)
{
    const int N = o.N;
    const double rpd = o.constants.RADIANS_PER_DEGREE;
    const std::vector<double>& S = o.SideLengths;
    const std::vector<int>& sigma = o.RouteSigns;

    for (int k = 1; k <= 2 * N + 1; ++k) r.ObservedSides[k] = S[k];

    for (int i = 1; i <= N; ++i) {
        double a = S[2 * i - 1];
        TriangleAngles t = SolveTriangle(i, S, r.ObservedSides, false, rpd);
        r.TriangleAngle1[i] = t.angle1;
        r.TriangleAngle2[i] = t.angle2;
        r.TriangleAngle3[i] = (180 - t.angle1) - t.angle2;
        r.TriangleTerm[i] = std::sin(t.angle1 * rpd) * a;
    }

    std::vector<double>& T = r.RouteAzimuths;
    std::vector<double>& X = r.PointX;
    std::vector<double>& Y = r.PointY;
    X[0] = o.Xb;
    Y[0] = o.Yb;
    T[0] = o.AzimuthAB;
    T[1] = ReduceOnce(o.AzimuthAB + sigma[1] * r.TriangleAngle2[1] + 180);
    for (int k = 1; k <= N - 1; ++k) {
        if (sigma[k + 1] == sigma[k]) {
            T[k + 1] = T[k] + sigma[k + 1] * r.TriangleAngle2[k + 1];  // pivot: no reduction
            X[k] = X[k - 1];
            Y[k] = Y[k - 1];
        } else {
            T[k + 1] = ReduceOnce(T[k] + sigma[k + 1] * r.TriangleAngle2[k + 1] + 180);
            X[k] = X[k - 1] + S[2 * k + 1] * std::cos(T[k] * rpd);
            Y[k] = Y[k - 1] + S[2 * k + 1] * std::sin(T[k] * rpd);
        }
    }

    if (PointDAbsent(o)) {
        // C is the far end of leg N; with an external azimuth the outward azimuth
        // at C follows from the orientation angle.
        if (ExternalAzimuthGiven(o)) T[N + 1] = ReduceOnce(T[N] + o.OrientationAngle + 180);
        X[N] = X[N - 1] + S[2 * N + 1] * std::cos(T[N] * rpd);
        Y[N] = Y[N - 1] + S[2 * N + 1] * std::sin(T[N] * rpd);
    }
    for (int k = 0; k <= N; ++k) {
        RequireFinite(X[k], ChainQuantity::ApproximateCoordinates);
        RequireFinite(Y[k], ChainQuantity::ApproximateCoordinates);
    }
    // the stations as the condition equations see them (the weakest point may
    // be written over its station later)
    r.StationX = X;
    r.StationY = Y;
}
