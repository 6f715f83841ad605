// The full report of a completed run: known points, every observation with its
// correction and check, the misclosures and the tests, every point with its
// standard errors and error ellipse (docs/precision.md says what they mean).
#include "display/FullReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/PrecisionBlocks.h"
#include "display/ReductionTable.h"
#include "display/ReportText.h"
#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"

namespace {

const char* DASH = "-";

std::string Mm(const std::optional<float>& value) { return value ? FormatFixed(*value, 2) : std::string(DASH); }

FullReportBlock KnownPoints(const ChainListing& l, const ChainResult& r)
{
    FullReportBlock b;
    b.heading = "一、已知点";
    b.hasTable = true;
    b.table.header = {"点名", "X (m)", "Y (m)"};
    b.table.rightAligned = {false, true, true};
    for (const ListedPoint& p : l.knownPoints) b.table.rows.push_back({p.name, FormatFixed(p.X, 4), FormatFixed(p.Y, 4)});
    if (l.closing) {
        b.notes.push_back("闭合方位角 Tb = " + ShortestDecimal(l.closing->TbPacked) + "（度.分秒，输入值）");
        b.notes.push_back("闭合定向角 Qb = " + ShortestDecimal(l.closing->QbPacked) + "（度.分秒，输入值，测站 C，起始方向 " +
                          l.closing->lastSideFar + "）");
    } else if (r.withoutAngleCondition) {
        b.notes.push_back("没有闭合方位角与定向角：无方位角条件。");
    } else {
        b.notes.push_back("锁闭合于已知边 C-D。");
    }
    return b;
}

FullReportBlock Observations(const ChainListing& l, const ChainResult& r)
{
    FullReportBlock b;
    b.heading = "二、观测值、改正数与检核";
    b.hasTable = true;
    b.table.header = {"k", "起点", "终点", "观测值 (m)", "v (mm)", "平差值 (m)", "r", "w"};
    b.table.rightAligned = {true, false, false, true, true, true, true, true};
    // with weights: each observation's standard error, minimal detectable bias
    // and bias-to-noise ratio
    const bool weighted = l.weights.has_value();
    if (weighted) {
        for (const char* column : {"σ", "MDB", "λ"}) b.table.header.push_back(column);
        b.table.rightAligned.insert(b.table.rightAligned.end(), 3, true);
    }
    auto figure = [](const std::optional<double>& value, int decimals) {
        return value ? FormatFixed(*value, decimals) : std::string(DASH);
    };
    auto normalised = [&r](std::size_t k) {
        return k < r.Normalised.size() && r.Normalised[k] ? FormatFixed(*r.Normalised[k], 2) : std::string(DASH);
    };
    for (const ListedSide& s : l.sides) {
        const auto k = static_cast<std::size_t>(s.k);
        const bool checked = !s.known && k < r.Redundancy.size();
        b.table.rows.push_back({FormatInteger(s.k), s.from, s.to, FormatFixed(s.observed, 4),
                                s.known ? std::string("已知") : FormatFixed(s.correction * 1000.0, 2),
                                FormatFixed(s.adjusted, 4), checked ? FormatFixed(r.Redundancy[k], 3) : DASH,
                                checked ? normalised(k) : DASH});
        if (weighted)
            b.table.rows.back().insert(b.table.rows.back().end(),
                                       {figure(s.sigmaMm, 2), figure(s.mdbMm, 1), figure(s.biasToNoise, 2)});
    }
    if (l.closing && !r.Redundancy.empty() && !l.sides.empty()) {
        // The orientation angle at C: from the last route side (C towards its
        // other end) to the outward direction.
        const std::size_t Q = r.Redundancy.size() - 1;
        const ListedSide& last = l.sides.back();
        const std::string C = last.from == l.closing->lastSideFar ? last.to : last.from;
        const double adjusted = l.closing->orientationDeg + r.OrientationCorrection / 3600.0;
        b.table.rows.push_back({"Qb", C, l.closing->lastSideFar, DegreesToPacked(l.closing->orientationDeg),
                                FormatFixed(r.OrientationCorrection, 2), DegreesToPacked(adjusted),
                                FormatFixed(r.Redundancy[Q], 3), normalised(Q)});
        if (weighted && l.orientation) {
            const ListedOrientation& q = *l.orientation;
            b.table.rows.back().insert(b.table.rows.back().end(),
                                       {figure(q.sigmaSec, 2), figure(q.mdbSec, 1), figure(q.biasToNoise, 2)});
        }
        b.notes.push_back(weighted ? "Qb 行为 C 点的定向角：观测值与平差值为 度.分秒，v、σ、MDB 以秒计。"
                                   : "Qb 行为 C 点的定向角：观测值与平差值为 度.分秒，v 以秒计。");
    }
    b.notes.push_back("v 为改正数，r 为多余观测分量（总和 " + FormatFixed(r.SumRedundancy, 3) + "），w = v/(σ0·√r) 为标准化改正数"
                      "（给出先验测边中误差时才计算；r < 0.01 的观测不检验）。");
    if (weighted) {
        b.notes.back() = "v 为改正数，r 为多余观测分量（总和 " + FormatFixed(r.SumRedundancy, 3) +
                         "），w = v/(σ·√r) 为标准化改正数（r < 0.01 的观测不检验，记作 -）。";
        b.notes.push_back("σ 为观测值的中误差（边长 a + b·D，毫米），MDB = 4.13·σ/√r 为可发现的最小粗差（检验水平 0.001、"
                          "检验功效 0.80，毫米），λ = 4.13·√((1 - r)/r) 为粗差对坐标的影响与其中误差之比。");
    }
    return b;
}

FullReportBlock Misclosures(const ChainListing& l, const ChainResult& r)
{
    FullReportBlock b;
    b.heading = "三、闭合差与精度评定";
    b.lines.push_back(r.withoutAngleCondition ? std::string("方位角条件闭合差 w1：无方位角条件")
                                              : "方位角条件闭合差 w1 = " + Mm(r.wbSeconds) + " 秒");
    b.lines.push_back("纵坐标条件闭合差 w2 = " + Mm(r.wxMillimetres) + " 毫米");
    b.lines.push_back("横坐标条件闭合差 w3 = " + Mm(r.wyMillimetres) + " 毫米");
    if (l.weights) {
        const ChainListing::Weights& w = *l.weights;
        b.lines.push_back("测距标称精度 a = " + FormatFixed(w.aMm, 2) + " 毫米，b = " + FormatFixed(w.bPpm, 2) +
                          " 毫米/千米；先验单位权中误差 μ0 = a + b = " + FormatFixed(w.mu0Mm, 2) +
                          " 毫米（1 千米边长的测距中误差）");
        b.lines.push_back("验后单位权中误差 ms = " + Mm(r.ms) + " 毫米（各观测按 p = μ0²/σ² 定权）");
    } else {
        b.lines.push_back("单位权测边中误差 ms = " + Mm(r.ms) + " 毫米");
    }
    b.lines.push_back("条件数 " + FormatInteger(r.ConditionCount) + "，线性化次数 " + FormatInteger(r.Iterations));
    if (r.globalTest) {
        const GlobalTest& t = *r.globalTest;
        b.lines.push_back(std::string(l.weights ? "全局检验：[pvv]/μ0² = " : "全局检验：[pvv]/σ0² = ") + FormatFixed(t.statistic, 3) + "，自由度 " + FormatInteger(t.dof) +
                          "，χ²(0.95) = " + FormatFixed(t.critical, 3) + "，" + (t.passed ? "通过" : "未通过"));
    } else {
        b.lines.push_back("未作全局检验：没有给出先验测边中误差。");
    }
    return b;
}

FullReportBlock Points(const ChainListing& l, const ChainResult& r)
{
    FullReportBlock b;
    b.heading = "四、平差坐标与点位精度";
    b.hasTable = true;
    b.table.header = {"点名", "X (m)", "Y (m)", "mx (mm)", "my (mm)", "mp (mm)", "E (mm)", "F (mm)", "φ (°)"};
    b.table.rightAligned = {false, true, true, true, true, true, true, true, true};
    for (std::size_t i = 0; i < l.points.size(); ++i) {
        const ListedPoint& p = l.points[i];
        std::vector<std::string> row = {p.name, FormatFixed(p.X, 4), FormatFixed(p.Y, 4)};
        if (i < r.PointPrecisions.size() && !r.PointPrecisions[i].known) {
            const PointPrecision& q = r.PointPrecisions[i];
            for (double mm : {q.mx, q.my, q.mp, q.ellipse.E, q.ellipse.F}) row.push_back(FormatFixed(mm, 2));
            row.push_back(FormatFixed(q.ellipse.phi, 2));
        } else {
            row.insert(row.end(), 6, DASH);
        }
        b.table.rows.push_back(std::move(row));
    }
    b.notes.push_back("mx、my、mp 为点位中误差，E、F 为误差椭圆的长、短半轴，φ 为长半轴的方位角（由北顺时针）；"
                      "已知点无误差（-）。");
    return b;
}

}  // namespace

