#include "../ui/wdwmain.h"

void WdwMain::SetTimeoutEvent(qint32 event, qint32 milliseconds)
{
}

void WdwMain::TimerEvent_Action()
{
}

void WdwMain::TimerSerialActivity_Action()
{
}
