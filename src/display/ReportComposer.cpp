// The printed report: title, known points, closing data, observed and adjusted
// sides, misclosures, adjusted coordinates, precision. Column stops follow the
// report's fixed layout; numbers inside labels ("s( 7 )=") are number fields: a
// blank (or "-"), the digits and one trailing blank.
#include "display/ReportComposer.h"

#include "text/DisplayFormat.h"

namespace {

std::string NumberField(long value)
{
    return (value < 0 ? "-" : " ") + FormatInteger(value < 0 ? -value : value) + " ";
}

std::string Blank(double value, int decimals) { return " " + FormatFixed(value, decimals); }

}  // namespace

Report ComposeReport(const CompletedRun& last)
{
    const ChainObservations& o = last.input.observations;
    const ChainResult& r = last.result;
    Report report;
    using Items = std::vector<ReportItem>;
    auto add = [&report](Items items, int size = 10) { report.lines.push_back({size, std::move(items)}); };
    auto knownPoint = [&add](const char* name, double X, double Y) {
        add({{25, name}, {29, FormatFixed(X, 3)}, {46, FormatFixed(Y, 3)}});
    };
    // "s(" i ")=" and the like, placed at a column stop
    auto label = [](int stop, const char* text, long number) {
        return Items{{stop, text}, {0, NumberField(number)}, {0, ")="}};
    };
    auto join = [](Items a, const Items& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };

    add({{22, "--- 由已知边起算的三边锁平差 ---"}}, 12);
    add({}, 12);
    add({{22, "已知点座标 :"}});
    add({});
    add({{24, "点名"}, {33, "X"}, {50, "Y"}});
    add({});
    knownPoint("A", o.Xa, o.Ya);
    knownPoint("B", o.Xb, o.Yb);
    knownPoint("C", o.Xc, o.Yc);  // also a C on a grid axis: the report keeps every known point
    knownPoint("D", o.Xd, o.Yd);
    if (o.closing != ClosingKind::OnCWithD) {
        add({{25, "闭合方位角 Tb="}, {0, Blank(last.input.TbPacked, 5)}});
        add({{25, "闭合定向角 Qb="}, {0, Blank(last.input.QbPacked, 5)}});
    }
    add({});
    add({{22, "观测边长 (米) :"}, {45, "平差改正后边长 (米) :"}});
    const int sides = 2 * o.N + 1;
    for (int i = 1; i <= sides && i < static_cast<int>(r.SideLengths.size()); ++i) {
        Items observed = label(24, "s(", i);
        observed.push_back({0, Blank(r.ObservedSides[i], 3)});
        Items adjusted = label(47, "S(", i);
        adjusted.push_back({0, Blank(r.SideLengths[i], 4)});
        add(join(observed, adjusted));
    }
    add({});
    add({{22, "条件方程式闭合差 :"}});
    add({});
    const std::array<float, 4>& w = r.Misclosures;
    const float w2mm = w[2] * 1000.0f, w3mm = w[3] * 1000.0f;  // products in single precision
    add(join(label(24, "方位角条件闭合差 : w(", 1), {{0, Blank(w[1], 2) + " 秒"}}));
    add(join(label(24, "纵座标条件闭合差 : w(", 2), {{0, Blank(w2mm, 2) + " 毫米"}}));
    add(join(label(24, "横座标条件闭合差 : w(", 3), {{0, Blank(w3mm, 2) + " 毫米"}}));
    add({});
    add({{22, "平差结果 :"}});
    add({});
    for (int i = 0; i <= r.ResultPointCount && i < static_cast<int>(r.PointX.size()); ++i)
        add({{24, last.input.names.at(static_cast<std::size_t>(i))}, {29, " X="}, {0, Blank(r.PointX[i], 3)}, {46, " Y="}, {0, Blank(r.PointY[i], 3)}});
    add({});
    add({{22, "精度统计 :"}});
    add({});
    add({{24, "单位权测边中误差 :        ms="}, {0, Blank(r.ms.value_or(0), 2) + " 毫米"}});
    add({});
    add({{24, "最弱点纵座标权倒数 :     1/px="}, {0, Blank(r.InvPx.value_or(0), 4)}});
    add({{24, "最弱点横座标权倒数 :     1/py="}, {0, Blank(r.InvPy.value_or(0), 4)}});
    add({{24, "最弱点纵座标单位权中误差 : mx="}, {0, Blank(r.mx.value_or(0), 2) + " 毫米"}});
    add({{24, "最弱点横座标单位权中误差 : my="}, {0, Blank(r.my.value_or(0), 2) + " 毫米"}});
    add({{24, "最弱点单位权点位中误差 :   md="}, {0, Blank(r.md.value_or(0), 2) + " 毫米"}});
    const std::size_t weakest = static_cast<std::size_t>(r.WeakestPoint);
    add({{24, "最弱点："}, {0, weakest < last.input.names.size() ? last.input.names[weakest] : std::string()}});
    return report;
}

Report ComposeReport(const ProgramState& s) { return ComposeReport(s.LastRun ? *s.LastRun : CompletedRun{}); }

void ReportPrinter(const ProgramState& s, Platform& p) { p.PrintReport(ComposeReport(s)); }
