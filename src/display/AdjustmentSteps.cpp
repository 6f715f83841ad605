#include "display/AdjustmentSteps.h"

#include <cmath>
#include <cstdio>

#include "core/Linearisations.h"
#include "text/DisplayFormat.h"
#include "text/PackedAngle.h"

namespace {

using Row = std::vector<std::string>;

// k1 of an azimuth condition is of the order 1e-5: six significant digits.
std::string Significant(double value)
{
    if (value == 0) return "0";
    char text[32];
    std::snprintf(text, sizeof text, "%.6e", value);
    return text;
}

std::string Angle(double degrees) { return DegreesToDashedDms(degrees); }

// Whether triangle i (1..N) is shown: all up to the limit, else both ends.
bool Shown(int i, int N)
{
    return N <= STEPS_WHOLE_UP_TO || i <= STEPS_SHOWN_AT_EACH_END || i > N - STEPS_SHOWN_AT_EACH_END;
}

// Side k belongs to triangle k/2 (odd sides to the triangle they open); the
// last route side 2N+1 to the last triangle.
bool SideShown(int k, int N) { return Shown(std::max(1, std::min(N, k / 2)), N); }

std::string Omission(int N, const char* what)
{
    return "（第 " + std::to_string(STEPS_SHOWN_AT_EACH_END + 1) + " 至第 " + std::to_string(N - STEPS_SHOWN_AT_EACH_END) +
           " 个三角形的" + what + "从略。）";
}

FullReportTable Table(Row header)
{
    FullReportTable t;
    t.rightAligned.assign(header.size(), true);
    t.rightAligned[0] = false;
    t.header = std::move(header);
    return t;
}

std::string SideName(const ChainListing& l, int k)
{
    const auto at = static_cast<std::size_t>(k - 1);
    std::string name = "S" + std::to_string(k);
    if (at < l.sides.size()) name += " " + l.sides[at].from + "-" + l.sides[at].to;
    return name;
}

FullReportBlock ApproximateChain(const Linearisation& L, int N)
{
    const ChainResult& r = L.tables;
    FullReportBlock b;
    b.heading = "1. 近似锁：三角形的角（由边长按余弦定理）";
    b.lines = {"cos α = (b² + c² - a²) / (2bc)，α 为边 a 的对角；α_i 对 S(2i+1)，β_i 对 S(2i)，γ_i 对 S(2i-1)；",
               "h_i = S(2i-1)·sin α_i 为三角形 i 在 S(2i) 上的高；角度为 度-分-秒。"};
    b.hasTable = true;
    b.table = Table({"三角形", "S(2i-1) (m)", "S(2i) (m)", "S(2i+1) (m)", "α_i", "β_i", "γ_i", "h_i (m)"});
    for (int i = 1; i <= N; ++i) {
        if (!Shown(i, N)) continue;
        const auto t = static_cast<std::size_t>(i);
        const auto& s = L.at.SideLengths;
        b.table.rows.push_back({std::to_string(i), FormatFixed(s[2 * t - 1], 4), FormatFixed(s[2 * t], 4),
                                FormatFixed(s[2 * t + 1], 4), Angle(r.TriangleAngle1[t]), Angle(r.TriangleAngle2[t]),
                                Angle(r.TriangleAngle3[t]), FormatFixed(r.TriangleTerm[t], 4)});
    }
    if (N > STEPS_WHOLE_UP_TO) b.notes.push_back(Omission(N, "角"));
    return b;
}

FullReportBlock Route(const Linearisation& L, int N)
{
    const ChainResult& r = L.tables;
    FullReportBlock b;
    b.heading = "2. 推算路线：方位角与近似坐标";
    b.lines = {"T_j = T_(j-1) + σ_j·β_j + 180°（σ_j 为偶数边的左右号，左 +1、右 -1），X_j = X_(j-1) + s·cos T_j，Y_j = Y_(j-1) + s·sin T_j；",
               "测站 0 为 B。"};
    b.hasTable = true;
    b.table = Table({"测站", "方位角 T", "X (m)", "Y (m)"});
    for (int j = 0; j <= N; ++j) {
        if (j > 0 && !Shown(j, N)) continue;
        const auto t = static_cast<std::size_t>(j);
        b.table.rows.push_back({std::to_string(j), Angle(r.RouteAzimuths[t]), FormatFixed(r.PointX[t], 4), FormatFixed(r.PointY[t], 4)});
    }
    if (N > STEPS_WHOLE_UP_TO) b.notes.push_back(Omission(N, "测站"));
    return b;
}

FullReportBlock Misclosures(const Linearisation& L, bool azimuth)
{
    FullReportBlock b;
    b.heading = "3. 闭合差 w（计算值 - 已知值）";
    if (L.number == 1)
        b.lines = {"w1 = T推算 - T已知（秒），w2 = X推算 - Xc，w3 = Y推算 - Yc（米），以单精度参与计算（与窗口显示的相同）。"};
    else
        b.lines = {"在 l_i = l + v_i 处线性化：w = f(l_i) - A·v_i，即观测值的闭合差从 l_i 看去的值。"};
    if (!azimuth) b.lines.push_back("没有方位角条件：w1 = 0，第一个联系数为 0。");
    b.hasTable = true;
    b.table = Table({"条件", "w", "单位"});
    b.table.rows = {{"w1 方位角", FormatFixed(L.w[1], 4), "秒"},
                    {"w2 纵坐标", FormatFixed(L.w[2] * 1000, 3), "毫米"},
                    {"w3 横坐标", FormatFixed(L.w[3] * 1000, 3), "毫米"}};
    return b;
}

FullReportBlock Coefficients(const Linearisation& L, const ChainListing& l, int N)
{
    const auto& A = L.tables.ConditionCoefficients;
    const int M = N % 2 == 0 ? N / 2 : (N + 1) / 2;
    FullReportBlock b;
    b.heading = "4. 条件方程 A·v + w = 0 的系数（每个观测值一行）";
    b.lines = {"a：方位角条件（秒/米），b、c：C 点纵、横坐标条件（米/米）；f_x、f_y：测站 M = " + std::to_string(M) +
               " 的纵、横坐标的权函数（米/米）。",
               "a = dT/ds·ρ″，b = dX/ds，c = dY/ds，由各边改正引起的路线转角变化推得；ρ″ = 206265。"};
    b.hasTable = true;
    b.table = Table({"观测值", "a", "b", "c", "f_x", "f_y"});
    for (int k = 2; k <= 2 * N + 1; ++k) {
        if (!SideShown(k, N)) continue;
        const auto c = static_cast<std::size_t>(k);
        b.table.rows.push_back({SideName(l, k), FormatFixed(A[1][c], 4), FormatFixed(A[2][c], 6), FormatFixed(A[3][c], 6),
                                FormatFixed(A[4][c], 6), FormatFixed(A[5][c], 6)});
    }
    const auto q = static_cast<std::size_t>(2 * N + 2);
    if (A[1][q] != 0) b.table.rows.push_back({"定向角 Q", FormatFixed(A[1][q], 4), "", "", "", ""});
    if (N > STEPS_WHOLE_UP_TO) b.notes.push_back(Omission(N, "边"));
    return b;
}

FullReportBlock Normals(const Linearisation& L, bool azimuth)
{
    const Table6& n = L.tables.NormalMatrix;
    FullReportBlock b;
    b.heading = "5. 法方程 N·k + w = 0，N = A·P^-1·A^T";
    if (L.at.InverseWeights.empty())
        b.lines = {"各边等权（P = I），定向角的权为 1（秒²/米²）；[uv] 为 u、v 两行对应系数乘积之和。"};
    else
        b.lines = {"P = diag(p)，p_k = μ0²/σ_k²（μ0 = " + FormatFixed(L.at.sigma0Mm.value_or(0), 2) +
                   " 毫米）；[quv] 为 q·u·v 之和，q_k = 1/p_k 见第 6 步。"};
    if (!azimuth) b.lines.push_back("没有方位角条件：a 行、a 列只在对角线上取 1，使 k1 = 0。");
    b.hasTable = true;
    b.table = Table({"", "a", "b", "c", "f_x", "f_y"});
    const char* names[] = {"", "a", "b", "c", "f_x", "f_y"};
    for (int i = 1; i <= 5; ++i) {
        Row row{names[i]};
        for (int j = 1; j <= 5; ++j) row.push_back(FormatFixed(n[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)], 6));
        b.table.rows.push_back(row);
    }
    b.notes.push_back("联系数 k = -N^-1·w（前三行三列）：");
    for (int j = 1; j <= 3; ++j) b.notes.push_back("  k" + std::to_string(j) + " = " + Significant(L.k[static_cast<std::size_t>(j)]));
    return b;
}

