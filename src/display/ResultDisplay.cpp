#include "display/ResultDisplay.h"

#include "display/FieldFit.h"
#include "rules/PromptTexts.h"
#include "text/DisplayFormat.h"
#include "rules/FormFields.h"

namespace {

std::string Millimetres(float value, const char* lead) { return lead + FormatFixed(value, 2) + " 毫米"; }

}  // namespace

void ShowResult(const ChainResult& r, Platform& p)
{
    if (r.withoutAngleCondition) p.SetFieldText(field::wb, texts::NO_ANGLE_CONDITION);
    if (r.wbSeconds) ShowFigure(p, field::wb, " " + FormatFixed(*r.wbSeconds, 2) + " 秒");
    if (r.wxMillimetres) ShowFigure(p, field::wx, Millimetres(*r.wxMillimetres, " "));
    if (r.wyMillimetres) ShowFigure(p, field::wy, Millimetres(*r.wyMillimetres, " "));
    if (r.InvPx) ShowFigure(p, field::InvPx, "  " + FormatFixed(*r.InvPx, 4));
    if (r.InvPy) ShowFigure(p, field::InvPy, "  " + FormatFixed(*r.InvPy, 4));
    if (r.ms) ShowFigure(p, field::ms, Millimetres(*r.ms, ""));
    if (r.mx) ShowFigure(p, field::mx, Millimetres(*r.mx, "  "));
    if (r.my) ShowFigure(p, field::my, Millimetres(*r.my, "  "));
    if (r.md) ShowFigure(p, field::md, Millimetres(*r.md, "  "));
}
