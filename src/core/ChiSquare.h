#pragma once
// The chi-square distribution with a whole number of degrees of freedom.

// P(X <= x) for chi-square with dof degrees of freedom (dof >= 1, x >= 0).
double ChiSquareProbability(double x, int dof);

// The x with P(X <= x) = probability (0 < probability < 1).
double ChiSquareQuantile(double probability, int dof);
