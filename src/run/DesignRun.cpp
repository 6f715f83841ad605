#include "run/DesignRun.h"

#include "display/PrecisionBlocks.h"
#include "files/ObservationFile.h"
#include "run/BatchRun.h"

std::vector<std::string> DesignReport::Lines() const
{
    std::vector<std::string> lines;
    if (!Made()) return lines;
    const std::string text = FullReportAsText(report);
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

DesignReport DesignOfRecord(const ObservationRecord& record, const std::string& date)
{
    DesignReport d;
    BatchRun run = RunChainFile(ChainOfRecord(record), PrecisionOverride{}, true);
    if (run.outcome.kind == RunOutcome::Cancelled) {
        d.refusal = "观测值不完整：缺少 " + run.missing;
        return d;
    }
    if (!run.Completed()) {
        d.refusal = run.outcome.reason;
        return d;
    }
    d.completed = std::move(run.completed);
    d.report = ComposeDesignReport(d.completed->listing, d.completed->result, date);
    return d;
}
