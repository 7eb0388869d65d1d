// The line between the computer and the simulated module: pacing at the line rate and
// what a rate mismatch lets through, without timers.
#include <QtTest>

#include "sim/simulatedline.h"
#include "sim/zunomodule.h"

namespace {

constexpr qint32 kRates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600};

double byteMs(qint32 rate) { return 10000.0 / rate; }

// Everything that reaches the computer from `from` to `to` ms, polled every 5 ms.
QByteArray collect(SimulatedLine& line, double from, double to)
{
    QByteArray got;
    for (double t = from; t <= to; t += 5) got += line.take(t);
    return got;
}

ZunoSettings atRow(int row)
{
    ZunoSettings s;
    s.lineRateRow = row;
    return s;
}

}  // namespace

class TestSimulatedLine : public QObject {
    Q_OBJECT
private slots:
    void repliesArePacedAtTheLineRate_data();
    void repliesArePacedAtTheLineRate();
    void commandsArePacedToo();
    void wrongRateLetsNothingIntelligibleThrough_data();
    void wrongRateLetsNothingIntelligibleThrough();
    void rateChangeAcknowledgesThenSwitches();
    void resetDropsWhatIsInFlight();
    void streamFillsButNeverOverrunsTheLine();
};

void TestSimulatedLine::repliesArePacedAtTheLineRate_data()
{
    QTest::addColumn<int>("row");
    for (int row = 0; row <= 8; ++row) QTest::newRow(qPrintable(QString::number(kRates[row]))) << row;
}

void TestSimulatedLine::repliesArePacedAtTheLineRate()
{
    QFETCH(int, row);
    const qint32 rate = kRates[row];
    ZunoModule module(atRow(row));
    SimulatedLine line(module);
    line.setHostRate(rate);
    line.hostWrite("h\r", 0);
    const QByteArray reply = "$h*68\r\n";
    // Two bytes up, seven down, ten bit times each.
    const double done = (2 + reply.size()) * byteMs(rate);
    QByteArray got = line.take(done - byteMs(rate) / 2);
    QCOMPARE(got, reply.left(reply.size() - 1));
    got += line.take(done + byteMs(rate) / 10);
    QCOMPARE(got, reply);
    QVERIFY(line.idle());
}

void TestSimulatedLine::commandsArePacedToo()
{
    // At 300 bit/s "info?" takes 200 ms to arrive, then two long lines follow.
    ZunoModule module(atRow(0));
    SimulatedLine line(module);
    line.setHostRate(300);
    line.hostWrite("info?\r", 0);
    QCOMPARE(line.take(6 * byteMs(300) - 1), QByteArray());
    const QByteArray expected = ZunoModule(atRow(0)).receive("info?\r");  // a twin answers the same
    const QByteArray got = collect(line, 200, 200 + expected.size() * byteMs(300) + 5);
    QCOMPARE(got.size(), expected.size());
    QVERIFY(got.startsWith("$info,"));
    QVERIFY(expected.size() * byteMs(300) > 2000);  // visibly slow
}

void TestSimulatedLine::wrongRateLetsNothingIntelligibleThrough_data()
{
    QTest::addColumn<int>("moduleRow");
    QTest::addColumn<int>("hostRow");
    QTest::newRow("module 9600, computer 57600") << 5 << 8;
    QTest::newRow("module 57600, computer 300") << 8 << 0;
    QTest::newRow("module 300, computer 600") << 0 << 1;
}

void TestSimulatedLine::wrongRateLetsNothingIntelligibleThrough()
{
    QFETCH(int, moduleRow);
    QFETCH(int, hostRow);
    ZunoModule module(atRow(moduleRow));
    module.receive("go\r");  // streaming already, as after leaving the Test tab
    SimulatedLine line(module);
    line.setHostRate(kRates[hostRow]);
    for (const char* command : {"h\r", "b?\r", "sn=t\r", "go\r"}) line.hostWrite(command, 0);
    const QByteArray got = collect(line, 0, 5000);
    QVERIFY(!got.isEmpty());  // something arrives: noise
    QVERIFY(!got.contains('$'));
    QVERIFY(!got.contains('*'));
    // The noise still comes in lines, so nothing piles up in the computer's buffer.
    QVERIFY(got.count('\r') >= 2);
    // Nothing the computer sent was understood.
    QCOMPARE(module.settings().northReference, 'm');
    QVERIFY(module.streaming());

    // Choosing the module's rate on the computer brings the link back.
    line.setHostRate(kRates[moduleRow]);
    line.hostWrite("h\r", 6000);
    const QByteArray back = collect(line, 6000, 6000 + 3000 + 100 * byteMs(kRates[moduleRow]));
    QVERIFY2(back.contains("$h*68\r\n"), back.toHex().constData());
}

void TestSimulatedLine::rateChangeAcknowledgesThenSwitches()
{
    ZunoModule module;
    SimulatedLine line(module);
    line.setHostRate(57600);
    line.hostWrite("b=5\r", 0);
    QCOMPARE(collect(line, 0, 50), ZunoModule::frame("b=5"));  // at the old rate
    QCOMPARE(module.lineRate(), 9600);
    line.hostWrite("b?\r", 100);
    QVERIFY(!collect(line, 100, 300).contains('$'));
    line.setHostRate(9600);
    line.hostWrite("b?\r", 400);
    QCOMPARE(collect(line, 400, 450), ZunoModule::frame("b=5"));
}

void TestSimulatedLine::resetDropsWhatIsInFlight()
{
    ZunoModule module(atRow(0));
    SimulatedLine line(module);
    line.setHostRate(300);
    line.hostWrite("sn=t\rinfo?\r", 0);
    collect(line, 0, 600);  // "sn=t" has arrived, the info is on its way
    line.reset(600);
    QVERIFY(line.idle());
    QCOMPARE(collect(line, 600, 3000), QByteArray());
    QCOMPARE(module.settings().northReference, 't');
}

void TestSimulatedLine::streamFillsButNeverOverrunsTheLine()
{
    // /32 at 9600 bit/s: the module would sample faster than the line can carry.
    ZunoSettings s = atRow(5);
    s.asicPeriodRow = 0;
    ZunoModule module(s);
    SimulatedLine line(module);
    line.setHostRate(9600);
    line.hostWrite("go\r", 0);
    const QByteArray got = collect(line, 0, 10000);
    // Near the physical limit (960 bytes a second), and with no backlog building up.
    QVERIFY2(got.size() > 9000 && got.size() <= 9600, qPrintable(QString::number(got.size())));
    QVERIFY(collect(line, 10005, 10100).size() < 200);
}

QTEST_GUILESS_MAIN(TestSimulatedLine)
#include "test_simulatedline.moc"
