#include "../ui/wdwmain.h"

void WdwMain::WdwMain_Open()
{
}

void WdwMain::WdwMain_Close()
{
}
