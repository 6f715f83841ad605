#pragma once
// The precision of a chain before it is measured (精度预估): the planned
// sides (lengths from a map, signs for the shape) adjusted with zero
// misclosures, every figure from the a-priori standard error of unit weight
// mu0 (sigma0Mm, or a + b of the distance meter's accuracy). C (and D, or the
// closing azimuth) are moved onto the chain the planned sides give, so the
// corrections are zero and the cofactors those of the planned shape.
#include "core/AdjustChain.h"

ChainOutcome DesignChain(const ChainObservations& planned);
