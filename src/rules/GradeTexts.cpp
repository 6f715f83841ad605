#include "rules/GradeTexts.h"

#include <string>

#include "text/DisplayFormat.h"

Refusal RefuseGrade(std::string_view typed)
{
    for (const char* name : kGradeNames)
        if (typed == name) return std::nullopt;
    return std::string("应是 二等、三等、四等、一级 或 二级");
}

std::string GradeFigureText(GradeItem item, const std::optional<double>& value)
{
    if (!value) return "-";
    switch (item) {
    case GradeItem::MeanSide: return FormatFixed(*value, 3) + " 千米";
    case GradeItem::DistanceAccuracy:
    case GradeItem::WeakestSide: return FormatRelative(*value);
    case GradeItem::WeakestPoint: return FormatFixed(*value, 2) + " 毫米";
    case GradeItem::Triangles: break;
    }
    return FormatFixed(*value, 0);
}

std::string GradeVerdictLine(const GradeVerdict& g)
{
    const std::string head = "等级 " + g.name + "：";
    if (const GradeCheck* failed = g.FirstFailure())
        return head + "不合格（" + GradeItemName(failed->item) + " " + GradeFigureText(failed->item, failed->value) +
               "，限差 " + failed->limitText + "）";
    if (g.AnyPassed()) return head + "合格";
    return head + "无限差可判定（无此项限差）";
}
