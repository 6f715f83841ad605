#include "display/CoordinateDisplay.h"

#include "display/FieldFit.h"
#include "rules/PromptTexts.h"
#include "text/DisplayFormat.h"
#include "rules/FormFields.h"

void ShowAdjustedCoordinates(const ChainResult& r, const std::vector<std::string>& names, Platform& p, bool paced)
{
    p.AskingFor(field::PointX);  // the point's name and coordinates
    for (int i = 0; i <= r.ResultPointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (paced && p.PacingPrompt(texts::DISPLAY_PROMPT)) paced = false;  // 全部显示: the rest at once
        p.SetFieldText(field::NameHint, texts::DISPLAY_HINT);
        p.SetFieldText(field::PointName, " " + names.at(at));
        ShowFigure(p, field::PointX, FormatFixed(r.PointX.at(at), 3));
        ShowFigure(p, field::PointY, FormatFixed(r.PointY.at(at), 3));
    }
}
