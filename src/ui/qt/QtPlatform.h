#pragma once
// The platform operations realised with Qt widgets.
#include <QString>

#include "dialogue/Platform.h"

class MainWindow;

class QtPlatform : public Platform {
public:
    explicit QtPlatform(MainWindow& window) : window_(window) {}
    std::optional<std::string> PromptBox(const std::string& message) override;
    void MessageBox(const std::string& text) override;
    void SetFieldText(int field, const std::string& text) override;
    void PrintReport(const Report& report) override;

private:
    MainWindow& window_;
};

QString ToQString(const std::string& utf8);
