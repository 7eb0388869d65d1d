// Opening the window: the rate tables, the preferences read in its two halves, the
// first connection attempt and the system log lines, over scripted ports.
#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QtTest>

#include "windowfixture.h"

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void rateTables();
    void listRateOfOtherRates_data();
    void listRateOfOtherRates();
    void linkSettingsAtStartup_data();
    void linkSettingsAtStartup();
    void startupLogLines_data();
    void startupLogLines();
    void startupDoesNotRewritePreferences();
    void startValuesOfSharedState();
    void displaySettings_data();
    void displaySettings();
    void displaySettingsRaiseHandlers();
    void closeWritesPreferences_data();
    void closeWritesPreferences();
    void unwritablePreferences_data();
    void unwritablePreferences();
};

void TestStartup::rateTables()
{
    WindowFixture f;
    WdwMain& w = f.open();
    const QVector<qint32> rates = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600};
    QCOMPARE(w.mComputerBaudRate, rates);
    QCOMPARE(w.mListBaudRate.size(), rates.size());
    for (int row = 0; row < rates.size(); ++row) QCOMPARE(w.mListBaudRate.value(rates[row]), row);
}

void TestStartup::listRateOfOtherRates_data()
{
    QTest::addColumn<QByteArray>("prefs");
    QTest::addColumn<int>("shownRow");
    // The rate of a row outside the list never reaches mBaudRate; the row shown for
    // a rate is that of the table.
    QTest::newRow("38400") << QByteArray("BAUDRATE:7\n") << 7;
    QTest::newRow("300") << QByteArray("BAUDRATE:0\n") << 0;
}

void TestStartup::listRateOfOtherRates()
{
    QFETCH(QByteArray, prefs);
    QFETCH(int, shownRow);
    WindowFixture f;
    f.writePrefs(prefs);
    WdwMain& w = f.open();
    QCOMPARE(w.PopupComputerBaudRate->currentIndex(), shownRow);
    QCOMPARE(w.mListBaudRate.value(w.mBaudRate, 5), shownRow);
    // Any other rate maps to row 5 (9600).
    for (qint32 other : {0, 110, 14400, 115200}) QCOMPARE(w.mListBaudRate.value(other, 5), 5);
    QVERIFY(!w.mListBaudRate.contains(115200));
}

void TestStartup::linkSettingsAtStartup_data()
{
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<QByteArray>("prefs");
    QTest::addColumn<qint32>("serialPort");   // mSerialPort after start-up
    QTest::addColumn<int>("portRow");         // row of PopupSerialPort, -1 none
    QTest::addColumn<qint32>("baudRate");
    QTest::addColumn<int>("rateRow");         // row of PopupComputerBaudRate
    QTest::addColumn<int>("openedPort");      // which scripted port opened, -1 none

    QTest::newRow("first run, no file") << false << QByteArray() << 999 << -1 << 57600 << 8 << -1;
    QTest::newRow("port 0, row 5") << true << QByteArray("SERIALPORT:0\nBAUDRATE:5\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n")
                                   << 0 << 0 << 9600 << 5 << 0;
    QTest::newRow("port 1, row 8") << true << QByteArray("SERIALPORT:1\nBAUDRATE:8\n") << 1 << 1 << 57600 << 8 << 1;
    QTest::newRow("no rate line keeps 300") << true << QByteArray("SERIALPORT:1\n") << 1 << 1 << 300 << 0 << 1;
    QTest::newRow("empty file") << true << QByteArray("") << 999 << -1 << 300 << 0 << -1;
    QTest::newRow("port line without value is port 0") << true << QByteArray("SERIALPORT:\nBAUDRATE:3\n")
                                                       << 0 << 0 << 2400 << 3 << 0;
    QTest::newRow("port 999") << true << QByteArray("SERIALPORT:999\nBAUDRATE:2\n") << 999 << -1 << 1200 << 2 << -1;
    QTest::newRow("no port line") << true << QByteArray("BAUDRATE:6\n") << 999 << -1 << 19200 << 6 << -1;
    QTest::newRow("port gone since last run") << true << QByteArray("SERIALPORT:2\nBAUDRATE:5\n")
                                              << 999 << -1 << 9600 << 5 << -1;
    QTest::newRow("negative port") << true << QByteArray("SERIALPORT:-1\n") << 999 << -1 << 300 << 0 << -1;
    QTest::newRow("rate row 9 ignored") << true << QByteArray("SERIALPORT:0\nBAUDRATE:9\n") << 0 << 0 << 300 << 0 << 0;
    QTest::newRow("rate row -1 ignored") << true << QByteArray("SERIALPORT:0\nBAUDRATE:-1\n") << 0 << 0 << 300 << 0 << 0;
    QTest::newRow("later lines override") << true << QByteArray("SERIALPORT:0\nBAUDRATE:1\nSERIALPORT:1\nBAUDRATE:4\n")
                                          << 1 << 1 << 4800 << 4 << 1;
    QTest::newRow("keys inside other text") << true << QByteArray("# SERIALPORT:1 BAUDRATE:7\n")
                                            << 1 << 1 << 38400 << 7 << 1;
    QTest::newRow("lower-case keys ignored") << true << QByteArray("serialport:0\nbaudrate:5\n")
                                             << 999 << -1 << 300 << 0 << -1;
}

