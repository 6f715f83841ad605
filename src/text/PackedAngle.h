#pragma once
// Angles as the surveyor types them: packed degrees D.MMSSss.
#include <optional>
#include <string>

// Packed angle D.MMSSss (123.453015 is 123 deg 45' 30.15") to decimal degrees.
// Minutes and seconds are read from the decimal digits of the shortest decimal
// that reads back as v, so 0.29 is 0 deg 29' and not 0 deg 28' 100".
// A negative v converts to minus the conversion of |v|.
// Returns nullopt when the minutes or the seconds are 60 or more.
std::optional<double> PackedToDegrees(double v);


// Decimal degrees written as the packed D.MMSSss, the seconds to 0.01"; a
// minus sign when the rounded angle is not zero.
std::string DegreesToPacked(double degrees);

// Decimal degrees written sexagesimal as d-mm-ss.ssssss (seconds to 1e-6"),
// reduced to 0 <= value < 360: the form of network adjustment input files.
std::string DegreesToDashedDms(double degrees);
