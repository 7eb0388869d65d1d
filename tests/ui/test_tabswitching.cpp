// Leaving a tab ends what it was doing; entering Test brings the 3D view back; the
// controls that talk to the module follow the link. The conversations are scenarios
// (tests/scenarios/tabs-*.scn); these cases add every mode running at once on each
// tab left, the 3D view's colour and redraw, and the order of the enabling.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "windowfixture.h"

namespace {
const QString kQuestion = "Calibration is not complete. Do you want to stop the calibration?";

// Records the order in which widgets of interest change their enabled state.
class EnabledOrder : public QObject {
public:
    explicit EnabledOrder(QSet<QString> names) : mNames(std::move(names)) {}
    QStringList order;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange && mNames.contains(object->objectName()) &&
            !order.contains(object->objectName()))
            order << object->objectName();
        return false;
    }

private:
    QSet<QString> mNames;
};

const QStringList kModuleControls = {
    "GroupModuleBaudRate", "GroupNorthReference", "GroupReadingUnits",
    "GroupConfigurationOptions", "PushConfigurationDefault", "GroupDamping",
    "PushCalibrationStart", "PushCalibrationClear", "GroupReadings",
    "Group3DModel", "ListData", "ListDataLog",
    "StaticHeading", "StaticDataLogHeading", "CheckDataLogAutoScroll",
    "PushDataLogClear", "PushDataLogGo", "PushDataLogExport",
};
}  // namespace

class TestTabSwitching : public QObject {
    Q_OBJECT
private slots:
    void leaving_data();
    void leaving();
    void view3DParkedAndRestored();
    void moduleControls_data();
    void moduleControls();
};

// Goes from tab `from` to tab `to` with the given mode running, and checks what
// leaving `from` did. answer: "" no question expected, "yes"/"no" the prepared answer.
void TestTabSwitching::leaving_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("calibrating");
    QTest::addColumn<bool>("singleCharacterHalt");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("shownTab");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("testCaption");
    QTest::addColumn<QString>("dataLogCaption");
    QTest::addColumn<QString>("calibrationCaption");
    QTest::addColumn<bool>("listDataEnabled");

    const QStringList none;
    const QStringList stopped{"Stopped user calibration."};
    //                                         from to conn  calib  halt   answer shown sent log test-caption logger-caption cal-caption ListData
    QTest::newRow("calibration idle") << 2 << 4 << true << false << false << "" << 4 << QByteArray() << none
                                      << "Stop" << "Stop" << "Start" << false;
    QTest::newRow("calibration running, Yes") << 2 << 5 << true << true << false << "yes" << 5
                                              << QByteArray("h\r") << stopped << "Stop" << "Stop" << "Start"
                                              << false;
    // Straight from Test to the Data Logger: only the Test leaving actions run.
    QTest::newRow("test to data logger") << 3 << 4 << true << false << false << "" << 4 << QByteArray()
                                         << none << "Go" << "Stop" << "Start" << false;
    QTest::newRow("data logger, connected") << 4 << 5 << true << false << false << "" << 5 << QByteArray()
                                            << none << "Stop" << "Go" << "Start" << true;
    QTest::newRow("configuration") << 1 << 4 << true << true << false << "" << 4 << QByteArray() << none
                                   << "Stop" << "Stop" << "Stop" << false;
    QTest::newRow("system log") << 5 << 3 << true << true << false << "" << 3 << QByteArray() << none
                                << "Stop" << "Stop" << "Stop" << false;
}

void TestTabSwitching::leaving()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, connected);
    QFETCH(bool, calibrating);
    QFETCH(bool, singleCharacterHalt);
    QFETCH(QString, answer);
    QFETCH(int, shownTab);
    QFETCH(QByteArray, sent);
    QFETCH(QStringList, log);
    QFETCH(QString, testCaption);
    QFETCH(QString, dataLogCaption);
    QFETCH(QString, calibrationCaption);
    QFETCH(bool, listDataEnabled);

    WindowFixture f;
    WdwMain& w = *f.window;
    f.connect();
    w.show();
    w.TabMain->setCurrentIndex(from);
    QCOMPARE(w.mPrevTab, from);

    // Every mode running at once, so that each leaving action shows in what it ends.
    w.mReadConfiguration = true;
    w.CheckSingleCharacterHalt->setChecked(singleCharacterHalt);
    w.mReadConfiguration = false;
    w.mConnected = connected;
    w.mUserCalibration = calibrating;
    w.PushCalibrationStart->setText(calibrating ? "Stop" : "Start");
    w.mTestGoing = true;
    w.PushTestGo->setText("Stop");
    w.mDataLogging = true;
    w.mDataLoggingNow = true;
    w.PushDataLogGo->setText("Stop");
    w.ListData->setEnabled(false);
    if (!answer.isEmpty()) f.prompter.prepareAnswer(answer == "yes");
    f.settle();

    w.TabMain->setCurrentIndex(to);

    QCOMPARE(f.prompter.shown, answer.isEmpty() ? QStringList() : QStringList{kQuestion});
    QCOMPARE(f.prompter.unprepared, QString());
    QCOMPARE(w.TabMain->currentIndex(), shownTab);
    QCOMPARE(w.mPrevTab, shownTab);
    QCOMPARE(w.mSkipThisTabChange, false);
    QCOMPARE(f.port->takeWritten(), sent);
    QCOMPARE(f.newLog(), log);
    QCOMPARE(w.PushTestGo->text(), testCaption);
    QCOMPARE(w.mTestGoing, testCaption != "Go");
    QCOMPARE(w.PushDataLogGo->text(), dataLogCaption);
    QCOMPARE(w.mDataLogging, dataLogCaption != "Go");
    QCOMPARE(w.mDataLoggingNow, true);  // sentences still arriving are still logged
    QCOMPARE(w.PushCalibrationStart->text(), calibrationCaption);
    // The calibration ends only when the module confirms the halt.
    QCOMPARE(w.mUserCalibration, calibrating);
    QCOMPARE(w.ListData->isEnabled(), listDataEnabled);
}

