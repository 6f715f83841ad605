#pragma once
// The reduction of the sides to the Gauss plane as the observation file (or
// the observation table) gives it: every value kept as its text, empty where
// it is not given (docs/observation-file.md lists the keys, docs/reduction.md
// what they mean).
#include <string>
#include <vector>

// 高程 A … : a mark's normal height [m]. mark is "A", "B", "C", "D", "C后" or
// the number of an unknown point, "1" … "K".
struct MarkHeightText {
    std::string mark;
    std::string text;
    bool operator==(const MarkHeightText&) const = default;
};

// S5 仪器高 / S5 镜高: the instrument and reflector heights of a slope side [m].
struct SideHeightText {
    int k = 0;
    std::string instrument, reflector;
    bool operator==(const SideHeightText&) const = default;
};

struct ReductionRecord {
    std::string sideKind;           // 边长类型: 平面 (default), 平距, 斜距
    std::string addConstantMm;      // 测距加常数 [mm]
    std::string scaleConstantMmPerKm;  // 测距乘常数 [mm/km]
    std::string ellipsoid;          // 椭球: CGCS2000 (default), WGS84, 西安80, 北京54
    std::string centralMeridian;    // 中央子午线 [D.MMSS]
    std::string falseEasting;       // Y加常数 [m], default 500000
    std::string surfaceHeight;      // 投影面高程 [m], default 0
    std::string heightAnomaly;      // 高程异常 [m], default 0
    std::vector<MarkHeightText> heights;       // in the order given
    std::vector<SideHeightText> sideHeights;   // by side, in the order given

    bool Empty() const
    {
        return sideKind.empty() && addConstantMm.empty() && scaleConstantMmPerKm.empty() && ellipsoid.empty() &&
               centralMeridian.empty() && falseEasting.empty() && surfaceHeight.empty() && heightAnomaly.empty() &&
               heights.empty() && sideHeights.empty();
    }
    bool operator==(const ReductionRecord&) const = default;
};
