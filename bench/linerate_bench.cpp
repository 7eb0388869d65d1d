// The application at the full line rate: the simulated module streams over a
// pseudo-terminal at 57600 bit/s into the real serial backend, while the window runs
// test mode (with the real 3D view when a display is there) or data logging. Prints
// the share of one core the process used, sentences handled and the receive buffer,
// and the start-up time from process start to the window shown.
//
//   linerate_bench ZUNO_SIM_PATH [SECONDS]   (run under xvfb-run for the 3D view)
#include <QAbstractItemModel>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTest>
#include <cstdio>
#include <sys/resource.h>
#include <time.h>

#include "fixedclock.h"
#include "link/portlist.h"
#include "link/qtserialport.h"
#include "readings/datalogmodel.h"
#include "readings/view3d_qt.h"
#include "readings/view3d_recording.h"
#include "scriptedprompter.h"
#include "ui/app.h"
#include "ui/wdwmain.h"

namespace {
double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double sinceProcessStart()
{
    // Process start time from /proc/self/stat (field 22, in clock ticks since boot).
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double started = fields.value(21).toDouble() / double(sysconf(_SC_CLK_TCK));
    return now.tv_sec + now.tv_nsec / 1e9 - started;
}

bool waitFor(const std::function<bool()>& condition, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms) return false;
        QTest::qWait(20);
    }
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: linerate_bench ZUNO_SIM_PATH [SECONDS]\n");
        return 2;
    }
    App app(argc, argv);
    const QString simPath = QString::fromLocal8Bit(argv[1]);
    const int seconds = argc > 2 ? atoi(argv[2]) : 60;
    const bool display = qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("offscreen") &&
                         !qEnvironmentVariable("DISPLAY").isEmpty();

    QTemporaryDir folder;
    QFile prefs(folder.filePath(QStringLiteral("DravikStudio.pref")));
    prefs.open(QIODevice::WriteOnly);
    prefs.write("SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:TRUE\nDATA:0,1,2,\n");
    prefs.close();

    QProcess sim;
    sim.start(simPath, {QStringLiteral("--seconds"), QString::number(seconds * 2 + 30)});
    if (!sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "zuno-sim printed no device path\n");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    PortList ports;
    ports.add(std::make_unique<QtSerialPort>(QStringLiteral("zuno-sim"), device));
    ScriptedPrompter prompter;
    FixedClock clock;
    WdwMainEnvironment env{&ports, &prompter, &clock, folder.path(),
                           display ? View3DFactory(createQt3DView) : recordingView3DFactory()};
    auto window = app.createMainWindow(env);
    window->show();
    QTest::qWaitForWindowExposed(window.get());
    std::printf("start-up to window shown: %.0f ms (%s)\n", sinceProcessStart() * 1000,
                display ? "with the Qt 3D view" : "recording 3D view, no display");

    if (!waitFor([&] { return window->mConnected && !window->mReadConfiguration; }, 10000)) {
        std::fprintf(stderr, "configuration read did not finish over %s\n", qPrintable(device));
        return 1;
    }

    auto measure = [&](const char* mode, int tab, QPushButton* go) {
        window->TabMain->setCurrentIndex(tab);
        go->click();
        QTest::qWait(2000);  // the start sequence, then the stream settles
        const qint64 rowsBefore = window->dataLogModel() ? window->dataLogModel()->rowCount() : 0;
        qsizetype maxBuffer = 0;
        const double cpuStart = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < seconds * 1000) {
            QTest::qWait(50);
            maxBuffer = std::max(maxBuffer, window->mInputStr.size());
        }
        const double cpu = processCpuSeconds() - cpuStart;
        const double elapsed = wall.elapsed() / 1000.0;
        const qint64 rows = (window->dataLogModel() ? window->dataLogModel()->rowCount() : 0) - rowsBefore;
        std::printf("%-13s %5.1f s: %5.2f %% of one core, receive buffer at most %lld bytes",
                    mode, elapsed, 100 * cpu / elapsed, qlonglong(maxBuffer));
        if (rows > 0) std::printf(", %lld rows (%.0f a second)", qlonglong(rows), rows / elapsed);
        std::printf("\n");
        go->click();
        QTest::qWait(500);
    };
    measure("test mode", 3, window->PushTestGo);
    measure("data logging", 4, window->PushDataLogGo);

    window->allowClose();
    window->close();
    sim.kill();
    sim.waitForFinished();
    return 0;
}
