#include "../ui/wdwmain.h"

QByteArray WdwMain::ExtractResponse(QByteArrayView line, QByteArrayView startTag, QByteArrayView endTag) const
{
    return {};
}

void WdwMain::TimerSerialControl_Action()
{
}
