#pragma once
// The chain as an input document of GNU Gama's gama-local (its XML format):
// the same least-squares problem the program solves, for an independent
// adjustment.
//
//   axes       axes-xy="ne": x northing, y easting, as the program's X and Y;
//              angles="left-handed" (clockwise), as the program's azimuths
//   points     A, B, C and D (where given) fixed at their typed coordinates;
//              every new point free (adj="xy") with its adjusted coordinates as
//              the approximate ones
//   parameters sigma-apr: the a-priori standard error of unit weight, mu0 =
//              a + b [mm] with weights, else 1
//   distances  every typed side (not A-B, nor C-D) between its two named
//              points, val the side as typed [m], stdev its standard error
//              a + b D (or its own) [mm] with weights, else 1 [mm] (the
//              program's equal weights: 1 mm for a side against 0.001 arc
//              seconds for the angle is its weight 1 in metres and arc seconds)
//   angle      where there is an orientation angle Q at C (no D, azimuth data
//              typed): the external direction at C has no target point, so a
//              fixed auxiliary point (id "Tb", primed if a name takes it) is
//              placed 1000 m from C along the external azimuth Tb; Q is the
//              angle at C from the far end of the last route side (bs) to that
//              point (fs), in degrees as d-mm-ss.ssssss (a negative Q as
//              360 deg + Q), stdev its standard error [arc seconds, the unit
//              of a sexagesimal value] with weights, else 0.001. With C fixed, the direction C -> Tb is exactly the
//              azimuth Tb, so this is the program's orientation condition.
//
// Refuses, naming the point, two points with the same name, an empty name, a
// name that is not valid UTF-8 or holds a character XML cannot carry (control
// characters other than tab and line breaks, which are escaped). Everything
// else is escaped, so the document is always well-formed.
#include "state/ChainListing.h"
#include "files/ExportOutcome.h"

ExportOutcome GamaExport(const ChainListing& listing);

