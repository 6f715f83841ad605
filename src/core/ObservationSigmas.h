#pragma once
// The standard errors the misclosure test weighs the observations with: the
// one place that says where they come from.
//   side k      with the distance meter's accuracy a + b D its weight's
//               sigma (its own where given); else its own sigma where the
//               observations carry one, else the chain's a-priori sigma0,
//               else 2 mm + 2 ppm of its length
//   orientation the orientation angle at C: its own sigma with the distance
//               meter's accuracy, else ORIENTATION_SIGMA_SECONDS
// Sides computed from the coordinates (A-B, and C-D with D) are fixed: 0.
#include <vector>

#include "core/ChainObservations.h"

// An orientation angle measured with a 2" theodolite [arc s].
constexpr double ORIENTATION_SIGMA_SECONDS = 2.0;

struct ObservationSigmas {
    std::vector<double> sideMetres;  // 0..2N+1 [m]; 0 for element 0 and the fixed sides
    double orientationSeconds = 0;   // [arc s]; 0 without an orientation angle
};

ObservationSigmas SigmasOf(const ChainObservations& o);
