#include "dialogue/ConfirmedPrompt.h"
#include "dialogue/EntryPhases.h"
#include "rules/InputRules.h"
#include "rules/PromptTexts.h"
#include "rules/FormFields.h"

void EnterTriangleCount(ProgramState& s, Platform& p)
{
    double answer = 0;
    AnswerTaker take = NumberTaker(p, answer, false);
    const ValueKey key{ValueKind::TriangleCount, 0};
    p.AskingFor(field::TriangleCount);
    std::string typed = TakeValue(p, s.run.Typed, key, texts::COUNT_PROMPT, [&](const Answer& a) {
        if (!take(a)) return false;
        if (Refusal refused = RefuseTriangleCount(answer, s.TriangleCount)) {
            p.MessageBox(*refused);
            return false;
        }
        return true;
    });
    s.run.Typed.Confirm(key, typed);
    p.SetFieldText(field::TriangleCount, texts::CountText(s.TriangleCount));
}
