#include "files/SheetCheck.h"

#include <cmath>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "core/ChainObservations.h"
#include "core/Geometry.h"
#include "files/DialogueSequence.h"
#include "files/ObservationFile.h"
#include "files/ReductionKeys.h"
#include "rules/PrecisionLines.h"
#include "rules/InputRules.h"
#include "text/DisplayFormat.h"
#include "text/NumberReading.h"

namespace {

int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }



class Checker {
public:
    explicit Checker(const ObservationSheet& sheet) : sheet_(sheet) {}

    // The number of a slot: nothing while it is empty or refused (then with its reason).
    std::optional<double> Number(Slot slot)
    {
        const std::string text = sheet_.RecordText(slot);
        if (text.empty()) {
            missing_.insert(SlotCode(slot));
            return std::nullopt;
        }
        double value = 0;
        if (Refusal refused = RefuseNumber(text, value)) {
            Refuse(slot, *refused);
            return std::nullopt;
        }
        return value;
    }
    void Refuse(Slot slot, const std::string& reason) { faults_.emplace(SlotCode(slot), reason); }
    SheetCheck Result() const;

    void CheckSigma0();
    void CheckPoints();
    void CheckClosingAngles();
    void CheckSides();
    void CheckRecord();
    void CheckLines();

private:
    const ObservationSheet& sheet_;
    std::unordered_map<long long, std::string> faults_;  // by SlotCode; the first reason of a slot
    std::unordered_set<long long> missing_;
    int N_ = 0;
    std::optional<double> c_[8];
    bool complete_ = false;
};

void Checker::CheckSigma0()
{
    const std::string text = sheet_.RecordText({SlotKind::Sigma0, 0});
    if (text.empty()) return;
    std::optional<double> mm = ReadNumber(text);
    // the file reader's words for the same line
    if (!mm || !(*mm > 0))
        Refuse({SlotKind::Sigma0, 0}, "「先验测边中误差」应是一个正数，以毫米计（例如 2），却是「" + text + "」");
}

// The precision and reduction lines: each value by its rule, then, as the
// file reader judges them, the lines together and against the chain.
void Checker::CheckLines()
{
    // each value by its rule; a part whose values all pass is judged as a whole
    bool precisionTaken = !faults_.count(SlotCode({SlotKind::Sigma0, 0})), reductionTaken = true;
    for (const SheetRow& row : sheet_.Rows()) {
        const std::string text = sheet_.RecordText(row.slot);
        if (text.empty()) continue;
        double value = 0;
        Refusal refused;
        switch (row.slot.kind) {
        case SlotKind::EdmA: refused = RefuseEdmA(text, value); break;
        case SlotKind::EdmB: refused = RefuseEdmB(text, value); break;
        case SlotKind::OrientationSigma: refused = RefuseOrientationSigma(text, value); break;
        case SlotKind::SideSigma: refused = RefuseSideSigma(text, value); break;
        case SlotKind::Reduction:
        case SlotKind::Height:
        case SlotKind::InstrumentHeight:
        case SlotKind::ReflectorHeight:
            if (std::optional<std::string> reason = RefuseReductionValue(row.label, text)) {
                Refuse(row.slot, *reason);
                reductionTaken = false;
            }
            continue;
        default: continue;
        }
        if (refused) {
            // in the file reader's words: 「测距固定误差」应是…，却是「-1」
            Refuse(row.slot, "「" + row.label + "」" + *refused + "，却是「" + text + "」");
            precisionTaken = false;
        }
    }
    const ObservationRecord record = sheet_.Record();
    const ChainFile file = record.complete ? ChainOfRecord(record) : ChainFile{};
    std::optional<ChainShape> shape;
    if (file.input) shape = ChainShape{file.input->observations.N, file.input->observations.closing};
    // the row of the line refused; where a line is missing, the row it would
    // stand in; else the section's first row, naming the line
    auto refuseAt = [this](const std::string& key, const std::string& otherwise, Slot first, const std::string& reason) {
        const std::string& label = key.empty() ? otherwise : key;
        if (std::optional<Slot> slot = sheet_.SlotOfLabel(label))
            Refuse(*slot, reason);
        else
            Refuse(first, label + "：" + reason);
    };
    if (precisionTaken)
        if (std::optional<PrecisionRefusal> refused = RefusePrecisionLines(record, shape))
            refuseAt(refused->key, kOrientationSigmaKey, {SlotKind::Sigma0, 0}, refused->reason);
    if (!reductionTaken || !file.input) return;
    auto reduction = ReductionOf(record.reduction, *file.input);
    if (const ReductionRefusal* refused = std::get_if<ReductionRefusal>(&reduction))
        refuseAt(refused->key, refused->concerns.empty() ? "边长类型" : refused->concerns, {SlotKind::Reduction, 0},
                 refused->message);
}

