#include "simulatedline.h"

#include <algorithm>

#include "zunomodule.h"

namespace {
double byteTimeMs(qint32 rate) { return 10000.0 / double(rate); }  // start, 8 data, stop
}  // namespace

qint32 SimulatedLine::effectiveHostRate() const { return mHostRate > 0 ? mHostRate : mModule.lineRate(); }

char SimulatedLine::noise(char c)
{
    // The end of a garbled line still looks like an end of line to the computer, so its
    // receive buffer is cut into short lines of noise instead of growing without end.
    if (c == '\n') return '\r';
    mNoiseState = mNoiseState * 1103515245u + 12345u;
    return char(0x80 | ((mNoiseState >> 16) & 0x7f));
}

void SimulatedLine::hostWrite(const QByteArray& bytes, double nowMs)
{
    const qint32 rate = effectiveHostRate();
    for (char c : bytes) {
        mUpFreeAt = std::max(mUpFreeAt, nowMs) + byteTimeMs(rate);
        if (mUp.size() < kMaxInFlight) mUp.push_back({c, rate, mUpFreeAt});
    }
}

void SimulatedLine::queueDown(const QByteArray& bytes, qint32 rate, double time)
{
    for (char c : bytes) {
        if (mDown.size() >= kMaxInFlight) mDown.pop_front();  // the module's buffer overruns
        mDown.push_back({c, rate, time});
    }
}

QByteArray SimulatedLine::take(double nowMs)
{
    while (!mUp.empty() && mUp.front().time <= nowMs) {
        const Byte b = mUp.front();
        mUp.pop_front();
        queueDown(mModule.advance(b.time - mModule.timeMs()), mModule.lineRate(), b.time);
        const qint32 rate = mModule.lineRate();  // replies go out at the rate in force
        const char heard = b.rate == rate ? b.value : noise(b.value);
        queueDown(mModule.receive(QByteArray(1, heard)), rate, b.time);
    }
    queueDown(mModule.advance(nowMs - mModule.timeMs()), mModule.lineRate(), nowMs);

    QByteArray out;
    const qint32 host = effectiveHostRate();
    while (!mDown.empty()) {
        const Byte& b = mDown.front();
        const double done = std::max(mDownFreeAt, b.time) + byteTimeMs(b.rate);
        if (done > nowMs) break;
        mDownFreeAt = done;
        out += b.rate == host ? b.value : noise(b.value);
        mDown.pop_front();
    }
    return out;
}

void SimulatedLine::reset(double nowMs)
{
    // Bytes still on their way to the module arrive, and the module acts on them.
    while (!mUp.empty() && mUp.front().time <= nowMs) {
        const Byte b = mUp.front();
        mUp.pop_front();
        mModule.pass(b.time - mModule.timeMs());
        mModule.receive(QByteArray(1, b.rate == mModule.lineRate() ? b.value : noise(b.value)));
    }
    mUp.clear();
    mModule.pass(nowMs - mModule.timeMs());
    mDown.clear();
    mUpFreeAt = mDownFreeAt = nowMs;
}
