#pragma once
// The words about a chain whose sides were reduced to the Gauss plane, shared
// by the window, the reports and the batch command's summary.
#include <string>

#include "state/ChainListing.h"

// "注意：长度变形 3.12 厘米/千米，超过 2.5 厘米/千米（GB 50026）…" where the
// largest length distortion of the chain is above the limit; else empty.
std::string DistortionWarning(const ChainListing& listing);

// One line on the reduction: "边长已由平距归算到高斯平面（CGCS2000 椭球，中央子午线 117°，
// 投影面高程 0 米），最大长度变形 1.23 厘米/千米"; empty on a plane chain.
std::string ReductionLine(const ChainListing& listing);

// Decimal degrees as the packed D.MMSS without trailing zeros: 117, 113.3.
std::string PackedShort(double degrees);
