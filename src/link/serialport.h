#pragma once
// The window reaches serial ports only through these two interfaces, so the
// application can hand it real ports and the tests scripted ones.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// The line settings the window applies on every open, in the order it applies them.
struct LineSettings {
    qint32 baudRate = 57600;
    int dataBits = 8;
    bool ctsFlowControl = false;
    bool dtrFlowControl = false;
    bool parity = false;  // false: no parity
    int stopBits = 1;
    bool xonXoff = true;
};

class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    virtual QString name() const = 0;
    // Closes the port if it is open; closing a closed port is no error.
    virtual void close() = 0;
    // Applies the settings in the struct's order, opens, drives RTS low and resets
    // the port. Returns whether the port is open.
    virtual bool open(const LineSettings& settings) = 0;
    virtual bool isOpen() const = 0;
    // Returns false when the port could not take the bytes (a lost port).
    virtual bool write(const QByteArray& bytes) = 0;
    // Blocks until everything written has left the port (or the port failed).
    virtual bool waitForBytesWritten(int msecs) = 0;
    virtual QByteArray readAll() = 0;

signals:
    void readyRead();
    // The port went away while open (adapter pulled, device closed, failed write).
    void lost(const QString& why);
};

// The system's list of serial ports, in a stable enumeration order. The catalog owns
// its ports; the same index gives the same object for the catalog's lifetime.
class PortCatalog {
public:
    virtual ~PortCatalog() = default;
    virtual QStringList portNames() const = 0;
    virtual SerialPort* port(int index) = 0;  // nullptr for an index outside the list
};
