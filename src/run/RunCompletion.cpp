#include "run/RunCompletion.h"

#include "run/ListChain.h"

CompletedRun CompleteRun(ChainInput input, ChainResult result)
{
    CompletedRun run{std::move(input), std::move(result), {}};
    run.listing = ListChain(run.input, run.result);
    return run;
}
