#pragma once
#include "state/ProgramState.h"
#include "rules/Platform.h"
#include "display/ReportText.h"

// The report of a completed run: the values it read and the figures it made.
Report ComposeReport(const CompletedRun& last);
// The report of the state's last completed run (of an empty one before any).
Report ComposeReport(const ProgramState& s);

// The print command: composes the report and hands it to the printer.
void ReportPrinter(const ProgramState& s, Platform& p);
