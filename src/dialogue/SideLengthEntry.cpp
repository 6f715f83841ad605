#include <cmath>

#include "dialogue/ConfirmedPrompt.h"
#include "dialogue/EntryPhases.h"
#include "dialogue/InputRules.h"
#include "dialogue/PromptTexts.h"
#include "state/RunFault.h"
#include "text/DisplayFormat.h"

static int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

void EnterSideLengths(ProgramState& s, Platform& p)
{
    RunState& r = s.run;
    const int N = s.TriangleCount;
    std::vector<double>& S = s.SideLengths;
    auto label = [&S](const char* prefix, int n) {
        return [&S, prefix, n] { return prefix + FormatInteger(n) + "=" + FormatFixed(S[n], 4); };
    };

    // Side 2 of the first triangle; its sign tells on which side of the route it lies.
    p.SetFieldText(9, texts::S2_HINT);
    p.SetFieldText(11, "");
    ValueLog& log = s.run.Typed;
    auto side = [](int n) { return ValueKey{ValueKind::Side, n}; };
    ConfirmedPrompt(p, log, side(2), {texts::S2_PROMPT, texts::S2_REENTRY, texts::K2, texts::K2, 11, false}, NumberTaker(p, S[2]),
                    label("S", 2));
    r.RouteSigns[1] = SignOf(S[2]);
    S[2] = std::fabs(S[2]);
    p.SetFieldText(20, "");
    p.SetFieldText(17, "");

    for (int k = 2; k <= N; ++k) {
        int n = 2 * k - 1;
        p.SetFieldText(9, texts::SideHint(n));
        p.SetFieldText(10, "");
        ConfirmedPrompt(p, log, side(n), {texts::OddSidePrompt(n), texts::SideReentry(n), texts::K3(n), texts::K4, 10, false},
                        NumberTaker(p, S[n]), label("S", n), [&p] { p.SetFieldText(11, ""); });
        n = 2 * k;
        p.SetFieldText(9, texts::SideHint(n));
        p.SetFieldText(11, "");
        ConfirmedPrompt(p, log, side(n), {texts::EvenSidePrompt(n), texts::SideReentry(n), texts::K5, texts::K2, 11, false},
                        NumberTaker(p, S[n]), label("s", n), [&p] { p.SetFieldText(10, ""); });
        r.RouteSigns[k] = SignOf(S[n]);
        S[n] = std::fabs(S[n]);
    }

    if (PointDAbsent(s)) {
        int n = 2 * N + 1;
        p.SetFieldText(9, texts::ClosingSideHint(n));
        p.SetFieldText(10, "");
        ConfirmedPrompt(p, log, side(n), {texts::OddSidePrompt(n), texts::SideReentry(n), texts::K5, texts::K2, 10, false},
                        NumberTaker(p, S[n]), label("S", n), [&p] { p.SetFieldText(11, ""); });
        r.UnknownPointCount = N - 1;
    } else {
        const std::vector<int>& sigma = r.RouteSigns;
        if (Refusal refused = RefuseRouteSigns(sigma, N, true)) {
            // the file of this run keeps the values before the side that broke the chain
            log.Forget(side(2 * N));
            RaiseFault(FaultKind::InvalidArgument, *refused);
        }
        r.UnknownPointCount = sigma[N - 1] != sigma[N] ? N - 2 : N - 3;
    }
    s.md = static_cast<float>(r.UnknownPointCount);
}
