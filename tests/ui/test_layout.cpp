// The main window's layout: where every control is, what it says, what contains it,
// when it is shown and usable, and that its text fits.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

#include "windowfixture.h"

namespace {
QWidget* control(WdwMain& w, const QString& name)
{
    return w.centralWidget()->findChild<QWidget*>(name);
}

// Geometry as the layout measures it: from the content area's top-left corner.
QRect inContent(WdwMain& w, const QWidget* widget)
{
    return {widget->mapTo(w.centralWidget(), QPoint(0, 0)), widget->size()};
}

// Selects a tab without the tab handlers (not this file's subject) interfering.
void showTab(WdwMain& w, int tab)
{
    w.mSkipThisTabChange = true;
    w.TabMain->setCurrentIndex(tab);
    w.mSkipThisTabChange = false;
}

// The effective text of the controls that carry one.
QString textOf(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    return QStringLiteral("<no text>");
}
}  // namespace

class TestLayout : public QObject {
    Q_OBJECT
private slots:
    void window();
    void geometry_data();
    void geometry();
    void containers_data();
    void containers();
    void shownOnlyOnItsTab_data();
    void shownOnlyOnItsTab();
    void texts_data();
    void texts();
    void popupItems_data();
    void popupItems();
    void initialChecks();
    void groupBoxesCarryEnabling_data();
    void groupBoxesCarryEnabling();
    void radioButtonsExclusiveWithinContainer();
    void fonts_data();
    void fonts();
    void textsFitTheirControls();
    void lists();
    void systemLogKeepsOrderUntilHeadingClicked();
    void timers_data();
    void timers();
};

void TestLayout::window()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    QCOMPARE(w.windowTitle(), QString("Dravik Studio Version 1.0"));
    QCOMPARE(w.centralWidget()->size(), QSize(913, 639));
    QVERIFY(!(w.windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Not resizable: the window is held at the size of its content.
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QCOMPARE(w.size(), w.minimumSize());
    QCOMPARE(w.centralWidget()->size(), QSize(913, 639));
    // Only quitting closes it.
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(w.TabMain->currentIndex(), 0);
    QCOMPARE(w.TabMain->count(), 6);
}

void TestLayout::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    const struct {
        const char* name;
        QRect rect;
    } rows[] = {
        // header strip
        {"TabMain", {19, 89, 874, 528}},
        {"StaticText1", {441, 53, 70, 20}},
        {"PushButton1", {441, 21, 110, 20}},
        {"StaticDravikInfo", {229, 14, 190, 20}},
        {"StaticText7", {131, 36, 80, 20}},
        // Connection: inside the tab, and inside a group box inside the tab
        {"GroupModuleBaudRate", {306, 279, 300, 72}},
        {"PopupModuleBaudRate", {401, 313, 180, 20}},
        {"StaticText32", {322, 313, 80, 20}},
        {"PopupComputerBaudRate", {401, 225, 180, 20}},
        // Configuration
        {"RadioTrue", {243, 182, 80, 20}},
        {"EditDeclination", {244, 215, 80, 22}},
        {"PushConfigurationDefault", {798, 579, 69, 20}},
        {"GroupReadingUnits", {478, 149, 320, 175}},
        {"StaticText4", {494, 238, 80, 20}},
        {"GroupBox3", {585, 177, 200, 40}},
        {"RadioCompassMils", {683, 187, 80, 20}},
        {"RadioTemperatureFahrenheit", {683, 239, 90, 20}},
        {"PopupDampsize", {232, 398, 60, 20}},
        {"CheckDamping", {152, 365, 80, 20}},
        {"RadioRawMode", {244, 555, 90, 20}},
        // Calibration: canvas in canvas, grid lines in both
        {"Canvas2", {347, 141, 449, 449}},
        {"CanvasUserCalGraph", {347, 141, 449, 449}},
        {"Separator27", {348, 141, 448, 1}},
        {"Separator12", {348, 525, 448, 1}},
        {"Separator28", {347, 557, 448, 1}},
        {"Separator30", {347, 589, 448, 1}},
        {"Separator25", {347, 141, 1, 448}},
        {"Separator13", {379, 142, 1, 448}},
        {"Separator26", {763, 141, 1, 448}},
        {"Separator29", {795, 142, 1, 448}},
        {"StaticText41", {252, 127, 23, 20}},
        {"StaticText45", {859, 590, 20, 20}},
        // Test: labels inside the reading canvas, the 3D view inside its group
        {"PushTestGo", {209, 388, 69, 20}},
        {"View3DHelicopter", {480, 158, 378, 414}},
        {"CanvasReadingBackground", {54, 155, 378, 221}},
        {"StaticReadingHeading", {193, 169, 100, 28}},
        {"StaticReadingHeadingValue", {123, 201, 240, 80}},
        // Data Logger, System Log
        {"ListDataLog", {159, 150, 720, 420}},
        {"ListData", {31, 150, 120, 420}},
        {"StaticDataLogHeading", {214, 582, 50, 20}},
        {"CheckDataLogAutoScroll", {517, 582, 100, 20}},
        {"StaticText8", {159, 133, 300, 20}},
        {"ListSystemLog", {36, 125, 843, 445}},
        {"PushSystemLogExport", {811, 582, 69, 20}},
    };
    for (const auto& row : rows) QTest::newRow(row.name) << QString(row.name) << row.rect;
    // The axis labels: X down the left edge, Y along the bottom.
    for (int i = 0; i < 15; ++i)
        QTest::addRow("UserCalGraphX[%d]", i)
            << QString("UserCalGraphX[%1]").arg(i) << QRect(279, 578 - 32 * i, 56, i <= 4 ? 11 : 13);
    for (int i = 0; i < 8; ++i)
        QTest::addRow("UserCalGraphY[%d]", i)
            << QString("UserCalGraphY[%1]").arg(i) << QRect(347 + 64 * i, 599, 56, 11);
}

