// A catalogue of bad observation files, each with the line and the exact
// message the surveyor sees; every rule of the dialogue refuses a file value
// with the dialogue's own reason, after the value's key and the text found.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FileTestSupport.h"
#include "rules/PromptTexts.h"
#include "files/GradeLimitsFile.h"
#include "files/RecordKeys.h"
#include "rules/GradeTexts.h"

namespace {

// "key = value" lines of a record: the header is line 1, so value i is on line i + 2.
std::vector<std::string> LinesOf(const ObservationRecord& record, int K)
{
    std::vector<std::string> lines;
    for (const TypedValue& v : record.values) lines.push_back(KeyLabel(v.key, K) + " = " + v.text);
    return lines;
}
// N on line 2, Xa 3 .. Yd 10, Tb 11, Qb 12, S2 13 .. S9 20, 点名 B 21, 1 22, 2 23, 3 24, C 25
std::vector<std::string> Azimuth() { return LinesOf(AzimuthChain(), 3); }
// N on line 2, Xa 3 .. Yd 10, S2 11 .. S10 19, 点名 B 20, 1 21, 2 22, C 23, C后 24
std::vector<std::string> PointD() { return LinesOf(PointDChain(), 2); }

using Edit = std::function<void(std::vector<std::string>&)>;
std::vector<std::string> Edited(std::vector<std::string> lines, const Edit& edit)
{
    edit(lines);
    return lines;
}
// Sets the line with the given file line number (2 for the first value).
Edit Set(int line, std::string text)
{
    return [line, text](std::vector<std::string>& l) { l.at(static_cast<std::size_t>(line - 2)) = text; };
}
Edit Remove(int line)
{
    return [line](std::vector<std::string>& l) { l.erase(l.begin() + (line - 2)); };
}
Edit Insert(int line, std::string text)
{
    return [line, text](std::vector<std::string>& l) { l.insert(l.begin() + (line - 2), text); };
}
// Adds lines after the last value (line 26 on for the azimuth chain).
Edit Append(std::vector<std::string> texts)
{
    return [texts](std::vector<std::string>& l) { l.insert(l.end(), texts.begin(), texts.end()); };
}
Edit Both(Edit a, Edit b)
{
    return [a, b](std::vector<std::string>& l) { a(l); b(l); };
}

struct BadFile {
    const char* label;
    std::string bytes;
    int line;
    std::string message;
};

// A value the dialogue's rules refuse: its key, the text found and the dialogue's reason.
std::string Refused(const std::string& key, const std::string& text, const std::string& reason)
{
    return key + "：「" + text + "」：" + reason;
}

const std::string kRangeN4 = "N = 4，没有 D 点，边为 S2 到 S9（S1 即 A-B 由座标算得）";

std::vector<BadFile> Catalogue()
{
    auto az = [](const Edit& e) { return FileOf(Edited(Azimuth(), e)); };
    auto d = [](const Edit& e) { return FileOf(Edited(PointD(), e)); };
    using namespace texts;
    return {
        // the dialogue's own rules, at the line of the value that breaks them
        {"not a number", az(Set(3, "Xa = 1,5")), 3, Refused("Xa", "1,5", NOT_A_NUMBER)},
        {"not a number at N", az(Set(2, "N = abc")), 2, Refused("N", "abc", NOT_A_NUMBER)},
        {"a number too large", az(Set(15, "S4 = 1e400")), 15, Refused("S4", "1e400", NOT_A_NUMBER)},
        {"an empty number", az(Set(13, "S2 =")), 13, Refused("S2", "", NOT_A_NUMBER)},
        {"N of zero", az(Set(2, "N = 0")), 2, Refused("N", "0", COUNT_OUT_OF_RANGE)},
        {"N rounding to zero", az(Set(2, "N = 0.5")), 2, Refused("N", "0.5", COUNT_OUT_OF_RANGE)},
        {"N of 16383", az(Set(2, "N = 16383")), 2, Refused("N", "16383", COUNT_OUT_OF_RANGE)},
        {"negative N", az(Set(2, "N = -4")), 2, Refused("N", "-4", COUNT_OUT_OF_RANGE)},
        {"A equal to B", az(Both(Set(5, "Xb = 1000"), Set(6, "Yb = 1000.0"))), 6, Refused("Yb", "1000.0", A_EQUALS_B)},
        {"D with one zero coordinate", az(Set(9, "Xd = 5")), 10, Refused("Yd", "0", D_NEEDS_BOTH)},
        {"D with one triangle",
         FileOf({"N = 1", "Xa = 1000", "Ya = 1000", "Xb = 1000", "Yb = 1100", "Xc = 1086.6", "Yc = 1050", "Xd = 1",
                 "Yd = 1"}),
         10, Refused("Yd", "1", D_NEEDS_TWO_TRIANGLES)},
        {"D on C", d(Both(Set(9, "Xd = 826.7949192431122"), Set(10, "Yd = 1100"))), 10, Refused("Yd", "1100", C_EQUALS_D)},
        {"minutes of 60", az(Set(11, "Tb = 55.60")), 11, Refused("Tb", "55.60", PACKED_OUT_OF_RANGE)},
        {"seconds of 60", az(Set(12, "Qb = -25.0060")), 12, Refused("Qb", "-25.0060", PACKED_OUT_OF_RANGE)},
        {"orientation without azimuth", az(Set(11, "Tb = 0")), 12, Refused("Qb", "25", ORIENTATION_WITHOUT_AZIMUTH)},
        {"signs that cannot close on C and D", d(Set(15, "S6 = -100")), 19, Refused("S10", "-100", SIGNS_CANNOT_CLOSE)},
        {"a refusal at the line the value starts on", az(Insert(4, "+ = ,5")), 3, Refused("Xa", "1000,5", NOT_A_NUMBER)},

        // counts that do not match, values missing, out of range, twice, out of place
        {"fewer triangles than sides", az(Set(2, "N = 3")), 19,
         "边号超出范围：「S8」；N = 3，没有 D 点，边为 S2 到 S7（S1 即 A-B 由座标算得）"},
        {"more triangles than sides", az(Set(2, "N = 5")), 21,
         "缺少「S10」：这里应是「S10」，却是「点名 B」；N = 5，没有 D 点，边为 S2 到 S11（S1 即 A-B 由座标算得）"},
        {"a name too many", az(Insert(25, "点名 4 = P4")), 25, "点名超出范围：「点名 4」；这条三角锁的待定点为 1 到 3"},
        {"a name missing", az(Remove(24)), 24, "缺少「点名 3」：这里应是「点名 3」，却是「点名 C」"},
        {"a point after C the chain has not", az(Insert(26, "点名 C后 = Q")), 26,
         "这条三角锁在 C 之后没有待定点：「点名 C后」只在有 D 点、且 S8 与 S6 同号时输入"},
        {"the value missing at the end", az(Remove(25)), 0,
         "文件在「点名 C」之前结束：缺少「点名 C」及以后的值（运行没有完成的文件以「未完成」一行结尾）"},
        {"only the first line", FileOf({}), 0,
         "文件在「N」之前结束：缺少「N」及以后的值（运行没有完成的文件以「未完成」一行结尾）"},
        {"a value missing", az(Remove(11)), 11, "缺少「Tb」：这里应是「Tb」，却是「Qb」"},
        {"N missing", az(Remove(2)), 2, "缺少「N」：这里应是「N」，却是「Xa」"},
        {"S1 given", az(Set(13, "S1 = 100")), 13, "边号超出范围：「S1」；" + kRangeN4},
        {"the side C-D given", d(Insert(20, "S11 = 100")), 20,
         "边号超出范围：「S11」；N = 5，有 D 点，边为 S2 到 S10（S1 即 A-B、S11 即 C-D 由座标算得）"},
        {"a side given twice", az(Set(15, "S3 = 100")), 15, "「S3」已在第 14 行给出，每个值只能给一次"},
        {"two sides swapped", az(Both(Set(14, "S4 = 100"), Set(15, "S3 = 100"))), 14,
         "缺少「S3」：这里应是「S3」，却是「S4」；" + kRangeN4},
        {"an azimuth with D", d(Insert(11, "Tb = 5")), 11, "有 D 点时不输入外方位角 Tb 和定向角 Qb：「Tb」"},
        {"a name numbered 0", az(Insert(22, "点名 0 = X")), 22, "点名超出范围：「点名 0」；这条三角锁的待定点为 1 到 3"},

        // the text of the lines
        {"invalid UTF-8", az(Set(21, "点名 B = \xC3\x28")), 21,
         "第 12 个字节起不是有效的 UTF-8 文字：观测文件须以 UTF-8 编码保存，不是 UTF-8 的字节写作 \\xHH"},
        {"a line in GBK", az(Set(21, "\xB5\xE3\xC3\xFB B = B")), 21,
         "第 1 个字节起不是有效的 UTF-8 文字：观测文件须以 UTF-8 编码保存，不是 UTF-8 的字节写作 \\xHH"},
        {"a surrogate in UTF-8", az(Set(21, "点名 B = \xED\xA0\x80")), 21,
         "第 12 个字节起不是有效的 UTF-8 文字：观测文件须以 UTF-8 编码保存，不是 UTF-8 的字节写作 \\xHH"},
        {"a raw control character", az(Set(21, "点名 B = a\x01")), 21, "第 13 个字节是控制字符 0x01：控制字符写作 \\x01"},
        {"a lone carriage return", az(Set(21, "点名 B = a\rb")), 21, "第 13 个字节是控制字符 0x0D：控制字符写作 \\x0D"},
        {"a line longer than sensible", az(Insert(2, "备注 = " + std::string(5000, 'x'))), 2,
         "这一行太长（5009 字节；一行最多 4096 字节，长的值可以在下一行用「+ =」接着写）"},
        {"an unknown escape", az(Set(21, "点名 B = a\\q")), 21,
         "不认识的转义「\\q」：可用的转义为 \\\\ \\# \\s \\t \\n \\r \\xHH"},
        {"a short hex escape", az(Set(21, "点名 B = \\x4")), 21, "转义「\\x」后面应是两位十六进制数字（例如 \\x01）"},
        {"a backslash at the end", az(Set(21, "点名 B = a\\")), 21, "值末尾的「\\」后面缺少字符（反斜杠本身写作 \\\\）"},
        {"no equals sign", az(Set(2, "N 4")), 2, "「N 4」不是「键 = 值」的形式"},
        {"an unknown key", az(Set(3, "Za = 1000")), 3,
         "不认识的键「Za」：可用的键为 N，Xa Ya Xb Yb Xc Yc Xd Yd，Tb，Qb，S2 S3 …，点名 B，点名 1 …，点名 C，点名 C后，"
         "工程名称，备注，等级，先验测边中误差，测距固定误差，测距比例误差，定向角中误差，S2 中误差 …，+，"
         "边长归算的键（边长类型，椭球，中央子午线，高程 B …，见 docs/observation-file.md）"},
        {"a continuation of nothing", az(Insert(2, "+ = x")), 2, "「+ =」接着写上一个值，但它前面没有值"},
        {"the project twice", az(Both(Insert(2, "工程名称 = a"), Insert(3, "工程名称 = b"))), 3,
         "「工程名称」已在第 2 行给出，只能给一次"},
        {"a grade not of a triangular network", az(Insert(3, "等级 = 五等")), 3,
         "「等级」应是 二等、三等、四等、一级 或 二级，却是「五等」"},
        {"the grade twice", az(Both(Insert(2, "等级 = 四等"), Insert(9, "等级 = 四等"))), 9, "「等级」已在第 2 行给出，只能给一次"},
        {"sigma0 twice", az(Both(Insert(2, "先验测边中误差 = 2"), Insert(5, "先验测边中误差 = 3"))), 5,
         "「先验测边中误差」已在第 2 行给出，只能给一次"},
        {"sigma0 zero", az(Insert(2, "先验测边中误差 = 0")), 2, "「先验测边中误差」应是一个正数，以毫米计（例如 2），却是「0」"},
        {"sigma0 not a number", az(Insert(7, "先验测边中误差 = 2mm")), 7,
         "「先验测边中误差」应是一个正数，以毫米计（例如 2），却是「2mm」"},
        // the weights: the distance meter's a + b D, the orientation angle's and a side's own
        {"a twice", az(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距固定误差 = 3"))), 3,
         "「测距固定误差」已在第 2 行给出，只能给一次"},
        {"a negative", az(Insert(2, "测距固定误差 = -1")), 2,
         "「测距固定误差」应是一个不小于零的数，以毫米计（例如 2），却是「-1」"},
        {"b with its unit", az(Insert(4, "测距比例误差 = 2ppm")), 4,
         "「测距比例误差」应是一个不小于零的数，以毫米每千米计（例如 2），却是「2ppm」"},
        {"a without b", az(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "定向角中误差 = 2"))), 2,
         "「测距固定误差」须与「测距比例误差」一起给出（没有这一部分时写「测距比例误差 = 0」）"},
        {"b without a", az(Both(Insert(5, "测距比例误差 = 2"), Insert(2, "定向角中误差 = 2"))), 6,
         "「测距比例误差」须与「测距固定误差」一起给出（没有这一部分时写「测距固定误差 = 0」）"},
        {"a and b zero", az(Both(Both(Insert(2, "测距固定误差 = 0"), Insert(3, "测距比例误差 = 0.0")), Insert(4, "定向角中误差 = 2"))), 3,
         "「测距固定误差」与「测距比例误差」不能都为零：D 千米的边，中误差为 a + b·D 毫米，须大于零"},
        {"sigma0 with a and b", az(Both(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距比例误差 = 2")), Insert(4, "先验测边中误差 = 2"))), 2,
         "「先验测边中误差」与「测距固定误差」不能同时给出：前者给所有边同一个中误差，后者按测距仪的标称精度 a + b·D "
         "给出各边的中误差；只留一种"},
        {"the orientation angle's sigma without a and b", az(Insert(2, "定向角中误差 = 2")), 2,
         "「定向角中误差」只与「测距固定误差」「测距比例误差」一起给出"},
        {"the orientation angle's sigma zero", az(Insert(2, "定向角中误差 = 0")), 2,
         "「定向角中误差」应是一个正数，以秒计（例如 2），却是「0」"},
        {"the orientation angle's sigma missing", az(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距比例误差 = 2"))), 0,
         "缺少「定向角中误差」：给出「测距固定误差」「测距比例误差」、又有定向角 Qb 时，定向角也须有它的中误差（秒）"},
        {"the orientation angle's sigma with D", d(Both(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距比例误差 = 2")), Insert(4, "定向角中误差 = 2"))), 4,
         "有 D 点时没有定向角：不给「定向角中误差」"},
        {"the orientation angle's sigma without azimuth data",
         az(Both(Both(Set(11, "Tb = 0"), Set(12, "Qb = 0")), Both(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距比例误差 = 2")), Insert(28, "定向角中误差 = 2")))), 28,
         "没有外方位角与定向角（Tb、Qb 都为零）：不给「定向角中误差」"},
        {"a side's sigma without a and b", az(Insert(2, "S5 中误差 = 3")), 2, "「S5 中误差」只与「测距固定误差」「测距比例误差」一起给出"},
        {"a side's sigma negative", az(Insert(26, "S5 中误差 = -3")), 26, "「S5 中误差」应是一个正数，以毫米计（例如 3.2），却是「-3」"},
        {"a side's sigma twice", az(Both(Insert(2, "s5中误差 = 3"), Insert(3, "S 5 中误差 = 4"))), 3,
         "「S5 中误差」已在第 2 行给出，只能给一次"},
        {"a side's sigma of no side", az(Both(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距比例误差 = 2")), Both(Insert(4, "定向角中误差 = 2"), Insert(5, "S10 中误差 = 3")))), 5,
         "「S10 中误差」没有对应的边：这条三角锁观测的边为 S2 到 S9"},
        {"A-B's sigma", az(Both(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距比例误差 = 2")), Both(Insert(4, "定向角中误差 = 2"), Insert(29, "S1 中误差 = 3")))), 29,
         "「S1 中误差」没有对应的边：这条三角锁观测的边为 S2 到 S9（S1 即 A-B 由座标算得）"},
        {"C-D's sigma", d(Both(Both(Insert(2, "测距固定误差 = 2"), Insert(3, "测距比例误差 = 2")), Insert(4, "S11 中误差 = 3"))), 4,
         "「S11 中误差」没有对应的边：这条三角锁观测的边为 S2 到 S10（S11 即 C-D 由座标算得）"},
        {"a value after 未完成", az(Insert(12, "未完成")), 13,
         "「未完成」（第 12 行）之后不能再有值：它标出运行中断之处，是文件的最后一个值"},

        // the reduction of the sides to the Gauss plane: a value at its line,
        // what does not fit the chain at the line that says it, what is
        // missing for the file as a whole
        {"an unknown side kind", az(Append({"边长类型 = 弧长"})), 26, "「边长类型」应是「平面」「平距」或「斜距」，却是「弧长」"},
        {"an unknown ellipsoid", az(Append({"椭球 = GRS67"})), 26, "「椭球」应是 CGCS2000、WGS84、西安80 或 北京54，却是「GRS67」"},
        {"a central meridian past 360", az(Append({"中央子午线 = 400"})), 26, "中央子午线 = 400 超出范围：应在 0 到 360 度之间"},
        {"a central meridian not D.MMSS", az(Append({"中央子午线 = 117.60"})), 26, "中央子午线 = 117.60 不是度.分秒：分和秒都须小于 60"},
        {"a height above 9000 m", az(Append({"高程 B = 9500"})), 26, "高程 B = 9500 超出范围：应在 -500 到 9000 米之间"},
        {"a height not a number", az(Append({"高程 1 = 12,5"})), 26, "「高程 1」应是一个数（米），却是「12,5」"},
        {"a height twice", az(Append({"高程 B = 5", "高程 b = 6"})), 27, "「高程 B」已在第 26 行给出，只能给一次"},
        {"a negative reflector height", az(Append({"S5 镜高 = -1"})), 26, "S5 镜高 = -1 超出范围：应在 0 到 100 米之间"},
        {"the height of a mark the chain lacks", az(Append({"高程 5 = 10"})), 26, "这条三角锁没有点 5：「高程 5」；它的点为 A、B、1 到 3、C"},
        {"a missing height", az(Append({"边长类型 = 平距", "中央子午线 = 117", "高程 A = 1", "高程 B = 2", "高程 1 = 3", "高程 2 = 4", "高程 C = 5"})), 0,
         "缺少「高程 3」：边 S6 归算到高斯平面要用它的高程"},
        {"a reduction without its central meridian", az(Append({"边长类型 = 平距"})), 0,
         "边长类型为「平距」时须给出「中央子午线」（度.分秒），边长才能归算到高斯平面"},
        {"a false easting that puts A far away", az(Append({"中央子午线 = 117", "Y加常数 = 38500000"})), 4,
         "Ya = 1000 离中央子午线 -38499 千米（Y加常数 38500000），超过 1000 千米"},
        {"a Y with its zone number, the constant without", az(Both(Both(Set(4, "Ya = 38501000"), Set(6, "Yb = 38501100")),
                                                                  Both(Set(8, "Yc = 38501150"), Append({"中央子午线 = 114"})))), 4,
         "Ya = 38501000 离中央子午线 38001 千米（Y加常数 500000），超过 1000 千米：横座标前面带着带号时，Y加常数须连带号写，"
         "例如带号 38 写「Y加常数 = 38500000」"},
        {"an instrument height with horizontal distances", az(Append({"边长类型 = 平距", "中央子午线 = 117", "S5 仪器高 = 1.5"})), 28,
         "「S5 仪器高」只用于斜距：边长类型须是「斜距」"},
        {"the reflector height of a side from coordinates", az(Append({"边长类型 = 斜距", "中央子午线 = 117", "S1 镜高 = 1.5"})), 28,
         "没有测量的边 S1：「S1 镜高」；测量的边为 S2 到 S9"},
        {"a distance meter's constant on a plane chain", az(Append({"测距加常数 = 3"})), 26,
         "「测距加常数」只用于平距或斜距：边长类型须是「平距」或「斜距」"},

        // files that are not observation files
        {"an unknown version", "trilat-observations 2\nN = 4\n", 1, "观测文件的版本「2」不认识：本程序读版本 1"},
        {"no version", "trilat-observations\nN = 4\n", 1, "第一行没有写版本：应是「trilat-observations 1」"},
        {"another first line", "N = 4\n", 1, "不是 trilat 观测文件：观测文件的第一行是「trilat-observations 1」"},
        {"a longer format name", "trilat-observations-x 1\n", 1,
         "不是 trilat 观测文件：观测文件的第一行是「trilat-observations 1」"},
        {"an empty file", "", 0, "文件是空的：观测文件的第一行是「trilat-observations 1」"},
        {"a zero byte", az(Set(21, std::string("点名 B = a\0b", 14))), 0,
         "这不是文本文件（含有零字节）：观测文件是 UTF-8 文本"},
        {"UTF-16", std::string("\xFF\xFEt\0r\0", 6), 0, "文件是 UTF-16 编码：观测文件须以 UTF-8 编码保存"},
    };
}

TEST(BadFileCatalogue, EachFileGetsItsLineAndMessage)
{
    int cases = 0;
    for (const BadFile& bad : Catalogue()) {
        FileError error = ErrorOf(bad.bytes);
        EXPECT_EQ(error.line, bad.line) << bad.label;
        EXPECT_EQ((error.key.empty() ? "" : error.key + "：") + error.message, bad.message) << bad.label;
        ++cases;
    }
    EXPECT_EQ(cases, 92);
}

TEST(BadFileCatalogue, TheMessageNamesTheLine)
{
    EXPECT_EQ(FormatFileError({12, "缺少「S6」"}), "第 12 行：缺少「S6」");
    EXPECT_EQ(FormatFileError({0, "文件是空的"}), "文件是空的");
    EXPECT_EQ(FormatFileError({24, "「3456007,04」：" + texts::NOT_A_NUMBER, "Ya"}),
              "第 24 行 Ya：「3456007,04」：" + texts::NOT_A_NUMBER);
}

TEST(BadFileCatalogue, APictureIsNotAnObservationFile)
{
    FileError error = ErrorOf(ReadBytes(std::filesystem::path(TRILAT_SOURCE_DIR) / "docs/window.png"));
    EXPECT_EQ(error.line, 0);
    EXPECT_EQ(error.message, "这不是文本文件（含有零字节）：观测文件是 UTF-8 文本");
}

TEST(BadFileCatalogue, TheCatalogueFilesReadWhenRepaired)
{
    // the bases of the catalogue are good files: each fault above is its own
    ReadOrFail(FileOf(Azimuth()));
    ReadOrFail(FileOf(PointD()));
    // the weights: anywhere before the values end, each line once
    const ObservationRecord weighted = ReadOrFail(FileOf(Edited(
        Azimuth(), Both(Both(Insert(2, "测距固定误差 = 2"), Insert(7, "测距比例误差 = 3")), Both(Insert(14, "定向角中误差 = 1.5"), Insert(27, "S 7 中误差 = 4.5"))))));
    EXPECT_EQ(weighted.edmAMm, "2");
    EXPECT_EQ(weighted.edmBPpm, "3");
    EXPECT_EQ(weighted.orientationSigmaSec, "1.5");
    EXPECT_EQ(weighted.sideSigmaMm, (std::map<int, std::string>{{7, "4.5"}}));
    EXPECT_EQ(ReadOrFail(FileOf(Edited(Azimuth(), Insert(20, "等级 = 一级")))).grade, "一级");
    // a file that stops early is checked against the chain when it is complete
    std::vector<std::string> partial = Azimuth();
    partial.resize(12);  // up to S3
    partial.insert(partial.begin(), {"测距固定误差 = 2", "测距比例误差 = 2"});
    partial.push_back("未完成");
    EXPECT_FALSE(ReadOrFail(FileOf(partial)).complete);
    // N is rounded as the dialogue rounds it, halves to even
    EXPECT_EQ(ReadOrFail(FileOf(Edited(Azimuth(), Set(2, "N = 4.5")))).values.at(0).text, "4.5");
    FileError taken = ErrorOf(FileOf(Edited(Azimuth(), Set(2, "N = 16382.5"))));
    EXPECT_EQ(taken.line, 21);
    EXPECT_NE(taken.message.find("N = 16382，"), std::string::npos) << taken.message;
}

// The grade limits file: each refusal at its line, and the program's own file
// read as built in, every limit in it with all four parts of its source.
struct BadLimits {
    const char* label;
    std::string line;  // line 2, after the header
    std::string message;
};
const BadLimits kBadLimits[] = {
    {"a limit without its source", "四等 | 最弱边边长相对中误差 | 1/40000 | GB 50026 | 2007 | 表 3.4.1 |",
     "限差 1/40000 没有完整的出处：标准、版本、表、条都须写明"},
    {"a relative limit not 1/T", "四等 | 测距相对中误差 | 0.00001 | 甲 | 乙 | 丙 | 丁", "限差「0.00001」应写成 1/T，T 为正数（例如 1/40000）"},
    {"a count not whole", "一级 | 三角形个数 | 7.5 | 甲 | 乙 | 丙 | 丁", "限差「7.5」应是一个正整数"},
    {"a negative limit", "一级 | 最弱点点位中误差 | -5 | 甲 | 乙 | 丙 | 丁", "限差「-5」应是一个正数"},
    {"an unknown item", "一级 | 边长 | 2 | 甲 | 乙 | 丙 | 丁",
     "不认识的项目「边长」：可用的项目为 平均边长，测距相对中误差，最弱边边长相对中误差，最弱点点位中误差，三角形个数"},
    {"six columns", "一级 | 平均边长 | 1 | 甲 | 乙 | 丙", "应是「等级 | 项目 | 限差 | 标准 | 版本 | 表 | 条」七栏，却有 6 栏"},
    {"no grade", " | 平均边长 | | | | |", "没有写等级"},
};

TEST(BadFileCatalogue, GradeLimitsFilesGetTheirLineAndMessage)
{
    for (const BadLimits& bad : kBadLimits) {
        auto read = ReadGradeLimits("trilat-grade-limits 1\n" + bad.line + "\n");
        ASSERT_TRUE(std::holds_alternative<FileError>(read)) << bad.label;
        EXPECT_EQ(std::get<FileError>(read).line, 2) << bad.label;
        EXPECT_EQ(std::get<FileError>(read).message, bad.message) << bad.label;
    }
    auto twice = ReadGradeLimits("trilat-grade-limits 1\n二级 | 平均边长 | | | | |\n二级 | 平均边长 | | | | |\n");
    EXPECT_EQ(std::get<FileError>(twice).line, 3);
    EXPECT_EQ(std::get<FileError>(twice).message, "二级的「平均边长」已在前面给出，只能给一次");
    EXPECT_EQ(std::get<FileError>(ReadGradeLimits("trilat-observations 1\n")).message,
              "第一行应是「trilat-grade-limits 1」：这不是等级限差文件");

    const std::string own = ReadBytes(std::filesystem::path(TRILAT_SOURCE_DIR) / "data/grade-limits.txt");
    auto read = ReadGradeLimits(own);
    ASSERT_TRUE(std::holds_alternative<GradeLimits>(read)) << std::get<FileError>(read).message;
    const GradeLimits& limits = std::get<GradeLimits>(read);
    ASSERT_EQ(limits.grades.size(), 5u);
    for (const GradeLimits::Grade& g : limits.grades) {
        EXPECT_FALSE(RefuseGrade(g.name)) << g.name;
        EXPECT_EQ(g.limits.size(), 5u) << g.name;
        for (const GradeLimit& l : g.limits) {
            if (l.limit) { EXPECT_GE(std::count(l.source.begin(), l.source.end(), ' '), 3) << g.name << " " << GradeItemName(l.item); }
        }
    }
    EXPECT_EQ(BuiltInGradeLimits().grades.size(), limits.grades.size());
}

}  // namespace
