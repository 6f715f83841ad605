#pragma once
// The grade limits file (docs/grades.md): the limits of each grade of a
// trilateration chain, each with the standard, its edition, table and item
// it comes from. The program's own, data/grade-limits.txt, is built in; a
// user's own of the same form is read with trilat-adjust --limits.
//   trilat-grade-limits 1
//   等级 | 项目 | 限差 | 标准 | 版本 | 表 | 条
// One limit a line; # starts a comment. 项目 is one of 平均边长 [km],
// 测距相对中误差 [1/T], 最弱边边长相对中误差 [1/T], 最弱点点位中误差 [mm],
// 三角形个数; 限差 empty (no limit) or a positive number, a relative error
// written 1/T. A limit given without all four parts of its source is refused.
#include <string>
#include <string_view>
#include <variant>

#include "files/ObservationFile.h"
#include "state/GradeLimits.h"

std::variant<GradeLimits, FileError> ReadGradeLimits(std::string_view bytes);

// The program's limits, data/grade-limits.txt as built in.
const GradeLimits& BuiltInGradeLimits();
