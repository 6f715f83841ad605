#pragma once
// The keys of the observation file that reduce the sides to the Gauss plane
// (docs/observation-file.md, docs/reduction.md): each may stand anywhere
// before 未完成, once.
//   边长类型 = 平面 | 平距 | 斜距      测距加常数 [mm]   测距乘常数 [mm/km]
//   椭球 = CGCS2000 | WGS84 | 西安80 | 北京54   中央子午线 [D.MMSS]
//   Y加常数 [m]   投影面高程 [m]   高程异常 [m]
//   高程 A, 高程 B, 高程 C, 高程 D, 高程 1 … 高程 K, 高程 C后 [m]
//   S5 仪器高, S5 镜高 [m] (slope distances only)
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "reduction/GaussPlaneReduction.h"
#include "state/CompletedRun.h"
#include "state/ReductionRecord.h"

// Whether a key, as the reader normalises it (no blanks, ASCII letters in
// lower case), is one of the reduction's.
bool IsReductionKey(const std::string& normalisedKey);

// Takes the value of such a key into the record; returns the reason it is
// refused (not a number, out of range, given twice), else nullopt. label
// gets the key as the file writes it ("高程 C", "S5 仪器高").
std::optional<std::string> TakeReductionValue(ReductionRecord& record, const std::string& normalisedKey,
                                              const std::string& value, std::string* label = nullptr);

// What is wrong with the record's reduction for the chain of `input`: the
// message, and the label of the line it concerns ("高程 5", "Yb"), empty for
// the file as a whole.
struct ReductionRefusal {
    std::string message;
    std::string key;
    // where key is empty: the value the refusal is about, which no line gives
    // ("高程 5" missing, "中央子午线" missing), for a table to mark it
    std::string concerns = {};
};

// The reduction parameters of the record for the chain of `input` (complete),
// nullopt where the record gives no reduction key; or why they are refused:
// a height of a mark the chain does not have, instrument heights without
// slope distances, a reduction without its central meridian or a height it
// needs, a known point more than 1000 km from the central meridian.
std::variant<std::optional<ReductionParameters>, ReductionRefusal> ReductionOf(const ReductionRecord& record,
                                                                                const ChainInput& input);

// The reduction's single keys as the file writes them ("边长类型", "Y加常数"),
// in the file's order, each with the record's field.
struct ReductionField {
    const char* label;
    std::string ReductionRecord::*field;
};
const std::vector<ReductionField>& ReductionFields();

// One value of a reduction key as the file writes it ("边长类型", "高程 A",
// "S5 仪器高") checked alone: the reason it is refused, else nullopt.
std::optional<std::string> RefuseReductionValue(const std::string& label, const std::string& text);

// The mark's key as the file writes it: "高程 A", "高程 3", "高程 C后".
std::string HeightLabel(const ChainInput& input, int pointId);

// A fault of the reduction in words, naming the mark or the side.
std::string ReductionFaultText(const ReductionFault& fault, const ChainInput& input);

// The record's reduction as the file's keys and values, in a fixed order;
// none where it gives none.
std::vector<std::pair<std::string, std::string>> ReductionEntries(const ReductionRecord& record);
