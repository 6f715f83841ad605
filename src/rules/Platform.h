#pragma once
// The platform operations through which the run and the print reach the
// operator. Declared once; defined by Qt for the program (src/ui/qt) and by a
// scripted operator for the tests and trilat-replay (ScriptedPlatform).
#include <optional>
#include <string>
#include <vector>

#include "rules/Report.h"

class Platform {
public:
    virtual ~Platform() = default;
    // Modal prompt box with the message, an empty entry field, OK and Cancel.
    // Returns the typed text, or nullopt when the box was cancelled.
    virtual std::optional<std::string> PromptBox(const std::string& message) = 0;
    // The pacing prompt between two points of the coordinate display: a prompt
    // box whose answer is not used. True when the operator asks for the rest
    // of the points at once (全部显示).
    virtual bool PacingPrompt(const std::string& message)
    {
        PromptBox(message);
        return false;
    }
    // Modal question box: the text and its buttons, the first the default
    // (Enter and Escape press it). Returns the index of the button pressed.
    virtual std::size_t QuestionBox(const std::string& text, const std::vector<std::string>& buttons) = 0;
    // Modal message box.
    virtual void MessageBox(const std::string& text) = 0;
    // Replaces the whole text of field TextN (N = 1..29).
    virtual void SetFieldText(int field, const std::string& text) = 0;
    // The same with a tip that is not the text itself (a figure too long for
    // its field: the field says so, the tip holds the figure).
    virtual void SetFieldTextWithTip(int field, const std::string& text, const std::string& /*tip*/)
    {
        SetFieldText(field, text);
    }
    // Hands a composed report to the printer.
    virtual void PrintReport(const Report& report) = 0;
    // The boxes that follow ask about the value shown in field TextN: a
    // window places them where they do not hide it. No event of its own.
    virtual void AskingFor(int /*field*/) {}
};
