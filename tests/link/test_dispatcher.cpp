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
#include "readings/view3d_recording.h"
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
        env.view3DFactory = recordingView3DFactory();
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

// How the scripted module answers each query of the configuration read.
QByteArray answer(const QByteArray& query, const QByteArray& moduleId)
{
    static const QHash<QByteArray, QByteArray> answers = {
        {"b?", "$b=5\r\n"},
        {"info?", "$info,Dravik Board 1.2*\r\n$info,Zuno Module 3.4*\r\n"},
        {"sn?", "$sn=t*\r\n"},
        {"halt?", "$halt=e*\r\n"},
        {"uc?", "$uc=m*\r\n"},
        {"ut?", "$ut=f*\r\n"},
        {"mag_dec?", "$mag_dec=-2.5*\r\n"},
        {"damping?", "$damping=e*\r\n"},
        {"dampsize?", "$dampsize=7*\r\n"},
        {"ps?", "$ps=3*\r\n"},
        {"sdo?", "$sdo=r*\r\n"},
    };
    if (query == "id?") return "$id=" + moduleId + "*\r\n";
    return answers.value(query);
}

QByteArrayList commands(const QByteArray& written)
{
    QByteArrayList list = written.split('\r');
    list.removeLast();  // after the last carriage return
    return list;
}

}  // namespace

class TestDispatcher : public QObject {
    Q_OBJECT
private slots:
    void linesAreCutAcrossArrivals_data();
    void linesAreCutAcrossArrivals();
    void connectionStepDropsTheRestOfTheArrival();
    void linesWithoutDollarDoNotConnect();
    void configurationRead_data();
    void configurationRead();
    void rowsOutsideTheListsAreIgnored_data();
    void rowsOutsideTheListsAreIgnored();
    void repliesAfterTheReadChangeNothing_data();
    void repliesAfterTheReadChangeNothing();
    void identityReplySetsEnablingOutsideTheRead_data();
    void identityReplySetsEnablingOutsideTheRead();
    void errorIndication_data();
    void errorIndication();
    void outputSequences_data();
    void outputSequences();
    void haltWhileLoggingDropsWaitingLines();
    void testModeHeading_data();
    void testModeHeading();
    void sentencesGoToOneUserByPrecedence_data();
    void sentencesGoToOneUserByPrecedence();
    void calibrationPoints_data();
    void calibrationPoints();
    void calibrationCountResetKeepsArrays();
    void longIncompleteLineIsDropped_data();
    void longIncompleteLineIsDropped();
    void manyCompleteLinesInOneTick();
    void timerIsRunningBetweenTicks();
    void scheduledEvent_data();
    void scheduledEvent();
    void reschedulingRestartsTheCountdown();
    void activityTimerEndsOrange_data();
    void activityTimerEndsOrange();
};

void TestDispatcher::linesAreCutAcrossArrivals_data()
{
    QTest::addColumn<QByteArrayList>("arrivals");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("boardInfo");  // null: left as it was

    QTest::newRow("CR LF") << QByteArrayList{"$b=5\r\n"} << QByteArray("info?\r") << QString();
    QTest::newRow("CR only") << QByteArrayList{"$b=5\r"} << QByteArray("info?\r") << QString();
    QTest::newRow("split across three arrivals")
        << QByteArrayList{"$b", "=5", "\r\n"} << QByteArray("info?\r") << QString();
    QTest::newRow("late line feed starts the next line")
        << QByteArrayList{"$b=5\r", "\n$info,Board*\r\n"} << QByteArray("info?\r") << QStringLiteral("Board");
    QTest::newRow("whole and half line, then the rest")
        << QByteArrayList{"$b=5\r\n$info,Bo", "ard*\r\n"} << QByteArray("info?\r") << QStringLiteral("Board");
    QTest::newRow("several lines in one arrival, both endings")
        << QByteArrayList{"$b=5\r\n$info,A*\r$info,B*\r\n$id=3*\r"} << QByteArray("info?\rid?\rsn?\r")
        << QStringLiteral("A");
    QTest::newRow("any other line between the two info replies restarts the pair")
        << QByteArrayList{"$info,A*\r\n", "noise\r\n", "$info,B*\r\n"} << QByteArray() << QStringLiteral("B");
}

void TestDispatcher::linesAreCutAcrossArrivals()
{
    QFETCH(QByteArrayList, arrivals);
    QFETCH(QByteArray, sent);
    QFETCH(QString, boardInfo);

    Rig rig;
    rig.w->mReadConfiguration = true;
    rig.connect();
    if (boardInfo.isNull()) boardInfo = rig.w->StaticDravikInfo->text();  // unchanged
    QByteArray written;
    for (const QByteArray& bytes : arrivals) {
        rig.receive(bytes);
        written += rig.sent();
    }
    QCOMPARE(written, sent);
    QCOMPARE(rig.w->StaticDravikInfo->text(), boardInfo);
    QCOMPARE(rig.w->mInputStr, QByteArray());
}

