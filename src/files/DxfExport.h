#pragma once
// The drawing of the chain (网图) as a DXF file for CAD: ASCII DXF of
// version AC1015, in plane grid coordinates, metres, with DXF x = Y
// (easting) and DXF y = X (northing), as CAD surveying packages map them.
//
//   layer           what it holds
//   KNOWN_POINTS    A, B, C, D: a POINT at the point, a closed triangle (apex
//                   north) around it
//   NEW_POINTS      the new points: a POINT and a CIRCLE around it
//   POINT_NAMES     every name as a TEXT, to the upper right of its point
//   SIDES           every side 1..2N+1 as a LINE between its two points
//   ERROR_ELLIPSES  every new point's standard error ellipse as an ELLIPSE:
//                   semi-axes E >= F [mm], azimuth phi of E [deg, clockwise
//                   from north], magnified by m: major-axis vector
//                   m E (sin phi, cos phi) [m], axis ratio F / E
//   ELLIPSE_SCALE   below the chain, the ellipses' scale bar (a LINE with end
//                   ticks, as long as an ellipse of its size) and its caption
//                   误差椭圆 <mm> mm（放大 <m> 倍）
// The magnification and the bar's length are those of the window's drawing
// (files/NetworkScale.h). Symbols and text are sized from the median side.
//
// Text: every character outside ASCII as \U+XXXX (so the file is plain ASCII
// and the code page does not matter; $DWGCODEPAGE is ANSI_936 all the same),
// a backslash as \U+005C (no escape of the name's own is read), ^ as "^ ",
// control characters (line breaks, tab) in caret form (^J, ^M, ^I), a % next
// to another % as %%% (no %%c, %%d, %%p, %%u of the name's own is read; a
// lone %, as in 100%, stays as it is): a name stays the text it is. The names and the caption use the text style CHINESE, the
// TrueType font SimSun (宋体, simsun.ttc), which every Chinese Windows has.
//
// Refuses, naming the point, a name that is not valid UTF-8 or holds a
// character beyond U+FFFF (\U+XXXX has four digits).
#include <string>

#include "state/ChainListing.h"
#include "files/ExportOutcome.h"

ExportOutcome DxfExport(const ChainListing& listing);

// A name as a DXF text value (the escapes above); valid UTF-8 of U+0000 to
// U+FFFF only.
std::string DxfText(const std::string& name);
