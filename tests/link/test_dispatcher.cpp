// The dispatcher driven tick by tick on a real window: bytes are put into the receive
// buffer, one tick runs, and the test looks at what went out on the scripted port and
// at the state and controls the replies set.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/controls.h"
#include "ui/wdwmain.h"

namespace {

const QByteArray kPrefs = "SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n";

// A window whose stored port 0 is a scripted port, opened at start-up.
class Rig {
public:
    Rig()
    {
        QFile prefs(mPrefsFolder.filePath(QStringLiteral("DravikStudio.pref")));
        if (prefs.open(QIODevice::WriteOnly)) prefs.write(kPrefs);
        prefs.close();
        port = static_cast<ScriptedPort*>(mPorts.add(std::make_unique<ScriptedPort>(QStringLiteral("ttyTEST0"))));
        WdwMainEnvironment env;
        env.ports = &mPorts;
        env.prompter = &prompter;
        env.clock = &clock;
        env.preferencesFolder = mPrefsFolder.path();
        w = std::make_unique<WdwMain>(env);
        port->takeWritten();  // the halt of the start-up
    }

    // The module's bytes land in the receive buffer; one dispatcher tick follows.
    void receive(const QByteArray& bytes)
    {
        w->mInputStr += bytes;
        w->TimerSerialControl_Action();
    }
    QByteArray sent() { return port->takeWritten(); }

    // Through the real connection step: the first line with "$" after the open.
    void connect()
    {
        receive("$h*\r\n");
        QCOMPARE(sent(), QByteArray("b?\r"));
    }

    // Connected after a finished configuration read of a module with this identity.
    void connectIdle(const QString& moduleId = QStringLiteral("3"))
    {
        w->mReadConfiguration = false;
        connect();
        w->mModuleID = moduleId;
    }

    QTemporaryDir mPrefsFolder;
    PortList mPorts;
    ScriptedPort* port = nullptr;
    ScriptedPrompter prompter;
    FixedClock clock;
    std::unique_ptr<WdwMain> w;
};

// The configuration controls as text, to see that a reply changed none of them.
QStringList configurationControls(const WdwMain& w)
{
    auto on = [](const QAbstractButton* b) { return b->isChecked() ? QStringLiteral("1") : QStringLiteral("0"); };
    return {QString::number(w.PopupModuleBaudRate->currentIndex()), w.StaticDravikInfo->text(),
            w.StaticModuleInfo->text(), on(w.RadioMagnetic), on(w.RadioTrue),
            on(w.CheckSingleCharacterHalt), on(w.RadioCompassDegrees), on(w.RadioCompassMils),
            on(w.RadioTemperatureCelsius), on(w.RadioTemperatureFahrenheit), w.EditDeclination->text(),
            on(w.CheckDamping), QString::number(w.PopupDampsize->currentIndex()),
            QString::number(w.PopupAsicPeriod->currentIndex()), on(w.RadioVaroMode), on(w.RadioRawMode),
            w.mModuleID};
}

// The six controls the identity reply enables or disables, by their own flag (their
// containers follow the link separately).
QList<bool> moduleDependentEnabled(const WdwMain& w)
{
    QList<bool> enabled;
    for (const QWidget* c : {static_cast<QWidget*>(w.PushCalibrationStart), static_cast<QWidget*>(w.PushCalibrationClear),
                             static_cast<QWidget*>(w.RadioTemperatureCelsius),
                             static_cast<QWidget*>(w.RadioTemperatureFahrenheit), static_cast<QWidget*>(w.CheckDamping),
                             static_cast<QWidget*>(w.PopupDampsize)})
        enabled << !c->testAttribute(Qt::WA_ForceDisabled);
    return enabled;
}

}  // namespace

