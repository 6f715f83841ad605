// Form1 as built: every field, caption, button and heading with its name,
// text, font and twip position; the drawn lines; the button actions.
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFontInfo>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "rules/FormFields.h"

#include "DialogAnswerer.h"
#include "ui/qt/Fonts.h"
#include "ui/qt/FormLayout.h"
#include "ui/qt/MainWindow.h"

namespace {

struct Field {
    int number, left, top, width;
};
// The field table of the window, written out again here so the test does
// not read the table it checks.
const Field FIELDS[] = {
    {1, 3960, 3480, 1335},   {2, 3960, 3840, 1335},   {3, 3960, 4320, 1335},   {4, 3960, 4680, 1335},
    {5, 3960, 5160, 1335},   {6, 3960, 5520, 1335},   {7, 3960, 6000, 1335},   {8, 3960, 6360, 1335},
    {26, 3960, 6840, 1335},  {28, 3960, 7200, 1335},  {9, 3240, 8160, 2055},   {10, 3600, 8520, 1335},
    {11, 3600, 8880, 1335},  {27, 6240, 3600, 3615},  {29, 10080, 3600, 2775}, {12, 6600, 4560, 1455},
    {14, 8400, 4560, 1455},  {15, 10200, 4560, 1455}, {16, 8520, 5280, 1215},  {21, 6720, 6720, 1335},
    {23, 6720, 7320, 1335},  {22, 8520, 6720, 1335},  {24, 8520, 7320, 1335},  {25, 10560, 7080, 1335},
    {20, 5880, 8760, 2295},  {17, 8160, 8760, 972},   {18, 9480, 8760, 1335},  {19, 11160, 8760, 1335},
};

struct Caption {
    const char* text;
    int left, top;
    const char* family;
    double points;
};
constexpr const char* SONG = "宋体";
constexpr const char* SANS = "MS Sans Serif";
const Caption CAPTIONS[] = {
    {"A点纵座标 Xa", 2640, 3480, SANS, 8.25},    {"A点横座标 Ya", 2640, 3840, SANS, 8.25},
    {"B点纵座标 Xb", 2640, 4320, SANS, 8.25},    {"B点横座标 Yb", 2640, 4680, SANS, 8.25},
    {"C点纵座标 Xc", 2640, 5160, SANS, 8.25},    {"C点横座标 Yc", 2640, 5520, SANS, 8.25},
    {"D点纵座标 Xd", 2640, 6000, SANS, 8.25},    {"D点横座标 Yd", 2640, 6360, SANS, 8.25},
    {"闭合点方位角 Ta", 2400, 6840, SANS, 8.25}, {"闭合点定向角 QA", 2400, 7200, SANS, 8.25},
    {"观测边长 :", 2520, 7800, SONG, 9},         {"输入边提示", 3840, 7920, SONG, 9},
    {"奇数边", 3000, 8520, SONG, 9},             {"偶数边", 3000, 8880, SONG, 9},
    {"平差说明", 7920, 3360, SONG, 9},           {"三角形个数说明", 10800, 3360, SONG, 9},
    {"方位角闭合差", 6720, 4320, SONG, 9},       {" wb", 6240, 4560, SANS, 8.25},
    {"纵座标闭合差", 8520, 4320, SONG, 9},       {" wx", 8040, 4560, SANS, 8.25},
    {"横座标闭合差", 10320, 4320, SONG, 9},      {" wy", 9840, 4560, SANS, 8.25},
    {"单位权测边中误差", 8400, 5040, SONG, 9},   {"ms", 8280, 5280, SANS, 8.25},
    {"纵座标权倒数", 6720, 6480, SONG, 9},       {" px", 6360, 6720, SANS, 8.25},
    {"横座标权倒数", 6720, 7080, SONG, 9},       {" py", 6360, 7320, SANS, 8.25},
    {"纵座标单位权中误差", 8280, 6480, SONG, 9}, {" mx", 8160, 6720, SANS, 8.25},
    {"横座标单位权中误差", 8280, 7080, SONG, 9}, {" my", 8160, 7320, SANS, 8.25},
    {"单位权点位中误差", 10320, 6840, SONG, 9},  {" md", 10080, 7080, SANS, 8.25},
    {"输入点名提示", 6480, 8520, SONG, 9},       {"点  名", 8400, 8520, SONG, 9},
    {"待定点纵座标", 9600, 8520, SONG, 9},       {"Xp", 9240, 8760, SANS, 8.25},
    {"待定点横座标", 11280, 8520, SONG, 9},      {"Yp", 10920, 8760, SANS, 8.25},
    // headings
    {"端点为已知边的三边锁平差", 6840, 2760, SANS, 12},
    {"( 精度评定 )", 8400, 6000, SONG, 12},
    {"( 平差结果 )", 8520, 8160, SONG, 12},
    // a few labels of the diagrams
    {"[ Xa,Ya ]", 1200, 2280, SANS, 8.25},
    {"D", 5520, 2040, SANS, 9.75},
    {"N-1", 9000, 1200, SANS, 9.75},
    {"Tb", 10200, 1680, SANS, 8.25},
    {"Qb", 9480, 1560, SANS, 8.25},
    {"-S6", 12360, 1800, SANS, 8.25},
    {"[ Xc,Yc ]", 13560, 2280, SANS, 8.25},
};

class WindowTest : public testing::Test {
protected:
    MainWindow window;
    QPoint At(int left, int top) const { return {window.PixelsX(left), window.PixelsY(top)}; }
    QLabel* LabelAt(const char* text, int left, int top) const
    {
        for (QLabel* label : window.findChildren<QLabel*>())
            if (label->text() == QString::fromUtf8(text) && label->pos() == At(left, top)) return label;
        return nullptr;
    }
};

void ExpectFont(const QFont& font, const char* family, double points)
{
    EXPECT_EQ(font.family(), QString::fromUtf8(family));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), points);
    EXPECT_TRUE(font.bold());
}

