// The deferred link event and the end of the traffic indication.
#include <QTimer>

#include "../ui/controls.h"
#include "../ui/wdwmain.h"

void WdwMain::SetTimeoutEvent(qint32 event, qint32 milliseconds)
{
    // One pending event at most: a new one replaces the code and restarts the
    // countdown from its own delay.
    mEvent = event;
    TimerEvent->setSingleShot(true);
    TimerEvent->setInterval(qMax(0, milliseconds));
    TimerEvent->start();
}

void WdwMain::TimerEvent_Action()
{
    TimerEvent->stop();
    if (mEvent == 1) TryOpenSerialAndConnect();
}

void WdwMain::TimerSerialActivity_Action()
{
    TimerSerialActivity->stop();
    if (!mError) SetCanvasBackdrop(CanvasConnected, nullptr, 1);
}
