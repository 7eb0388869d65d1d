// Repaint of the calibration graph with 100,000 points: prints milliseconds a repaint.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QtMath>
#include <cstdio>
#include <ctime>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedprompter.h"
#include "ui/controls.h"
#include "ui/wdwmain.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    PortList ports;
    ScriptedPrompter prompter;
    FixedClock clock;
    WdwMainEnvironment env{&ports, &prompter, &clock, folder.path(), {}};
    WdwMain window(env);
    window.CanvasUserCalGraph->setGeometry(0, 0, 449, 449);

    const int points = argc > 1 ? atoi(argv[1]) : 100000;
    window.mUserCalDataX.resize(points);
    window.mUserCalDataY.resize(points);
    for (int k = 0; k < points; ++k) {
        const double a = k * 0.013;
        window.mUserCalDataX[k] = float(120 + 300 * std::cos(a) + (k % 7));
        window.mUserCalDataY[k] = float(-40 + 180 * std::sin(a) + (k % 5));
    }
    window.mUserCalDataCount = points;

    // CPU time of this thread, so a busy machine does not inflate the figure.
    auto cpuMs = [] {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
    };
    QImage target(449, 449, QImage::Format_ARGB32_Premultiplied);
    const int repeats = 20;
    double best = 1e9, total = 0;
    for (int r = 0; r < repeats; ++r) {
        target.fill(Qt::white);
        const double start = cpuMs();
        window.CanvasUserCalGraph->render(&target);
        const double ms = cpuMs() - start;
        best = std::min(best, ms);
        total += ms;
    }
    std::printf("calibration repaint, %d points: best %.2f ms, mean %.2f ms of CPU (target 16 ms)\n",
                points, best, total / repeats);
    return 0;
}