void TestDispatcher::connectionStepDropsTheRestOfTheArrival()
{
    Rig rig;
    rig.w->mReadConfiguration = true;
    const QString boardInfo = rig.w->StaticDravikInfo->text();
    rig.receive("noise\r\n$b=5\r\n$info,Board*\r\n$h*\r\n$info,Module*\r\n$b=");
    QCOMPARE(rig.w->mConnected, true);
    QCOMPARE(rig.w->CanvasConnected->backdropCode(), 1);
    QCOMPARE(rig.sent(), QByteArray("b?\r"));  // once, and the detecting "$b=" is not a reply
    QCOMPARE(rig.w->mInputStr, QByteArray());
    QCOMPARE(rig.w->StaticDravikInfo->text(), boardInfo);
    QCOMPARE(rig.w->PopupModuleBaudRate->currentIndex(), 0);

    rig.receive("$b=5\r\n");  // the read goes on with the next line
    QCOMPARE(rig.sent(), QByteArray("info?\r"));
}

void TestDispatcher::linesWithoutDollarDoNotConnect()
{
    Rig rig;
    rig.receive("E*\r\nnoise\r\n*\r\nh\r\n");
    QCOMPARE(rig.w->mConnected, false);
    QCOMPARE(rig.sent(), QByteArray());
    rig.receive("$\r\n");
    QCOMPARE(rig.w->mConnected, true);
}

void TestDispatcher::configurationRead_data()
{
    QTest::addColumn<QByteArray>("moduleId");
    QTest::addColumn<QByteArrayList>("queries");
    QTest::addColumn<bool>("threeAxes");

    const QByteArrayList all = {"b?", "info?", "id?", "sn?", "halt?", "uc?", "ut?",
                                "mag_dec?", "damping?", "dampsize?", "ps?", "sdo?"};
    QTest::newRow("module 7") << QByteArray("7") << all << true;
    QTest::newRow("module 20") << QByteArray("20")
                               << QByteArrayList{"b?", "info?", "id?", "sn?", "halt?", "uc?", "mag_dec?", "ps?", "sdo?"}
                               << false;
    QTest::newRow("other module") << QByteArray("3") << all << false;
    QTest::newRow("identity that only starts with 7") << QByteArray("70") << all << false;
}

void TestDispatcher::configurationRead()
{
    QFETCH(QByteArray, moduleId);
    QFETCH(QByteArrayList, queries);
    QFETCH(bool, threeAxes);

    Rig rig;
    WdwMain& w = *rig.w;
    w.mReadConfiguration = true;
    rig.receive("$h*\r\n");
    QByteArrayList seen;
    // The scripted module answers each query; the read ends when nothing more is asked.
    for (QByteArrayList pending = commands(rig.sent()); !pending.isEmpty(); ) {
        QVERIFY2(seen.size() < 20, "the read does not end");
        const QByteArray query = pending.takeFirst();
        seen << query;
        rig.receive(answer(query, moduleId));
        pending += commands(rig.sent());
    }
    QCOMPARE(seen, queries);

    const bool module20 = moduleId == "20";
    QCOMPARE(w.mReadConfiguration, false);
    QCOMPARE(w.mSetModuleBaudRate, true);
    QCOMPARE(w.mModuleID, QString::fromLatin1(moduleId));
    QCOMPARE(w.m3AxisModule, threeAxes);
    QCOMPARE(w.PopupModuleBaudRate->currentIndex(), 5);
    QCOMPARE(w.StaticDravikInfo->text(), QStringLiteral("Dravik Board 1.2"));
    QCOMPARE(w.StaticModuleInfo->text(), QStringLiteral("Zuno Module 3.4"));
    QCOMPARE(w.RadioTrue->isChecked(), true);
    QCOMPARE(w.RadioMagnetic->isChecked(), false);
    QCOMPARE(w.CheckSingleCharacterHalt->isChecked(), true);
    QCOMPARE(w.RadioCompassMils->isChecked(), true);
    QCOMPARE(w.RadioCompassDegrees->isChecked(), false);
    // Module 20 is never asked for temperature unit and damping: those keep their defaults.
    QCOMPARE(w.RadioTemperatureFahrenheit->isChecked(), !module20);
    QCOMPARE(w.RadioTemperatureCelsius->isChecked(), module20);
    QCOMPARE(w.EditDeclination->text(), QStringLiteral("-2.5"));
    QCOMPARE(w.CheckDamping->isChecked(), !module20);
    QCOMPARE(w.PopupDampsize->currentText(), module20 ? QStringLiteral("1") : QStringLiteral("7"));
    QCOMPARE(w.PopupAsicPeriod->currentIndex(), 3);
    QCOMPARE(w.RadioRawMode->isChecked(), true);
    QCOMPARE(w.RadioVaroMode->isChecked(), false);
    QCOMPARE(moduleDependentEnabled(w), QList<bool>(6, !module20));
}

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

