// The serial line to the module: port and computer rate, "Connect", opening the port
// with the fixed line settings, sending commands and collecting received bytes.
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimer>

#include "../prefs/preferences.h"
#include "../ui/wdwmain.h"

namespace {
constexpr int kOff = 3;
constexpr int kOrange = 4;
constexpr int kRed = 5;
}  // namespace

void WdwMain::PopupSerialPort_Open()
{
    // Filling a combo box selects its first row and notifies; the list must start with
    // no row chosen, and nothing may be opened before the window's open handler runs.
    const QSignalBlocker blocker(PopupSerialPort);
    PopupSerialPort->clear();
    if (mEnv.ports) PopupSerialPort->addItems(mEnv.ports->portNames());
    PopupSerialPort->setCurrentIndex(-1);
}

void WdwMain::PopupSerialPort_Change()
{
    if (mStartUp) return;
    const int row = PopupSerialPort->currentIndex();
    mSerialPort = row < 0 ? prefs::kNoPort : row;
    UpdatePreferenceFile();
    mConnected = false;
    TryOpenSerialAndConnect();
}

void WdwMain::PopupComputerBaudRate_Change()
{
    if (mStartUp) return;
    const int row = PopupComputerBaudRate->currentIndex();
    if (row >= 0 && row < mComputerBaudRate.size()) mBaudRate = mComputerBaudRate[row];
    UpdatePreferenceFile();
    mConnected = false;
    TryOpenSerialAndConnect();
}

void WdwMain::PushButton1_Action()
{
    mConnected = false;
    mInputStr.clear();
    StaticDravikInfo->setText(QString());
    StaticModuleInfo->setText(QString());
    TryOpenSerialAndConnect();
    mReadConfiguration = true;
}

bool WdwMain::OpenSerialPort(qint32 portIndex, qint32 baudRate)
{
    if (SerPort) SerPort->close();
    SerialPort* port = mEnv.ports ? mEnv.ports->port(portIndex) : nullptr;
    if (port != SerPort) {
        // Only the selected port may reach the handlers.
        if (SerPort) disconnect(SerPort, nullptr, this, nullptr);
        SerPort = port;
        if (SerPort) {
            connect(SerPort, &SerialPort::readyRead, this, &WdwMain::SerPort_DataAvailable);
            connect(SerPort, &SerialPort::lost, this, &WdwMain::SerPort_Lost);
        }
    }
    if (!SerPort) return false;
    LineSettings settings;
    settings.baudRate = baudRate;
    settings.dataBits = 8;
    settings.ctsFlowControl = false;
    settings.dtrFlowControl = false;
    settings.parity = false;
    settings.stopBits = 1;
    settings.xonXoff = true;
    return SerPort->open(settings);
}

void WdwMain::TryOpenSerialAndConnect()
{
    // A reopened port has no module until it answers again. Without this, a reply
    // that came in between (the module acknowledging a new line rate at the old one)
    // would leave the link marked connected behind an off lamp and disabled controls.
    mConnected = false;
    SetCanvasBackdrop(CanvasConnected, nullptr, kOff);
    ModuleControls(false);
    // An index the port list does not hold (a port removed since the last run) is no
    // port at all, like 999.
    if (mSerialPort == prefs::kNoPort || !mEnv.ports || !mEnv.ports->port(mSerialPort)) {
        mSerialPortAvailable = false;
        return;
    }
    mSerialPortAvailable = OpenSerialPort(mSerialPort, mBaudRate);
    const QString name = mEnv.ports->portNames().value(mSerialPort);
    if (mSerialPortAvailable) {
        // After a lost port the list shows no row; show the port that is open again.
        if (PopupSerialPort->currentIndex() != mSerialPort) {
            const QSignalBlocker blocker(PopupSerialPort);
            PopupSerialPort->setCurrentIndex(mSerialPort);
        }
        NewSystemLogEvent(QStringLiteral("Opened serial port ") + name);
        SendData(QByteArrayLiteral("h"), true);
    } else {
        NewSystemLogEvent(QStringLiteral("Can not open serial port ") + name);
        SetCanvasBackdrop(CanvasConnected, nullptr, kRed);
    }
}

void WdwMain::SendData(const QByteArray& command, bool carriageReturn)
{
    if (!mSerialPortAvailable || !SerPort) return;
    QByteArray bytes = command;
    if (carriageReturn) bytes += '\r';
    // Ten bits a byte on the line, plus a margin for the driver.
    const int msecs = int(qint64(bytes.size()) * 10 * 1000 / qMax(mBaudRate, 1)) + 1000;
    if (!SerPort->write(bytes) || !SerPort->waitForBytesWritten(msecs))
        SerPort_Lost(QStringLiteral("write failed"));
}

void WdwMain::SerPort_DataAvailable()
{
    if (!SerPort) return;
    if (mConnected) {
        if (!mError) SetCanvasBackdrop(CanvasConnected, nullptr, kOrange);
        TimerSerialActivity->stop();
        TimerSerialActivity->setInterval(100);
        TimerSerialActivity->setSingleShot(true);
        TimerSerialActivity->start();
    }
    mInputStr += SerPort->readAll();
}

void WdwMain::SerPort_Lost(const QString&)
{
    // Reported once per opening: a port that is already given up stays quiet.
    if (!mSerialPortAvailable || !SerPort) return;
    SerPort->close();
    mSerialPortAvailable = false;
    mConnected = false;
    ModuleControls(false);
    SetCanvasBackdrop(CanvasConnected, nullptr, kRed);
    // No row chosen, so choosing the same port again is a change that reopens it.
    {
        const QSignalBlocker blocker(PopupSerialPort);
        PopupSerialPort->setCurrentIndex(-1);
    }
    NewSystemLogEvent(QStringLiteral("Lost serial port ") + SerPort->name());
}
