// The configuration tab's handlers against a real window and a scripted port. The
// conversations themselves are scenarios (tests/scenarios/config-*.scn); these cases
// cover what a script cannot say: that each command goes out before its log line,
// the handlers' guards where the dispatcher would not let a user reach them, and
// Default whether or not the window has the keyboard focus.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "ui/controls.h"
#include "windowfixture.h"

namespace {
// The partner that a test selects first so that selecting the radio button changes it.
QRadioButton* partner(WdwMain& w, QRadioButton* radio)
{
    const std::pair<QRadioButton*, QRadioButton*> pairs[] = {
        {w.RadioMagnetic, w.RadioTrue},
        {w.RadioCompassDegrees, w.RadioCompassMils},
        {w.RadioTemperatureCelsius, w.RadioTemperatureFahrenheit},
        {w.RadioVaroMode, w.RadioRawMode},
    };
    for (const auto& [a, b] : pairs) {
        if (radio == a) return b;
        if (radio == b) return a;
    }
    return nullptr;
}

void showActive(WdwMain& w)
{
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.TabMain->setCurrentIndex(1);
}

// Each command is written after the log lines of the commands before it and before
// its own: command k finds exactly k + offset new entries in the log.
QList<int> logRowsAtEachWrite(const WatchedPort& port, int logRowsBefore)
{
    QList<int> rows;
    for (int r : port.logRowsAtWrite) rows << r - logRowsBefore;
    return rows;
}
QList<int> commandThenLog(int commands, int offset)
{
    QList<int> rows;
    for (int k = 0; k < commands; ++k) rows << k + offset;
    return rows;
}
}  // namespace

class TestConfiguration : public QObject {
    Q_OBJECT
private slots:
    void handler_data();
    void handler();
    void selectRadio_data();
    void selectRadio();
    void defaults_data();
    void defaults();
};

// A control set the way a user sets it. value: a check box's new state, a pop-up
// menu's row, the declination text; unused for a radio button.
void TestConfiguration::handler_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("moduleId");
    QTest::addColumn<bool>("readingConfiguration");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("log");

    struct Case {
        const char* name;
        const char* control;
        QString value;
        const char* moduleId;
        QByteArray sent;
        QString log;
    };
    const Case cases[] = {
        {"magnetic", "RadioMagnetic", {}, "", "sn=m\r", "Change north reference to magnetic north."},
        {"true north", "RadioTrue", {}, "", "sn=t\r", "Change north reference to true north."},
        {"degrees", "RadioCompassDegrees", {}, "", "uc=d\r", "Change heading units to degress."},
        {"mils", "RadioCompassMils", {}, "", "uc=m\r", "Change heading units to mils."},
        {"celsius", "RadioTemperatureCelsius", {}, "", "ut=c\r", "Change temperature units to celsius."},
        {"fahrenheit", "RadioTemperatureFahrenheit", {}, "", "ut=f\r",
         "Change temperature units to fahrenheit."},
        {"fahrenheit on module 20", "RadioTemperatureFahrenheit", {}, "20", "ut=f\r",
         "Change temperature units to fahrenheit."},
        {"varo", "RadioVaroMode", {}, "", "sdo=t\r", "Change output mode to Varo mode."},
        {"raw", "RadioRawMode", {}, "", "sdo=r\r", "Change output mode to raw mode."},
        {"halt on", "CheckSingleCharacterHalt", "true", "", "halt=e\r", "Enabled single character halt."},
        {"halt off", "CheckSingleCharacterHalt", "false", "", "halt=d\r", "Disabled single character halt."},
        {"halt on, module 20", "CheckSingleCharacterHalt", "true", "20", "halt=e\r",
         "Enabled single character halt."},
        {"damping on", "CheckDamping", "true", "", "damping=e\r", "Enable damping."},
        {"damping off", "CheckDamping", "false", "", "damping=d\r", "Disable damping."},
        {"damping on, module 21", "CheckDamping", "true", "21", "damping=e\r", "Enable damping."},
        {"damping on, module 20", "CheckDamping", "true", "20", {}, {}},
        {"damping off, module 20", "CheckDamping", "false", "20", {}, {}},
        {"damp size 1", "PopupDampsize", "0", "", "dampsize=1\r", "Change damping size to 1 samples."},
        {"damp size 20", "PopupDampsize", "19", "", "dampsize=20\r", "Change damping size to 20 samples."},
        {"asic /32", "PopupAsicPeriod", "0", "", "ps=0\r", "Change ASIC period to /32."},
        {"asic /512", "PopupAsicPeriod", "4", "", "ps=4\r", "Change ASIC period to /512."},
        {"asic /4096", "PopupAsicPeriod", "7", "", "ps=7\r", "Change ASIC period to /4096."},
        {"declination", "EditDeclination", "-2.5", "", "mag_dec=-2.5\r",
         "Change declination angle to -2.5 degrees."},
        {"declination with pasted CR LF", "EditDeclination", "1\r\n2.5\n", "", "mag_dec=12.5\r",
         "Change declination angle to 12.5 degrees."},
    };
    for (const Case& c : cases) {
        QTest::newRow(c.name) << c.control << c.value << c.moduleId << false << c.sent << c.log;
        QTest::newRow(QByteArray(c.name) + ", during the configuration read")
            << c.control << c.value << c.moduleId << true << QByteArray() << QString();
    }
}

