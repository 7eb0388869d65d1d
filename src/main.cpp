#include <QApplication>
#include <QStandardPaths>

#include "link/systemclock.h"
#include "readings/view3d_qt.h"
#include "ui/qtprompter.h"
#include "ui/wdwmain.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SystemClock clock;
    QtPrompter prompter;
    WdwMainEnvironment env;
    env.clock = &clock;
    env.prompter = &prompter;
    env.view3DFactory = createQt3DView;
    env.preferencesFolder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    WdwMain window(env);
    prompter.setParent(&window);
    window.show();
    return application.exec();
}
