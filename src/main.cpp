#include <QApplication>
#include <QStandardPaths>

#include "link/portlist.h"
#include "link/qtserialport.h"
#include "link/systemclock.h"
#include "sim/simulatedport.h"
#include "ui/qtprompter.h"
#include "ui/wdwmain.h"

// The serial-port list: the system's ports, then the built-in simulated module, so a
// machine without hardware still has a module to talk to.
static void composePortList(PortList& ports)
{
    addSystemSerialPorts(ports);
    ports.add(createSimulatedModulePort());
}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SystemClock clock;
    QtPrompter prompter;
    PortList ports;
    composePortList(ports);
    WdwMainEnvironment env;
    env.ports = &ports;
    env.clock = &clock;
    env.prompter = &prompter;
    env.preferencesFolder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    WdwMain window(env);
    prompter.setParent(&window);
    window.show();
    return application.exec();
}
