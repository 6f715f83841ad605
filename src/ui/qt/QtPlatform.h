#pragma once
// The platform operations realised with Qt widgets.
#include <QString>

#include "dialogue/Platform.h"

class MainWindow;
class QDialog;

class QtPlatform : public Platform {
public:
    explicit QtPlatform(MainWindow& window) : window_(window) {}
    std::optional<std::string> PromptBox(const std::string& message) override;
    void MessageBox(const std::string& text) override;
    void SetFieldText(int field, const std::string& text) override;
    void PrintReport(const Report& report) override;
    void AskingFor(int field) override;

private:
    // Shows a modal box where it hides neither the field asked about nor the
    // diagrams, or where the operator last moved one; returns its result.
    int Show(QDialog& box);

    MainWindow& window_;
};

QString ToQString(const std::string& utf8);

// A box wide enough to show its whole title and text.
void FitTitle(QDialog& box);
