// zuno-sim: serves the simulated Zuno module on a pseudo-terminal, for trying the real
// serial backend (or any serial tool) without hardware.
//
//   zuno-sim [--seconds N] [--identity ID]
//
// Prints the terminal's device path as its first line, then serves until killed or
// until N seconds have passed. The computer's line rate is read from the terminal's
// settings, so a program that opens it at another rate than the module's hears noise.
#include <QElapsedTimer>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "sim/simulatedline.h"
#include "sim/zunomodule.h"

namespace {

struct Speed {
    speed_t code;
    qint32 rate;
};
constexpr Speed kSpeeds[] = {{B300, 300},     {B600, 600},     {B1200, 1200},   {B2400, 2400},  {B4800, 4800},
                             {B9600, 9600},   {B19200, 19200}, {B38400, 38400}, {B57600, 57600}};

// 0 when the terminal's speed is none of the module's: then it is taken to match.
qint32 terminalRate(int fd)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) return 0;
    const speed_t s = cfgetospeed(&t);
    for (const Speed& k : kSpeeds)
        if (k.code == s) return k.rate;
    return 0;
}

speed_t speedCode(qint32 rate)
{
    for (const Speed& k : kSpeeds)
        if (k.rate == rate) return k.code;
    return B57600;
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "zuno-sim: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: zuno-sim [--seconds N] [--identity ID]\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv)
{
    double seconds = 0;  // 0: until killed
    ZunoSettings settings;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (i + 1 >= argc) usage();
        if (arg == "--seconds") {
            char* end = nullptr;
            seconds = std::strtod(argv[++i], &end);
            if (*end || seconds < 0) usage();
        } else if (arg == "--identity") {
            settings.identity = argv[++i];
            if (settings.identity != "7") settings.moduleInfo = "Zuno compass module, 2 axis, firmware 2.1";
        } else {
            usage();
        }
    }

    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) fail("posix_openpt");
    if (grantpt(master) != 0) fail("grantpt");
    if (unlockpt(master) != 0) fail("unlockpt");
    const char* path = ptsname(master);
    if (!path) fail("ptsname");
    // Holding the other end open keeps the terminal (and its settings) alive while a
    // program closes and reopens it.
    const int slave = open(path, O_RDWR | O_NOCTTY);
    if (slave < 0) fail("open terminal");
    ZunoModule module(settings);
    termios t{};
    if (tcgetattr(slave, &t) != 0) fail("tcgetattr");
    cfmakeraw(&t);
    cfsetispeed(&t, speedCode(module.lineRate()));
    cfsetospeed(&t, speedCode(module.lineRate()));
    if (tcsetattr(slave, TCSANOW, &t) != 0) fail("tcsetattr");
    if (fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) fail("fcntl");

    std::printf("%s\n", path);
    std::fflush(stdout);

    SimulatedLine line(module);
    QElapsedTimer clock;
    clock.start();
    QByteArray pending;  // what the terminal could not take yet
    char buffer[512];
    for (;;) {
        const double now = double(clock.nsecsElapsed()) / 1e6;
        if (seconds > 0 && now >= seconds * 1000) break;
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 2) < 0 && errno != EINTR) fail("poll");
        // A program sets the rate before it writes: read the rate after the bytes.
        for (;;) {
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) break;  // EAGAIN, or EIO while nobody has the terminal open
            line.setHostRate(terminalRate(slave));
            line.hostWrite(QByteArray(buffer, n), double(clock.nsecsElapsed()) / 1e6);
        }
        line.setHostRate(terminalRate(slave));

        pending += line.take(double(clock.nsecsElapsed()) / 1e6);
        if (pending.size() > 1 << 16) pending.remove(0, pending.size() - (1 << 16));
        while (!pending.isEmpty()) {
            const ssize_t n = write(master, pending.constData(), size_t(pending.size()));
            if (n <= 0) break;
            pending.remove(0, n);
        }
    }
    close(slave);
    close(master);
    return 0;
}
