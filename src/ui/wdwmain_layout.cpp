// Placeholder layout: every control exists so the handlers can be written against
// it; the real geometry, captions and containers replace this.
#include "wdwmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "controls.h"

void WdwMain::CreateControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    StaticText1 = new QLabel(central);
    StaticText1->setObjectName("StaticText1");
    CanvasConnected = new Canvas(central);
    CanvasConnected->setObjectName("CanvasConnected");
    Canvas1 = new Canvas(central);
    Canvas1->setObjectName("Canvas1");
    PushButton1 = new QPushButton(central);
    PushButton1->setObjectName("PushButton1");
    StaticDravikInfo = new QLabel(central);
    StaticDravikInfo->setObjectName("StaticDravikInfo");
    StaticModuleInfo = new QLabel(central);
    StaticModuleInfo->setObjectName("StaticModuleInfo");
    StaticText3 = new QLabel(central);
    StaticText3->setObjectName("StaticText3");
    StaticText7 = new QLabel(central);
    StaticText7->setObjectName("StaticText7");
    TabMain = new QTabWidget(central);
    TabMain->setObjectName("TabMain");
    GroupModuleBaudRate = new QGroupBox(central);
    GroupModuleBaudRate->setObjectName("GroupModuleBaudRate");
    PopupModuleBaudRate = new QComboBox(central);
    PopupModuleBaudRate->setObjectName("PopupModuleBaudRate");
    GroupBox8 = new QGroupBox(central);
    GroupBox8->setObjectName("GroupBox8");
    StaticText32 = new QLabel(central);
    StaticText32->setObjectName("StaticText32");
    StaticText5 = new QLabel(central);
    StaticText5->setObjectName("StaticText5");
    StaticText6 = new QLabel(central);
    StaticText6->setObjectName("StaticText6");
    PopupSerialPort = new QComboBox(central);
    PopupSerialPort->setObjectName("PopupSerialPort");
    PopupComputerBaudRate = new QComboBox(central);
    PopupComputerBaudRate->setObjectName("PopupComputerBaudRate");
    GroupNorthReference = new QGroupBox(central);
    GroupNorthReference->setObjectName("GroupNorthReference");
    RadioMagnetic = new QRadioButton(central);
    RadioMagnetic->setObjectName("RadioMagnetic");
    RadioTrue = new QRadioButton(central);
    RadioTrue->setObjectName("RadioTrue");
    StaticText12 = new QLabel(central);
    StaticText12->setObjectName("StaticText12");
    EditDeclination = new EditField(central);
    EditDeclination->setObjectName("EditDeclination");
    PushConfigurationDefault = new QPushButton(central);
    PushConfigurationDefault->setObjectName("PushConfigurationDefault");
    GroupReadingUnits = new QGroupBox(central);
    GroupReadingUnits->setObjectName("GroupReadingUnits");
    StaticText2 = new QLabel(central);
    StaticText2->setObjectName("StaticText2");
    GroupBox3 = new QGroupBox(central);
    GroupBox3->setObjectName("GroupBox3");
    RadioCompassDegrees = new QRadioButton(central);
    RadioCompassDegrees->setObjectName("RadioCompassDegrees");
    RadioCompassMils = new QRadioButton(central);
    RadioCompassMils->setObjectName("RadioCompassMils");
    GroupBox5 = new QGroupBox(central);
    GroupBox5->setObjectName("GroupBox5");
    RadioTemperatureCelsius = new QRadioButton(central);
    RadioTemperatureCelsius->setObjectName("RadioTemperatureCelsius");
    RadioTemperatureFahrenheit = new QRadioButton(central);
    RadioTemperatureFahrenheit->setObjectName("RadioTemperatureFahrenheit");
    StaticText4 = new QLabel(central);
    StaticText4->setObjectName("StaticText4");
    GroupConfigurationOptions = new QGroupBox(central);
    GroupConfigurationOptions->setObjectName("GroupConfigurationOptions");
    CheckSingleCharacterHalt = new QCheckBox(central);
    CheckSingleCharacterHalt->setObjectName("CheckSingleCharacterHalt");
    GroupDamping = new QGroupBox(central);
    GroupDamping->setObjectName("GroupDamping");
    StaticText10 = new QLabel(central);
    StaticText10->setObjectName("StaticText10");
    PopupDampsize = new QComboBox(central);
    PopupDampsize->setObjectName("PopupDampsize");
    CheckDamping = new QCheckBox(central);
    CheckDamping->setObjectName("CheckDamping");
    GroupBox1 = new QGroupBox(central);
    GroupBox1->setObjectName("GroupBox1");
    PopupAsicPeriod = new QComboBox(central);
    PopupAsicPeriod->setObjectName("PopupAsicPeriod");
    GroupBox2 = new QGroupBox(central);
    GroupBox2->setObjectName("GroupBox2");
    RadioVaroMode = new QRadioButton(central);
    RadioVaroMode->setObjectName("RadioVaroMode");
    RadioRawMode = new QRadioButton(central);
    RadioRawMode->setObjectName("RadioRawMode");
    PushCalibrationClear = new QPushButton(central);
    PushCalibrationClear->setObjectName("PushCalibrationClear");
    PushCalibrationStart = new QPushButton(central);
    PushCalibrationStart->setObjectName("PushCalibrationStart");
    Canvas2 = new Canvas(central);
    Canvas2->setObjectName("Canvas2");
    CanvasUserCalGraph = new Canvas(central);
    CanvasUserCalGraph->setObjectName("CanvasUserCalGraph");
    StaticText41 = new QLabel(central);
    StaticText41->setObjectName("StaticText41");
    StaticText45 = new QLabel(central);
    StaticText45->setObjectName("StaticText45");
    GroupReadings = new QGroupBox(central);
    GroupReadings->setObjectName("GroupReadings");
    PushTestGo = new QPushButton(central);
    PushTestGo->setObjectName("PushTestGo");
    Group3DModel = new QGroupBox(central);
    Group3DModel->setObjectName("Group3DModel");
    CanvasReadingBackground = new Canvas(central);
    CanvasReadingBackground->setObjectName("CanvasReadingBackground");
    CheckContrast = new QCheckBox(central);
    CheckContrast->setObjectName("CheckContrast");
    StaticReadingHeading = new QLabel(central);
    StaticReadingHeading->setObjectName("StaticReadingHeading");
    StaticReadingHeadingValue = new QLabel(central);
    StaticReadingHeadingValue->setObjectName("StaticReadingHeadingValue");
    ListDataLog = new QTreeView(central);
    ListDataLog->setObjectName("ListDataLog");
    ListData = new QTreeWidget(central);
    ListData->setObjectName("ListData");
    PushDataLogExport = new QPushButton(central);
    PushDataLogExport->setObjectName("PushDataLogExport");
    PushDataLogGo = new QPushButton(central);
    PushDataLogGo->setObjectName("PushDataLogGo");
    StaticHeading = new QLabel(central);
    StaticHeading->setObjectName("StaticHeading");
    StaticDataLogHeading = new QLabel(central);
    StaticDataLogHeading->setObjectName("StaticDataLogHeading");
    PushDataLogClear = new QPushButton(central);
    PushDataLogClear->setObjectName("PushDataLogClear");
    CheckDataLogAutoScroll = new QCheckBox(central);
    CheckDataLogAutoScroll->setObjectName("CheckDataLogAutoScroll");
    StaticText8 = new QLabel(central);
    StaticText8->setObjectName("StaticText8");
    ListSystemLog = new QTreeWidget(central);
    ListSystemLog->setObjectName("ListSystemLog");
    PushSystemLogExport = new QPushButton(central);
    PushSystemLogExport->setObjectName("PushSystemLogExport");
    for (int i = 1; i <= 30; ++i) {
        Separator[i] = new QFrame(central);
        Separator[i]->setObjectName(QStringLiteral("Separator%1").arg(i));
    }
    for (int i = 0; i < 15; ++i) {
        UserCalGraphX[i] = new QLabel(QStringLiteral("---"), central);
        UserCalGraphX[i]->setObjectName(QStringLiteral("UserCalGraphX[%1]").arg(i));
    }
    for (int i = 0; i < 8; ++i) {
        UserCalGraphY[i] = new QLabel(QStringLiteral("---"), central);
        UserCalGraphY[i]->setObjectName(QStringLiteral("UserCalGraphY[%1]").arg(i));
    }
    if (mEnv.view3DFactory) mView3D = mEnv.view3DFactory(central);
    View3DHelicopter = mView3D ? mView3D->widget() : new QWidget(central);
    View3DHelicopter->setObjectName("View3DHelicopter");

    TimerSerialControl = new QTimer(this);
    TimerSerialControl->setObjectName("TimerSerialControl");
    TimerSerialActivity = new QTimer(this);
    TimerSerialActivity->setObjectName("TimerSerialActivity");
    TimerEvent = new QTimer(this);
    TimerEvent->setObjectName("TimerEvent");
}
