#include "display/CoordinateDisplay.h"

#include "rules/PromptTexts.h"
#include "text/DisplayFormat.h"
#include "rules/FormFields.h"

void ShowAdjustedCoordinates(const ProgramState& s, Platform& p, bool paced)
{
    p.AskingFor(field::PointX);  // the point's name and coordinates
    for (int i = 0; i <= s.ResultPointCount; ++i) {
        if (paced) p.PromptBox(texts::DISPLAY_PROMPT);
        p.SetFieldText(field::NameHint, texts::DISPLAY_HINT);
        p.SetFieldText(field::PointName, " " + s.PointNames[i]);
        p.SetFieldText(field::PointX, FormatFixed(s.PointX[i], 3));
        p.SetFieldText(field::PointY, FormatFixed(s.PointY[i], 3));
    }
}
