#pragma once
// A main window over scripted ports, a fixed clock, a scripted prompter and a scratch
// preferences folder.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <memory>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/controls.h"
#include "ui/wdwmain.h"

struct WindowFixture {
    QTemporaryDir scratch;
    PortList ports;
    FixedClock clock;
    ScriptedPrompter prompter;
    std::unique_ptr<WdwMain> window;

    QString folder() const { return scratch.filePath(QStringLiteral("config")); }
    QString prefsPath() const { return folder() + QStringLiteral("/DravikStudio.pref"); }

    ScriptedPort* addPort(const QString& name)
    {
        return static_cast<ScriptedPort*>(ports.add(std::make_unique<ScriptedPort>(name)));
    }
    template <typename Port>
    Port* addPortOf(std::unique_ptr<Port> port)
    {
        return static_cast<Port*>(ports.add(std::move(port)));
    }
    void writePrefs(const QByteArray& text)
    {
        QDir().mkpath(folder());
        QFile file(prefsPath());
        if (file.open(QIODevice::WriteOnly)) file.write(text);
    }
    QByteArray readPrefs() const
    {
        QFile file(prefsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool prefsExist() const { return QFile::exists(prefsPath()); }

    WdwMain& open()
    {
        WdwMainEnvironment env;
        env.ports = &ports;
        env.prompter = &prompter;
        env.clock = &clock;
        env.preferencesFolder = folder();
        window = std::make_unique<WdwMain>(env);
        // Received bytes stay in the receive buffer: these tests look at the link,
        // not at what the dispatcher makes of the replies.
        window->TimerSerialControl->stop();
        return *window;
    }

    QStringList logEvents() const
    {
        QStringList events;
        for (int i = 0; i < window->ListSystemLog->topLevelItemCount(); ++i)
            events << window->ListSystemLog->topLevelItem(i)->text(1);
        return events;
    }
    int indicator() const { return window->CanvasConnected->backdropCode(); }
};

// The settings every opening must apply.
inline bool isFixedLineSettings(const LineSettings& s, qint32 rate)
{
    return s.baudRate == rate && s.dataBits == 8 && !s.ctsFlowControl && !s.dtrFlowControl &&
           !s.parity && s.stopBits == 1 && s.xonXoff;
}
