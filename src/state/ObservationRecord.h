#pragma once
// The values of one run as the operator typed them, in the order the dialogue
// asks them: what an observation file holds and what the dialogue records.
//   N; Xa Ya Xb Yb Xc Yc Xd Yd; without D: Tb Qb; S2, S3, S4, ... S2N, and
//   without D S(2N+1); the names of B, of the unknown points 1..K, of C, and,
//   where the chain has one, of the point after C.
// A value is kept as its text, so a run from a record gives bit-identical
// results to the typed run; a name is kept byte for byte.
#include <map>
#include <string>
#include <vector>

#include "state/ReductionRecord.h"

enum class ValueKind {
    TriangleCount,  // N
    Coordinate,     // index: 0 Xa, 1 Ya, 2 Xb, 3 Yb, 4 Xc, 5 Yc, 6 Xd, 7 Yd [m]
    ExternalAzimuth,   // Tb, packed D.MMSS
    OrientationAngle,  // Qb, packed D.MMSS, signed
    Side,           // index: the side number 2..2N+1, signed for even sides [m]
    PointName,      // index: the element of PointNames (0 B, 1..K, K+1 C, K+2)
};

struct ValueKey {
    ValueKind kind;
    int index = 0;
    bool operator==(const ValueKey&) const = default;
};

struct TypedValue {
    ValueKey key;
    std::string text;  // as typed (a name: exactly as typed, any bytes)
};

struct ObservationRecord {
    std::string project;             // 工程名称, optional
    std::vector<std::string> notes;  // free notes, optional
    // A-priori standard error of one side [mm] as typed (先验测边中误差), a
    // positive number; empty when the file gives none.
    std::string sigma0Mm;
    // The standard errors that weight the observations, as typed; each empty
    // (none) when not given (rules/PrecisionLines.h has their rules):
    //   edmAMm     测距固定误差 a [mm] and edmBPpm 测距比例误差 b [mm/km]: a side of
    //              D km has the standard error a + b D
    //   orientationSigmaSec  定向角中误差, the orientation angle's [arc s]
    //   sideSigmaMm          S<k> 中误差, side k's own [mm], by side number
    std::string edmAMm, edmBPpm;
    std::string orientationSigmaSec;
    std::map<int, std::string> sideSigmaMm;
    ReductionRecord reduction;       // the sides' reduction to the Gauss plane, optional
    // 等级: the grade the chain is checked against (四等, 一级 ...), as typed; empty: none.
    std::string grade;
    std::vector<TypedValue> values;  // in dialogue order
    bool complete = false;           // every value of the run is here
};
