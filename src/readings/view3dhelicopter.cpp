#include "../ui/wdwmain.h"

void WdwMain::View3DHelicopter_Open()
{
}

void WdwMain::Update3DModel(float heading, float pitch, float roll)
{
}

QByteArray WdwMain::Helicopter()
{
    return {};
}