void TestConfiguration::handler()
{
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QString, moduleId);
    QFETCH(bool, readingConfiguration);
    QFETCH(QByteArray, sent);
    QFETCH(QString, log);

    WindowFixture f;
    WdwMain& w = *f.window;
    f.connect();
    showActive(w);
    w.mModuleID = moduleId;

    // Put the control away from the value under test while the handlers are silent.
    QWidget* widget = w.findChild<QWidget*>(control);
    QVERIFY2(widget, qPrintable(control));
    w.mReadConfiguration = true;
    if (auto* radio = qobject_cast<QRadioButton*>(widget))
        partner(w, radio)->setChecked(true);
    else if (auto* box = qobject_cast<QCheckBox*>(widget))
        box->setChecked(value != "true");
    else if (auto* popup = qobject_cast<QComboBox*>(widget))
        popup->setCurrentIndex(value.toInt() == 0 ? 1 : 0);
    w.mReadConfiguration = readingConfiguration;
    f.settle();
    const int logRowsBefore = w.ListSystemLog->topLevelItemCount();

    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        radio->click();
        QVERIFY(radio->isChecked());
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->click();
        QCOMPARE(box->isChecked(), value == "true");
    } else if (auto* popup = qobject_cast<QComboBox*>(widget)) {
        popup->setCurrentIndex(value.toInt());
    } else {
        w.EditDeclination->setFocus(Qt::MouseFocusReason);
        w.EditDeclination->setText(value);
        w.PushConfigurationDefault->setFocus(Qt::MouseFocusReason);
    }

    QCOMPARE(f.port->takeWritten(), sent);
    QCOMPARE(f.newLog(), log.isNull() ? QStringList() : QStringList{log});
    QCOMPARE(logRowsAtEachWrite(*f.port, logRowsBefore), commandThenLog(sent.isEmpty() ? 0 : 1, 0));
}

void TestConfiguration::selectRadio_data()
{
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("selectedBefore");  // empty: neither of the pair
    QTest::addColumn<bool>("readingConfiguration");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QStringList>("log");

    const QStringList varo{"Change output mode to Varo mode."};
    QTest::newRow("varo, none selected") << "RadioVaroMode" << "" << false << QByteArray("sdo=t\r") << varo;
    QTest::newRow("varo, raw selected") << "RadioVaroMode" << "RadioRawMode" << false
                                        << QByteArray("sdo=t\r") << varo;
    QTest::newRow("varo, already selected") << "RadioVaroMode" << "RadioVaroMode" << false
                                            << QByteArray("sdo=t\r") << varo;
    QTest::newRow("varo, already selected, configuration read")
        << "RadioVaroMode" << "RadioVaroMode" << true << QByteArray() << QStringList();
    QTest::newRow("magnetic, already selected")
        << "RadioMagnetic" << "RadioMagnetic" << false << QByteArray("sn=m\r")
        << QStringList{"Change north reference to magnetic north."};
    QTest::newRow("mils, degrees selected")
        << "RadioCompassMils" << "RadioCompassDegrees" << false << QByteArray("uc=m\r")
        << QStringList{"Change heading units to mils."};
}

// Code selecting a radio button runs its handler once, also when it was selected
// already; the button it clears sends nothing.
void TestConfiguration::selectRadio()
{
    QFETCH(QString, radio);
    QFETCH(QString, selectedBefore);
    QFETCH(bool, readingConfiguration);
    QFETCH(QByteArray, sent);
    QFETCH(QStringList, log);

    WindowFixture f;
    WdwMain& w = *f.window;
    f.connect();
    auto* button = w.findChild<QRadioButton*>(radio);
    QVERIFY(button);
    w.mReadConfiguration = true;
    if (!selectedBefore.isEmpty()) w.findChild<QRadioButton*>(selectedBefore)->setChecked(true);
    w.mReadConfiguration = readingConfiguration;
    f.settle();

    w.SelectRadio(button);

    QVERIFY(button->isChecked());
    QVERIFY(!partner(w, button)->isChecked());
    QCOMPARE(f.port->takeWritten(), sent);
    QCOMPARE(f.newLog(), log);
}

