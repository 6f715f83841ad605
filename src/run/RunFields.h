#pragma once
// The platform of one run, passed through, with a note of every field the run
// writes: a run that ends without completing empties the result fields it
// did not reach, so that nothing of an earlier run's result stands beside
// this run's values.
#include <bitset>

#include "rules/Platform.h"

class RunFields : public Platform {
public:
    explicit RunFields(Platform& platform) : platform_(platform) {}

    std::optional<std::string> PromptBox(const std::string& message) override { return platform_.PromptBox(message); }
    void MessageBox(const std::string& text) override { platform_.MessageBox(text); }
    void SetFieldText(int field, const std::string& text) override;
    void PrintReport(const Report& report) override { platform_.PrintReport(report); }

    // Text12 and Text14 .. Text25 (misclosures, precision, the point shown),
    // each one this run has not written, set to the empty text in field order.
    void EmptyUnwrittenResultFields();

private:
    Platform& platform_;
    std::bitset<30> written_;
};
