// Chi-square with k degrees of freedom, from the closed forms of k = 1 and
// k = 2 and the step P(k + 2, x) = P(k, x) - (x/2)^(k/2) e^(-x/2) / Gamma(k/2 + 1);
// the quantile by bisection.
#include "core/ChiSquare.h"

#include <cmath>

double ChiSquareProbability(double x, int dof)
{
    if (x <= 0) return 0;
    const double half = x / 2;
    int k = dof % 2 == 0 ? 2 : 1;
    double p = k == 2 ? -std::expm1(-half) : std::erf(std::sqrt(half));
    for (; k < dof; k += 2) p -= std::exp(k / 2.0 * std::log(half) - half - std::lgamma(k / 2.0 + 1));
    return p;
}

double ChiSquareQuantile(double probability, int dof)
{
    double low = 0, high = 10.0 + 10.0 * dof;
    while (ChiSquareProbability(high, dof) < probability) high *= 2;
    for (int i = 0; i < 200 && high - low > 1e-12 * high; ++i) {
        double mid = (low + high) / 2;
        (ChiSquareProbability(mid, dof) < probability ? low : high) = mid;
    }
    return (low + high) / 2;
}
