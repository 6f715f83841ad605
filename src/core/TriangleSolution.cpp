#include "core/TriangleSolution.h"

#include <cmath>

#include "core/ChainPhases.h"
#include "core/Geometry.h"

ChainFault TriangleFault(ChainFaultKind kind, int i, const std::vector<double>& observed)
{
    ChainFault fault;
    fault.kind = kind;
    fault.triangle = i;
    for (int k = 0; k < 3; ++k) fault.sides[static_cast<std::size_t>(k)] = observed[static_cast<std::size_t>(2 * i - 1 + k)];
    return fault;
}

// (near1^2 + near2^2 - opposite^2) / (2 near1 near2), the cosine of the angle
// between near1 and near2. The fault is composed only when there is one:
// every triangle of every run passes through here.
static double CheckedCosine(double near1, double near2, double opposite, int i, const std::vector<double>& observed,
                            bool adjusted)
{
    double cosine = (near1 * near1 + near2 * near2 - opposite * opposite) / (2 * near1 * near2);
    if (!std::isfinite(cosine)) RaiseChainFault(TriangleFault(ChainFaultKind::SidesOutOfRange, i, observed));
    if (!(std::fabs(cosine) <= 1)) {
        ChainFault fault = TriangleFault(ChainFaultKind::NotATriangle, i, observed);
        fault.adjustedSides = adjusted;
        RaiseChainFault(fault);
    }
    return cosine;
}

namespace {
thread_local long trianglesSolved = 0;
}

long TrianglesSolved() { return trianglesSolved; }

TriangleAngles SolveTriangle(int i, const std::vector<double>& sides, const std::vector<double>& observed,
                             bool adjusted, double radiansPerDegree)
{
    ++trianglesSolved;
    const double a = sides[2 * i - 1], b = sides[2 * i], c = sides[2 * i + 1];
    if (a == 0 || b == 0 || c == 0) RaiseChainFault(TriangleFault(ChainFaultKind::ZeroSide, i, observed));
    double c1 = CheckedCosine(a, b, c, i, observed, adjusted);
    double c2 = CheckedCosine(a, c, b, i, observed, adjusted);
    return {AngleFromCosine(c1, radiansPerDegree), AngleFromCosine(c2, radiansPerDegree)};
}

bool IsFlatTriangle(const TriangleAngles& t, double height)
{
    return height == 0 || t.angle1 == 0 || t.angle1 == 180 || t.angle2 == 0 || t.angle2 == 180;
}

std::optional<ChainFault> TriangleFaultOf(int i, const std::vector<double>& sides, double radiansPerDegree)
{
    try {
        TriangleAngles t = SolveTriangle(i, sides, sides, false, radiansPerDegree);
        // the height as the approximate chain forms it
        double height = std::sin(t.angle1 * radiansPerDegree) * sides[static_cast<std::size_t>(2 * i - 1)];
        if (IsFlatTriangle(t, height)) return TriangleFault(ChainFaultKind::FlatTriangle, i, sides);
    } catch (const ChainFaultRaised& raised) {
        return raised.fault;
    }
    return std::nullopt;
}
