#include "display/ResultDisplay.h"

#include "dialogue/PromptTexts.h"
#include "text/DisplayFormat.h"

namespace {

std::string Millimetres(float value, const char* lead) { return lead + FormatFixed(value, 2) + " 毫米"; }

}  // namespace

void ShowResult(const ChainResult& r, Platform& p)
{
    if (r.withoutAngleCondition) p.SetFieldText(12, texts::NO_ANGLE_CONDITION);
    if (r.wbSeconds) p.SetFieldText(12, " " + FormatFixed(*r.wbSeconds, 2) + " 秒");
    if (r.wxMillimetres) p.SetFieldText(14, Millimetres(*r.wxMillimetres, " "));
    if (r.wyMillimetres) p.SetFieldText(15, Millimetres(*r.wyMillimetres, " "));
    if (r.InvPx) p.SetFieldText(21, "  " + FormatFixed(*r.InvPx, 4));
    if (r.InvPy) p.SetFieldText(23, "  " + FormatFixed(*r.InvPy, 4));
    if (r.ms) p.SetFieldText(16, Millimetres(*r.ms, ""));
    if (r.mx) p.SetFieldText(22, Millimetres(*r.mx, "  "));
    if (r.my) p.SetFieldText(24, Millimetres(*r.my, "  "));
    if (r.md) p.SetFieldText(25, Millimetres(*r.md, "  "));
}
