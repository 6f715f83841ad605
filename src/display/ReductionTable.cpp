#include "display/ReductionTable.h"

#include "rules/ReductionTexts.h"
#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"

FullReportBlock ReductionBlock(const ChainListing& l)
{
    FullReportBlock b;
    if (!l.reduction) return b;
    const ListedReduction& r = *l.reduction;
    b.heading = "边长归算表";
    b.lines.push_back(ReductionLine(l));
    b.lines.push_back("椭球 " + r.ellipsoid + "，中央子午线 " + PackedShort(r.centralMeridianDeg) + "（度.分秒），Y加常数 " +
                      ShortestDecimal(r.falseEastingM) + " 米，投影面高程 " + ShortestDecimal(r.surfaceHeightM) +
                      " 米，高程异常 " + ShortestDecimal(r.heightAnomalyM) + " 米，测距加常数 " +
                      ShortestDecimal(r.addConstantMm) + " 毫米，测距乘常数 " + ShortestDecimal(r.scaleConstantMmPerKm) +
                      " 毫米/千米");
    b.hasTable = true;
    b.table.header = {"k", "起点", "终点", "观测 (m)", "平距 (m)", "投影面 (m)", "高斯平面 (m)", "比例因子",
                      "变形 (cm/km)"};
    b.table.rightAligned = {true, false, false, true, true, true, true, true, true};
    for (const ListedSide& s : l.sides) {
        if (!s.reduction) continue;
        const SideReduction& d = *s.reduction;
        b.table.rows.push_back({FormatInteger(s.k), s.from, s.to, FormatFixed(d.measured, 4), FormatFixed(d.horizontal, 4),
                                FormatFixed(d.surface, 4), FormatFixed(d.plane, 4), FormatFixed(d.scale, 8),
                                FormatFixed((d.plane - d.horizontal) / d.horizontal * 1e5, 2)});
    }
    if (r.orientationReductionArcSec)
        b.notes.push_back("定向角 Qb 在地面观测，已减去最后一条路线边的方向改化 δ = " +
                          FormatFixed(*r.orientationReductionArcSec, 2) + " 秒。");
    b.notes.push_back("平距为两标志间的水平距离，投影面为归算到投影面上的弧长，高斯平面为平差所用的边长；"
                      "变形 = (高斯平面 - 平距)/平距。已知边（A-B、C-D）由座标算得，不归算。");
    if (const std::string warning = DistortionWarning(l); !warning.empty()) b.notes.push_back(warning);
    return b;
}
