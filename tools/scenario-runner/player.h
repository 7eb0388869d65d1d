#pragma once
// Plays one parsed scenario against the real main window, with scripted ports, a
// scripted prompter, a fixed clock and a scratch folder of its own.
#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "fixedclock.h"
#include "recordingport.h"
#include "scenarioparser.h"
#include "scriptedport.h"
#include "scriptedprompter.h"

class PortList;
class QAbstractItemModel;
class QWidget;
class WdwMain;

// The system log's entries in the order they were added, whatever order the list
// shows them in (the user may sort it by a heading).
class SystemLogReader : public QObject {
    Q_OBJECT
public:
    void attach(QAbstractItemModel* model);
    int count() const { return int(mRows.size()); }
    QString stamp(int entry) const { return cell(entry, 0); }
    QString text(int entry) const { return cell(entry, 1); }

private:
    QString cell(int entry, int column) const;
    QList<QPersistentModelIndex> mRows;
    QMetaObject::Connection mConnection;
};

struct Outcome {
    bool passed = true;
    int line = 0;
    QString message;  // "expected ..., saw ..."
};

class Player {
public:
    Player();
    ~Player();
    Outcome play(const scenario::Script& script);
    // Told the line of each step before it runs (the runner reports where a crash hit).
    std::function<void(int line)> onStep;

    // How long an expectation is polled, and a module step waits for the dispatcher.
    static constexpr int kPatienceMs = 2000;

private:
    using Failure = std::optional<QString>;
    enum class Verdict { Holds, NotYet, Never };
    struct Check {
        Verdict verdict;
        QString failure;
    };
    static Check holds() { return {Verdict::Holds, {}}; }
    static Check notYet(const QString& failure) { return {Verdict::NotYet, failure}; }
    static Check never(const QString& failure) { return {Verdict::Never, failure}; }

    Failure run(const scenario::Step& step);
    Failure runSetup(const scenario::Step& step);
    Failure runAction(const scenario::Step& step);
    Failure runExpectation(const scenario::Step& step);
    Check check(const scenario::Step& step);

    // Running the application
    Failure start(int line);
    Failure quit();
    void tearDown();
    Failure unpreparedDialog() const;
    void pump(int ms);
    Failure poll(const std::function<Check()>& condition);

    // Finding controls and windows
    QWidget* findWindow(const QString& name) const;
    QWidget* findControl(const scenario::Target& target, QString& problem) const;
    Failure reachable(QWidget* control, const scenario::Target& target) const;
    std::optional<QString> property(QWidget* control, const QString& name, QString& problem) const;
    QWidget* contentOf(QWidget* window) const;

    // Actions on controls
    Failure click(const scenario::Step& step);
    Failure select(const scenario::Step& step);
    Failure selectRows(QWidget* control, const scenario::Step& step, const QList<qint64>& rows);
    Failure type(const scenario::Step& step);
    Failure leave(const scenario::Step& step);
    Failure menu(const scenario::Step& step);
    Failure module(const scenario::Step& step);
    Failure quiet(const scenario::Step& step);
    Failure pullOrPlug(const scenario::Step& step);

    QString scratchPath(const QByteArray& path) const;
    QString preferencesPath() const;
    ScriptedPort* openScriptedPort() const;

    // What the scenario declared before start
    struct Declared {
        enum Kind { Scripted, Simulated, Device } kind;
        QString name;
        QString path;  // a device's location
        int line = 0;
        ScriptedPort* scripted = nullptr;  // for Scripted: the port of mScripted
    };
    QList<Declared> mDeclared;
    QList<QPair<QString, int>> mFailOpen;  // port name, line
    qint32 mModuleRate = 0;
    bool mNo3D = false;

    // The world around the window; it lives as long as the scenario.
    QTemporaryDir mScratch;
    QString mPreviousFolder;
    FixedClock mClock;
    ScriptedPrompter mPrompter;
    WireRecord mWire;
    std::vector<std::unique_ptr<ScriptedPort>> mScripted;
    std::unique_ptr<PortList> mPorts;
    QPointer<WdwMain> mWindow;
    bool mStarted = false;
    bool mEnded = false;  // the application quit

    SystemLogReader mLog;
    int mLogMatched = 0;
    int mMessagesMatched = 0;
};
