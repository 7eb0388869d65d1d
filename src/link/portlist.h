#pragma once
// A port catalog made of ports handed to it, in the order they were added. The
// application composes the system's ports and the simulated module this way; tests
// compose scripted ports.
#include <memory>
#include <vector>

#include "serialport.h"

class PortList : public PortCatalog {
public:
    SerialPort* add(std::unique_ptr<SerialPort> port)
    {
        mPorts.push_back(std::move(port));
        return mPorts.back().get();
    }
    QStringList portNames() const override
    {
        QStringList names;
        for (const auto& p : mPorts) names << p->name();
        return names;
    }
    SerialPort* port(int index) override
    {
        return index >= 0 && index < int(mPorts.size()) ? mPorts[size_t(index)].get() : nullptr;
    }
    int size() const { return int(mPorts.size()); }

private:
    std::vector<std::unique_ptr<SerialPort>> mPorts;
};
