#include "../ui/wdwmain.h"

void WdwMain::NewSystemLogEvent(const QString& text)
{
}

QString WdwMain::TimeStamp() const
{
    return {};
}

void WdwMain::ListSystemLog_Open()
{
}
