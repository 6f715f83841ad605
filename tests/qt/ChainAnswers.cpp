#include "ChainAnswers.h"

#include <cmath>
#include <cstdio>

namespace {

struct Point {
    double x, y;
};

double Distance2(Point a, Point b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); }

std::string Number(double v)
{
    if (std::fabs(v) < 1e-9) return "0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10f", v);
    std::string s = buffer;
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

std::vector<std::string> ChainAnswers(const ChainOptions& o)
{
    const int n = o.triangles;
    // stations[0] = A, stations[k + 1] = route station k (station 0 = B)
    std::vector<Point> st{{0, 0}, {0, o.side}};
    while (static_cast<int>(st.size()) < n + 3) {
        const Point a = st[st.size() - 2], b = st.back();
        const double h = std::sqrt(3.0) / 2, dx = b.x - a.x, dy = b.y - a.y;
        const Point m{(a.x + b.x) / 2, (a.y + b.y) / 2};
        Point p{m.x - dy * h, m.y + dx * h}, q{m.x + dy * h, m.y - dx * h};
        bool takeP = st.size() >= 3 ? Distance2(p, st[st.size() - 3]) > Distance2(q, st[st.size() - 3]) : p.x < q.x;
        st.push_back(takeP ? p : q);
    }
    auto station = [&st](int k) { return st[static_cast<std::size_t>(k + 1)]; };

    std::vector<std::string> out{std::to_string(n)};
    auto confirmed = [&out](const std::string& value) {
        out.push_back(value);
        out.push_back("");  // Enter: the value is right
    };
    const Point C = o.withD ? station(n - 1) : station(n);
    const Point D = o.withD ? station(n) : Point{0, 0};
    for (double v : {station(-1).x, station(-1).y, station(0).x, station(0).y, C.x, C.y, D.x, D.y})
        confirmed(Number(v));
    if (!o.withD) {
        confirmed("0");  // no external azimuth
        confirmed("0");  // no orientation angle
    }
    const int last = o.withD ? 2 * n : 2 * n + 1;
    for (int i = 2; i <= last; ++i) {
        double value = o.side;
        if (i % 2 == 0) {
            // the cross side is negative when it lies right of the route leg
            const int k = i / 2;
            const Point s = station(k - 1), e = station(k), off = station(k - 2);
            const bool right = (off.x - s.x) * -(e.y - s.y) + (off.y - s.y) * (e.x - s.x) > 0;
            if (right) value = -value;
        }
        confirmed(Number(value));
    }
    static const char* const WIDE[] = {"北", "东", "南", "西", "中", "甲", "乙", "丙", "丁"};
    const int names = o.withD ? n : n + 1;  // B, the unknown points, C
    for (int k = 0; k < names; ++k) {
        if (o.wideNames)
            confirmed(std::string(WIDE[k % 9]) + WIDE[(k / 9) % 9] + WIDE[(k / 81) % 9]);
        else
            confirmed("P" + std::to_string(k));
    }
    const int shown = o.withD ? n : n + 1;  // display prompts, one per point
    for (int k = 0; k < shown; ++k) out.push_back("");
    return out;
}