void TestConfiguration::defaults_data()
{
    QTest::addColumn<bool>("awayFromDefault");
    QTest::addColumn<QString>("moduleId");
    QTest::addColumn<bool>("readingConfiguration");
    QTest::addColumn<QString>("focus");  // "active window", "inactive window", "typing"

    QTest::newRow("all away from default") << true << "" << false << "active window";
    QTest::newRow("module 20") << true << "20" << false << "active window";
    QTest::newRow("window not active") << true << "" << false << "inactive window";
    QTest::newRow("at default, window not active") << false << "" << false << "inactive window";
    QTest::newRow("pressed while typing a declination") << true << "" << false << "typing";
}

void TestConfiguration::defaults()
{
    QFETCH(bool, awayFromDefault);
    QFETCH(QString, moduleId);
    QFETCH(bool, readingConfiguration);
    QFETCH(QString, focus);

    WindowFixture f;
    WdwMain& w = *f.window;
    f.connect();
    if (focus != "inactive window") showActive(w);
    w.mModuleID = moduleId;

    w.mReadConfiguration = true;
    w.RadioVaroMode->setChecked(true);
    w.PopupModuleBaudRate->setCurrentIndex(7);
    if (awayFromDefault) {
        w.EditDeclination->setText("12.5");
        w.RadioTrue->setChecked(true);
        w.RadioCompassMils->setChecked(true);
        w.RadioTemperatureFahrenheit->setChecked(true);
        w.CheckSingleCharacterHalt->setChecked(true);
        w.CheckDamping->setChecked(true);
        w.PopupDampsize->setCurrentIndex(9);
        w.PopupAsicPeriod->setCurrentIndex(7);
    } else {
        w.EditDeclination->setText("0.0");
        w.PopupDampsize->setCurrentIndex(1);
        w.PopupAsicPeriod->setCurrentIndex(4);
    }
    w.mReadConfiguration = readingConfiguration;
    f.settle();

    QByteArray typed;
    QStringList typedLog;
    if (focus == "typing") {
        // The click on Default takes the focus from the field first.
        w.EditDeclination->setFocus(Qt::MouseFocusReason);
        w.EditDeclination->setText("7");
        typed = "mag_dec=7\r";
        typedLog << "Change declination angle to 7 degrees.";
    }
    const int logRowsBefore = w.ListSystemLog->topLevelItemCount();
    if (focus == "inactive window")
        w.PushConfigurationDefault->click();
    else
        QTest::mouseClick(w.PushConfigurationDefault, Qt::LeftButton);

    QByteArray expectedSent = typed + "mag_dec=0.0\rsn=m\ruc=d\rut=c\rhalt=d\r";
    QStringList expectedLog = typedLog;
    expectedLog << "Set module configuration to default"
                << "Change declination angle to 0.0 degrees."
                << "Change north reference to magnetic north."
                << "Change heading units to degress."
                << "Change temperature units to celsius."
                << "Disabled single character halt.";
    if (moduleId != "20") {
        expectedSent += "damping=d\r";
        expectedLog << "Disable damping.";
    }
    expectedSent += "dampsize=2\rps=4\r";
    expectedLog << "Change damping size to 2 samples." << "Change ASIC period to /512.";

    QCOMPARE(f.port->takeWritten(), expectedSent);
    QCOMPARE(f.newLog(), expectedLog);
    // Every default command follows "Set module configuration to default" and the log
    // line of the command before it; a typed declination goes out before all of them.
    const int defaults = moduleId == "20" ? 7 : 8;
    QList<int> order = commandThenLog(defaults, typed.isEmpty() ? 1 : 2);
    if (!typed.isEmpty()) order.prepend(0);
    QCOMPARE(logRowsAtEachWrite(*f.port, logRowsBefore), order);
    QCOMPARE(w.mReadConfiguration, false);

    QCOMPARE(w.EditDeclination->text(), QString("0.0"));
    QVERIFY(!w.EditDeclination->hasFocus());
    QVERIFY(w.RadioMagnetic->isChecked());
    QVERIFY(!w.RadioTrue->isChecked());
    QVERIFY(w.RadioCompassDegrees->isChecked());
    QVERIFY(w.RadioTemperatureCelsius->isChecked());
    QVERIFY(!w.CheckSingleCharacterHalt->isChecked());
    QVERIFY(!w.CheckDamping->isChecked());
    QCOMPARE(w.PopupDampsize->currentText(), QString("2"));
    QCOMPARE(w.PopupAsicPeriod->currentText(), QString("/512"));
    // Not part of the defaults.
    QVERIFY(w.RadioVaroMode->isChecked());
    QCOMPARE(w.PopupModuleBaudRate->currentIndex(), 7);
}

QTEST_MAIN(TestConfiguration)
#include "test_configuration.moc"
