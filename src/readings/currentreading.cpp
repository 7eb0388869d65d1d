#include "../ui/wdwmain.h"

void WdwMain::UpdateCurrentReading()
{
}

void WdwMain::CanvasReadingBackground_Paint(QPainter& g)
{
}

void WdwMain::StaticReadingHeadingValue_Open()
{
}
