// The serial link over scripted ports: choosing port and rate, "Connect", sending,
// receiving, and a port that goes away while open.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "windowfixture.h"

namespace {
// Records what the preferences file held at the moment the port was opened.
class PrefsWatchingPort : public ScriptedPort {
public:
    PrefsWatchingPort(QString name, QString prefsPath) : ScriptedPort(std::move(name)), mPath(std::move(prefsPath)) {}
    bool open(const LineSettings& settings) override
    {
        QFile file(mPath);
        fileAtOpen << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        return ScriptedPort::open(settings);
    }
    QList<QByteArray> fileAtOpen;

private:
    QString mPath;
};

// Enables the module controls as the dispatcher does when the module answers.
void markConnected(WdwMain& w)
{
    w.mConnected = true;
    w.ModuleControls(true);
}
}  // namespace

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void portListFromCatalog();
    void choosingPortSavesThenOpens();
    void choosingRateSavesThenReopens();
    void failedPortThenWorkingPort();
    void sendData_data();
    void sendData();
    void connectRestartsLink();
    void dataAvailable_data();
    void dataAvailable();
    void onlySelectedPortIsHeard();
    void lostPort_data();
    void lostPort();
    void recoverAfterLoss_data();
    void recoverAfterLoss();
};

void TestSerialLink::portListFromCatalog()
{
    WindowFixture f;
    f.addPort("ttyS9");
    f.addPort("ttyUSB0");
    f.addPort("Simulated module");
    WdwMain& w = f.open();
    QCOMPARE(w.PopupSerialPort->count(), 3);
    for (int i = 0; i < 3; ++i) QCOMPARE(w.PopupSerialPort->itemText(i), f.ports.portNames()[i]);
    // Filling the list chose nothing and opened nothing.
    QCOMPARE(w.PopupSerialPort->currentIndex(), -1);
    for (int i = 0; i < 3; ++i) QCOMPARE(static_cast<ScriptedPort*>(f.ports.port(i))->openings().size(), 0);
}

void TestSerialLink::choosingPortSavesThenOpens()
{
    WindowFixture f;
    f.addPort("ttyA");
    auto* b = f.addPortOf(std::make_unique<PrefsWatchingPort>("ttyB", f.prefsPath()));
    WdwMain& w = f.open();  // first run: 57600, no port
    w.PopupSerialPort->setCurrentIndex(1);

    QCOMPARE(w.mSerialPort, 1);
    // The file already held the new port when the port was opened.
    QCOMPARE(b->fileAtOpen.size(), 1);
    QCOMPARE(b->fileAtOpen[0], QByteArray("SERIALPORT:1\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n"));
    QVERIFY(isFixedLineSettings(b->lastSettings(), 57600));
    QCOMPARE(b->written(), QByteArray("h\r"));
    QCOMPARE(f.logEvents().last(), QString("Opened serial port ttyB"));
    QCOMPARE(w.mSerialPortAvailable, true);
    QCOMPARE(f.indicator(), 3);
}

void TestSerialLink::choosingRateSavesThenReopens()
{
    WindowFixture f;
    auto* a = f.addPortOf(std::make_unique<PrefsWatchingPort>("ttyA", f.prefsPath()));
    f.writePrefs("SERIALPORT:0\nBAUDRATE:8\n");
    WdwMain& w = f.open();
    a->takeWritten();
    w.mConnected = true;
    w.PopupComputerBaudRate->setCurrentIndex(2);

    QCOMPARE(w.mBaudRate, 1200);
    QCOMPARE(w.mConnected, false);
    QCOMPARE(a->openings().size(), 2);
    QCOMPARE(a->closeCount(), 1);
    QVERIFY(isFixedLineSettings(a->lastSettings(), 1200));
    QVERIFY(a->fileAtOpen.last().startsWith("SERIALPORT:0\nBAUDRATE:2\n"));
    QCOMPARE(a->written(), QByteArray("h\r"));
    QCOMPARE(f.logEvents().last(), QString("Opened serial port ttyA"));
}

