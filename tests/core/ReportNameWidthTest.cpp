// The list of adjusted points in the printed report: a name starts at column
// 24 and " X=" at column 29, so a name of up to five columns (a full-width
// character counts two) keeps its coordinates on its line, and a wider one
// pushes them to the next line, where " X=" starts at column 29 again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Dialogue.h"
#include "display/ReportComposer.h"

namespace {

std::string Spaces(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

// The report lines after one run of the chain with the names B, unknown
// points and C given in order.
std::vector<std::string> ReportWithNames(const EquilateralChain& chain, const std::vector<std::string>& names,
                                         ProgramState& s)
{
    Answers a;
    a(std::to_string(chain.N)).append(chain.KnownPoints()).append(chain.Sides());
    for (const std::string& name : names) a.confirmed(name);
    a.append(chain.Pacing());
    ScriptedPlatform p(a.lines);
    ReplayRuns(s, p);
    EXPECT_EQ(Events(p.Transcript(), "END"), std::vector<std::string>{"completed"});
    return LayoutReportAsText(ComposeReport(s));
}

// " X= <x>" at column 29 and " Y= <y>" at column 46 of a line that has
// `used` columns before column 29.
std::string Coordinates(const ProgramState& s, int i, int used)
{
    const std::string x = " X= " + FormatFixed(s.LastRun->result.PointX[static_cast<std::size_t>(i)], 3);
    const std::string y = " Y= " + FormatFixed(s.LastRun->result.PointY[static_cast<std::size_t>(i)], 3);
    return Spaces(28 - used) + x + Spaces(45 - 28 - static_cast<int>(x.size())) + y;
}

bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ReportNameWidth, FiveColumnsStayOnTheLineSixMoveTheCoordinatesDown)
{
    // B, points 1 to 3, C: 5, 5, 4, 6 and 6 columns
    EquilateralChain chain({-1, 1, -1, 1}, Closing::CoordinatesOnly);
    const std::vector<std::string> names = {"测点1", "P1234", "测点", "测点12", "ABCDEF"};
    ProgramState s;
    const std::vector<std::string> lines = ReportWithNames(chain, names, s);

    EXPECT_TRUE(Has(lines, Spaces(23) + "测点1" + Coordinates(s, 0, 28))) << "B, a name of five columns";
    EXPECT_TRUE(Has(lines, Spaces(23) + "P1234" + Coordinates(s, 1, 28))) << "five half-width characters";
    EXPECT_TRUE(Has(lines, Spaces(23) + "测点" + Coordinates(s, 2, 27))) << "four columns";
    for (int i : {3, 4}) {
        const auto name = std::find(lines.begin(), lines.end(), Spaces(23) + names[static_cast<std::size_t>(i)]);
        ASSERT_NE(name, lines.end()) << names[static_cast<std::size_t>(i)] << ": six columns, a line of its own";
        ASSERT_NE(name + 1, lines.end());
        EXPECT_EQ(*(name + 1), Coordinates(s, i, 0));
    }
}

}  // namespace
