// The .dat of surveying CAD packages read back in GBK by python3's codecs,
// and the names the format cannot hold.
#include <gtest/gtest.h>

#include "ExportFixtures.h"
#include "files/DatExport.h"
#include "text/DisplayFormat.h"

namespace {

using namespace exports;

// Decodes the file strictly as GBK and prints every line's five fields in hex.
const char* DAT_READER = R"(
import codecs, sys
with codecs.open(sys.argv[1], 'r', encoding='gbk', errors='strict') as f:
    text = f.read()
assert text.endswith('\r\n'), 'last line without CR LF'
for line in text[:-2].split('\r\n'):
    fields = line.split(',')
    assert len(fields) == 5, line
    print(' '.join(field.encode('utf-8').hex() for field in fields))
)";

TEST(DatExport, ReadsBackInGbkToTheSameNamesAndNumbers)
{
    chain::ChainSpec spec;
    spec.triangles = 8;
    spec.closing = chain::Closing::PointD;
    spec.noiseMm = 2;
    chain::GeneratedChain g = chain::GenerateChain(spec);
    std::vector<std::string> answers = Renamed(g.answers, "B", "甲");
    answers = Renamed(answers, "C", "测站C");
    answers = Renamed(answers, "P" + std::to_string(g.unknownPoints.front()), "导线点 1号");
    ListedRun r = RunAndList(answers);
    ASSERT_EQ(r.outcome.kind, RunOutcome::Completed) << r.outcome.reason;

    ExportOutcome dat = DatExport(r.listing);
    ASSERT_TRUE(dat.ok()) << dat.refusal;
    EXPECT_NE(dat.bytes.find("\xBC\xD7,,"), std::string::npos);  // 甲 in GBK
    EXPECT_EQ(dat.bytes.find("\xEF\xBB\xBF"), std::string::npos);

    TempFolder folder;
    int status = -1;
    std::string out = RunPython(folder, DAT_READER, folder.Write("points.dat", dat.bytes), &status);
    ASSERT_EQ(status, 0) << out;
    std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), r.listing.points.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ListedPoint& p = r.listing.points[i];
        std::vector<std::string> f = Words(lines[i]);
        ASSERT_EQ(f.size(), 5u);
        EXPECT_EQ(FromHex(f[0]), p.name);
        EXPECT_EQ(FromHex(f[1]), "");                    // code
        EXPECT_EQ(FromHex(f[2]), FormatFixed(p.Y, 3));  // easting first
        EXPECT_EQ(FromHex(f[3]), FormatFixed(p.X, 3));
        EXPECT_EQ(std::stod(FromHex(f[4])), 0.0);
    }
    EXPECT_EQ(FromHex(Words(lines[0])[0]), "甲");
}

TEST(DatExport, RefusesNamesTheFormatCannotHoldNamingThePoint)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"P,1", "逗号"}, {"P\n1", "换行"}, {"P\r1", "换行"}, {"P😀", "GBK"}, {"P\xFF", "UTF-8"}};
    for (const auto& [name, reason] : cases) {
        ChainListing l;
        l.points.push_back({"B", 1, 2, true});
        l.points.push_back({name, 3, 4, false});
        ExportOutcome dat = DatExport(l);
        EXPECT_FALSE(dat.ok()) << name;
        EXPECT_TRUE(dat.bytes.empty());
        EXPECT_NE(dat.refusal.find(reason), std::string::npos) << dat.refusal;
        EXPECT_NE(dat.refusal.find("“P"), std::string::npos) << dat.refusal;  // the point is named
    }
}

}  // namespace
