// bench_open_file: an observation file opened in the program's window as
// 文件 → 打开 opens it (ProgramWindow::OpenFile, with the window's journal),
// timed from the call to the results shown: the run over the file's values,
// the result fields written and the window painted once more. A complete file
// runs without any box and its point display unpaced.
//   bench_open_file FILE [TIMES]      prints each time and the median [ms]
// The journal goes to the user's data folder: set XDG_DATA_HOME to a folder on
// the disk being measured.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "ui/qt/Fonts.h"
#include "ui/qt/ProgramWindow.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SetUpApplication();
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_open_file FILE [TIMES]\n");
        return 2;
    }
    const int times = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    ProgramWindow window;
    window.show();
    QApplication::processEvents();
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!window.OpenFile(QString::fromLocal8Bit(argv[1]))) return 1;
        window.repaint();
        QApplication::processEvents();
        ms.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        std::printf("open %d: %.1f ms\n", i + 1, ms.back());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("median: %.1f ms\n", ms[ms.size() / 2]);
    return 0;
}
