#include "files/ObservationSheet.h"

#include <algorithm>

#include "core/ChainTopology.h"
#include "files/DialogueSequence.h"
#include "files/ObservationFile.h"
#include "files/RecordKeys.h"
#include "rules/InputRules.h"
#include "text/NumberReading.h"

namespace {

const char* const kCoordinates[] = {"Xa", "Ya", "Xb", "Yb", "Xc", "Yc", "Xd", "Yd"};
const std::string kMinus = "\xEF\xBC\x8D";  // －, as a Chinese input method types it
const std::string kPlus = "\xEF\xBC\x8B";   // ＋

// Where the number of a text starts: after blanks (ASCII, tab, ideographic).
std::size_t SignAt(const std::string& text)
{
    std::size_t at = 0;
    for (;;) {
        if (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        else if (text.compare(at, 3, "\xE3\x80\x80") == 0) at += 3;
        else return at;
    }
}

// The length in bytes of the minus or plus sign at `at`, or 0.
std::size_t MinusAt(const std::string& text, std::size_t at)
{
    if (at < text.size() && text[at] == '-') return 1;
    return text.compare(at, kMinus.size(), kMinus) == 0 ? kMinus.size() : 0;
}
std::size_t PlusAt(const std::string& text, std::size_t at)
{
    if (at < text.size() && text[at] == '+') return 1;
    return text.compare(at, kPlus.size(), kPlus) == 0 ? kPlus.size() : 0;
}

template <typename T>
T& Grown(std::vector<T>& v, std::size_t at)
{
    if (v.size() <= at) v.resize(at + 1);
    return v[at];
}

std::string NamePoint(const std::string& name, const std::string& role)
{
    return name.empty() ? "(" + role + ")" : name;
}

}  // namespace

std::string SlotLabel(Slot slot)
{
    switch (slot.kind) {
    case SlotKind::Project: return "工程名称";
    case SlotKind::Note: return "备注 " + std::to_string(slot.index + 1);
    case SlotKind::Sigma0: return "先验测边中误差";
    case SlotKind::Count: return "N";
    case SlotKind::Coordinate: return slot.index >= 0 && slot.index < 8 ? kCoordinates[slot.index] : "X?";
    case SlotKind::Azimuth: return "Tb";
    case SlotKind::Orientation: return "Qb";
    case SlotKind::Side: return "S" + std::to_string(slot.index);
    case SlotKind::NameB: return "点名 B";
    case SlotKind::NameUnknown: return "点名 " + std::to_string(slot.index);
    case SlotKind::NameC: return "点名 C";
    case SlotKind::NameAfterC: return "点名 C后";
    }
    return "?";
}

ObservationSheet::ObservationSheet(const ObservationRecord& record)
{
    project_ = record.project;
    notes_ = record.notes;
    sigma0_ = record.sigma0Mm;
    reduction_ = record.reduction;
    edmAMm_ = record.edmAMm, edmBPpm_ = record.edmBPpm;
    orientationSigmaSec_ = record.orientationSigmaSec;
    sideSigmaMm_ = record.sideSigmaMm;
    Overlay(record);
}

void ObservationSheet::Overlay(const ObservationRecord& record)
{
    // the names go by the unknown-point count the record's own values give
    int K = RecordUnknownPointCount(record);
    for (const TypedValue& v : record.values) {
        if (v.key.kind == ValueKind::PointName && K < 0) K = UnknownPointCount();
        if (std::optional<Slot> slot = SlotOf(v.key, K))
            if (std::string* stored = Stored(*slot)) *stored = v.text;
    }
}

std::string* ObservationSheet::Stored(Slot slot)
{
    const auto at = static_cast<std::size_t>(slot.index < 0 ? 0 : slot.index);
    switch (slot.kind) {
    case SlotKind::Project: return &project_;
    case SlotKind::Note: return at < notes_.size() ? &notes_[at] : nullptr;
    case SlotKind::Sigma0: return &sigma0_;
    case SlotKind::Count: return &count_;
    case SlotKind::Coordinate: return at < 8 ? &coordinates_[at] : nullptr;
    case SlotKind::Azimuth: return &azimuth_;
    case SlotKind::Orientation: return &orientation_;
    case SlotKind::Side:
        if (slot.index < 2) return nullptr;
        Grown(emptyRight_, at);
        return &Grown(sides_, at);
    case SlotKind::NameB: return &nameB_;
    case SlotKind::NameUnknown: return slot.index >= 1 ? &Grown(unknownNames_, at) : nullptr;
    case SlotKind::NameC: return &nameC_;
    case SlotKind::NameAfterC: return &nameAfterC_;
    }
    return nullptr;
}

const std::string* ObservationSheet::Stored(Slot slot) const
{
    const auto at = static_cast<std::size_t>(slot.index < 0 ? 0 : slot.index);
    switch (slot.kind) {
    case SlotKind::Project: return &project_;
    case SlotKind::Note: return at < notes_.size() ? &notes_[at] : nullptr;
    case SlotKind::Sigma0: return &sigma0_;
    case SlotKind::Count: return &count_;
    case SlotKind::Coordinate: return at < 8 ? &coordinates_[at] : nullptr;
    case SlotKind::Azimuth: return &azimuth_;
    case SlotKind::Orientation: return &orientation_;
    case SlotKind::Side: return slot.index >= 2 && at < sides_.size() ? &sides_[at] : nullptr;
    case SlotKind::NameB: return &nameB_;
    case SlotKind::NameUnknown: return slot.index >= 1 && at < unknownNames_.size() ? &unknownNames_[at] : nullptr;
    case SlotKind::NameC: return &nameC_;
    case SlotKind::NameAfterC: return &nameAfterC_;
    }
    return nullptr;
}

std::string ObservationSheet::RecordText(Slot slot) const
{
    const std::string* stored = Stored(slot);
    return stored ? *stored : std::string();
}

bool ObservationSheet::RightOfRoute(int side) const
{
    const std::string text = RecordText({SlotKind::Side, side});
    if (text.empty()) return side >= 0 && static_cast<std::size_t>(side) < emptyRight_.size() && emptyRight_[static_cast<std::size_t>(side)] != 0;
    return MinusAt(text, SignAt(text)) > 0;
}

std::string ObservationSheet::Text(Slot slot) const
{
    std::string text = RecordText(slot);
    if (slot.kind == SlotKind::Side && slot.index % 2 == 0) {
        const std::size_t at = SignAt(text);
        if (const std::size_t minus = MinusAt(text, at)) text.erase(0, at + minus);
    }
    return text;
}

void ObservationSheet::SetText(Slot slot, const std::string& text)
{
    if (slot.kind == SlotKind::Note) {
        const auto at = static_cast<std::size_t>(slot.index);
        if (at < notes_.size()) {
            if (text.empty()) notes_.erase(notes_.begin() + slot.index);
            else notes_[at] = text;
        } else if (!text.empty()) {
            notes_.push_back(text);
        }
        return;
    }
    if (slot.kind == SlotKind::Side && slot.index % 2 == 0) {
        const bool right = RightOfRoute(slot.index);
        std::string* stored = Stored(slot);
        if (!stored) return;
        const std::size_t at = SignAt(text);
        if (text.empty()) emptyRight_[static_cast<std::size_t>(slot.index)] = right;
        if (text.empty() || MinusAt(text, at) || PlusAt(text, at))
            *stored = text;
        else
            *stored = (right ? "-" : "") + text;
        return;
    }
    std::string* stored = Stored(slot);
    if (!stored) return;
    *stored = text;
    if (slot.kind == SlotKind::Count)
        if (const int N = TriangleCount()) Cut(N);
}

void ObservationSheet::SetRightOfRoute(int side, bool right)
{
    if (side < 2 || side % 2 != 0 || RightOfRoute(side) == right) return;
    std::string& text = *Stored({SlotKind::Side, side});
    if (text.empty()) {
        emptyRight_[static_cast<std::size_t>(side)] = right;
        return;
    }
    const std::size_t at = SignAt(text);
    if (right) {
        text.replace(at, PlusAt(text, at), "-");
    } else {
        text.erase(at, MinusAt(text, at));
    }
}

// Removes the triangles past N: their sides (S(2N+1) stays, the closing side
// of a chain without D) and the names of points past the last one N can have.
void ObservationSheet::Cut(int N)
{
    const auto sides = 2 * static_cast<std::size_t>(N) + 2;
    if (sides_.size() > sides) sides_.resize(sides), emptyRight_.resize(sides);
    const auto names = static_cast<std::size_t>(N);  // unknown points 1..N-1
    if (unknownNames_.size() > names) unknownNames_.resize(names);
}

int ObservationSheet::TriangleCount() const
{
    double typed = 0;
    std::int16_t N = 0;
    if (RefuseNumber(count_, typed) || RefuseTriangleCount(typed, N)) return 0;
    return N;
}

bool ObservationSheet::PointDGiven() const
{
    std::optional<double> Xd = ReadNumber(coordinates_[6]), Yd = ReadNumber(coordinates_[7]);
    return Xd && Yd && *Xd != 0 && *Yd != 0;
}

bool ObservationSheet::PointAfterC() const
{
    const int N = TriangleCount();
    return PointDGiven() && N >= 2 && RightOfRoute(2 * N) == RightOfRoute(2 * N - 2);
}

int ObservationSheet::UnknownPointCount() const
{
    const int N = TriangleCount();
    if (N == 0) return -1;
    return ::UnknownPointCount(N, PointDGiven(), PointAfterC());
}

int ObservationSheet::LastSide() const
{
    const int N = TriangleCount();
    if (N == 0) return 0;
    return PointDGiven() ? 2 * N : 2 * N + 1;
}

std::optional<Slot> ObservationSheet::SlotOf(ValueKey key) const { return SlotOf(key, UnknownPointCount()); }

std::optional<Slot> ObservationSheet::SlotOf(ValueKey key, int K) const
{
    switch (key.kind) {
    case ValueKind::TriangleCount: return Slot{SlotKind::Count, 0};
    case ValueKind::Coordinate:
        if (key.index < 0 || key.index > 7) return std::nullopt;
        return Slot{SlotKind::Coordinate, key.index};
    case ValueKind::ExternalAzimuth: return Slot{SlotKind::Azimuth, 0};
    case ValueKind::OrientationAngle: return Slot{SlotKind::Orientation, 0};
    case ValueKind::Side:
        if (key.index < 2) return std::nullopt;
        return Slot{SlotKind::Side, key.index};
    case ValueKind::PointName:
        if (key.index == 0) return Slot{SlotKind::NameB, 0};
        if (key.index < 0) return std::nullopt;
        if (K >= 0 && key.index == K + 1) return Slot{SlotKind::NameC, 0};
        if (K >= 0 && key.index == K + 2) return Slot{SlotKind::NameAfterC, 0};
        return Slot{SlotKind::NameUnknown, key.index};
    }
    return std::nullopt;
}

std::vector<SheetRow> ObservationSheet::Rows() const
{
    std::vector<SheetRow> rows;
    const int N = TriangleCount();
    const bool D = PointDGiven();
    const int K = std::max(UnknownPointCount(), 0);
    if (N > 0) rows.reserve(3 * static_cast<std::size_t>(N) + 20);
    auto add = [&rows](SheetGroup group, Slot slot) {
        SheetRow row;
        row.group = group;
        row.slot = slot;
        row.label = SlotLabel(slot);
        rows.push_back(std::move(row));
    };
    add(SheetGroup::Project, {SlotKind::Project, 0});
    for (std::size_t i = 0; i <= notes_.size(); ++i) add(SheetGroup::Project, {SlotKind::Note, static_cast<int>(i)});
    add(SheetGroup::Project, {SlotKind::Sigma0, 0});
    add(SheetGroup::Count, {SlotKind::Count, 0});
    for (int i = 0; i < 8; ++i) add(SheetGroup::KnownPoints, {SlotKind::Coordinate, i});
    if (!D) {
        add(SheetGroup::Closing, {SlotKind::Azimuth, 0});
        add(SheetGroup::Closing, {SlotKind::Orientation, 0});
    }
    if (N == 0) return rows;

    // which points each side joins, from the 左/右 of the even sides
    std::vector<int> signs(static_cast<std::size_t>(N) + 2, 0);
    for (int k = 1; k <= N; ++k) signs[static_cast<std::size_t>(k)] = RightOfRoute(2 * k) ? -1 : 1;
    const ChainTopology topology = ChainTopologyOf(N, signs, D);
    auto pointName = [&](int id) -> std::string {
        if (id == CHAIN_POINT_A) return "A";
        if (id == topology.D) return "D";
        if (id == 0) return NamePoint(nameB_, "B");
        if (id == K + 1) return NamePoint(nameC_, "C");
        if (id == K + 2 && D) return NamePoint(nameAfterC_, "C后");
        return NamePoint(RecordText({SlotKind::NameUnknown, id}), std::to_string(id));
    };
    const int last = D ? 2 * N : 2 * N + 1;
    for (int n = 2; n <= last; ++n) {
        add(SheetGroup::Sides, {SlotKind::Side, n});
        const ChainSide& side = topology.sides.at(static_cast<std::size_t>(n));
        rows.back().ends = pointName(side.from) + " — " + pointName(side.to);
        rows.back().routeSide = n % 2 == 0;
    }
    add(SheetGroup::Names, {SlotKind::NameB, 0});
    for (int i = 1; i <= K; ++i) add(SheetGroup::Names, {SlotKind::NameUnknown, i});
    if (K + 1 >= 1) add(SheetGroup::Names, {SlotKind::NameC, 0});
    if (D && N >= 2 && signs[static_cast<std::size_t>(N)] == signs[static_cast<std::size_t>(N - 1)] && K + 2 >= 1) add(SheetGroup::Names, {SlotKind::NameAfterC, 0});
    return rows;
}

ObservationRecord ObservationSheet::Record() const
{
    ObservationRecord record;
    record.project = project_;
    record.notes = notes_;
    record.sigma0Mm = sigma0_;
    record.reduction = reduction_;
    record.edmAMm = edmAMm_, record.edmBPpm = edmBPpm_;
    record.orientationSigmaSec = orientationSigmaSec_;
    record.sideSigmaMm = sideSigmaMm_;
    const int N = TriangleCount();
    std::vector<ValueKey> keys;
    if (N > 0) {
        keys = DialogueKeys(N, PointDGiven(), PointAfterC());
    } else {
        // no chain yet: the values there are, the sides and names as far as kept
        keys.push_back({ValueKind::TriangleCount, 0});
        for (int i = 0; i < 8; ++i) keys.push_back({ValueKind::Coordinate, i});
        keys.push_back({ValueKind::ExternalAzimuth, 0});
        keys.push_back({ValueKind::OrientationAngle, 0});
        for (std::size_t n = 2; n < sides_.size(); ++n) keys.push_back({ValueKind::Side, static_cast<int>(n)});
    }
    const int K = UnknownPointCount();
    bool everyNumber = N > 0;
    std::size_t lastName = 0;  // one past the last name given
    for (const ValueKey& key : keys) {
        const std::optional<Slot> slot = SlotOf(key, K);
        const std::string text = slot ? RecordText(*slot) : std::string();
        if (key.kind != ValueKind::PointName) {
            if (text.empty()) {
                everyNumber = false;
                continue;
            }
        } else if (!text.empty()) {
            lastName = record.values.size() + 1;
        }
        record.values.push_back({key, text});
    }
    if (!everyNumber) {
        // names after the last one given are not given
        while (record.values.size() > lastName && record.values.back().key.kind == ValueKind::PointName)
            record.values.pop_back();
    }
    DialogueSequence sequence;
    bool taken = true;
    for (const TypedValue& v : record.values) {
        if (!sequence.Next() || !(*sequence.Next() == v.key) || sequence.Take(v.text)) {
            taken = false;
            break;
        }
    }
    record.complete = taken && !sequence.Next();
    return record;
}
