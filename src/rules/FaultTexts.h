#pragma once
// Every fault text of a run, composed here and nowhere else: the category the
// message box names, and one line that says what and where.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "core/ChainFault.h"
#include "core/SignDiagnosis.h"
#include "state/RunFault.h"

// Chinese name of the fault category, as shown in the message box.
const char* FaultKindName(FaultKind kind);
// What the message box shows: "category：message".
std::string FailureText(const RunFault& fault);
// "<what> 超出数值范围，计算无法继续"
std::string OutOfRangeText(std::string_view what);
// The category and the line of a fault of the adjustment.
RunFault DescribeChainFault(const ChainFault& fault);
// The same with the sign finder's conclusion: where it names a sign the line
// names the triangle where the misclosure appears and the sign instead of
// the fault's own place; where no single sign explains the misclosures it
// says so after the fault's line.
RunFault DescribeChainFailure(const ChainFault& fault, const std::optional<SignDiagnosis>& diagnosis);
// The finder's conclusion alone: "S6 的左右可能输错了：改为右侧后，闭合差为
// wx = 1.2 毫米、wy = -0.8 毫米", the two where two are close, or that no
// single sign explains the misclosures.
std::string SignDiagnosisText(const SignDiagnosis& d);

// A triangle refused as soon as its sides are typed (or read from a file):
// the triangle, its three sides as given (typed, or computed for S1 = A-B and
// C-D) and what is wrong with it, in the words of the adjustment's fault.
std::string TriangleEntryText(const ChainFault& fault, const std::array<std::string, 3>& sides);
// The dialogue's message for triangle i refused with that text: which sides
// are asked again (S2i alone when the closing side C-D is known), and how a
// wrong shared side S(2i-1) is mended.
std::string TriangleReentryText(const std::string& refused, int i, bool closingSideKnown);
