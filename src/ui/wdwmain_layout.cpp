// The main window's layout: every control with its name, text, geometry, font,
// container and initial state. Geometry is given as the layout measures it, from the
// top-left corner of the content area, and converted here to each parent's own
// coordinates, so it comes out exact before the window is ever shown.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include "controls.h"
#include "wdwmain.h"

namespace {
const QStringList kRates = {"300",  "600",   "1200",  "2400", "4800",
                            "9600", "19200", "38400", "57600"};

// Tabs centred along the panel's top edge, as the original platform draws them; left
// aligned, the first tab would run under the logo.
class CentredTabsStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* result) const override
    {
        if (hint == SH_TabBar_Alignment) return Qt::AlignHCenter;
        return QProxyStyle::styleHint(hint, option, widget, result);
    }
};

QFont systemFont(int pixels, bool bold = false)
{
    // Sizes in pixels: the layout's point sizes were meant for a 72 dpi screen.
    QFont font = QApplication::font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The layout was drawn for a narrower system font than many desktops have. A text
// that does not fit its control is condensed, or where the font cannot be condensed,
// set a pixel smaller, until it fits.
// Width a text control needs: the text, and for a check box or radio button its
// indicator and the gap after it.
int neededWidth(QWidget* control)
{
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button) return control->sizeHint().width();
    QStyle* style = button->style();
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    const int indicator = style->pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth
                                                   : QStyle::PM_IndicatorWidth, nullptr, button);
    const int gap = style->pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing
                                             : QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
    return indicator + gap + button->fontMetrics().horizontalAdvance(button->text()) + 1;
}

void fitText(QWidget* control)
{
    QFont font = control->font();
    const int available = control->width();
    int needed = neededWidth(control);
    for (int stretch = 95; needed > available && stretch >= 80; stretch -= 5) {
        font.setStretch(stretch);
        control->setFont(font);
        const int condensed = neededWidth(control);
        if (condensed == needed) break;  // this font engine does not condense
        needed = condensed;
    }
    while (needed > available && font.pixelSize() > 8) {
        font.setPixelSize(font.pixelSize() - 1);
        control->setFont(font);
        needed = neededWidth(control);
    }
}

// Creates a control of type T (constructed from args and its parent), names it and
// places it at rect in content coordinates.
template <typename T, typename... Args>
T* make(WdwMain* window, QWidget* parent, const char* name, QRect rect, Args&&... args)
{
    auto* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromLatin1(name));
    window->setContentGeometry(control, rect);
    return control;
}

QLabel* label(WdwMain* window, QWidget* parent, const char* name, const QString& text, QRect rect,
              Qt::Alignment alignment = Qt::AlignLeft)
{
    auto* control = make<QLabel>(window, parent, name, rect, text);
    control->setAlignment(alignment | Qt::AlignVCenter);
    QPalette palette = control->palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    control->setPalette(palette);
    return control;
}

QComboBox* popup(WdwMain* window, QWidget* parent, const char* name, QRect rect,
                 const QStringList& items, int selected)
{
    auto* control = make<QComboBox>(window, parent, name, rect);
    control->addItems(items);
    control->setCurrentIndex(selected);
    return control;
}

QFrame* separator(WdwMain* window, QWidget* parent, int index, QRect rect)
{
    auto* line = make<QFrame>(window, parent, "", rect);
    line->setObjectName(QStringLiteral("Separator%1").arg(index));
    line->setFrameShape(rect.height() == 1 ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, QColor(176, 176, 176));
    line->setPalette(palette);
    return line;
}
}  // namespace

QRect WdwMain::contentGeometry(const QWidget* control) const
{
    const QWidget* content = centralWidget();
    if (!control || !content) return {};
    if (control == content) return {QPoint(0, 0), control->size()};
    return {control->mapTo(content, QPoint(0, 0)), control->size()};
}

void WdwMain::setContentGeometry(QWidget* control, const QRect& rect)
{
    QWidget* parent = control->parentWidget();
    const QPoint origin = parent && parent != centralWidget()
                              ? parent->mapTo(centralWidget(), QPoint(0, 0))
                              : QPoint(0, 0);
    control->setGeometry(rect.translated(-origin));
}

