#pragma once
// A serial port that passes everything to another port and notes, in one record
// shared by all ports of a scenario, every byte the application wrote to the line.
#include <QByteArray>
#include <memory>

#include "link/serialport.h"

// Everything written to the serial line in order, and how much of it the scenario
// has matched with expect-sent so far.
struct WireRecord {
    QByteArray written;
    qsizetype matched = 0;
    QByteArray unmatched() const { return written.mid(matched); }
};

class RecordingPort : public SerialPort {
    Q_OBJECT
public:
    // inner: the port that does the work; owned is set when this port owns it.
    RecordingPort(SerialPort* inner, std::unique_ptr<SerialPort> owned, WireRecord* record,
                  QObject* parent = nullptr);
    ~RecordingPort() override;

    SerialPort* inner() const { return mInner; }

    QString name() const override { return mInner->name(); }
    void close() override { mInner->close(); }
    bool open(const LineSettings& settings) override { return mInner->open(settings); }
    bool isOpen() const override { return mInner->isOpen(); }
    bool write(const QByteArray& bytes) override;
    bool waitForBytesWritten(int msecs) override { return mInner->waitForBytesWritten(msecs); }
    QByteArray readAll() override { return mInner->readAll(); }

private:
    SerialPort* mInner;
    std::unique_ptr<SerialPort> mOwned;
    WireRecord* mRecord;
};
