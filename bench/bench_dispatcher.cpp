// Dispatcher throughput: data sentences put into the receive buffer of a real window
// and handled by its ticks, per running mode. Prints sentences per second.
//
// The physical line delivers at most about 170 sentences a second at 57600 bit/s;
// the figures here show how far the dispatcher stays from being the limit.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
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

double sentencesPerSecond(WdwMain& w, const QByteArray& chunk, int sentencesPerChunk, int chunks)
{
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < chunks; ++i) {
        w.mInputStr += chunk;
        w.TimerSerialControl_Action();
        // Calibration keeps every point; keep the store from growing across runs.
        if (w.mUserCalDataCount > 1000000) w.mUserCalDataCount = 0;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return double(sentencesPerChunk) * chunks / seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir prefs;
    PortList ports;
    ports.add(std::make_unique<ScriptedPort>(QStringLiteral("ttyBENCH")));
    ScriptedPrompter prompter;
    FixedClock clock;
    WdwMainEnvironment env;
    env.ports = &ports;
    env.prompter = &prompter;
    env.clock = &clock;
    env.preferencesFolder = prefs.path();
    WdwMain w(env);
    w.TimerSerialControl->stop();
    w.mConnected = true;
    w.mReadConfiguration = false;
    w.mModuleID = QStringLiteral("7");
    w.m3AxisModule = true;

    // A full sentence as a three-axis module sends it with every word enabled.
    const QByteArray sentence = "$C123.4X-1234Y567Z-89T21.5*5A\r\n";
    const QByteArray errorSentence = "$C123.4X-1234Y567Z-89T21.5:E004*5A\r\n";
    const int perChunk = 2000;

    const Mode modes[] = {
        {"idle (sentences dropped)", false, false, false},
        {"test mode", true, false, false},
        {"data logging", false, true, false},
        {"calibration", false, false, true},
    };
    std::printf("dispatcher, %d sentences per tick, %lld bytes each\n", perChunk, qlonglong(sentence.size()));
    for (const Mode& mode : modes) {
        for (const QByteArray* s : {&sentence, &errorSentence}) {
            w.mTestGoing = mode.test;
            w.mDataLogging = mode.logNow;
            w.mDataLoggingNow = mode.logNow;
            w.mUserCalibration = mode.calibration;
            const QByteArray chunk = s->repeated(perChunk);
            sentencesPerSecond(w, chunk, perChunk, 20);  // warm-up
            const double rate = sentencesPerSecond(w, chunk, perChunk, 200);
            std::printf("  %-26s %-11s %12.0f sentences/s\n", mode.name,
                        s == &sentence ? "plain" : "error code", rate);
        }
    }
    // A tick that finds many short replies and a half line at the end.
    w.mTestGoing = w.mDataLogging = w.mDataLoggingNow = w.mUserCalibration = false;
    const QByteArray replies = QByteArray("$ec=e*\r\n$em=e*\r\n$et=e*\r\n$h*\r\n$save*\r\n").repeated(400) + "$C1";
    std::printf("  %-38s %12.0f lines/s\n", "idle replies",
                sentencesPerSecond(w, replies, 2000, 200));
    return 0;
}
