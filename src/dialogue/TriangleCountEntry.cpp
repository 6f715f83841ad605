#include <cmath>

#include "dialogue/ConfirmedPrompt.h"
#include "dialogue/EntryPhases.h"
#include "dialogue/PromptTexts.h"

void EnterTriangleCount(ProgramState& s, Platform& p)
{
    double answer = 0;
    AnswerTaker take = NumberTaker(p, answer);
    AskUntilTaken(p, texts::COUNT_PROMPT, [&](const Answer& a) {
        if (!take(a)) return false;
        // nearest integer, a fraction of exactly one half to the even neighbour
        double n = std::nearbyint(answer);
        if (!(n >= 1 && n <= 16382)) {
            p.MessageBox(texts::COUNT_OUT_OF_RANGE);
            return false;
        }
        s.TriangleCount = static_cast<std::int16_t>(n);
        return true;
    });
    p.SetFieldText(29, texts::CountText(s.TriangleCount));
}