FullReportBlock Corrections(const Linearisation& L, const std::vector<double>& observed, const ChainListing& l, int N)
{
    const auto& A = L.tables.ConditionCoefficients;
    FullReportBlock b;
    b.heading = "6. 改正数 v = P^-1·A^T·k 与平差后边长";
    const bool weighted = !L.at.InverseWeights.empty();
    b.lines = {std::string(weighted ? "v_k = q_k·(a_k·k1 + b_k·k2 + c_k·k3)" : "v_k = a_k·k1 + b_k·k2 + c_k·k3") +
               "；平差值 = 观测值 + v（v 为对观测值的总改正数）。"};
    b.hasTable = true;
    b.table = weighted ? Table({"观测值", "q = 1/p", "观测值 (m)", "v (mm)", "平差值 (m)"})
                       : Table({"观测值", "观测值 (m)", "v (mm)", "平差值 (m)"});
    double vv = 0;
    for (int k = 2; k <= 2 * N + 1; ++k) {
        const auto c = static_cast<std::size_t>(k);
        const double v = L.v[c];
        vv += v * v;
        if (!SideShown(k, N)) continue;
        Row row{SideName(l, k), FormatFixed(observed[c], 4), FormatFixed(v * 1000, 3), FormatFixed(observed[c] + v, 4)};
        if (weighted) row.insert(row.begin() + 1, FormatFixed(InverseWeight(L.at, c), 6));
        b.table.rows.push_back(std::move(row));
    }
    if (N > STEPS_WHOLE_UP_TO) b.notes.push_back(Omission(N, "边"));
    b.notes.push_back("[vv] = " + FormatFixed(vv * 1e6, 4) + " 毫米²");
    const auto q = static_cast<std::size_t>(2 * N + 2);
    if (A[1][q] != 0) b.notes.push_back("定向角的改正数 v_Q = " + FormatFixed(L.vQ, 4) + " 秒");
    return b;
}

