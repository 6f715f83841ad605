// trilat-adjust: the batch command. Reads an observation file, adjusts the
// chain with the program's own core and writes what is asked.
//   trilat-adjust FILE [--json] [--sigma MM | --edm A,B [--orientation-sigma SEC]] [--report TXT] [--pdf PDF]
//                 [--csv CSV] [--dat DAT] [--gama XML] [--dxf DXF] [--full-report FILE.pdf|FILE.txt]
//                 [--steps FILE.pdf|FILE.txt] [--with-steps] [--plane-to-ground]
//                 [--grade NAME] [--limits FILE] [--design]
// --help lists every option with a line of explanation. Every message is
// Chinese, the system's reasons too (SystemErrorText).
// --sigma: the a-priori standard error of one side [mm], over the file's
// 先验测边中误差; with either, the JSON holds the normalised corrections and the
// global test. --edm A,B: the distance meter's accuracy a [mm] + b [mm/km]
// times the side, which weights every side by its own standard error, with
// --orientation-sigma the orientation angle's [arc s] (needed where the chain
// has one); either of --sigma and --edm replaces the file's whole precision
// model. --full-report: the full report (成果报告) of today, as PDF or
// plain text by the file's ending; only a PDF starts Qt. --dxf: the drawing of
// the chain (网图) for CAD. --steps: the condition adjustment step by step
// (计算过程), alone or (--with-steps) as a section of the full report.
// --plane-to-ground: after the summary, each adjusted side's plane length
// brought back to the ground at its marks' heights.
// --grade NAME: the chain checked against the grade (over the file's 等级),
// with --limits FILE a user's own grade limits file (docs/grades.md) in place
// of the program's. --design: the file is a planned chain; its 精度预估
// (every figure from mu0, zero misclosures) in the summary, --json and the
// 精度预估报告 of --full-report.
// Exit status: 0 the adjustment completed; 1 it ended with a named fault;
// 2 a bad or incomplete file, a value the dialogue would refuse, or bad
// arguments; 3 an output file cannot be written. Messages go to standard
// error; for 2 and 3 nothing goes to standard output. No output file is
// written unless the adjustment completed, and each is written whole or not
// at all.
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "adjust_command.h"
#include "adjust_pdf.h"
#include "display/FullReport.h"
#include "display/ReportComposer.h"
#include "files/AtomicWrite.h"
#include "files/CsvExport.h"
#include "files/DatExport.h"
#include "files/DxfExport.h"
#include "files/GamaExport.h"
#include "files/SystemErrorText.h"
#include "heap_preparation.h"
#include "run/PlaneToGround.h"
#include "text/DisplayFormat.h"

namespace {

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

// The table of --plane-to-ground: k, from, to, plane, ground [m].
std::string GroundTable(const std::vector<GroundSide>& sides)
{
    FullReportTable table;
    table.header = {"k", "起点", "终点", "平面 (m)", "地面 (m)"};
    table.rightAligned = {true, false, false, true, true};
    for (const GroundSide& s : sides)
        table.rows.push_back({std::to_string(s.k), s.from, s.to, FormatFixed(s.plane, 4), FormatFixed(s.ground, 4)});
    const TableColumns columns = LayOutTable(table);
    std::string t = "平面边长换算到地面（两标志平均高程处的平距）：\n" + TableRowText(columns, table.rightAligned, table.header) + "\n";
    for (const auto& row : table.rows) t += TableRowText(columns, table.rightAligned, row) + "\n";
    return t;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            const std::string help = Help();
            std::fwrite(help.data(), 1, help.size(), stdout);
            return COMPLETED;
        }
    Arguments a;
    if (const std::string wrong = Parse(argc, argv, a); !wrong.empty()) {
        Fail(BAD_INPUT, wrong);
        std::fputs((Usage() + "（trilat-adjust --help 说明每个选项）\n").c_str(), stderr);
        return BAD_INPUT;
    }

    PrepareHeapFor(a.file.c_str());
    AdjustedFile adjusted = AdjustFile(a);
    if (adjusted.status != COMPLETED) return Fail(adjusted.status, adjusted.message);
    const BatchRun& run = adjusted.run;

    BatchFigures figures = run.Figures();
    if (!run.Completed()) {
        std::string out = a.json ? FormatJson(figures) : FormatSummary(figures);
        std::fwrite(out.data(), 1, out.size(), stdout);
        return Fail(FAULT, run.outcome.reason);
    }

    std::string ground;
    if (a.planeToGround) {
        auto sides = PlaneToGround(*run.completed);
        if (const std::string* refused = std::get_if<std::string>(&sides)) return Fail(BAD_INPUT, a.file + ": " + *refused);
        ground = GroundTable(std::get<std::vector<GroundSide>>(sides));
    }

    // Every output composed before the first is written: a refused export
    // leaves no file behind.
    std::vector<Output> outputs;
    if (!a.report.empty()) outputs.push_back({a.report, ReportAsText(ComposeReport(*run.completed))});
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
    const std::string today = Today();
    const FullReport full = EndsWith(a.fullReport, ".txt") ? FullReportOf(a, *run.completed, today) : FullReport{};
    if (EndsWith(a.fullReport, ".txt")) outputs.push_back({a.fullReport, FullReportAsText(full)});
    const FullReport steps = EndsWith(a.steps, ".txt") ? StepsOf(a, *run.completed, today) : FullReport{};
    if (EndsWith(a.steps, ".txt")) outputs.push_back({a.steps, FullReportAsText(steps)});
    for (const Output& o : outputs)
        if (std::optional<std::string> error = WriteFileAtomically(o.path, o.bytes)) return Fail(CANNOT_WRITE, o.path + ": " + *error);
    // the PDF files, last: written by trilat-pdf, which alone starts Qt
    if (!PdfFilesOf(a).empty())
        if (std::string error = WriteAdjustPdfs(a, argc, argv, today); !error.empty()) return Fail(CANNOT_WRITE, error);

    // the JSON document of a long chain, some 16 MB at N = 16382, goes out
    // part by part as it is written
    auto write = [](const std::string& part) { std::fwrite(part.data(), 1, part.size(), stdout); };
    write(a.json ? FormatJson(figures, write) : FormatSummary(figures) + ground);
    // a full disk or a closed pipe behind standard output is a failure, not a success
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail(CANNOT_WRITE, "标准输出：无法写入：" + SystemErrorText(errno));
    return COMPLETED;
}
