#pragma once
// The adjustment of a trilateration chain by the method of conditions: plain
// observations in, a plain result out.
#include <optional>

#include "core/ChainFault.h"
#include "core/ChainObservations.h"
#include "core/ChainResult.h"
#include "core/SignDiagnosis.h"

struct ChainOutcome {
    ChainResult result;               // as far as the computation got
    std::optional<ChainFault> fault;  // why it stopped, when it did not complete
    // Which sign explains the misclosures (SignFinder), where the chain failed
    // after its triangles were solved and its misclosures fail the test at
    // 95 %, or completed with them far beyond it.
    std::optional<SignDiagnosis> diagnosis;
};

ChainOutcome AdjustChain(const ChainObservations& o);

// The normalised corrections and the global test of a result for an a-priori
// standard error of one side sigma0Mm [mm] (AdjustChain makes them when the
// observations carry one).
void TestCorrections(ChainResult& r, double sigma0Mm);
