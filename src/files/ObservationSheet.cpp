#include "files/ObservationSheet.h"

#include <algorithm>

#include "core/ChainTopology.h"
#include "files/DialogueSequence.h"
#include "files/ObservationFile.h"
#include "files/RecordKeys.h"
#include "files/ReductionKeys.h"
#include "rules/PrecisionLines.h"
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

// Height slots: the marks without a number, below B's 0
constexpr int kMarkA = -1, kMarkC = -2, kMarkAfterC = -3, kMarkD = -4;

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

SideHeightText* SideHeightsOf(ReductionRecord& r, int k)
{
    for (SideHeightText& s : r.sideHeights)
        if (s.k == k) return &s;
    return nullptr;
}
const SideHeightText* SideHeightsOf(const ReductionRecord& r, int k)
{
    for (const SideHeightText& s : r.sideHeights)
        if (s.k == k) return &s;
    return nullptr;
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
    case SlotKind::EdmA: return kEdmAKey;
    case SlotKind::EdmB: return kEdmBKey;
    case SlotKind::OrientationSigma: return kOrientationSigmaKey;
    case SlotKind::SideSigma: return SideSigmaKey(slot.index);
    case SlotKind::Grade: return "等级";
    case SlotKind::Reduction:
        return slot.index >= 0 && static_cast<std::size_t>(slot.index) < ReductionFields().size()
                   ? ReductionFields()[static_cast<std::size_t>(slot.index)].label
                   : "?";
    case SlotKind::Height: return "高程 " + MarkOfHeightSlot(slot.index);
    case SlotKind::InstrumentHeight: return "S" + std::to_string(slot.index) + " 仪器高";
    case SlotKind::ReflectorHeight: return "S" + std::to_string(slot.index) + " 镜高";
    }
    return "?";
}

Slot HeightSlot(const std::string& mark)
{
    if (mark == "A") return {SlotKind::Height, kMarkA};
    if (mark == "B") return {SlotKind::Height, 0};
    if (mark == "C") return {SlotKind::Height, kMarkC};
    if (mark == "C后") return {SlotKind::Height, kMarkAfterC};
    if (mark == "D") return {SlotKind::Height, kMarkD};
    std::optional<double> n = ReadNumber(mark);
    return {SlotKind::Height, n && *n >= 1 && *n < 1e7 ? static_cast<int>(*n) : kMarkD - 1};
}

std::string MarkOfHeightSlot(int index)
{
    switch (index) {
    case kMarkA: return "A";
    case 0: return "B";
    case kMarkC: return "C";
    case kMarkAfterC: return "C后";
    case kMarkD: return "D";
    default: return index >= 1 ? std::to_string(index) : "?";
    }
}

