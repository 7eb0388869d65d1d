// Both exports: the exact bytes, cancelling, replacing a file, failed writes that
// leave the old file whole, and the system log in its displayed order.
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

#include "loggerwindow.h"

namespace {
QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Makes a folder unwritable for this process, root included: root passes permission
// checks unless its file-system identity is an ordinary user's.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& path) : mPath(path)
    {
        QFile::setPermissions(mPath, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        if (geteuid() == 0) mOldFsuid = setfsuid(65534);
    }
    ~UnwritableFolder()
    {
        if (mOldFsuid >= 0) setfsuid(uid_t(mOldFsuid));
        QFile::setPermissions(mPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

private:
    QString mPath;
    int mOldFsuid = -1;
};

// Files of this process may not grow beyond a few bytes, as on a full disk.
class FullDisk {
public:
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = mOld;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mOld{};
    void (*mOldHandler)(int) = nullptr;
};
}  // namespace

class TestLogExport : public QObject {
    Q_OBJECT
private slots:
    void dataLogBytes_data();
    void dataLogBytes();
    void cancelWritesNothing();
    void replacesAnExistingFile();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void systemLogInDisplayedOrder();
};

void TestLogExport::dataLogBytes_data()
{
    QTest::addColumn<QList<int>>("words");  // empty: columns never built
    QTest::addColumn<QList<QByteArray>>("sentences");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("columns never built, no rows") << QList<int>{} << QList<QByteArray>{} << QByteArray("\t\t\n");
    QTest::newRow("columns never built, two rows")
        << QList<int>{} << QList<QByteArray>{"$C1X2*\r\n", "$C3X4*\r\n"}
        << QByteArray("\t\t\n000000100\t\t\n000000101\t\t\n");
    QTest::newRow("compass, two rows")
        << QList<int>{0} << QList<QByteArray>{"$C123.4X1Y2*\r\n", "$C5.0X1Y2*\r\n"}
        << QByteArray("Ticks\tHeading\t\n000000100\t123.4\t\n000000101\t5.0\t\n");
    QTest::newRow("every column")
        << QList<int>{0, 1, 2} << QList<QByteArray>{"$C1X-2Y3Z4T5.5*AA\r\n"}
        << QByteArray("Ticks\tHeading\tX\tY\tZ\tTemperature\t\n000000100\t1\t-2\t3\t4\t5.5\t\n");
    QTest::newRow("nothing selected, empty sentence text")
        << QList<int>{2, 1} << QList<QByteArray>{"no star\r\n"}
        << QByteArray("Ticks\tX\tY\tZ\tTemperature\t\n000000100\t\t\t\t\t\n");
    // Texts are written as they stand: a tab inside a cell stays, a byte outside
    // ASCII is the character the table shows, in UTF-8.
    QTest::newRow("tab and degree sign in a cell")
        << QList<int>{0} << QList<QByteArray>{"$C1\t2\xb0X*\r\n"}
        << QByteArray("Ticks\tHeading\t\n000000100\t1\t2\xc2\xb0\t\n");
}

void TestLogExport::dataLogBytes()
{
    QFETCH(QList<int>, words);
    QFETCH(QList<QByteArray>, sentences);
    QFETCH(QByteArray, file);
    LoggerWindow lw;
    WdwMain& w = *lw.w;
    if (!words.isEmpty()) lw.selectWords(words);
    lw.quietly([&] { w.RadioVaroMode->setChecked(true); });
    w.m3AxisModule = true;
    qint64 ticks = 100;
    for (const QByteArray& s : sentences) lw.log(s, ticks++);
    w.mDataLogging = w.mDataLoggingNow = true;
    const QStringList entries = lw.events();

    const QString path = lw.prefsFolder.filePath(QStringLiteral("ZunoStudioLog"));
    const QStringList filesBefore = QDir(lw.prefsFolder.path()).entryList(QDir::Files | QDir::Hidden);
    lw.prompter.prepareSave(path);
    w.PushDataLogExport->click();
    QCOMPARE(lw.prompter.lastDefaultName, QStringLiteral("ZunoStudioLog"));
    QCOMPARE(contents(path), file);
    // Exporting logs nothing, keeps the rows and leaves logging running.
    QVERIFY(lw.prompter.shown.isEmpty());
    QCOMPARE(lw.events(), entries);
    QCOMPARE(lw.model()->storedRowCount(), sentences.size());
    QVERIFY(w.mDataLogging && w.mDataLoggingNow);
    // The file and nothing else (no temporary file) was added.
    QCOMPARE(QDir(lw.prefsFolder.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList(filesBefore + QStringList{"ZunoStudioLog"}));
}

void TestLogExport::cancelWritesNothing()
{
    LoggerWindow lw;
    const QStringList before = QDir(lw.prefsFolder.path()).entryList(QDir::Files | QDir::Hidden);
    for (QPushButton* button : {lw.w->PushDataLogExport, lw.w->PushSystemLogExport}) {
        lw.prompter.prepareSave(QString());
        button->click();
    }
    QCOMPARE(lw.prompter.lastDefaultName, QStringLiteral("ZunoStudioSystemLog"));
    QVERIFY(lw.prompter.unprepared.isEmpty());
    QVERIFY(lw.prompter.shown.isEmpty());
    QCOMPARE(QDir(lw.prefsFolder.path()).entryList(QDir::Files | QDir::Hidden), before);
}

void TestLogExport::replacesAnExistingFile()
{
    LoggerWindow lw;
    lw.selectWords({0});
    lw.quietly([&] { lw.w->RadioVaroMode->setChecked(true); });
    lw.log("$C9X*\r\n", 5);
    const QString path = lw.prefsFolder.filePath(QStringLiteral("old.txt"));
    write(path, QByteArray(10000, 'x'));
    lw.prompter.prepareSave(path);
    lw.w->PushDataLogExport->click();
    QCOMPARE(contents(path), QByteArray("Ticks\tHeading\t\n000000005\t9\t\n"));
    QVERIFY(lw.prompter.shown.isEmpty());
}

void TestLogExport::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only folder") << "read-only" << "Permission denied";
    QTest::newRow("no space") << "full" << "File too large";
    QTest::newRow("folder vanished") << "vanished" << "No such file or directory";
    QTest::newRow("folder is a file") << "file" << "Not a directory";
}

void TestLogExport::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    LoggerWindow lw;
    lw.selectWords({0, 1, 2});
    for (int r = 0; r < 2000; ++r) lw.log("$C123.4X-12.3Y45.6Z-78.9T21.5*3F\r\n", r);

    QDir scratch(lw.prefsFolder.path());
    QVERIFY(scratch.mkdir(QStringLiteral("out")));
    QString folder = scratch.filePath(QStringLiteral("out"));
    const QByteArray old = "the earlier export\n";
    write(folder + QStringLiteral("/log.txt"), old);
    if (failure == QLatin1String("vanished")) {
        folder = scratch.filePath(QStringLiteral("gone"));
    } else if (failure == QLatin1String("file")) {
        folder += QStringLiteral("/log.txt");
    }
    const QString path = folder + QStringLiteral("/log.txt");
    const QStringList before = QDir(scratch.filePath(QStringLiteral("out"))).entryList(QDir::AllEntries | QDir::Hidden);

    lw.prompter.prepareSave(path);
    {
        std::unique_ptr<UnwritableFolder> readOnly;
        std::unique_ptr<FullDisk> full;
        if (failure == QLatin1String("read-only")) readOnly = std::make_unique<UnwritableFolder>(folder);
        if (failure == QLatin1String("full")) full = std::make_unique<FullDisk>();
        lw.w->PushDataLogExport->click();
    }

    QCOMPARE(lw.prompter.shown.size(), 1);
    const QString message = lw.prompter.shown[0];
    QVERIFY2(message.startsWith(QStringLiteral("The file %1 could not be written: ").arg(path)), qPrintable(message));
    QVERIFY2(message.contains(reason, Qt::CaseInsensitive), qPrintable(message));
    // The earlier file is whole and nothing was left beside it.
    QCOMPARE(contents(scratch.filePath(QStringLiteral("out/log.txt"))), old);
    QCOMPARE(QDir(scratch.filePath(QStringLiteral("out"))).entryList(QDir::AllEntries | QDir::Hidden), before);
    QVERIFY(!QFile::exists(scratch.filePath(QStringLiteral("gone"))));
    // The rows are still there for a second try.
    QCOMPARE(lw.model()->storedRowCount(), 2000);
}

void TestLogExport::systemLogInDisplayedOrder()
{
    LoggerWindow lw;
    WdwMain& w = *lw.w;
    QTreeWidget* log = w.ListSystemLog;
    while (log->topLevelItemCount() > 0) delete log->takeTopLevelItem(0);
    lw.clock.fixNow(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 2)));
    w.NewSystemLogEvent(QStringLiteral("Stopped data logging."));
    lw.clock.fixNow(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 3)));
    w.NewSystemLogEvent(QStringLiteral("Cleared data log."));
    w.NewSystemLogEvent(QStringLiteral("Started data logging."));

    const QString unsorted = lw.prefsFolder.filePath(QStringLiteral("unsorted"));
    lw.prompter.prepareSave(unsorted);
    w.PushSystemLogExport->click();
    QCOMPARE(lw.prompter.lastDefaultName, QStringLiteral("ZunoStudioSystemLog"));
    QCOMPARE(contents(unsorted), QByteArray("Time Stamp\tEvent\t\n"
                                            "2024-03-07 09:05:02\tStopped data logging.\t\n"
                                            "2024-03-07 09:05:03\tCleared data log.\t\n"
                                            "2024-03-07 09:05:03\tStarted data logging.\t\n"));

    // A heading click sorts the list by the event text; the export follows.
    log->sortByColumn(1, Qt::AscendingOrder);
    const QString sorted = lw.prefsFolder.filePath(QStringLiteral("sorted"));
    lw.prompter.prepareSave(sorted);
    w.PushSystemLogExport->click();
    QCOMPARE(contents(sorted), QByteArray("Time Stamp\tEvent\t\n"
                                          "2024-03-07 09:05:03\tCleared data log.\t\n"
                                          "2024-03-07 09:05:03\tStarted data logging.\t\n"
                                          "2024-03-07 09:05:02\tStopped data logging.\t\n"));
    QVERIFY(lw.prompter.shown.isEmpty());
}

QTEST_MAIN(TestLogExport)
#include "test_logexport.moc"
