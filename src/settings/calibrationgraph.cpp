#include "../ui/wdwmain.h"

void WdwMain::CanvasUserCalGraph_Paint(QPainter& g)
{
}
