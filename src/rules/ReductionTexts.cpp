#include "rules/ReductionTexts.h"

#include <cmath>

#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"

std::string DistortionWarning(const ChainListing& listing)
{
    if (!listing.reduction || !(std::abs(listing.reduction->distortionCmPerKm) > DISTORTION_LIMIT_CM_PER_KM)) return {};
    return "注意：长度变形 " + FormatFixed(listing.reduction->distortionCmPerKm, 2) +
           " 厘米/千米，超过 2.5 厘米/千米（GB 50026）：宜另选中央子午线或投影面高程。";
}

std::string PackedShort(double degrees)
{
    std::string packed = DegreesToPacked(degrees);
    if (packed.find('.') != std::string::npos) {
        packed.erase(packed.find_last_not_of('0') + 1);
        if (packed.back() == '.') packed.pop_back();
    }
    return packed;
}

std::string ReductionLine(const ChainListing& listing)
{
    if (!listing.reduction) return {};
    const ListedReduction& r = *listing.reduction;
    return "边长已由" + r.sideKind + "归算到高斯平面（" + r.ellipsoid + " 椭球，中央子午线 " +
           PackedShort(r.centralMeridianDeg) + "，投影面高程 " + ShortestDecimal(r.surfaceHeightM) +
           " 米），最大长度变形 " + FormatFixed(r.distortionCmPerKm, 2) + " 厘米/千米";
}
