#pragma once
// Which points every side of a chain joins, from the route signs alone.
//
// Glossary
//   N          number of triangles; sides k = 1..2N+1
//   point id   -1 is A; 0 is B; i = 1..N is the far end of route leg i (side 2i+1)
//   sigma_i    route sign of triangle i, typed with side 2i (+1 or -1)
//   st(i)      station where route leg i starts: st(0) = A, st(1) = B; for
//              i >= 2 point i-1 when sigma_i != sigma_(i-1) (the route
//              advances), st(i-1) when the signs are equal (it pivots)
//   apex(i)    vertex of triangle i off its route side 2i+1: st(i-1) on an
//              advance (A for i = 1), point i-1 on a pivot
//   sides      1 joins A and B; 2i joins apex(i) and i; 2i+1 joins st(i) and i
//   C, D       with D: point N is D and C = st(N); without D: C is point N
#include <vector>

constexpr int CHAIN_POINT_A = -1;
constexpr int CHAIN_NO_POINT = -2;

struct ChainSide {
    int from = 0;  // point id; st(i) or apex(i) for sides 2..2N+1, A for side 1
    int to = 0;    // point id
};

struct ChainTopology {
    int N = 0;
    std::vector<int> station;      // 0..N: st(i) as a point id
    std::vector<ChainSide> sides;  // 1..2N+1 (element 0 unused)
    int C = 0;                     // point id of C
    int D = CHAIN_NO_POINT;        // point id of D (N), or CHAIN_NO_POINT
};

// routeSigns holds sigma_1..sigma_N at indices 1..N (element 0 and any element
// past N are not read); N >= 1.
ChainTopology ChainTopologyOf(int N, const std::vector<int>& routeSigns, bool pointDGiven);
