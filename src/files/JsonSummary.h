#pragma once
// What the batch command prints: a short summary for a person, or one JSON
// document for a program.
//   status      "completed" or "failed"; fault: the fault's text when failed
//   diagnosis   where the sign finder looked at a failed chain (null otherwise):
//               verdict "one_sign", "two_signs" or "no_single_sign"; statistic
//               w'(AQA')^-1 w of the misclosures as typed, dof, critical
//               (chi-square 95 %); misclosures {w1_arcsec, w2_mm, w3_mm};
//               first_triangle (null where no sign is named); candidates, the
//               best and the runner-up: side (null for the orientation angle),
//               triangle (null for it), typed_sign (+1 left, -1 right; the
//               orientation angle's sign), their misclosures and statistic;
//               text, the conclusion in words
//   misclosures w1_arcsec [arc s] (null without an azimuth condition), w2_mm,
//               w3_mm [mm]
//   ms_mm       standard error of unit weight [mm]: without weights from [vv] of
//               the sides, with weights the a-posteriori one sqrt([pvv]/r)
//   weights     a_mm, b_ppm, mu0_mm = a + b: the distance meter's accuracy that
//               weights the sides; null without
//   weakest     name, inv_px, inv_py [-], mx_mm, my_mm, md_mm [mm]
//   points      the report's points: name, x, y [m]; qxx, qyy, qxy [-],
//               mx_mm, my_mm, mp_mm, ellipse {a_mm, b_mm, azimuth_deg} (zeros
//               for the known B and C)
//   sides       k, from, to, observed, sign, correction, adjusted [m];
//               redundancy [-] and normalised [-] (null for A-B, C-D, and
//               normalised without sigma0 or where redundancy < 0.01);
//               sigma_mm the side's a-priori standard error, mdb_mm its minimal
//               detectable bias, weakest_shift_mm how far that bias moves the
//               weakest point (null without sigma0 or weights, or where
//               redundancy < 0.01), bias_to_noise [-] (null where redundancy <
//               0.01); reduction {measured_m, horizontal_m, surface_m, plane_m,
//               scale} of a side reduced to the Gauss plane (observed is then
//               its plane_m), null on a plane chain; docs/exports.md lists
//               every field
//   distortion_cm_per_km  the largest (plane - horizontal) / horizontal of the
//               chain with its sign [cm/km], null without reduction
//   iterations  linearisations the solution took
//   orientation where there is one: correction_arcsec, redundancy, normalised,
//               sigma_arcsec, mdb_arcsec, bias_to_noise, weakest_shift_mm
//   sum_redundancy  the redundancy numbers added up (= the conditions)
//   global_test statistic [pvv]/sigma0^2, dof, critical (chi-square 95 %),
//               passed; null without sigma0
// Doubles are written as the shortest decimal that reads back as the same
// double, single-precision figures as the shortest decimal of that float; a
// figure the run did not reach is null.
#include <functional>
#include <string>

#include "core/ChainResult.h"
#include "core/SignDiagnosis.h"
#include "state/ChainListing.h"

struct BatchFigures {
    bool completed = false;
    std::string fault;                   // when failed
    const ChainResult* result = nullptr;  // the adjustment as far as it got, if it started
    const ChainListing* listing = nullptr;  // when completed
    std::string weakestName;
    const SignDiagnosis* diagnosis = nullptr;  // the sign finder's, when it looked
};

// pass, where given, is handed the document part by part (64 KiB or more at
// a time) as it is written, so that a long chain's document is never whole in
// memory; the text returned is then its last part.
std::string FormatJson(const BatchFigures& figures, const std::function<void(const std::string&)>& pass = {});
// The summary: the outcome, the misclosures, ms, the weakest point and, with
// an a-priori standard error, the global test.
std::string FormatSummary(const BatchFigures& figures);

// A JSON string literal of UTF-8 text; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(const std::string& text);
