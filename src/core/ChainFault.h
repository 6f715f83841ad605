#pragma once
// Why an adjustment stopped: the kind, where, and the values involved. The
// words for the operator are composed above the core.
#include <array>

enum class ChainFaultKind {
    ZeroSide,             // a side of the triangle is 0
    NotATriangle,         // three sides that cannot form a triangle (|cos| > 1)
    SidesOutOfRange,      // sides whose squares overflow
    FlatTriangle,         // three points in a line: the height is 0
    ZeroPivot,            // a zero pivot of the normal equations (row)
    NotFinite,            // a quantity beyond the range of numbers
    NegativeReciprocal,   // a clearly negative weight reciprocal (quantity)
    ClosureMissed,        // the adjusted chain misses the known C
    NotConverged,         // the iterated solution did not settle within the limit
    SignMistyped,         // completed, but with misclosures far beyond the sides' standard
                          // errors that one mistyped sign explains (the outcome's diagnosis)
};

// The figure a NotFinite or NegativeReciprocal fault concerns.
enum class ChainQuantity {
    None,
    ApproximateCoordinates,
    AzimuthMisclosure,
    NorthingMisclosure,
    EastingMisclosure,
    NormalCoefficients,
    NormalSolution,
    Corrections,
    WeightReciprocalX,
    WeightReciprocalY,
    UnitWeightError,
    NorthingError,
    EastingError,
    PositionError,
    AdjustedCoordinates,
    PointCofactors,
};

struct ChainFault {
    ChainFaultKind kind = ChainFaultKind::NotFinite;
    int triangle = 0;                // 1..N for the triangle faults and the flattest one
    std::array<double, 3> sides{};   // that triangle's observed sides 2i-1, 2i, 2i+1 [m]
    bool adjustedSides = false;      // the triangle failed with the adjusted sides
    int row = 0;                     // normal-equation row of a zero pivot
    ChainQuantity quantity = ChainQuantity::None;
    double miss = 0;                 // distance of the adjusted C from the known C [m]
    double height = 0;               // height of the flattest triangle [m]
    int iterations = 0;              // linearisations made before NotConverged
    double change = 0;               // last change of a side's correction [m] (NotConverged)
};

// Thrown inside the core by the step that meets the fault; AdjustChain turns
// it into the outcome. Tests of a single step may catch it.
struct ChainFaultRaised {
    ChainFault fault;
};