void TestLayout::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    WindowFixture f;
    WdwMain& w = *f.window;
    QWidget* c = control(w, name);
    QVERIFY2(c, qPrintable(name));
    // Exact before the window is shown, and after.
    QCOMPARE(inContent(w, c), rect);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(inContent(w, c), rect);
}

void TestLayout::containers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");  // "tab N": the tab's own controls
    QTest::newRow("module rate in its group") << "PopupModuleBaudRate" << "GroupModuleBaudRate";
    QTest::newRow("port label in Computer") << "StaticText5" << "GroupBox8";
    QTest::newRow("Module group on the tab") << "GroupModuleBaudRate" << "tab 0";
    QTest::newRow("declination in its group") << "EditDeclination" << "GroupNorthReference";
    QTest::newRow("unit label in Reading Units") << "StaticText2" << "GroupReadingUnits";
    QTest::newRow("GroupBox3 on the tab, not in Reading Units") << "GroupBox3" << "tab 1";
    QTest::newRow("GroupBox5 on the tab, not in Reading Units") << "GroupBox5" << "tab 1";
    QTest::newRow("degrees in GroupBox3") << "RadioCompassDegrees" << "GroupBox3";
    QTest::newRow("fahrenheit in GroupBox5") << "RadioTemperatureFahrenheit" << "GroupBox5";
    QTest::newRow("ASIC period in its group") << "PopupAsicPeriod" << "GroupBox1";
    QTest::newRow("graph canvas in Canvas2") << "CanvasUserCalGraph" << "Canvas2";
    QTest::newRow("grid line in Canvas2") << "Separator7" << "Canvas2";
    QTest::newRow("last grid lines in the graph") << "Separator30" << "CanvasUserCalGraph";
    QTest::newRow("axis label on the tab") << "UserCalGraphX[0]" << "tab 2";
    QTest::newRow("Go in Current Reading") << "PushTestGo" << "GroupReadings";
    QTest::newRow("Contrast in Current Reading") << "CheckContrast" << "GroupReadings";
    QTest::newRow("reading canvas on the tab") << "CanvasReadingBackground" << "tab 3";
    QTest::newRow("heading label on the canvas") << "StaticReadingHeadingValue" << "CanvasReadingBackground";
    QTest::newRow("3D view in 3D Model") << "View3DHelicopter" << "Group3DModel";
    QTest::newRow("data log on the tab") << "ListDataLog" << "tab 4";
    QTest::newRow("system log on the tab") << "ListSystemLog" << "tab 5";
}

