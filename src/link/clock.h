#pragma once
// The local date and time and the tick count, behind an interface so that tests can
// fix both.
#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Sixtieths of a second since a fixed start (monotonic).
    virtual qint64 ticks() const = 0;
};
