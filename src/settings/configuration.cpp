// The configuration tab: every setting control sends one command and logs one line.
// While the configuration read fills these controls from the module's replies, the
// handlers stay silent (mReadConfiguration), so the module is not told what it just
// reported.
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>

#include "../ui/controls.h"
#include "../ui/wdwmain.h"

namespace {
using Handler = void (WdwMain::*)();

// One setting: the command first, then its log line.
void sendSetting(WdwMain& window, const QByteArray& command, const QString& logLine)
{
    window.SendData(command, true);
    window.NewSystemLogEvent(logLine);
}

// The handler bound to a radio button's selection, or none for a button that has none.
Handler radioHandler(const WdwMain& w, const QRadioButton* radio)
{
    const std::pair<const QRadioButton*, Handler> table[] = {
        {w.RadioMagnetic, &WdwMain::RadioMagnetic_Action},
        {w.RadioTrue, &WdwMain::RadioTrue_Action},
        {w.RadioCompassDegrees, &WdwMain::RadioCompassDegrees_Action},
        {w.RadioCompassMils, &WdwMain::RadioCompassMils_Action},
        {w.RadioTemperatureCelsius, &WdwMain::RadioTemperatureCelsius_Action},
        {w.RadioTemperatureFahrenheit, &WdwMain::RadioTemperatureFahrenheit_Action},
        {w.RadioVaroMode, &WdwMain::RadioVaroMode_Action},
        {w.RadioRawMode, &WdwMain::RadioRawMode_Action},
    };
    for (const auto& [button, handler] : table)
        if (button == radio) return handler;
    return nullptr;
}

// Default sets each control from code and relies on its handler to tell the module.
// A control that already shows its default raises no notification, so its handler is
// run explicitly: the module ends with the defaults whatever the window showed, and
// every default goes out exactly once.
void setDefault(WdwMain& w, QRadioButton* radio) { w.SelectRadio(radio); }

void setDefault(WdwMain& w, QCheckBox* box, bool checked, Handler handler)
{
    if (box->isChecked() == checked)
        (w.*handler)();
    else
        box->setChecked(checked);
}

void setDefault(WdwMain& w, QComboBox* popup, int row, Handler handler)
{
    if (popup->currentIndex() == row)
        (w.*handler)();
    else
        popup->setCurrentIndex(row);
}
}  // namespace

void WdwMain::RadioMagnetic_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "sn=m", QStringLiteral("Change north reference to magnetic north."));
}

void WdwMain::RadioTrue_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "sn=t", QStringLiteral("Change north reference to true north."));
}

void WdwMain::EditDeclination_LostFocus()
{
    if (mReadConfiguration) return;
    // Sent as typed, unchecked: the module's reply is the check. A pasted line break
    // would end the command early and turn the rest into a second command, so carriage
    // returns and line feeds are dropped.
    QString declination = EditDeclination->text();
    declination.remove(QLatin1Char('\r'));
    declination.remove(QLatin1Char('\n'));
    sendSetting(*this, "mag_dec=" + declination.toUtf8(),
                QStringLiteral("Change declination angle to ") + declination +
                    QStringLiteral(" degrees."));
}

void WdwMain::PopupModuleBaudRate_Change()
{
    // Silent until the module's own rate has been read into the list.
    if (!mSetModuleBaudRate) return;
    const int row = PopupModuleBaudRate->currentIndex();
    if (row < 0) return;
    // The module switches at once; the link is reopened a second later at the
    // computer's rate, which this does not change.
    mConnected = false;
    SendData("b=" + QByteArray::number(row), true);
    SetTimeoutEvent(1, 1000);
}

void WdwMain::RadioCompassDegrees_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "uc=d", QStringLiteral("Change heading units to degress."));
}

void WdwMain::RadioCompassMils_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "uc=m", QStringLiteral("Change heading units to mils."));
}

void WdwMain::RadioTemperatureCelsius_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "ut=c", QStringLiteral("Change temperature units to celsius."));
}