void TestLayout::containers()
{
    QFETCH(QString, name);
    QFETCH(QString, container);
    WindowFixture f;
    WdwMain& w = *f.window;
    QWidget* c = control(w, name);
    QVERIFY2(c, qPrintable(name));
    if (container.startsWith("tab ")) {
        QWidget* page = w.tabPage(container.mid(4).toInt());
        QVERIFY(page);
        QCOMPARE(c->parentWidget(), page);
        QVERIFY(w.TabMain->isAncestorOf(c));
    } else {
        QCOMPARE(c->parentWidget()->objectName(), container);
    }
}

void TestLayout::shownOnlyOnItsTab_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tab");  // -1: the header strip, always shown
    QTest::newRow("Connect") << "PushButton1" << -1;
    QTest::newRow("indicator") << "CanvasConnected" << -1;
    QTest::newRow("logo") << "Canvas1" << -1;
    QTest::newRow("serial port") << "PopupSerialPort" << 0;
    QTest::newRow("module rate") << "PopupModuleBaudRate" << 0;
    QTest::newRow("declination") << "EditDeclination" << 1;
    QTest::newRow("mils") << "RadioCompassMils" << 1;
    QTest::newRow("graph") << "CanvasUserCalGraph" << 2;
    QTest::newRow("grid line") << "Separator29" << 2;
    QTest::newRow("axis label") << "UserCalGraphY[7]" << 2;
    QTest::newRow("heading value") << "StaticReadingHeadingValue" << 3;
    QTest::newRow("3D view") << "View3DHelicopter" << 3;
    QTest::newRow("data log") << "ListDataLog" << 4;
    QTest::newRow("ticks note") << "StaticText8" << 4;
    QTest::newRow("system log") << "ListSystemLog" << 5;
    QTest::newRow("system log export") << "PushSystemLogExport" << 5;
}

void TestLayout::shownOnlyOnItsTab()
{
    QFETCH(QString, name);
    QFETCH(int, tab);
    WindowFixture f;
    WdwMain& w = *f.window;
    QWidget* c = control(w, name);
    QVERIFY2(c, qPrintable(name));
    for (int selected : {0, 1, 2, 3, 4, 5, 0}) {
        showTab(w, selected);
        QCOMPARE(c->isVisibleTo(&w), tab == -1 || tab == selected);
    }
}

void TestLayout::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const char* const rows[][2] = {
        {"StaticText1", "Connected"},
        {"PushButton1", "Connect"},
        {"StaticDravikInfo", " "},
        {"StaticModuleInfo", ""},
        {"StaticText3", "Dravik"},
        {"StaticText7", "Module"},
        {"GroupModuleBaudRate", "Module"},
        {"GroupBox8", "Computer"},
        {"StaticText32", "Baud Rate"},
        {"StaticText5", "Serial Port"},
        {"GroupNorthReference", "North Reference"},
        {"RadioMagnetic", "Magnetic"},
        {"StaticText12", "Declination"},
        {"PushConfigurationDefault", "Default"},
        {"GroupReadingUnits", "Reading Units"},
        {"GroupBox3", ""},
        {"GroupBox5", ""},
        {"RadioTemperatureFahrenheit", "Fahrenheit"},
        {"StaticText4", "Temperature"},
        {"GroupConfigurationOptions", "Options"},
        {"CheckSingleCharacterHalt", "Single character halt"},
        {"StaticText10", "Damp Size"},
        {"CheckDamping", "Enabled"},
        {"GroupBox1", "ASIC Period Select"},
        {"GroupBox2", "Output Mode"},
        {"RadioVaroMode", "Varo Mode"},
        {"RadioRawMode", "Raw Mode"},
        {"PushCalibrationStart", "Start"},
        {"PushCalibrationClear", "Clear"},
        {"StaticText41", "Y"},
        {"StaticText45", "X"},
        {"UserCalGraphX[14]", "---"},
        {"UserCalGraphY[0]", "---"},
        {"GroupReadings", "Current Reading"},
        {"PushTestGo", "Go"},
        {"Group3DModel", "3D Model"},
        {"CheckContrast", "Contrast"},
        {"StaticReadingHeading", "Heading"},
        {"StaticReadingHeadingValue", "000.0"},
        {"PushDataLogExport", "Export"},
        {"PushDataLogGo", "Go"},
        {"StaticHeading", "Heading"},
        {"StaticDataLogHeading", "000.00"},
        {"PushDataLogClear", "Clear"},
        {"CheckDataLogAutoScroll", "Auto Scroll"},
        {"StaticText8", "* Ticks is 1/60th of a second"},
        {"PushSystemLogExport", "Export"},
    };
    for (const auto& row : rows) QTest::newRow(row[0]) << QString(row[0]) << QString(row[1]);
}

