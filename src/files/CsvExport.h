#pragma once
// The adjusted coordinates of the report's points as CSV for spreadsheets:
// UTF-8 with a byte-order mark (without it spreadsheets on Chinese systems read
// the file in the local code page), a header row 点名,X,Y, one point a row in
// the report's order, X northing and Y easting [m] with 3 decimals (and, where
// the listing carries the precision, mx, my, mp, the ellipse's E, F [mm] with 2
// decimals and the azimuth of E [deg] with 1), rows ended
// by CR LF and fields quoted as RFC 4180 has it (a field with a comma, a quote
// or a line break in double quotes, a quote doubled).
//
// A name that begins with =, +, -, @, a tab or a carriage return would be
// taken by a spreadsheet for a formula; it is written with an apostrophe in
// front ('=1+2), which spreadsheets take as "this cell is text" and do not
// show. Refuses a name that is not valid UTF-8, naming it.
//
// A run with weights (the distance meter's accuracy) adds, after an empty row,
// a table of the measured sides: k, the two names, observed and adjusted [m]
// with 4 decimals, v [mm] with 2, sigma [mm] with 2, the minimal detectable
// bias [mm] with 1 and lambda with 2 (empty where the side is not checked).
#include "state/ChainListing.h"
#include "files/ExportOutcome.h"

ExportOutcome CsvExport(const ChainListing& listing);

// One CSV field: the formula guard, then RFC 4180 quoting where needed.
std::string CsvField(const std::string& text);
