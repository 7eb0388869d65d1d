// scenario-runner FILE_OR_FOLDER...
// Plays conversation scenarios against the real main window and prints one line per
// scenario, then the totals. Exits 0 exactly when every scenario passed.
//
// Each scenario is played by a child process of the runner (the same program with
// --play), so that a crash or a hang of the application in one scenario is reported
// as that scenario's failure, at the step it happened in, and the others still run.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

#include "player.h"
#include "scenarioparser.h"
#include "ui/app.h"

namespace {

const QString kPlayOption = QStringLiteral("--play");
// The child tells the parent the line of each step on its own output, before the step.
const QByteArray kStepMark = "@step ";

struct Entry {
    QString name;  // as shown in the report
    QString path;
    bool emptyFolder = false;  // a folder argument without scenarios
};

void print(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString report(const QString& name, const Outcome& outcome)
{
    if (outcome.passed) return QStringLiteral("PASS %1").arg(name);
    return QStringLiteral("FAIL %1:%2: %3").arg(name).arg(outcome.line).arg(outcome.message);
}

// Plays one scenario in this process.
Outcome playHere(const Entry& entry)
{
    QFile file(entry.path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, 0, QStringLiteral("expected a readable scenario file, saw %1").arg(file.errorString())};
    const scenario::Script script = scenario::parse(file.readAll());
    if (!script.errors.isEmpty()) return {false, script.errors.first().line, script.errors.first().text()};

    // The scenario runs inside the application's event loop, as the application
    // itself does, so that quitting behaves as it does there.
    Outcome outcome;
    QTimer::singleShot(0, qApp, [&] {
        {
            Player player;
            player.onStep = [](int line) {
                std::fputs((kStepMark + QByteArray::number(line) + '\n').constData(), stdout);
                std::fflush(stdout);
            };
            outcome = player.play(script);
        }
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return outcome;
}

int childMain(int argc, char** argv)
{
    // The application's own App, so that scenarios choose the real menu items.
    App application(argc, argv);
    // Only the scenario ends the application; closing a window or "Quit" must not.
    application.setQuitOnLastWindowClosed(false);
    application.setQuitHandler([] {});
    const QStringList arguments = application.arguments();
    const Entry entry{arguments.value(2), arguments.value(3)};
    const Outcome outcome = playHere(entry);
    print(report(entry.name, outcome));
    return outcome.passed ? 0 : 1;
}

// Plays one scenario in a child process and relays its verdict.
bool playInChild(const QString& program, const Entry& entry)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(program, {kPlayOption, entry.name, entry.path});
    if (!child.waitForStarted()) {
        print(report(entry.name, {false, 0, QStringLiteral("expected to start the player, saw %1").arg(child.errorString())}));
        return false;
    }
    int line = 0;
    QString verdict;
    QByteArray pending;
    const auto take = [&] {
        pending += child.readAllStandardOutput();
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray text = pending.left(end);
            pending.remove(0, end + 1);
            if (text.startsWith(kStepMark))
                line = text.mid(kStepMark.size()).toInt();
            else if (text.startsWith("PASS ") || text.startsWith("FAIL "))
                verdict = QString::fromUtf8(text);
            else  // whatever else the application printed
                std::fputs((text + '\n').constData(), stderr);
        }
    };
    while (!child.waitForFinished(100)) take();
    take();
    if (child.exitStatus() == QProcess::NormalExit && !verdict.isEmpty()) {
        print(verdict);
        return child.exitCode() == 0 && verdict.startsWith(QStringLiteral("PASS "));
    }
    const QString how = child.exitStatus() == QProcess::CrashExit
                            ? QStringLiteral("the application crash")
                            : QStringLiteral("the player end with status %1 and no verdict").arg(child.exitCode());
    print(report(entry.name, {false, line, QStringLiteral("expected the step to finish, saw %1").arg(how)}));
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // Nothing may need a display unless there is one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    // A private runtime folder where the session has none, so Qt need not warn.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("scenario-runner-%1").arg(getuid()));
        if (QDir().mkpath(runtime)) {
            QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }
    }

    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == kPlayOption) return childMain(argc, argv);

    QCoreApplication runner(argc, argv);
    const QStringList arguments = runner.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fputs("usage: scenario-runner FILE_OR_FOLDER...\n", stderr);
        return 2;
    }

    QList<Entry> entries;
    int passed = 0, failed = 0;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            const QStringList names = QDir(argument).entryList({QStringLiteral("*.scn")}, QDir::Files, QDir::Name);
            if (names.isEmpty()) entries << Entry{argument, info.absoluteFilePath(), true};
            for (const QString& name : names)
                entries << Entry{QDir(argument).filePath(name), QDir(argument).absoluteFilePath(name)};
        } else {
            entries << Entry{argument, info.absoluteFilePath()};
        }
    }

    const QString program = QCoreApplication::applicationFilePath();
    for (const Entry& entry : entries) {
        if (entry.emptyFolder) {
            print(report(entry.name, {false, 0, QStringLiteral("expected .scn files in the folder, saw none")}));
            ++failed;
        } else if (playInChild(program, entry))
            ++passed;
        else
            ++failed;
    }
    print(QStringLiteral("%1 passed, %2 failed").arg(passed).arg(failed));
    return failed == 0 ? 0 : 1;
}
