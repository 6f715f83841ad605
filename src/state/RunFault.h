#pragma once
// The one kind of fault value of a run or a print. It is raised where the fault
// happens and caught only where a run (or a print) starts, so every phase reads
// as a straight line of work. Its words are composed in display/FaultTexts.
#include <string>

enum class FaultKind { TypeMismatch, Overflow, IndexRange, DivisionByZero, InvalidArgument };

struct RunFault {
    FaultKind kind;
    std::string message;  // names the fault and where it is, one line
};

// The operator pressed Cancel on a prompt that needs a number.
struct RunCancelled {};

[[noreturn]] void RaiseFault(FaultKind kind, std::string message);