void TestDispatcher::errorIndication_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("activity");  // the activity timer runs
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QList<int>>("indicators");  // after each line

    QTest::newRow("error then quiet line, connected")
        << true << false << QByteArrayList{"E*\r\n", "$h*\r\n"} << QList<int>{5, 1};
    QTest::newRow("error then line during traffic")
        << true << true << QByteArrayList{"$info,E9*\r\n", "$C1*\r\n"} << QList<int>{5, 4};
    QTest::newRow("errors stay red") << true << false
                                     << QByteArrayList{"$C1:E004*\r\n", "E*\r\n", "x\r\n"} << QList<int>{5, 5, 1};
    QTest::newRow("E after the star is no error")
        << true << false << QByteArrayList{"E*\r\n", "$h*E\r\n"} << QList<int>{5, 1};
    QTest::newRow("E without star is no error")
        << true << false << QByteArrayList{"E*\r\n", "E\r\n"} << QList<int>{5, 1};
    QTest::newRow("not connected: red, then green on a normal line")
        << false << false << QByteArrayList{"E*\r\n", "noise\r\n"} << QList<int>{5, 1};
}

void TestDispatcher::errorIndication()
{
    QFETCH(bool, connected);
    QFETCH(bool, activity);
    QFETCH(QByteArrayList, lines);
    QFETCH(QList<int>, indicators);

    Rig rig;
    if (connected) rig.connectIdle();
    if (activity) rig.w->TimerSerialActivity->start(100000);
    QList<int> seen;
    for (const QByteArray& line : lines) {
        rig.receive(line);
        seen << rig.w->CanvasConnected->backdropCode();
    }
    QCOMPARE(seen, indicators);
    QCOMPARE(rig.w->mConnected, connected);
    QCOMPARE(rig.w->mOldError, rig.w->mError);
}

// The module's replies, one by one, and the command each one makes the dispatcher send.
void TestDispatcher::outputSequences_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("moduleId");
    QTest::addColumn<QByteArrayList>("replies");
    QTest::addColumn<QByteArrayList>("sends");

    QTest::newRow("test mode") << "test" << "3"
                               << QByteArrayList{"$ec=e*\r\n", "$em=d*\r\n", "$et=d*\r\n", "$sdo=t*\r\n"}
                               << QByteArrayList{"em=d\r", "et=d\r", "sdo=t\r", "go\r"};
    QTest::newRow("test mode, module 20") << "test" << "20"
                                          << QByteArrayList{"$ec=e*\r\n", "$em=d*\r\n", "$sdo=t*\r\n"}
                                          << QByteArrayList{"em=d\r", "sdo=t\r", "go\r"};
    QTest::newRow("data logging") << "log" << "7"
                                  << QByteArrayList{"$h*\r\n", "$ec=e*\r\n", "$em=e*\r\n", "$et=e*\r\n", "$sdo=r*\r\n"}
                                  << QByteArrayList{"ec=e\r", "em=e\r", "et=e\r", "sdo?\r", "go\r"};
    QTest::newRow("data logging, module 20") << "log" << "20"
                                             << QByteArrayList{"$ec=e*\r\n", "$em=e*\r\n", "$sdo=t*\r\n"}
                                             << QByteArrayList{"em=e\r", "sdo=t\r", "go\r"};
    QTest::newRow("test mode before data logging") << "test+log" << "3"
                                                   << QByteArrayList{"$ec=e*\r\n", "$em=d*\r\n", "$et=d*\r\n"}
                                                   << QByteArrayList{"em=d\r", "et=d\r", "sdo=t\r"};
    QTest::newRow("calibration") << "cal" << "3"
                                 << QByteArrayList{"$em=e*\r\n", "$mpcal=e*\r\n", "$X1Y2*\r\n", "$h*\r\n",
                                                   "$mpcal=d*\r\n", "$save*\r\n"}
                                 << QByteArrayList{"", "go\r", "", "mpcal=d\r", "save\r", ""};
    QTest::newRow("halt while logging and calibrating belongs to the logger")
        << "log+cal" << "3" << QByteArrayList{"$h*\r\n"} << QByteArrayList{"ec=e\r"};
}

