#pragma once
// The limits a grade (等级) of a trilateration chain is checked against, as
// the grade limits file gives them (data/grade-limits.txt, or a user's own of
// the same form, docs/grades.md), and the checks of one run against them.
//
// Items and units:
//   MeanSide       平均边长: the chain's mean measured side [km]; a reference
//                  figure of the grade, printed beside the chain's, never failed
//   DistanceAccuracy  测距相对中误差: (a + b D) / D of the distance meter at the
//                  chain's mean side D [-], not above the limit
//   WeakestSide    最弱边边长相对中误差: m_S / S of the weakest side [-], not above
//   WeakestPoint   最弱点点位中误差: mp of the weakest point [mm], not above
//   Triangles      三角形个数: the chain's triangles N [-], not above
// A limit is empty where no published source gives one: the check then says
// 无此项限差 and has no verdict.
#include <optional>
#include <string>
#include <vector>

enum class GradeItem { MeanSide, DistanceAccuracy, WeakestSide, WeakestPoint, Triangles };

inline constexpr GradeItem kGradeItems[] = {GradeItem::MeanSide, GradeItem::DistanceAccuracy, GradeItem::WeakestSide,
                                            GradeItem::WeakestPoint, GradeItem::Triangles};

// The item's name as the limits file and the reports write it.
inline const char* GradeItemName(GradeItem item)
{
    switch (item) {
    case GradeItem::MeanSide: return "平均边长";
    case GradeItem::DistanceAccuracy: return "测距相对中误差";
    case GradeItem::WeakestSide: return "最弱边边长相对中误差";
    case GradeItem::WeakestPoint: return "最弱点点位中误差";
    case GradeItem::Triangles: break;
    }
    return "三角形个数";
}

struct GradeLimit {
    GradeItem item = GradeItem::MeanSide;
    std::optional<double> limit;  // in the item's unit (a relative error as m/S); none: no limit
    std::string limitText;        // as the file writes it ("1/40000"), empty with no limit
    std::string source;           // standard, edition, table and item, e.g. "GB 50026-2007 表 3.4.1"
};

struct GradeLimits {
    struct Grade {
        std::string name;  // 二等, 三等, 四等, 一级, 二级, or a user's own
        std::vector<GradeLimit> limits;
    };
    std::vector<Grade> grades;
    const Grade* Find(const std::string& name) const
    {
        for (const Grade& g : grades)
            if (g.name == name) return &g;
        return nullptr;
    }
};

// One check of a run: the chain's figure against the grade's limit.
struct GradeCheck {
    GradeItem item = GradeItem::MeanSide;
    std::optional<double> value;  // the chain's figure, in the item's unit
    std::optional<double> limit;  // none: 无此项限差
    std::string limitText;
    std::optional<bool> passed;   // none without a limit (and for the mean side)
    std::string source;
};

struct GradeVerdict {
    std::string name;
    std::vector<GradeCheck> checks;  // in the order of kGradeItems
    // The first check that failed, or none.
    const GradeCheck* FirstFailure() const
    {
        for (const GradeCheck& c : checks)
            if (c.passed && !*c.passed) return &c;
        return nullptr;
    }
    bool AnyPassed() const
    {
        for (const GradeCheck& c : checks)
            if (c.passed && *c.passed) return true;
        return false;
    }
};
