#pragma once
// The main window: every control, the serial port, the three timers and the shared
// state. The class is declared here once; its member functions live in the folder of
// the subsystem they belong to (link/, readings/, settings/, ui/, prefs/).
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QVector>
#include <array>
#include <memory>

#include "../link/clock.h"
#include "../link/serialport.h"
#include "../readings/view3d.h"
#include "prompter.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPainter;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimer;
class PaintPacer;
class QTreeView;
class QTreeWidget;
class Canvas;
class EditField;
class DataLogModel;

// What the window is handed at construction: its seams to the outside world.
struct WdwMainEnvironment {
    PortCatalog* ports = nullptr;
    Prompter* prompter = nullptr;
    Clock* clock = nullptr;
    QString preferencesFolder;     // folder that holds "DravikStudio.pref"
    View3DFactory view3DFactory;   // empty: the 3D facility is absent
};

class WdwMain : public QMainWindow {
    Q_OBJECT
public:
    explicit WdwMain(const WdwMainEnvironment& environment, QWidget* parent = nullptr);
    ~WdwMain() override;

    // Quitting is the only way to close the window; App calls this before it quits.
    void allowClose() { mCloseAllowed = true; }

    // Read-only view of the shared state by member name ("mConnected", ...), written
    // as text: booleans true/false, numbers in plain decimal, strings as they are.
    // Returns a null QString for an unknown name.
    QString stateValue(const QString& name) const;
    static QStringList stateNames();

    View3D* view3D() const { return mView3D.get(); }
    DataLogModel* dataLogModel() const { return mDataLogModel; }
    const PaintPacer* paintPacer() const { return mPaintPacer; }

    // ---------------------------------------------------------------- shared state
    qint32 mSerialPort = 0;
    qint32 mBaudRate = 300;
    QByteArray mInputStr;
    qint32 mUserCalDataCount = 0;
    bool mConnected = false;
    bool mStartUp = false;
    bool mSerialPortAvailable = false;
    qint32 mPrevTab = 0;
    bool mSkipThisTabChange = false;
    qint32 mNewTab = 0;
    bool mReadConfiguration = false;
    bool mUserCalibration = false;
    bool mTestGoing = false;
    View3D::Object m3DModel = -1;
    bool mDataLogging = false;
    qint32 mEvent = 0;
    float mHeading = 0;
    float mPitch = 0;
    float mRoll = 0;
    bool mError = false;
    bool mOldError = false;
    bool mSetModuleBaudRate = false;
    QVector<qint32> mComputerBaudRate;
    QMap<qint32, qint32> mListBaudRate;
    bool m3AxisModule = false;
    bool mDataLoggingNow = false;
    View3D::Object mArrowModel = -1;
    bool mReadDravikInfo = false;
    QVector<float> mUserCalDataX;
    QVector<float> mUserCalDataY;
    QString mModuleID;

    // -------------------------------------------------------------------- controls
    // Header strip
    QLabel* StaticText1 = nullptr;
    Canvas* CanvasConnected = nullptr;
    Canvas* Canvas1 = nullptr;
    QPushButton* PushButton1 = nullptr;
    QLabel* StaticDravikInfo = nullptr;
    QLabel* StaticModuleInfo = nullptr;
    QLabel* StaticText3 = nullptr;
    QLabel* StaticText7 = nullptr;
    QTabWidget* TabMain = nullptr;

    // Tab 0, "Connection"
    QGroupBox* GroupModuleBaudRate = nullptr;
    QComboBox* PopupModuleBaudRate = nullptr;
    QGroupBox* GroupBox8 = nullptr;
    QLabel* StaticText32 = nullptr;
    QLabel* StaticText5 = nullptr;
    QLabel* StaticText6 = nullptr;
    QComboBox* PopupSerialPort = nullptr;
    QComboBox* PopupComputerBaudRate = nullptr;

