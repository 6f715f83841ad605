#include "dialogue/ConfirmedPrompt.h"

#include "rules/InputRules.h"
#include "text/NumberReading.h"
#include "rules/PromptTexts.h"
#include "state/RunFault.h"

void AskUntilTaken(Platform& platform, const std::string& prompt, const AnswerTaker& take)
{
    while (!take(platform.PromptBox(prompt))) {
    }
}

Confirmation TestConfirmation(const Answer& answer)
{
    // Cancel is the surveyor's "no": the value is asked again, as after 0
    if (!answer) return Confirmation::Wrong;
    if (IsBlank(*answer)) return Confirmation::Confirmed;
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

// The taker, remembering the text of the answer it took last.
static AnswerTaker Remembering(const AnswerTaker& take, std::string& typed)
{
    return [&take, &typed](const Answer& answer) {
        if (!take(answer)) return false;
        typed = answer.value_or(std::string());
        return true;
    };
}

std::string TakeValue(Platform& platform, ValueLog& log, ValueKey key, const std::string& prompt,
                      const AnswerTaker& take)
{
    std::string typed;
    AnswerTaker taking = Remembering(take, typed);
    std::optional<std::string> filed = log.TakePrefilled(key);
    if (!filed || !taking(filed)) {
        log.NoteAsked();
        AskUntilTaken(platform, prompt, taking);
    }
    return typed;
}

void ConfirmedPrompt(Platform& platform, ValueLog& log, ValueKey key, const PromptInstance& instance,
                     const AnswerTaker& take, const DisplayText& display,
                     const std::function<void()>& afterFirstAnswer)
{
    std::string typed;
    AnswerTaker taking = Remembering(take, typed);
    auto confirmation = [&instance, &typed](const std::string& text) {
        return instance.heading ? instance.heading(typed) + "\n" + text : text;
    };
    std::optional<std::string> filed = log.TakePrefilled(key);
    platform.AskingFor(instance.displayField);
    if (filed && taking(filed)) {
        if (afterFirstAnswer) afterFirstAnswer();
        platform.SetFieldText(instance.displayField, display());
    } else {
        log.NoteAsked();
        AskUntilTaken(platform, instance.firstPrompt, taking);
        if (afterFirstAnswer) afterFirstAnswer();
        platform.SetFieldText(instance.displayField, display());
        bool confirmed = AskConfirmed(platform, confirmation(instance.firstConfirmation));
        while (!confirmed) {
            platform.SetFieldText(instance.displayField, instance.clearToBlank ? " " : "");
            AskUntilTaken(platform, instance.reentryPrompt, taking);
            platform.SetFieldText(instance.displayField, display());
            confirmed = AskConfirmed(platform, confirmation(instance.reconfirmation));
        }
    }
    platform.SetFieldText(instance.displayField, display());
    log.Confirm(key, typed);
}

bool OperatorEndsInput(Platform& platform)
{
    return platform.QuestionBox(texts::END_INPUT_QUESTION, {texts::CONTINUE_INPUT, texts::END_INPUT}) == 1;
}

AnswerTaker NumberTaker(Platform& platform, double& target, bool askOnCancel)
{
    return [&platform, &target, askOnCancel](const Answer& answer) {
        if (!answer) {
            if (askOnCancel && !OperatorEndsInput(platform)) return false;
            throw RunCancelled{};
        }
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