void TestLayout::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    WindowFixture f;
    QWidget* c = control(*f.window, name);
    QVERIFY2(c, qPrintable(name));
    QCOMPARE(textOf(c), text);
}

void TestLayout::popupItems_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("selected");  // -2: chosen by the open handler, not the layout
    const QStringList rates = {"300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600"};
    QStringList sizes;
    for (int i = 1; i <= 20; ++i) sizes << QString::number(i);
    QTest::newRow("module rate") << "PopupModuleBaudRate" << rates << 0;
    QTest::newRow("computer rate") << "PopupComputerBaudRate" << rates << -2;
    QTest::newRow("damping size") << "PopupDampsize" << sizes << 0;
    QTest::newRow("ASIC period") << "PopupAsicPeriod"
                                 << QStringList{"/32", "/64", "/128", "/256", "/512", "/1024", "/2048", "/4096"} << 0;
}

void TestLayout::popupItems()
{
    QFETCH(QString, name);
    QFETCH(QStringList, items);
    QFETCH(int, selected);
    WindowFixture f;
    auto* popup = qobject_cast<QComboBox*>(control(*f.window, name));
    QVERIFY2(popup, qPrintable(name));
    QStringList seen;
    for (int i = 0; i < popup->count(); ++i) seen << popup->itemText(i);
    QCOMPARE(seen, items);
    if (selected != -2) QCOMPARE(popup->currentIndex(), selected);
}

void TestLayout::initialChecks()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    const QStringList on = {"RadioMagnetic", "RadioCompassDegrees", "RadioTemperatureCelsius"};
    for (auto* button : w.centralWidget()->findChildren<QAbstractButton*>()) {
        if (!button->isCheckable()) continue;
        // Both output modes start unselected; every check box starts unchecked.
        QVERIFY2(button->isChecked() == on.contains(button->objectName()), qPrintable(button->objectName()));
    }
    // The Module group starts disabled; its pop-up has no disabled flag of its own.
    QVERIFY(!w.GroupModuleBaudRate->isEnabled());
    QVERIFY(!w.PopupModuleBaudRate->isEnabled());
    QVERIFY(w.PopupModuleBaudRate->isEnabledTo(w.GroupModuleBaudRate));
    QVERIFY(w.GroupBox8->isEnabled());
    QVERIFY(w.PopupComputerBaudRate->isEnabled());
}

