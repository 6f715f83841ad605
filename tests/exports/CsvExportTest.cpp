// The CSV read back by python3's csv module: the same names and numbers, and
// names that look like formulas kept as text.
#include <gtest/gtest.h>

#include "ExportFixtures.h"
#include "files/CsvExport.h"
#include "text/DisplayFormat.h"

namespace {

using namespace exports;

// Prints every row as its fields in hex, one row a line; a BOM in the first
// field would show as efbbbf.
const char* CSV_READER = R"(
import csv, sys
with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:
    for row in csv.reader(f):
        print(' '.join(field.encode('utf-8').hex() for field in row))
)";

std::vector<std::vector<std::string>> ReadBack(const TempFolder& folder, const std::string& bytes)
{
    int status = -1;
    std::string out = RunPython(folder, CSV_READER, folder.Write("points.csv", bytes), &status);
    EXPECT_EQ(status, 0) << out;
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Lines(out)) {
        std::vector<std::string> row;
        for (const std::string& hex : Words(line)) row.push_back(FromHex(hex));
        rows.push_back(row);
    }
    return rows;
}

TEST(CsvExport, ReadsBackToTheSameNamesAndNumbers)
{
    chain::ChainSpec spec;
    spec.triangles = 9;
    spec.closing = chain::Closing::ExternalAzimuth;
    spec.noiseMm = 3;
    chain::GeneratedChain g = chain::GenerateChain(spec);
    ListedRun r = RunAndList(Renamed(g.answers, "P3", "导线点三"));
    ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;

    ExportOutcome csv = CsvExport(r.listing);
    ASSERT_TRUE(csv.ok()) << csv.refusal;
    EXPECT_EQ(csv.bytes.substr(0, 3), "\xEF\xBB\xBF");

    TempFolder folder;
    auto rows = ReadBack(folder, csv.bytes);
    ASSERT_EQ(rows.size(), r.listing.points.size() + 1);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"点名", "X", "Y"}));
    for (std::size_t i = 0; i < r.listing.points.size(); ++i) {
        const ListedPoint& p = r.listing.points[i];
        ASSERT_EQ(rows[i + 1].size(), 3u);
        EXPECT_EQ(rows[i + 1][0], p.name);
        EXPECT_EQ(rows[i + 1][1], FormatFixed(p.X, 3));
        EXPECT_EQ(rows[i + 1][2], FormatFixed(p.Y, 3));
        EXPECT_NEAR(std::stod(rows[i + 1][1]), p.X, 0.0005);
        EXPECT_NEAR(std::stod(rows[i + 1][2]), p.Y, 0.0005);
    }
    EXPECT_EQ(rows[4][0], "导线点三");
}

TEST(CsvExport, HostileNamesStayText)
{
    ChainListing l;
    const std::vector<std::string> names = {"=1+2", "+x", "-x", "@x", "\tx", "a,b", "say \"hi\"", "two\nlines",
                                            "cr\r\nlf", "=HYPERLINK(\"http://x\",\"y\")", " =1", "x=1", ""};
    for (std::size_t i = 0; i < names.size(); ++i)
        l.points.push_back({names[i], 1000.0 + static_cast<double>(i), -2000.5, false});
    ExportOutcome csv = CsvExport(l);
    ASSERT_TRUE(csv.ok()) << csv.refusal;

    TempFolder folder;
    auto rows = ReadBack(folder, csv.bytes);
    ASSERT_EQ(rows.size(), names.size() + 1);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& n = names[i];
        const bool formula = !n.empty() && std::string("=+-@\t").find(n[0]) != std::string::npos;
        ASSERT_EQ(rows[i + 1].size(), 3u) << n;
        EXPECT_EQ(rows[i + 1][0], formula ? "'" + n : n);
        EXPECT_EQ(rows[i + 1][1], FormatFixed(1000.0 + static_cast<double>(i), 3));
        EXPECT_EQ(rows[i + 1][2], "-2000.500");
    }
}

TEST(CsvExport, RefusesANameThatIsNotUtf8)
{
    ChainListing l;
    l.points.push_back({"B", 1, 2, true});
    l.points.push_back({"P\xB5\xE3", 3, 4, false});  // GBK bytes of 点
    ExportOutcome csv = CsvExport(l);
    EXPECT_FALSE(csv.ok());
    EXPECT_TRUE(csv.bytes.empty());
    EXPECT_NE(csv.refusal.find("P\\xB5\\xE3"), std::string::npos) << csv.refusal;
}

}  // namespace
