#pragma once
// The built-in simulated Zuno module, offered as one more serial port.
#include <memory>

#include "link/serialport.h"

// The port list entry's name.
inline constexpr const char* kSimulatedModulePortName = "Simulated module";

std::unique_ptr<SerialPort> createSimulatedModulePort(QObject* parent = nullptr);
