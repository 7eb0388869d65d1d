#include <QStandardPaths>

#include "link/portlist.h"
#include "link/qtserialport.h"
#include "link/systemclock.h"
#include "ui/app.h"
#include "ui/qtprompter.h"
#include "ui/wdwmain.h"

namespace {
// The serial-port list the application offers, in this order: the system's ports,
// then anything the application adds of its own.
void composePortList(PortList& ports)
{
    addSystemSerialPorts(ports);
}
}  // namespace

int main(int argc, char** argv)
{
    App app(argc, argv);
    SystemClock clock;
    QtPrompter prompter;
    PortList ports;
    composePortList(ports);

    WdwMainEnvironment env;
    env.ports = &ports;
    env.clock = &clock;
    env.prompter = &prompter;
    env.preferencesFolder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);

    // Destroyed before the environment it uses.
    std::unique_ptr<WdwMain> window = app.createMainWindow(env);
    prompter.setParent(window.get());
    window->show();
    const int status = app.exec();
    window.reset();
    return status;
}
