// The real serial backend against a pseudo-terminal that the test creates: the test
// holds the master side and plays the module; the application opens the slave by path.
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include "link/qtserialport.h"
#include "windowfixture.h"

namespace {
struct PseudoTerminal {
    int master = -1;
    int slave = -1;
    QString slavePath;

    PseudoTerminal()
    {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0) slavePath = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal()
    {
        closeMaster();
        if (slave >= 0) ::close(slave);
    }
    bool ok() const { return master >= 0 && slave >= 0; }
    void closeMaster()
    {
        if (master >= 0) ::close(master);
        master = -1;
    }
    // What the application wrote, waiting up to msecs for `want` bytes.
    QByteArray readMaster(int want, int msecs = 2000)
    {
        QByteArray got;
        QDeadlineTimer deadline(msecs);
        while (got.size() < want && !deadline.hasExpired()) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, int(qMax<qint64>(1, deadline.remainingTime()))) <= 0) break;
            char buf[256];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, n);
        }
        return got;
    }
    bool writeMaster(const QByteArray& bytes) { return ::write(master, bytes.constData(), bytes.size()) == bytes.size(); }
};

speed_t speedOf(qint32 rate)
{
    switch (rate) {
    case 300: return B300;
    case 1200: return B1200;
    case 9600: return B9600;
    case 38400: return B38400;
    case 57600: return B57600;
    default: return B0;
    }
}

LineSettings fixedSettings(qint32 rate)
{
    LineSettings s;
    s.baudRate = rate;
    return s;
}
}  // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void lineSettingsApplied_data();
    void lineSettingsApplied();
    void openFailsOnMissingDevice();
    void windowTalksOverPseudoTerminal();
    void closedPeerIsLostPort_data();
    void closedPeerIsLostPort();
    void systemPortsSortedByLocation();
};

void TestQtSerialPort::lineSettingsApplied_data()
{
    QTest::addColumn<qint32>("rate");
    for (qint32 rate : {300, 1200, 9600, 38400, 57600}) QTest::addRow("%d", rate) << rate;
}

void TestQtSerialPort::lineSettingsApplied()
{
    QFETCH(qint32, rate);
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    QtSerialPort port("pty", pty.slavePath);
    QSignalSpy lost(&port, &SerialPort::lost);
    QVERIFY(port.open(fixedSettings(rate)));
    QVERIFY(port.isOpen());

    termios t{};
    QCOMPARE(tcgetattr(pty.slave, &t), 0);
    QCOMPARE(cfgetospeed(&t), speedOf(rate));
    QCOMPARE(cfgetispeed(&t), speedOf(rate));
    QCOMPARE(t.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(t.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(t.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(t.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(t.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));

    // The refused RTS request of a pseudo-terminal is no loss.
    QTest::qWait(20);
    QCOMPARE(lost.count(), 0);

    // Reopening at another rate takes the new rate.
    QVERIFY(port.open(fixedSettings(rate == 9600 ? 57600 : 9600)));
    QCOMPARE(tcgetattr(pty.slave, &t), 0);
    QCOMPARE(cfgetospeed(&t), speedOf(rate == 9600 ? 57600 : 9600));
    port.close();
    QVERIFY(!port.isOpen());
    port.close();  // closing a closed port is no error
}

void TestQtSerialPort::openFailsOnMissingDevice()
{
    QTemporaryDir dir;
    QtSerialPort port("missing", dir.filePath("no-such-tty"));
    QVERIFY(!port.open(fixedSettings(9600)));
    QVERIFY(!port.isOpen());
    QVERIFY(!port.write("h\r"));
}

void TestQtSerialPort::windowTalksOverPseudoTerminal()
{
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    WindowFixture f;
    f.ports.add(std::make_unique<QtSerialPort>("pty", pty.slavePath));
    f.writePrefs("SERIALPORT:0\nBAUDRATE:5\n");
    WdwMain& w = f.open();

    QCOMPARE(w.mSerialPortAvailable, true);
    QCOMPARE(f.logEvents().last(), QString("Opened serial port pty"));
    QCOMPARE(pty.readMaster(2), QByteArray("h\r"));
    termios t{};
    QCOMPARE(tcgetattr(pty.slave, &t), 0);
    QCOMPARE(cfgetospeed(&t), speed_t(B9600));

    // The module's bytes reach the receive buffer unchanged, CR/LF included.
    QVERIFY(pty.writeMaster("$h\r\n"));
    QTRY_COMPARE(w.mInputStr, QByteArray("$h\r\n"));
    QVERIFY(pty.writeMaster("$b=5*\r"));
    QTRY_COMPARE(w.mInputStr, QByteArray("$h\r\n$b=5*\r"));

    w.SendData("b?", true);
    QCOMPARE(pty.readMaster(3), QByteArray("b?\r"));
    w.SendData("h", false);
    QCOMPARE(pty.readMaster(1), QByteArray("h"));

    // "Connect" reopens the same device and says "h" again.
    w.PushButton1->click();
    QCOMPARE(w.mSerialPortAvailable, true);
    QCOMPARE(pty.readMaster(2), QByteArray("h\r"));
}

void TestQtSerialPort::closedPeerIsLostPort_data()
{
    QTest::addColumn<bool>("noticedByWrite");
    QTest::newRow("noticed by reading") << false;
    QTest::newRow("noticed by writing") << true;
}

void TestQtSerialPort::closedPeerIsLostPort()
{
    QFETCH(bool, noticedByWrite);
    PseudoTerminal pty;
    QVERIFY(pty.ok());
    WindowFixture f;
    auto* port = static_cast<QtSerialPort*>(f.ports.add(std::make_unique<QtSerialPort>("pty", pty.slavePath)));
    f.writePrefs("SERIALPORT:0\nBAUDRATE:8\n");
    WdwMain& w = f.open();
    QCOMPARE(pty.readMaster(2), QByteArray("h\r"));
    w.mConnected = true;
    w.ModuleControls(true);
    QVERIFY(w.PushCalibrationStart->isEnabled());

    pty.closeMaster();
    if (noticedByWrite) {
        // Before the event loop has seen the hang-up: the command cannot go out.
        w.SendData("b?", true);
        QCOMPARE(w.mSerialPortAvailable, false);
    }
    QTRY_COMPARE(w.mSerialPortAvailable, false);
    QCOMPARE(w.mConnected, false);
    QCOMPARE(f.indicator(), 5);
    QVERIFY(!w.PushCalibrationStart->isEnabled());
    QVERIFY(!port->isOpen());
    QTest::qWait(50);
    QCOMPARE(f.logEvents().count("Lost serial port pty"), 1);
    QCOMPARE(f.logEvents().last(), QString("Lost serial port pty"));
    // Nothing goes out any more, and nothing is reported for it.
    w.SendData("b?", true);
    QCOMPARE(f.logEvents().count("Lost serial port pty"), 1);
}

void TestQtSerialPort::systemPortsSortedByLocation()
{
    // Listing is safe: nothing is opened. Pseudo-terminals are not among them.
    PortList list;
    addSystemSerialPorts(list);
    QStringList names = list.portNames();
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    // Names are the system's port names, and with one folder (/dev) the location
    // order is the name order.
    QCOMPARE(names, sorted);
    for (int i = 0; i < list.size(); ++i) QVERIFY(!list.port(i)->isOpen());
}

QTEST_MAIN(TestQtSerialPort)
#include "test_qtserialport.moc"
