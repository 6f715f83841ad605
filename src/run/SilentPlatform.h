#pragma once
// The platform of the batch command: no window. Fields are not kept, a prompt
// box is cancelled (a run from a complete file asks none), messages are kept
// for the command to report.
#include <string>
#include <vector>

#include "rules/Platform.h"

class SilentPlatform : public Platform {
public:
    std::optional<std::string> PromptBox(const std::string& message) override
    {
        prompts.push_back(message);
        return std::nullopt;
    }
    // no one to ask: the last button (ending what is under way)
    std::size_t QuestionBox(const std::string& text, const std::vector<std::string>& buttons) override
    {
        messages.push_back(text);
        return buttons.empty() ? 0 : buttons.size() - 1;
    }
    void MessageBox(const std::string& text) override { messages.push_back(text); }
    void SetFieldText(int, const std::string&) override {}
    void PrintReport(const Report&) override {}

    std::vector<std::string> prompts;
    std::vector<std::string> messages;
};