TEST_F(WindowTest, WindowCaptionBackgroundAndSize)
{
    EXPECT_EQ(window.objectName(), "Form1");
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("端点为已知点的三边锁平差"));
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(255, 255, 192));
    EXPECT_TRUE(window.autoFillBackground());
    ExpectFont(window.font(), SANS, 8.25);
    EXPECT_GE(window.width(), window.PixelsX(14415));
    EXPECT_GE(window.height(), window.PixelsY(9975));
}

TEST_F(WindowTest, FifteenTwipsAPixelAt96Dpi)
{
    if (window.logicalDpiX() != 96) GTEST_SKIP() << "screen is not at 96 DPI";
    EXPECT_EQ(window.PixelsX(15), 1);
    EXPECT_EQ(window.PixelsX(14415), 961);
    EXPECT_EQ(window.PixelsY(9975), 665);
}

TEST_F(WindowTest, TwentyEightReadOnlyFieldsAtTheirPlaces)
{
    EXPECT_EQ(window.findChildren<QLineEdit*>().size(), 28);
    EXPECT_EQ(window.findChild<QLineEdit*>("Text13"), nullptr);
    for (const Field& f : FIELDS) {
        SCOPED_TRACE(f.number);
        auto* field = window.findChild<QLineEdit*>(QString("Text%1").arg(f.number));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field, window.Field(f.number));
        EXPECT_EQ(field->geometry(),
                  QRect(At(f.left, f.top), QSize(window.PixelsX(f.width), window.PixelsY(285))));
        EXPECT_TRUE(field->isReadOnly());
        EXPECT_TRUE(field->text().isEmpty());
        ExpectFont(field->font(), SONG, 9);
        EXPECT_EQ(field->palette().color(QPalette::Base), QColor(Qt::white));
    }
}

TEST_F(WindowTest, TypingIntoAFieldChangesNothing)
{
    window.show();
    QLineEdit* field = window.Field(1);
    QTest::keyClicks(field, "123");
    EXPECT_TRUE(field->text().isEmpty());
}

TEST_F(WindowTest, CaptionsAndHeadingsWithTheirFonts)
{
    for (const Caption& c : CAPTIONS) {
        SCOPED_TRACE(c.text);
        QLabel* label = LabelAt(c.text, c.left, c.top);
        ASSERT_NE(label, nullptr);
        ExpectFont(label->font(), c.family, c.points);
        EXPECT_FALSE(label->autoFillBackground());  // the window's yellow shows through
    }
}

TEST_F(WindowTest, EveryLabelOfTheLayoutExists)
{
    std::size_t expected = 0;
    for (auto table : {form::FieldCaptions, form::Headings, form::DiagramLabels})
        for (const form::LabelSpec& spec : table()) {
            SCOPED_TRACE(spec.caption);
            EXPECT_NE(LabelAt(spec.caption, spec.left, spec.top), nullptr);
            ++expected;
        }
    EXPECT_EQ(window.findChildren<QLabel*>().size(), static_cast<qsizetype>(expected));
    EXPECT_EQ(form::DiagramLabels().size(), 49u);
}