void TestSerialLink::failedPortThenWorkingPort()
{
    WindowFixture f;
    ScriptedPort* bad = f.addPort("ttyBad");
    ScriptedPort* good = f.addPort("ttyGood");
    bad->setFailOpen(true);
    WdwMain& w = f.open();

    w.PopupSerialPort->setCurrentIndex(0);
    QCOMPARE(w.mSerialPortAvailable, false);
    QCOMPARE(f.indicator(), 5);
    QCOMPARE(f.logEvents().last(), QString("Can not open serial port ttyBad"));
    w.SendData("b?", true);
    QCOMPARE(bad->written(), QByteArray());

    w.PopupSerialPort->setCurrentIndex(1);
    QCOMPARE(w.mSerialPortAvailable, true);
    QCOMPARE(f.indicator(), 3);
    QCOMPARE(good->written(), QByteArray("h\r"));
    QCOMPARE(f.logEvents().last(), QString("Opened serial port ttyGood"));
}

void TestSerialLink::sendData_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<bool>("carriageReturn");
    QTest::addColumn<QByteArray>("onTheLine");
    QTest::newRow("with CR") << QByteArray("b?") << true << QByteArray("b?\r");
    QTest::newRow("single-character halt") << QByteArray("h") << false << QByteArray("h");
    QTest::newRow("empty with CR") << QByteArray() << true << QByteArray("\r");
    QTest::newRow("longer command") << QByteArray("mag_dec=-12.5") << true << QByteArray("mag_dec=-12.5\r");
}

void TestSerialLink::sendData()
{
    QFETCH(QByteArray, command);
    QFETCH(bool, carriageReturn);
    QFETCH(QByteArray, onTheLine);
    WindowFixture f;
    ScriptedPort* a = f.addPort("ttyA");
    WdwMain& w = f.open();
    // No port open: dropped without a word.
    const int events = w.ListSystemLog->topLevelItemCount();
    w.SendData(command, carriageReturn);
    QCOMPARE(a->written(), QByteArray());
    QCOMPARE(w.ListSystemLog->topLevelItemCount(), events);

    w.PopupSerialPort->setCurrentIndex(0);
    a->takeWritten();
    w.SendData(command, carriageReturn);
    QCOMPARE(a->written(), onTheLine);
}

void TestSerialLink::connectRestartsLink()
{
    WindowFixture f;
    ScriptedPort* a = f.addPort("ttyA");
    f.writePrefs("SERIALPORT:0\nBAUDRATE:5\n");
    WdwMain& w = f.open();
    a->takeWritten();
    w.mConnected = true;
    w.mReadConfiguration = false;
    w.mInputStr = "$partial";
    w.StaticDravikInfo->setText("board");
    w.StaticModuleInfo->setText("module");

    w.PushButton1->click();
    QCOMPARE(w.mConnected, false);
    QCOMPARE(w.mInputStr, QByteArray());
    QCOMPARE(w.StaticDravikInfo->text(), QString());
    QCOMPARE(w.StaticModuleInfo->text(), QString());
    QCOMPARE(w.mReadConfiguration, true);
    QCOMPARE(a->openings().size(), 2);
    QVERIFY(isFixedLineSettings(a->lastSettings(), 9600));
    QCOMPARE(a->written(), QByteArray("h\r"));
    QCOMPARE(f.indicator(), 3);
}

void TestSerialLink::dataAvailable_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("indicator");
    QTest::addColumn<bool>("activityRunning");
    QTest::newRow("not connected") << false << false << 3 << false;
    QTest::newRow("connected") << true << false << 4 << true;
    QTest::newRow("connected, error shown") << true << true << 5 << true;
}

void TestSerialLink::dataAvailable()
{
    QFETCH(bool, connected);
    QFETCH(bool, error);
    QFETCH(int, indicator);
    QFETCH(bool, activityRunning);
    WindowFixture f;
    ScriptedPort* a = f.addPort("ttyA");
    f.writePrefs("SERIALPORT:0\nBAUDRATE:8\n");
    WdwMain& w = f.open();
    w.mConnected = connected;
    w.mError = error;
    if (error) w.SetCanvasBackdrop(w.CanvasConnected, nullptr, 5);
    w.mInputStr = "old";

    // Bytes beyond ASCII are kept as they came.
    QVERIFY(a->deliver(QByteArray("$h\r\n\xb0", 5)));
    QTRY_COMPARE(w.mInputStr, QByteArray("old$h\r\n\xb0", 8));
    QVERIFY(a->deliver("$b=8*\r"));
    QTRY_COMPARE(w.mInputStr, QByteArray("old$h\r\n\xb0$b=8*\r", 14));
    QCOMPARE(f.indicator(), indicator);
    QCOMPARE(w.TimerSerialActivity->isActive(), activityRunning);
    if (activityRunning) {
        QCOMPARE(w.TimerSerialActivity->interval(), 100);
        QVERIFY(w.TimerSerialActivity->isSingleShot());
    }
}

