#include "../ui/wdwmain.h"

void WdwMain::PushCalibrationStart_Action()
{
}

void WdwMain::PushCalibrationClear_Action()
{
}
