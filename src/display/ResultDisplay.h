#pragma once
// Which field shows which figure of an adjustment, and in which order: the
// misclosures (Text12, Text14, Text15), the weight reciprocals (Text21,
// Text23), the standard errors (Text16, Text22, Text24, Text25). A result that
// stopped at a fault shows what was computed before it. A figure too long for
// its field shows as "超限", the figure in the field's tip (FieldFit).
#include "core/ChainResult.h"
#include "rules/Platform.h"

void ShowResult(const ChainResult& r, Platform& p);
