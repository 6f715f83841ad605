#include "files/GradeLimitsFile.h"

#include <cmath>
#include <vector>

#include "GradeLimitsText.h"  // generated from data/grade-limits.txt
#include "text/NumberReading.h"

namespace {

constexpr std::string_view kHeader = "trilat-grade-limits 1";

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

std::vector<std::string> Fields(std::string_view line)
{
    std::vector<std::string> fields;
    for (;;) {
        const std::size_t bar = line.find('|');
        fields.emplace_back(Trim(line.substr(0, bar)));
        if (bar == std::string_view::npos) return fields;
        line.remove_prefix(bar + 1);
    }
}

bool Relative(GradeItem item) { return item == GradeItem::DistanceAccuracy || item == GradeItem::WeakestSide; }

// The limit as written: a positive number, a relative error as 1/T.
std::optional<double> LimitOf(GradeItem item, const std::string& text)
{
    if (Relative(item)) {
        if (text.rfind("1/", 0) != 0) return std::nullopt;
        const std::optional<double> T = ReadNumber(text.substr(2));
        if (!T || !(*T > 0) || !std::isfinite(*T)) return std::nullopt;
        return 1 / *T;
    }
    const std::optional<double> value = ReadNumber(text);
    if (!value || !(*value > 0) || !std::isfinite(*value)) return std::nullopt;
    if (item == GradeItem::Triangles && *value != std::floor(*value)) return std::nullopt;
    return value;
}

}  // namespace

std::variant<GradeLimits, FileError> ReadGradeLimits(std::string_view bytes)
{
    auto fail = [](int line, std::string message) { return FileError{line, std::move(message)}; };
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    GradeLimits limits;
    int number = 0;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view line = Trim(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (++number == 1) {
            if (line != kHeader) return fail(1, "第一行应是「trilat-grade-limits 1」：这不是等级限差文件");
            continue;
        }
        if (line.empty() || line.front() == '#') continue;
        const std::vector<std::string> f = Fields(line);
        if (f.size() != 7)
            return fail(number, "应是「等级 | 项目 | 限差 | 标准 | 版本 | 表 | 条」七栏，却有 " + std::to_string(f.size()) + " 栏");
        if (f[0].empty()) return fail(number, "没有写等级");
        std::optional<GradeItem> item;
        for (GradeItem i : kGradeItems)
            if (f[1] == GradeItemName(i)) item = i;
        if (!item)
            return fail(number, "不认识的项目「" + f[1] +
                                    "」：可用的项目为 平均边长，测距相对中误差，最弱边边长相对中误差，最弱点点位中误差，三角形个数");
        GradeLimit limit;
        limit.item = *item;
        if (!f[2].empty()) {
            limit.limit = LimitOf(*item, f[2]);
            if (!limit.limit)
                return fail(number, "限差「" + f[2] + "」" +
                                        (Relative(*item) ? "应写成 1/T，T 为正数（例如 1/40000）"
                                         : *item == GradeItem::Triangles ? "应是一个正整数"
                                                                         : "应是一个正数"));
            if (f[3].empty() || f[4].empty() || f[5].empty() || f[6].empty())
                return fail(number, "限差 " + f[2] + " 没有完整的出处：标准、版本、表、条都须写明");
            limit.limitText = f[2];
        }
        for (std::size_t i = 3; i < 7; ++i)
            if (!f[i].empty()) limit.source += (limit.source.empty() ? "" : " ") + f[i];
        GradeLimits::Grade* grade = nullptr;
        for (GradeLimits::Grade& g : limits.grades)
            if (g.name == f[0]) grade = &g;
        if (!grade) grade = &limits.grades.emplace_back(GradeLimits::Grade{f[0], {}});
        for (const GradeLimit& seen : grade->limits)
            if (seen.item == *item) return fail(number, f[0] + "的「" + f[1] + "」已在前面给出，只能给一次");
        grade->limits.push_back(std::move(limit));
    }
    if (number == 0) return fail(0, "文件是空的：第一行应是「trilat-grade-limits 1」");
    return limits;
}

const GradeLimits& BuiltInGradeLimits()
{
    static const GradeLimits limits = std::get<GradeLimits>(ReadGradeLimits(kGradeLimitsText));
    return limits;
}