FullReport ComposeFullReport(const ChainListing& listing, const ChainResult& result, const std::string& date)
{
    FullReport report;
    report.title = (listing.project.empty() ? std::string() : listing.project + " ") + "三边锁平差成果报告";
    report.notes = listing.notes;
    report.date = date;
    report.blocks = {KnownPoints(listing, result), Observations(listing, result), Misclosures(listing, result),
                     Points(listing, result)};
    if (listing.reduction) report.blocks.insert(report.blocks.begin() + 2, ReductionBlock(listing));
    report.blocks.push_back(SidesAndAzimuthsBlock(listing, "五、边长及方位角成果表"));
    if (listing.grade) report.blocks.push_back(GradeBlock(listing, "六、等级检核"));
    return report;
}

TableColumns LayOutTable(const FullReportTable& table)
{
    TableColumns c;
    c.width.assign(table.header.size(), 0);
    auto widen = [&c](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size() && i < c.width.size(); ++i)
            c.width[i] = std::max(c.width[i], DisplayColumns(cells[i]));
    };
    widen(table.header);
    for (const auto& row : table.rows) widen(row);
    int at = 0;
    for (int w : c.width) {
        c.start.push_back(at);
        at += w + COLUMN_GAP;
    }
    c.total = c.width.empty() ? 0 : at - COLUMN_GAP;
    return c;
}

