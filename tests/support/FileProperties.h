#pragma once
// What must hold whatever bytes an observation file holds: the reader gives a
// record or an error naming a line of the file; a record read is written back
// to a file that reads to the same record, and that file is written again
// byte for byte the same. Shared by the fuzz target and the test that replays
// its corpus and every finding.
#include <cstddef>
#include <cstdint>
#include <string>

#include "state/ObservationRecord.h"

// Returns the first property violated, or the empty text.
std::string CheckFileProperties(const std::uint8_t* data, std::size_t size);

// The first difference between two records, or the empty text.
std::string RecordDifference(const ObservationRecord& a, const ObservationRecord& b);
