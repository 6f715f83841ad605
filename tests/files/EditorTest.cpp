// What a surveyor's editor does to a file: Windows line ends, a byte order
// mark, comments, blanks, full-width signs, long values on "+ =" lines; and
// the examples of docs/observation-file.md read as it says.
#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "files/DialogueSequence.h"
#include "files/RecordKeys.h"
#include "support/FileProperties.h"

namespace {

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

const std::string kWritten = WriteObservationFile(AzimuthChain());

TEST(Editor, WindowsLineEndsAndAByteOrderMarkReadTheSame)
{
    std::string windows = "\xEF\xBB\xBF" + Replace(kWritten, "\n", "\r\n");
    EXPECT_EQ(RecordDifference(ReadOrFail(windows), AzimuthChain()), "");
    // a last line without its line end still counts
    EXPECT_EQ(RecordDifference(ReadOrFail(kWritten.substr(0, kWritten.size() - 1)), AzimuthChain()), "");
    // the writer writes plain LF and no byte order mark
    EXPECT_EQ(kWritten.find('\r'), std::string::npos);
    EXPECT_EQ(kWritten.rfind("trilat-observations 1\n", 0), 0u);
}

TEST(Editor, CommentsBlanksAndFullWidthSignsAreTheSurveyorsOwn)
{
    std::string edited = Replace(kWritten, "Xa = 1000\n", "\n  # A: 基1\n\tXa\t=  1000   # 1985 年成果\n\n");
    edited = Replace(edited, "Yb = 1100", "yb＝1100");
    edited = Replace(edited, "点名 B = B", "点名\xE3\x80\x80" "b = B");
    edited = Replace(edited, "S3 = 100", "s3 = 100");
    EXPECT_EQ(RecordDifference(ReadOrFail(edited), AzimuthChain()), "");
    // a number sign inside a value must be escaped; unescaped it starts a comment
    ObservationRecord read = ReadOrFail(Replace(kWritten, "点名 1 = P1", "点名 1 = P1 # 17"));
    EXPECT_EQ(Find(read, {ValueKind::PointName, 1})->text, "P1");
    read = ReadOrFail(Replace(kWritten, "点名 1 = P1", "点名 1 = P1\\#17 = 2"));
    EXPECT_EQ(Find(read, {ValueKind::PointName, 1})->text, "P1#17 = 2");
}

TEST(Editor, ProjectAndNotesMayStandAnywhereAndKeepTheirOrder)
{
    std::string edited = Replace(kWritten, "S5 = 100\n", "备注 = 第二\nS5 = 100\n工程名称 = 线\n");
    edited = Replace(edited, "N = 4\n", "备注 = 第一\nN = 4\n");
    ObservationRecord read = ReadOrFail(edited + "备注 = 第三\n");
    EXPECT_EQ(read.project, "线");
    EXPECT_EQ(read.notes, (std::vector<std::string>{"第一", "第二", "第三"}));
    EXPECT_EQ(RecordDifference(ReadOrFail(WriteObservationFile(read)), read), "");
}

TEST(Editor, EscapesHoldWhatAPlainLineCannot)
{
    // the examples of docs/observation-file.md, as notes
    ObservationRecord read = ReadOrFail(FileOf({"备注 = \\s\\s新1          # two blanks before", "备注 = 5\\#",
                                                "备注 = 旧\\\\新", "备注 = \\xC3\\x28", "备注 =",
                                                "备注 = a\\tb\\nc\\rd\\s", "N = 1", "未完成"}));
    EXPECT_EQ(read.notes, (std::vector<std::string>{"  新1", "5#", "旧\\新", "\xC3\x28", "", "a\tb\nc\rd "}));
    ObservationRecord blanks = AzimuthChain();
    blanks.notes = {" a  b\t"};
    std::string written = WriteObservationFile(blanks);
    EXPECT_NE(written.find("备注 = \\sa  b\\t\n"), std::string::npos) << written;
}

TEST(Editor, LongValuesGoOnContinuationLines)
{
    ObservationRecord read = ReadOrFail(FileOf({"备注 = 第一部分", "# between", "+ = 和第二部分", "N = 4", "+ = .5",
                                                "未完成"}));
    EXPECT_EQ(read.notes, std::vector<std::string>{"第一部分和第二部分"});
    EXPECT_EQ(read.values.at(0).text, "4.5");

    ObservationRecord longName = AzimuthChain();
    std::string name;
    for (int i = 0; i < 700; ++i) name += "基 ";  // 2800 bytes, blanks at the cuts
    longName.values.at(20).text = name;
    std::string written = WriteObservationFile(longName);
    EXPECT_NE(written.find("\n+ = "), std::string::npos);
    for (std::size_t start = 0, end; (end = written.find('\n', start)) != std::string::npos; start = end + 1)
        EXPECT_LE(end - start, kMaxLineBytes);
    EXPECT_EQ(RecordDifference(ReadOrFail(written), longName), "");
}

// The fenced blocks of the format document that are files.
std::vector<std::string> DocumentedFiles()
{
    std::string doc = ReadBytes(std::filesystem::path(TRILAT_SOURCE_DIR) / "docs/observation-file.md");
    std::vector<std::string> files;
    for (std::size_t at = 0; (at = doc.find("```\n", at)) != std::string::npos;) {
        std::size_t end = doc.find("```\n", at + 4);
        if (end == std::string::npos) break;
        std::string block = doc.substr(at + 4, end - at - 4);
        if (block.rfind("trilat-observations", 0) == 0) files.push_back(block);
        at = end + 4;
    }
    return files;
}

TEST(Editor, TheDocumentedExamplesReadAsDocumented)
{
    std::vector<std::string> files = DocumentedFiles();
    ASSERT_EQ(files.size(), 2u);

    ObservationRecord complete = ReadOrFail(files[0]);
    EXPECT_TRUE(complete.complete);
    EXPECT_EQ(complete.project, "某某线三角锁");
    EXPECT_EQ(complete.notes.size(), 2u);
    ASSERT_EQ(complete.values.size(), AzimuthChain().values.size());
    for (std::size_t i = 0; i < complete.values.size(); ++i) {
        EXPECT_EQ(complete.values[i].key, AzimuthChain().values[i].key);
        if (complete.values[i].key.kind != ValueKind::PointName) {
            EXPECT_EQ(complete.values[i].text, AzimuthChain().values[i].text);
        }
    }
    EXPECT_EQ(Find(complete, {ValueKind::PointName, 3})->text, "新3");
    EXPECT_EQ(Find(complete, {ValueKind::PointName, 4})->text, "基2");

    ObservationRecord incomplete = ReadOrFail(files[1]);
    EXPECT_FALSE(incomplete.complete);
    std::string missing;
    EXPECT_EQ(NextKeyOf(incomplete, &missing), (ValueKey{ValueKind::Side, 4}));
    EXPECT_EQ(missing, "S4");
}

}  // namespace
