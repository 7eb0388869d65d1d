#include "qtserialport.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>

QtSerialPort::QtSerialPort(QString name, QString location, QObject* parent)
    : SerialPort(parent), mName(std::move(name)), mLocation(std::move(location)),
      mPort(std::make_unique<QSerialPort>())
{
    connect(mPort.get(), &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(mPort.get(), &QSerialPort::errorOccurred, this, &QtSerialPort::handleError);
}

QtSerialPort::~QtSerialPort() = default;

void QtSerialPort::close()
{
    mOpened = false;
    mPort->close();
    mPort->clearError();
}

bool QtSerialPort::open(const LineSettings& settings)
{
    close();
    mPort->setPortName(mLocation);
    // In the order the window gives them. QSerialPort has one flow-control setting:
    // the hardware kinds (CTS, DTR) are switched off first, XON/XOFF comes last.
    mPort->setBaudRate(settings.baudRate);
    mPort->setDataBits(QSerialPort::DataBits(settings.dataBits));
    if (!settings.ctsFlowControl && !settings.dtrFlowControl)
        mPort->setFlowControl(QSerialPort::NoFlowControl);
    else
        mPort->setFlowControl(QSerialPort::HardwareControl);
    mPort->setParity(settings.parity ? QSerialPort::EvenParity : QSerialPort::NoParity);
    mPort->setStopBits(settings.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    if (settings.xonXoff) mPort->setFlowControl(QSerialPort::SoftwareControl);

    if (!mPort->open(QIODevice::ReadWrite)) {
        mPort->clearError();
        return false;
    }
    // A pseudo-terminal or a bare UART without modem lines refuses RTS with an
    // unsupported-operation error; the port is still fine to use.
    mPort->setRequestToSend(false);
    mPort->clearError();
    mPort->clear();
    mPort->clearError();
    mOpened = true;
    ++mOpenings;
    return true;
}

bool QtSerialPort::isOpen() const { return mPort->isOpen(); }

bool QtSerialPort::write(const QByteArray& bytes)
{
    if (!mOpened) return false;
    if (mPort->write(bytes) != bytes.size()) {
        reportLost(QStringLiteral("write failed: %1").arg(mPort->errorString()));
        return false;
    }
    return true;
}

bool QtSerialPort::waitForBytesWritten(int msecs)
{
    if (!mOpened) return false;
    // QSerialPort reports false when nothing was waiting to go out.
    if (mPort->bytesToWrite() == 0) return true;
    if (mPort->waitForBytesWritten(msecs)) return true;
    if (mPort->error() == QSerialPort::TimeoutError) {
        // Held up by the far end (XOFF) or a slow line: the bytes go out later.
        mPort->clearError();
        return true;
    }
    return mOpened;
}

QByteArray QtSerialPort::readAll() { return mPort->readAll(); }

void QtSerialPort::handleError(int error)
{
    switch (QSerialPort::SerialPortError(error)) {
    case QSerialPort::ResourceError:
        reportLost(mPort->errorString());
        break;
    case QSerialPort::WriteError:
        reportLost(QStringLiteral("write failed: %1").arg(mPort->errorString()));
        break;
    case QSerialPort::ReadError:
        // The notifier said there was something to read and the read gave nothing or
        // failed: the far end hung up (a closed pseudo-terminal master, a dead USB
        // adapter). QSerialPort then reports this on every pass of the event loop.
        reportLost(QStringLiteral("the device hung up"));
        break;
    default:
        // Everything else (an unsupported modem-line request, a time-out) leaves the
        // port usable.
        break;
    }
}

void QtSerialPort::reportLost(const QString& why)
{
    // Once per opening: QSerialPort repeats a hang-up error on every pass of the
    // event loop until the port is closed.
    if (!mOpened) return;
    mOpened = false;
    // The error arrives from inside QSerialPort's own notification; closing the port
    // there would pull the device out from under it, so it is closed, and the loss
    // reported, from the event loop.
    QMetaObject::invokeMethod(this, [this, why, opening = mOpenings] {
        if (opening != mOpenings) return;  // reopened since: a new, working port
        mPort->close();
        mPort->clearError();
        emit lost(why);
    }, Qt::QueuedConnection);
}

void addSystemSerialPorts(PortList& list)
{
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        return a.systemLocation() < b.systemLocation();
    });
    for (const QSerialPortInfo& info : ports)
        list.add(std::make_unique<QtSerialPort>(info.portName(), info.systemLocation()));
}
