#include "../ui/wdwmain.h"

bool WdwMain::CheckPreferenceFile(bool linkSettings)
{
    return false;
}

void WdwMain::UpdatePreferenceFile()
{
}
