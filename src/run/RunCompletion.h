#pragma once
// The completion of a run that went through, the window's and the batch
// command's alike: the chain listed from what the run read and made.
#include "state/CompletedRun.h"

CompletedRun CompleteRun(ChainInput input, ChainResult result);