// Every character of the string literals of the program's sources in these
// folders: the prompts and refusals (rules), the faults, reports and full
// report (display), the window's captions and boxes (ui/qt), the messages of
// the files, the run and the tools. Comment lines are skipped.
QSet<char32_t> CharactersOfTheProgramsTexts()
{
    static const QRegularExpression literal(R"re("((?:[^"\\\n]|\\.)*)")re");
    QSet<char32_t> characters;
    for (const char* folder : {"src/rules", "src/display", "src/dialogue", "src/files", "src/run", "src/state",
                               "src/text", "src/ui/qt", "tools"}) {
        QDirIterator files(QString(TRILAT_SOURCE_DIR) + "/" + folder, {"*.h", "*.cpp"}, QDir::Files);
        while (files.hasNext()) {
            QFile file(files.next());
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
                if (line.trimmed().startsWith("//")) continue;
                for (auto m = literal.globalMatch(line); m.hasNext();)
                    for (char32_t c : m.next().captured(1).toUcs4())
                        if (c >= 0x20) characters.insert(c);
            }
        }
    }
    return characters;
}

TEST(SongStandIn, HoldsEveryCharacterTheProgramShows)
{
    const QSet<char32_t> characters = CharactersOfTheProgramsTexts();
    ASSERT_GT(characters.size(), 300) << "the texts were not found under " TRILAT_SOURCE_DIR;
    for (const char* sample : {"右側", "σ0²", "χ²", "φ (°)", "座标", "坐标", "√", "（）：，。"})
        for (char32_t c : QString::fromUtf8(sample).toUcs4()) EXPECT_TRUE(characters.contains(c)) << sample;
    for (form::FontKind kind : {form::FontKind::Song9, form::FontKind::Song12}) {
        const QRawFont face = QRawFont::fromFont(FormFont(kind));
        EXPECT_EQ(face.familyName().toLower(), "ar pl uming cn");
        QString missing;
        for (char32_t c : characters)
            if (!face.supportsCharacter(c)) missing += QString::fromUcs4(&c, 1);
        EXPECT_EQ(missing.toStdString(), "") << "not in " << face.familyName().toStdString();
    }
}

TEST_F(WindowTest, SongStandInHasTheMetricsOfSong)
{
    // 宋体 at bold 9 pt: a Latin character half as wide as a Chinese one
    const QFont song = window.Field(1)->font();
    EXPECT_EQ(QFontInfo(song).family(), "AR PL UMing CN");
    const QFontMetricsF m(song);
    const double full = m.horizontalAdvance(QString::fromUtf8("中"));
    for (char c = ' '; c <= '~'; ++c) EXPECT_DOUBLE_EQ(m.horizontalAdvance(QChar(c)) * 2, full) << c;
    const QFontInfo sans(window.font());
    EXPECT_FALSE(sans.family().contains("Serif")) << sans.family().toStdString();
}

TEST_F(WindowTest, TheTextsOfOrdinaryRunsFitTheirFieldsAndALongerOneShowsItsBeginning)
{
    window.show();
    // the last character's ink lies inside the field
    auto fits = [this](int n, const char* text) {
        QLineEdit* f = window.Field(n);
        window.SetFieldText(n, QString::fromUtf8(text));
        const QImage image = f->grab().toImage();
        int last = -1;
        for (int x = 0; x < image.width() - 2; ++x)
            for (int y = 3; y < image.height() - 3; ++y)
                if (image.pixelColor(x, y).red() < 100) last = x;
        const int advance = QFontMetrics(f->font()).horizontalAdvance(QString::fromUtf8(text));
        return last >= advance - 2;  // the ink reaches as far as the text does
    };
    EXPECT_TRUE(fits(10, "S67=1216.0355"));
    EXPECT_TRUE(fits(10, "S999=9999.9999"));
    EXPECT_TRUE(fits(11, "s98=99999.9999"));
    EXPECT_TRUE(fits(1, " -12345678.123"));
    EXPECT_TRUE(fits(19, "-12345678.123"));
    // a figure as long as its field holds (ColumnsOf) fits it whole
    for (int n : {field::wb, field::wx, field::wy, field::ms, field::InvPx, field::InvPy, field::mx, field::my, field::md,
                  field::PointX, field::PointY})
        EXPECT_TRUE(fits(n, std::string(static_cast<std::size_t>(field::ColumnsOf(n)), '8').c_str())) << "Text" << n;
    EXPECT_TRUE(fits(field::wx, " -99999.99 毫米"));
    // a figure beyond it: 超限, the figure in the tip
    window.SetFieldText(field::wx, QString::fromUtf8("超限"), QString::fromUtf8("-10336861.00 毫米"));
    EXPECT_EQ(window.Field(field::wx)->text(), QString::fromUtf8("超限"));
    EXPECT_EQ(window.Field(field::wx)->toolTip(), QString::fromUtf8("-10336861.00 毫米"));
    // longer than the field: the start shows, the whole text is the field's tip
    window.SetFieldText(10, "S999=99999.9999");
    EXPECT_EQ(window.Field(10)->cursorPosition(), 0);
    EXPECT_EQ(window.Field(10)->toolTip(), "S999=99999.9999");
}

TEST_F(WindowTest, HiddenMdLabelLiesUnderText18)
{
    QLabel* md = LabelAt("md", 10440, 8760);
    ASSERT_NE(md, nullptr);
    const QList<QObject*>& children = window.children();
    EXPECT_LT(children.indexOf(md), children.indexOf(window.Field(18)));  // stacked below the field
    EXPECT_TRUE(window.Field(18)->geometry().contains(md->pos()));
}

TEST_F(WindowTest, ThreeButtons)
{
    struct Button {
        int number;
        const char* caption;
        int left, top, width, height;
    };
    const Button buttons[] = {{1, "平差计算", 6240, 9600, 975, 372},
                              {2, "结束计算", 7440, 9600, 975, 372},
                              {3, "打 印", 8640, 9600, 975, 375}};
    EXPECT_EQ(window.findChildren<QPushButton*>().size(), 3);
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.number);
        auto* button = window.findChild<QPushButton*>(QString("Command%1").arg(b.number));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->geometry(),
                  QRect(At(b.left, b.top), QSize(window.PixelsX(b.width), window.PixelsY(b.height))));
        ExpectFont(button->font(), SONG, 9);
    }
    EXPECT_EQ(window.Button(1)->palette().color(QPalette::Button), QColor(192, 255, 255));
    EXPECT_EQ(window.Button(2)->palette().color(QPalette::Button), QColor(192, 255, 255));
    EXPECT_NE(window.Button(3)->palette().color(QPalette::Button), QColor(192, 255, 255));
}

