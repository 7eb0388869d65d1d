#include <QCheckBox>
#include <QPushButton>

#include "../ui/controls.h"
#include "../ui/wdwmain.h"

// One button for both halves; the flag decides, not the caption: in the Stopping
// state the caption already reads "Start" but a press stops again.
void WdwMain::PushCalibrationStart_Action()
{
    if (!mUserCalibration) {
        PushCalibrationStart->setText(QStringLiteral("Stop"));
        mUserCalibration = true;
        SendData("em=e", true);
        SendData("mpcal=e", true);
        NewSystemLogEvent(QStringLiteral("Started user calibration."));
    } else {
        PushCalibrationStart->setText(QStringLiteral("Start"));
        SendData("h", !CheckSingleCharacterHalt->isChecked());
        NewSystemLogEvent(QStringLiteral("Stopped user calibration."));
    }
}

void WdwMain::PushCalibrationClear_Action()
{
    NewSystemLogEvent(QStringLiteral("Clearing calibration"));
    SendData("cc", true);
    mUserCalDataCount = 0;
    CanvasUserCalGraph->clearBackdropAndRepaint();
}
