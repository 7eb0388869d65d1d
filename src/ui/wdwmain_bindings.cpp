// The event binding table: every control event connected to its handler, and the
// control open handlers run once before the window's own open handler.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "controls.h"
#include "wdwmain.h"

namespace {
// Radio buttons act when they become selected, by the user or by code.
template <typename Handler>
void onSelected(QRadioButton* radio, WdwMain* window, Handler handler)
{
    QObject::connect(radio, &QRadioButton::toggled, window, [window, handler](bool on) {
        if (on) (window->*handler)();
    });
}
template <typename Handler>
void onClicked(QPushButton* button, WdwMain* window, Handler handler)
{
    QObject::connect(button, &QPushButton::clicked, window, [window, handler] { (window->*handler)(); });
}
// Check boxes act on every change of value, by the user or by code.
template <typename Handler>
void onToggled(QCheckBox* box, WdwMain* window, Handler handler)
{
    QObject::connect(box, &QCheckBox::toggled, window, [window, handler](bool) { (window->*handler)(); });
}
template <typename Handler>
void onRowChanged(QComboBox* popup, WdwMain* window, Handler handler)
{
    QObject::connect(popup, &QComboBox::currentIndexChanged, window,
                     [window, handler](int) { (window->*handler)(); });
}
}  // namespace

void WdwMain::BindHandlers()
{
    connect(TabMain, &QTabWidget::currentChanged, this, [this](int) { TabMain_Change(); });

    onSelected(RadioMagnetic, this, &WdwMain::RadioMagnetic_Action);
    onSelected(RadioTrue, this, &WdwMain::RadioTrue_Action);
    connect(EditDeclination, &EditField::lostFocus, this, &WdwMain::EditDeclination_LostFocus);
    onRowChanged(PopupModuleBaudRate, this, &WdwMain::PopupModuleBaudRate_Change);
    connect(ListDataLog->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListDataLog_HeaderPressed(column); });
    onClicked(PushConfigurationDefault, this, &WdwMain::PushConfigurationDefault_Action);
    connect(ListData->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListData_HeaderPressed(column); });
    connect(ListData, &QTreeWidget::itemSelectionChanged, this, &WdwMain::ListData_Change);
    onClicked(PushDataLogExport, this, &WdwMain::PushDataLogExport_Action);
    onClicked(PushDataLogGo, this, &WdwMain::PushDataLogGo_Action);
    onClicked(PushSystemLogExport, this, &WdwMain::PushSystemLogExport_Action);
    onClicked(PushCalibrationClear, this, &WdwMain::PushCalibrationClear_Action);
    onRowChanged(PopupSerialPort, this, &WdwMain::PopupSerialPort_Change);
    onRowChanged(PopupComputerBaudRate, this, &WdwMain::PopupComputerBaudRate_Change);
    onClicked(PushTestGo, this, &WdwMain::PushTestGo_Action);
    connect(TimerSerialControl, &QTimer::timeout, this, &WdwMain::TimerSerialControl_Action);
    connect(TimerSerialActivity, &QTimer::timeout, this, &WdwMain::TimerSerialActivity_Action);
    connect(CanvasReadingBackground, &Canvas::paint, this, &WdwMain::CanvasReadingBackground_Paint);
    onClicked(PushDataLogClear, this, &WdwMain::PushDataLogClear_Action);
    onToggled(CheckContrast, this, &WdwMain::CheckContrast_Action);
    connect(TimerEvent, &QTimer::timeout, this, &WdwMain::TimerEvent_Action);
    onSelected(RadioCompassDegrees, this, &WdwMain::RadioCompassDegrees_Action);
    onSelected(RadioCompassMils, this, &WdwMain::RadioCompassMils_Action);
    onSelected(RadioTemperatureCelsius, this, &WdwMain::RadioTemperatureCelsius_Action);
    onSelected(RadioTemperatureFahrenheit, this, &WdwMain::RadioTemperatureFahrenheit_Action);
    onToggled(CheckSingleCharacterHalt, this, &WdwMain::CheckSingleCharacterHalt_Action);
    onClicked(PushCalibrationStart, this, &WdwMain::PushCalibrationStart_Action);
    onClicked(PushButton1, this, &WdwMain::PushButton1_Action);
    onRowChanged(PopupDampsize, this, &WdwMain::PopupDampsize_Change);
    onToggled(CheckDamping, this, &WdwMain::CheckDamping_Action);
    onRowChanged(PopupAsicPeriod, this, &WdwMain::PopupAsicPeriod_Change);
    onSelected(RadioVaroMode, this, &WdwMain::RadioVaroMode_Action);
    onSelected(RadioRawMode, this, &WdwMain::RadioRawMode_Action);
    connect(CanvasUserCalGraph, &Canvas::paint, this, &WdwMain::CanvasUserCalGraph_Paint);

    // The dispatcher runs from the window's creation on, every 10 ms.
    TimerSerialControl->setSingleShot(false);
    TimerSerialControl->setInterval(10);
    TimerSerialControl->start();
}

void WdwMain::RunOpenHandlers()
{
    CanvasConnected_Open();
    Canvas1_Open();
    ListSystemLog_Open();
    ListData_Open();
    PopupSerialPort_Open();
    View3DHelicopter_Open();
    StaticReadingHeadingValue_Open();
}
