#pragma once
#include <string>

#include "state/ProgramState.h"
#include "dialogue/Platform.h"

struct RunOutcome {
    enum Kind { Completed, Cancelled, Failed } kind;
    std::string reason;  // for Failed: the fault as the message box named it
};

// One press of the adjustment button: asks every input, adjusts the chain and
// shows the results. Input faults are asked again; a Cancel on a number prompt
// or a fault of the computation ends the run, never the program.
RunOutcome AdjustmentRun(ProgramState& s, Platform& p);

// The run's first steps: constants, and every array sized (cleared) from N.
void SetConstants(ProgramState& s);
void SizeArrays(ProgramState& s);

// The steps of a run in three stretches (AdjustmentRun is SetConstants, these
// three, in this order): every input from the triangle count to the point
// names; the computation from the approximate chain to the adjusted
// coordinates and their closure check; the point-by-point display.
void EnterRunInput(ProgramState& s, Platform& p);
void ComputeAdjustment(ProgramState& s, Platform& p);
