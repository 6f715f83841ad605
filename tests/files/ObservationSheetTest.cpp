// The observation table's rows, values and blocks without a window: which
// rows a chain has and which points each side joins (worked by hand from the
// route signs), the record a sheet gives back, a pasted block, and a journal
// holding a value the rules refuse read back whole.
#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "files/Journal.h"
#include "files/ObservationSheet.h"
#include "files/SheetCheck.h"
#include "files/SheetPaste.h"

namespace {

ObservationRecord Lines(ObservationRecord record, void (*set)(ObservationRecord&))
{
    set(record);
    return record;
}

std::string Labels(const ObservationSheet& sheet, SheetGroup group)
{
    std::string out;
    for (const SheetRow& row : sheet.Rows()) {
        if (row.group != group) continue;
        if (!out.empty()) out += "|";
        out += row.label + (row.ends.empty() ? "" : " " + row.ends) + (row.routeSide ? "*" : "");
    }
    return out;
}

TEST(ObservationSheet, TheRowsOfAChainAndThePointsOfEachSide)
{
    // Worked from the route: a station advances where a sign differs from the
    // one before and pivots where it is the same; side 2i joins the apex of
    // triangle i and point i, side 2i+1 the station of leg i and point i.
    const struct {
        const char* why;
        ObservationSheet sheet;
        const char* closing;  // the rows of Tb, Qb
        const char* sides;    // * : 左/右 chosen with the side
        const char* names;
        const char* precision = "先验测边中误差|测距固定误差|测距比例误差|定向角中误差|等级";
        const char* reduction = "边长类型|测距加常数|测距乘常数|椭球|中央子午线|Y加常数|投影面高程|高程异常";
    } rows[] = {
        {"four triangles, external azimuth: signs + + + -, pivots on B then an advance",
         ObservationSheet(AzimuthChain()), "Tb|Qb",
         "S2 A — P1*|S3 B — P1|S4 P1 — P2*|S5 B — P2|S6 P2 — P3*|S7 B — P3|S8 B — C*|S9 P3 — C",
         "点名 B|点名 1|点名 2|点名 3|点名 C"},
        {"five triangles closing on C and D: signs - + + - -, C the station of the last leg, a point after it",
         ObservationSheet(PointDChain()), "",
         "S2 A — P1*|S3 B — P1|S4 B — P2*|S5 P1 — P2|S6 P2 — C*|S7 P1 — C|S8 P1 — Q*|S9 C — Q|S10 Q — D*",
         "点名 B|点名 1|点名 2|点名 C|点名 C后", "先验测边中误差|测距固定误差|测距比例误差|等级"},
        {"the same with S10 turned to 左: an advance, K = 3, C keeps its name, point 3 not yet named",
         [] {
             ObservationSheet sheet(PointDChain());
             sheet.SetRightOfRoute(10, false);
             return sheet;
         }(),
         "", "S2 A — P1*|S3 B — P1|S4 B — P2*|S5 P1 — P2|S6 P2 — (3)*|S7 P1 — (3)|S8 P1 — C*|S9 (3) — C|S10 (3) — D*",
         "点名 B|点名 1|点名 2|点名 3|点名 C", "先验测边中误差|测距固定误差|测距比例误差|等级"},
        {"slope distances weighted by a + b D: a standard error for each side, the heights of every mark by its "
         "name, the instrument and reflector heights of each side; with D no 定向角中误差",
         [] {
             ObservationRecord record = PointDChain();
             record.edmAMm = "3", record.reduction.sideKind = "斜距";
             return ObservationSheet(record);
         }(),
         "", "S2 A — P1*|S3 B — P1|S4 B — P2*|S5 P1 — P2|S6 P2 — C*|S7 P1 — C|S8 P1 — Q*|S9 C — Q|S10 Q — D*",
         "点名 B|点名 1|点名 2|点名 C|点名 C后",
         "先验测边中误差|测距固定误差|测距比例误差|S2 中误差 A — P1|S3 中误差 B — P1|S4 中误差 B — P2|S5 中误差 P1 — P2|"
         "S6 中误差 P2 — C|S7 中误差 P1 — C|S8 中误差 P1 — Q|S9 中误差 C — Q|S10 中误差 Q — D|等级",
         "边长类型|测距加常数|测距乘常数|椭球|中央子午线|Y加常数|投影面高程|高程异常|高程 A A|高程 B B|高程 1 P1|"
         "高程 2 P2|高程 C C|高程 C后 Q|高程 D D|S2 仪器高 A — P1|S2 镜高 A — P1|S3 仪器高 B — P1|S3 镜高 B — P1|"
         "S4 仪器高 B — P2|S4 镜高 B — P2|S5 仪器高 P1 — P2|S5 镜高 P1 — P2|S6 仪器高 P2 — C|S6 镜高 P2 — C|"
         "S7 仪器高 P1 — C|S7 镜高 P1 — C|S8 仪器高 P1 — Q|S8 镜高 P1 — Q|S9 仪器高 C — Q|S9 镜高 C — Q|"
         "S10 仪器高 Q — D|S10 镜高 Q — D"},
        {"N out of range: no sides, no names",
         ObservationSheet(With(AzimuthChain(), {ValueKind::TriangleCount, 0}, "16383")), "Tb|Qb", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const ObservationSheet& sheet = row.sheet;
        EXPECT_EQ(Labels(sheet, SheetGroup::Project), "工程名称|备注 1");
        EXPECT_EQ(Labels(sheet, SheetGroup::Precision), row.precision);
        EXPECT_EQ(Labels(sheet, SheetGroup::Reduction), row.reduction);
        EXPECT_EQ(Labels(sheet, SheetGroup::Closing), row.closing);
        EXPECT_EQ(Labels(sheet, SheetGroup::Sides), row.sides);
        EXPECT_EQ(Labels(sheet, SheetGroup::Names), row.names);
    }
}

TEST(ObservationSheet, ARecordComesBackAsItWasGiven)
{
    for (ObservationRecord record : {AzimuthChain(), PointDChain()}) {
        record.project = "某某线";
        record.notes = {"边长已加气象改正", "复测"};
        record.sigma0Mm = "2";
        EXPECT_TRUE(CheckSheet(ObservationSheet(record)).ready);
        record.reduction.sideKind = "斜距", record.reduction.centralMeridian = "117";
        record.reduction.heights = {{"A", "512.3"}, {"1", "498"}};
        record.reduction.sideHeights = {{5, "1.5", "1.6"}};
        const ObservationRecord back = ObservationSheet(record).Record();
        EXPECT_EQ(WriteObservationFile(back), WriteObservationFile(record));
        // the distance meter's accuracy and the standard errors come back too
        ObservationRecord weighted = record;
        weighted.sigma0Mm.clear();
        weighted.edmAMm = "3", weighted.edmBPpm = "2";
        if (record.values[8].text == "0") weighted.orientationSigmaSec = "1.5";  // Yd zero: no D, an orientation angle
        weighted.sideSigmaMm = {{5, "3.2"}};
        EXPECT_EQ(WriteObservationFile(ObservationSheet(weighted).Record()), WriteObservationFile(weighted));
        EXPECT_TRUE(back.complete);
        // complete, but the reduction lacks a height: marked at the first mark whose side needs it
        const SheetCheck check = CheckSheet(ObservationSheet(record));
        const std::string* reason = check.ReasonFor(HeightSlot("B"));
        ASSERT_NE(reason, nullptr);
        EXPECT_EQ(*reason, "缺少「高程 B」：边 S3 归算到高斯平面要用它的高程");
    }
    // an incomplete one: the names not yet given are not given, a side left empty is missing
    ObservationRecord part = AzimuthChain();
    part.values.resize(14);  // N .. S4
    part.complete = false;
    ObservationSheet sheet(part);
    EXPECT_EQ(WriteObservationFile(sheet.Record()), WriteObservationFile(part));
    sheet.SetText({SlotKind::NameB, 0}, "B");
    sheet.SetText({SlotKind::Side, 3}, "");
    const SheetCheck check = CheckSheet(sheet);
    EXPECT_FALSE(check.ready);
    ASSERT_EQ(check.missing.size(), 6u);  // S3, S5 .. S9
    EXPECT_EQ(SlotLabel(check.missing.front()), "S3");
    const ObservationRecord record = sheet.Record();
    EXPECT_EQ(record.values.size(), 14u);  // S3 not given; 点名 B given, the names after it not
    EXPECT_EQ(record.values.back().text, "B");
    EXPECT_FALSE(record.complete);
}

TEST(ObservationSheet, AValueIsRefusedWithTheFileReadersReasonAtTheSameKey)
{
    const struct {
        const char* why;
        ObservationRecord record;
    } rows[] = {
        {"not a number", With(AzimuthChain(), {ValueKind::Coordinate, 1}, "1000,5")},
        {"N out of range", With(AzimuthChain(), {ValueKind::TriangleCount, 0}, "0.4")},
        {"A = B", With(With(AzimuthChain(), {ValueKind::Coordinate, 2}, "1000"), {ValueKind::Coordinate, 3}, "1000")},
        {"one coordinate of D", With(AzimuthChain(), {ValueKind::Coordinate, 6}, "5")},
        {"61 seconds", With(AzimuthChain(), {ValueKind::ExternalAzimuth, 0}, "55.0061")},
        {"an orientation angle without azimuth", With(AzimuthChain(), {ValueKind::ExternalAzimuth, 0}, "0")},
        {"a triangle that cannot be formed", With(AzimuthChain(), {ValueKind::Side, 5}, "300")},
        {"D with signs that cannot close", With(PointDChain(), {ValueKind::Side, 6}, "-100")},
        // the lines of the chain as a whole, in their own rows
        {"a negative constant of the distance meter", Lines(AzimuthChain(), [](ObservationRecord& r) {
             r.edmAMm = "-1", r.edmBPpm = "2", r.orientationSigmaSec = "1";
         })},
        {"a without b", Lines(AzimuthChain(), [](ObservationRecord& r) { r.edmAMm = "3"; })},
        {"one standard error for all sides beside a and b", Lines(AzimuthChain(), [](ObservationRecord& r) {
             r.sigma0Mm = "2", r.edmAMm = "3", r.edmBPpm = "2", r.orientationSigmaSec = "1";
         })},
        {"a side's standard error of zero", Lines(AzimuthChain(), [](ObservationRecord& r) {
             r.edmAMm = "3", r.edmBPpm = "2", r.orientationSigmaSec = "1", r.sideSigmaMm = {{5, "0"}};
         })},
        {"no such kind of side", Lines(AzimuthChain(), [](ObservationRecord& r) { r.reduction.sideKind = "倾斜"; })},
        {"a central meridian with 61 minutes", Lines(AzimuthChain(), [](ObservationRecord& r) {
             r.reduction.sideKind = "平距", r.reduction.centralMeridian = "117.61";
         })},
        {"a height that is not a number", Lines(AzimuthChain(), [](ObservationRecord& r) {
             r.reduction.heights = {{"C", "abc"}};
         })},
        {"an instrument height with horizontal distances", Lines(AzimuthChain(), [](ObservationRecord& r) {
             r.reduction.sideKind = "平距", r.reduction.centralMeridian = "117", r.reduction.sideHeights = {{5, "1.5", ""}};
         })},
        {"a false easting without the zone number the coordinates carry", Lines(PointDChain(), [](ObservationRecord& r) {
             r.reduction.centralMeridian = "117", r.reduction.falseEasting = "38500000";
         })},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const std::string file = WriteObservationFile(row.record);
        const FileError error = ErrorOf(file);
        // the key refused: the error's, else that of the line it names
        std::string key = error.key;
        if (key.empty() && error.line > 0) {
            std::size_t at = 0;
            for (int line = 1; line < error.line; ++line) at = file.find('\n', at) + 1;
            key = file.substr(at, file.find(" = ", at) - at);
        }
        const ObservationSheet sheet(row.record);
        const SheetCheck check = CheckSheet(sheet);
        EXPECT_FALSE(check.ready);
        const std::string* reason = nullptr;
        for (const SheetRow& r : sheet.Rows())
            if (r.label == key) reason = check.ReasonFor(r.slot);
        ASSERT_NE(reason, nullptr) << key << ": " << error.message;
        const std::size_t colon = error.message.find("：");
        const std::string tail = colon == std::string::npos ? error.message : error.message.substr(colon + std::string("：").size());
        EXPECT_TRUE(*reason == tail || *reason == error.message) << *reason << "\n" << error.message;
    }
}

TEST(ObservationSheet, ABlockPastedFromASpreadsheet)
{
    const struct {
        const char* why;
        Slot at;
        SheetColumn column;
        const char* block;
        std::vector<std::pair<int, const char*>> sides;  // side number, the record's text after
        int cells, leftOver;
    } rows[] = {
        {"lengths and their sides, Windows line ends", {SlotKind::Side, 2}, SheetColumn::Value,
         "101\t右\r\n102\r\n103\t左\r\n", {{2, "-101"}, {3, "102"}, {4, "103"}, {5, "100"}}, 5, 0},
        {"a length without its side keeps the side", {SlotKind::Side, 8}, SheetColumn::Value, "99.5\n",
         {{8, "-99.5"}}, 1, 0},
        {"a signed length decides the side", {SlotKind::Side, 2}, SheetColumn::Value, "-100.5\t\n",
         {{2, "-100.5"}}, 1, 0},
        {"the 左/右 column alone", {SlotKind::Side, 6}, SheetColumn::RouteSide, "右\n\n右\n",
         {{6, "-100"}, {7, "100"}, {8, "-100"}}, 2, 0},
        {"more lines than rows: the rest is named", {SlotKind::NameC, 0}, SheetColumn::Value, "基2\n基3\n基4",
         {{9, "100"}}, 1, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const ObservationSheet sheet(AzimuthChain());
        const std::vector<SheetRow> sheetRows = sheet.Rows();
        int first = 0;
        while (!(sheetRows[static_cast<std::size_t>(first)].slot == row.at)) ++first;
        const PastedBlock pasted = PasteBlock(sheet, first, row.column, row.block);
        for (const auto& [side, text] : row.sides) EXPECT_EQ(pasted.sheet.RecordText({SlotKind::Side, side}), text) << side;
        EXPECT_EQ(pasted.cells, row.cells);
        EXPECT_EQ(pasted.rowsLeftOver, row.leftOver);
    }
}

TEST(ObservationSheet, AJournalWithAValueTheRulesRefuseReadsBackWhole)
{
    // as the table's journal holds it: S5 not a number, the values after it kept
    ObservationRecord record = With(AzimuthChain(), {ValueKind::Side, 5}, "abc");
    record.values.erase(record.values.begin() + 16);  // S7 left empty
    record.project = "某某线";
    record.reduction.sideKind = "平距", record.reduction.centralMeridian = "113.30";
    record.reduction.heights = {{"C", "20"}, {"2", "35.5"}};
    record.edmAMm = "3", record.edmBPpm = "2", record.orientationSigmaSec = "1.5", record.sideSigmaMm = {{5, "3.2"}};
    record.grade = "四等";
    // as Journal::Replace writes it: the names numbered, the values not giving K
    const std::string journal =
        WriteObservationHeader(record) + WriteValueLines(record, 0, RecordUnknownPointCount(record));
    ASSERT_NE(journal.find("点名 4 = C\n"), std::string::npos) << journal;
    auto read = ReadJournal(journal);
    ASSERT_TRUE(std::holds_alternative<ObservationRecord>(read)) << FormatFileError(std::get<FileError>(read));
    const ObservationRecord& back = std::get<ObservationRecord>(read);
    EXPECT_FALSE(back.complete);
    EXPECT_EQ(back.project, "某某线");
    EXPECT_TRUE(back.reduction == record.reduction);
    EXPECT_EQ(back.edmAMm, "3");
    EXPECT_EQ(back.edmBPpm, "2");
    EXPECT_EQ(back.orientationSigmaSec, "1.5");
    EXPECT_EQ(back.sideSigmaMm, record.sideSigmaMm);
    EXPECT_EQ(back.grade, "四等");
    ASSERT_EQ(back.values.size(), record.values.size());
    for (std::size_t i = 0; i < back.values.size(); ++i) {
        EXPECT_EQ(back.values[i].key, record.values[i].key) << i;
        EXPECT_EQ(back.values[i].text, record.values[i].text) << i;
    }
    // a line this program never writes: the reader's own reason stands
    auto bad = ReadJournal(journal + "S9 = abc\nFoo = 1\n");
    ASSERT_TRUE(std::holds_alternative<FileError>(bad));
}

}  // namespace
