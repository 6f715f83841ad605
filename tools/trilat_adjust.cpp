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
#include <variant>
#include <vector>

#include "adjust_pdf.h"
#include "display/AdjustmentSteps.h"
#include "display/FullReport.h"
#include "display/PrecisionBlocks.h"
#include "display/ReportComposer.h"
#include "files/AtomicWrite.h"
#include "files/CsvExport.h"
#include "files/DatExport.h"
#include "files/DxfExport.h"
#include "files/GamaExport.h"
#include "files/GradeLimitsFile.h"
#include "files/ObservationFile.h"
#include "files/SystemErrorText.h"
#include "run/BatchRun.h"
#include "run/GradeCheck.h"
#include "run/PlaneToGround.h"
#include "text/DisplayFormat.h"
#include "text/NumberReading.h"

namespace {

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

// The options with their values and a line of explanation each, as --help
// prints them.
struct OptionHelp {
    const char* option;
    const char* explanation;
};
const OptionHelp OPTIONS[] = {
    {"--json", "在标准输出上写一份 JSON 文档（代替简短的摘要）"},
    {"--sigma 毫米", "先验测边中误差（毫米，正数），代替文件中的精度（“先验测边中误差”或测距精度）；有了它才作全局检验"},
    {"--edm a,b", "测距仪标称精度 a 毫米 + b 毫米/千米 × 边长：各边按自己的中误差定权，代替文件中的精度"},
    {"--orientation-sigma 秒", "与 --edm 一起：定向角中误差（秒，正数），三角锁有定向角时必须给出"},
    {"--report 文件.txt", "打印报告的文字，逐行写入文件"},
    {"--pdf 文件.pdf", "打印报告，写成 PDF 文件"},
    {"--csv 文件.csv", "平差坐标与点位精度，CSV 表格（UTF-8）"},
    {"--dat 文件.dat", "平差坐标，测图软件的 DAT 坐标文件（GBK）"},
    {"--gama 文件.xml", "观测值与已知点，GNU Gama 的 XML 输入文件"},
    {"--dxf 文件.dxf", "网图，CAD 的 DXF 文件"},
    {"--full-report 文件", "成果报告：以 .pdf 结尾写 PDF，以 .txt 结尾写纯文字"},
    {"--steps 文件", "计算过程（条件方程、法方程、联系数、改正数，第一次和最后一次线性化）：以 .pdf 或 .txt 结尾"},
    {"--with-steps", "成果报告后附上计算过程（与 --full-report 一起用）"},
    {"--plane-to-ground", "在摘要之后列出平差后各边的高斯平面边长换算到地面（两标志平均高程处的平距）的长度"},
    {"--grade 等级", "按此等级（二等、三等、四等、一级、二级）检核，代替文件中的「等级」"},
    {"--limits 文件", "读入自己的等级限差文件（格式见 docs/grades.md），代替程序自带的限差"},
    {"--design", "观测文件是设计的锁：作精度预估（闭合差按零计，各项精度由 μ0 算得），--full-report 写精度预估报告"},
    {"--help", "显示本说明并退出"},
};

std::string Usage()
{
    return "用法：trilat-adjust 观测文件 [--json] [--sigma 毫米 | --edm a,b [--orientation-sigma 秒]] [--report 文件.txt]\n"
           "                     [--pdf 文件.pdf] [--csv 文件.csv] [--dat 文件.dat] [--gama 文件.xml] [--dxf 文件.dxf]\n"
           "                     [--full-report 文件.pdf|文件.txt] [--steps 文件.pdf|文件.txt] [--with-steps]\n"
           "                     [--plane-to-ground] [--grade 等级] [--limits 文件] [--design]\n";
}

std::string Help()
{
    std::string t = Usage() +
                    "\n读入观测文件，作三边锁平差，在标准输出上写出摘要，并写出所要求的文件。\n"
                    "只有平差完成时才写文件；每个文件要么完整写出，要么不写。\n\n选项：\n";
    for (const OptionHelp& o : OPTIONS) t += "  " + std::string(o.option) + "\n      " + o.explanation + "\n";
    t += "\n退出状态：0 平差完成；1 平差因错误中止；2 文件有错、不完整或参数有错；3 输出文件无法写入。\n";
    return t;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() > end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Reads the arguments into a; returns what is wrong with them, or an empty
// text.
std::string Parse(int argc, char** argv, Arguments& a)
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
                              : arg == "--edm" ? &a.edm
                              : arg == "--orientation-sigma" ? &a.orientationSigma
                              : arg == "--full-report" ? &a.fullReport
                              : arg == "--steps" ? &a.steps
                              : arg == "--grade" ? &a.grade
                              : arg == "--limits" ? &a.limits
                                                : nullptr;
        if (arg == "--json") {
            a.json = true;
        } else if (arg == "--with-steps") {
            a.withSteps = true;
        } else if (arg == "--plane-to-ground") {
            a.planeToGround = true;
        } else if (arg == "--design") {
            a.design = true;
        } else if (target) {
            if (!target->empty()) return "选项 " + arg + " 给了两次";
            if (i + 1 >= argc || std::string(argv[i + 1]).empty()) return "选项 " + arg + " 缺少值";
            *target = argv[++i];
        } else if (!arg.empty() && arg[0] == '-') {
            return "未知的选项 " + arg;
        } else if (!a.file.empty()) {
            return "多余的参数 " + arg + "：只能给一个观测文件";
        } else if (arg.empty()) {
            return "观测文件名是空的";
        } else {
            a.file = arg;
        }
    }
    if (!a.sigma.empty()) {
        std::optional<double> mm = ReadNumber(a.sigma);
        if (!mm || !(*mm > 0)) return "--sigma 的值 " + a.sigma + " 不是正数（先验测边中误差，毫米）";
        a.precision.sigma0Mm = mm;
    }
    if (!a.edm.empty()) {
        if (!a.sigma.empty()) return "--sigma 与 --edm 不能同时给出：前者给所有边同一个中误差，后者按边长给出各边的中误差";
        const std::size_t comma = a.edm.find(',');
        std::optional<double> mm = ReadNumber(a.edm.substr(0, comma));
        std::optional<double> ppm = comma == std::string::npos ? std::nullopt : ReadNumber(a.edm.substr(comma + 1));
        if (!mm || !ppm || !(*mm >= 0) || !(*ppm >= 0) || !(*mm + *ppm > 0))
            return "--edm 的值 " + a.edm + " 应是「a,b」：a 毫米、b 毫米每千米，都不小于零，不能都为零（例如 2,2）";
        a.precision.edm = DistanceAccuracy{*mm, *ppm};
    }
    if (!a.orientationSigma.empty()) {
        if (a.edm.empty()) return "--orientation-sigma 只与 --edm 一起给出";
        std::optional<double> seconds = ReadNumber(a.orientationSigma);
        if (!seconds || !(*seconds > 0)) return "--orientation-sigma 的值 " + a.orientationSigma + " 不是正数（定向角中误差，秒）";
        a.precision.orientationSigmaSec = seconds;
    }
    if (!a.fullReport.empty() && !EndsWith(a.fullReport, ".pdf") && !EndsWith(a.fullReport, ".txt"))
        return "--full-report 的文件名 " + a.fullReport + " 须以 .pdf 或 .txt 结尾";
    if (!a.steps.empty() && !EndsWith(a.steps, ".pdf") && !EndsWith(a.steps, ".txt"))
        return "--steps 的文件名 " + a.steps + " 须以 .pdf 或 .txt 结尾";
    if (a.withSteps && a.fullReport.empty()) return "--with-steps 须与 --full-report 一起用";
    if (a.planeToGround && a.json) return "--plane-to-ground 不能与 --json 同时使用";
    if (a.design)
        for (const auto& [given, option] : {std::pair{!a.report.empty(), "--report"}, {!a.pdf.empty(), "--pdf"},
                                            {!a.steps.empty(), "--steps"}, {a.withSteps, "--with-steps"},
                                            {a.planeToGround, "--plane-to-ground"}})
            if (given) return std::string("--design 不能与 ") + option + " 同时使用：精度预估没有观测值";
    if (a.file.empty()) return "缺少观测文件";
    return {};
}

