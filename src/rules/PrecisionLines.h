#pragma once
// The precision lines of an observation record: one a-priori standard error
// for every side (先验测边中误差, equal weights), or the distance meter's
// accuracy a + b D (测距固定误差 a, 测距比例误差 b) with the orientation
// angle's standard error (定向角中误差) and sides' own (S<k> 中误差), which
// weight every observation by its own. Each value's rule, the rules between
// the lines and against the chain, and what they give the adjustment. The
// file reader refuses a file with these reasons at the line named; a run
// refuses a record that reaches the adjustment otherwise (an incomplete file
// completed in the window).
#include <optional>
#include <string>
#include <string_view>

#include "core/ChainObservations.h"
#include "rules/InputRules.h"
#include "state/ObservationRecord.h"

inline constexpr const char* kSigma0Key = "先验测边中误差";
inline constexpr const char* kEdmAKey = "测距固定误差";
inline constexpr const char* kEdmBKey = "测距比例误差";
inline constexpr const char* kOrientationSigmaKey = "定向角中误差";
// "S5 中误差": the key of side k's own standard error.
std::string SideSigmaKey(int k);

// Each value as typed, the rule it breaks ("应是一个正数，以毫米计（例如 2）"), or
// nothing: a number; a [mm] and b [mm/km] >= 0, the standard errors of one
// side [mm] and of the orientation angle [arc s] > 0. value gets the number.
Refusal RefuseSigma0(std::string_view typed, double& mm);
Refusal RefuseEdmA(std::string_view typed, double& mm);
Refusal RefuseEdmB(std::string_view typed, double& ppm);
Refusal RefuseOrientationSigma(std::string_view typed, double& seconds);
Refusal RefuseSideSigma(std::string_view typed, double& mm);

// What the lines are checked against once the chain is known.
struct ChainShape {
    int N = 0;
    ClosingKind closing = ClosingKind::OnC;
};

struct PrecisionRefusal {
    std::string key;  // the line it is at ("定向角中误差", "S9 中误差"); empty: a line that is missing
    std::string reason;
};

// The rules between the lines of a record whose values each passed their own
// rule: 先验测边中误差 or the others, not both; a and b together, not both 0;
// 定向角中误差 and S<k> 中误差 only with them. With the chain: 定向角中误差
// exactly where a and b are given and the chain has an orientation angle (no
// D, azimuth data), S<k> 中误差 only for a measured side.
std::optional<PrecisionRefusal> RefusePrecisionLines(const ObservationRecord& record,
                                                     const std::optional<ChainShape>& chain);

// The record's lines in the observations: sigma0Mm, or edm with the
// orientation angle's and the sides' own standard errors (each where the
// chain has the observation).
void ApplyPrecisionLines(const ObservationRecord& record, ChainObservations& o);

// Whether the record holds any of the weighting lines (a, b, 定向角中误差, S<k>).
bool HasWeightLines(const ObservationRecord& record);
