#include <cmath>

#include "core/Geometry.h"
#include "dialogue/ConfirmedPrompt.h"
#include "dialogue/EntryPhases.h"
#include "rules/InputRules.h"
#include "rules/PromptTexts.h"
#include "state/RunFault.h"
#include "rules/FaultTexts.h"
#include "text/DisplayFormat.h"
#include "rules/FormFields.h"

// Coordinate index: 0 Xa, 1 Ya, 2 Xb, 3 Yb, 4 Xc, 5 Yc, 6 Xd, 7 Yd; shown in field::Xa + index.
static void AskCoordinate(ProgramState& s, Platform& p, double& target, int index, const std::string& prompt,
                          const std::string& reentry, bool clearToBlank)
{
    PromptInstance instance{prompt, reentry, texts::K1, texts::K1, field::Xa + index, clearToBlank,
                            [index](const std::string& typed) {
                                return texts::ConfirmationHeading(texts::COORDINATE_NAMES[index], typed, texts::METRES);
                            }};
    ConfirmedPrompt(p, s.run.Typed, {ValueKind::Coordinate, index}, instance, NumberTaker(p, target),
                    [&target] { return " " + FormatFixed(target, 3); });
}

static void Forget(ProgramState& s, std::initializer_list<ValueKey> keys)
{
    for (ValueKey key : keys) s.run.Typed.Forget(key);
}

static void RequireFinite(double value, const char* what)
{
    if (!std::isfinite(value)) RaiseFault(FaultKind::Overflow, OutOfRangeText(what));
}

void EnterKnownPoints(ProgramState& s, Platform& p)
{
    AskCoordinate(s, p, s.Xa, 0, texts::XA_PROMPT, texts::X_REENTRY, false);
    AskCoordinate(s, p, s.Ya, 1, texts::YA_PROMPT, texts::Y_REENTRY, false);
    for (;;) {
        AskCoordinate(s, p, s.Xb, 2, texts::XB_PROMPT, texts::X_REENTRY, false);
        AskCoordinate(s, p, s.Yb, 3, texts::YB_PROMPT, texts::Y_REENTRY, false);
        Refusal refused = RefuseStartSide(s.Xa, s.Ya, s.Xb, s.Yb);
        if (!refused) break;
        Forget(s, {{ValueKind::Coordinate, 2}, {ValueKind::Coordinate, 3}});
        p.MessageBox(*refused);
    }
    AskCoordinate(s, p, s.Xc, 4, texts::XC_PROMPT, texts::X_REENTRY, false);
    AskCoordinate(s, p, s.Yc, 5, texts::YC_PROMPT, texts::Y_REENTRY, false);
    for (;;) {
        AskCoordinate(s, p, s.Xd, 6, texts::XD_PROMPT, texts::X_REENTRY, false);
        AskCoordinate(s, p, s.Yd, 7, texts::YD_PROMPT, texts::Y_REENTRY, true);
        Refusal refused = RefusePointD(s.Xc, s.Yc, s.Xd, s.Yd, s.TriangleCount);
        if (!refused) break;
        Forget(s, {{ValueKind::Coordinate, 6}, {ValueKind::Coordinate, 7}});
        p.MessageBox(*refused);
    }
}

// Takes a packed angle: a number whose minutes and seconds are below 60.
static AnswerTaker AngleTaker(Platform& p, double& typed, double& degrees)
{
    return [&p, &typed, &degrees](const Answer& answer) {
        if (!answer) {
            if (!OperatorEndsInput(p)) return false;
            throw RunCancelled{};
        }
        double value = 0, converted = 0;
        Refusal refused = RefuseNumber(*answer, value);
        if (!refused) refused = RefusePackedAngle(value, converted);
        if (refused) {
            p.MessageBox(*refused);
            return false;
        }
        typed = value;
        degrees = converted;
        return true;
    };
}

void EnterClosingOrientation(ProgramState& s, Platform& p)
{
    RunState& r = s.run;
    const int N = s.TriangleCount;
    if (PointDGiven(s)) {
        p.SetFieldText(field::Conditions, texts::THREE_CONDITIONS);
        // no azimuth data is asked with D: these fields must not show an earlier run's
        p.SetFieldText(field::Tb, "");
        p.SetFieldText(field::Qb, "");
        LengthAzimuth cd = AzimuthFromDifferences(s.Xd - s.Xc, s.Yd - s.Yc, r.RADIANS_PER_DEGREE);
        RequireFinite(cd.S, "C-D 边长");
        s.SideLengths[2 * N + 1] = cd.S;
        r.ClosingAzimuth = cd.alpha;
        r.OrientationAngle = 0;
        return;
    }
    for (;;) {
        double azimuthTyped = 0, azimuthDegrees = 0;
        p.SetFieldText(field::Tb, "");
        PromptInstance azimuth{texts::AZIMUTH_PROMPT, texts::AZIMUTH_REENTRY, texts::K1, texts::K1, field::Tb, true,
                               [](const std::string& typed) {
                                   return texts::ConfirmationHeading("Tb", typed, texts::PACKED_DEGREES);
                               }};
        ConfirmedPrompt(p, s.run.Typed, {ValueKind::ExternalAzimuth, 0}, azimuth, AngleTaker(p, azimuthTyped, azimuthDegrees),
                        [&] { return " " + FormatFixed(azimuthTyped, 5); });
        s.Tb = azimuthTyped;
        r.ClosingAzimuth = azimuthDegrees;

        double orientationTyped = 0, orientationDegrees = 0;
        p.SetFieldText(field::Qb, "");
        PromptInstance orientation{texts::ORIENTATION_PROMPT, texts::ORIENTATION_REENTRY, texts::K1C, texts::K1,
                                   field::Qb, true, [](const std::string& typed) {
                                       return texts::ConfirmationHeading("Qb", typed, texts::PACKED_DEGREES);
                                   }};
        ConfirmedPrompt(p, s.run.Typed, {ValueKind::OrientationAngle, 0}, orientation,
                        AngleTaker(p, orientationTyped, orientationDegrees),
                        [&] { return " " + FormatFixed(orientationTyped, 5); });
        s.Qb = orientationTyped;
        int sign = s.Qb > 0 ? 1 : (s.Qb < 0 ? -1 : 0);
        r.RouteSigns[N + 1] = sign;
        // PackedToDegrees is odd, so this is sign * PackedToDegrees(|Qb|)
        r.OrientationAngle = orientationDegrees;

        Refusal refused = RefuseClosingAngles(r.ClosingAzimuth, r.OrientationAngle);
        if (!refused) break;
        Forget(s, {{ValueKind::ExternalAzimuth, 0}, {ValueKind::OrientationAngle, 0}});
        p.MessageBox(*refused);
    }
    if (r.ClosingAzimuth == 0 && r.OrientationAngle == 0) {
        p.SetFieldText(field::Tb, texts::NO_AZIMUTH);
        p.SetFieldText(field::Qb, texts::NO_ORIENTATION);
        p.SetFieldText(field::Conditions, texts::TWO_CONDITIONS);
    } else {
        // an external azimuth without orientation angle still closes the azimuth
        p.SetFieldText(field::Conditions, texts::THREE_CONDITIONS);
    }
}

void DeriveStartSide(ProgramState& s)
{
    LengthAzimuth ab = AzimuthFromDifferences(s.Xb - s.Xa, s.Yb - s.Ya, s.run.RADIANS_PER_DEGREE);
    RequireFinite(ab.S, "A-B 边长");
    s.SideLengths[1] = ab.S;
    s.run.AzimuthAB = ab.alpha;
}
