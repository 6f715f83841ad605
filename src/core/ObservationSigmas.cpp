#include "core/ObservationSigmas.h"

namespace {

constexpr double CONSTANT_PART_MM = 2.0;  // [mm]
constexpr double PROPORTIONAL_PART = 2e-6;  // 2 ppm of the side [m/m]

}  // namespace

ObservationSigmas SigmasOf(const ChainObservations& o)
{
    ObservationSigmas s;
    s.sideMetres.assign(o.sides.size(), 0.0);
    for (std::size_t k = 1; k < o.sides.size(); ++k) {
        const SideObservation& side = o.sides[k];
        if (side.fromCoordinates) continue;
        if (o.edm) s.sideMetres[k] = SideSigmaMm(*o.edm, side) / 1000;  // its own, or a + b D
        else if (side.sigmaMm) s.sideMetres[k] = *side.sigmaMm / 1000;
        else if (o.sigma0Mm) s.sideMetres[k] = *o.sigma0Mm / 1000;
        else s.sideMetres[k] = CONSTANT_PART_MM / 1000 + PROPORTIONAL_PART * side.used;
    }
    if (o.orientation)
        s.orientationSeconds = o.edm && o.orientation->sigmaSec ? *o.orientation->sigmaSec : ORIENTATION_SIGMA_SECONDS;
    return s;
}
