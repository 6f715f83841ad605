#pragma once
// What the sign finder concludes about a chain whose misclosures are far
// beyond its sides' standard errors: which single route sign (the left/right
// typed with an even side, or the orientation angle's sign) would close it.
// Structured only; the words for the operator are composed above the core.
//
//   statistic   w' (A Q A')^-1 w of the misclosures w, A the condition rows of
//               the chain it belongs to, Q the observations' variances
//               (ObservationSigmas); chi-square with `conditions` degrees of
//               freedom for a chain without blunders
//   critical    the chi-square quantile 0.95 of `conditions`
#include <array>
#include <vector>

enum class SignVerdict {
    OneSign,       // the best candidate passes and the runner-up is 10 times worse
    TwoSigns,      // the best passes and the runner-up is within 10 times of it
    NoSingleSign,  // no single flipped sign makes the misclosures pass
};

struct SignCandidate {
    int side = 0;                // the even side 2i whose sign is flipped; 0: the orientation angle
    int triangle = 0;            // i; N + 1 for the orientation angle at C
    int typedSign = 0;           // the sign as typed: +1 left of the route, -1 right
                                 // (the orientation angle: the sign of its value)
    std::array<double, 4> w{};   // misclosures with the sign flipped: w1 [arc s], w2, w3 [m]
    double statistic = 0;        // theirs
};

struct SignDiagnosis {
    SignVerdict verdict = SignVerdict::NoSingleSign;
    int conditions = 0;           // 2 (C alone) or 3
    double critical = 0;          // chi-square 0.95 of `conditions`
    std::array<double, 4> w{};    // the misclosures as typed: w1 [arc s], w2, w3 [m]
    double statistic = 0;         // theirs
    std::vector<SignCandidate> best;  // the best candidate and the runner-up, best first
                                      // (one where the chain has one candidate only)
    // The first triangle where the misclosure appears: that of the named sign
    // (the earlier of two); N + 1 for the orientation angle; 0 with no sign named.
    int firstTriangle = 0;
    bool orientationTried = false;  // the orientation angle's sign was a candidate
};
