#include "core/TriangleSolution.h"

#include <cmath>

#include "core/Geometry.h"
#include "state/RunFault.h"
#include "text/DisplayFormat.h"

std::string TriangleWhere(int i, const std::vector<double>& observed)
{
    auto side = [&observed](int n) { return "S" + FormatInteger(n) + "=" + ShortestDecimal(observed[n]); };
    return "第" + FormatInteger(i) + "个三角形 (" + side(2 * i - 1) + ", " + side(2 * i) + ", " + side(2 * i + 1) + ")";
}

// (near1^2 + near2^2 - opposite^2) / (2 near1 near2), the cosine of the angle
// between near1 and near2. The message naming triangle i is composed only
// when there is a fault: every triangle of every run passes through here.
static double CheckedCosine(double near1, double near2, double opposite, int i, const std::vector<double>& observed,
                            bool adjusted)
{
    double cosine = (near1 * near1 + near2 * near2 - opposite * opposite) / (2 * near1 * near2);
    if (!std::isfinite(cosine)) RaiseFault(FaultKind::Overflow, TriangleWhere(i, observed) + " 的边长超出数值范围");
    if (!(std::fabs(cosine) <= 1))
        RaiseFault(FaultKind::InvalidArgument,
                   TriangleWhere(i, observed) +
                       (adjusted ? " 平差改正后的三条边不能构成三角形" : " 的三条边不能构成三角形"));
    return cosine;
}

TriangleAngles SolveTriangle(int i, const std::vector<double>& sides, const std::vector<double>& observed,
                             bool adjusted, double radiansPerDegree)
{
    const double a = sides[2 * i - 1], b = sides[2 * i], c = sides[2 * i + 1];
    if (a == 0 || b == 0 || c == 0) RaiseFault(FaultKind::DivisionByZero, TriangleWhere(i, observed) + " 有一条边长为零");
    double c1 = CheckedCosine(a, b, c, i, observed, adjusted);
    double c2 = CheckedCosine(a, c, b, i, observed, adjusted);
    return {AngleFromCosine(c1, radiansPerDegree), AngleFromCosine(c2, radiansPerDegree)};
}
