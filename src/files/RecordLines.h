#pragma once
// The values of an observation file this program wrote, read back line by
// line as they were written, without the dialogue's rules: a record that
// may hold a value the rules refuse or miss one between others (the journal
// of the observation table while the surveyor edits it). Each key is read as
// the writer labels it; "点名 C" and "点名 C后" by the unknown-point count the
// values before the names give, as the writer labelled them.
#include <optional>
#include <string_view>

#include "state/ObservationRecord.h"

// nullopt for a line this program does not write.
std::optional<ObservationRecord> ReadValuesAsWritten(std::string_view bytes);
