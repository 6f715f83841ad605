#include "state/ProgramState.h"

ClosingKind ClosingOf(const ProgramState& s)
{
    return ClosingKindOf(s.Xd, s.Yd, s.run.ClosingAzimuth, s.run.OrientationAngle);
}

bool PointDGiven(const ProgramState& s) { return ClosingOf(s) == ClosingKind::OnCWithD; }

bool PointDAbsent(const ProgramState& s) { return !PointDGiven(s); }
