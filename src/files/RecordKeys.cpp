#include "files/RecordKeys.h"

const TypedValue* Find(const ObservationRecord& record, ValueKey key)
{
    for (const TypedValue& v : record.values)
        if (v.key == key) return &v;
    return nullptr;
}

int UnknownPointCount(int N, bool pointDGiven, bool lastSignsEqual)
{
    if (!pointDGiven) return N - 1;
    return lastSignsEqual ? N - 3 : N - 2;
}

std::vector<ValueKey> DialogueKeys(int N, bool pointDGiven, bool lastSignsEqual)
{
    std::vector<ValueKey> keys{{ValueKind::TriangleCount, 0}};
    for (int i = 0; i < 8; ++i) keys.push_back({ValueKind::Coordinate, i});
    if (!pointDGiven) {
        keys.push_back({ValueKind::ExternalAzimuth, 0});
        keys.push_back({ValueKind::OrientationAngle, 0});
    }
    const int lastSide = pointDGiven ? 2 * N : 2 * N + 1;
    for (int n = 2; n <= lastSide; ++n) keys.push_back({ValueKind::Side, n});
    const int K = UnknownPointCount(N, pointDGiven, lastSignsEqual);
    const int names = pointDGiven && lastSignsEqual ? K + 3 : K + 2;
    for (int i = 0; i < names; ++i) keys.push_back({ValueKind::PointName, i});
    return keys;
}

std::string KeyLabel(ValueKey key, int K)
{
    static const char* const coordinates[] = {"Xa", "Ya", "Xb", "Yb", "Xc", "Yc", "Xd", "Yd"};
    switch (key.kind) {
    case ValueKind::TriangleCount: return "N";
    case ValueKind::Coordinate:
        return key.index >= 0 && key.index < 8 ? coordinates[key.index] : "X?";
    case ValueKind::ExternalAzimuth: return "Tb";
    case ValueKind::OrientationAngle: return "Qb";
    case ValueKind::Side: return "S" + std::to_string(key.index);
    case ValueKind::PointName:
        if (key.index == 0) return "点名 B";
        if (K >= 0 && key.index == K + 1) return "点名 C";
        if (K >= 0 && key.index == K + 2) return "点名 C后";
        return "点名 " + std::to_string(key.index);
    }
    return "?";
}