void TestStartup::linkSettingsAtStartup()
{
    QFETCH(bool, hasFile);
    QFETCH(QByteArray, prefs);
    QFETCH(qint32, serialPort);
    QFETCH(int, portRow);
    QFETCH(qint32, baudRate);
    QFETCH(int, rateRow);
    QFETCH(int, openedPort);

    WindowFixture f;
    ScriptedPort* ports[] = {f.addPort("ttyA"), f.addPort("ttyB")};
    if (hasFile) f.writePrefs(prefs);
    WdwMain& w = f.open();

    QCOMPARE(w.mSerialPort, serialPort);
    QCOMPARE(w.PopupSerialPort->currentIndex(), portRow);
    QCOMPARE(w.mBaudRate, baudRate);
    QCOMPARE(w.PopupComputerBaudRate->currentIndex(), rateRow);
    QCOMPARE(w.PopupComputerBaudRate->currentText(), QString::number(baudRate));
    for (int i = 0; i < 2; ++i) {
        ScriptedPort* port = ports[i];
        if (i == openedPort) {
            // Opened once, at the stored rate with the fixed settings; "h" + CR sent.
            QCOMPARE(port->openings().size(), 1);
            QVERIFY(isFixedLineSettings(port->lastSettings(), baudRate));
            QCOMPARE(port->written(), QByteArray("h\r"));
        } else {
            QCOMPARE(port->openings().size(), 0);
            QCOMPARE(port->written(), QByteArray());
        }
    }
    QCOMPARE(w.mSerialPortAvailable, openedPort >= 0);
    QCOMPARE(w.mConnected, false);
    // Off until the module answers, opened or not.
    QCOMPARE(f.indicator(), 3);
}

void TestStartup::startupLogLines_data()
{
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<bool>("portFails");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("indicator");

    QTest::newRow("first run") << false << false
                               << QStringList{"Checking preference file",
                                              "Preferences file not found, using default baud rate."}
                               << 3;
    QTest::newRow("port opens") << true << false
                                << QStringList{"Checking preference file", "Opened serial port ttyB"} << 3;
    QTest::newRow("port fails") << true << true
                                << QStringList{"Checking preference file", "Can not open serial port ttyB"} << 5;
}

void TestStartup::startupLogLines()
{
    QFETCH(bool, hasFile);
    QFETCH(bool, portFails);
    QFETCH(QStringList, events);
    QFETCH(int, indicator);

    WindowFixture f;
    f.clock.fixNow(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 2)));
    f.addPort("ttyA");
    f.addPort("ttyB")->setFailOpen(portFails);
    if (hasFile) f.writePrefs("SERIALPORT:1\nBAUDRATE:8\n");
    WdwMain& w = f.open();

    QCOMPARE(f.logEvents(), events);
    for (int i = 0; i < w.ListSystemLog->topLevelItemCount(); ++i)
        QCOMPARE(w.ListSystemLog->topLevelItem(i)->text(0), QString("2024-03-07 09:05:02"));
    QCOMPARE(f.indicator(), indicator);
    QCOMPARE(w.mSerialPortAvailable, hasFile && !portFails);
}