void TestDispatcher::outputSequences()
{
    QFETCH(QString, mode);
    QFETCH(QString, moduleId);
    QFETCH(QByteArrayList, replies);
    QFETCH(QByteArrayList, sends);

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
    QCOMPARE(w.mDataLoggingNow, mode == QLatin1String("log"));
    if (mode == QLatin1String("cal")) {
        QCOMPARE(w.mUserCalibration, false);
        QCOMPARE(w.mUserCalDataCount, 1);
    }
    QCOMPARE(w.mReadConfiguration, false);
}

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

void TestDispatcher::testModeHeading_data()
{
    QTest::addColumn<bool>("mils");
    QTest::addColumn<QByteArray>("sentence");
    QTest::addColumn<float>("heading");
    QTest::addColumn<float>("degrees");  // handed to the 3D view

    QTest::newRow("mils") << true << QByteArray("$C3200*\r\n") << 3200.0f << 180.0f;
    QTest::newRow("mils with more words") << true << QByteArray("$C1600.0X12Y-3T21*4F\r\n") << 1600.0f << 90.0f;
    QTest::newRow("mils with error code") << true << QByteArray("$C0800:E004*\r\n") << 800.0f << 45.0f;
    QTest::newRow("degrees") << false << QByteArray("$C359.9*\r\n") << 359.9f << 359.9f;
    QTest::newRow("degrees with error code") << false << QByteArray("$C12.5:E004*\r\n") << 12.5f << 12.5f;
    QTest::newRow("no heading word") << false << QByteArray("$X12Y3*\r\n") << 0.0f << 0.0f;
    QTest::newRow("heading without a number") << false << QByteArray("$C*\r\n") << 0.0f << 0.0f;
}

void TestDispatcher::testModeHeading()
{
    QFETCH(bool, mils);
    QFETCH(QByteArray, sentence);
    QFETCH(float, heading);
    QFETCH(float, degrees);

    Rig rig;
    rig.connectIdle();
    WdwMain& w = *rig.w;
    (mils ? w.RadioCompassMils : w.RadioCompassDegrees)->setChecked(true);
    rig.sent();
    w.mTestGoing = true;
    w.mPitch = 7;
    w.mRoll = 8;
    rig.receive(sentence);
    QCOMPARE(w.mHeading, heading);
    QCOMPARE(w.mPitch, 0.0f);
    QCOMPARE(w.mRoll, 0.0f);
    const auto* view = dynamic_cast<const RecordingView3D*>(w.view3D());
    QVERIFY(view);
    const std::optional<double> shown = view->headingOf(w.m3DModel);
    QVERIFY(shown);
    QVERIFY2(std::abs(*shown - degrees) < 0.001, qPrintable(QString::number(*shown)));
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

void TestDispatcher::calibrationCountResetKeepsArrays()
{
    Rig rig;
    rig.connectIdle();
    WdwMain& w = *rig.w;
    w.mUserCalibration = true;
    rig.receive("$X1Y2*\r\n$X3Y4*\r\n$X5Y6*\r\n");
    QCOMPARE(w.mUserCalDataCount, 3);
    rig.receive("$mpcal=e*\r\n");  // points before the start reply are discarded
    QCOMPARE(rig.sent(), QByteArray("go\r"));
    QCOMPARE(w.mUserCalDataCount, 0);
    QCOMPARE(w.mUserCalDataX.size(), 3);
    rig.receive("$X9Y8*\r\n");
    QCOMPARE(w.mUserCalDataCount, 1);
    QCOMPARE(w.mUserCalDataX, QVector<float>{9.0f});
    QCOMPARE(w.mUserCalDataY, QVector<float>{8.0f});
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

void TestDispatcher::activityTimerEndsOrange_data()
{
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("indicator");
    QTest::newRow("quiet again: green") << false << 1;
    QTest::newRow("error shown: stays red") << true << 5;
}

void TestDispatcher::activityTimerEndsOrange()
{
    QFETCH(bool, error);
    QFETCH(int, indicator);

    Rig rig;
    rig.connectIdle();
    WdwMain& w = *rig.w;
    rig.receive(error ? "E*\r\n" : "$C1*\r\n");
    w.SetCanvasBackdrop(w.CanvasConnected, nullptr, error ? 5 : 4);
    w.TimerSerialActivity->setSingleShot(true);
    w.TimerSerialActivity->start(10);
    QTRY_VERIFY(!w.TimerSerialActivity->isActive());
    QCOMPARE(w.CanvasConnected->backdropCode(), indicator);
}

QTEST_MAIN(TestDispatcher)
#include "test_dispatcher.moc"
