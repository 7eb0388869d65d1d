// The scenario runner catches faults: it is run on scenarios that fail on purpose and
// must name the file, the line, what it expected and what it saw, and exit non-zero.
// Each failing scenario states the report it must get in its first line:
//   # report: LINE: the beginning of the message
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

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

QTEST_GUILESS_MAIN(TestScenarioRunner)
#include "test_scenariorunner.moc"
