#include <QCheckBox>
#include <QPushButton>

#include "../ui/wdwmain.h"

// Only starts and stops; the steps up to "go" follow the module's replies in the
// dispatcher, one per acknowledgement.
void WdwMain::PushTestGo_Action()
{
    const bool singleCharacterHalt = CheckSingleCharacterHalt->isChecked();
    if (!mTestGoing) {
        PushTestGo->setText(QStringLiteral("Stop"));
        mTestGoing = true;
        SendData("h", !singleCharacterHalt);
        SendData("", true);  // completes a halt sent as a single byte
        SendData("ec=e", true);
        NewSystemLogEvent(QStringLiteral("Started test mode."));
    } else {
        PushTestGo->setText(QStringLiteral("Go"));
        mTestGoing = false;
        SendData("h", !singleCharacterHalt);
        NewSystemLogEvent(QStringLiteral("Stopped test mode."));
    }
}
