#include "run/ScriptedPlatform.h"

#include "display/ReportText.h"
#include "rules/PromptTexts.h"
#include "state/RunFault.h"

ScriptedPlatform::ScriptedPlatform(std::vector<std::string> answers) : answers_(std::move(answers)) {}

// A text on one transcript line: a backslash, a line break, a carriage
// return and a tab written as \\, \n, \r and \t.
static void AppendEscaped(std::string& t, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '\\': t.append("\\\\"); break;
        case '\n': t.append("\\n"); break;
        case '\r': t.append("\\r"); break;
        case '\t': t.append("\\t"); break;
        default: t.push_back(c);
        }
    }
}

void ScriptedPlatform::Write(std::string_view kind, std::string_view a, std::string_view b, bool two)
{
    std::string& t = transcript_;
    t.append(kind).append("\t");
    AppendEscaped(t, a);
    if (two) {
        t.append("\t");
        AppendEscaped(t, b);
    }
    t.append("\n");
    if (out_ != nullptr && t.size() > (1u << 16)) {
        std::fwrite(t.data(), 1, t.size(), out_);
        t.clear();
    }
}

std::optional<std::string> ScriptedPlatform::PromptBox(const std::string& message)
{
    Write("PROMPT", message);
    if (next_ >= answers_.size()) {
        // Input ran out: Cancel. An operator who only presses Cancel can be
        // asked a name for ever (Cancel gives the empty name, Cancel on its
        // confirmation asks it again): a prompt repeated after the input ran
        // out ends the run, except the display prompt, which comes once a point.
        if (message != texts::DISPLAY_PROMPT && !askedSinceInputRanOut_.insert(message).second) throw RunCancelled{};
        return std::nullopt;
    }
    const std::string& answer = answers_[next_++];
    if (answer == CANCEL) return std::nullopt;
    return answer;
}

bool ScriptedPlatform::PacingPrompt(const std::string& message)
{
    if (next_ < answers_.size() && answers_[next_] == ALL) {
        Write("PROMPT", message);
        ++next_;
        return true;
    }
    PromptBox(message);
    return false;
}

std::size_t ScriptedPlatform::QuestionBox(const std::string& text, const std::vector<std::string>& buttons)
{
    std::size_t pressed = buttons.empty() ? 0 : buttons.size() - 1;
    if (next_ < answers_.size())
        for (std::size_t b = 0; b < buttons.size(); ++b)
            if (answers_[next_] == "<" + buttons[b] + ">") {
                pressed = b;
                ++next_;
                break;
            }
    Write("QUESTION", text, pressed < buttons.size() ? buttons[pressed] : std::string(), true);
    return pressed;
}

void ScriptedPlatform::MessageBox(const std::string& text) { Write("MESSAGE", text); }

void ScriptedPlatform::SetFieldTextWithTip(int field, const std::string& text, const std::string& tip)
{
    SetFieldText(field, text);
    tips_.at(static_cast<std::size_t>(field)) = tip;
}

void ScriptedPlatform::SetFieldText(int field, const std::string& text)
{
    fields_.at(static_cast<std::size_t>(field)) = text;
    tips_.at(static_cast<std::size_t>(field)) = text;
    char name[16];
    std::snprintf(name, sizeof name, "Text%d", field);
    Write("TEXT", name, text, true);
}

void ScriptedPlatform::PrintReport(const Report& report)
{
    printed_ = report;
    for (const std::string& line : LayoutReportAsText(report)) Write("REPORT", line);
}

void ScriptedPlatform::EndRun(const RunOutcome& outcome)
{
    askedSinceInputRanOut_.clear();
    switch (outcome.kind) {
    case RunOutcome::Completed: Write("END", "completed"); break;
    case RunOutcome::Cancelled: Write("END", "cancelled"); break;
    case RunOutcome::Failed: Write("END", "failed", outcome.reason, true); break;
    }
}

std::string ScriptedPlatform::TakeTranscript()
{
    std::string out;
    out.swap(transcript_);
    return out;
}

std::vector<std::string> SplitAnswerLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && end < text.size() && text[stop - 1] == '\r') --stop;
        lines.emplace_back(text, start, stop - start);
        start = end + 1;
    }
    return lines;
}

std::string ReplayRuns(ProgramState& s, ScriptedPlatform& p)
{
    do {
        p.EndRun(AdjustmentRun(s, p));
    } while (p.HasUnreadInput());
    return p.Transcript();
}
