// Dispatcher throughput, per running mode, in two ways:
//  - tick: sentences put straight into the receive buffer, one dispatcher tick each;
//  - window: the sentences arrive on the (scripted) serial port and go the whole way,
//    data-available event, receive buffer and the dispatcher's own 10 ms timer.
// Prints sentences per second. The 3D facility is absent here (no GPU), so test mode
// measures the heading display and the dispatcher, not the 3D rendering.
//
// The physical line brings at most about 170 sentences a second at 57600 bit/s; the
// figures show how far the dispatcher stays from being the limit.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/wdwmain.h"

namespace {

struct Mode {
    const char* name;
    bool test, logNow, calibration;
};

void setMode(WdwMain& w, const Mode& mode)
{
    w.mTestGoing = mode.test;
    w.mDataLogging = mode.logNow;
    w.mDataLoggingNow = mode.logNow;
    w.mUserCalibration = mode.calibration;
    w.mUserCalDataCount = 0;
}

double byTicks(WdwMain& w, const QByteArray& chunk, int perChunk, int chunks)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < chunks; ++i) {
        w.mInputStr += chunk;
        w.TimerSerialControl_Action();
    }
    return double(perChunk) * chunks / (double(clock.nsecsElapsed()) / 1e9);
}

double throughWindow(WdwMain& w, ScriptedPort& port, const QByteArray& chunk, int perChunk, int chunks)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < chunks; ++i) {
        port.deliver(chunk);
        // Until the port is read and the dispatcher's timer has handled every line.
        while (port.unreadCount() > 0 || w.mInputStr.contains('\r'))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return double(perChunk) * chunks / (double(clock.nsecsElapsed()) / 1e9);
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir prefs;
    QFile file(prefs.filePath(QStringLiteral("DravikStudio.pref")));
    if (file.open(QIODevice::WriteOnly)) file.write("SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n");
    file.close();
    PortList ports;
    auto* port = static_cast<ScriptedPort*>(ports.add(std::make_unique<ScriptedPort>(QStringLiteral("ttyBENCH"))));
    ScriptedPrompter prompter;
    FixedClock clock;
    WdwMainEnvironment env;
    env.ports = &ports;
    env.prompter = &prompter;
    env.clock = &clock;
    env.preferencesFolder = prefs.path();
    WdwMain w(env);
    if (!port->isOpen()) {
        std::fprintf(stderr, "the window did not open the scripted port\n");
        return 1;
    }
    // The module answers; the configuration read is taken as done.
    throughWindow(w, *port, "$h*\r\n", 1, 1);
    w.mReadConfiguration = false;
    w.mModuleID = QStringLiteral("7");
    w.m3AxisModule = true;
    port->takeWritten();

    // A full sentence of a three-axis module with every word enabled.
    const QByteArray plain = "$C123.4X-1234Y567Z-89T21.5*5A\r\n";
    const QByteArray withError = "$C123.4X-1234Y567Z-89T21.5:E004*5A\r\n";
    const Mode modes[] = {
        {"idle (dropped)", false, false, false},
        {"test mode", true, false, false},
        {"data logging", false, true, false},
        {"calibration", false, false, true},
    };
    const int perChunk = 10000;  // sentences per arrival
    const int chunks = 20;

    std::printf("dispatcher throughput, %d sentences per arrival, %lld bytes each\n", perChunk,
                qlonglong(plain.size()));
    std::printf("  %-16s %-11s %16s %16s\n", "mode", "sentence", "tick [1/s]", "window [1/s]");
    for (const Mode& mode : modes) {
        for (const QByteArray* sentence : {&plain, &withError}) {
            const QByteArray chunk = sentence->repeated(perChunk);
            setMode(w, mode);
            byTicks(w, chunk, perChunk, 2);  // warm-up
            setMode(w, mode);
            const double tick = byTicks(w, chunk, perChunk, chunks);
            setMode(w, mode);
            const double window = throughWindow(w, *port, chunk, perChunk, chunks);
            std::printf("  %-16s %-11s %16.0f %16.0f\n", mode.name, sentence == &plain ? "plain" : "error code",
                        tick, window);
        }
    }
    if (!port->written().isEmpty()) std::printf("(the window wrote %lld bytes)\n", qlonglong(port->written().size()));
    w.allowClose();
    return 0;
}