    // Tab 1, "Configuration"
    QGroupBox* GroupNorthReference = nullptr;
    QRadioButton* RadioMagnetic = nullptr;
    QRadioButton* RadioTrue = nullptr;
    QLabel* StaticText12 = nullptr;
    EditField* EditDeclination = nullptr;
    QPushButton* PushConfigurationDefault = nullptr;
    QGroupBox* GroupReadingUnits = nullptr;
    QLabel* StaticText2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QRadioButton* RadioCompassDegrees = nullptr;
    QRadioButton* RadioCompassMils = nullptr;
    QGroupBox* GroupBox5 = nullptr;
    QRadioButton* RadioTemperatureCelsius = nullptr;
    QRadioButton* RadioTemperatureFahrenheit = nullptr;
    QLabel* StaticText4 = nullptr;
    QGroupBox* GroupConfigurationOptions = nullptr;
    QCheckBox* CheckSingleCharacterHalt = nullptr;
    QGroupBox* GroupDamping = nullptr;
    QLabel* StaticText10 = nullptr;
    QComboBox* PopupDampsize = nullptr;
    QCheckBox* CheckDamping = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* PopupAsicPeriod = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QRadioButton* RadioVaroMode = nullptr;
    QRadioButton* RadioRawMode = nullptr;

    // Tab 2, "Calibration"
    QPushButton* PushCalibrationClear = nullptr;
    QPushButton* PushCalibrationStart = nullptr;
    Canvas* Canvas2 = nullptr;
    Canvas* CanvasUserCalGraph = nullptr;
    QLabel* StaticText41 = nullptr;
    QLabel* StaticText45 = nullptr;
    std::array<QFrame*, 31> Separator{};  // Separator[1] .. Separator[30]; [0] unused
    std::array<QLabel*, 15> UserCalGraphX{};
    std::array<QLabel*, 8> UserCalGraphY{};

    // Tab 3, "Test"
    QGroupBox* GroupReadings = nullptr;
    QPushButton* PushTestGo = nullptr;
    QGroupBox* Group3DModel = nullptr;
    QWidget* View3DHelicopter = nullptr;  // the 3D view's widget (mView3D->widget())
    Canvas* CanvasReadingBackground = nullptr;
    QCheckBox* CheckContrast = nullptr;
    QLabel* StaticReadingHeading = nullptr;
    QLabel* StaticReadingHeadingValue = nullptr;

    // Tab 4, "Data Logger"
    QTreeView* ListDataLog = nullptr;
    QTreeWidget* ListData = nullptr;
    QPushButton* PushDataLogExport = nullptr;
    QPushButton* PushDataLogGo = nullptr;
    QLabel* StaticHeading = nullptr;
    QLabel* StaticDataLogHeading = nullptr;
    QPushButton* PushDataLogClear = nullptr;
    QCheckBox* CheckDataLogAutoScroll = nullptr;
    QLabel* StaticText8 = nullptr;

    // Tab 5, "System Log"
    QTreeWidget* ListSystemLog = nullptr;
    QPushButton* PushSystemLogExport = nullptr;

    // Non-visual controls
    SerialPort* SerPort = nullptr;  // the selected port of the catalog, or none
    QTimer* TimerSerialControl = nullptr;
    QTimer* TimerSerialActivity = nullptr;
    QTimer* TimerEvent = nullptr;

    // -------------------------------------------------------------------- handlers
    // link/: shared state, start-up, serial link, wire protocol, dispatcher, timers
    void WdwMain_Open();
    void WdwMain_Close();
    void PopupSerialPort_Open();
    void PopupSerialPort_Change();
    void PopupComputerBaudRate_Change();
    void PushButton1_Action();
    bool OpenSerialPort(qint32 portIndex, qint32 baudRate);
    void TryOpenSerialAndConnect();
    void SendData(const QByteArray& command, bool carriageReturn);
    void SerPort_DataAvailable();
    void SerPort_Lost(const QString& why);
    QByteArray ExtractResponse(QByteArrayView line, QByteArrayView startTag,
                               QByteArrayView endTag) const;
    void TimerSerialControl_Action();
    void SetTimeoutEvent(qint32 event, qint32 milliseconds);
    void TimerEvent_Action();
    void TimerSerialActivity_Action();