void TestStartup::startupDoesNotRewritePreferences()
{
    // Selecting the stored rows raises the pop-up menus' change handlers; during
    // start-up they must neither save the file nor open the port a second time.
    WindowFixture f;
    ScriptedPort* port = f.addPort("ttyA");
    const QByteArray stored = "SERIALPORT:0\nBAUDRATE:5\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n# kept\n";
    f.writePrefs(stored);
    WdwMain& w = f.open();
    QCOMPARE(f.readPrefs(), stored);
    QCOMPARE(port->openings().size(), 1);
    QCOMPARE(f.logEvents().count("Opened serial port ttyA"), 1);
    QCOMPARE(w.mStartUp, false);

    // Without a file, start-up creates none either.
    WindowFixture g;
    g.addPort("ttyA");
    g.open();
    QVERIFY(!g.prefsExist());
}

void TestStartup::startValuesOfSharedState()
{
    WindowFixture f;
    f.addPort("ttyA");
    f.writePrefs("SERIALPORT:0\nBAUDRATE:8\n");
    WdwMain& w = f.open();
    QCOMPARE(w.mStartUp, false);
    QCOMPARE(w.mConnected, false);
    QCOMPARE(w.mReadConfiguration, true);
    QCOMPARE(w.mEvent, 0);
    QCOMPARE(w.mUserCalDataCount, 0);
    QCOMPARE(w.mPrevTab, 0);
    QCOMPARE(w.mSkipThisTabChange, false);
    for (bool flag : {w.mUserCalibration, w.mTestGoing, w.mDataLogging, w.mDataLoggingNow, w.mError,
                      w.mReadDravikInfo})
        QCOMPARE(flag, false);
    QCOMPARE(w.mModuleID, QString());
    QCOMPARE(w.stateValue("mSerialPort"), QString("0"));
}

void TestStartup::displaySettings_data()
{
    QTest::addColumn<bool>("contrastBefore");
    QTest::addColumn<bool>("autoScrollBefore");
    QTest::addColumn<QByteArray>("prefs");
    QTest::addColumn<bool>("contrast");
    QTest::addColumn<bool>("autoScroll");

    QTest::newRow("both TRUE") << false << false << QByteArray("CONTRAST:TRUE\nAUTOSCROLL:TRUE\n") << true << true;
    QTest::newRow("both FALSE") << true << true << QByteArray("CONTRAST:FALSE\nAUTOSCROLL:FALSE\n") << false << false;
    QTest::newRow("lower-case true clears") << true << true << QByteArray("CONTRAST:true\n") << false << true;
    QTest::newRow("lower-case key ignored") << true << false << QByteArray("contrast:FALSE\n") << true << false;
    QTest::newRow("one line, two keys") << true << false << QByteArray("CONTRAST:TRUE AUTOSCROLL:TRUE\n") << false << true;
    QTest::newRow("missing keys keep the boxes") << true << true << QByteArray("SERIALPORT:0\n") << true << true;
}

void TestStartup::displaySettings()
{
    QFETCH(bool, contrastBefore);
    QFETCH(bool, autoScrollBefore);
    QFETCH(QByteArray, prefs);
    QFETCH(bool, contrast);
    QFETCH(bool, autoScroll);

    WindowFixture f;
    WdwMain& w = f.open();
    w.CheckContrast->setChecked(contrastBefore);
    w.CheckDataLogAutoScroll->setChecked(autoScrollBefore);
    f.writePrefs(prefs);
    QVERIFY(w.CheckPreferenceFile(false));
    QCOMPARE(w.CheckContrast->isChecked(), contrast);
    QCOMPARE(w.CheckDataLogAutoScroll->isChecked(), autoScroll);
    // The display half leaves the link settings alone.
    QCOMPARE(w.mSerialPort, 999);
}

