#include "dialogue/ConfirmedPrompt.h"
#include "dialogue/EntryPhases.h"
#include "rules/PromptTexts.h"
#include "rules/FormFields.h"

// point: the point's place in the chain as the confirmation names it ("B", "3", "C").
static void AskName(ProgramState& s, Platform& p, int element, const std::string& hint, const std::string& point,
                    PromptInstance instance)
{
    std::string& target = s.PointNames[static_cast<std::size_t>(element)];
    p.SetFieldText(field::NameHint, hint);
    instance.heading = [point](const std::string& typed) { return texts::NameHeading(point, typed); };
    ConfirmedPrompt(p, s.run.Typed, {ValueKind::PointName, element}, instance, TextTaker(target),
                    [&target] { return " " + target; });
}

void EnterPointNames(ProgramState& s, Platform& p)
{
    const int N = s.TriangleCount;
    const int K = s.run.UnknownPointCount;
    using texts::NAME_REENTRY;

    AskName(s, p, 0, texts::B_HINT, "B", {texts::B_PROMPT, NAME_REENTRY, texts::K2, texts::K2, field::PointName, false, {}});
    for (int i = 1; i <= K; ++i)
        AskName(s, p, i, texts::UnknownHint(i), std::to_string(i),
                {texts::UnknownPrompt(i), NAME_REENTRY, texts::K2, texts::K6, field::PointName, true, {}});
    AskName(s, p, K + 1, texts::C_HINT, "C", {texts::C_PROMPT, NAME_REENTRY, texts::K2, texts::K7, field::PointName, true, {}});
    if (PointDGiven(s) && s.run.RouteSigns[N] == s.run.RouteSigns[N - 1])
        AskName(s, p, K + 2, texts::UnknownHint(K + 2), std::to_string(K + 2),
                {texts::AFTER_C_PROMPT, NAME_REENTRY, texts::K1, texts::K6, field::PointName, true, {}});
}
