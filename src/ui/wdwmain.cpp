#include "wdwmain.h"

#include <QCloseEvent>

WdwMain::WdwMain(const WdwMainEnvironment& environment, QWidget* parent)
    : QMainWindow(parent), mEnv(environment)
{
    CreateControls();
    BindHandlers();
    RunOpenHandlers();
    WdwMain_Open();
}

WdwMain::~WdwMain() = default;

void WdwMain::closeEvent(QCloseEvent* event)
{
    // The window has no close button of its own: only quitting closes it.
    if (!mCloseAllowed) {
        event->ignore();
        return;
    }
    if (!mClosed) {
        mClosed = true;
        WdwMain_Close();
    }
    event->accept();
}
