// The simulated module's output against the physical limit of its line, and what the
// simulation costs: prints sentences a second per ASIC period and line rate, the share
// of the line they fill, and simulated seconds per second of processor time.
#include <QElapsedTimer>
#include <cstdio>

#include "sim/simulatedline.h"
#include "sim/zunomodule.h"

int main()
{
    const char* periods[] = {"/32", "/64", "/128", "/256", "/512", "/1024", "/2048", "/4096"};
    const double seconds = 60;
    std::printf("%-7s %8s %12s %10s\n", "period", "rate", "sentences/s", "line use");
    for (int lineRow : {8, 5, 0}) {
        for (int row = 0; row <= 7; ++row) {
            ZunoSettings s;
            s.lineRateRow = lineRow;
            s.asicPeriodRow = row;
            ZunoModule module(s);
            SimulatedLine line(module);
            line.hostWrite("go\r", 0);
            qsizetype bytes = 0, sentences = 0;
            for (double t = 10; t <= seconds * 1000; t += 10) {
                const QByteArray got = line.take(t);
                bytes += got.size();
                sentences += got.count('\n');
            }
            std::printf("%-7s %8d %12.1f %9.1f%%\n", periods[row], module.lineRate(), sentences / seconds,
                        100.0 * bytes * 10 / (module.lineRate() * seconds));
        }
    }

    // Cost: one simulated hour at the fastest period, polled every 10 ms like the port.
    ZunoSettings fast;
    fast.asicPeriodRow = 0;
    ZunoModule module(fast);
    SimulatedLine line(module);
    line.hostWrite("go\r", 0);
    QElapsedTimer wall;
    wall.start();
    qsizetype bytes = 0;
    const double hourMs = 3600.0 * 1000;
    for (double t = 10; t <= hourMs; t += 10) bytes += line.take(t).size();
    const double ms = double(wall.nsecsElapsed()) / 1e6;
    std::printf("one simulated hour at /32, 57600 bit/s: %.0f ms of processor time (%.0fx real time), %lld bytes\n",
                ms, hourMs / ms, static_cast<long long>(bytes));
    return 0;
}