void TestLayout::groupBoxesCarryEnabling_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("carried");
    QTest::addColumn<QStringList>("untouched");
    QTest::newRow("Reading Units greys its labels, not the unit buttons")
        << "GroupReadingUnits" << QStringList{"StaticText2", "StaticText4"}
        << QStringList{"GroupBox3", "RadioCompassDegrees", "RadioCompassMils", "RadioTemperatureCelsius",
                       "RadioTemperatureFahrenheit"};
    QTest::newRow("Current Reading takes Go and Contrast, not the display")
        << "GroupReadings" << QStringList{"PushTestGo", "CheckContrast"}
        << QStringList{"CanvasReadingBackground", "StaticReadingHeading", "StaticReadingHeadingValue"};
    QTest::newRow("3D Model takes the view") << "Group3DModel" << QStringList{"View3DHelicopter"}
                                             << QStringList{"CanvasReadingBackground"};
    QTest::newRow("Damping takes its controls")
        << "GroupDamping" << QStringList{"CheckDamping", "PopupDampsize", "StaticText10"}
        << QStringList{"PopupAsicPeriod", "RadioVaroMode"};
    QTest::newRow("North Reference takes the declination")
        << "GroupNorthReference" << QStringList{"RadioMagnetic", "RadioTrue", "EditDeclination"}
        << QStringList{"GroupBox1", "PopupAsicPeriod"};
}

void TestLayout::groupBoxesCarryEnabling()
{
    QFETCH(QString, group);
    QFETCH(QStringList, carried);
    QFETCH(QStringList, untouched);
    WindowFixture f;
    WdwMain& w = *f.window;
    QWidget* box = control(w, group);
    QVERIFY(box);
    for (bool enabled : {false, true, false, true}) {
        box->setEnabled(enabled);
        for (const QString& name : carried) QVERIFY2(control(w, name)->isEnabled() == enabled, qPrintable(name));
        for (const QString& name : untouched) QVERIFY2(control(w, name)->isEnabled(), qPrintable(name));
    }
}

void TestLayout::radioButtonsExclusiveWithinContainer()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    const QList<QRadioButton*> all = w.centralWidget()->findChildren<QRadioButton*>();
    const auto checked = [&] {
        QStringList names;
        for (QRadioButton* r : all)
            if (r->isChecked()) names << r->objectName();
        names.sort();
        return names;
    };
    w.RadioCompassMils->setChecked(true);
    w.RadioTemperatureFahrenheit->setChecked(true);
    w.RadioTrue->setChecked(true);
    w.RadioRawMode->setChecked(true);
    QCOMPARE(checked(), (QStringList{"RadioCompassMils", "RadioRawMode", "RadioTemperatureFahrenheit", "RadioTrue"}));
    w.RadioVaroMode->setChecked(true);
    w.RadioCompassDegrees->setChecked(true);
    QCOMPARE(checked(), (QStringList{"RadioCompassDegrees", "RadioTemperatureFahrenheit", "RadioTrue", "RadioVaroMode"}));
}

void TestLayout::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pixels");  // 0: the toolkit's default size
    QTest::addColumn<bool>("bold");
    QTest::newRow("button") << "PushButton1" << 13 << false;
    QTest::newRow("group title") << "GroupReadingUnits" << 13 << false;
    QTest::newRow("tab panel") << "TabMain" << 13 << false;
    QTest::newRow("pop-up") << "PopupSerialPort" << 13 << false;
    QTest::newRow("list") << "ListSystemLog" << 13 << false;
    QTest::newRow("ticks note") << "StaticText8" << 10 << false;
    QTest::newRow("axis label X") << "UserCalGraphX[9]" << 10 << false;
    QTest::newRow("axis label Y") << "UserCalGraphY[2]" << 10 << false;
    QTest::newRow("X caption") << "StaticText41" << 0 << false;
    QTest::newRow("Y caption") << "StaticText45" << 0 << false;
    QTest::newRow("heading caption") << "StaticReadingHeading" << 24 << true;
    QTest::newRow("heading value") << "StaticReadingHeadingValue" << 80 << true;
}

void TestLayout::fonts()
{
    QFETCH(QString, name);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    WindowFixture f;
    QWidget* c = control(*f.window, name);
    QVERIFY2(c, qPrintable(name));
    const QFont font = c->font();
    QCOMPARE(font.bold(), bold);
    if (pixels == 0) {
        QCOMPARE(font.pointSizeF(), QApplication::font().pointSizeF());
        QCOMPARE(font.pixelSize(), QApplication::font().pixelSize());
    } else {
        // A text too wide for a narrower original font may be condensed or set a
        // pixel or two smaller, never larger.
        QVERIFY2(font.pixelSize() <= pixels && font.pixelSize() >= pixels - 3,
                 qPrintable(QString::number(font.pixelSize())));
    }
}

