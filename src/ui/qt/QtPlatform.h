#pragma once
// The platform operations realised with Qt widgets.

#include "rules/Platform.h"

class PromptHost;
class QDialog;

class QtPlatform : public Platform {
public:
    explicit QtPlatform(PromptHost& host) : host_(host) {}
    std::optional<std::string> PromptBox(const std::string& message) override;
    bool PacingPrompt(const std::string& message) override;
    std::size_t QuestionBox(const std::string& text, const std::vector<std::string>& buttons) override;
    void MessageBox(const std::string& text) override;
    void SetFieldText(int field, const std::string& text) override;
    void SetFieldTextWithTip(int field, const std::string& text, const std::string& tip) override;
    void PrintReport(const Report& report) override;
    void AskingFor(int field) override;

private:
    // Shows a modal box where it hides neither the field asked about nor the
    // diagrams, or where the operator last moved one; returns its result.
    int Show(QDialog& box);
    // The prompt box; with showAll a button 全部显示 as well, which ends it with ShowAll.
    static constexpr int ShowAll = 2;
    std::optional<std::string> Prompt(const std::string& message, int* result, bool showAll);

    PromptHost& host_;
};

// A box wide enough to show its whole title and text.
void FitTitle(QDialog& box);
