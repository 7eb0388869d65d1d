#include "qtserialport.h"

#include <QSerialPort>
#include <QSerialPortInfo>

QtSerialPort::QtSerialPort(QString name, QString location, QObject* parent)
    : SerialPort(parent), mName(std::move(name)), mLocation(std::move(location)),
      mPort(std::make_unique<QSerialPort>())
{
}

QtSerialPort::~QtSerialPort() = default;

void QtSerialPort::close() { mPort->close(); }

bool QtSerialPort::open(const LineSettings&) { return false; }

bool QtSerialPort::isOpen() const { return mPort->isOpen(); }

bool QtSerialPort::write(const QByteArray&) { return false; }

bool QtSerialPort::waitForBytesWritten(int) { return false; }

QByteArray QtSerialPort::readAll() { return mPort->readAll(); }

void addSystemSerialPorts(PortList&) {}