void TestSerialLink::onlySelectedPortIsHeard()
{
    WindowFixture f;
    ScriptedPort* a = f.addPort("ttyA");
    ScriptedPort* b = f.addPort("ttyB");
    f.writePrefs("SERIALPORT:0\nBAUDRATE:8\n");
    WdwMain& w = f.open();
    w.PopupSerialPort->setCurrentIndex(1);
    QCOMPARE(a->isOpen(), false);
    // The old port, were it to speak or vanish, no longer reaches the window.
    a->open(LineSettings{});
    a->deliver("from A");
    a->pull();
    QVERIFY(b->deliver("from B"));
    QTRY_COMPARE(w.mInputStr, QByteArray("from B"));
    QCOMPARE(w.mSerialPortAvailable, true);
    QVERIFY(!f.logEvents().contains("Lost serial port ttyA"));
}

void TestSerialLink::lostPort_data()
{
    QTest::addColumn<bool>("byWrite");
    QTest::newRow("adapter pulled") << false;
    QTest::newRow("write fails") << true;
}

void TestSerialLink::lostPort()
{
    QFETCH(bool, byWrite);
    WindowFixture f;
    ScriptedPort* a = f.addPort("ttyA");
    f.writePrefs("SERIALPORT:0\nBAUDRATE:8\n");
    WdwMain& w = f.open();
    markConnected(w);
    w.SetCanvasBackdrop(w.CanvasConnected, nullptr, 1);
    QVERIFY(w.PushCalibrationStart->isEnabled());
    const int closes = a->closeCount();

    if (byWrite) {
        a->setFailWrites(true);
        w.SendData("b?", true);
    } else {
        a->pull();
    }
    QCOMPARE(w.mSerialPortAvailable, false);
    QCOMPARE(w.mConnected, false);
    QCOMPARE(f.indicator(), 5);
    QCOMPARE(f.logEvents().last(), QString("Lost serial port ttyA"));
    QCOMPARE(a->closeCount(), closes + 1);
    QVERIFY(!a->isOpen());
    QVERIFY(!w.PushCalibrationStart->isEnabled());
    QVERIFY(!w.GroupNorthReference->isEnabled());
    QCOMPARE(w.PopupSerialPort->currentIndex(), -1);
    QCOMPARE(w.mSerialPort, 0);  // still remembered for "Connect" and the file

    // Reported once; later commands are dropped quietly.
    const int events = w.ListSystemLog->topLevelItemCount();
    a->pull();
    w.SendData("b?", true);
    QCOMPARE(w.ListSystemLog->topLevelItemCount(), events);
}

void TestSerialLink::recoverAfterLoss_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Connect") << QString("connect");
    QTest::newRow("same port chosen again") << QString("same");
    QTest::newRow("other port chosen") << QString("other");
}

void TestSerialLink::recoverAfterLoss()
{
    QFETCH(QString, how);
    WindowFixture f;
    ScriptedPort* a = f.addPort("ttyA");
    ScriptedPort* b = f.addPort("ttyB");
    f.writePrefs("SERIALPORT:0\nBAUDRATE:8\n");
    WdwMain& w = f.open();
    a->pull();
    a->takeWritten();

    ScriptedPort* expected = a;
    if (how == "connect") {
        w.PushButton1->click();
    } else if (how == "same") {
        w.PopupSerialPort->setCurrentIndex(0);
    } else {
        w.PopupSerialPort->setCurrentIndex(1);
        expected = b;
    }
    QCOMPARE(w.mSerialPortAvailable, true);
    QCOMPARE(f.indicator(), 3);
    QCOMPARE(expected->written(), QByteArray("h\r"));
    QCOMPARE(f.logEvents().last(), "Opened serial port " + expected->name());
    QCOMPARE(w.PopupSerialPort->currentIndex(), w.mSerialPort);
    QVERIFY(expected->deliver("$h\r"));
    QTRY_COMPARE(w.mInputStr, QByteArray("$h\r"));
}

QTEST_MAIN(TestSerialLink)
#include "test_seriallink.moc"
