// Gauss-Doolittle solution of the three normal equations N x + u = 0 on the
// upper triangle of the table, without pivoting (N is positive definite).
#include "core/ChainPhases.h"

static void RequirePivot(double pivot, int row)
{
    if (pivot != 0) return;
    ChainFault fault;
    fault.kind = ChainFaultKind::ZeroPivot;
    fault.row = row;
    RaiseChainFault(fault);
}

void ReduceNormalRows(Table6& Q)
{
    for (int k = 2; k <= 3; ++k) {
        for (int i = k; i <= 4; ++i) {
            double t = Q[k][i];
            for (int j = 1; j <= k - 1; ++j) {
                RequirePivot(Q[j][j], j);
                t = t - Q[j][k] * Q[j][i] / Q[j][j];
            }
            Q[k][i] = t;
        }
    }
}

void BackSubstitute(const Table6& Q, double x[4])
{
    for (int k = 3; k >= 1; --k) {
        double t = Q[k][4];
        for (int i = k + 1; i <= 3; ++i) t = t + Q[k][i] * x[i];
        RequirePivot(Q[k][k], k);
        x[k] = -t / Q[k][k];
        RequireFinite(x[k], ChainQuantity::NormalSolution);
    }
}

double scd(const Table6& P, Table6& Q, std::int16_t& FunctionColumn)
{
    const int r = FunctionColumn;
    double x[4] = {0, 0, 0, 0};
    ReduceNormalRows(Q);
    BackSubstitute(Q, x);
    double result = 0;
    for (int k = 1; k <= 3; ++k) result = result + P[k][r] * x[k];
    return result;
}
