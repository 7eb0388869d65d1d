#include "wdwmain.h"

#include <QCloseEvent>
#include <QShowEvent>

#include "paintpacer.h"

namespace {
// Readings may change 200 times a second at the line's full rate; a frame rate the eye
// reads as smooth is plenty for digits, lamps and tables.
constexpr int kFramesPerSecond = 30;
}  // namespace

WdwMain::WdwMain(const WdwMainEnvironment& environment, QWidget* parent)
    : QMainWindow(parent), mEnv(environment)
{
    mPaintPacer = new PaintPacer(this, kFramesPerSecond);
    CreateControls();
    BindHandlers();
    RunOpenHandlers();
    WdwMain_Open();
}

WdwMain::~WdwMain()
{
    // Once this body has run the object is a mere QWidget, yet Qt still hides the window
    // and takes its controls down, and they report it: the declination field loses the
    // focus, for one. None of that may reach a handler of the window that is gone.
    for (QObject* child : findChildren<QObject*>()) disconnect(child, nullptr, this, nullptr);
    if (SerPort) disconnect(SerPort, nullptr, this, nullptr);
}

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

void WdwMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        mWindowBackgroundColour = QColor();
    QMainWindow::changeEvent(event);
}

void WdwMain::showEvent(QShowEvent* event)
{
    // The panel is polished and laid out for the screen now.
    if (!event->spontaneous()) mWindowBackgroundColour = QColor();
    QMainWindow::showEvent(event);
}
