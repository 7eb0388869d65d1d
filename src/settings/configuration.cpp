#include "../ui/wdwmain.h"

void WdwMain::RadioMagnetic_Action()
{
}

void WdwMain::RadioTrue_Action()
{
}

void WdwMain::EditDeclination_LostFocus()
{
}

void WdwMain::PopupModuleBaudRate_Change()
{
}

void WdwMain::RadioCompassDegrees_Action()
{
}

void WdwMain::RadioCompassMils_Action()
{
}

void WdwMain::RadioTemperatureCelsius_Action()
{
}

void WdwMain::RadioTemperatureFahrenheit_Action()
{
}

void WdwMain::CheckSingleCharacterHalt_Action()
{
}

void WdwMain::CheckDamping_Action()
{
}

void WdwMain::PopupDampsize_Change()
{
}

void WdwMain::PopupAsicPeriod_Change()
{
}

void WdwMain::RadioVaroMode_Action()
{
}

void WdwMain::RadioRawMode_Action()
{
}

void WdwMain::PushConfigurationDefault_Action()
{
}

void WdwMain::SelectRadio(QRadioButton* radio)
{
}