void Checker::CheckPoints()
{
    if (std::optional<double> typed = Number({SlotKind::Count, 0})) {
        std::int16_t N = 0;
        if (Refusal refused = RefuseTriangleCount(*typed, N))
            Refuse({SlotKind::Count, 0}, *refused);
        else
            N_ = N;
    }
    for (int i = 0; i < 8; ++i) c_[i] = Number({SlotKind::Coordinate, i});
    if (c_[0] && c_[1] && c_[2] && c_[3])
        if (Refusal refused = RefuseStartSide(*c_[0], *c_[1], *c_[2], *c_[3])) Refuse({SlotKind::Coordinate, 3}, *refused);
    // the dialogue asks D only once N is in, and judges D with it
    if (c_[4] && c_[5] && c_[6] && c_[7] && N_ > 0)
        if (Refusal refused = RefusePointD(*c_[4], *c_[5], *c_[6], *c_[7], N_)) Refuse({SlotKind::Coordinate, 7}, *refused);
}

void Checker::CheckClosingAngles()
{
    if (sheet_.PointDGiven()) return;
    std::optional<double> degrees[2];
    const Slot slots[2] = {{SlotKind::Azimuth, 0}, {SlotKind::Orientation, 0}};
    for (int i = 0; i < 2; ++i) {
        if (std::optional<double> packed = Number(slots[i])) {
            double d = 0;
            if (Refusal refused = RefusePackedAngle(*packed, d))
                Refuse(slots[i], *refused);
            else
                degrees[i] = d;
        }
    }
    if (degrees[0] && degrees[1])
        if (Refusal refused = RefuseClosingAngles(*degrees[0], *degrees[1])) Refuse(slots[1], *refused);
}

