// The application at the full line rate: the simulated module streams over a
// pseudo-terminal at 57600 bit/s into the real serial backend, while the window runs
// test mode (with the real 3D view when a display is there), data logging or
// calibration, with the module's fastest sample period so the line is the limit.
// Prints the share of one core the process used (also idle, connected and not
// streaming, as the floor), sentences handled, window paints and the receive buffer,
// and the start-up time from process start to the window shown.
//
//   linerate_bench ZUNO_SIM_PATH [SECONDS [idle|test|log|cal]]   (run under xvfb-run for the 3D view)
//   LINERATE_NO_3D=1 linerate_bench ...                      (the same window without Qt 3D)
//
// With "idle", "test", "log" or "cal" (or several, "log,cal") only those are measured,
// for profiling one of them.
#include <QAbstractItemModel>
#include <QComboBox>
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
#include "ui/paintpacer.h"
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

// Counts the headings drawn, passing everything on to the real view.
class CountingView3D final : public View3D {
public:
    explicit CountingView3D(std::unique_ptr<View3D> inner, qint64& redraws)
        : mInner(std::move(inner)), mRedraws(redraws) {}
    QWidget* widget() override { return mInner->widget(); }
    bool hasObjectGroup() const override { return mInner->hasObjectGroup(); }
    Object createObject(const QByteArray& text) override { return mInner->createObject(text); }
    void setScale(Object o, float s) override { mInner->setScale(o, s); }
    void setPositionY(Object o, float y) override { mInner->setPositionY(o, y); }
    void appendObject(Object o) override { mInner->appendObject(o); }
    void setCameraPositionZ(float z) override { mInner->setCameraPositionZ(z); }
    void yawCamera(double r) override { mInner->yawCamera(r); }
    void yaw(Object o, double r) override { mInner->yaw(o, r); }
    void pitch(Object o, double r) override { mInner->pitch(o, r); }
    void roll(Object o, double r) override { mInner->roll(o, r); }
    void setOrientation(Object o, double x, double y, double z, double r) override
    {
        mInner->setOrientation(o, x, y, z, r);
    }
    void setBackgroundColor(const QColor& c) override { mInner->setBackgroundColor(c); }
    void redraw() override
    {
        ++mRedraws;
        mInner->redraw();
    }

private:
    std::unique_ptr<View3D> mInner;
    qint64& mRedraws;
};

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
    const QList<QByteArray> only = argc > 3 ? QByteArray(argv[3]).split(',') : QList<QByteArray>();
    auto wanted = [&](const char* what) { return only.isEmpty() || only.contains(what); };
    const bool display = qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("offscreen") &&
                         !qEnvironmentVariable("DISPLAY").isEmpty();
    // LINERATE_NO_3D=1 keeps the window on screen but without the Qt 3D view, to tell
    // the 3D view's share from the rest.
    const bool with3D = display && qEnvironmentVariableIntValue("LINERATE_NO_3D") == 0;

    QTemporaryDir folder;
    QFile prefs(folder.filePath(QStringLiteral("DravikStudio.pref")));
    prefs.open(QIODevice::WriteOnly);
    prefs.write("SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:TRUE\nDATA:0,1,2,\n");
    prefs.close();

    QProcess sim;
    // The module outlives every phase: three measured ones, two idle ones, the settling.
    sim.start(simPath, {QStringLiteral("--seconds"), QString::number(seconds * 3 + 120)});
    if (!sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "zuno-sim printed no device path\n");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    PortList ports;
    ports.add(std::make_unique<QtSerialPort>(QStringLiteral("zuno-sim"), device));
    ScriptedPrompter prompter;
    FixedClock clock;
    qint64 redraws = 0;
    const View3DFactory inner = with3D ? View3DFactory(createQt3DView) : recordingView3DFactory();
    WdwMainEnvironment env{&ports, &prompter, &clock, folder.path(), [&](QWidget* parent) {
                               return std::make_unique<CountingView3D>(inner(parent), redraws);
                           }};
    auto window = app.createMainWindow(env);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) std::fprintf(stderr, "window not exposed\n");
    std::printf("start-up to window shown: %.0f ms (%s)\n", sinceProcessStart() * 1000,
                with3D ? "with the Qt 3D view" : "recording 3D view, no Qt 3D");

    if (!waitFor([&] { return window->mConnected && !window->mReadConfiguration; }, 10000)) {
        std::fprintf(stderr, "configuration read did not finish over %s\n", qPrintable(device));
        return 1;
    }

    // The fastest sample period: the module then sends as fast as the line carries.
    window->PopupAsicPeriod->setCurrentIndex(0);
    QTest::qWait(500);

    struct Usage {
        double elapsed, cpuShare;
        qsizetype maxBuffer;
    };
    auto sample = [&](int ms) {
        qsizetype maxBuffer = 0;
        const double cpuStart = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < ms) {
            QTest::qWait(50);
            maxBuffer = std::max(maxBuffer, window->mInputStr.size());
        }
        const double elapsed = wall.elapsed() / 1000.0;
        return Usage{elapsed, 100 * (processCpuSeconds() - cpuStart) / elapsed, maxBuffer};
    };
    auto idle = [&](const char* what, int tab) {
        window->TabMain->setCurrentIndex(tab);
        QTest::qWait(500);
        const Usage u = sample(10000);
        std::printf("%-28s %5.1f s: %5.2f %% of one core\n", what, u.elapsed, u.cpuShare);
    };
    auto measure = [&](const char* mode, int tab, QPushButton* go) {
        window->TabMain->setCurrentIndex(tab);
        go->click();
        QTest::qWait(2000);  // the start sequence, then the stream settles
        const qint64 rowsBefore = window->dataLogModel() ? window->dataLogModel()->rowCount() : 0;
        const qint64 redrawsBefore = redraws;
        const qint64 paintsBefore = window->paintPacer()->paints();
        const Usage u = sample(seconds * 1000);
        const qint64 rows = (window->dataLogModel() ? window->dataLogModel()->rowCount() : 0) - rowsBefore;
        const qint64 headings = redraws - redrawsBefore;
        const qint64 paints = window->paintPacer()->paints() - paintsBefore;
        std::printf("%-28s %5.1f s: %5.2f %% of one core, receive buffer at most %lld bytes",
                    mode, u.elapsed, u.cpuShare, qlonglong(u.maxBuffer));
        if (headings > 0) std::printf(", %lld headings (%.0f a second)", qlonglong(headings), headings / u.elapsed);
        if (rows > 0) std::printf(", %lld rows (%.0f a second)", qlonglong(rows), rows / u.elapsed);
        if (tab == 2)
            std::printf(", %d calibration points (%.0f a second)", window->mUserCalDataCount,
                        window->mUserCalDataCount / u.elapsed);
        std::printf(", window painted %.0f times a second", paints / u.elapsed);
        std::printf("\n");
        go->click();
        QTest::qWait(500);
    };
    if (wanted("idle")) idle("idle on the Test tab", 3);
    if (wanted("test")) measure("test mode", 3, window->PushTestGo);
    if (wanted("idle")) idle("idle on the Data Logger tab", 4);
    if (wanted("log")) measure("data logging", 4, window->PushDataLogGo);
    if (wanted("cal")) measure("calibration", 2, window->PushCalibrationStart);

    window->allowClose();
    window->close();
    sim.kill();
    sim.waitForFinished();
    return 0;
}
