#pragma once
// The weight functions of a point of the chain as the linearisation forms
// them (ConditionEquations.cpp writes the same for the weakest station M):
// every column c of a point's X, Y function is a translation (tx, ty) and
// turns w1, w2 [rad/m] about stations s1, s2, so that at the point (Px, Py)
//   g_c(P) = (tx - w1 (Py - Y_s1) - w2 (Py - Y_s2), ty + w1 (Px - X_s1) + w2 (Px - X_s2))
// for the columns 2..2p of point p, the far end of route leg p; its own last
// column 2p+1 is Last; the columns after it are 0.
#include <array>
#include <cmath>
#include <vector>

struct ColumnForm {
    double tx = 0, ty = 0;
    double w1 = 0, w2 = 0;
    int s1 = 0, s2 = 0;
};

struct LinearisedChain {
    const std::vector<double>& S;      // sides [m]
    const std::vector<int>& sigma;     // route signs
    const std::vector<double>& h;      // triangle heights [m]
    const std::vector<double>& cosAlpha;  // cos of TriangleAngle1 [-] (the condition rows')
    const std::vector<double>& cosGamma;  // cos of TriangleAngle3 [-]
    const std::vector<double>& X;      // route stations [m]
    const std::vector<double>& Y;
    const std::vector<double>& T;      // route azimuths [deg]
    double rpd;                        // radians per degree

    // Column c (2 .. 2N) in its general form, as the coordinate rows have it.
    ColumnForm Column(int c) const
    {
        ColumnForm f;
        const int i = (c + 1) / 2;
        if (c % 2 == 0) {  // cross side 2i (and side 2 of triangle 1): turns beta_i about station i-1
            f.w1 = sigma[i] / h[i];
            f.s1 = i - 1;
            return f;
        }
        // route side 2i-1: moves station i-1 along itself, turns beta_(i-1), beta_i
        f.tx = (X[i - 1] - X[i - 2]) / S[c];
        f.ty = (Y[i - 1] - Y[i - 2]) / S[c];
        f.w1 = -sigma[i - 1] * cosGamma[i - 1] / h[i - 1];
        f.s1 = i - 2;
        f.w2 = -sigma[i] * cosAlpha[i] / h[i];
        f.s2 = i - 1;
        return f;
    }
    // The columns 0 .. 2N in their general form, each formed once (0 and 1
    // stay empty), for loops that ask for the same column again and again.
    std::vector<ColumnForm> Columns(int N) const
    {
        std::vector<ColumnForm> forms(2 * static_cast<std::size_t>(N) + 1);
        for (int c = 2; c <= 2 * N; ++c) forms[static_cast<std::size_t>(c)] = Column(c);
        return forms;
    }
    // (gx, gy, Omega) of column c at the point (Px, Py).
    std::array<double, 3> U(int c, double Px, double Py) const { return At(Column(c), Px, Py); }
    // (gx, gy, Omega) of a column already formed, at the point (Px, Py).
    std::array<double, 3> At(const ColumnForm& f, double Px, double Py) const
    {
        double gx = f.tx - f.w1 * (Py - Y[f.s1]) - f.w2 * (Py - Y[f.s2]);
        double gy = f.ty + f.w1 * (Px - X[f.s1]) + f.w2 * (Px - X[f.s2]);
        return {gx, gy, f.w1 + f.w2};
    }
    // Point p, the far end of leg p, from its station.
    std::array<double, 2> Point(int p) const
    {
        const double side = S[2 * p + 1];
        return {X[p - 1] + side * std::cos(T[p] * rpd), Y[p - 1] + side * std::sin(T[p] * rpd)};
    }
    // Coefficients of point p in its last column 2p+1.
    std::array<double, 2> Last(int p, double Px, double Py) const
    {
        const double side = S[2 * p + 1];
        const double w = -sigma[p] * cosGamma[p] / h[p];
        return {(Px - X[p - 1]) / side - w * (Py - Y[p - 1]), (Py - Y[p - 1]) / side + w * (Px - X[p - 1])};
    }
};
