#include <QApplication>
#include <QStandardPaths>

#include "link/qtserialport.h"
#include "link/systemclock.h"
#include "sim/simulatedport.h"
#include "ui/qtprompter.h"
#include "ui/wdwmain.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SystemClock clock;
    QtPrompter prompter;
    // The system's ports, then the simulated module as one more entry.
    PortList ports;
    addSystemSerialPorts(ports);
    if (auto simulated = createSimulatedModulePort()) ports.add(std::move(simulated));
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
