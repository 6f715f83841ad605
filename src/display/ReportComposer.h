#pragma once
#include "state/ProgramState.h"
#include "rules/Platform.h"
#include "display/ReportText.h"

// The report of the last run, composed from the form-level state only.
Report ComposeReport(const ProgramState& s);

// The print command: composes the report and hands it to the printer.
void ReportPrinter(const ProgramState& s, Platform& p);
