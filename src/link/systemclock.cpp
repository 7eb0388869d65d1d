#include "systemclock.h"

#include <time.h>

qint64 SystemClock::ticks() const
{
    // CLOCK_BOOTTIME counts from boot, including suspend, like the tick count it stands for.
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return qint64(ts.tv_sec) * 60 + qint64(ts.tv_nsec) * 60 / 1000000000;
}
