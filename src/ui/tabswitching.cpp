#include "../ui/wdwmain.h"

void WdwMain::TabMain_Change()
{
}

void WdwMain::ModuleControls(bool enabled)
{
}
