#pragma once
// Every fault text of a run, composed here and nowhere else: the category the
// message box names, and one line that says what and where.
#include <array>
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

// A triangle refused as soon as its sides are typed (or read from a file):
// the triangle, its three sides as given (typed, or computed for S1 = A-B and
// C-D) and what is wrong with it, in the words of the adjustment's fault.
std::string TriangleEntryText(const ChainFault& fault, const std::array<std::string, 3>& sides);
// The dialogue's message for triangle i refused with that text: which sides
// are asked again (S2i alone when the closing side C-D is known), and how a
// wrong shared side S(2i-1) is mended.
std::string TriangleReentryText(const std::string& refused, int i, bool closingSideKnown);
