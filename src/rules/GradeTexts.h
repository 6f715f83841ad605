#pragma once
// The texts of the grade (等级): the grades an observation file may name (those
// of a triangular network, as the limits file names them), the one line on a
// verdict and the figures of the checks.
#include <optional>
#include <string>
#include <string_view>

#include "rules/InputRules.h"
#include "state/GradeLimits.h"

inline constexpr const char* kGradeKey = "等级";
inline constexpr const char* kGradeNames[] = {"二等", "三等", "四等", "一级", "二级"};

// The grade as typed, or the rule it breaks ("应是 二等、三等、四等、一级 或 二级").
Refusal RefuseGrade(std::string_view typed);

// A design (精度预估) without an a-priori standard error of unit weight.
inline constexpr const char* kDesignWithoutMu0 =
    "精度预估须有先验单位权中误差：在观测文件中给出测距固定误差与测距比例误差（或先验测边中误差），或用 --edm / --sigma";

// One line on the grade: "等级 四等：合格", "等级 四等：不合格（最弱边边长相对中误差
// 1/35000，限差 1/40000）", or "等级 四等：无限差可判定（无此项限差）".
std::string GradeVerdictLine(const GradeVerdict& verdict);

// A check's figure as the reports write it: 1/T, km, mm or a count; "-" without.
std::string GradeFigureText(GradeItem item, const std::optional<double>& value);
