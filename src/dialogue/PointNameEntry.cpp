#include "dialogue/ConfirmedPrompt.h"
#include "dialogue/EntryPhases.h"
#include "dialogue/PromptTexts.h"

static void AskName(Platform& p, std::string& target, const std::string& hint, const PromptInstance& instance)
{
    p.SetFieldText(20, hint);
    ConfirmedPrompt(p, instance, TextTaker(target), [&target] { return " " + target; });
}

void EnterPointNames(ProgramState& s, Platform& p)
{
    const int N = s.TriangleCount;
    const int K = s.run.UnknownPointCount;
    std::vector<std::string>& names = s.PointNames;
    using texts::NAME_REENTRY;

    AskName(p, names[0], texts::B_HINT, {texts::B_PROMPT, NAME_REENTRY, texts::K2, texts::K2, 17, false});
    for (int i = 1; i <= K; ++i)
        AskName(p, names[i], texts::UnknownHint(i),
                {texts::UnknownPrompt(i), NAME_REENTRY, texts::K2, texts::K6, 17, true});
    AskName(p, names[K + 1], texts::C_HINT, {texts::C_PROMPT, NAME_REENTRY, texts::K2, texts::K7, 17, true});
    if (PointDGiven(s) && s.run.RouteSigns[N] == s.run.RouteSigns[N - 1])
        AskName(p, names[K + 2], texts::UnknownHint(K + 2),
                {texts::AFTER_C_PROMPT, NAME_REENTRY, texts::K1, texts::K6, 17, true});
}
