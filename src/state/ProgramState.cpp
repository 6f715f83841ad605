#include "state/ProgramState.h"

bool PointDGiven(const ProgramState& s) { return s.Xd != 0 && s.Yd != 0; }

bool PointDAbsent(const ProgramState& s) { return s.Xd == 0 && s.Yd == 0; }

bool AzimuthConditionUsed(const ProgramState& s)
{
    return !(PointDAbsent(s) && s.run.ClosingAzimuth == 0 && s.run.OrientationAngle == 0);
}
