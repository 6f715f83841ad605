#include "run/RunCompletion.h"

#include "files/GradeLimitsFile.h"
#include "run/GradeCheck.h"
#include "run/ListChain.h"

CompletedRun CompleteRun(ChainInput input, ChainResult result)
{
    CompletedRun run{std::move(input), std::move(result), {}};
    run.listing = ListChain(run.input, run.result);
    // the file's 等级 against the program's limits (the reader took only a known grade)
    if (!run.input.grade.empty()) CheckRunGrade(run, run.input.grade, BuiltInGradeLimits());
    return run;
}
