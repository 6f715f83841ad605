// The measured sides S2 .. S2N (and S(2N+1) without D), each triangle checked
// as soon as its last typed side is confirmed.
//   Triangle i is bounded by S(2i-1), S(2i), S(2i+1); S1 = A-B and, with D,
//   S(2N+1) = C-D come from the coordinates. The sign typed with an even side
//   S(2k) is the route sign of triangle k; the side is kept without it.
#include <cmath>

#include "dialogue/ConfirmedPrompt.h"
#include "dialogue/EntryPhases.h"
#include "rules/InputRules.h"
#include "rules/PromptTexts.h"
#include "rules/FaultTexts.h"
#include "state/RunFault.h"
#include "text/DisplayFormat.h"
#include "rules/FormFields.h"

namespace {

int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

ValueKey SideKey(int n) { return ValueKey{ValueKind::Side, n}; }

class SideEntry {
public:
    SideEntry(ProgramState& s, Platform& p)
        : s_(s), p_(p), N_(s.TriangleCount), withD_(!PointDAbsent(s)),
          typed_(static_cast<std::size_t>(2 * s.TriangleCount + 2))
    {
        typed_[1] = ShortestDecimal(s.SideLengths[1]);
        if (withD_) typed_.back() = ShortestDecimal(s.SideLengths.back());
    }

    // Side n with its hint, its field writes and its confirmation; an even
    // side gives up its sign to the route signs.
    void Ask(int n)
    {
        std::vector<double>& S = s_.SideLengths;
        const std::size_t at = static_cast<std::size_t>(n);
        const bool even = n % 2 == 0;
        const int textField = even ? field::EvenSide : field::OddSide, otherField = even ? field::OddSide : field::EvenSide;
        PromptInstance instance;
        if (n == 2) {
            p_.SetFieldText(field::SideHint, texts::S2_HINT);
            instance = {texts::S2_PROMPT, texts::S2_REENTRY, texts::K2, texts::K2, field::EvenSide, false, {}};
        } else if (even) {
            p_.SetFieldText(field::SideHint, texts::SideHint(n));
            instance = {texts::EvenSidePrompt(n), texts::SideReentry(n), texts::K5, texts::K2, field::EvenSide, false, {}};
        } else if (n == 2 * N_ + 1) {
            p_.SetFieldText(field::SideHint, texts::ClosingSideHint(n));
            instance = {texts::OddSidePrompt(n), texts::SideReentry(n), texts::K5, texts::K2, field::OddSide, false, {}};
        } else {
            p_.SetFieldText(field::SideHint, texts::SideHint(n));
            instance = {texts::OddSidePrompt(n), texts::SideReentry(n), texts::K3(n), texts::K4, field::OddSide, false, {}};
        }
        instance.heading = [&S, at, n, even](const std::string& typed) {
            return even ? texts::EvenSideHeading(n, typed, S[at] < 0)
                        : texts::ConfirmationHeading("S" + std::to_string(n), typed, texts::METRES);
        };
        p_.SetFieldText(textField, "");
        AnswerTaker number = NumberTaker(p_, S[at]);
        AnswerTaker remembering = [this, at, number](const Answer& answer) {
            if (!number(answer)) return false;
            typed_[at] = *answer;
            return true;
        };
        DisplayText label = [&S, at, n, even] {
            return std::string(even && n != 2 ? "s" : "S") + FormatInteger(n) + "=" + FormatFixed(S[at], 4);
        };
        std::function<void()> afterFirst;
        if (n != 2) afterFirst = [this, otherField] { p_.SetFieldText(otherField, ""); };
        ConfirmedPrompt(p_, s_.run.Typed, SideKey(n), instance, remembering, label, afterFirst);
        if (even) {
            s_.run.RouteSigns[at / 2] = SignOf(S[at]);
            S[at] = std::fabs(S[at]);
        }
        if (n == 2) {
            p_.SetFieldText(field::NameHint, "");
            p_.SetFieldText(field::PointName, "");
        }
    }

    // Triangle i, whose sides are all in: while the adjustment could not
    // solve it, the message, and its typed sides asked again in their order.
    void Check(int i)
    {
        const bool closingSideKnown = withD_ && i == N_;
        for (;;) {
            const std::size_t first = static_cast<std::size_t>(2 * i - 1);
            Refusal refused = RefuseTriangle(i, s_.SideLengths, {typed_[first], typed_[first + 1], typed_[first + 2]},
                                             s_.run.RADIANS_PER_DEGREE);
            if (!refused) return;
            // the record keeps the values before the sides asked again
            s_.run.Typed.Forget(SideKey(2 * i));
            if (!closingSideKnown) s_.run.Typed.Forget(SideKey(2 * i + 1));
            p_.MessageBox(TriangleReentryText(*refused, i, closingSideKnown));
            Ask(2 * i);
            if (!closingSideKnown) Ask(2 * i + 1);
        }
    }

private:
    ProgramState& s_;
    Platform& p_;
    const int N_;
    const bool withD_;
    std::vector<std::string> typed_;  // 1..2N+1: each side as typed (S1 and C-D as computed)
};

}  // namespace

void EnterSideLengths(ProgramState& s, Platform& p)
{
    const int N = s.TriangleCount;
    SideEntry entry(s, p);
    entry.Ask(2);
    for (int k = 2; k <= N; ++k) {
        entry.Ask(2 * k - 1);
        entry.Check(k - 1);
        entry.Ask(2 * k);
        if (PointDGiven(s) && k == N) entry.Check(N);
    }

    RunState& r = s.run;
    if (PointDAbsent(s)) {
        entry.Ask(2 * N + 1);
        entry.Check(N);
        r.UnknownPointCount = N - 1;
    } else {
        const std::vector<int>& sigma = r.RouteSigns;
        if (Refusal refused = RefuseRouteSigns(sigma, N, true)) {
            // the file of this run keeps the values before the side that broke the chain
            s.run.Typed.Forget(SideKey(2 * N));
            RaiseFault(FaultKind::InvalidArgument, *refused);
        }
        r.UnknownPointCount = sigma[N - 1] != sigma[N] ? N - 2 : N - 3;
    }
}
