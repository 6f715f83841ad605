#pragma once
// The first and the last linearisation of an adjustment, each with every table
// a textbook prints for the method of conditions: the approximate chain at the
// sides it was made at, the misclosures w, the coefficients A of the
// conditions (rows 1..3) and of the weight functions of station M (rows 4, 5),
// the normal matrix N = A P^-1 A', the correlates k (N k + w = 0), the
// corrections v = P^-1 A' k and the weight reciprocals of station M.
//   at       the observations the linearisation was made at: the observed
//            sides for the first, l + v of the one before for the last
//   tables   the result of the phases at `at`: TriangleAngle1..3, TriangleTerm,
//            RouteAzimuths, PointX/PointY (station M carried on as the weight
//            functions need it), ConditionCoefficients, NormalMatrix (formed,
//            not reduced), InvPx, InvPy
//   w        1 [arc s], 2, 3 [m]: the misclosures of the observations seen from
//            `at` (the first: as shown, in single precision)
//   k        correlates 1..3; v 2..2N+1 the total corrections [m], vQ that of
//            the orientation angle's size [arc s]
#include <array>
#include <optional>
#include <vector>

#include "core/ChainObservations.h"
#include "core/ChainResult.h"
#include "core/ChainWork.h"

struct Linearisation {
    int number = 1;  // 1..Iterations
    ChainWork at;
    ChainResult tables;
    std::array<double, 4> w{};
    std::array<double, 4> k{};
    std::vector<double> v;
    double vQ = 0;
};

struct Linearisations {
    std::vector<Linearisation> shown;  // the first, and the last where it is another
    int iterations = 0;                // linearisations the solution took
    std::vector<double> observed;      // 0..2N+1 the observed sides [m]
    bool azimuthCondition = true;
};

// Empty `shown` when the chain cannot be adjusted (the fault is the
// adjustment's to report).
Linearisations FirstAndLastLinearisation(const ChainObservations& observations);
