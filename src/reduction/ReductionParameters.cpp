#include "reduction/ReductionParameters.h"

EllipsoidConstants ConstantsOf(EllipsoidName name)
{
    switch (name) {
    case EllipsoidName::CGCS2000: return {6378137.0, 298.257222101};
    case EllipsoidName::WGS84: return {6378137.0, 298.257223563};
    case EllipsoidName::Xian80: return {6378140.0, 298.257};
    case EllipsoidName::Beijing54: return {6378245.0, 298.3};
    }
    return {6378137.0, 298.257222101};
}

const char* NameOf(EllipsoidName name)
{
    switch (name) {
    case EllipsoidName::CGCS2000: return "CGCS2000";
    case EllipsoidName::WGS84: return "WGS84";
    case EllipsoidName::Xian80: return "西安80";
    case EllipsoidName::Beijing54: return "北京54";
    }
    return "CGCS2000";
}
