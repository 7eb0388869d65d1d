#include "../ui/wdwmain.h"

void WdwMain::PushDataLogExport_Action()
{
}

void WdwMain::PushSystemLogExport_Action()
{
}
