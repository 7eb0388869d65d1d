#pragma once
// A real main window wired to test doubles: one scripted port, a scripted prompter, a
// fixed clock, a scratch preferences folder and a 3D view that records instead of
// rendering. connect() puts the window where it is after the module answered and its
// configuration was read, without replaying that conversation.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

#include "fixedclock.h"
#include "link/portlist.h"
#include "readings/view3d_recording.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/wdwmain.h"

// A scripted port that also notes how many system log entries existed at each write,
// so a test can tell whether a command went out before or after its log line.
class WatchedPort : public ScriptedPort {
public:
    using ScriptedPort::ScriptedPort;
    bool write(const QByteArray& bytes) override
    {
        if (log) logRowsAtWrite.append(log->topLevelItemCount());
        return ScriptedPort::write(bytes);
    }
    QTreeWidget* log = nullptr;
    QList<int> logRowsAtWrite;
};

class WindowFixture {
public:
    WindowFixture()
    {
        port = static_cast<WatchedPort*>(ports.add(std::make_unique<WatchedPort>("ttyTEST")));
        WdwMainEnvironment env;
        env.ports = &ports;
        env.prompter = &prompter;
        env.clock = &clock;
        env.preferencesFolder = prefsFolder.path();
        env.view3DFactory = [this](QWidget* parent) {
            auto view = std::make_unique<RecordingView3D>(parent);
            view3D = view.get();
            return view;
        };
        window = std::make_unique<WdwMain>(env);
        port->log = window->ListSystemLog;
    }
    ~WindowFixture()
    {
        if (window) window->allowClose();
    }

    // Connected, module controls enabled, configuration read finished, module rate
    // known; nothing written and no log entry left unread.
    void connect()
    {
        WdwMain& w = *window;
        w.mSerialPort = 0;
        w.SerPort = port;
        LineSettings settings;
        settings.baudRate = w.mBaudRate;
        port->open(settings);
        w.mSerialPortAvailable = true;
        w.mConnected = true;
        w.ModuleControls(true);
        w.mSetModuleBaudRate = true;
        w.mReadConfiguration = false;
        settle();
    }

    // Forgets what was written and logged so far.
    void settle()
    {
        port->takeWritten();
        port->logRowsAtWrite.clear();
        mLogSeen = window->ListSystemLog->topLevelItemCount();
    }

    // Event texts of the log entries added since the last settle().
    QStringList newLog() const
    {
        QStringList texts;
        QTreeWidget* log = window->ListSystemLog;
        for (int i = mLogSeen; i < log->topLevelItemCount(); ++i)
            texts << log->topLevelItem(i)->text(1);
        return texts;
    }

    QTemporaryDir prefsFolder;
    PortList ports;
    WatchedPort* port = nullptr;
    ScriptedPrompter prompter;
    FixedClock clock;
    RecordingView3D* view3D = nullptr;
    std::unique_ptr<WdwMain> window;

private:
    int mLogSeen = 0;
};
