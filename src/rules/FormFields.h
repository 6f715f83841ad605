#pragma once
// The fields of the window by what they show. The number is the field's TextN:
// the window's layout places each, the run writes them by these names.
namespace field {

enum Field : int {
    Xa = 1, Ya = 2, Xb = 3, Yb = 4, Xc = 5, Yc = 6, Xd = 7, Yd = 8,
    SideHint = 9,    // which side is asked next
    OddSide = 10,    // the odd side being typed
    EvenSide = 11,   // the even side being typed
    wb = 12, wx = 14, wy = 15,  // misclosures (Text13 does not exist)
    ms = 16,
    PointName = 17, PointX = 18, PointY = 19,  // the point shown
    NameHint = 20,   // which name is asked next, or how to go on
    InvPx = 21, mx = 22, InvPy = 23, my = 24, md = 25,
    Tb = 26,         // the closing azimuth
    Conditions = 27, // which conditions the adjustment carries
    Qb = 28,         // the orientation angle
    TriangleCount = 29,
};

// The result fields, emptied when a run starts.
constexpr Field FIRST_RESULT = wb, LAST_RESULT = md;

// Half-width characters a figure field shows whole (a Chinese character
// counts two): its width less the frame's 60 twips, at 90 twips a column
// (宋体 bold 9 pt). 0 for the fields that show no figure.
constexpr int ColumnsOf(int n)
{
    switch (n) {
    case wb: case wx: case wy: return 15;               // 1455 twips
    case ms: return 12;                                 // 1215 twips
    case InvPx: case InvPy: case mx: case my: case md:  // 1335 twips
    case PointX: case PointY: return 14;
    default: return 0;
    }
}

}  // namespace field
