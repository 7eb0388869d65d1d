#include "../ui/wdwmain.h"

void WdwMain::PushDataLogGo_Action()
{
}

void WdwMain::UpdateDataLog(QByteArrayView sentence)
{
}

void WdwMain::UpdateDataLoggerListBox()
{
}

void WdwMain::ListData_Open()
{
}

void WdwMain::ListData_Change()
{
}

bool WdwMain::ListData_HeaderPressed(int column)
{
    return false;
}

bool WdwMain::ListDataLog_HeaderPressed(int column)
{
    return false;
}

void WdwMain::PushDataLogClear_Action()
{
}
