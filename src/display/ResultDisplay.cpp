#include "display/ResultDisplay.h"

#include "rules/PromptTexts.h"
#include "text/DisplayFormat.h"
#include "rules/FormFields.h"

namespace {

std::string Millimetres(float value, const char* lead) { return lead + FormatFixed(value, 2) + " 毫米"; }

}  // namespace

void ShowResult(const ChainResult& r, Platform& p)
{
    if (r.withoutAngleCondition) p.SetFieldText(field::wb, texts::NO_ANGLE_CONDITION);
    if (r.wbSeconds) p.SetFieldText(field::wb, " " + FormatFixed(*r.wbSeconds, 2) + " 秒");
    if (r.wxMillimetres) p.SetFieldText(field::wx, Millimetres(*r.wxMillimetres, " "));
    if (r.wyMillimetres) p.SetFieldText(field::wy, Millimetres(*r.wyMillimetres, " "));
    if (r.InvPx) p.SetFieldText(field::InvPx, "  " + FormatFixed(*r.InvPx, 4));
    if (r.InvPy) p.SetFieldText(field::InvPy, "  " + FormatFixed(*r.InvPy, 4));
    if (r.ms) p.SetFieldText(field::ms, Millimetres(*r.ms, ""));
    if (r.mx) p.SetFieldText(field::mx, Millimetres(*r.mx, "  "));
    if (r.my) p.SetFieldText(field::my, Millimetres(*r.my, "  "));
    if (r.md) p.SetFieldText(field::md, Millimetres(*r.md, "  "));
}
