#include "simulatedport.h"

#include <QElapsedTimer>
#include <QTimer>

#include "simulatedline.h"
#include "zunomodule.h"

namespace {

// The simulated module behind the port interface. The module lives as long as the
// port object, so it keeps its settings (and its line rate) across close and open,
// like a module that stays powered while the application reopens its port.
class SimulatedModulePort : public SerialPort {
public:
    explicit SimulatedModulePort(QObject* parent) : SerialPort(parent), mLine(mModule)
    {
        mClock.start();
        // Fine enough for 57600 bit/s (58 bytes a tick) and for a smooth 300 bit/s.
        mTimer.setInterval(10);
        connect(&mTimer, &QTimer::timeout, this, &SimulatedModulePort::tick);
    }

    QString name() const override { return QString::fromLatin1(kSimulatedModulePortName); }

    void close() override
    {
        if (!mOpen) return;
        mLine.take(now());  // what had reached the module still counts; the rest is lost
        mTimer.stop();
        mOpen = false;
        mReceived.clear();
    }

    bool open(const LineSettings& settings) override
    {
        close();
        mLine.setHostRate(settings.baudRate);
        mLine.reset(now());
        mReceived.clear();
        mOpen = true;
        mTimer.start();
        return true;
    }

    bool isOpen() const override { return mOpen; }

    bool write(const QByteArray& bytes) override
    {
        if (!mOpen) return false;
        mLine.hostWrite(bytes, now());
        return true;
    }

    // The bytes are handed to the line at once, as a driver takes them into its buffer;
    // the line then carries them at its own pace.
    bool waitForBytesWritten(int) override { return mOpen; }

    QByteArray readAll() override { return std::exchange(mReceived, {}); }

private:
    double now() const { return double(mClock.nsecsElapsed()) / 1e6; }

    void tick()
    {
        const QByteArray got = mLine.take(now());
        if (got.isEmpty()) return;
        mReceived += got;
        emit readyRead();
    }

    ZunoModule mModule;
    SimulatedLine mLine;
    QElapsedTimer mClock;
    QTimer mTimer;
    bool mOpen = false;
    QByteArray mReceived;
};

}  // namespace

std::unique_ptr<SerialPort> createSimulatedModulePort(QObject* parent)
{
    return std::make_unique<SimulatedModulePort>(parent);
}
