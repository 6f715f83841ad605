#pragma once
// Chains the tests write by hand as tables by side number (the layout the
// steps of the adjustment read), turned into what the core takes.
#include "core/ChainObservations.h"
#include "core/ChainWork.h"

// w with its closing named by the rule the input uses (D given, else azimuth
// data, else C alone).
ChainWork NamedClosing(ChainWork w);

// The observations of the tables: every side with its number, end points and
// sign, the orientation angle where there is azimuth data.
ChainObservations ObservationsFromTables(const ChainWork& w);

namespace chain {
struct GeneratedChain;
}

// The observations a run of the generated chain's answers hands to the
// adjustment, made directly from its typed values (no dialogue): A-B and,
// with D, C-D and the azimuth C->D from the coordinates.
ChainObservations ObservationsOfGenerated(const chain::GeneratedChain& g);

// o with the route sign of triangle i reversed (the sides' end points follow).
ChainObservations WithSignReversed(ChainObservations o, int i);
