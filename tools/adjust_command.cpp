#include "adjust_command.h"

#include <cerrno>
#include <cstdio>
#include <variant>

#include "display/AdjustmentSteps.h"
#include "display/PrecisionBlocks.h"
#include "files/GradeLimitsFile.h"
#include "files/ObservationFile.h"
#include "files/SystemErrorText.h"
#include "run/GradeCheck.h"
#include "text/NumberReading.h"

namespace {

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

}  // namespace

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

AdjustedFile AdjustFile(const Arguments& a)
{
    AdjustedFile adjusted;
    auto whole = ReadWholeFile(a.file);
    if (whole.index() == 1) return {BAD_INPUT, a.file + ": 无法读取：" + std::get<1>(whole), {}};
    std::string bytes = std::move(std::get<0>(whole));
    auto read = ReadChainFile(bytes);
    std::string().swap(bytes);  // a long chain's file is a megabyte: not kept while the run goes on
    if (const FileError* error = std::get_if<FileError>(&read)) return {BAD_INPUT, a.file + ": " + FormatFileError(*error), {}};

    if (const ChainFile& file = std::get<ChainFile>(read); file.input && a.precision.edm) {
        const bool orientation = file.input->observations.orientation.has_value();
        if (orientation && !a.precision.orientationSigmaSec)
            return {BAD_INPUT, "这条三角锁有定向角：与 --edm 一起须以 --orientation-sigma 给出定向角中误差（秒）", {}};
        if (!orientation && a.precision.orientationSigmaSec)
            return {BAD_INPUT, "这条三角锁没有定向角：--orientation-sigma 不适用", {}};
    }
    // the grade the chain is checked against, and the limits it is checked with
    GradeLimits limits = BuiltInGradeLimits();
    if (!a.limits.empty()) {
        auto text = ReadWholeFile(a.limits);
        if (text.index() == 1) return {BAD_INPUT, a.limits + ": 无法读取：" + std::get<1>(text), {}};
        auto own = ReadGradeLimits(std::get<0>(text));
        if (const FileError* error = std::get_if<FileError>(&own)) return {BAD_INPUT, a.limits + ": " + FormatFileError(*error), {}};
        limits = std::get<GradeLimits>(std::move(own));
    }
    const std::string grade = !a.grade.empty() ? a.grade : std::get<ChainFile>(read).record.grade;
    if (!grade.empty() && !limits.Find(grade))
        return {BAD_INPUT,
                "等级「" + grade + "」不在" + (a.limits.empty() ? std::string("程序的限差中") : "限差文件 " + a.limits + " 中"),
                {}};
    if (grade.empty() && !a.limits.empty()) return {BAD_INPUT, "--limits 须有等级：文件中的「等级」或 --grade", {}};
    if (const ChainFile& file = std::get<ChainFile>(read);
        a.design && file.input && !a.precision.Given() && !file.input->observations.sigma0Mm && !file.input->observations.edm)
        return {BAD_INPUT, kDesignWithoutMu0, {}};
    adjusted.run = RunChainFile(std::get<ChainFile>(std::move(read)), a.precision, a.design);
    read = FileError{};  // the run took what it needs of the file
    if (adjusted.run.outcome.kind == RunOutcome::Cancelled)
        return {BAD_INPUT, a.file + ": 观测文件不完整，缺少 " + adjusted.run.missing, {}};
    if (adjusted.run.completed && !grade.empty()) CheckRunGrade(*adjusted.run.completed, grade, limits);
    return adjusted;
}

FullReport FullReportOf(const Arguments& a, const CompletedRun& run, const std::string& date)
{
    if (a.fullReport.empty()) return {};
    FullReport full = a.design ? ComposeDesignReport(run.listing, run.result, date)
                               : ComposeFullReport(run.listing, run.result, date);
    if (a.withSteps)
        for (FullReportBlock& b : AdjustmentStepBlocks(run.input.observations, run.listing)) full.blocks.push_back(std::move(b));
    return full;
}

FullReport StepsOf(const Arguments& a, const CompletedRun& run, const std::string& date)
{
    return a.steps.empty() ? FullReport{} : ComposeAdjustmentSteps(run.input.observations, run.listing, date);
}

std::vector<std::string> PdfFilesOf(const Arguments& a)
{
    std::vector<std::string> files;
    for (const std::string* f : {&a.pdf, &a.fullReport, &a.steps})
        if (f == &a.pdf ? !f->empty() : EndsWith(*f, ".pdf")) files.push_back(*f);
    return files;
}
