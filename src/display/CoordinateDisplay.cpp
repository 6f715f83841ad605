#include "display/CoordinateDisplay.h"

#include "dialogue/PromptTexts.h"
#include "text/DisplayFormat.h"

void ShowAdjustedCoordinates(const ProgramState& s, Platform& p, bool paced)
{
    p.AskingFor(18);  // the point's name and coordinates, Text17 to Text19
    for (int i = 0; i <= s.ResultPointCount; ++i) {
        if (paced) p.PromptBox(texts::DISPLAY_PROMPT);
        p.SetFieldText(20, texts::DISPLAY_HINT);
        p.SetFieldText(17, " " + s.PointNames[i]);
        p.SetFieldText(18, FormatFixed(s.PointX[i], 3));
        p.SetFieldText(19, FormatFixed(s.PointY[i], 3));
    }
}
