// trilat-pdf: the PDF files of trilat-adjust, written by the one program of
// the command that loads Qt. trilat-adjust runs it from its own folder after
// it has written its other files:
//   trilat-pdf DATE TRILAT-ADJUST-ARGUMENTS...
// DATE (2026-12-09) dates the full report and the steps as trilat-adjust's
// text outputs are dated. It reads and adjusts the same file with the same
// arguments, so the same chain, and writes --pdf, --full-report FILE.pdf and
// --steps FILE.pdf in that order. Exit status as trilat-adjust's; where a
// file cannot be written, 3 with "FILE: reason" on standard output.
#include <cstdio>
#include <string>

#include "adjust_command.h"
#include "adjust_pdf.h"
#include "display/ReportComposer.h"
#include "heap_preparation.h"

namespace {

int Fail(int status, const std::string& message)
{
    std::printf("%s\n", message.c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return Fail(BAD_INPUT, "用法：trilat-pdf 日期 trilat-adjust 的参数（由 trilat-adjust 运行）");
    const std::string date = argv[1];
    argv[1] = argv[0];  // trilat-adjust's arguments behind the program's name
    --argc;
    ++argv;
    Arguments a;
    if (const std::string wrong = Parse(argc, argv, a); !wrong.empty()) return Fail(BAD_INPUT, wrong);
    PrepareHeapFor(a.file.c_str());
    AdjustedFile adjusted = AdjustFile(a);
    if (adjusted.status != COMPLETED) return Fail(adjusted.status, adjusted.message);
    if (!adjusted.run.Completed()) return Fail(FAULT, adjusted.run.outcome.reason);
    const CompletedRun& run = *adjusted.run.completed;

    if (!a.pdf.empty())
        if (std::string error = WriteAdjustReportPdf(ComposeReport(run), a.pdf, argc, argv); !error.empty())
            return Fail(CANNOT_WRITE, a.pdf + ": " + error);
    if (EndsWith(a.fullReport, ".pdf"))
        if (std::string error = WriteAdjustFullReportPdf(FullReportOf(a, run, date), run.listing, run.result,
                                                         a.fullReport, argc, argv);
            !error.empty())
            return Fail(CANNOT_WRITE, a.fullReport + ": " + error);
    if (EndsWith(a.steps, ".pdf"))
        if (std::string error =
                WriteAdjustFullReportPdf(StepsOf(a, run, date), run.listing, run.result, a.steps, argc, argv);
            !error.empty())
            return Fail(CANNOT_WRITE, a.steps + ": " + error);
    return COMPLETED;
}
