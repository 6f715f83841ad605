#pragma once
// The platform of one run, passed through, with the emptying of the result
// fields the run does when it starts: nothing of an earlier run's result
// stands beside this run's values.
#include "rules/Platform.h"

class RunFields : public Platform {
public:
    explicit RunFields(Platform& platform) : platform_(platform) {}

    std::optional<std::string> PromptBox(const std::string& message) override { return platform_.PromptBox(message); }
    bool PacingPrompt(const std::string& message) override { return platform_.PacingPrompt(message); }
    std::size_t QuestionBox(const std::string& text, const std::vector<std::string>& buttons) override
    {
        return platform_.QuestionBox(text, buttons);
    }
    void MessageBox(const std::string& text) override { platform_.MessageBox(text); }
    void SetFieldText(int field, const std::string& text) override { platform_.SetFieldText(field, text); }
    void SetFieldTextWithTip(int field, const std::string& text, const std::string& tip) override
    {
        platform_.SetFieldTextWithTip(field, text, tip);
    }
    void PrintReport(const Report& report) override { platform_.PrintReport(report); }
    void AskingFor(int field) override { platform_.AskingFor(field); }

    // Text12 and Text14 .. Text25 (misclosures, precision, the point shown)
    // set to the empty text in field order.
    void EmptyResultFields();

private:
    Platform& platform_;
};
