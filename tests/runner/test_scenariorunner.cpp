// The scenario runner catches faults: it is run on scenarios that fail on purpose and
// must name the file, the line, what it expected and what it saw, and exit non-zero.
// Each failing scenario states the report it must get in its first line:
//   # report: LINE: the beginning of the message
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#ifndef SCENARIO_RUNNER
#error "SCENARIO_RUNNER is set by tools/CMakeLists.txt"
#endif

namespace {

struct Run {
    int exitCode = -1;
    QStringList lines;
};

Run runRunner(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(SCENARIO_RUNNER), arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning() << "runner did not finish normally:" << process.readAllStandardError();
        return run;
    }
    run.exitCode = process.exitCode();
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}

QString folder(const char* name) { return QStringLiteral(RUNNER_SCENARIOS "/") + QLatin1String(name); }

}  // namespace

class TestScenarioRunner : public QObject {
    Q_OBJECT
private slots:
    void failingScenariosAreReportedWithFileLineExpectedAndSeen();
    void passingScenariosExitZero();
    void reportFollowsTheArgumentsAndCountsEveryOne();
    void noArgumentsIsAUsageError();
    void deviceIsOpenedThroughTheRealBackend();
};

void TestScenarioRunner::failingScenariosAreReportedWithFileLineExpectedAndSeen()
{
    const QString dir = folder("failing");
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.scn")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 5);

    const Run run = runRunner({dir});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.lines.size(), files.size() + 1);
    QCOMPARE(run.lines.last(), QStringLiteral("0 passed, %1 failed").arg(files.size()));

    static const QRegularExpression reportLine(QStringLiteral("^# report: (\\d+): (.+)$"));
    for (int i = 0; i < files.size(); ++i) {
        QFile file(QDir(dir).filePath(files[i]));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const auto match = reportLine.match(QString::fromUtf8(file.readLine()).trimmed());
        QVERIFY2(match.hasMatch(), qPrintable(files[i] + QStringLiteral(" has no report line")));
        // The report names the file as the runner found it, then the line, then the
        // message, which says what was expected before what was seen.
        const QString expected =
            QStringLiteral("FAIL %1:%2: %3").arg(QDir(dir).filePath(files[i]), match.captured(1), match.captured(2));
        const QString& seen = run.lines[i];
        QVERIFY2(seen.startsWith(expected), qPrintable(QStringLiteral("\nwanted: %1\n   got: %2").arg(expected, seen)));
        const qsizetype expectedAt = seen.indexOf(QStringLiteral(": expected "));
        QVERIFY2(expectedAt > 0 && seen.indexOf(QStringLiteral(", saw "), expectedAt) > expectedAt, qPrintable(seen));
    }
}

void TestScenarioRunner::passingScenariosExitZero()
{
    const QString dir = folder("passing");
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.scn")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    const Run run = runRunner({dir});
    QStringList expected;
    for (const QString& f : files) expected << QStringLiteral("PASS ") + QDir(dir).filePath(f);
    expected << QStringLiteral("%1 passed, 0 failed").arg(files.size());
    QCOMPARE(run.lines, expected);
    QCOMPARE(run.exitCode, 0);
}

void TestScenarioRunner::reportFollowsTheArgumentsAndCountsEveryOne()
{
    const QString passing = folder("passing/basic.scn");
    const QString failing = folder("failing/05_not_a_button.scn");
    const QString missing = folder("no-such-scenario.scn");
    const Run run = runRunner({failing, missing, passing});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.lines.size(), 4);
    QVERIFY2(run.lines[0].startsWith(QStringLiteral("FAIL %1:4: expected ").arg(failing)), qPrintable(run.lines[0]));
    QVERIFY2(run.lines[1].startsWith(QStringLiteral("FAIL %1:0: expected a readable scenario file, saw ").arg(missing)),
             qPrintable(run.lines[1]));
    QCOMPARE(run.lines[2], QStringLiteral("PASS %1").arg(passing));
    QCOMPARE(run.lines[3], QStringLiteral("1 passed, 2 failed"));
}

void TestScenarioRunner::noArgumentsIsAUsageError()
{
    const Run run = runRunner({});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.lines.isEmpty());
}

// A pseudo-terminal made here stands for a serial device: the runner must hand it to
// the application's real backend, which opens it and writes the halt to it.
void TestScenarioRunner::deviceIsOpenedThroughTheRealBackend()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const QByteArray device = ptsname(master);
    QVERIFY(!device.isEmpty());

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray opening = "device \"ptyTest\" \"" + device + "\"\n"
                               "prefs \"SERIALPORT:0\\nBAUDRATE:8\\nCONTRAST:FALSE\\nAUTOSCROLL:FALSE\\nDATA:\\n\"\n"
                               "start\n"
                               "expect-log \"Checking preference file\"\n"
                               "expect-log \"Opened serial port ptyTest\"\n";
    QFile opens(dir.filePath(QStringLiteral("1_opens.scn")));
    QVERIFY(opens.open(QIODevice::WriteOnly) && opens.write(opening) == opening.size());
    opens.close();
    // The module of a scenario speaks only on scripted ports.
    QFile speaks(dir.filePath(QStringLiteral("2_module.scn")));
    const QByteArray speaking = opening + "module \"$h*\\r\\n\"\n";
    QVERIFY(speaks.open(QIODevice::WriteOnly) && speaks.write(speaking) == speaking.size());
    speaks.close();

    const Run run = runRunner({dir.path()});
    QByteArray received;
    const int flags = fcntl(master, F_GETFL);
    fcntl(master, F_SETFL, flags | O_NONBLOCK);
    char buffer[256];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
    close(master);

    QCOMPARE(run.lines.value(0), QStringLiteral("PASS %1").arg(dir.filePath(QStringLiteral("1_opens.scn"))));
    QCOMPARE(run.lines.value(1), QStringLiteral("FAIL %1:6: expected a scripted port open for 'module', saw \"ptyTest\" "
                                                "open, which is no scripted port")
                                     .arg(dir.filePath(QStringLiteral("2_module.scn"))));
    QCOMPARE(run.exitCode, 1);
    // Both scenarios opened the device and sent the halt.
    QCOMPARE(received, QByteArray("h\rh\r"));
}

QTEST_GUILESS_MAIN(TestScenarioRunner)
#include "test_scenariorunner.moc"
