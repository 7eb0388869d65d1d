#include <QStandardPaths>

#include "link/portlist.h"
#include "link/qtserialport.h"
#include "link/systemclock.h"
#include "readings/view3d_qt.h"
#include "sim/simulatedport.h"
#include "ui/app.h"
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
    App app(argc, argv);
    SystemClock clock;
    QtPrompter prompter;
    PortList ports;
    composePortList(ports);
    WdwMainEnvironment env;
    env.ports = &ports;
    env.clock = &clock;
    env.prompter = &prompter;
    env.view3DFactory = createQt3DView;
    env.preferencesFolder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);

    // Destroyed before the environment it uses.
    std::unique_ptr<WdwMain> window = app.createMainWindow(env);
    prompter.setParent(window.get());
    window->show();
    const int status = app.exec();
    window.reset();
    return status;
}