std::string TableRowText(const TableColumns& columns, const std::vector<bool>& rightAligned,
                         const std::vector<std::string>& cells)
{
    std::string text;
    int used = 0;
    for (std::size_t i = 0; i < cells.size() && i < columns.width.size(); ++i) {
        const int cell = DisplayColumns(cells[i]);
        const bool right = i < rightAligned.size() && rightAligned[i];
        const int at = columns.start[i] + (right ? columns.width[i] - cell : 0);
        text.append(static_cast<std::size_t>(std::max(0, at - used)), ' ');
        text += cells[i];
        used = std::max(used, at) + cell;
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string FullReportAsText(const FullReport& report)
{
    std::string t = report.title + "\n";
    for (const std::string& line : report.notes) t += line + "\n";
    t += "日期：" + report.date + "\n";
    for (const FullReportBlock& b : report.blocks) {
        t += "\n" + b.heading + "\n\n";
        for (const std::string& line : b.lines) t += line + "\n";
        if (b.hasTable) {
            const TableColumns columns = LayOutTable(b.table);
            t += TableRowText(columns, b.table.rightAligned, b.table.header) + "\n";
            t += std::string(static_cast<std::size_t>(columns.total), '-') + "\n";
            for (const auto& row : b.table.rows) t += TableRowText(columns, b.table.rightAligned, row) + "\n";
        }
        if (!b.notes.empty()) t += "\n";
        for (const std::string& line : b.notes) t += line + "\n";
    }
    return t;
}
