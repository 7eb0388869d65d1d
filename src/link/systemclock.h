#pragma once
#include <QElapsedTimer>

#include "clock.h"

// The real clock: local time, and ticks from a monotonic clock since boot.
class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 ticks() const override;
};
