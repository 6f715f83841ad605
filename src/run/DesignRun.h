#pragma once
// The 精度预估 of a planned chain, as the window's observation table asks for
// it: the record's known points, planned sides with their signs, names, a and
// b (or 先验测边中误差) and 等级 go to DesignChain; the 精度预估报告 is composed as
// the full report is (the same text and PDF renderers).
#include <optional>
#include <string>
#include <vector>

#include "display/FullReport.h"
#include "state/CompletedRun.h"
#include "state/ObservationRecord.h"

struct DesignReport {
    std::string refusal;                    // why no design was made; empty when made
    std::optional<CompletedRun> completed;  // the design as a run: its listing and result
    FullReport report;                      // the 精度预估报告, when made
    bool Made() const { return refusal.empty(); }
    // The report as text lines (FullReportAsText), empty when not made.
    std::vector<std::string> Lines() const;
};

// date: the day printed on the report, e.g. "2026-12-09".
DesignReport DesignOfRecord(const ObservationRecord& record, const std::string& date);
