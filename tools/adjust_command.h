#pragma once
// What the batch command trilat-adjust and its PDF writer trilat-pdf share:
// the command's arguments, and the observation file read and adjusted. Both
// read the same arguments and the same file, so both adjust the same chain.
#include <string>
#include <vector>

#include "display/FullReport.h"
#include "run/BatchRun.h"

// Exit status: 0 the adjustment completed; 1 it ended with a named fault;
// 2 a bad or incomplete file, a value the dialogue would refuse, or bad
// arguments; 3 an output file cannot be written.
constexpr int COMPLETED = 0, FAULT = 1, BAD_INPUT = 2, CANNOT_WRITE = 3;

struct Arguments {
    std::string file;
    bool json = false;
    std::string report, pdf, csv, dat, gama, dxf, sigma, fullReport, edm, orientationSigma, steps;
    PrecisionOverride precision;
    bool withSteps = false;  // the full report with the steps as a section
    bool planeToGround = false;
    bool design = false;           // the 精度预估 of a planned chain
    std::string grade, limits;     // --grade NAME, --limits FILE
};

std::string Usage();
// Usage, every option with a line of explanation, and the exit statuses.
std::string Help();
bool EndsWith(const std::string& text, const std::string& end);
// Reads the arguments into a; returns what is wrong with them, or an empty
// text.
std::string Parse(int argc, char** argv, Arguments& a);

// The observation file of the arguments read and adjusted with their
// precision model (designed with --design), checked against the grade of
// --grade or the file's 等级 with the limits of --limits or the program's:
// status COMPLETED with the run (which may have ended with a fault), or
// BAD_INPUT with the message naming the file.
struct AdjustedFile {
    int status = COMPLETED;
    std::string message;
    BatchRun run;
};
AdjustedFile AdjustFile(const Arguments& a);

// The PDF files a asks for, in the order they are written.
std::vector<std::string> PdfFilesOf(const Arguments& a);

// The full report (with the steps as a section where asked; the 精度预估报告
// of a design) and the steps of a completed run, dated `date` (2026-12-09); empty where not asked.
FullReport FullReportOf(const Arguments& a, const CompletedRun& run, const std::string& date);
FullReport StepsOf(const Arguments& a, const CompletedRun& run, const std::string& date);
