#pragma once
// 边长归算表: every side measured on the ground with the stages of its
// reduction to the Gauss plane, for the full report and the window's table.
//   observed [m] as measured; horizontal [m] between the marks after the
//   instrument constants; surface [m] the arc on the projection surface;
//   plane [m] on the Gauss plane (what the adjustment used); scale the line
//   scale factor [-]; distortion (plane - horizontal) / horizontal [cm/km]
#include "display/FullReport.h"
#include "state/ChainListing.h"

// The block; without a reduction the chain has none (hasTable false, no lines).
FullReportBlock ReductionBlock(const ChainListing& listing);
