#include "rules/InputRules.h"

#include <cmath>

#include "core/ChainFault.h"
#include "core/TriangleSolution.h"
#include "rules/PromptTexts.h"
#include "rules/FaultTexts.h"
#include "text/NumberReading.h"
#include "text/PackedAngle.h"

Refusal RefuseNumber(std::string_view typed, double& value)
{
    std::optional<double> read = ReadNumber(typed);
    if (!read) return texts::NOT_A_NUMBER;
    value = *read;
    return std::nullopt;
}

Refusal RefuseTriangleCount(double typed, std::int16_t& N)
{
    // nearest integer, a fraction of exactly one half to the even neighbour
    double n = std::nearbyint(typed);
    if (!(n >= 1 && n <= 16382)) return texts::COUNT_OUT_OF_RANGE;
    N = static_cast<std::int16_t>(n);
    return std::nullopt;
}

Refusal RefuseStartSide(double Xa, double Ya, double Xb, double Yb)
{
    if (Xb == Xa && Yb == Ya) return texts::A_EQUALS_B;
    return std::nullopt;
}

Refusal RefusePointD(double Xc, double Yc, double Xd, double Yd, int N)
{
    if (Xd == 0 && Yd == 0) return std::nullopt;
    if (Xd == 0 || Yd == 0) return texts::D_NEEDS_BOTH;
    if (N == 1) return texts::D_NEEDS_TWO_TRIANGLES;
    if (Xd == Xc && Yd == Yc) return texts::C_EQUALS_D;
    return std::nullopt;
}

Refusal RefusePackedAngle(double typed, double& degrees)
{
    std::optional<double> converted = PackedToDegrees(typed);
    if (!converted) return texts::PACKED_OUT_OF_RANGE;
    degrees = *converted;
    return std::nullopt;
}

Refusal RefuseClosingAngles(double azimuthDegrees, double orientationDegrees)
{
    if (azimuthDegrees == 0 && orientationDegrees != 0) return texts::ORIENTATION_WITHOUT_AZIMUTH;
    return std::nullopt;
}

Refusal RefuseRouteSigns(const std::vector<int>& signs, int N, bool pointDGiven)
{
    if (!pointDGiven) return std::nullopt;
    auto sigma = [&signs](int k) { return signs.at(static_cast<std::size_t>(k)); };
    if ((N == 2 && sigma(1) == sigma(2)) || (N >= 3 && sigma(N - 2) == sigma(N - 1) && sigma(N - 1) == sigma(N)))
        return texts::SIGNS_CANNOT_CLOSE;
    return std::nullopt;
}

Refusal RefuseTriangle(int i, const std::vector<double>& S, const std::array<std::string, 3>& shown,
                       double radiansPerDegree)
{
    if (std::optional<ChainFault> fault = TriangleFaultOf(i, S, radiansPerDegree)) return TriangleEntryText(*fault, shown);
    return std::nullopt;
}
