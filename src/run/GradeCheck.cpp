#include "run/GradeCheck.h"

namespace {

// The chain's figure of an item, in the item's unit.
std::optional<double> FigureOf(GradeItem item, const CompletedRun& run)
{
    const ChainListing& l = run.listing;
    const ChainObservations& o = run.input.observations;
    double sum = 0;
    int count = 0;
    for (const ListedSide& s : l.sides)
        if (!s.known) sum += s.observed, ++count;
    const double meanKm = count > 0 ? sum / count / 1000 : 0;
    switch (item) {
    case GradeItem::MeanSide: return count > 0 ? std::optional<double>(meanKm) : std::nullopt;
    case GradeItem::DistanceAccuracy:
        // the distance meter's a + b D [mm] at the mean side, over D [mm]
        if (!(meanKm > 0)) return std::nullopt;
        if (o.edm) return (o.edm->aMm + o.edm->bPpm * meanKm) / (meanKm * 1e6);
        if (o.sigma0Mm) return *o.sigma0Mm / (meanKm * 1e6);
        return std::nullopt;
    case GradeItem::WeakestSide:
        return l.weakestSide ? l.sides[*l.weakestSide].relative : std::nullopt;
    case GradeItem::WeakestPoint: {
        const auto p = static_cast<std::size_t>(run.result.WeakestPoint);
        if (p < run.result.PointPrecisions.size() && !run.result.PointPrecisions[p].known)
            return run.result.PointPrecisions[p].mp;
        return run.result.md ? std::optional<double>(*run.result.md) : std::nullopt;
    }
    case GradeItem::Triangles: break;
    }
    return o.N;
}

}  // namespace

std::optional<std::string> CheckRunGrade(CompletedRun& run, const std::string& name, const GradeLimits& limits)
{
    run.listing.grade.reset();
    const GradeLimits::Grade* grade = limits.Find(name);
    if (!grade) return "限差文件中没有等级「" + name + "」";
    GradeVerdict verdict;
    verdict.name = name;
    for (GradeItem item : kGradeItems) {
        GradeCheck check;
        check.item = item;
        check.value = FigureOf(item, run);
        for (const GradeLimit& l : grade->limits)
            if (l.item == item) check.limit = l.limit, check.limitText = l.limitText, check.source = l.source;
        // the mean side is the grade's reference figure, not a bound
        if (check.limit && check.value && item != GradeItem::MeanSide) check.passed = *check.value <= *check.limit;
        verdict.checks.push_back(std::move(check));
    }
    run.listing.grade = std::move(verdict);
    return std::nullopt;
}
