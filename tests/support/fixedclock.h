#pragma once
// A clock whose date, time and tick count can be fixed; unfixed parts run for real.
#include <optional>

#include "link/systemclock.h"

class FixedClock : public Clock {
public:
    void fixNow(const QDateTime& now) { mNow = now; }
    void fixTicks(qint64 ticks) { mTicks = ticks; }
    QDateTime now() const override { return mNow ? *mNow : mReal.now(); }
    qint64 ticks() const override { return mTicks ? *mTicks : mReal.ticks(); }

private:
    std::optional<QDateTime> mNow;
    std::optional<qint64> mTicks;
    SystemClock mReal;
};
