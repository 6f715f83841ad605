#include "core/ChainTopology.h"

ChainTopology ChainTopologyOf(int N, const std::vector<int>& routeSigns, bool pointDGiven)
{
    ChainTopology t;
    t.N = N;
    const auto n = static_cast<std::size_t>(N);
    auto sigma = [&routeSigns](int i) { return routeSigns.at(static_cast<std::size_t>(i)); };

    t.station.assign(n + 1, CHAIN_POINT_A);
    if (N >= 1) t.station[1] = 0;
    for (int i = 2; i <= N; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        t.station[ui] = sigma(i) != sigma(i - 1) ? i - 1 : t.station[ui - 1];
    }

    t.sides.assign(2 * n + 2, ChainSide{});
    t.sides[1] = {CHAIN_POINT_A, 0};
    for (int i = 1; i <= N; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        const bool advance = t.station[ui] == i - 1;
        const int apex = advance ? t.station[ui - 1] : i - 1;
        t.sides[2 * ui] = {apex, i};
        t.sides[2 * ui + 1] = {t.station[ui], i};
    }

    if (pointDGiven) {
        t.D = N;
        t.C = t.station[n];
    } else {
        t.C = N;
    }
    return t;
}
