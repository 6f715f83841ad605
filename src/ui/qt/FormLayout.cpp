#include "ui/qt/FormLayout.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "rules/FormFields.h"

namespace form {
namespace {

using F = FontKind;

constexpr ButtonSpec BUTTONS[] = {
    {1, "平差计算", 6240, 9600, 975, 372, true},
    {2, "结束计算", 7440, 9600, 975, 372, true},
    {3, "打 印", 8640, 9600, 975, 375, false},
};

constexpr FieldSpec FIELDS[] = {
    {field::Xa, 3960, 3480, 1335},
    {field::Ya, 3960, 3840, 1335},
    {field::Xb, 3960, 4320, 1335},
    {field::Yb, 3960, 4680, 1335},
    {field::Xc, 3960, 5160, 1335},
    {field::Yc, 3960, 5520, 1335},
    {field::Xd, 3960, 6000, 1335},
    {field::Yd, 3960, 6360, 1335},
    {field::Tb, 3960, 6840, 1335},
    {field::Qb, 3960, 7200, 1335},
    {field::SideHint, 3240, 8160, 2055},
    {field::OddSide, 3600, 8520, 1335},
    {field::EvenSide, 3600, 8880, 1335},
    {field::Conditions, 6240, 3600, 3615},
    {field::TriangleCount, 10080, 3600, 2775},
    {field::wb, 6600, 4560, 1455},
    {field::wx, 8400, 4560, 1455},
    {field::wy, 10200, 4560, 1455},
    {field::ms, 8520, 5280, 1215},
    {field::InvPx, 6720, 6720, 1335},
    {field::InvPy, 6720, 7320, 1335},
    {field::mx, 8520, 6720, 1335},
    {field::my, 8520, 7320, 1335},
    {field::md, 10560, 7080, 1335},
    {field::NameHint, 5880, 8760, 2295},
    {field::PointName, 8160, 8760, 972},
    {field::PointX, 9480, 8760, 1335},
    {field::PointY, 11160, 8760, 1335},
};

// Captions of the coordinate fields and the short symbols use the window
// font; captions made of Chinese words use the Song face.
constexpr LabelSpec FIELD_CAPTIONS[] = {
    {"A点纵座标 Xa", 2640, 3480, F::Window},
    {"A点横座标 Ya", 2640, 3840, F::Window},
    {"B点纵座标 Xb", 2640, 4320, F::Window},
    {"B点横座标 Yb", 2640, 4680, F::Window},
    {"C点纵座标 Xc", 2640, 5160, F::Window},
    {"C点横座标 Yc", 2640, 5520, F::Window},
    {"D点纵座标 Xd", 2640, 6000, F::Window},
    {"D点横座标 Yd", 2640, 6360, F::Window},
    {"闭合点方位角 Ta", 2400, 6840, F::Window},
    {"闭合点定向角 QA", 2400, 7200, F::Window},
    {"观测边长 :", 2520, 7800, F::Song9},
    {"输入边提示", 3840, 7920, F::Song9},
    {"奇数边", 3000, 8520, F::Song9},
    {"偶数边", 3000, 8880, F::Song9},
    {"平差说明", 7920, 3360, F::Song9},
    {"三角形个数说明", 10800, 3360, F::Song9},
    {"方位角闭合差", 6720, 4320, F::Song9},
    {" wb", 6240, 4560, F::Window},
    {"纵座标闭合差", 8520, 4320, F::Song9},
    {" wx", 8040, 4560, F::Window},
    {"横座标闭合差", 10320, 4320, F::Song9},
    {" wy", 9840, 4560, F::Window},
    {"单位权测边中误差", 8400, 5040, F::Song9},
    {"ms", 8280, 5280, F::Window},
    {"纵座标权倒数", 6720, 6480, F::Song9},
    {" px", 6360, 6720, F::Window},
    {"横座标权倒数", 6720, 7080, F::Song9},
    {" py", 6360, 7320, F::Window},
    {"纵座标单位权中误差", 8280, 6480, F::Song9},
    {" mx", 8160, 6720, F::Window},
    {"横座标单位权中误差", 8280, 7080, F::Song9},
    {" my", 8160, 7320, F::Window},
    {"单位权点位中误差", 10320, 6840, F::Song9},
    {" md", 10080, 7080, F::Window},
    {"输入点名提示", 6480, 8520, F::Song9},
    {"点  名", 8400, 8520, F::Song9},
    {"待定点纵座标", 9600, 8520, F::Song9},
    {"Xp", 9240, 8760, F::Window},
    {"待定点横座标", 11280, 8520, F::Song9},
    {"Yp", 10920, 8760, F::Window},
    {"md", 10440, 8760, F::Window, true},
};

constexpr LabelSpec HEADINGS[] = {
    {"端点为已知边的三边锁平差", 6840, 2760, F::Sans12},
    {"( 精度评定 )", 8400, 6000, F::Song12},
    {"( 平差结果 )", 8520, 8160, F::Song12},
};

constexpr LabelSpec DIAGRAM_LABELS[] = {
    // Diagram 1: closure on the known side C-D.
    {"A", 1560, 2040, F::PointLabel},
    {"[ Xa,Ya ]", 1200, 2280, F::Window},
    {"B", 2280, 1080, F::PointLabel},
    {"[ Xb,Yb ]", 1440, 1080, F::Window},
    {"1", 2880, 2160, F::PointLabel},
    {"2", 3240, 1080, F::PointLabel},
    {"3", 3960, 1320, F::PointLabel},
    {"4", 4200, 2160, F::PointLabel},
    {"C", 4920, 1080, F::PointLabel},
    {"[ Xc,Yc ]", 4080, 1080, F::Window},
    {"D", 5520, 2040, F::PointLabel},
    {"[ Xd,Yd ]", 4920, 2280, F::Window},
    {"-S2", 2160, 2160, F::Window},
    {"S3", 2520, 1680, F::Window},
    {"S4", 2760, 1080, F::Window},
    {"S5", 3000, 1560, F::Window},
    {"S6", 3480, 1200, F::Window},
    {"S7", 3480, 1680, F::Window},
    {"-S8", 3480, 2160, F::Window},
    // Diagram 2: closure on C with an outside direction at C.
    {"A", 6000, 1920, F::PointLabel},
    {"[ Xa,Ya ]", 5880, 2160, F::Window},
    {"B", 6720, 1080, F::PointLabel},
    {"[ Xb,Yb ]", 5880, 1200, F::Window},
    {"1", 7200, 2040, F::PointLabel},
    {"2", 7440, 1080, F::PointLabel},
    {"3", 8040, 1320, F::PointLabel},
    {"N-1", 9000, 1200, F::PointLabel},
    {"C", 9480, 2040, F::PointLabel},
    {"[ Xc,Yc ]", 9240, 2280, F::Window},
    {"Tb", 10200, 1680, F::Window},
    {"Qb", 9480, 1560, F::Window},
    {"-S2", 6600, 1800, F::Window},
    {"S3", 6960, 1560, F::Window},
    {"S4", 7080, 1320, F::Window},
    {"S5", 7320, 1560, F::Window},
    // Diagram 3: closure on C with coordinate conditions only.
    {"A", 10800, 1920, F::PointLabel},
    {"[ Xa,Ya ]", 10440, 2160, F::Window},
    {"B", 11400, 1080, F::PointLabel},
    {"[ Xb,Yb ]", 10560, 1080, F::Window},
    {"1", 12000, 2040, F::PointLabel},
    {"2", 12480, 1080, F::PointLabel},
    {"N-1", 13320, 1080, F::PointLabel},
    {"C", 13920, 2040, F::PointLabel},
    {"[ Xc,Yc ]", 13560, 2280, F::Window},
    {"-S2", 11400, 1800, F::Window},
    {"S3", 11640, 1560, F::Window},
    {"S4", 11880, 1320, F::Window},
    {"S5", 12120, 1560, F::Window},
    {"-S6", 12360, 1800, F::Window},
};

constexpr LineSpec BORDER_LINES[] = {
    // outer box
    {2160, 3240, 13200, 3240, BORDER_BLUE, 3},
    {2160, 9360, 13200, 9360, BORDER_BLUE, 3},
    {2160, 3240, 2160, 9360, BORDER_BLUE, 3},
    {13200, 3240, 13200, 9360, BORDER_BLUE, 3},
    // entry column | result area
    {5520, 3240, 5520, 9360, BORDER_BLUE, 3},
    // result area
    {5520, 4080, 13200, 4080, BORDER_BLUE, 3},
    {5520, 5760, 13200, 5760, BORDER_BLUE, 3},
    {5520, 7920, 13200, 7920, BORDER_BLUE, 3},
    // entry column
    {2160, 6720, 5520, 6720, BORDER_BLUE, 3},
    {2160, 7560, 5520, 7560, BORDER_BLUE, 3},
};

// A chain diagram: its vertices and the lines between them. A known side or
// direction is red and 3 pixels wide, every other side black and 2 pixels.
struct Vertex {
    const char* name;
    int x, y;
};
struct Edge {
    const char* from;
    const char* to;
    bool known;
};

constexpr Vertex CHAIN1[] = {{"A", 1800, 2160}, {"B", 2400, 1320}, {"1", 2880, 2160}, {"2", 3240, 1320},
                             {"3", 3960, 1560}, {"4", 4320, 2160}, {"C", 5040, 1320}, {"D", 5520, 2040}};
constexpr Edge CHAIN1_EDGES[] = {{"A", "B", true},  {"B", "1", false}, {"A", "1", false}, {"B", "2", false},
                                 {"2", "1", false}, {"2", "3", false}, {"3", "1", false}, {"1", "4", false},
                                 {"3", "4", false}, {"3", "C", false}, {"C", "4", false}, {"4", "D", false},
                                 {"C", "D", true}};

constexpr Vertex CHAIN2[] = {{"A", 6240, 2040}, {"B", 6840, 1320}, {"1", 7320, 2040},   {"2", 7560, 1320},
                             {"3", 8160, 1560}, {"P", 8520, 2040}, {"N-1", 9120, 1440}, {"C", 9480, 2040}};
constexpr Edge CHAIN2_EDGES[] = {{"A", "B", true},   {"A", "1", false},   {"B", "1", false}, {"B", "2", false},
                                 {"2", "1", false},  {"2", "3", false},   {"1", "3", false}, {"3", "P", false},
                                 {"1", "P", false},  {"3", "N-1", false}, {"N-1", "P", false}, {"P", "C", false},
                                 {"N-1", "C", false}};

constexpr Vertex CHAIN3[] = {{"A", 11040, 2040}, {"B", 11520, 1320}, {"1", 12000, 2040},  {"2", 12480, 1320},
                             {"P", 12960, 2040}, {"N-1", 13440, 1320}, {"C", 13920, 2040}};
constexpr Edge CHAIN3_EDGES[] = {{"A", "B", true},   {"A", "1", false},   {"B", "1", false}, {"B", "2", false},
                                 {"2", "1", false},  {"2", "P", false},   {"1", "P", false}, {"2", "N-1", false},
                                 {"N-1", "P", false}, {"P", "C", false},  {"N-1", "C", false}};

// The outside direction at C of diagram 2: a red leg with its arrow head, and
// the green mark of the orientation angle.
constexpr LineSpec CHAIN2_DIRECTION[] = {
    {9480, 2040, 10200, 1800, RED, 3},
    {9960, 1800, 10200, 1800, RED, 1},
    {10200, 1800, 10080, 1920, RED, 1},
    {9360, 1800, 9720, 1920, GREEN, 2},
};

template <std::size_t V, std::size_t E>
void AddChain(std::vector<LineSpec>& out, const Vertex (&vertices)[V], const Edge (&edges)[E])
{
    auto find = [&vertices](const char* name) -> const Vertex& {
        for (const Vertex& v : vertices)
            if (std::strcmp(v.name, name) == 0) return v;
        throw std::logic_error("diagram vertex missing");
    };
    for (const Edge& e : edges) {
        const Vertex& a = find(e.from);
        const Vertex& b = find(e.to);
        out.push_back({a.x, a.y, b.x, b.y, e.known ? RED : BLACK, e.known ? 3 : 2});
    }
}

const std::vector<LineSpec>& DiagramLineTable()
{
    static const std::vector<LineSpec> lines = [] {
        std::vector<LineSpec> out;
        AddChain(out, CHAIN1, CHAIN1_EDGES);
        AddChain(out, CHAIN2, CHAIN2_EDGES);
        out.insert(out.end(), std::begin(CHAIN2_DIRECTION), std::end(CHAIN2_DIRECTION));
        AddChain(out, CHAIN3, CHAIN3_EDGES);
        return out;
    }();
    return lines;
}

}  // namespace

std::span<const ButtonSpec> Buttons() { return BUTTONS; }
std::span<const FieldSpec> Fields() { return FIELDS; }
std::span<const LabelSpec> FieldCaptions() { return FIELD_CAPTIONS; }
std::span<const LabelSpec> Headings() { return HEADINGS; }
std::span<const LabelSpec> DiagramLabels() { return DIAGRAM_LABELS; }
std::span<const LineSpec> BorderLines() { return BORDER_LINES; }
std::span<const LineSpec> DiagramLines() { return DiagramLineTable(); }

}  // namespace form