class TestDispatcher : public QObject {
    Q_OBJECT
private slots:
    void rowsOutsideTheListsAreIgnored_data();
    void rowsOutsideTheListsAreIgnored();
    void repliesAfterTheReadChangeNothing_data();
    void repliesAfterTheReadChangeNothing();
    void identityReplySetsEnablingOutsideTheRead_data();
    void identityReplySetsEnablingOutsideTheRead();
    void repliesFollowTheModeThatComesFirst_data();
    void repliesFollowTheModeThatComesFirst();
    void haltWhileLoggingDropsWaitingLines();
    void sentencesGoToOneUserByPrecedence_data();
    void sentencesGoToOneUserByPrecedence();
    void calibrationPoints_data();
    void calibrationPoints();
    void longIncompleteLineIsDropped_data();
    void longIncompleteLineIsDropped();
    void manyCompleteLinesInOneTick();
    void timerIsRunningBetweenTicks();
    void scheduledEvent_data();
    void scheduledEvent();
    void reschedulingRestartsTheCountdown();
};

// A value that names no row leaves the selection alone; the read goes on.
void TestDispatcher::rowsOutsideTheListsAreIgnored_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("next");

    QTest::newRow("rate row 9") << QByteArray("$b=9\r\n") << QByteArray("info?\r");
    QTest::newRow("negative rate row") << QByteArray("$b=-1\r\n") << QByteArray("info?\r");
    QTest::newRow("huge rate row") << QByteArray("$b=99999999999999999999\r\n") << QByteArray("info?\r");
    QTest::newRow("period row 8") << QByteArray("$ps=8*\r\n") << QByteArray("sdo?\r");
    QTest::newRow("negative period row") << QByteArray("$ps=-3*\r\n") << QByteArray("sdo?\r");
    QTest::newRow("damping size 21") << QByteArray("$dampsize=21*\r\n") << QByteArray("ps?\r");
    QTest::newRow("damping size 07") << QByteArray("$dampsize=07*\r\n") << QByteArray("ps?\r");
    QTest::newRow("empty damping size") << QByteArray("$dampsize=*\r\n") << QByteArray("ps?\r");
}

void TestDispatcher::rowsOutsideTheListsAreIgnored()
{
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, next);

    Rig rig;
    rig.w->mReadConfiguration = true;
    rig.connect();
    rig.w->PopupModuleBaudRate->setCurrentIndex(2);
    rig.w->PopupAsicPeriod->setCurrentIndex(2);
    rig.w->PopupDampsize->setCurrentIndex(2);
    rig.sent();
    const QStringList before = configurationControls(*rig.w);
    rig.receive(reply);
    QCOMPARE(configurationControls(*rig.w), before);
    QCOMPARE(rig.sent(), next);
}

void TestDispatcher::repliesAfterTheReadChangeNothing_data()
{
    QTest::addColumn<QByteArray>("reply");
    for (const char* reply : {"$b=3\r\n", "$info,Other*\r\n", "$id=20*\r\n", "$sn=m*\r\n", "$halt=d*\r\n",
                              "$uc=d*\r\n", "$ut=c*\r\n", "$mag_dec=9*\r\n", "$damping=d*\r\n",
                              "$dampsize=4*\r\n", "$ps=6*\r\n", "$sdo=t*\r\n", "$ec=*\r\n", "$em=*\r\n",
                              "$et=*\r\n", "$mpcal=e*\r\n", "$h*\r\n", "$mpcal=d*\r\n", "$save*\r\n",
                              "$C123*\r\n", "$C123\r\n"})
        QTest::newRow(QByteArray(reply).trimmed().constData()) << QByteArray(reply);
}

// Idle: connected, the read over, no mode running. Every reply is dropped (the
// identity reply still sets enabling, checked on its own).
void TestDispatcher::repliesAfterTheReadChangeNothing()
{
    QFETCH(QByteArray, reply);

    Rig rig;
    rig.connectIdle();
    rig.w->PopupModuleBaudRate->setCurrentIndex(5);
    rig.sent();
    const QStringList before = configurationControls(*rig.w);
    const int points = rig.w->mUserCalDataCount;
    rig.receive(reply);
    QCOMPARE(configurationControls(*rig.w), before);
    QCOMPARE(rig.sent(), QByteArray());
    QCOMPARE(rig.w->mUserCalDataCount, points);
    QCOMPARE(rig.w->mHeading, 0.0f);
    QCOMPARE(rig.w->mReadConfiguration, false);
}

