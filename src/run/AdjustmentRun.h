#pragma once
#include <functional>
#include <optional>
#include <string>

#include "core/AdjustChain.h"
#include "rules/Platform.h"
#include "run/RunFields.h"
#include "state/ProgramState.h"

struct RunOutcome {
    enum Kind { Completed, Cancelled, Failed } kind;
    std::string reason;  // for Failed: the fault as the message box named it
    std::size_t valuesTaken = 0;  // values of this run confirmed or taken from a file
    RunOutcome(Kind k = Completed, std::string why = {}) : kind(k), reason(std::move(why)) {}
    // The adjustment, when the run got that far: what it read and what it made.
    std::optional<ChainObservations> observations;
    std::optional<ChainOutcome> chain;
};

struct RunOptions {
    ChainConstants constants;  // the program's shortened pi and rho (a seam for the tests)
    // Values of an observation file, taken without their prompts; a complete
    // file runs without any prompt, the point display unpaced.
    const ObservationRecord* prefilled = nullptr;
    // Called after every confirmed value with the values so far (the journal).
    std::function<void(const ObservationRecord&)> onConfirm;
};

// One press of the adjustment button: asks every input, adjusts the chain and
// shows the results. Input faults are asked again; a Cancel on a number prompt
// or a fault of the computation ends the run, never the program. The values
// typed are kept in LastTyped. A run that ends without completing empties the
// result fields it did not write (before its fault's message box); a run
// cancelled at its first prompt, the triangle count, changes nothing at all.
RunOutcome AdjustmentRun(ProgramState& s, Platform& p, const RunOptions& options = {});

// The run's first steps: constants, and every array sized (cleared) from N.
void SetConstants(ProgramState& s, const ChainConstants& constants = {});
void SizeArrays(ProgramState& s);

// The steps of a run (AdjustmentRun is SetConstants, these, in this order):
// every input from the triangle count to the point names (the result fields
// emptied once the triangle count is taken); the adjustment of
// the observations and its figures shown; the point-by-point display; the
// run's completion (run/RunCompletion.h).
void EnterRunInput(ProgramState& s, RunFields& p);
ChainOutcome ComputeAdjustment(const ChainObservations& o, Platform& p);

// What the adjustment reads, taken from the state the dialogue filled (the
// a-priori standard error from the record of the run, where it has one).
ChainObservations ObservationsOf(const ProgramState& s);
// The observations with the names and closing angles typed with them, the
// sides reduced to the Gauss plane where the record of the run asks for it (a
// RunFault where the reduction is refused).
ChainInput InputOf(const ProgramState& s);
