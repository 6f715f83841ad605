#pragma once
// The adjusted coordinates of the report's points as the coordinate file of
// Chinese surveying CAD packages (.dat): one point a line, 点名,编码,Y,X,H
// with Y easting before X northing, the code empty and H 0, numbers with 3
// decimals, no header, lines ended by CR LF.
//
// Encoding: GBK (Windows code page 936, the "ANSI" code page of simplified
// Chinese Windows). These packages run on Chinese Windows and read a .dat as
// text in the system code page; their manuals describe the file only as
// 点名,编码,Y(东),X(北),高程 made with Notepad or saved from a spreadsheet
// ("另存为" keeps ANSI = CP936), and the advice found for garbled Chinese point
// names in them is to save the file as ANSI rather than UTF-8. There is no
// byte-order mark (one would end up in the first point's name).
//
// Refuses, naming the point, a name with a comma (the field separator), a line
// break, bytes that are not UTF-8, or a character GBK does not have.
// Converted with glibc iconv.
#include "state/ChainListing.h"
#include "files/ExportOutcome.h"

ExportOutcome DatExport(const ChainListing& listing);
