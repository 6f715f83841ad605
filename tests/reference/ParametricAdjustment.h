#pragma once
// Reference adjustment of a trilateration network by observation equations
// (the parametric method), for checking the condition adjustment of the chain.
//
// Unknowns are the coordinates of the new points; observations are distances
// [m, weight 1] and, optionally, one orientation angle [arc seconds, weight 1]:
// the angle at a known point from the direction to another point to a fixed
// external azimuth, Q = Tb - azimuth(at -> to). Residuals are v = computed -
// observed; Gauss-Newton is iterated until the coordinate steps vanish.
#include <optional>
#include <vector>

#include <Eigen/Dense>

#include "support/ChainGenerator.h"

namespace reference {

struct Distance {
    int a = 0, b = 0;       // network point indices
    double observed = 0;    // [m]
};

struct Orientation {
    int at = 0;             // network index of the (known) point where Q is measured
    int to = 0;             // network index of the point sighted back along the chain
    double azimuthDeg = 0;  // fixed external azimuth Tb at `at` [deg]
    double observedDeg = 0; // observed orientation angle Q [deg]
};

struct Network {
    std::vector<chain::Point2> coords;  // known points exact, new points approximate
    std::vector<bool> known;
    std::vector<Distance> distances;
    std::optional<Orientation> orientation;
};

struct Result {
    std::vector<chain::Point2> coords;     // adjusted
    std::vector<int> unknownSlot;          // point -> index of its X unknown (Y is +1), -1 when known
    Eigen::MatrixXd Qxx;                   // cofactor matrix (A^T A)^-1 of the unknowns [m^2 per unit weight]
    std::vector<double> distanceResiduals; // [m], in the order of Network::distances
    double sumSquaredSideResiduals = 0;    // [vv] of the distances [m^2]
    double orientationResidualSec = 0;     // [arc s]
    int redundancy = 0;
    int iterations = 0;
    bool converged = false;

    // Cofactors of a point's X and Y; 0 for a known point.
    double CofactorX(int point) const;
    double CofactorY(int point) const;
};

Result Adjust(const Network& net, int maxIterations = 30, double stepTolerance = 1e-8);

// The chain as a network: network index = chain point id + 1 (A is 0).
// `approximate` holds starting coordinates for chain points 0..N (only the new
// points are read); the typed sides are the distance observations and the
// typed orientation angle, where there is one, the angle observation.
Network NetworkFromChain(const chain::GeneratedChain& g, const std::vector<chain::Point2>& approximate);

inline int NetIndex(int chainPointId) { return chainPointId + 1; }

}  // namespace reference
