// scenario-runner FILE_OR_FOLDER...
// Plays conversation scenarios against the real main window and prints one line per
// scenario, then the totals. Exits 0 exactly when every scenario passed.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "player.h"
#include "scenarioparser.h"

namespace {

struct Entry {
    QString name;  // as shown in the report
    QString path;
};

void print(const QString& line)
{
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

Outcome runOne(const Entry& entry)
{
    QFile file(entry.path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, 0, QStringLiteral("expected a readable scenario file, saw %1").arg(file.errorString())};
    const scenario::Script script = scenario::parse(file.readAll());
    if (!script.errors.isEmpty()) return {false, script.errors.first().line, script.errors.first().text()};

    // Each scenario runs inside the application's event loop, as the application
    // itself does, so that quitting behaves as it does there.
    Outcome outcome;
    QTimer::singleShot(0, qApp, [&] {
        {
            Player player;
            outcome = player.play(script);
        }
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    return outcome;
}

}  // namespace

int main(int argc, char** argv)
{
    // Nothing may need a display unless there is one.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication application(argc, argv);
    // Only the scenario ends the application; closing a window must not.
    application.setQuitOnLastWindowClosed(false);

    const QStringList arguments = application.arguments().mid(1);
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
            if (names.isEmpty()) {
                print(QStringLiteral("FAIL %1:0: expected .scn files in the folder, saw none").arg(argument));
                ++failed;
            }
            for (const QString& name : names)
                entries << Entry{QDir(argument).filePath(name), QDir(argument).absoluteFilePath(name)};
        } else {
            entries << Entry{argument, info.absoluteFilePath()};
        }
    }

    for (const Entry& entry : entries) {
        const Outcome outcome = runOne(entry);
        if (outcome.passed) {
            print(QStringLiteral("PASS %1").arg(entry.name));
            ++passed;
        } else {
            print(QStringLiteral("FAIL %1:%2: %3").arg(entry.name).arg(outcome.line).arg(outcome.message));
            ++failed;
        }
    }
    print(QStringLiteral("%1 passed, %2 failed").arg(passed).arg(failed));
    return failed == 0 ? 0 : 1;
}