    // readings/: system log, current reading, test mode, data logger, export, 3D view
    void NewSystemLogEvent(const QString& text);
    QString TimeStamp() const;
    void ListSystemLog_Open();
    void UpdateCurrentReading();
    void CanvasReadingBackground_Paint(QPainter& g);
    void StaticReadingHeadingValue_Open();
    void PushTestGo_Action();
    void PushDataLogGo_Action();
    void UpdateDataLog(QByteArrayView sentence);
    void UpdateDataLoggerListBox();
    void ListData_Open();
    void ListData_Change();
    bool ListData_HeaderPressed(int column);
    bool ListDataLog_HeaderPressed(int column);
    void PushDataLogClear_Action();
    void PushDataLogExport_Action();
    void PushSystemLogExport_Action();
    void View3DHelicopter_Open();
    void Update3DModel(float heading, float pitch, float roll);
    QByteArray Helicopter();

    // settings/: configuration commands, user calibration, calibration graph
    void RadioMagnetic_Action();
    void RadioTrue_Action();
    void EditDeclination_LostFocus();
    void PopupModuleBaudRate_Change();
    void RadioCompassDegrees_Action();
    void RadioCompassMils_Action();
    void RadioTemperatureCelsius_Action();
    void RadioTemperatureFahrenheit_Action();
    void CheckSingleCharacterHalt_Action();
    void CheckDamping_Action();
    void PopupDampsize_Change();
    void PopupAsicPeriod_Change();
    void RadioVaroMode_Action();
    void RadioRawMode_Action();
    void PushConfigurationDefault_Action();
    // Selects a radio button from code and runs its handler even when it was already
    // selected (Qt emits nothing then, but the dispatcher's sequences rely on it).
    void SelectRadio(QRadioButton* radio);
    void PushCalibrationStart_Action();
    void PushCalibrationClear_Action();
    void CanvasUserCalGraph_Paint(QPainter& g);

    // ui/: layout, tab switching and enabling, indicators and contrast
    void TabMain_Change();
    void ModuleControls(bool enabled);
    void SetCanvasBackdrop(Canvas* canvas, const QPixmap* picture, int code);
    void CanvasConnected_Open();
    void Canvas1_Open();
    void CheckContrast_Action();
    // The window colour behind the group boxes (the pixel at 38, 125). Worked out by
    // drawing the panel, so it is kept until the palette, the style or the window's
    // showing changes it.
    QColor WindowBackgroundColour() const;

    // ui/ layout helpers. The layout measures every control from the top-left corner
    // of the content area, centralWidget() (below the menu bar), whatever its parent.
    QRect contentGeometry(const QWidget* control) const;
    void setContentGeometry(QWidget* control, const QRect& rect);
    // The container of the controls of tab `index` of TabMain; shown only while that
    // tab is selected.
    QWidget* tabPage(int index) const;

    // prefs/
    bool CheckPreferenceFile(bool linkSettings);
    void UpdatePreferenceFile();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();   // ui/wdwmain_layout.cpp
    void BindHandlers();     // ui/wdwmain_bindings.cpp
    void RunOpenHandlers();  // ui/wdwmain_bindings.cpp

    WdwMainEnvironment mEnv;
    PaintPacer* mPaintPacer = nullptr;  // owned by the window
    std::unique_ptr<View3D> mView3D;
    DataLogModel* mDataLogModel = nullptr;
    QByteArray mHelicopterText;  // the model text, read once
    mutable QColor mWindowBackgroundColour;  // invalid until worked out
    bool mCloseAllowed = false;
    bool mClosed = false;

    // ui/ layout: one container per tab of TabMain, over the tab panel.
    std::array<QWidget*, 6> mTabPages{};
};
