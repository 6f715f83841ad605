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
    } rows[] = {
        {"four triangles, external azimuth: signs + + + -, pivots on B then an advance",
         ObservationSheet(AzimuthChain()), "Tb|Qb",
         "S2 A — P1*|S3 B — P1|S4 P1 — P2*|S5 B — P2|S6 P2 — P3*|S7 B — P3|S8 B — C*|S9 P3 — C",
         "点名 B|点名 1|点名 2|点名 3|点名 C"},
        {"five triangles closing on C and D: signs - + + - -, C the station of the last leg, a point after it",
         ObservationSheet(PointDChain()), "",
         "S2 A — P1*|S3 B — P1|S4 B — P2*|S5 P1 — P2|S6 P2 — C*|S7 P1 — C|S8 P1 — Q*|S9 C — Q|S10 Q — D*",
         "点名 B|点名 1|点名 2|点名 C|点名 C后"},
        {"the same with S10 turned to 左: an advance, K = 3, C keeps its name, point 3 not yet named",
         [] {
             ObservationSheet sheet(PointDChain());
             sheet.SetRightOfRoute(10, false);
             return sheet;
         }(),
         "", "S2 A — P1*|S3 B — P1|S4 B — P2*|S5 P1 — P2|S6 P2 — (3)*|S7 P1 — (3)|S8 P1 — C*|S9 (3) — C|S10 (3) — D*",
         "点名 B|点名 1|点名 2|点名 3|点名 C"},
        {"N out of range: no sides, no names",
         ObservationSheet(With(AzimuthChain(), {ValueKind::TriangleCount, 0}, "16383")), "Tb|Qb", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const ObservationSheet& sheet = row.sheet;
        EXPECT_EQ(Labels(sheet, SheetGroup::Project), "工程名称|备注 1|先验测边中误差");
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
        record.reduction.sideKind = "斜距", record.reduction.centralMeridian = "117";
        record.reduction.heights = {{"A", "512.3"}, {"1", "498"}};
        record.reduction.sideHeights = {{5, "1.5", "1.6"}};
        const ObservationRecord back = ObservationSheet(record).Record();
        EXPECT_EQ(WriteObservationFile(back), WriteObservationFile(record));
        // the distance meter's accuracy and the standard errors come back too
        ObservationRecord weighted = record;
        weighted.sigma0Mm.clear();
        weighted.edmAMm = "3", weighted.edmBPpm = "2", weighted.orientationSigmaSec = "1.5";
        weighted.sideSigmaMm = {{5, "3.2"}};
        EXPECT_EQ(WriteObservationFile(ObservationSheet(weighted).Record()), WriteObservationFile(weighted));
        EXPECT_TRUE(back.complete);
        EXPECT_TRUE(CheckSheet(ObservationSheet(record)).ready);
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
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const FileError error = ErrorOf(WriteObservationFile(row.record));
        const ObservationSheet sheet(row.record);
        const SheetCheck check = CheckSheet(sheet);
        EXPECT_FALSE(check.ready);
        const std::string* reason = nullptr;
        for (const SheetRow& r : sheet.Rows())
            if (r.label == error.key) reason = check.ReasonFor(r.slot);
        ASSERT_NE(reason, nullptr) << error.key << ": " << error.message;
        EXPECT_EQ(error.message.substr(error.message.find("：") + std::string("：").size()), *reason);
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
