#pragma once
// The scales of the drawing of the chain (网图), shared by the window's
// drawing and the DXF file: how many times the error ellipses are magnified
// and the round length of the ellipses' scale bar.
//
//   median side    the middle one of the sides' lengths on the drawing [m]
//                  (of an even count the upper one)
//   magnification  a round factor (1, 2 or 5 times a power of ten, at least 1)
//                  such that the largest ellipse spans at most half the median
//                  side; 1 without ellipses or sides
//   ellipse bar    a round length [mm of the ground] no longer than the largest
//                  ellipse's E nor than the room there is for the bar
#include <vector>

// The round number 1, 2 or 5 times a power of ten that is the largest not
// above `limit` (limit > 0).
double RoundDown125(double limit);

// The median of the sides' lengths [m] (the list is reordered); 0 when empty.
double MedianSide(std::vector<double>& lengths);

// largestE: the largest semi-axis E of the ellipses [mm], 0 without any.
double EllipseMagnification(double medianSide, double largestE);

// The ellipses' bar [mm]: roomMm is the longest bar there is room for [mm of
// the ground at the magnification]; without ellipses (largestE 0) the room.
double EllipseBarMillimetres(double largestE, double roomMm);