void TestLayout::textsFitTheirControls()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    for (QLabel* label : w.centralWidget()->findChildren<QLabel*>()) {
        const int needed = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(needed <= label->width(), qPrintable(label->objectName()));
    }
    for (QAbstractButton* button : w.centralWidget()->findChildren<QAbstractButton*>()) {
        int indicator = 0;
        if (qobject_cast<QRadioButton*>(button))
            indicator = button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                        button->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
        else if (qobject_cast<QCheckBox*>(button))
            indicator = button->style()->pixelMetric(QStyle::PM_IndicatorWidth) +
                        button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        const int needed = indicator + button->fontMetrics().horizontalAdvance(button->text());
        QVERIFY2(needed <= button->width(), qPrintable(button->objectName()));
    }
}

void TestLayout::lists()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    QCOMPARE(w.ListSystemLog->columnCount(), 2);
    QVERIFY(!w.ListSystemLog->isHeaderHidden());
    QCOMPARE(w.ListSystemLog->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(w.ListSystemLog->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w.ListSystemLog->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    QCOMPARE(w.ListData->columnCount(), 1);
    QVERIFY(!w.ListData->isHeaderHidden());
    QVERIFY(w.ListData->selectionMode() == QAbstractItemView::MultiSelection ||
            w.ListData->selectionMode() == QAbstractItemView::ExtendedSelection);
    QCOMPARE(w.ListData->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w.ListData->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(w.ListData->header()->sectionsClickable());

    QVERIFY(!w.ListDataLog->isHeaderHidden());
    QCOMPARE(w.ListDataLog->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(w.ListDataLog->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(w.ListDataLog->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(w.ListDataLog->header()->sectionsClickable());
    // The user cannot resize the data log's columns, whatever model fills them.
    for (int c = 0; c < w.ListDataLog->header()->count(); ++c)
        QCOMPARE(w.ListDataLog->header()->sectionResizeMode(c), QHeaderView::Fixed);
}

void TestLayout::systemLogKeepsOrderUntilHeadingClicked()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    QTreeWidget* log = w.ListSystemLog;
    log->clear();
    const QStringList added = {"b second", "a first", "c third", "a first"};
    for (const QString& text : added) new QTreeWidgetItem(log, {QStringLiteral("2024-01-01 10:00:00"), text});
    const auto rows = [log] {
        QStringList texts;
        for (int i = 0; i < log->topLevelItemCount(); ++i) texts << log->topLevelItem(i)->text(1);
        return texts;
    };
    QCOMPARE(rows(), added);  // same-second entries stay in the order they came

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    showTab(w, 5);
    QHeaderView* header = log->header();
    const QPoint event(header->sectionViewportPosition(1) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, event);
    QCOMPARE(rows(), (QStringList{"a first", "a first", "b second", "c third"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, event);
    QCOMPARE(rows(), (QStringList{"c third", "b second", "a first", "a first"}));
}

void TestLayout::timers_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("singleShot");
    QTest::addColumn<int>("interval");
    QTest::newRow("dispatcher") << "TimerSerialControl" << true << false << 10;
    QTest::newRow("activity") << "TimerSerialActivity" << false << true << 100;
    QTest::newRow("event") << "TimerEvent" << false << true << 1000;
}

void TestLayout::timers()
{
    QFETCH(QString, name);
    QFETCH(bool, running);
    QFETCH(bool, singleShot);
    QFETCH(int, interval);
    WindowFixture f;
    auto* timer = f.window->findChild<QTimer*>(name);
    QVERIFY(timer);
    QCOMPARE(timer->isActive(), running);
    QCOMPARE(timer->isSingleShot(), singleShot);
    QCOMPARE(timer->interval(), interval);
}

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
