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
    DialogAnswerer atPrint({});
    atPrint.SetAcceptMessages(true);
    atPrint.SetSaveFile(pdf);
    window.Button(3)->click();
    ASSERT_EQ(atPrint.Messages().size(), 1);
    EXPECT_TRUE(atPrint.Messages().front().contains(QString::fromUtf8("打印机"))) << atPrint.Messages().front().toStdString();
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QString::fromUtf8("由已知边起算的三边锁平差"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains("P1")) << printed.toStdString();
    EXPECT_TRUE(window.isVisible());  // the program stays

    // A second run that is cancelled disables printing again.
    DialogAnswerer cancelling({"<CANCEL>"});
    window.Button(1)->click();
    EXPECT_FALSE(window.State().LastRunCompleted);
    EXPECT_FALSE(window.Button(3)->isEnabled());
}

}  // namespace
