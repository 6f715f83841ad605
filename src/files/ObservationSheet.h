#pragma once
// The observations of one chain as the rows of a sheet the surveyor edits:
// every value an observation file holds, as text, grouped as the file groups
// them, with the rows a chain of N triangles has:
//   工程名称, 备注 1..n and one empty 备注 row to add a note, 先验测边中误差 [mm]
//   N
//   Xa Ya Xb Yb Xc Yc Xd Yd [m]
//   Tb Qb [D.MMSS]                (without D only)
//   S2 .. S2N [m], and without D S(2N+1); an even side with its side of the
//   route, 左 or 右 (右: typed negative), and every side with its two points
//   点名 B, 点名 1..K, 点名 C, and with D and equal last signs 点名 C后
//   测量精度: 先验测边中误差 [mm], 测距固定误差 a [mm], 测距比例误差 b
//   [mm/km], without D 定向角中误差 [s], and once a or b is given S<k> 中误差
//   [mm] for every measured side; 等级
//   边长归算: 边长类型, 测距加常数, 测距乘常数, 椭球, 中央子午线, Y加常数,
//   投影面高程, 高程异常; once the sides are 平距 or 斜距 (or a height is
//   given) 高程 of every mark, A, B, 1..K, C, C后, D; for 斜距 (or once one
//   is given) S<k> 仪器高 and S<k> 镜高 of every measured side
// Values are kept by what they are (a slot), not by their place in the
// dialogue: the name of C stays the name of C when D or a sign changes the
// unknown-point count K, and a triangle count that grows or shrinks adds or
// removes triangles at the end, keeping the rest. A value not in the chain
// as it stands (Tb and Qb once D is given, S(2N+1) with D) is kept for when
// it is again.
#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "state/ObservationRecord.h"

enum class SlotKind {
    Project, Note, Sigma0,  // the file's own lines: 工程名称, 备注, 先验测边中误差
    Count,                  // N
    Coordinate,             // index 0 Xa .. 7 Yd
    Azimuth, Orientation,   // Tb, Qb
    Side,                   // index: the side number 2..2N+1
    NameB, NameUnknown, NameC, NameAfterC,  // NameUnknown index: 1..K
    EdmA, EdmB, OrientationSigma,  // 测距固定误差, 测距比例误差, 定向角中误差
    SideSigma,              // index: the side number; S<k> 中误差
    Grade,                  // 等级
    Reduction,              // index: the element of ReductionFields() (边长类型 ...)
    Height,                 // index: the mark, see HeightSlot
    InstrumentHeight, ReflectorHeight,  // index: the side number
};

struct Slot {
    SlotKind kind = SlotKind::Count;
    int index = 0;  // Note: 0-based; Coordinate 0..7; Side: its number; NameUnknown 1..K
    bool operator==(const Slot&) const = default;
};

enum class SheetGroup { Project, Count, KnownPoints, Closing, Sides, Names, Precision, Reduction };

// The slot of a mark's height: "A", "B", "C", "D", "C后" or an unknown point's number.
Slot HeightSlot(const std::string& mark);
std::string MarkOfHeightSlot(int index);

struct SheetRow {
    SheetGroup group = SheetGroup::Project;
    Slot slot;
    std::string label;          // "工程名称", "备注 2", "N", "Xa", "S4", "点名 B", "点名 3", "点名 C"
    std::string ends;           // a side: its two points, "B — P1"; a height: the mark's name; else empty
    bool routeSide = false;     // an even side: 左/右 is chosen with it
};

class ObservationSheet {
public:
    ObservationSheet() = default;
    // The record's values; those of a record that lacks some are empty.
    explicit ObservationSheet(const ObservationRecord& record);

    // The rows of the chain as the values stand, in the order of the file.
    std::vector<SheetRow> Rows() const;
    // The value column's text: an even side without its sign.
    std::string Text(Slot slot) const;
    // The value as the record holds it: an even side with its sign.
    std::string RecordText(Slot slot) const;
    // An even side lies on the right of the route (typed negative).
    bool RightOfRoute(int side) const;

    // An edit of the value column. An even side typed with a sign takes its
    // side of the route from it; typed without one it keeps the side it had.
    // An empty note row is removed; the triangle count removes the sides and
    // names past the chain it now gives.
    void SetText(Slot slot, const std::string& text);
    // An edit of the 左/右 column of an even side.
    void SetRightOfRoute(int side, bool right);
    // Takes the record's values over the sheet's, each into its slot.
    void Overlay(const ObservationRecord& record);

    // The values in dialogue order: every value given, a number left empty
    // not given; the names from B to the last one given, all of them once
    // every number is there. complete: the dialogue's rules take every value
    // and nothing is missing.
    ObservationRecord Record() const;

    // The chain as the values give it, where they read.
    int TriangleCount() const;   // N, or 0 while N does not read or is out of range
    bool PointDGiven() const;    // Xd and Yd read and neither is zero
    int UnknownPointCount() const;  // K, from N, D and the 左/右 of the even sides
    bool PointAfterC() const;    // with D, the last two sides on the same side of the route
    int LastSide() const;        // 2N with D, else 2N+1; 0 without N

    // The slot of a record's key in this chain (K as the sheet gives it).
    std::optional<Slot> SlotOf(ValueKey key) const;
    // The row whose label is a file's key ("S5 中误差", "高程 C", "Yb"), if shown.
    std::optional<Slot> SlotOfLabel(const std::string& label) const;

    bool operator==(const ObservationSheet&) const = default;

private:
    std::string project_, sigma0_, grade_;
    std::vector<std::string> notes_;
    ReductionRecord reduction_;  // the sides' reduction to the Gauss plane, kept as given
    // the distance meter's accuracy and the standard errors, kept as given
    std::string edmAMm_, edmBPpm_, orientationSigmaSec_;
    std::map<int, std::string> sideSigmaMm_;
    std::string count_;
    std::array<std::string, 8> coordinates_;
    std::string azimuth_, orientation_;
    std::vector<std::string> sides_;  // by side number, as the record holds them (signed)
    std::vector<char> emptyRight_;    // by side number: 右 chosen for an even side not yet typed
    std::string nameB_, nameC_, nameAfterC_;
    std::vector<std::string> unknownNames_;  // by point number; element 0 unused

    std::string* Stored(Slot slot);
    const std::string* Stored(Slot slot) const;
    std::optional<Slot> SlotOf(ValueKey key, int K) const;
    void Cut(int N);
    // the lines of the sheet that the chain as it stands has
    void AddLines(ObservationRecord& record) const;

};

// The label of a slot as the file names it ("S4", "点名 C", "备注 2").
std::string SlotLabel(Slot slot);