void TestDispatcher::identityReplySetsEnablingOutsideTheRead_data()
{
    QTest::addColumn<QString>("storedId");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("stored 20") << QStringLiteral("20") << false;
    QTest::newRow("stored 7") << QStringLiteral("7") << true;
}

void TestDispatcher::identityReplySetsEnablingOutsideTheRead()
{
    QFETCH(QString, storedId);
    QFETCH(bool, enabled);

    Rig rig;
    rig.connectIdle(storedId);
    rig.receive("$id=3*\r\n");  // outside the read only the stored identity counts
    QCOMPARE(moduleDependentEnabled(*rig.w), QList<bool>(6, enabled));
    QCOMPARE(rig.w->mModuleID, storedId);
}

// Modes that run at once (a logger left running, say): each reply follows the mode
// that comes first, and the identity 20 comes before every mode.
void TestDispatcher::repliesFollowTheModeThatComesFirst_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("moduleId");
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<QByteArrayList>("sends");
    QTest::addColumn<bool>("loggingNow");

    QTest::newRow("test mode before data logging")
        << "test+log" << "3" << QByteArrayList{"$ec=e*\r\n", "$em=d*\r\n", "$et=d*\r\n", "$sdo=t*\r\n"}
        << QByteArrayList{"em=d\r", "et=d\r", "sdo=t\r", "go\r"} << true;
    QTest::newRow("halt while logging and calibrating belongs to the logger")
        << "log+cal" << "3" << QByteArrayList{"$h*\r\n"} << QByteArrayList{"ec=e\r"} << false;
    QTest::newRow("calibration takes none of the logger's replies")
        << "cal" << "3" << QByteArrayList{"$ec=e*\r\n", "$em=e*\r\n", "$et=e*\r\n", "$sdo=t*\r\n"}
        << QByteArrayList{"", "", "", ""} << false;
    QTest::newRow("module 20 selects Varo mode with nothing running")
        << "" << "20" << QByteArrayList{"$em=e*\r\n", "$sdo=t*\r\n"} << QByteArrayList{"sdo=t\r", ""} << false;
}

void TestDispatcher::repliesFollowTheModeThatComesFirst()
{
    QFETCH(QString, mode);
    QFETCH(QString, moduleId);
    QFETCH(QByteArrayList, replies);
    QFETCH(QByteArrayList, sends);
    QFETCH(bool, loggingNow);

    Rig rig;
    rig.connectIdle(moduleId);
    WdwMain& w = *rig.w;
    w.mTestGoing = mode.contains(QLatin1String("test"));
    w.mDataLogging = mode.contains(QLatin1String("log"));
    w.mUserCalibration = mode.contains(QLatin1String("cal"));
    QByteArrayList seen;
    for (const QByteArray& reply : replies) {
        rig.receive(reply);
        seen << rig.sent();
    }
    QCOMPARE(seen, sends);
    QCOMPARE(w.mDataLoggingNow, loggingNow);
    QCOMPARE(w.mReadConfiguration, false);
}

// The replacing event of the halt's reply cancels a reconnect still pending.
void TestDispatcher::haltWhileLoggingDropsWaitingLines()
{
    Rig rig;
    rig.connectIdle();
    WdwMain& w = *rig.w;
    w.mDataLogging = true;
    w.SetTimeoutEvent(1, 100000);  // a reconnect still pending
    rig.receive("$h*\r\n$ec=e*\r\n$C12*\r\n$C1");
    QCOMPARE(rig.sent(), QByteArray("ec=e\r"));
    QCOMPARE(w.mInputStr, QByteArray());
    QCOMPARE(w.mEvent, 0);
    QVERIFY(w.TimerEvent->isActive());
    QCOMPARE(w.TimerEvent->interval(), 0);
    const int openings = rig.port->openings().size();
    QTest::qWait(30);  // the replacing event runs and does nothing
    QCOMPARE(rig.port->openings().size(), openings);
    QCOMPARE(rig.sent(), QByteArray());
}

