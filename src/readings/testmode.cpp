#include "../ui/wdwmain.h"

void WdwMain::PushTestGo_Action()
{
}
