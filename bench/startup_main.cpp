// bench_startup: the program's start as trilat makes it (application, font
// substitutes, Form1 built and shown), ending the process as soon as the
// window has been painted for the first time. Prints the milliseconds from
// main to the window shown and to its first paint; the whole process from
// exec to exit is timed by bench/run-bench.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

#include "ui/qt/Fonts.h"
#include "ui/qt/MainWindow.h"

namespace {

class FirstPaint : public QObject {
public:
    explicit FirstPaint(const QElapsedTimer& clock) : clock_(clock) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // after the paint has been done and flushed
            QTimer::singleShot(0, [this] { Finish(); });
        }
        return QObject::eventFilter(watched, event);
    }
    qint64 shownMs = -1;

private:
    void Finish()
    {
        std::printf("startup: main to shown %lld ms, main to first paint %lld ms\n",
                    static_cast<long long>(shownMs), static_cast<long long>(clock_.elapsed()));
        std::fflush(stdout);
        _exit(0);  // the start is measured, not the teardown
    }
    const QElapsedTimer& clock_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    SetUpApplication();
    MainWindow window;
    FirstPaint watcher(clock);
    window.installEventFilter(&watcher);
    window.show();
    watcher.shownMs = clock.elapsed();
    QTimer::singleShot(10000, [] {
        std::fprintf(stderr, "bench_startup: the window was not painted within 10 s\n");
        _exit(1);
    });
    return app.exec();
}