QWidget* WdwMain::tabPage(int index) const
{
    return index >= 0 && index < int(mTabPages.size()) ? mTabPages[size_t(index)] : nullptr;
}

void WdwMain::CreateControls()
{
    // The window: fixed size content area, no close or zoom button.
    setObjectName(QStringLiteral("WdwMain"));
    setWindowTitle(QStringLiteral("Dravik Studio Version 1.0"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint);
    auto* content = new QWidget(this);
    content->setObjectName(QStringLiteral("WdwMainContent"));
    content->setFixedSize(913, 639);
    content->setFont(systemFont(13));
    setCentralWidget(content);
    // The window is as large as the content area plus the menu bar, and no larger.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    // The tab panel comes first. Each tab's controls live in a container over the
    // panel that is shown only while its tab is selected; the containers are placed
    // by this code, so the controls' positions do not wait for the panel's layout.
    TabMain = make<QTabWidget>(this, content, "TabMain", {19, 89, 874, 528});
    auto* tabStyle = new CentredTabsStyle;
    tabStyle->setParent(TabMain);
    TabMain->setStyle(tabStyle);
    const QStringList captions = {"Connection", "Configuration", "Calibration",
                                  "Test",       "Data Logger",   "System Log"};
    for (int i = 0; i < captions.size(); ++i) {
        TabMain->addTab(new QWidget, captions[i]);
        auto* page = make<QWidget>(this, TabMain, "", {19, 89, 874, 528});
        page->setObjectName(QStringLiteral("TabMainPage%1").arg(i));
        page->setVisible(i == 0);
        mTabPages[size_t(i)] = page;
    }
    TabMain->tabBar()->raise();  // the containers must not cover the tabs
    TabMain->setCurrentIndex(0);
    connect(TabMain, &QTabWidget::currentChanged, this, [this](int index) {
        for (int i = 0; i < int(mTabPages.size()); ++i) mTabPages[size_t(i)]->setVisible(i == index);
    });

    // Header strip.
    StaticText1 = label(this, content, "StaticText1", "Connected", {441, 53, 70, 20});
    CanvasConnected = make<Canvas>(this, content, "CanvasConnected", {515, 55, 22, 22});
    CanvasConnected->setFocusPolicy(Qt::NoFocus);
    Canvas1 = make<Canvas>(this, content, "Canvas1", {20, 14, 95, 84});
    PushButton1 = make<QPushButton>(this, content, "PushButton1", {441, 21, 110, 20}, "Connect");
    StaticDravikInfo = label(this, content, "StaticDravikInfo", " ", {229, 14, 190, 20});
    StaticModuleInfo = label(this, content, "StaticModuleInfo", "", {229, 36, 190, 20});
    StaticText3 = label(this, content, "StaticText3", "Dravik", {131, 14, 80, 20}, Qt::AlignRight);
    StaticText7 = label(this, content, "StaticText7", "Module", {131, 36, 80, 20}, Qt::AlignRight);

    // Tab 0, "Connection".
    QWidget* tab = mTabPages[0];
    GroupModuleBaudRate = make<QGroupBox>(this, tab, "GroupModuleBaudRate", {306, 279, 300, 72}, "Module");
    GroupModuleBaudRate->setEnabled(false);  // until the module answers
    PopupModuleBaudRate = popup(this, GroupModuleBaudRate, "PopupModuleBaudRate", {401, 313, 180, 20}, kRates, 0);
    GroupBox8 = make<QGroupBox>(this, tab, "GroupBox8", {306, 159, 300, 108}, "Computer");
    StaticText32 = label(this, GroupModuleBaudRate, "StaticText32", "Baud Rate", {322, 313, 80, 20});
    StaticText5 = label(this, GroupBox8, "StaticText5", "Serial Port", {322, 193, 80, 20});
    StaticText6 = label(this, GroupBox8, "StaticText6", "Baud Rate", {322, 225, 80, 20});
    PopupSerialPort = popup(this, GroupBox8, "PopupSerialPort", {401, 193, 180, 20}, {}, -1);
    PopupComputerBaudRate = popup(this, GroupBox8, "PopupComputerBaudRate", {401, 225, 180, 20}, kRates, 5);

    // Tab 1, "Configuration".
    tab = mTabPages[1];
    GroupNorthReference = make<QGroupBox>(this, tab, "GroupNorthReference", {136, 152, 200, 100}, "North Reference");
    RadioMagnetic = make<QRadioButton>(this, GroupNorthReference, "RadioMagnetic", {152, 182, 80, 20}, "Magnetic");
    RadioMagnetic->setChecked(true);
    RadioTrue = make<QRadioButton>(this, GroupNorthReference, "RadioTrue", {243, 182, 80, 20}, "True");
    StaticText12 = label(this, GroupNorthReference, "StaticText12", "Declination", {152, 216, 75, 20});
    EditDeclination = make<EditField>(this, GroupNorthReference, "EditDeclination", {244, 215, 80, 22});
    EditDeclination->setFrame(true);
    EditDeclination->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PushConfigurationDefault =
        make<QPushButton>(this, tab, "PushConfigurationDefault", {798, 579, 69, 20}, "Default");
    GroupReadingUnits = make<QGroupBox>(this, tab, "GroupReadingUnits", {478, 149, 320, 175}, "Reading Units");
    StaticText2 = label(this, GroupReadingUnits, "StaticText2", "Compass", {494, 187, 80, 20});
    // GroupBox3 and GroupBox5 only pair the unit radio buttons; they belong to the
    // tab, not to GroupReadingUnits, so disabling that group leaves them usable.
    GroupBox3 = make<QGroupBox>(this, tab, "GroupBox3", {585, 177, 200, 40}, "");
    RadioCompassDegrees = make<QRadioButton>(this, GroupBox3, "RadioCompassDegrees", {591, 187, 80, 20}, "Degrees");
    RadioCompassDegrees->setChecked(true);
    RadioCompassMils = make<QRadioButton>(this, GroupBox3, "RadioCompassMils", {683, 187, 80, 20}, "Mils");
    GroupBox5 = make<QGroupBox>(this, tab, "GroupBox5", {585, 230, 200, 40}, "");
    RadioTemperatureCelsius =
        make<QRadioButton>(this, GroupBox5, "RadioTemperatureCelsius", {591, 239, 80, 20}, "Celsius");
    RadioTemperatureCelsius->setChecked(true);
    RadioTemperatureFahrenheit =
        make<QRadioButton>(this, GroupBox5, "RadioTemperatureFahrenheit", {683, 239, 90, 20}, "Fahrenheit");
    StaticText4 = label(this, GroupReadingUnits, "StaticText4", "Temperature", {494, 238, 80, 20});
    GroupConfigurationOptions = make<QGroupBox>(this, tab, "GroupConfigurationOptions", {136, 259, 200, 65}, "Options");
    CheckSingleCharacterHalt = make<QCheckBox>(this, GroupConfigurationOptions, "CheckSingleCharacterHalt",
                                               {152, 289, 160, 20}, "Single character halt");
    GroupDamping = make<QGroupBox>(this, tab, "GroupDamping", {136, 336, 200, 100}, "Damping");
    StaticText10 = label(this, GroupDamping, "StaticText10", "Damp Size", {152, 397, 80, 20});
    QStringList sizes;
    for (int i = 1; i <= 20; ++i) sizes << QString::number(i);
    PopupDampsize = popup(this, GroupDamping, "PopupDampsize", {232, 398, 60, 20}, sizes, 0);
    CheckDamping = make<QCheckBox>(this, GroupDamping, "CheckDamping", {152, 365, 80, 20}, "Enabled");
    GroupBox1 = make<QGroupBox>(this, tab, "GroupBox1", {136, 448, 200, 65}, "ASIC Period Select");
    PopupAsicPeriod = popup(this, GroupBox1, "PopupAsicPeriod", {152, 478, 160, 20},
                            {"/32", "/64", "/128", "/256", "/512", "/1024", "/2048", "/4096"}, 0);
    GroupBox2 = make<QGroupBox>(this, tab, "GroupBox2", {136, 525, 200, 62}, "Output Mode");
    RadioVaroMode = make<QRadioButton>(this, GroupBox2, "RadioVaroMode", {152, 555, 80, 20}, "Varo Mode");
    RadioRawMode = make<QRadioButton>(this, GroupBox2, "RadioRawMode", {244, 555, 90, 20}, "Raw Mode");

    // Tab 2, "Calibration".
    tab = mTabPages[2];
    PushCalibrationClear = make<QPushButton>(this, tab, "PushCalibrationClear", {114, 127, 69, 20}, "Clear");
    PushCalibrationStart = make<QPushButton>(this, tab, "PushCalibrationStart", {33, 127, 69, 20}, "Start");
    Canvas2 = make<Canvas>(this, tab, "Canvas2", {347, 141, 449, 449});
    // The grid: 14 x 14 cells of 32 pixels, one-pixel lines. The graph canvas lies
    // above the lines in Canvas2 and paints without erasing, so they show through.
    const int horizontal[] = {27, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 28};
    for (int row = 0; row < 14; ++row) {
        const int left = row == 13 ? 347 : 348;  // the layout's own irregularity
        Separator[size_t(horizontal[row])] =
            separator(this, Canvas2, horizontal[row], {left, 141 + 32 * row, 448, 1});
    }
    const int vertical[] = {25, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 26};
    for (int column = 0; column < 14; ++column) {
        const int top = column == 1 ? 142 : 141;
        Separator[size_t(vertical[column])] =
            separator(this, Canvas2, vertical[column], {347 + 32 * column, top, 1, 448});
    }
    CanvasUserCalGraph = make<Canvas>(this, Canvas2, "CanvasUserCalGraph", {347, 141, 449, 449});
    Separator[30] = separator(this, CanvasUserCalGraph, 30, {347, 589, 448, 1});
    Separator[29] = separator(this, CanvasUserCalGraph, 29, {795, 142, 1, 448});
    // The axis captions name the data each label row shows: Y values run up the
    // column on the left, X values along the row under the graph.
    StaticText41 = label(this, tab, "StaticText41", "Y", {252, 127, 23, 20}, Qt::AlignRight);
    StaticText41->setFont(QApplication::font());
    StaticText45 = label(this, tab, "StaticText45", "X", {859, 590, 20, 20});
    StaticText45->setFont(QApplication::font());
    for (int i = 0; i < int(UserCalGraphX.size()); ++i) {
        auto* axis = label(this, tab, "", "---", {279, 578 - 32 * i, 56, i <= 4 ? 11 : 13}, Qt::AlignRight);
        axis->setObjectName(QStringLiteral("UserCalGraphX[%1]").arg(i));
        axis->setFont(systemFont(10));
        UserCalGraphX[size_t(i)] = axis;
    }
    for (int i = 0; i < int(UserCalGraphY.size()); ++i) {
        auto* axis = label(this, tab, "", "---", {347 + 64 * i, 599, 56, 11});
        axis->setObjectName(QStringLiteral("UserCalGraphY[%1]").arg(i));
        axis->setFont(systemFont(10));
        UserCalGraphY[size_t(i)] = axis;
    }

    // Tab 3, "Test".
    tab = mTabPages[3];
    GroupReadings = make<QGroupBox>(this, tab, "GroupReadings", {38, 125, 410, 300}, "Current Reading");
    PushTestGo = make<QPushButton>(this, GroupReadings, "PushTestGo", {209, 388, 69, 20}, "Go");
    Group3DModel = make<QGroupBox>(this, tab, "Group3DModel", {464, 124, 410, 460}, "3D Model");
    if (mEnv.view3DFactory) mView3D = mEnv.view3DFactory(Group3DModel);
    View3DHelicopter = mView3D ? mView3D->widget() : new QWidget(Group3DModel);
    View3DHelicopter->setParent(Group3DModel);
    View3DHelicopter->setObjectName(QStringLiteral("View3DHelicopter"));
    setContentGeometry(View3DHelicopter, {480, 158, 378, 414});
    CanvasReadingBackground = make<Canvas>(this, tab, "CanvasReadingBackground", {54, 155, 378, 221});
    CheckContrast = make<QCheckBox>(this, GroupReadings, "CheckContrast", {54, 388, 80, 20}, "Contrast");
    StaticReadingHeading = label(this, CanvasReadingBackground, "StaticReadingHeading", "Heading",
                                 {193, 169, 100, 28}, Qt::AlignHCenter);
    StaticReadingHeading->setFont(systemFont(24, true));
    StaticReadingHeadingValue = label(this, CanvasReadingBackground, "StaticReadingHeadingValue", "000.0",
                                      {123, 201, 240, 80}, Qt::AlignHCenter);
    StaticReadingHeadingValue->setFont(systemFont(80, true));

    // Tab 4, "Data Logger". The data logger sets the model and so the columns.
    tab = mTabPages[4];
    ListDataLog = make<QTreeView>(this, tab, "ListDataLog", {159, 150, 720, 420});
    ListDataLog->setRootIsDecorated(false);
    ListDataLog->setItemsExpandable(false);
    ListDataLog->setUniformRowHeights(true);
    ListDataLog->setSelectionMode(QAbstractItemView::SingleSelection);
    ListDataLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListDataLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListDataLog->setAttribute(Qt::WA_MacShowFocusRect, false);
    ListDataLog->header()->setSectionResizeMode(QHeaderView::Fixed);
    ListDataLog->header()->setSectionsClickable(true);  // heading clicks reach the logger
    ListData = make<QTreeWidget>(this, tab, "ListData", {31, 150, 120, 420});
    ListData->setColumnCount(1);
    ListData->setRootIsDecorated(false);
    ListData->setSelectionMode(QAbstractItemView::MultiSelection);
    ListData->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListData->setAttribute(Qt::WA_MacShowFocusRect, false);
    ListData->header()->setSectionsClickable(true);
    PushDataLogExport = make<QPushButton>(this, tab, "PushDataLogExport", {811, 582, 69, 20}, "Export");
    PushDataLogGo = make<QPushButton>(this, tab, "PushDataLogGo", {721, 582, 69, 20}, "Go");
    StaticHeading = label(this, tab, "StaticHeading", "Heading", {159, 582, 55, 20});
    StaticDataLogHeading = label(this, tab, "StaticDataLogHeading", "000.00", {214, 582, 50, 20}, Qt::AlignRight);
    PushDataLogClear = make<QPushButton>(this, tab, "PushDataLogClear", {631, 582, 69, 20}, "Clear");
    CheckDataLogAutoScroll =
        make<QCheckBox>(this, tab, "CheckDataLogAutoScroll", {517, 582, 100, 20}, "Auto Scroll");
    StaticText8 = label(this, tab, "StaticText8", "* Ticks is 1/60th of a second", {159, 133, 300, 20});
    StaticText8->setFont(systemFont(10));

    // Tab 5, "System Log". Rows keep the order they were added in until the user
    // clicks a heading; from then on the list sorts as the toolkit's lists do.
    tab = mTabPages[5];
    ListSystemLog = make<QTreeWidget>(this, tab, "ListSystemLog", {36, 125, 843, 445});
    ListSystemLog->setColumnCount(2);
    ListSystemLog->setRootIsDecorated(false);
    ListSystemLog->setUniformRowHeights(true);
    ListSystemLog->setSelectionMode(QAbstractItemView::SingleSelection);
    ListSystemLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ListSystemLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ListSystemLog->header()->setSectionsClickable(true);
    connect(ListSystemLog->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (ListSystemLog->isSortingEnabled()) return;  // the view sorts by itself now
        ListSystemLog->header()->setSortIndicator(column, Qt::AscendingOrder);
        ListSystemLog->setSortingEnabled(true);
    });
    PushSystemLogExport = make<QPushButton>(this, tab, "PushSystemLogExport", {811, 582, 69, 20}, "Export");

    for (QLabel* text : content->findChildren<QLabel*>()) fitText(text);
    for (QAbstractButton* box : content->findChildren<QAbstractButton*>())
        if (!qobject_cast<QPushButton*>(box)) fitText(box);

    // Non-visual controls. BindHandlers starts the dispatcher's timer.
    TimerSerialControl = new QTimer(this);
    TimerSerialControl->setObjectName(QStringLiteral("TimerSerialControl"));
    TimerSerialControl->setSingleShot(false);
    TimerSerialControl->setInterval(10);
    TimerSerialActivity = new QTimer(this);
    TimerSerialActivity->setObjectName(QStringLiteral("TimerSerialActivity"));
    TimerSerialActivity->setSingleShot(true);
    TimerSerialActivity->setInterval(100);
    TimerEvent = new QTimer(this);
    TimerEvent->setObjectName(QStringLiteral("TimerEvent"));
    TimerEvent->setSingleShot(true);
    TimerEvent->setInterval(1000);
}
