#include "display/PrecisionBlocks.h"

#include "rules/GradeTexts.h"
#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"

namespace {

const char* DASH = "-";

std::string Figure(const std::optional<double>& value, int decimals)
{
    return value ? FormatFixed(*value, decimals) : std::string(DASH);
}

}  // namespace

FullReportBlock SidesAndAzimuthsBlock(const ChainListing& l, const std::string& heading)
{
    FullReportBlock b;
    b.heading = heading;
    b.hasTable = true;
    b.table.header = {"k", "起点", "终点", "边长 (m)", "mS (mm)", "mS/S", "方位角 (度.分秒)", "mT (″)"};
    b.table.rightAligned = {true, false, false, true, true, true, true, true};
    for (const ListedSide& s : l.sides)
        b.table.rows.push_back({FormatInteger(s.k), s.from, s.to, FormatFixed(s.adjusted, 4), Figure(s.adjustedSigmaMm, 2),
                                s.relative ? FormatRelative(*s.relative) : std::string(DASH), DegreesToPacked(s.azimuthDeg),
                                FormatFixed(s.azimuthSigmaArcSec, 2)});
    if (l.weakestSide) {
        const ListedSide& w = l.sides[*l.weakestSide];
        b.notes.push_back("最弱边 S" + FormatInteger(w.k) + "（" + w.from + "-" + w.to + "）：边长相对中误差 " +
                          FormatRelative(*w.relative) + "。");
    }
    b.notes.push_back(l.design ? std::string("mS = μ0·√((1 - r)/p) 为边长中误差，mT 为方位角中误差，都由先验单位权中误差 μ0 算得。")
                               : std::string("mS = ms·√((1 - r)/p) 为平差后边长的中误差，mT 为平差后方位角的中误差；"
                                             "ms 只有 2 或 3 个自由度，重测一次可能有不小的变化，精度预估的先验数值则不会。"));
    b.notes.push_back("方位角为坐标方位角（由北顺时针，起点到终点）；已知边的边长无误差（-）。");
    return b;
}

FullReportBlock GradeBlock(const ChainListing& l, const std::string& heading)
{
    FullReportBlock b;
    b.heading = heading;
    if (!l.grade) return b;
    const GradeVerdict& g = *l.grade;
    b.lines.push_back(GradeVerdictLine(g));
    b.hasTable = true;
    b.table.header = {"项目", "本锁", "限差", "结论", "出处"};
    b.table.rightAligned = {false, true, true, false, false};
    for (const GradeCheck& c : g.checks) {
        const std::string verdict = !c.limit                       ? "无此项限差"
                                    : !c.passed                    ? "参考"
                                    : *c.passed                    ? "合格"
                                                                   : "不合格";
        b.table.rows.push_back({GradeItemName(c.item), GradeFigureText(c.item, c.value), c.limit ? c.limitText : DASH,
                                verdict, c.source.empty() ? std::string(DASH) : c.source});
    }
    b.notes.push_back("测距相对中误差为测距仪 (a + b·D)/D 在本锁平均边长 D 处的值；平均边长是等级的参考值，不作判定。");
    return b;
}

FullReport ComposeDesignReport(const ChainListing& l, const ChainResult& r, const std::string& date)
{
    FullReport report = ComposeFullReport(l, r, date);
    report.title = (l.project.empty() ? std::string() : l.project + " ") + "三边锁精度预估报告";
    // the planned sides with their checks; no corrections, misclosures or tests
    std::vector<FullReportBlock> blocks;
    blocks.push_back(report.blocks.front());  // 一、已知点
    FullReportBlock sides;
    sides.heading = "二、设计边长与检核";
    sides.hasTable = true;
    sides.table.header = {"k", "起点", "终点", "设计边长 (m)", "σ (mm)", "r", "MDB (mm)", "λ"};
    sides.table.rightAligned = {true, false, false, true, true, true, true, true};
    for (const ListedSide& s : l.sides) {
        const auto k = static_cast<std::size_t>(s.k);
        const bool checked = !s.known && k < r.Redundancy.size();
        sides.table.rows.push_back({FormatInteger(s.k), s.from, s.to, FormatFixed(s.observed, 4),
                                    s.known ? std::string("已知") : Figure(s.sigmaMm, 2),
                                    checked ? FormatFixed(r.Redundancy[k], 3) : DASH, Figure(s.mdbMm, 1),
                                    Figure(s.biasToNoise, 2)});
    }
    const std::string mu0 = r.Mu0Mm ? FormatFixed(*r.Mu0Mm, 2) : std::string(DASH);
    sides.lines.push_back("先验单位权中误差 μ0 = " + mu0 + " 毫米；闭合差按零计（C、D 或闭合方位角取设计边长推算的值），"
                          "各项精度都由 μ0 与锁形算得。");
    sides.notes.push_back("r 为多余观测分量，MDB = 4.13·σ/√r 为可发现的最小粗差，λ = 4.13·√((1 - r)/r)；r < 0.01 的边不检验（-）。");
    blocks.push_back(std::move(sides));
    for (const FullReportBlock& b : report.blocks)
        if (b.heading == "四、平差坐标与点位精度") {
            FullReportBlock points = b;
            points.heading = "三、点位精度预估";
            blocks.push_back(std::move(points));
        }
    blocks.push_back(SidesAndAzimuthsBlock(l, "四、边长及方位角精度预估"));
    if (l.grade) blocks.push_back(GradeBlock(l, "五、等级检核"));
    report.blocks = std::move(blocks);
    return report;
}
