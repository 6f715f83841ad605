#include "ui/ScriptedPlatform.h"

ScriptedPlatform::ScriptedPlatform(std::vector<std::string> answers) : answers_(std::move(answers)) {}

std::optional<std::string> ScriptedPlatform::PromptBox(const std::string& message)
{
    transcript_ += "PROMPT\t" + message + "\n";
    if (next_ >= answers_.size()) return std::nullopt;  // input ran out: Cancel
    const std::string& answer = answers_[next_++];
    if (answer == CANCEL) return std::nullopt;
    return answer;
}

void ScriptedPlatform::MessageBox(const std::string& text) { transcript_ += "MESSAGE\t" + text + "\n"; }

void ScriptedPlatform::SetFieldText(int field, const std::string& text)
{
    fields_.at(static_cast<std::size_t>(field)) = text;
    transcript_ += "TEXT\tText" + std::to_string(field) + "\t" + text + "\n";
}

void ScriptedPlatform::PrintReport(const Report& report)
{
    printed_ = report;
    for (const std::string& line : LayoutReportAsText(report)) transcript_ += "REPORT\t" + line + "\n";
}

void ScriptedPlatform::EndRun(const RunOutcome& outcome)
{
    switch (outcome.kind) {
    case RunOutcome::Completed: transcript_ += "END\tcompleted\n"; break;
    case RunOutcome::Cancelled: transcript_ += "END\tcancelled\n"; break;
    case RunOutcome::Failed: transcript_ += "END\tfailed\t" + outcome.reason + "\n"; break;
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