// The whole file, or the system's reason it cannot be read.
std::variant<std::string, std::string> ReadWholeFile(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::variant<std::string, std::string>(std::in_place_index<1>, SystemErrorText(errno));
    std::string bytes;
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    const int error = std::ferror(f) ? errno : 0;
    std::fclose(f);
    if (error) return std::variant<std::string, std::string>(std::in_place_index<1>, SystemErrorText(error));
    return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(bytes));
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

    auto whole = ReadWholeFile(a.file);
    if (whole.index() == 1) return Fail(BAD_INPUT, a.file + ": 无法读取：" + std::get<1>(whole));
    std::string bytes = std::move(std::get<0>(whole));
    auto read = ReadChainFile(bytes);
    std::string().swap(bytes);  // a long chain's file is a megabyte: not kept while the run goes on
    if (const FileError* error = std::get_if<FileError>(&read)) return Fail(BAD_INPUT, a.file + ": " + FormatFileError(*error));

    if (const ChainFile& file = std::get<ChainFile>(read); file.input && a.precision.edm) {
        const bool orientation = file.input->observations.orientation.has_value();
        if (orientation && !a.precision.orientationSigmaSec)
            return Fail(BAD_INPUT, "这条三角锁有定向角：与 --edm 一起须以 --orientation-sigma 给出定向角中误差（秒）");
        if (!orientation && a.precision.orientationSigmaSec)
            return Fail(BAD_INPUT, "这条三角锁没有定向角：--orientation-sigma 不适用");
    }
    // the grade the chain is checked against, and the limits it is checked with
    GradeLimits limits = BuiltInGradeLimits();
    if (!a.limits.empty()) {
        auto text = ReadWholeFile(a.limits);
        if (text.index() == 1) return Fail(BAD_INPUT, a.limits + ": 无法读取：" + std::get<1>(text));
        auto own = ReadGradeLimits(std::get<0>(text));
        if (const FileError* error = std::get_if<FileError>(&own)) return Fail(BAD_INPUT, a.limits + ": " + FormatFileError(*error));
        limits = std::get<GradeLimits>(std::move(own));
    }
    const std::string grade = !a.grade.empty() ? a.grade : std::get<ChainFile>(read).record.grade;
    if (!grade.empty() && !limits.Find(grade))
        return Fail(BAD_INPUT, "等级「" + grade + "」不在" + (a.limits.empty() ? std::string("程序的限差中") : "限差文件 " + a.limits + " 中"));
    if (grade.empty() && !a.limits.empty()) return Fail(BAD_INPUT, "--limits 须有等级：文件中的「等级」或 --grade");
    if (const ChainFile& file = std::get<ChainFile>(read);
        a.design && file.input && !a.precision.Given() && !file.input->observations.sigma0Mm && !file.input->observations.edm)
        return Fail(BAD_INPUT, kDesignWithoutMu0);
    BatchRun run = RunChainFile(std::get<ChainFile>(read), a.precision, a.design);
    read = FileError{};  // the run keeps what it took of the file
    if (run.outcome.kind == RunOutcome::Cancelled)
        return Fail(BAD_INPUT, a.file + ": 观测文件不完整，缺少 " + run.missing);

    if (run.completed && !grade.empty()) CheckRunGrade(*run.completed, grade, limits);
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
    FullReport full = a.fullReport.empty() ? FullReport{}
                      : a.design        ? ComposeDesignReport(run.completed->listing, result, Today())
                                        : ComposeFullReport(run.completed->listing, result, Today());
    const ChainObservations& observed = run.completed->input.observations;
    if (a.withSteps)
        for (FullReportBlock& b : AdjustmentStepBlocks(observed, run.completed->listing)) full.blocks.push_back(std::move(b));
    if (EndsWith(a.fullReport, ".txt")) outputs.push_back({a.fullReport, FullReportAsText(full)});
    const FullReport steps =
        a.steps.empty() ? FullReport{} : ComposeAdjustmentSteps(observed, run.completed->listing, Today());
    if (EndsWith(a.steps, ".txt")) outputs.push_back({a.steps, FullReportAsText(steps)});
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
    if (EndsWith(a.steps, ".pdf")) {
        std::string error = WriteAdjustFullReportPdf(steps, run.completed->listing, result, a.steps, argc, argv);
        if (!error.empty()) return Fail(CANNOT_WRITE, a.steps + ": " + error);
    }

    std::string out = a.json ? FormatJson(figures) : FormatSummary(figures) + ground;
    std::fwrite(out.data(), 1, out.size(), stdout);
    return COMPLETED;
}