void TestTabSwitching::view3DParkedAndRestored()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    QVERIFY(f.view3D);
    w.show();
    // The group box as laid out; the view's layout position differs from where
    // entering the Test tab puts it.
    w.setContentGeometry(w.Group3DModel, {464, 124, 410, 460});
    w.setContentGeometry(w.View3DHelicopter, {480, 158, 378, 414});
    f.view3D->setBackgroundColor(Qt::red);
    const int redraws = f.view3D->redrawCount();

    w.TabMain->setCurrentIndex(3);
    QCOMPARE(w.contentGeometry(w.View3DHelicopter), QRect(479, 155, 378, 414));
    QVERIFY(w.WindowBackgroundColour().isValid());
    QCOMPARE(f.view3D->backgroundColor().value_or(QColor()), w.WindowBackgroundColour());
    QCOMPARE(f.view3D->redrawCount(), redraws + 1);

    // Leaving parks it as one pixel in the group box's inner bottom-right corner.
    w.TabMain->setCurrentIndex(4);
    QCOMPARE(w.contentGeometry(w.View3DHelicopter), QRect(872, 582, 1, 1));
    QCOMPARE(w.TabMain->currentIndex(), 4);

    // The corner follows the group box.
    w.setContentGeometry(w.Group3DModel, {400, 100, 300, 200});
    w.TabMain->setCurrentIndex(3);
    QCOMPARE(w.contentGeometry(w.View3DHelicopter), QRect(479, 155, 378, 414));
    QCOMPARE(f.view3D->redrawCount(), redraws + 2);
    w.TabMain->setCurrentIndex(0);
    QCOMPARE(w.contentGeometry(w.View3DHelicopter), QRect(698, 298, 1, 1));
}

void TestTabSwitching::moduleControls_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::newRow("disable") << false;
    QTest::newRow("enable") << true;
}

void TestTabSwitching::moduleControls()
{
    QFETCH(bool, enabled);

    WindowFixture f;
    WdwMain& w = *f.window;
    // Start from the opposite state everywhere.
    for (const QString& name : kModuleControls) w.findChild<QWidget*>(name)->setEnabled(!enabled);
    EnabledOrder order(QSet<QString>(kModuleControls.begin(), kModuleControls.end()));
    qApp->installEventFilter(&order);

    w.ModuleControls(enabled);

    qApp->removeEventFilter(&order);
    QCOMPARE(order.order, kModuleControls);
    for (const QString& name : kModuleControls)
        QVERIFY2(w.findChild<QWidget*>(name)->isEnabled() == enabled, qPrintable(name));

    // What stays usable whatever the link does.
    for (const char* name : {"PushButton1", "GroupBox8", "PopupSerialPort", "PopupComputerBaudRate",
                             "GroupBox3", "GroupBox5", "GroupBox1", "GroupBox2", "RadioVaroMode",
                             "ListSystemLog", "PushSystemLogExport", "CanvasUserCalGraph",
                             "StaticReadingHeadingValue", "TabMain"})
        QVERIFY2(w.findChild<QWidget*>(name)->isEnabled(), name);

    // A second identical call changes nothing.
    EnabledOrder again(QSet<QString>(kModuleControls.begin(), kModuleControls.end()));
    qApp->installEventFilter(&again);
    w.ModuleControls(enabled);
    qApp->removeEventFilter(&again);
    QCOMPARE(again.order, QStringList());
}

QTEST_MAIN(TestTabSwitching)
#include "test_tabswitching.moc"
