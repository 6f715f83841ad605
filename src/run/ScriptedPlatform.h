#pragma once
// The scripted operator: answers prompt boxes from a list of lines and writes
// every event as one line of a transcript (the trilat-replay format). When the
// lines run out it presses Cancel; a prompt repeated after that (a name
// cancelled with its confirmation, again and again) ends the run.
//   PROMPT\t<message>   TEXT\t<field>\t<text>   MESSAGE\t<text>   END\t...
//   REPORT\t<line>      QUESTION\t<text>\t<the button pressed>
// A question box is answered by the next line when it names one of its
// buttons in angle brackets ("<继续输入>"); otherwise the operator presses the
// last button (after <CANCEL> on a value: 结束) and the line stays unread.
#include <array>
#include <set>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "run/AdjustmentRun.h"
#include "rules/Platform.h"

class ScriptedPlatform : public Platform {
public:
    inline static const std::string CANCEL = "<CANCEL>";
    inline static const std::string ALL = "<ALL>";  // 全部显示 of the pacing prompt

    explicit ScriptedPlatform(std::vector<std::string> answers);
    // Events are then written to the stream as they happen instead of being
    // kept (a long session's transcript need not be held in memory).
    void StreamTo(std::FILE* out) { out_ = out; }

    std::optional<std::string> PromptBox(const std::string& message) override;
    bool PacingPrompt(const std::string& message) override;
    std::size_t QuestionBox(const std::string& text, const std::vector<std::string>& buttons) override;
    void MessageBox(const std::string& text) override;
    void SetFieldText(int field, const std::string& text) override;
    // The transcript shows the text; the tip is kept apart (Tip).
    void SetFieldTextWithTip(int field, const std::string& text, const std::string& tip) override;
    void PrintReport(const Report& report) override;

    void EndRun(const RunOutcome& outcome);
    bool HasUnreadInput() const { return next_ < answers_.size(); }

    const std::string& Transcript() const { return transcript_; }
    std::string TakeTranscript();  // the transcript so far, leaving it empty
    const std::string& Field(int n) const { return fields_.at(static_cast<std::size_t>(n)); }
    // The tip of field TextN: its text, or the figure a too narrow field holds.
    const std::string& Tip(int n) const { return tips_.at(static_cast<std::size_t>(n)); }
    const Report& PrintedReport() const { return printed_; }

private:
    std::vector<std::string> answers_;
    std::size_t next_ = 0;
    std::set<std::string> askedSinceInputRanOut_;
    std::string transcript_;
    std::array<std::string, 30> fields_;
    std::array<std::string, 30> tips_;
    Report printed_;
    std::FILE* out_ = nullptr;

    void Write(std::string_view kind, std::string_view a, std::string_view b = {}, bool two = false);
};

// Splits text into lines: "\n" ends a line (a "\r" before it too); a last line
// without its line end still counts.
std::vector<std::string> SplitAnswerLines(const std::string& text);

// Runs the adjustment again and again while answers remain, as trilat-replay
// does; returns the transcript.
std::string ReplayRuns(ProgramState& s, ScriptedPlatform& p);
