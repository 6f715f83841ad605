#pragma once
// Looking values up in an observation record, the keys a complete record
// holds, and the key labels an observation file writes.
#include <optional>
#include <string>
#include <vector>

#include "state/ObservationRecord.h"

// The value of key, or nullptr when the record does not hold it.
const TypedValue* Find(const ObservationRecord& record, ValueKey key);

// Every key of a complete record for a chain of N triangles, in dialogue
// order. lastSignsEqual: route signs N-1 and N are equal (matters with D only:
// it gives the chain a point after C).
std::vector<ValueKey> DialogueKeys(int N, bool pointDGiven, bool lastSignsEqual);

// The unknown-point count K of such a chain: N-1 without D; with D N-2, or
// N-3 when the last two signs are equal.
int UnknownPointCount(int N, bool pointDGiven, bool lastSignsEqual);

// The key as an observation file names it: "N", "Xa", "Tb", "S7", "点名 B",
// "点名 3", "点名 C", "点名 C后". K (the unknown-point count) tells a name of C
// or of the point after C from a numbered one; with K unknown (-1) every name
// but B is numbered.
std::string KeyLabel(ValueKey key, int K);
