#pragma once
// Every fault text of a run, composed here and nowhere else: the category the
// message box names, and one line that says what and where.
#include <string>
#include <string_view>

#include "core/ChainFault.h"
#include "state/RunFault.h"

// Chinese name of the fault category, as shown in the message box.
const char* FaultKindName(FaultKind kind);
// What the message box shows: "category：message".
std::string FailureText(const RunFault& fault);
// "<what> 超出数值范围，计算无法继续"
std::string OutOfRangeText(std::string_view what);
// The category and the line of a fault of the adjustment.
RunFault DescribeChainFault(const ChainFault& fault);
