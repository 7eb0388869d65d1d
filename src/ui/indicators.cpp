#include "../ui/wdwmain.h"

void WdwMain::SetCanvasBackdrop(Canvas* canvas, const QPixmap* picture, int code)
{
}

void WdwMain::CanvasConnected_Open()
{
}

void WdwMain::Canvas1_Open()
{
}

void WdwMain::CheckContrast_Action()
{
}

QColor WdwMain::WindowBackgroundColour() const
{
    return {};
}