void TestStartup::displaySettingsRaiseHandlers()
{
    // The restored contrast must take effect at once: the box notifies as on a click.
    WindowFixture f;
    f.writePrefs("CONTRAST:TRUE\nAUTOSCROLL:TRUE\n");
    WdwMain& w = f.open();
    QVERIFY(w.CheckContrast->isChecked());
    QSignalSpy contrast(w.CheckContrast, &QCheckBox::toggled);
    QSignalSpy autoScroll(w.CheckDataLogAutoScroll, &QCheckBox::toggled);
    f.writePrefs("CONTRAST:FALSE\nAUTOSCROLL:FALSE\n");
    w.CheckPreferenceFile(false);
    QCOMPARE(contrast.count(), 1);
    QCOMPARE(autoScroll.count(), 1);
}

void TestStartup::closeWritesPreferences_data()
{
    QTest::addColumn<QByteArray>("prefs");
    QTest::addColumn<bool>("contrast");
    QTest::addColumn<bool>("autoScroll");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("first run") << QByteArray() << false << false
                               << QByteArray("SERIALPORT:999\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n");
    QTest::newRow("port 1 at 9600, both boxes") << QByteArray("SERIALPORT:1\nBAUDRATE:5\n") << true << true
                                                << QByteArray("SERIALPORT:1\nBAUDRATE:5\nCONTRAST:TRUE\nAUTOSCROLL:TRUE\nDATA:\n");
    QTest::newRow("quirky file written clean") << QByteArray("x SERIALPORT:0 BAUDRATE:3\r\nCONTRAST:TRUE \r\n") << false << true
                                               << QByteArray("SERIALPORT:0\nBAUDRATE:3\nCONTRAST:FALSE\nAUTOSCROLL:TRUE\nDATA:\n");
}

void TestStartup::closeWritesPreferences()
{
    QFETCH(QByteArray, prefs);
    QFETCH(bool, contrast);
    QFETCH(bool, autoScroll);
    QFETCH(QByteArray, written);

    WindowFixture f;
    f.addPort("ttyA");
    f.addPort("ttyB");
    if (!prefs.isNull()) f.writePrefs(prefs);
    WdwMain& w = f.open();
    w.CheckContrast->setChecked(contrast);
    w.CheckDataLogAutoScroll->setChecked(autoScroll);
    w.allowClose();
    QVERIFY(w.close());
    QCOMPARE(f.readPrefs(), written);

    // What was written reads back to the same link settings.
    WindowFixture g;
    g.addPort("ttyA");
    g.addPort("ttyB");
    g.writePrefs(written);
    WdwMain& again = g.open();
    QCOMPARE(again.mSerialPort, w.mSerialPort);
    QCOMPARE(again.mBaudRate, w.mBaudRate);
    QCOMPARE(again.CheckContrast->isChecked(), contrast);
    QCOMPARE(again.CheckDataLogAutoScroll->isChecked(), autoScroll);
}

void TestStartup::unwritablePreferences_data()
{
    QTest::addColumn<QString>("blocker");  // what stands in the way, relative to the scratch folder
    QTest::newRow("folder path is a file") << QString("config");
    QTest::newRow("file path is a folder") << QString("config/DravikStudio.pref/");
}

void TestStartup::unwritablePreferences()
{
    QFETCH(QString, blocker);
    WindowFixture f;
    const QString path = f.scratch.filePath(blocker);
    if (blocker.endsWith('/')) {
        QVERIFY(QDir().mkpath(path + "keep"));
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a folder");
    }
    WdwMain& w = f.open();
    const int before = w.ListSystemLog->topLevelItemCount();
    w.UpdatePreferenceFile();
    const QStringList events = f.logEvents().mid(before);
    QCOMPARE(events.size(), 1);
    QVERIFY2(events[0].startsWith("Could not write preferences file " + f.prefsPath() + ": "), qPrintable(events[0]));
    QVERIFY(events[0].size() > QString("Could not write preferences file " + f.prefsPath() + ": ").size());
    // Whatever stood there is untouched, and no half-written file is left about.
    if (blocker.endsWith('/')) {
        QVERIFY(QFileInfo(f.prefsPath()).isDir());
        QVERIFY(QFileInfo::exists(path + "keep"));
        QCOMPARE(QDir(f.folder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"DravikStudio.pref"});
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("not a folder"));
    }
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
