// The real window driven through a whole run with its real modal prompt
// boxes, the fields checked afterwards, the window saved as a picture, and
// the print command taken to the PDF offered when there is no printer.
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

#include "ChainAnswers.h"
#include "DialogAnswerer.h"
#include "PrintGuard.h"
#include "support/TestFolder.h"
#include "ui/qt/MainWindow.h"

namespace {

QString FieldText(const MainWindow& w, int n) { return w.Field(n)->text(); }

TEST(EndToEnd, FullRunThroughThePromptBoxes)
{
    const TestFolder folder;
    MainWindow window;
    window.show();
    // Two triangles, closing on C without azimuth data: A = (0, 0), B = (0, 100),
    // C = (-86.6025..., 150), S2 = -100 and S3 = S4 = S5 = 100.
    auto operatorAtWindow = std::make_unique<DialogAnswerer>(ChainAnswers({.triangles = 2}));
    window.Button(1)->click();

    EXPECT_EQ(operatorAtWindow->Unanswered(), 0);
    EXPECT_TRUE(operatorAtWindow->Messages().isEmpty()) << operatorAtWindow->Messages().join("\n").toStdString();
    ASSERT_TRUE(window.State().LastRunCompleted);
    EXPECT_EQ(operatorAtWindow->Prompts().size(), 38);
    EXPECT_EQ(operatorAtWindow->Prompts().front(), QString::fromUtf8("请输入三角形个数 N: "));
    EXPECT_EQ(operatorAtWindow->Prompts().back(),
              QString::fromUtf8("如果需要显示计算的座标结果，请输入 M 为不等于零的任意数,或按输入键"));

    EXPECT_EQ(FieldText(window, 29), QString::fromUtf8(" 三角锁共有2个三角形"));
    EXPECT_EQ(FieldText(window, 1), " 0.000");
    EXPECT_EQ(FieldText(window, 4), " 100.000");
    EXPECT_EQ(FieldText(window, 5), " -86.603");
    EXPECT_EQ(FieldText(window, 6), " 150.000");
    EXPECT_EQ(FieldText(window, 26), QString::fromUtf8("没有外方位角"));
    EXPECT_EQ(FieldText(window, 28), QString::fromUtf8("没有定向角"));
    EXPECT_EQ(FieldText(window, 27), QString::fromUtf8("平差只有纵、横座标条件，没有方位角条件 "));
    EXPECT_EQ(FieldText(window, 10), "S5=100.0000");
    EXPECT_EQ(FieldText(window, 12), QString::fromUtf8("没有角条件"));
    EXPECT_EQ(FieldText(window, 14), QString::fromUtf8(" 0.00 毫米"));
    EXPECT_EQ(FieldText(window, 15), QString::fromUtf8(" 0.00 毫米"));
    EXPECT_EQ(FieldText(window, 21), "  0.6667");
    EXPECT_EQ(FieldText(window, 23), "  0.6667");
    EXPECT_EQ(FieldText(window, 20), QString::fromUtf8("现在显示点"));
    EXPECT_EQ(FieldText(window, 17), " P2");
    EXPECT_EQ(FieldText(window, 18), "-86.603");
    EXPECT_EQ(FieldText(window, 19), "150.000");
    EXPECT_TRUE(window.Button(3)->isEnabled());
    operatorAtWindow.reset();

    const QString picture = QString::fromStdString(folder.File("window-after-run.png"));
    ASSERT_TRUE(window.grab().save(picture));
    EXPECT_GT(QFile(picture).size(), 10000);

    // No printer here (the test runs against a print server that does not
    // exist): the print command names the problem and saves a PDF instead.
    ASSERT_EQ(ForeignPrinter().toStdString(), "");
    const QString pdf = QString::fromStdString(folder.File("report-instead-of-printer.pdf"));
    {
        DialogAnswerer atPrint({});
        atPrint.SetAcceptMessages(true);
        atPrint.SetSaveFile(pdf);
        window.Button(3)->click();
        ASSERT_EQ(atPrint.Messages().size(), 1);
        EXPECT_TRUE(atPrint.Messages().front().startsWith(QString::fromUtf8("无法连接打印服务")))
            << atPrint.Messages().front().toStdString();
    }
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QString::fromUtf8("由已知边起算的三边锁平差"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains("P1")) << printed.toStdString();
    EXPECT_TRUE(window.isVisible());  // the program stays

    // A press cancelled at the triangle count changes nothing: printing stays.
    {
        DialogAnswerer pressedByAccident({"<CANCEL>"});
        window.Button(1)->click();
    }
    EXPECT_TRUE(window.State().LastRunCompleted);
    EXPECT_TRUE(window.Button(3)->isEnabled());
    EXPECT_EQ(FieldText(window, 21), "  0.6667");

    // A second run cancelled after its first value: Cancel asks first, 结束 ends the
    // input and says how to go on; the finished run's report still prints.
    DialogAnswerer cancelling({"2", "<CANCEL>"});
    window.Button(1)->click();
    EXPECT_EQ(cancelling.Prompts().size(), 2) << cancelling.Prompts().join("|").toStdString();
    EXPECT_EQ(cancelling.Questions(), QStringList{QString::fromUtf8("结束本次输入?")});
    ASSERT_EQ(cancelling.Messages().size(), 1);
    EXPECT_TRUE(cancelling.Messages()[0].contains(QString::fromUtf8("「文件 → 继续未完成的输入」")));
    EXPECT_TRUE(cancelling.Messages()[0].contains(QString::fromUtf8("上次完成的平差：N = 2，"))) << cancelling.Messages()[0].toStdString();
    EXPECT_FALSE(window.State().LastRunCompleted);
    EXPECT_TRUE(window.Button(3)->isEnabled());
}

// 全部显示 in the first pacing box shows the other points at once.
TEST(EndToEnd, ShowAllInThePacingBoxShowsTheRestAtOnce)
{
    std::vector<std::string> answers = ChainAnswers({.triangles = 2});
    answers.resize(answers.size() - 2);  // two of the three pacing answers
    answers.back() = "<ALL>";
    MainWindow window;
    window.show();
    DialogAnswerer at(answers);
    window.Button(1)->click();
    EXPECT_EQ(at.Unanswered(), 0);
    ASSERT_TRUE(window.State().LastRunCompleted);
    EXPECT_EQ(at.Prompts().size(), 36);  // 38 with a pacing box for every point
    EXPECT_EQ(FieldText(window, 17), " P2");
    EXPECT_EQ(FieldText(window, 18), "-86.603");
    EXPECT_EQ(FieldText(window, 19), "150.000");
}

QStringList AllFields(const MainWindow& w)
{
    QStringList texts;
    for (int n = 1; n <= 29; ++n)
        if (w.Field(n)) texts << FieldText(w, n);  // there is no Text13
    return texts;
}

// The dialogue as a surveyor meets it at the real boxes: Cancel on a
// confirmation asks the value again; an impossible triangle is refused as
// soon as its last side is typed and its sides are asked again; a press
// cancelled at the triangle count leaves the finished run to print; a run
// cancelled later shows no earlier result beside its own values.
TEST(EndToEnd, TheDialogueProtectsTheSurveyorsData)
{
    const TestFolder folder;
    MainWindow window;
    window.show();
    std::vector<std::string> answers = ChainAnswers({.triangles = 2});
    ASSERT_EQ(answers.size(), 38u);
    ASSERT_EQ(answers[23], "100");  // S3
    answers[23] = "300";  // S1 = S2 = 100: no triangle
    answers.insert(answers.begin() + 25, {"-100", "", "100", ""});
    answers[2] = "<CANCEL>";  // at the confirmation of Xa = 0
    answers.insert(answers.begin() + 3, {"0", ""});
    auto atWindow = std::make_unique<DialogAnswerer>(answers);
    window.Button(1)->click();

    EXPECT_EQ(atWindow->Unanswered(), 0);
    ASSERT_TRUE(window.State().LastRunCompleted);
    const QStringList prompts = atWindow->Prompts();
    ASSERT_EQ(prompts.size(), 44);
    EXPECT_EQ(prompts[3], QString::fromUtf8("输入正确的纵座标 :"));
    ASSERT_EQ(atWindow->Messages().size(), 1);
    EXPECT_TRUE(atWindow->Messages()[0].startsWith(
        QString::fromUtf8("第1个三角形 (S1=100, S2=-100, S3=300) 的三条边不能构成三角形。请重新输入 S2 和 S3")))
        << atWindow->Messages()[0].toStdString();
    // the sides asked again with the prompts of their first asking; each
    // confirmation's first line names the value typed
    const auto belowTheValue = [](const QStringList& asked) {
        QStringList texts;
        for (const QString& p : asked) texts << p.mid(p.indexOf('\n') + 1);
        return texts;
    };
    EXPECT_EQ(belowTheValue(prompts.mid(23, 4)), belowTheValue(prompts.mid(27, 4)));
    EXPECT_EQ(prompts[26].section('\n', 0, 0), QString::fromUtf8("S3 = 300 米"));
    EXPECT_EQ(prompts[30].section('\n', 0, 0), QString::fromUtf8("S3 = 100 米"));
    EXPECT_EQ(prompts[27], QString::fromUtf8("输入S2 : ( 如果 S2 位于方位角推算路线的右側输入负值 )"));
    EXPECT_EQ(FieldText(window, 10), "S5=100.0000");
    EXPECT_EQ(FieldText(window, 21), "  0.6667");
    atWindow.reset();

    // an accidental press: nothing changes, and the finished run prints
    const QStringList finished = AllFields(window);
    {
        DialogAnswerer pressedByAccident({"<CANCEL>"});
        window.Button(1)->click();
        EXPECT_EQ(pressedByAccident.Prompts().size(), 1);
    }
    EXPECT_EQ(AllFields(window), finished);
    EXPECT_TRUE(window.State().LastRunCompleted);
    ASSERT_TRUE(window.Button(3)->isEnabled());
    const QString pdf = QString::fromStdString(folder.File("report-after-an-accidental-press.pdf"));
    {
        DialogAnswerer atPrint({});
        atPrint.SetAcceptMessages(true);
        atPrint.SetSaveFile(pdf);
        window.Button(3)->click();
        // no print server in the tests: said so, and a PDF offered instead
        ASSERT_FALSE(atPrint.Messages().isEmpty());
        EXPECT_TRUE(atPrint.Messages()[0].startsWith(QString::fromUtf8("无法连接打印服务"))) << atPrint.Messages()[0].toStdString();
    }
    EXPECT_TRUE(QFile::exists(pdf));

    // a run cancelled at A's easting: its value stands, no earlier result in the
    // fields; 打印 asks whether to print the earlier run, and does on 打印
    {
        DialogAnswerer cancelling({"3", "7", ""});
        window.Button(1)->click();
    }
    EXPECT_FALSE(window.State().LastRunCompleted);
    ASSERT_TRUE(window.Button(3)->isEnabled());
    const QString earlier = QString::fromStdString(folder.File("report-of-the-earlier-run.pdf"));
    {
        DialogAnswerer declined({});
        window.Button(3)->click();  // Escape: 取消
        ASSERT_EQ(declined.Messages().size(), 1);
        EXPECT_TRUE(declined.Messages()[0].startsWith(QString::fromUtf8("最近一次输入没有完成。\n打印上次完成的平差：N = ")));
    }
    {
        DialogAnswerer atPrint({});
        atPrint.SetAcceptMessages(true);
        atPrint.SetSaveFile(earlier);
        window.Button(3)->click();
    }
    EXPECT_TRUE(QFile::exists(earlier));
    EXPECT_EQ(FieldText(window, 29), QString::fromUtf8(" 三角锁共有3个三角形"));
    EXPECT_EQ(FieldText(window, 1), " 7.000");
    for (int n = 12; n <= 25; ++n) {
        if (n == 13) continue;
        EXPECT_EQ(FieldText(window, n), "") << "Text" << n;
    }
    EXPECT_EQ(FieldText(window, 10), "S5=100.0000");  // an input field this run has not reached
}

}  // namespace
