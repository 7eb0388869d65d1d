#include "simulatedport.h"

std::unique_ptr<SerialPort> createSimulatedModulePort(QObject*)
{
    return nullptr;  // the simulated module is being built
}