void TestDispatcher::sentencesGoToOneUserByPrecedence_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("heading");
    QTest::addColumn<bool>("point");

    QTest::newRow("test mode over everything") << "test+lognow+cal" << true << false;
    QTest::newRow("logging over calibration") << "lognow+cal" << false << false;
    QTest::newRow("logging still setting up: calibration gets it") << "log+cal" << false << true;
    QTest::newRow("calibration alone") << "cal" << false << true;
    QTest::newRow("nothing running") << "" << false << false;
}

void TestDispatcher::sentencesGoToOneUserByPrecedence()
{
    QFETCH(QString, mode);
    QFETCH(bool, heading);
    QFETCH(bool, point);

    Rig rig;
    rig.connectIdle();
    WdwMain& w = *rig.w;
    w.mTestGoing = mode.contains(QLatin1String("test"));
    w.mDataLogging = mode.contains(QLatin1String("log"));
    w.mDataLoggingNow = mode.contains(QLatin1String("lognow"));
    w.mUserCalibration = mode.contains(QLatin1String("cal"));
    rig.receive("$C123.5X10Y20*\r\n");
    QCOMPARE(w.mHeading, heading ? 123.5f : 0.0f);
    QCOMPARE(w.mUserCalDataCount, point ? 1 : 0);
}

void TestDispatcher::calibrationPoints_data()
{
    QTest::addColumn<QByteArray>("sentence");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");

    QTest::newRow("plain") << QByteArray("$X-120.5Y40*\r\n") << -120.5f << 40.0f;
    QTest::newRow("all words") << QByteArray("$C12X1.25Y-2.5Z3T20*7A\r\n") << 1.25f << -2.5f;
    QTest::newRow("error code ends the last word at the colon")
        << QByteArray("$C12X7Y8:E004*\r\n") << 7.0f << 8.0f;
    QTest::newRow("error mark before the words: fields end before they start")
        << QByteArray("$:E004X7Y8*\r\n") << 0.0f << 0.0f;
    QTest::newRow("colon without error mark: fields run to the star")
        << QByteArray("$:X7Y8*\r\n") << 7.0f << 8.0f;
    QTest::newRow("missing words read as 0") << QByteArray("$C12*\r\n") << 0.0f << 0.0f;
}

void TestDispatcher::calibrationPoints()
{
    QFETCH(QByteArray, sentence);
    QFETCH(float, x);
    QFETCH(float, y);

    Rig rig;
    rig.connectIdle();
    WdwMain& w = *rig.w;
    w.mUserCalibration = true;
    rig.receive("$X1Y1*\r\n");
    rig.receive(sentence);
    QCOMPARE(w.mUserCalDataCount, 2);
    QCOMPARE(w.mUserCalDataX, (QVector<float>{1.0f, x}));
    QCOMPARE(w.mUserCalDataY, (QVector<float>{1.0f, y}));
}

void TestDispatcher::longIncompleteLineIsDropped_data()
{
    QTest::addColumn<qsizetype>("size");
    QTest::addColumn<bool>("kept");
    QTest::newRow("64 KiB waits for its carriage return") << qsizetype(64 * 1024) << true;
    QTest::newRow("one byte more is dropped") << qsizetype(64 * 1024 + 1) << false;
    QTest::newRow("far more is dropped") << qsizetype(1024 * 1024) << false;
}

