#pragma once
// The values of one run in the order the dialogue asks them, with the rules
// the dialogue applies to each (dialogue/InputRules.h). Fed one typed value
// after another, it tells which value comes next and refuses, with the
// dialogue's own reason, what the dialogue would refuse:
//   N; Xa Ya Xb Yb (A = B refused at Yb) Xc Yc Xd Yd (D refused at Yd);
//   without D Tb Qb (packed D.MMSS; an orientation angle without azimuth
//   refused at Qb); S2, S3 ... S2N (with D the route signs refused at S2N),
//   without D S(2N+1), each triangle refused at its last side (S(2i+1), with
//   D S2N for triangle N); the names of B, of the unknown points 1..K, of C and,
//   with D and sign N = sign N-1, of the point after C.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/InputRules.h"
#include "state/CompletedRun.h"
#include "state/ObservationRecord.h"

class DialogueSequence {
public:
    // The key of the value the dialogue asks next; nullopt once every value of
    // the run is in.
    const std::optional<ValueKey>& Next() const { return next_; }

    // Takes the typed value of Next(). A refused value is not taken: the
    // sequence stays where it was.
    Refusal Take(std::string_view typed);

    int TriangleCount() const { return N_; }            // 0 until N is in
    bool PointDKnown() const { return pointDKnown_; }   // Yd is in
    bool PointDGiven() const { return pointDGiven_; }
    int UnknownPointCount() const { return K_; }        // -1 until the last side is in
    // The highest side number the chain can hold as far as it is known:
    // 2N with D, 2N+1 without (or while D is not yet known); 0 before N.
    int LastSide() const;
    std::string Label(ValueKey key) const;  // as the file names it

    // The chain the values make, once every value is in (Next() is nullopt):
    // the observations as the adjustment reads them, with the names and the
    // closing angles as typed. Each value was read once, by Take; the sides
    // of every triangle were checked once, by the input rules.
    ChainInput Input() const;

private:
    std::optional<ValueKey> next_ = ValueKey{ValueKind::TriangleCount, 0};
    int N_ = 0;
    double coordinates_[8] = {};
    double azimuthDegrees_ = 0, orientationDegrees_ = 0;
    double TbPacked_ = 0, QbPacked_ = 0;     // as typed [D.MMSS]
    double azimuthAB_ = 0, azimuthCD_ = 0;   // [deg] from the coordinates
    std::vector<std::string> names_;         // 0..N
    bool pointDKnown_ = false, pointDGiven_ = false;
    std::vector<int> signs_;  // 0..N, element k the sign of side 2k
    std::vector<double> sides_;        // 1..2N+1 as the adjustment reads them [m]
    std::vector<std::string> shown_;   // 1..2N+1 as typed (S1, C-D as computed)
    int K_ = -1;
    bool pointAfterC_ = false;

    void StartNames();
    // the side's length; returns its azimuth [deg]
    double SetKnownSide(int n, double dX, double dY);
    Refusal RefuseTriangleOf(int n) const;
};

// The sequence after the values of the record, as far as they are in dialogue
// order and pass its rules.
DialogueSequence SequenceOf(const ObservationRecord& record);

// The key the dialogue asks after the values of the record, as far as they
// are in dialogue order and pass its rules: nullopt when every value is in.
// label gets the key's file label when given.
std::optional<ValueKey> NextKeyOf(const ObservationRecord& record, std::string* label = nullptr);
