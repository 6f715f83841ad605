#pragma once
// The chain as the steps of the adjustment read it: the observations laid out
// as tables by side number, and the closing. AdjustChain makes it once from
// the observations; each linearisation makes another at the adjusted sides.
//   SideLengths   0..2N+1 [m] the sides as used
//   RouteSigns    0..N+1: element k the sign of side 2k, N+1 that of the
//                 orientation angle
//   OrientationAngle  signed orientation angle at C [deg], 0 where there is none
//   sigma0Mm      a-priori standard error of unit weight mu0 [mm]: the
//                 observations' sigma0Mm, or a + b with the distance meter's
//                 accuracy; none without either
//   InverseWeights  0..2N+2: q_c = 1/p_c of observation c (side c, 2N+2 the
//                 orientation angle), p_c = mu0^2 / sigma_c^2 in the units of
//                 the equal weights (a side's correction in m, the angle's in
//                 arc s, mu0 in m); empty: every weight 1
//   weighted      every side weighted by its own sigma (the distance meter's
//                 accuracy): ms is then sqrt([pvv]/r)
// The other fields as in ChainObservations.
#include <cstddef>
#include <optional>
#include <vector>

#include "core/ChainObservations.h"

struct ChainWork {
    ChainConstants constants;
    int N = 0;
    ClosingKind closing = ClosingKind::OnC;
    double Xb = 0, Yb = 0, Xc = 0, Yc = 0, Xd = 0, Yd = 0;
    double AzimuthAB = 0;
    double ClosingAzimuth = 0;
    double OrientationAngle = 0;
    std::vector<double> SideLengths;
    std::vector<int> RouteSigns;
    int UnknownPointCount = 0;
    std::optional<double> sigma0Mm;
    std::vector<double> InverseWeights;
    bool weighted = false;
    bool design = false;  // ms is mu0 (sigma0Mm), not the a-posteriori one
};

// q_c of observation c: 1 where the observations carry no weights.
inline double InverseWeight(const ChainWork& o, std::size_t c)
{
    return o.InverseWeights.empty() ? 1.0 : o.InverseWeights[c];
}

ChainWork WorkOf(const ChainObservations& o);

inline bool PointDGiven(const ChainWork& o) { return o.closing == ClosingKind::OnCWithD; }
inline bool PointDAbsent(const ChainWork& o) { return o.closing != ClosingKind::OnCWithD; }
// Three conditions (azimuth, X, Y), or two on C alone.
inline bool AzimuthConditionUsed(const ChainWork& o) { return o.closing != ClosingKind::OnC; }
// An external azimuth closes the chain through the orientation angle.
inline bool ExternalAzimuthGiven(const ChainWork& o) { return o.closing == ClosingKind::OnCWithAzimuth; }
