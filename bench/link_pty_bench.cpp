// The real serial backend over a pseudo-terminal: how fast received bytes reach the
// receive buffer, and how long one SendData takes. Prints its figures; the line itself
// carries at most 5760 bytes a second at 57600 bit/s.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include "fixedclock.h"
#include "link/portlist.h"
#include "link/qtserialport.h"
#include "scriptedprompter.h"
#include "ui/wdwmain.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int master = -1, slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    QTemporaryDir folder;
    {
        QFile prefs(folder.filePath("DravikStudio.pref"));
        if (!prefs.open(QIODevice::WriteOnly)) return 1;
        prefs.write("SERIALPORT:0\nBAUDRATE:8\n");
    }
    PortList ports;
    ports.add(std::make_unique<QtSerialPort>("pty", QString::fromLocal8Bit(name)));
    ScriptedPrompter prompter;
    FixedClock clock;
    WdwMainEnvironment env{&ports, &prompter, &clock, folder.path(), {}};
    WdwMain window(env);
    window.TimerSerialControl->stop();  // keep every byte in the receive buffer
    char sink[64];
    (void)!::read(master, sink, sizeof sink);  // the "h\r" of the start-up
    // The far end must not block while the application is the one to drain the line.
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    // Receiving: data sentences written by the far end in 4 KiB bursts.
    const int total = argc > 1 ? atoi(argv[1]) : 4 * 1024 * 1024;
    const QByteArray sentence = "$C123.4P0.0R0.0X12.34Y-5.67Z1.00T22.5*3F\r\n";
    QByteArray burst;
    while (burst.size() < 4096) burst += sentence;
    QElapsedTimer timer;
    timer.start();
    qint64 written = 0;
    while (written < total) {
        const ssize_t n = ::write(master, burst.constData(), size_t(qMin<qint64>(burst.size(), total - written)));
        if (n > 0) written += n;
        QCoreApplication::processEvents();
    }
    while (window.mInputStr.size() < written && timer.elapsed() < 30000) QCoreApplication::processEvents();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("receive: %lld bytes in %.3f s, %.1f MB/s (%.0f times the 5760 B/s of the line)\n",
                static_cast<long long>(window.mInputStr.size()), seconds,
                window.mInputStr.size() / seconds / 1e6, window.mInputStr.size() / seconds / 5760);

    // Sending: one command, written and waited for.
    const int commands = 2000;
    timer.restart();
    for (int i = 0; i < commands; ++i) {
        window.SendData("b?", true);
        while (::read(master, sink, sizeof sink) < 0 && errno == EAGAIN) {}
    }
    std::printf("SendData: %.1f us a command over %d commands\n", timer.nsecsElapsed() / 1e3 / commands, commands);
    ::close(master);
    ::close(slave);
    return 0;
}
