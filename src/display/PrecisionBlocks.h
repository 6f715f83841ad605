#pragma once
// The blocks of the full report on the adjusted sides and the grade, and the
// 精度预估报告 of a design, as FullReport data (the same renderers).
//   边长及方位角成果表  k, from, to, the adjusted side S [m], m_S [mm], m_S/S as
//                     1/T, the grid azimuth T [D.MMSSss] and m_T [arc s]; the
//                     weakest side named under it
//   等级检核          each item of the grade: the chain's figure, the limit, 合格
//                     / 不合格 or 无此项限差, and the limit's source
#include <string>

#include "display/FullReport.h"

FullReportBlock SidesAndAzimuthsBlock(const ChainListing& l, const std::string& heading);
// Only where the listing has a grade verdict.
FullReportBlock GradeBlock(const ChainListing& l, const std::string& heading);

// The design's report: the known points, the planned sides with their
// checks and adjusted precision, every point's a-priori precision, the
// grade's checks; every figure from mu0.
FullReport ComposeDesignReport(const ChainListing& listing, const ChainResult& result, const std::string& date);