ObservationSheet::ObservationSheet(const ObservationRecord& record)
{
    project_ = record.project;
    notes_ = record.notes;
    sigma0_ = record.sigma0Mm;
    grade_ = record.grade;
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

// The slots that make room for a value first; every other is looked up as it stands.
std::string* ObservationSheet::Stored(Slot slot)
{
    const auto at = static_cast<std::size_t>(slot.index < 0 ? 0 : slot.index);
    switch (slot.kind) {
    case SlotKind::Side:
        if (slot.index < 2) return nullptr;
        Grown(emptyRight_, at);
        return &Grown(sides_, at);
    case SlotKind::NameUnknown: return slot.index >= 1 ? &Grown(unknownNames_, at) : nullptr;
    case SlotKind::Height: {
        const std::string mark = MarkOfHeightSlot(slot.index);
        for (MarkHeightText& h : reduction_.heights)
            if (h.mark == mark) return &h.text;
        return &reduction_.heights.emplace_back(MarkHeightText{mark, ""}).text;
    }
    case SlotKind::SideSigma: return slot.index >= 2 ? &sideSigmaMm_[slot.index] : nullptr;
    case SlotKind::InstrumentHeight:
    case SlotKind::ReflectorHeight: {
        if (slot.index < 2) return nullptr;
        SideHeightText* side = SideHeightsOf(reduction_, slot.index);
        if (!side) side = &reduction_.sideHeights.emplace_back(SideHeightText{slot.index, "", ""});
        return slot.kind == SlotKind::InstrumentHeight ? &side->instrument : &side->reflector;
    }
    default: return const_cast<std::string*>(static_cast<const ObservationSheet*>(this)->Stored(slot));
    }
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
    case SlotKind::EdmA: return &edmAMm_;
    case SlotKind::EdmB: return &edmBPpm_;
    case SlotKind::OrientationSigma: return &orientationSigmaSec_;
    case SlotKind::Grade: return &grade_;
    case SlotKind::SideSigma: {
        const auto found = sideSigmaMm_.find(slot.index);
        return found == sideSigmaMm_.end() ? nullptr : &found->second;
    }
    case SlotKind::Reduction:
        return at < ReductionFields().size() && slot.index >= 0 ? &(reduction_.*ReductionFields()[at].field) : nullptr;
    case SlotKind::Height: {
        const std::string mark = MarkOfHeightSlot(slot.index);
        for (const MarkHeightText& h : reduction_.heights)
            if (h.mark == mark) return &h.text;
        return nullptr;
    }
    case SlotKind::InstrumentHeight:
    case SlotKind::ReflectorHeight: {
        const SideHeightText* side = SideHeightsOf(reduction_, slot.index);
        if (!side) return nullptr;
        return slot.kind == SlotKind::InstrumentHeight ? &side->instrument : &side->reflector;
    }
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
    // a line emptied is no line: a mark's height, a side's heights or standard error
    if (text.empty()) {
        std::erase_if(sideSigmaMm_, [](const auto& entry) { return entry.second.empty(); });
        std::erase_if(reduction_.heights, [](const MarkHeightText& h) { return h.text.empty(); });
        std::erase_if(reduction_.sideHeights,
                      [](const SideHeightText& h) { return h.instrument.empty() && h.reflector.empty(); });
    }
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
    if (N > 0) rows.reserve(3 * static_cast<std::size_t>(N) + 40);
    auto add = [&rows](SheetGroup group, Slot slot, std::string ends = {}) {
        SheetRow row;
        row.group = group;
        row.slot = slot;
        row.label = SlotLabel(slot);
        row.ends = std::move(ends);
        rows.push_back(std::move(row));
    };
    add(SheetGroup::Project, {SlotKind::Project, 0});
    for (std::size_t i = 0; i <= notes_.size(); ++i) add(SheetGroup::Project, {SlotKind::Note, static_cast<int>(i)});
    // the measured sides with their two points, and the marks with their names
    std::vector<std::pair<int, std::string>> sides;
    std::vector<std::pair<std::string, std::string>> marks;  // mark, its name
    bool afterC = false;
    if (N > 0) {
        // which points each side joins, from the 左/右 of the even sides
        std::vector<int> signs(static_cast<std::size_t>(N) + 2, 0);
        for (int k = 1; k <= N; ++k) signs[static_cast<std::size_t>(k)] = RightOfRoute(2 * k) ? -1 : 1;
        const ChainTopology topology = ChainTopologyOf(N, signs, D);
        afterC = D && N >= 2 && signs[static_cast<std::size_t>(N)] == signs[static_cast<std::size_t>(N - 1)];
        auto pointName = [&](int id) -> std::string {
            if (id == CHAIN_POINT_A) return "A";
            if (id == topology.D) return "D";
            if (id == 0) return NamePoint(nameB_, "B");
            if (id == K + 1) return NamePoint(nameC_, "C");
            if (id == K + 2 && D) return NamePoint(nameAfterC_, "C后");
            return NamePoint(RecordText({SlotKind::NameUnknown, id}), std::to_string(id));
        };
        for (int n = 2; n <= LastSide(); ++n) {
            const ChainSide& side = topology.sides.at(static_cast<std::size_t>(n));
            sides.emplace_back(n, pointName(side.from) + " — " + pointName(side.to));
        }
        marks.emplace_back("A", "A");
        marks.emplace_back("B", pointName(0));
        for (int i = 1; i <= K; ++i) marks.emplace_back(std::to_string(i), pointName(i));
        marks.emplace_back("C", pointName(K + 1));
        if (afterC) marks.emplace_back("C后", pointName(K + 2));
        if (D) marks.emplace_back("D", "D");
    }

    // the lines of the chain as a whole, before its values as the file has them
    add(SheetGroup::Precision, {SlotKind::Sigma0, 0});
    add(SheetGroup::Precision, {SlotKind::EdmA, 0});
    add(SheetGroup::Precision, {SlotKind::EdmB, 0});
    if (!D) add(SheetGroup::Precision, {SlotKind::OrientationSigma, 0});
    // a side's own standard error goes with the distance meter's accuracy
    if (!edmAMm_.empty() || !edmBPpm_.empty() || !sideSigmaMm_.empty())
        for (const auto& [n, ends] : sides) add(SheetGroup::Precision, {SlotKind::SideSigma, n}, ends);
    add(SheetGroup::Precision, {SlotKind::Grade, 0});

    for (std::size_t i = 0; i < ReductionFields().size(); ++i) add(SheetGroup::Reduction, {SlotKind::Reduction, static_cast<int>(i)});
    const std::string kind = Trimmed(reduction_.sideKind);
    if (kind == "平距" || kind == "斜距" || !reduction_.heights.empty())
        for (const auto& [mark, name] : marks) add(SheetGroup::Reduction, HeightSlot(mark), name);
    if (kind == "斜距" || !reduction_.sideHeights.empty()) {
        for (const auto& [n, ends] : sides) {
            add(SheetGroup::Reduction, {SlotKind::InstrumentHeight, n}, ends);
            add(SheetGroup::Reduction, {SlotKind::ReflectorHeight, n}, ends);
        }
    }

    add(SheetGroup::Count, {SlotKind::Count, 0});
    for (int i = 0; i < 8; ++i) add(SheetGroup::KnownPoints, {SlotKind::Coordinate, i});
    if (!D) {
        add(SheetGroup::Closing, {SlotKind::Azimuth, 0});
        add(SheetGroup::Closing, {SlotKind::Orientation, 0});
    }
    if (N == 0) return rows;
    for (const auto& [n, ends] : sides) {
        add(SheetGroup::Sides, {SlotKind::Side, n}, ends);
        rows.back().routeSide = n % 2 == 0;
    }
    add(SheetGroup::Names, {SlotKind::NameB, 0});
    for (int i = 1; i <= K; ++i) add(SheetGroup::Names, {SlotKind::NameUnknown, i});
    add(SheetGroup::Names, {SlotKind::NameC, 0});
    if (afterC) add(SheetGroup::Names, {SlotKind::NameAfterC, 0});
    return rows;
}

std::optional<Slot> ObservationSheet::SlotOfLabel(const std::string& label) const
{
    for (const SheetRow& row : Rows())
        if (row.label == label) return row.slot;
    return std::nullopt;
}

// The precision and reduction lines the chain as it stands has: a standard
// error or heights of a side it does not measure, a height of a mark it does
// not have and 定向角中误差 with D stay in the sheet for when it has them again.
void ObservationSheet::AddLines(ObservationRecord& record) const
{
    record.sigma0Mm = sigma0_;
    record.grade = grade_;
    record.edmAMm = edmAMm_, record.edmBPpm = edmBPpm_;
    const bool D = PointDGiven();
    if (!D) record.orientationSigmaSec = orientationSigmaSec_;
    const int last = LastSide();
    const bool chain = last > 0;
    auto measured = [&](int k) { return !chain || (k >= 2 && k <= last); };
    for (const auto& [k, text] : sideSigmaMm_)
        if (measured(k)) record.sideSigmaMm.emplace(k, text);
    record.reduction = reduction_;
    record.reduction.heights.clear();
    record.reduction.sideHeights.clear();
    for (const SideHeightText& h : reduction_.sideHeights)
        if (measured(h.k)) record.reduction.sideHeights.push_back(h);
    const int K = UnknownPointCount();
    for (const MarkHeightText& h : reduction_.heights) {
        bool has = !chain || h.mark == "A" || h.mark == "B" || h.mark == "C";
        if (chain && h.mark == "D") has = D;
        if (chain && h.mark == "C后") has = PointAfterC();
        if (const Slot slot = HeightSlot(h.mark); chain && slot.index >= 1) has = slot.index <= K;
        if (has) record.reduction.heights.push_back(h);
    }
}

ObservationRecord ObservationSheet::Record() const
{
    ObservationRecord record;
    record.project = project_;
    record.notes = notes_;
    AddLines(record);
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