void TestDispatcher::longIncompleteLineIsDropped()
{
    QFETCH(qsizetype, size);
    QFETCH(bool, kept);

    Rig rig;
    rig.w->mReadConfiguration = true;
    rig.connect();
    rig.receive("$b=5\r\n" + QByteArray(size, '\xff'));
    QCOMPARE(rig.sent(), QByteArray("info?\r"));
    QCOMPARE(rig.w->mInputStr.size(), kept ? size : 0);
    rig.receive("\r\n$info,Board*\r\n");  // a later valid line is handled as usual
    QCOMPARE(rig.w->StaticDravikInfo->text(), QStringLiteral("Board"));
}

void TestDispatcher::manyCompleteLinesInOneTick()
{
    Rig rig;
    rig.connectIdle();
    rig.w->mUserCalibration = true;
    QByteArray burst;
    for (int i = 0; i < 20000; ++i) burst += "$X" + QByteArray::number(i) + "Y1*\r\n";
    rig.receive(burst + "$X");
    QCOMPARE(rig.w->mUserCalDataCount, 20000);
    QCOMPARE(rig.w->mUserCalDataX.last(), 19999.0f);
    QCOMPARE(rig.w->mInputStr, QByteArray("$X"));
}

void TestDispatcher::timerIsRunningBetweenTicks()
{
    Rig rig;
    WdwMain& w = *rig.w;
    QVERIFY(w.TimerSerialControl->isActive());
    QCOMPARE(w.TimerSerialControl->interval(), 10);
    QVERIFY(!w.TimerSerialControl->isSingleShot());
    // During the tick the timer is off: a handler that runs inside it sees so.
    bool activeInside = true;
    QObject::connect(w.RadioVaroMode, &QRadioButton::toggled, &w,
                     [&] { activeInside = w.TimerSerialControl->isActive(); });
    w.mReadConfiguration = true;
    rig.connect();
    rig.receive("$sdo=t*\r\n");
    QCOMPARE(activeInside, false);
    QVERIFY(w.TimerSerialControl->isActive());
    // And the real timer picks up what arrives between ticks.
    w.mInputStr += "$info,Board*\r\n";
    w.mReadConfiguration = true;
    QTRY_COMPARE(w.StaticDravikInfo->text(), QStringLiteral("Board"));
}

void TestDispatcher::scheduledEvent_data()
{
    QTest::addColumn<qint32>("event");
    QTest::addColumn<bool>("reopens");
    QTest::newRow("event 1 reconnects") << 1 << true;
    QTest::newRow("event 0 does nothing") << 0 << false;
    QTest::newRow("event 2 is not offered") << 2 << false;
}

void TestDispatcher::scheduledEvent()
{
    QFETCH(qint32, event);
    QFETCH(bool, reopens);

    Rig rig;
    rig.connectIdle();
    WdwMain& w = *rig.w;
    w.mDataLogging = true;
    w.mInputStr = "$C1";
    const int openings = rig.port->openings().size();
    w.SetTimeoutEvent(event, 20);
    QCOMPARE(w.mEvent, event);
    QVERIFY(w.TimerEvent->isSingleShot());
    QTRY_VERIFY(!w.TimerEvent->isActive());
    QCOMPARE(rig.port->openings().size(), openings + (reopens ? 1 : 0));
    QCOMPARE(rig.sent(), reopens ? QByteArray("h\r") : QByteArray());
    QCOMPARE(w.mEvent, event);
}

void TestDispatcher::reschedulingRestartsTheCountdown()
{
    Rig rig;
    WdwMain& w = *rig.w;
    w.SetTimeoutEvent(1, 20);
    w.SetTimeoutEvent(0, 60000);
    QCOMPARE(w.mEvent, 0);
    QVERIFY(w.TimerEvent->remainingTime() > 30000);
    w.SetTimeoutEvent(1, 60000);
    w.SetTimeoutEvent(1, 10);
    QVERIFY(w.TimerEvent->remainingTime() <= 10);
}

QTEST_MAIN(TestDispatcher)
#include "test_dispatcher.moc"
