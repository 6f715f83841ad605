#pragma once
// The platform operations realised with Qt widgets.

#include "rules/Platform.h"

class PromptHost;
class QDialog;

class QtPlatform : public Platform {
public:
    explicit QtPlatform(PromptHost& host) : host_(host) {}
    std::optional<std::string> PromptBox(const std::string& message) override;
    void MessageBox(const std::string& text) override;
    void SetFieldText(int field, const std::string& text) override;
    void SetFieldTextWithTip(int field, const std::string& text, const std::string& tip) override;
    void PrintReport(const Report& report) override;
    void AskingFor(int field) override;

private:
    // Shows a modal box where it hides neither the field asked about nor the
    // diagrams, or where the operator last moved one; returns its result.
    int Show(QDialog& box);

    PromptHost& host_;
};

// A box wide enough to show its whole title and text.
void FitTitle(QDialog& box);
