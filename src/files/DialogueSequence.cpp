#include "files/DialogueSequence.h"

#include <cmath>
#include <cstdint>

#include "core/ChainObservations.h"
#include "core/Geometry.h"
#include "files/RecordKeys.h"
#include "text/DisplayFormat.h"

static int SignOf(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

int DialogueSequence::LastSide() const
{
    if (N_ == 0) return 0;
    return pointDKnown_ && pointDGiven_ ? 2 * N_ : 2 * N_ + 1;
}

std::string DialogueSequence::Label(ValueKey key) const { return KeyLabel(key, K_); }

void DialogueSequence::StartNames()
{
    bool equal = pointDGiven_ && signs_[static_cast<std::size_t>(N_)] == signs_[static_cast<std::size_t>(N_ - 1)];
    K_ = ::UnknownPointCount(N_, pointDGiven_, equal);
    pointAfterC_ = equal;
    next_ = ValueKey{ValueKind::PointName, 0};
}

// S1 = A-B or S(2N+1) = C-D from the coordinates, as the dialogue derives them.
double DialogueSequence::SetKnownSide(int n, double dX, double dY)
{
    const LengthAzimuth side = AzimuthFromDifferences(dX, dY, ChainConstants{}.RADIANS_PER_DEGREE);
    sides_[static_cast<std::size_t>(n)] = side.S;
    shown_[static_cast<std::size_t>(n)] = ShortestDecimal(side.S);
    return side.alpha;
}

ChainInput DialogueSequence::Input() const
{
    ChainInput input;
    ChainObservations& o = input.observations;
    o.N = N_;
    const double* c = coordinates_;
    o.closing = ClosingKindOf(c[6], c[7], azimuthDegrees_, orientationDegrees_);
    o.Xa = c[0], o.Ya = c[1], o.Xb = c[2], o.Yb = c[3], o.Xc = c[4], o.Yc = c[5], o.Xd = c[6], o.Yd = c[7];
    o.AzimuthAB = azimuthAB_;
    o.ClosingAzimuth = pointDGiven_ ? azimuthCD_ : azimuthDegrees_;
    if (o.closing == ClosingKind::OnCWithAzimuth) o.orientation = OrientationObservation{orientationDegrees_, std::nullopt};
    std::vector<int> routeSigns = signs_;
    routeSigns.resize(static_cast<std::size_t>(N_) + 2, 0);
    SetSides(o, sides_, routeSigns);
    o.UnknownPointCount = K_;
    input.names = names_;
    input.TbPacked = TbPacked_;
    input.QbPacked = QbPacked_;
    return input;
}

// The triangle that side n completes, refused as the dialogue refuses it.
Refusal DialogueSequence::RefuseTriangleOf(int n) const
{
    int i = 0;
    if (n % 2 == 1) i = (n - 1) / 2;
    else if (n == 2 * N_ && pointDGiven_) i = N_;
    if (i < 1) return std::nullopt;
    // a known side beyond the range of numbers ends the run before any side is asked
    if (!std::isfinite(sides_[1]) || (pointDGiven_ && !std::isfinite(sides_.back()))) return std::nullopt;
    const std::size_t first = static_cast<std::size_t>(2 * i - 1);
    return RefuseTriangle(i, sides_, {shown_[first], shown_[first + 1], shown_[first + 2]},
                          ChainConstants{}.RADIANS_PER_DEGREE);
}

Refusal DialogueSequence::Take(std::string_view typed)
{
    if (!next_) return std::nullopt;
    const ValueKey key = *next_;
    if (key.kind == ValueKind::PointName) {
        // a name is any text
        if (key.index >= 0 && key.index < static_cast<int>(names_.size())) names_[static_cast<std::size_t>(key.index)] = typed;
        if (key.index < K_ + 1 || (key.index == K_ + 1 && pointAfterC_))
            next_ = ValueKey{ValueKind::PointName, key.index + 1};
        else
            next_.reset();
        return std::nullopt;
    }

    double value = 0;
    if (Refusal refused = RefuseNumber(typed, value)) return refused;
    switch (key.kind) {
    case ValueKind::TriangleCount: {
        std::int16_t N = 0;
        if (Refusal refused = RefuseTriangleCount(value, N)) return refused;
        N_ = N;
        signs_.assign(static_cast<std::size_t>(N_) + 1, 0);
        sides_.assign(2 * static_cast<std::size_t>(N_) + 2, 0.0);
        shown_.assign(2 * static_cast<std::size_t>(N_) + 2, std::string());
        names_.assign(static_cast<std::size_t>(N_) + 1, std::string());
        next_ = ValueKey{ValueKind::Coordinate, 0};
        return std::nullopt;
    }
    case ValueKind::Coordinate: {
        const double* c = coordinates_;
        if (key.index == 3)
            if (Refusal refused = RefuseStartSide(c[0], c[1], c[2], value)) return refused;
        if (key.index == 7) {
            if (Refusal refused = RefusePointD(c[4], c[5], c[6], value, N_)) return refused;
            pointDKnown_ = true;
            pointDGiven_ = ClosingKindOf(c[6], value, 0, 0) == ClosingKind::OnCWithD;
        }
        coordinates_[key.index] = value;
        if (key.index == 3) azimuthAB_ = SetKnownSide(1, c[2] - c[0], value - c[1]);
        if (key.index == 7 && pointDGiven_) azimuthCD_ = SetKnownSide(2 * N_ + 1, c[6] - c[4], value - c[5]);
        if (key.index < 7)
            next_ = ValueKey{ValueKind::Coordinate, key.index + 1};
        else
            next_ = pointDGiven_ ? ValueKey{ValueKind::Side, 2} : ValueKey{ValueKind::ExternalAzimuth, 0};
        return std::nullopt;
    }
    case ValueKind::ExternalAzimuth: {
        double degrees = 0;
        if (Refusal refused = RefusePackedAngle(value, degrees)) return refused;
        azimuthDegrees_ = degrees;
        TbPacked_ = value;
        next_ = ValueKey{ValueKind::OrientationAngle, 0};
        return std::nullopt;
    }
    case ValueKind::OrientationAngle: {
        double degrees = 0;
        if (Refusal refused = RefusePackedAngle(value, degrees)) return refused;
        if (Refusal refused = RefuseClosingAngles(azimuthDegrees_, degrees)) return refused;
        orientationDegrees_ = degrees;
        QbPacked_ = value;
        next_ = ValueKey{ValueKind::Side, 2};
        return std::nullopt;
    }
    case ValueKind::Side: {
        const int n = key.index;
        const auto at = static_cast<std::size_t>(n);
        sides_[at] = n % 2 == 0 ? std::fabs(value) : value;
        shown_[at] = std::string(typed);
        if (Refusal refused = RefuseTriangleOf(n)) return refused;
        if (n % 2 == 0) {
            const auto k = static_cast<std::size_t>(n / 2);
            const int before = signs_[k];
            signs_[k] = SignOf(value);
            if (n == 2 * N_ && pointDGiven_) {
                if (Refusal refused = RefuseRouteSigns(signs_, N_, true)) {
                    signs_[k] = before;
                    return refused;
                }
            }
        }
        if (n < LastSide())
            next_ = ValueKey{ValueKind::Side, n + 1};
        else
            StartNames();
        return std::nullopt;
    }
    case ValueKind::PointName: break;
    }
    return std::nullopt;
}

DialogueSequence SequenceOf(const ObservationRecord& record)
{
    DialogueSequence sequence;
    for (const TypedValue& v : record.values) {
        if (!sequence.Next() || !(*sequence.Next() == v.key) || sequence.Take(v.text)) break;
    }
    return sequence;
}

std::optional<ValueKey> NextKeyOf(const ObservationRecord& record, std::string* label)
{
    const DialogueSequence sequence = SequenceOf(record);
    if (label && sequence.Next()) *label = sequence.Label(*sequence.Next());
    return sequence.Next();
}
