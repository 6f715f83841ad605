#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "ui/qt/Fonts.h"
#include "ui/qt/ProgramWindow.h"

namespace {

const char* USAGE =
    "用法：trilat [观测文件]\n"
    "  三边锁平差的窗口程序。给出观测文件时，窗口打开后即运行该文件（与 文件 → 打开观测数据 相同）。\n"
    "  --help     显示本说明\n"
    "  --version  显示版本\n";

}  // namespace

int main(int argc, char** argv)
{
    // answered before any window: they need no display
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(USAGE, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("trilat %s\n", TRILAT_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);  // takes Qt's own options (-platform, …) out of the arguments
    SetUpApplication();
    QStringList files;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i].startsWith('-')) {
            std::fprintf(stderr, "trilat: 不认识的选项「%s」\n%s", arguments[i].toUtf8().constData(), USAGE);
            return 2;
        }
        files << arguments[i];
    }
    if (files.size() > 1) {
        std::fprintf(stderr, "trilat: 一次只能打开一个观测文件\n%s", USAGE);
        return 2;
    }
    ProgramWindow window;
    window.show();
    // a run cut off last time is offered once the window is up; then the file
    QTimer::singleShot(0, &window, [&window, files] {
        window.OfferCutOffRuns();
        if (!files.isEmpty()) window.OpenFile(files.front());
    });
    return app.exec();
}