FullReportBlock WeightReciprocals(const Linearisation& L, int N)
{
    const int M = N % 2 == 0 ? N / 2 : (N + 1) / 2;
    FullReportBlock b;
    b.heading = "7. 测站 M = " + std::to_string(M) + " 的权倒数";
    b.lines = {"1/p = [ff] - [af]²/[aa] - [bf·1]²/[bb·1] - [cf·2]²/[cc·2]（高斯约化），f 为 f_x 或 f_y。",
               "1/px = " + FormatFixed(L.tables.InvPx.value_or(0), 6) + "，1/py = " + FormatFixed(L.tables.InvPy.value_or(0), 6)};
    return b;
}

}  // namespace

std::vector<FullReportBlock> AdjustmentStepBlocks(const ChainObservations& observations, const ChainListing& listing)
{
    const Linearisations all = FirstAndLastLinearisation(observations);
    std::vector<FullReportBlock> blocks;
    const int N = observations.N;
    FullReportBlock intro;
    intro.heading = "计算过程（条件平差）";
    if (all.shown.empty()) {
        intro.lines = {"这个锁不能平差，没有计算过程。"};
        blocks.push_back(intro);
        return blocks;
    }
    intro.lines = {"条件：" + std::string(all.azimuthCondition ? "方位角、C 点纵坐标、C 点横坐标（3 个）" : "C 点纵、横坐标（2 个）") +
                   "；共线性化 " + std::to_string(all.iterations) + " 次，下面是第一次" +
                   (all.shown.size() > 1 ? "和最后一次。" : "（也是最后一次）。")};
    if (N > STEPS_WHOLE_UP_TO)
        intro.lines.push_back("三角形多于 " + std::to_string(STEPS_WHOLE_UP_TO) + " 个：只列出前 " +
                              std::to_string(STEPS_SHOWN_AT_EACH_END) + " 个和后 " + std::to_string(STEPS_SHOWN_AT_EACH_END) +
                              " 个三角形及其边和测站。");
    blocks.push_back(intro);
    for (const Linearisation& L : all.shown) {
        FullReportBlock title;
        title.heading = L.number == 1 ? "第 1 次线性化（在观测值处）"
                                      : "第 " + std::to_string(L.number) + " 次线性化（最后一次，在上一次的平差值处）";
        blocks.push_back(title);
        blocks.push_back(ApproximateChain(L, N));
        blocks.push_back(Route(L, N));
        blocks.push_back(Misclosures(L, all.azimuthCondition));
        blocks.push_back(Coefficients(L, listing, N));
        blocks.push_back(Normals(L, all.azimuthCondition));
        blocks.push_back(Corrections(L, all.observed, listing, N));
        blocks.push_back(WeightReciprocals(L, N));
    }
    return blocks;
}

FullReport ComposeAdjustmentSteps(const ChainObservations& observations, const ChainListing& listing,
                                  const std::string& date)
{
    FullReport report;
    report.title = (listing.project.empty() ? std::string() : listing.project + " ") + "三边锁平差计算过程";
    report.notes = listing.notes;
    report.date = date;
    report.blocks = AdjustmentStepBlocks(observations, listing);
    report.withDrawing = false;
    return report;
}
