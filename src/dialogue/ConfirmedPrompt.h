#pragma once
// Ask, show, confirm, re-ask: the dialogue every value but the triangle count
// goes through. The loop has no limit; it ends when an answer confirms.
#include <functional>
#include <optional>
#include <string>

#include "rules/Platform.h"
#include "state/ValueLog.h"

using Answer = std::optional<std::string>;  // nullopt: the box was cancelled

struct PromptInstance {
    std::string firstPrompt;
    std::string reentryPrompt;
    std::string firstConfirmation;
    std::string reconfirmation;
    int displayField = 0;         // TextN
    bool clearToBlank = false;    // clear text: one blank, else the empty text
    // The confirmation's first line from the answer as typed (the value named,
    // with its unit); the confirmation text follows on the next line.
    std::function<std::string(const std::string& typed)> heading;
};

// Stores an answer into its target. Returns false when the answer cannot be
// taken (it has already said why in a message box): the same prompt comes again.
using AnswerTaker = std::function<bool(const Answer&)>;
using DisplayText = std::function<std::string()>;

// afterFirstAnswer runs once, between the first answer and its first display.
// The confirmed answer is recorded in the log under key; where the log holds a
// value of a file for key, it is taken (and shown) without the prompt and its
// confirmation.
void ConfirmedPrompt(Platform& platform, ValueLog& log, ValueKey key, const PromptInstance& instance,
                     const AnswerTaker& take, const DisplayText& display,
                     const std::function<void()>& afterFirstAnswer = {});

// Shows the prompt until take accepts an answer.
void AskUntilTaken(Platform& platform, const std::string& prompt, const AnswerTaker& take);
// The same for a value recorded under key: a file's value is taken without the
// prompt. Returns the text taken.
std::string TakeValue(Platform& platform, ValueLog& log, ValueKey key, const std::string& prompt,
                      const AnswerTaker& take);

enum class Confirmation { Confirmed, Wrong, Unreadable };

// An empty (or blank) answer confirms; a number equal to zero and Cancel say
// the entry is wrong; any other number confirms; other text is unreadable.
Confirmation TestConfirmation(const Answer& answer);

// Cancel on a value box: asks whether the input ends. True for 结束; for
// 继续输入 (the default) the value is asked again.
bool OperatorEndsInput(Platform& platform);

// Takers for the kinds of target. Cancel on a number ends the run, once the
// operator has said so (askOnCancel; the triangle count, before anything is
// typed, ends it at once).
AnswerTaker NumberTaker(Platform& platform, double& target, bool askOnCancel = true);
AnswerTaker TextTaker(std::string& target);  // Cancel stores the empty text