void Checker::CheckSides()
{
    if (N_ == 0) return;
    const int N = N_;
    const bool D = sheet_.PointDGiven();
    const int last = sheet_.LastSide();
    std::vector<double> S(2 * static_cast<std::size_t>(N) + 2, 0.0);
    std::vector<std::string> shown(S.size());
    std::vector<bool> known(S.size(), false);
    std::vector<int> signs(static_cast<std::size_t>(N) + 1, 0);
    std::vector<bool> signKnown(signs.size(), false);
    const double radiansPerDegree = ChainConstants{}.RADIANS_PER_DEGREE;
    // A-B and, with D, C-D from the coordinates, as the dialogue derives them
    auto knownSide = [&](std::size_t n, std::optional<double> X1, std::optional<double> Y1, std::optional<double> X2,
                         std::optional<double> Y2) {
        if (!X1 || !Y1 || !X2 || !Y2 || (*X1 == *X2 && *Y1 == *Y2)) return;
        const LengthAzimuth side = AzimuthFromDifferences(*X2 - *X1, *Y2 - *Y1, radiansPerDegree);
        if (!std::isfinite(side.S)) return;  // the run ends before any side is asked
        S[n] = side.S, shown[n] = ShortestDecimal(side.S), known[n] = true;
    };
    knownSide(1, c_[0], c_[1], c_[2], c_[3]);
    if (D) knownSide(S.size() - 1, c_[4], c_[5], c_[6], c_[7]);
    for (int n = 2; n <= last; ++n) {
        const auto at = static_cast<std::size_t>(n);
        if (std::optional<double> value = Number({SlotKind::Side, n})) {
            S[at] = n % 2 == 0 ? std::fabs(*value) : *value;
            shown[at] = sheet_.RecordText({SlotKind::Side, n});
            known[at] = true;
            if (n % 2 == 0) signs[at / 2] = SignOf(*value), signKnown[at / 2] = true;
        }
    }
    for (int i = 1; i <= N; ++i) {
        const auto first = static_cast<std::size_t>(2 * i - 1);
        if (!known[first] || !known[first + 1] || !known[first + 2]) continue;
        if (Refusal refused = RefuseTriangle(i, S, {shown[first], shown[first + 1], shown[first + 2]}, radiansPerDegree))
            for (int n = 2 * i - 1; n <= 2 * i + 1; ++n)
                if (n >= 2 && n <= last) Refuse({SlotKind::Side, n}, *refused);
    }
    if (D && N >= 2 && signKnown[static_cast<std::size_t>(N)] && signKnown[static_cast<std::size_t>(N - 1)] &&
        (N == 2 || signKnown[static_cast<std::size_t>(N - 2)]))
        if (Refusal refused = RefuseRouteSigns(signs, N, true)) Refuse({SlotKind::Side, 2 * N}, *refused);
}

// The values replayed through the dialogue's sequence, as an adjustment of
// the sheet takes them: a refusal the checks above did not name is named.
void Checker::CheckRecord()
{
    const ObservationRecord record = sheet_.Record();
    complete_ = record.complete;
    DialogueSequence sequence;
    for (const TypedValue& v : record.values) {
        if (!sequence.Next() || !(*sequence.Next() == v.key)) return;  // a value missing before it
        if (Refusal refused = sequence.Take(v.text)) {
            if (std::optional<Slot> slot = sheet_.SlotOf(v.key)) Refuse(*slot, *refused);
            return;
        }
    }
}

SheetCheck Checker::Result() const
{
    SheetCheck check;
    for (const SheetRow& row : sheet_.Rows()) {
        const long long code = SlotCode(row.slot);
        if (auto f = faults_.find(code); f != faults_.end()) {
            check.faultAt[code] = check.faults.size();
            check.faults.push_back({row.slot, f->second});
        }
        if (missing_.count(code)) check.missing.push_back(row.slot);
    }
    check.ready = check.faults.empty() && complete_;
    return check;
}

}  // namespace

long long SlotCode(Slot slot)
{
    return static_cast<long long>(slot.kind) << 32 | static_cast<long long>(static_cast<unsigned>(slot.index));
}

const std::string* SheetCheck::ReasonFor(Slot slot) const
{
    const auto at = faultAt.find(SlotCode(slot));
    return at == faultAt.end() ? nullptr : &faults[at->second].reason;
}

SheetCheck CheckSheet(const ObservationSheet& sheet)
{
    Checker checker(sheet);
    checker.CheckSigma0();
    checker.CheckPoints();
    checker.CheckClosingAngles();
    checker.CheckSides();
    checker.CheckRecord();
    checker.CheckLines();
    return checker.Result();
}

std::string SheetStatus(const SheetCheck& check)
{
    if (check.ready) return "数据齐全，可以平差。";
    std::string status;
    if (!check.faults.empty()) {
        status = std::to_string(check.faults.size()) + " 处有误，第一处 " + SlotLabel(check.faults.front().slot) + "：" +
                 check.faults.front().reason + "。";
    }
    if (!check.missing.empty()) {
        status += "还缺 " + std::to_string(check.missing.size()) + " 个值（" + SlotLabel(check.missing.front());
        status += check.missing.size() > 1 ? " 等）。" : "）。";
    }
    if (status.empty()) status = "数据不全，还不能平差。";
    return status;
}
