#pragma once
// Every value of a sheet checked by the rules the dialogue and the file
// reader apply (rules/InputRules.h), with their reasons, all at once rather
// than the first only:
//   a number that does not read; N out of range; A = B (at Yb); D with one
//   coordinate zero, on C or with one triangle (at Yd); Tb and Qb as packed
//   angles, Qb without Tb (at Qb); a triangle that cannot be solved, marked on
//   each of its typed sides; with D, signs that cannot close (at S2N);
//   先验测边中误差 not a positive number; the distance meter's accuracy, the
//   standard errors and the reduction's values by their rules, then the
//   lines together and against the chain as the file reader judges them (a
//   missing 定向角中误差 or mark's height at the row it would stand in).
// A value is checked once the values its rule needs read; an empty value is
// missing, not refused.
#include <string>
#include <unordered_map>
#include <vector>

#include "files/ObservationSheet.h"

struct SheetFault {
    Slot slot;
    std::string reason;
};

struct SheetCheck {
    std::vector<SheetFault> faults;  // in the order of the rows; a slot at most once
    std::vector<Slot> missing;       // numbers of the chain not given, in the order of the rows
    // Every value is given and taken: an adjustment of the sheet asks nothing.
    bool ready = false;

    const std::string* ReasonFor(Slot slot) const;

    std::unordered_map<long long, std::size_t> faultAt;  // SlotCode -> its element of faults
};

// A number for a slot, to look it up.
long long SlotCode(Slot slot);

SheetCheck CheckSheet(const ObservationSheet& sheet);

// What the sheet still needs, in one line for the table's status:
// "数据齐全，可以平差。", "还缺 3 个值（S7 …）。", "S5：…".
std::string SheetStatus(const SheetCheck& check);
