// A catalogue of bad answers at every kind of prompt, each with the outcome a
// surveyor should see: a message and the same prompt again, a cancelled run,
// the value declared wrong and asked again, or the answer taken as it stands.
#include <gtest/gtest.h>

#include "Dialogue.h"
#include "rules/PromptTexts.h"
#include "run/AdjustmentRun.h"

namespace {

enum class Outcome { AskedAgain, Cancelled, Ended, Taken, Wrong };

const char* Name(Outcome o)
{
    switch (o) {
    case Outcome::AskedAgain: return "message and the same prompt";
    case Outcome::Cancelled: return "cancelled run";
    case Outcome::Ended: return "asked whether the input ends, then ended";
    case Outcome::Taken: return "taken";
    case Outcome::Wrong: return "declared wrong";
    }
    return "";
}

// Where each kind of prompt sits in the answers of a valid two-triangle chain.
struct PromptKind {
    const char* name;
    std::size_t position;
};
const PromptKind kKinds[] = {{"triangle count", 0},   {"coordinate", 1},        {"confirmation", 2},
                             {"angle", 17},           {"angle confirmation", 18}, {"even side", 21},
                             {"odd side", 23},        {"point name", 29},       {"name confirmation", 30},
                             {"display pacing", 35}};

struct Bad {
    const char* label;
    std::string answer;
    // outcome at: count, number, confirmation, name, pacing
    Outcome atCount, atNumber, atConfirmation, atName, atPacing;
};

const Outcome A = Outcome::AskedAgain, C = Outcome::Cancelled, E = Outcome::Ended, T = Outcome::Taken,
              W = Outcome::Wrong;

const std::vector<Bad>& Catalogue()
{
    static const std::vector<Bad> bad{
        {"empty", "", A, A, T, T, T},
        {"blanks only", "   ", A, A, T, T, T},
        {"letters", "abc", A, A, A, T, T},
        {"comma decimal", "1,5", A, A, A, T, T},
        {"overflow", "1e400", A, A, A, T, T},
        {"nan", "nan", A, A, A, T, T},
        {"inf", "inf", A, A, A, T, T},
        {"double sign", "--1", A, A, A, T, T},
        {"sign alone", "-", A, A, A, T, T},
        {"full-width digits", "\xEF\xBC\x92", T, T, T, T, T},
        {"full-width zero", "\xEF\xBC\x90", A, T, W, T, T},
        {"ideographic full stop as the point", "2\xE3\x80\x82" "5", T, T, T, T, T},
        {"10 000 digits", std::string(10000, '9'), A, A, A, T, T},
        {"10 000 letters", std::string(10000, 'q'), A, A, A, T, T},
        {"control characters", std::string("\x01\x1b[2J\x7f", 6), A, A, A, T, T},
        {"invalid UTF-8", "\xC3\x28\xFF", A, A, A, T, T},
        // Cancel on the triangle count leaves at once; on a value it asks "结束本次输入?"
        // (the scripted operator answers 结束); on a confirmation it is the surveyor's
        // "wrong", on a name the empty name
        {"cancel", ScriptedPlatform::CANCEL, C, E, W, T, T},
    };
    return bad;
}

Outcome Expected(const Bad& b, const PromptKind& k)
{
    std::string name = k.name;
    if (name == "triangle count") return b.atCount;
    if (name.find("confirmation") != std::string::npos) return b.atConfirmation;
    if (name == "point name") return b.atName;
    if (name == "display pacing") return b.atPacing;
    return b.atNumber;
}

// The outcome of the answer given to the prompt number `index` of the run.
Outcome Observed(const std::string& transcript, std::size_t index, std::string* prompt)
{
    std::vector<std::string> lines = Lines(transcript);
    std::size_t seen = 0, at = 0;
    for (; at < lines.size(); ++at)
        if (lines[at].rfind("PROMPT\t", 0) == 0 && seen++ == index) break;
    *prompt = lines.at(at);
    std::size_t next = at + 1;
    if (lines.at(next) == "QUESTION\t结束本次输入?\t结束" && lines.at(next + 1) == "END\tcancelled") return Outcome::Ended;
    if (lines.at(next).rfind("MESSAGE\t", 0) == 0 && lines.at(next + 1) == lines[at]) return Outcome::AskedAgain;
    // a run cancelled after its first prompt empties the result fields it did not reach
    std::size_t end = next;
    while (end < lines.size() && lines[end].rfind("TEXT\t", 0) == 0 && lines[end].back() == '\t') ++end;
    if (lines.at(end) == "END\tcancelled") return Outcome::Cancelled;
    // a confirmation declared wrong clears the field and asks the value again
    if (lines.at(next).rfind("TEXT\t", 0) == 0 && next + 1 < lines.size() &&
        lines[next + 1].find("正确的") != std::string::npos)
        return Outcome::Wrong;
    return Outcome::Taken;
}

TEST(BadAnswerCatalogue, EveryKindOfPrompt)
{
    EquilateralChain chain({-1, 1}, Closing::CoordinatesOnly);
    const std::vector<std::string> valid = chain.Run().lines;
    ASSERT_EQ(valid[29], "B");
    ASSERT_EQ(valid.size(), 38u);
    int cases = 0;
    for (const PromptKind& kind : kKinds) {
        for (const Bad& b : Catalogue()) {
            std::vector<std::string> answers(valid.begin(), valid.begin() + static_cast<long>(kind.position));
            answers.push_back(b.answer);
            ProgramState s;
            ScriptedPlatform p(answers);
            std::string transcript = ReplayRuns(s, p);
            std::string prompt;
            Outcome seen = Observed(transcript, kind.position, &prompt);
            EXPECT_EQ(Name(seen), std::string(Name(Expected(b, kind))))
                << b.label << " at the " << kind.name << " prompt (" << prompt << ")";
            ++cases;
        }
    }
    EXPECT_EQ(cases, 170);
}

TEST(BadAnswerCatalogue, TheRunGoesOnAfterEveryRefusal)
{
    // every bad answer at a coordinate, then the valid answers: the run completes
    EquilateralChain chain({-1, 1}, Closing::CoordinatesOnly);
    std::vector<std::string> valid = chain.Run().lines;
    std::vector<std::string> answers{valid[0]};
    for (const Bad& b : Catalogue())
        if (b.atNumber == Outcome::AskedAgain) answers.push_back(b.answer);
    answers.insert(answers.end(), valid.begin() + 1, valid.end());
    ProgramState s;
    ScriptedPlatform p(answers);
    std::string transcript = ReplayRuns(s, p);
    EXPECT_EQ(Events(transcript, "END"), std::vector<std::string>{"completed"});
    EXPECT_EQ(s.Xa, 1000);
}

TEST(BadAnswerCatalogue, NamesAreKeptExactlyAsTyped)
{
    EquilateralChain chain({-1, 1}, Closing::CoordinatesOnly);
    std::vector<std::string> answers = chain.Run().lines;
    const std::string odd = std::string("\x01 \xC3\x28 name\t", 11);
    answers[29] = odd;
    ProgramState s;
    ScriptedPlatform p(answers);
    ReplayRuns(s, p);
    EXPECT_EQ(s.PointNames[0], odd);
    EXPECT_EQ(p.Field(17), " C");
}

}  // namespace
