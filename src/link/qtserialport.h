#pragma once
// The real serial backend: QSerialPort behind the SerialPort interface.
#include <memory>

#include "portlist.h"
#include "serialport.h"

class QSerialPort;

class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    // name: what the port list shows; location: the device path or system name that
    // QSerialPort opens (for example a pseudo-terminal's /dev/pts/N).
    QtSerialPort(QString name, QString location, QObject* parent = nullptr);
    ~QtSerialPort() override;

    QString name() const override { return mName; }
    void close() override;
    bool open(const LineSettings& settings) override;
    bool isOpen() const override;
    bool write(const QByteArray& bytes) override;
    bool waitForBytesWritten(int msecs) override;
    QByteArray readAll() override;

private:
    void handleError(int error);  // a QSerialPort::SerialPortError
    void reportLost(const QString& why);

    QString mName;
    QString mLocation;
    std::unique_ptr<QSerialPort> mPort;
    bool mOpened = false;  // open, and not yet reported lost
    quint64 mOpenings = 0;  // successful opens so far
};

// Adds the system's serial ports to a list, sorted by system location so the indices
// stay stable between runs.
void addSystemSerialPorts(PortList& list);
