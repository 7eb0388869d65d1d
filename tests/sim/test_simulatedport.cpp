// The simulated module behind the port interface, with real time: what the window sees
// when it chooses "Simulated module".
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include "sim/simulatedport.h"

namespace {

LineSettings at(qint32 rate)
{
    LineSettings s;
    s.baudRate = rate;
    return s;
}

// Reads until `what` has arrived or `ms` have passed; returns everything read.
QByteArray readUntil(SerialPort& port, const QByteArray& what, int ms)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (!got.contains(what) && t.elapsed() < ms) {
        QTest::qWait(5);
        got += port.readAll();
    }
    return got;
}

}  // namespace

class TestSimulatedPort : public QObject {
    Q_OBJECT
private slots:
    void answersTheHandshake();
    void slowRatesAreSlow();
    void keepsStateAcrossReopenAndNeedsTheMatchingRate();
    void streamsWhileOpen();
};

void TestSimulatedPort::answersTheHandshake()
{
    auto port = createSimulatedModulePort();
    QCOMPARE(port->name(), QStringLiteral("Simulated module"));
    QVERIFY(!port->isOpen());
    QVERIFY(!port->write("h\r"));
    QVERIFY(port->open(at(57600)));
    QSignalSpy ready(port.get(), &SerialPort::readyRead);
    QVERIFY(port->write("h\r"));
    QVERIFY(port->waitForBytesWritten(1000));
    QVERIFY(ready.wait(2000));
    QCOMPARE(readUntil(*port, "\n", 2000), QByteArray("$h*68\r\n"));
}

void TestSimulatedPort::slowRatesAreSlow()
{
    auto port = createSimulatedModulePort();
    port->open(at(57600));
    port->write("b=0\r");
    QVERIFY(readUntil(*port, "\n", 2000).startsWith("$b=0*"));
    port->open(at(300));
    QElapsedTimer t;
    t.start();
    port->write("id?\r");
    // 4 bytes up and 9 down at 30 bytes a second: well over a third of a second.
    const QByteArray got = readUntil(*port, "\n", 3000);
    QCOMPARE(got, QByteArray("$id=7*07\r\n").left(got.size()));
    QVERIFY(got.endsWith('\n'));
    QVERIFY2(t.elapsed() >= 400, qPrintable(QString::number(t.elapsed())));
}

void TestSimulatedPort::keepsStateAcrossReopenAndNeedsTheMatchingRate()
{
    auto port = createSimulatedModulePort();
    port->open(at(57600));
    port->write("sn=t\rb=6\r");
    QVERIFY(readUntil(*port, "\n", 2000).startsWith("$b=6*"));
    port->close();
    port->open(at(57600));  // the module now speaks 19200
    port->write("h\r");
    port->write("sn?\r");
    QVERIFY(!readUntil(*port, "$", 400).contains('$'));
    port->open(at(19200));
    port->write("sn?\r");
    QVERIFY(readUntil(*port, "\n", 2000).startsWith("$sn=t*"));
}

void TestSimulatedPort::streamsWhileOpen()
{
    auto port = createSimulatedModulePort();
    port->open(at(57600));
    port->write("go\r");
    const QByteArray got = readUntil(*port, "\r\n$C", 3000);
    QVERIFY2(got.startsWith("$C") && got.contains("\r\n$C"), got.constData());
    port->write("h\r");
    QVERIFY(readUntil(*port, "$h*", 2000).contains("$h*68\r\n"));
}

QTEST_GUILESS_MAIN(TestSimulatedPort)
#include "test_simulatedport.moc"