void WdwMain::RadioTemperatureFahrenheit_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "ut=f", QStringLiteral("Change temperature units to fahrenheit."));
}

void WdwMain::CheckSingleCharacterHalt_Action()
{
    if (mReadConfiguration) return;
    if (CheckSingleCharacterHalt->isChecked())
        sendSetting(*this, "halt=e", QStringLiteral("Enabled single character halt."));
    else
        sendSetting(*this, "halt=d", QStringLiteral("Disabled single character halt."));
}

void WdwMain::CheckDamping_Action()
{
    // Module "20" has no damping setting.
    if (mReadConfiguration || mModuleID == QLatin1String("20")) return;
    if (CheckDamping->isChecked())
        sendSetting(*this, "damping=e", QStringLiteral("Enable damping."));
    else
        sendSetting(*this, "damping=d", QStringLiteral("Disable damping."));
}

void WdwMain::PopupDampsize_Change()
{
    if (mReadConfiguration || PopupDampsize->currentIndex() < 0) return;
    // The module takes the sample count, which is the row's text.
    const QString size = PopupDampsize->currentText();
    sendSetting(*this, "dampsize=" + size.toUtf8(),
                QStringLiteral("Change damping size to ") + size + QStringLiteral(" samples."));
}

void WdwMain::PopupAsicPeriod_Change()
{
    const int row = PopupAsicPeriod->currentIndex();
    if (mReadConfiguration || row < 0) return;
    // The module takes the row index; the log names the divider shown.
    sendSetting(*this, "ps=" + QByteArray::number(row),
                QStringLiteral("Change ASIC period to ") + PopupAsicPeriod->currentText() +
                    QStringLiteral("."));
}

void WdwMain::RadioVaroMode_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "sdo=t", QStringLiteral("Change output mode to Varo mode."));
}

void WdwMain::RadioRawMode_Action()
{
    if (mReadConfiguration) return;
    sendSetting(*this, "sdo=r", QStringLiteral("Change output mode to raw mode."));
}

void WdwMain::PushConfigurationDefault_Action()
{
    NewSystemLogEvent(QStringLiteral("Set module configuration to default"));
    // Also ends a configuration read still under way: its late replies must not
    // overwrite the defaults.
    mReadConfiguration = false;

    // The declination goes out through its lost-focus handler. The focus really moves
    // through the field, but the toolkit delivers focus events only while the window
    // is active, so the handler is run here, exactly once, rather than left to them.
    {
        const QSignalBlocker quiet(EditDeclination);
        EditDeclination->setFocus(Qt::OtherFocusReason);
        EditDeclination->setText(QStringLiteral("0.0"));
        if (QWidget* focused = focusWidget()) focused->clearFocus();
    }
    EditDeclination_LostFocus();

    setDefault(*this, RadioMagnetic);
    // Clearing a radio button sends nothing.
    RadioTrue->setChecked(!RadioMagnetic->isChecked());
    setDefault(*this, RadioCompassDegrees);
    setDefault(*this, RadioTemperatureCelsius);
    setDefault(*this, CheckSingleCharacterHalt, false, &WdwMain::CheckSingleCharacterHalt_Action);
    setDefault(*this, CheckDamping, false, &WdwMain::CheckDamping_Action);
    setDefault(*this, PopupDampsize, 1, &WdwMain::PopupDampsize_Change);
    setDefault(*this, PopupAsicPeriod, 4, &WdwMain::PopupAsicPeriod_Change);
    // The output mode and the module's line rate are not part of the defaults.
}

void WdwMain::SelectRadio(QRadioButton* radio)
{
    if (!radio) return;
    if (!radio->isChecked()) {
        radio->setChecked(true);  // its selection runs the handler
        return;
    }
    // Already selected: Qt raises nothing, but the caller still wants the command.
    if (const Handler handler = radioHandler(*this, radio)) (this->*handler)();
}
