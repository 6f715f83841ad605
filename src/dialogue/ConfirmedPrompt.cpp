#include "dialogue/ConfirmedPrompt.h"

#include "dialogue/InputRules.h"
#include "text/NumberReading.h"
#include "dialogue/PromptTexts.h"
#include "state/RunFault.h"

void AskUntilTaken(Platform& platform, const std::string& prompt, const AnswerTaker& take)
{
    while (!take(platform.PromptBox(prompt))) {
    }
}

Confirmation TestConfirmation(const Answer& answer)
{
    if (!answer || IsBlank(*answer)) return Confirmation::Confirmed;
    std::optional<double> value = ReadNumber(*answer);
    if (!value) return Confirmation::Unreadable;
    return *value == 0 ? Confirmation::Wrong : Confirmation::Confirmed;
}

// Shows the confirmation box until its answer is readable.
static bool AskConfirmed(Platform& platform, const std::string& message)
{
    for (;;) {
        switch (TestConfirmation(platform.PromptBox(message))) {
        case Confirmation::Confirmed: return true;
        case Confirmation::Wrong: return false;
        case Confirmation::Unreadable: platform.MessageBox(texts::CONFIRM_UNREADABLE); break;
        }
    }
}

void ConfirmedPrompt(Platform& platform, const PromptInstance& instance, const AnswerTaker& take,
                     const DisplayText& display, const std::function<void()>& afterFirstAnswer)
{
    AskUntilTaken(platform, instance.firstPrompt, take);
    if (afterFirstAnswer) afterFirstAnswer();
    platform.SetFieldText(instance.displayField, display());
    bool confirmed = AskConfirmed(platform, instance.firstConfirmation);
    while (!confirmed) {
        platform.SetFieldText(instance.displayField, instance.clearToBlank ? " " : "");
        AskUntilTaken(platform, instance.reentryPrompt, take);
        platform.SetFieldText(instance.displayField, display());
        confirmed = AskConfirmed(platform, instance.reconfirmation);
    }
    platform.SetFieldText(instance.displayField, display());
}

AnswerTaker NumberTaker(Platform& platform, double& target)
{
    return [&platform, &target](const Answer& answer) {
        if (!answer) throw RunCancelled{};
        double value = 0;
        if (Refusal refused = RefuseNumber(*answer, value)) {
            platform.MessageBox(*refused);
            return false;
        }
        target = value;
        return true;
    };
}

AnswerTaker TextTaker(std::string& target)
{
    return [&target](const Answer& answer) {
        target = answer.value_or(std::string());
        return true;
    };
}