TEST_F(WindowTest, PrintIsDisabledBeforeARun)
{
    EXPECT_TRUE(window.Button(1)->isEnabled());
    EXPECT_TRUE(window.Button(2)->isEnabled());
    EXPECT_FALSE(window.Button(3)->isEnabled());
}

TEST_F(WindowTest, DrawnLinesAndDiagrams)
{
    window.show();
    const QImage image = window.grab().toImage();
    auto colour = [&](int x, int y) { return image.pixelColor(window.PixelsX(x), window.PixelsY(y)); };
    EXPECT_EQ(colour(14000, 9800), QColor(255, 255, 192));  // background
    EXPECT_EQ(colour(3000, 3240), QColor(0, 0, 255));       // outer box, top
    EXPECT_EQ(colour(5520, 5000), QColor(0, 0, 255));       // divider
    EXPECT_EQ(colour(9000, 7920), QColor(0, 0, 255));       // result area, lowest line
    EXPECT_EQ(colour(3000, 7560), QColor(0, 0, 255));       // entry column
    EXPECT_EQ(colour(2100, 1740), QColor(255, 0, 0));       // A-B of diagram 1, known
    EXPECT_EQ(colour(5280, 1680), QColor(255, 0, 0));       // C-D of diagram 1, known
    EXPECT_EQ(colour(9840, 1920), QColor(255, 0, 0));       // the outside direction at C
    EXPECT_EQ(colour(9540, 1860), QColor(0, 192, 0));       // the angle mark at C
    EXPECT_EQ(colour(12240, 1680), QColor(0, 0, 0));        // 2-1 of diagram 3
}

TEST_F(WindowTest, AdjustmentButtonStartsARun)
{
    window.show();
    DialogAnswerer operatorAtWindow({"<none>"});  // not a number: the run asks again, then Cancel
    window.Button(1)->click();
    ASSERT_GE(operatorAtWindow.Prompts().size(), 1);
    EXPECT_EQ(operatorAtWindow.Prompts().front(), QString::fromUtf8("请输入三角形个数 N: "));
    EXPECT_FALSE(operatorAtWindow.Messages().isEmpty());  // the fault was named
    EXPECT_FALSE(window.Button(3)->isEnabled());           // a cancelled run prints nothing
}

TEST_F(WindowTest, EndButtonClosesTheWindow)
{
    window.show();
    ASSERT_TRUE(window.isVisible());
    window.Button(2)->click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
