#pragma once
// Reference adjustment of a trilateration network by observation equations
// (the parametric method), for checking the condition adjustment of the chain.
//
// Unknowns are the coordinates of the new points; observations are distances
// [m] and, optionally, one orientation angle [arc seconds]: the angle at a
// known point from the direction to another point to a fixed external
// azimuth, Q = Tb - azimuth(at -> to). Each has its standard error (1 m and
// 1 arc second unless given) and the weight 1/sigma^2: the weight matrix P is
// diagonal, the unit weight's standard error 1. Residuals are v = computed -
// observed; Gauss-Newton is iterated until the coordinate steps vanish. The
// normal matrix A'PA is sparse (each observation joins at most two points) and
// is factorised as such, so chains of a thousand triangles take a second.
#include <optional>
#include <utility>
#include <vector>

#include <Eigen/Dense>

#include "support/ChainGenerator.h"

namespace reference {

struct Distance {
    int a = 0, b = 0;       // network point indices
    double observed = 0;    // [m]
    double sigma = 1;       // standard error [m]
    int k = 0;              // the chain's side number, where it comes from a chain
};

struct Orientation {
    int at = 0;             // network index of the (known) point where Q is measured
    int to = 0;             // network index of the point sighted back along the chain
    double azimuthDeg = 0;  // fixed external azimuth Tb at `at` [deg]
    double observedDeg = 0; // observed orientation angle Q [deg]
    double sigmaSec = 1;    // standard error [arc s]
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
    Eigen::MatrixXd Qxx;                   // cofactor matrix (A^T P A)^-1 of the unknowns [m^2 per unit weight]
    std::vector<double> distanceResiduals; // [m], in the order of Network::distances
    double sumSquaredSideResiduals = 0;    // [vv] of the distances [m^2]
    double orientationResidualSec = 0;     // [arc s]
    double sumWeightedSquares = 0;         // [pvv] of every observation [-]
    // Redundancy numbers r_i = 1 - p_i a_i Qxx a_i' of the distances (in their
    // order) and of the orientation angle.
    std::vector<double> distanceRedundancy;
    double orientationRedundancy = 0;
    int redundancy = 0;
    int iterations = 0;
    bool converged = false;

    // Cofactors of a point's X and Y; 0 for a known point.
    double CofactorX(int point) const;
    double CofactorY(int point) const;

    // How far a bias of `bias` [m, the orientation angle arc s] in observation
    // i (the distances in their order, then the orientation angle) moves the
    // adjusted point [m]: dx = -Qxx A' P e_i bias, its length at the point.
    double ShiftOfPoint(const Network& net, std::size_t i, double bias, int point) const;

    // Row i of the design matrix at the solution: (unknown index, coefficient).
    std::vector<std::pair<int, double>> DesignRow(const Network& net, std::size_t i) const;
};

Result Adjust(const Network& net, int maxIterations = 30, double stepTolerance = 1e-8);

// The chain as a network: network index = chain point id + 1 (A is 0).
// `approximate` holds starting coordinates for chain points 0..N (only the new
// points are read); the typed sides are the distance observations and the
// typed orientation angle, where there is one, the angle observation.
Network NetworkFromChain(const chain::GeneratedChain& g, const std::vector<chain::Point2>& approximate);

inline int NetIndex(int chainPointId) { return chainPointId + 1; }

}  // namespace reference
