#pragma once
// The serial line between the computer and the simulated module, without timers: the
// caller says what time it is. Every byte takes ten bit times at the rate it was sent
// with, and a byte received at another rate than it was sent with comes out as noise,
// as on a real line. The noise is never "$", so a module at the wrong rate is never
// detected, and it never forms a command, so the module ignores it too.
#include <QByteArray>
#include <QtGlobal>

#include <deque>

class ZunoModule;

class SimulatedLine {
public:
    // The module's clock is the line's clock: times given later are on that scale.
    explicit SimulatedLine(ZunoModule& module) : mModule(module) {}

    // The computer side's rate in bits per second; 0 when it is not known, and then
    // the computer is taken to match the module.
    void setHostRate(qint32 rate) { mHostRate = rate; }
    qint32 hostRate() const { return mHostRate; }

    // The computer writes bytes at nowMs.
    void hostWrite(const QByteArray& bytes, double nowMs);
    // Runs the module up to nowMs and returns the bytes that have reached the computer
    // since the last call.
    QByteArray take(double nowMs);
    // The computer's port was (re)opened or reset: what was in flight is gone. The
    // module lived through the time since it was last heard.
    void reset(double nowMs);
    // Nothing in flight either way.
    bool idle() const { return mUp.empty() && mDown.empty(); }

    ZunoModule& module() { return mModule; }

    static constexpr size_t kMaxInFlight = 1 << 16;

private:
    struct Byte {
        char value;
        qint32 rate;  // the rate it was sent with
        double time;  // up: when it has reached the module; down: when it was sent
    };
    void queueDown(const QByteArray& bytes, qint32 rate, double time);
    qint32 effectiveHostRate() const;
    char noise(char c);

    ZunoModule& mModule;
    qint32 mHostRate = 0;
    std::deque<Byte> mUp, mDown;
    double mUpFreeAt = 0;    // when the computer's transmitter is free again
    double mDownFreeAt = 0;  // when the module's transmitter is free again
    quint32 mNoiseState = 0x9e3779b9u;
};
