// trilat-adjust: the batch command. Reads an observation file, adjusts the
// chain with the program's own core and writes what is asked.
//   trilat-adjust FILE [--json] [--sigma MM] [--report TXT] [--pdf PDF] [--csv CSV] [--dat DAT] [--gama XML]
//                 [--dxf DXF] [--full-report FILE.pdf|FILE.txt]
// --sigma: the a-priori standard error of one side [mm], over the file's
// 先验测边中误差; with either, the JSON holds the normalised corrections and the
// global test. --full-report: the full report (成果报告) of today, as PDF or
// plain text by the file's ending; only a PDF starts Qt. --dxf: the drawing of
// the chain (网图) for CAD.
// Exit status: 0 the adjustment completed; 1 it ended with a named fault;
// 2 a bad or incomplete file, a value the dialogue would refuse, or bad
// arguments; 3 an output file cannot be written. Messages go to standard
// error; for 2 and 3 nothing goes to standard output. No output file is
// written unless the adjustment completed, and each is written whole or not
// at all.
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>
#include <vector>

#include "adjust_pdf.h"
#include "display/FullReport.h"
#include "display/ReportComposer.h"
#include "files/AtomicWrite.h"
#include "files/CsvExport.h"
#include "files/DatExport.h"
#include "files/DxfExport.h"
#include "files/GamaExport.h"
#include "files/ObservationFile.h"
#include "run/BatchRun.h"
#include "text/NumberReading.h"

namespace {

constexpr int COMPLETED = 0, FAULT = 1, BAD_INPUT = 2, CANNOT_WRITE = 3;

struct Arguments {
    std::string file;
    bool json = false;
    std::string report, pdf, csv, dat, gama, dxf, sigma, fullReport;
};

const char* USAGE =
    "usage: trilat-adjust FILE [--json] [--sigma MM] [--report TXT] [--pdf PDF] [--csv CSV] [--dat DAT] [--gama XML]\n"
    "                     [--dxf DXF] [--full-report FILE.pdf|FILE.txt]\n";

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool Parse(int argc, char** argv, Arguments& a)
{
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string* target = arg == "--report" ? &a.report
                              : arg == "--pdf"  ? &a.pdf
                              : arg == "--csv"  ? &a.csv
                              : arg == "--dat"  ? &a.dat
                              : arg == "--gama" ? &a.gama
                              : arg == "--dxf"  ? &a.dxf
                              : arg == "--sigma" ? &a.sigma
                              : arg == "--full-report" ? &a.fullReport
                                                : nullptr;
        if (arg == "--json") {
            a.json = true;
        } else if (target) {
            if (i + 1 >= argc || !target->empty()) return false;
            *target = argv[++i];
            if (target->empty()) return false;
        } else if (!arg.empty() && arg[0] != '-' && a.file.empty()) {
            a.file = arg;
        } else {
            return false;
        }
    }
    if (!a.sigma.empty()) {
        std::optional<double> mm = ReadNumber(a.sigma);
        if (!mm || !(*mm > 0)) return false;
    }
    if (!a.fullReport.empty() && !EndsWith(a.fullReport, ".pdf") && !EndsWith(a.fullReport, ".txt")) return false;
    return !a.file.empty();
}

// The day of the report, local time, as 2026-12-09.
std::string Today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

int Fail(int status, const std::string& message)
{
    std::fprintf(stderr, "trilat-adjust: %s\n", message.c_str());
    return status;
}

struct Output {
    std::string path;
    std::string bytes;
};

}  // namespace

int main(int argc, char** argv)
{
    Arguments a;
    if (!Parse(argc, argv, a)) {
        std::fputs(USAGE, stderr);
        return BAD_INPUT;
    }

    std::ifstream in(a.file, std::ios::binary);
    if (!in) return Fail(BAD_INPUT, a.file + ": 无法读取");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto read = ReadChainFile(bytes);
    std::string().swap(bytes);  // a long chain's file is a megabyte: not kept while the run goes on
    if (const FileError* error = std::get_if<FileError>(&read)) return Fail(BAD_INPUT, a.file + ": " + FormatFileError(*error));

    BatchRun run = RunChainFile(std::get<ChainFile>(read), a.sigma.empty() ? std::nullopt : ReadNumber(a.sigma));
    read = FileError{};  // the run keeps what it took of the file
    if (run.outcome.kind == RunOutcome::Cancelled)
        return Fail(BAD_INPUT, a.file + ": 观测文件不完整，缺少 " + run.missing);

    BatchFigures figures = run.Figures();
    if (!run.Completed()) {
        std::string out = a.json ? FormatJson(figures) : FormatSummary(figures);
        std::fwrite(out.data(), 1, out.size(), stdout);
        return Fail(FAULT, run.outcome.reason);
    }

    // Every output composed before the first is written: a refused export
    // leaves no file behind.
    std::vector<Output> outputs;
    const Report report = a.report.empty() && a.pdf.empty() ? Report{} : ComposeReport(*run.completed);
    if (!a.report.empty()) outputs.push_back({a.report, ReportAsText(report)});
    struct Export {
        const std::string& path;
        ExportOutcome (*write)(const ChainListing&);
    };
    for (const Export& e : {Export{a.csv, CsvExport}, Export{a.dat, DatExport}, Export{a.gama, GamaExport},
                           Export{a.dxf, DxfExport}}) {
        if (e.path.empty()) continue;
        ExportOutcome composed = e.write(run.completed->listing);
        if (!composed.ok()) return Fail(CANNOT_WRITE, e.path + ": " + composed.refusal);
        outputs.push_back({e.path, std::move(composed.bytes)});
    }
    const ChainResult& result = run.outcome.chain->result;
    const FullReport full = a.fullReport.empty() ? FullReport{} : ComposeFullReport(run.completed->listing, result, Today());
    if (EndsWith(a.fullReport, ".txt")) outputs.push_back({a.fullReport, FullReportAsText(full)});
    for (const Output& o : outputs)
        if (std::optional<std::string> error = WriteFileAtomically(o.path, o.bytes)) return Fail(CANNOT_WRITE, o.path + ": " + *error);
    if (!a.pdf.empty()) {
        std::string error = WriteAdjustReportPdf(report, a.pdf, argc, argv);
        if (!error.empty()) return Fail(CANNOT_WRITE, a.pdf + ": " + error);
    }

    if (EndsWith(a.fullReport, ".pdf")) {
        std::string error = WriteAdjustFullReportPdf(full, run.completed->listing, result, a.fullReport, argc, argv);
        if (!error.empty()) return Fail(CANNOT_WRITE, a.fullReport + ": " + error);
    }

    std::string out = a.json ? FormatJson(figures) : FormatSummary(figures);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return COMPLETED;
}
