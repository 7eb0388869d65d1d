// Faults a user meets that a conversation script cannot set up or see: places that
// cannot be written (also when the tests run as root), a module that floods garbage,
// a module that never answers (watched for busy timers and growing state), garbled
// calibration points, and a window taken down while the user is editing.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <csignal>
#include <cstring>
#include <optional>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "readings/datalogmodel.h"
#include "settings/calibrationgraphmath.h"
#include "ui/controls.h"
#include "windowfixture.h"

namespace {

// Root writes anywhere. For as long as this lives, the calling thread gives up the
// capabilities that let it ignore file permissions, so that a read-only folder is
// read-only to it as to any user. Without those capabilities it changes nothing.
class FilePermissionsHold {
public:
    FilePermissionsHold()
    {
        mHeader.version = _LINUX_CAPABILITY_VERSION_3;
        mHeader.pid = 0;
        if (syscall(SYS_capget, &mHeader, mSaved) != 0) return;
        __user_cap_data_struct dropped[2];
        std::memcpy(dropped, mSaved, sizeof mSaved);
        for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            dropped[cap / 32].effective &= ~(1u << (cap % 32));
        mDropped = syscall(SYS_capset, &mHeader, dropped) == 0;
    }
    ~FilePermissionsHold()
    {
        if (mDropped) syscall(SYS_capset, &mHeader, mSaved);
    }
    FilePermissionsHold(const FilePermissionsHold&) = delete;
    FilePermissionsHold& operator=(const FilePermissionsHold&) = delete;

private:
    __user_cap_header_struct mHeader{};
    __user_cap_data_struct mSaved[2]{};
    bool mDropped = false;
};

// A disk on which no file can grow beyond `bytes`: writing past that fails (EFBIG, the
// signal ignored) as writing to a full disk does.
class FullDisk {
public:
    explicit FullDisk(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mSaved);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = mSaved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mSaved{};
    void (*mOldHandler)(int) = nullptr;
};

bool canCreateIn(const QString& folder)
{
    QFile probe(QDir(folder).filePath("probe"));
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created) probe.remove();
    return created;
}

// A place where a file cannot be written, for as long as this lives: a read-only
// folder, or a disk that is full after `room` bytes.
class Unwritable {
public:
    Unwritable(const QString& folder, bool full, rlim_t room) : mFolder(folder)
    {
        if (full) {
            mDisk.emplace(room);
        } else {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
            mHold.emplace();
        }
    }
    ~Unwritable()
    {
        mHold.reset();
        mDisk.reset();
        QFile::setPermissions(mFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // False when this process writes into read-only folders all the same.
    bool holds() const { return mDisk || !canCreateIn(mFolder); }

private:
    QString mFolder;
    std::optional<FullDisk> mDisk;
    std::optional<FilePermissionsHold> mHold;
};

// Connected through the real path: the port chosen in the list, the module's first
// reply, and the configuration read marked done.
void connectThroughPort(WindowFixture& f)
{
    WdwMain& w = *f.window;
    w.PopupSerialPort->setCurrentIndex(0);
    QVERIFY(f.port->isOpen());
    QVERIFY(f.port->deliver("$h*\r\n"));
    QTRY_VERIFY(w.mConnected);
    w.mReadConfiguration = false;
    w.mSetModuleBaudRate = true;
    f.settle();
}

// Delivers module bytes and runs the dispatcher once they are read.
void arrive(WindowFixture& f, const QByteArray& bytes)
{
    QVERIFY(f.port->deliver(bytes));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(f.port->unreadCount(), 0);
    f.window->TimerSerialControl_Action();
}

// Counts the timer events and queued calls the application handles while it idles.
class EventCounter : public QObject {
public:
    int timerEvents = 0;
    int queuedCalls = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer) ++timerEvents;
        if (event->type() == QEvent::MetaCall) ++queuedCalls;
        return false;
    }
};

}  // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void preferencesUnwritable_data();
    void preferencesUnwritable();
    void exportFails_data();
    void exportFails();
    void garbageFlood_data();
    void garbageFlood();
    void neverAnswers_data();
    void neverAnswers();
    void destroyedWhileEditing();
    void calibrationGarbage_data();
    void calibrationGarbage();
};

void TestFaults::preferencesUnwritable_data()
{
    QTest::addColumn<bool>("full");  // else the folder is read-only
    QTest::newRow("read-only folder") << false;
    QTest::newRow("full disk") << true;
}

// Choosing a port and quitting both write the file; neither may lose the old file,
// leave a partial one, or keep the user from the port.
void TestFaults::preferencesUnwritable()
{
    QFETCH(bool, full);
    WindowFixture f;
    f.ports.add(std::make_unique<ScriptedPort>("ttyOTHER"));
    f.window->PopupSerialPort_Open();
    const QString folder = f.prefsFolder.path();
    const QString path = QDir(folder).filePath("DravikStudio.pref");
    const QByteArray old = "SERIALPORT:999\nBAUDRATE:8\nCONTRAST:TRUE\nAUTOSCROLL:FALSE\nDATA:\n";
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    const QString lead = "Could not write preferences file " + path + ": ";
    {
        const Unwritable place(folder, full, 16);
        if (!place.holds()) QSKIP("this process writes into read-only folders");
        WdwMain& w = *f.window;
        f.settle();
        w.PopupSerialPort->setCurrentIndex(1);
        const QStringList log = f.newLog();
        QCOMPARE(log.size(), 2);
        QVERIFY2(log[0].startsWith(lead) && log[0].size() > lead.size(), qPrintable(log[0]));
        QCOMPARE(log[1], QString("Opened serial port ttyOTHER"));
        QCOMPARE(f.ports.port(1)->isOpen(), true);

        f.settle();
        w.allowClose();
        QVERIFY(w.close());
        QCOMPARE(f.newLog().size(), 1);
        QVERIFY(f.newLog()[0].startsWith(lead));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"DravikStudio.pref"});
}

void TestFaults::exportFails_data()
{
    QTest::addColumn<bool>("dataLog");  // else the system log
    QTest::addColumn<bool>("full");     // else the folder is read-only
    QTest::newRow("data log, read-only folder") << true << false;
    QTest::newRow("data log, full disk") << true << true;
    QTest::newRow("system log, read-only folder") << false << false;
    QTest::newRow("system log, full disk") << false << true;
}

// The user is told which file failed and why; the file that was there stays as it
// was, nothing half-written is left behind, and the lists are untouched.
void TestFaults::exportFails()
{
    QFETCH(bool, dataLog);
    QFETCH(bool, full);
    WindowFixture f;
    WdwMain& w = *f.window;
    connectThroughPort(f);
    if (QTest::currentTestFailed()) return;
    // Enough rows that the file outgrows the full disk's room.
    QTreeWidgetItem* compass = w.ListData->topLevelItem(0);
    compass->setSelected(true);
    w.PushDataLogGo->click();
    arrive(f, "$sdo=t*\r\n");
    QVERIFY(w.mDataLoggingNow);
    QByteArray sentences;
    for (int i = 0; i < 200; ++i) sentences += "$C" + QByteArray::number(i) + ".5*\r\n";
    arrive(f, sentences);
    QCOMPARE(w.dataLogModel()->storedRowCount(), 200);
    for (int i = 0; i < 50; ++i) w.NewSystemLogEvent(QStringLiteral("filler entry %1").arg(i));
    const int logRows = w.ListSystemLog->topLevelItemCount();

    QTemporaryDir place;
    const QString target = QDir(place.path()).filePath(dataLog ? "ZunoStudioLog" : "ZunoStudioSystemLog");
    const QByteArray old = "an earlier export\n";
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    {
        const Unwritable blocked(place.path(), full, 1024);
        if (!blocked.holds()) QSKIP("this process writes into read-only folders");
        f.prompter.prepareSave(target);
        if (dataLog)
            w.PushDataLogExport->click();
        else
            w.PushSystemLogExport->click();
    }

    QCOMPARE(f.prompter.shown.size(), 1);
    const QString lead = "The file " + target + " could not be written: ";
    QVERIFY2(f.prompter.shown[0].startsWith(lead), qPrintable(f.prompter.shown[0]));
    QVERIFY(f.prompter.shown[0].size() > lead.size());
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), old);
    QCOMPARE(QDir(place.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    QCOMPARE(w.dataLogModel()->storedRowCount(), 200);
    QCOMPARE(w.ListSystemLog->topLevelItemCount(), logRows);
    QVERIFY(w.mDataLogging);
}

void TestFaults::garbageFlood_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("carriageReturns");  // garbage that now and then holds a CR
    QTest::newRow("waiting for the module, no CR") << "waiting" << false;
    QTest::newRow("test mode, no CR") << "test" << false;
    QTest::newRow("test mode, with CRs") << "test" << true;
    QTest::newRow("calibration, no CR") << "calibration" << false;
}

// Three minutes of a module at the wrong line rate: 5760 bytes a second of noise. The
// receive buffer never holds much more than its 64 KiB limit, and its memory is
// given back; nothing is logged and nothing accumulates.
void TestFaults::garbageFlood()
{
    QFETCH(QString, mode);
    QFETCH(bool, carriageReturns);
    WindowFixture f;
    WdwMain& w = *f.window;
    if (mode == "waiting") {
        w.PopupSerialPort->setCurrentIndex(0);
        f.settle();
    } else {
        connectThroughPort(f);
    if (QTest::currentTestFailed()) return;
        if (mode == "test") w.PushTestGo->click();
        if (mode == "calibration") {
            w.PushCalibrationStart->click();
            arrive(f, "$mpcal=e*\r\n");
        }
    }
    const int logRows = w.ListSystemLog->topLevelItemCount();
    const QByteArray sentBefore = f.port->written();

    constexpr qsizetype kLimit = 64 * 1024;
    constexpr qsizetype kMinutes = 3;
    QRandomGenerator noise(20240501);
    qsizetype delivered = 0;
    qsizetype largest = 0;
    qsizetype largestCapacity = 0;
    while (delivered < kMinutes * 60 * 5760) {
        // The sizes the serial driver hands over: a few bytes to a few hundred.
        QByteArray chunk(1 + noise.bounded(600), Qt::Uninitialized);
        for (char& c : chunk) {
            c = char(noise.bounded(256));
            if (!carriageReturns && (c == '\r' || c == '$')) c = '#';
        }
        QVERIFY(f.port->deliver(chunk));
        QCoreApplication::sendPostedEvents();
        w.TimerSerialControl_Action();
        delivered += chunk.size();
        largest = qMax(largest, w.mInputStr.size());
        largestCapacity = qMax(largestCapacity, w.mInputStr.capacity());
        QVERIFY(!w.mInputStr.contains('\r'));
    }
    QVERIFY2(largest <= kLimit, qPrintable(QString::number(largest)));
    // Emptied, not merely shortened: the buffer does not keep a large block around.
    QVERIFY2(largestCapacity <= 2 * kLimit, qPrintable(QString::number(largestCapacity)));
    QCOMPARE(w.ListSystemLog->topLevelItemCount(), logRows);
    QCOMPARE(f.port->written(), sentBefore);
    QCOMPARE(w.dataLogModel()->storedRowCount(), 0);
    QCOMPARE(w.mUserCalDataCount, 0);
    QCOMPARE(f.prompter.shown, QStringList());

    // The module comes back at the right rate: the very next line is understood.
    if (mode == "test") {
        arrive(f, "\r$C123.4*\r\n");
        QCOMPARE(w.mHeading, 123.4f);
    }
}

void TestFaults::neverAnswers_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QByteArray>("stallsAfter");  // the last command sent, unanswered
    QTest::newRow("handshake") << "handshake" << QByteArray("h\r");
    QTest::newRow("configuration read") << "configuration" << QByteArray("b?\r");
    QTest::newRow("test mode") << "test" << QByteArray("h\r\rec=e\r");
    QTest::newRow("data logging") << "logging" << QByteArray("h\r\rec=e\r");
    QTest::newRow("calibration start") << "calibration" << QByteArray("em=e\rmpcal=e\r");
    QTest::newRow("calibration stop") << "calibration stop" << QByteArray("h\r");
}

// Each sequence stops at the command that gets no answer: nothing is sent again,
// no timer runs but the dispatcher's own 10 ms tick, nothing queues up or grows. And
// "Connect" starts the link and the configuration read over.
void TestFaults::neverAnswers()
{
    QFETCH(QString, sequence);
    QFETCH(QByteArray, stallsAfter);
    WindowFixture f;
    WdwMain& w = *f.window;
    if (sequence == "handshake") {
        w.PopupSerialPort->setCurrentIndex(0);
    } else {
        w.PopupSerialPort->setCurrentIndex(0);
        arrive(f, "$h*\r\n");
        QVERIFY(w.mConnected);
        if (sequence != "configuration") {
            w.mReadConfiguration = false;
            f.port->takeWritten();
        }
        if (sequence == "test") w.PushTestGo->click();
        if (sequence == "logging") w.PushDataLogGo->click();
        if (sequence.startsWith("calibration")) w.PushCalibrationStart->click();
        if (sequence == "calibration stop") {
            arrive(f, "$mpcal=e*\r\n$X1Y2*\r\n");
            f.port->takeWritten();
            w.PushCalibrationStart->click();
        }
    }
    QVERIFY2(f.port->written().endsWith(stallsAfter), qPrintable(QString::fromLatin1(f.port->written())));
    f.settle();
    const int logRows = w.ListSystemLog->topLevelItemCount();

    EventCounter counter;
    qApp->installEventFilter(&counter);
    constexpr int kIdleMs = 500;
    QTest::qWait(kIdleMs);
    qApp->removeEventFilter(&counter);

    QCOMPARE(f.port->written(), QByteArray());
    QCOMPARE(w.ListSystemLog->topLevelItemCount(), logRows);
    QCOMPARE(w.mInputStr, QByteArray());
    QVERIFY(!w.TimerEvent->isActive());
    QVERIFY(!w.TimerSerialActivity->isActive());
    for (QTimer* timer : w.findChildren<QTimer*>())
        if (timer->isActive() && timer != w.TimerSerialControl)
            QVERIFY2(timer->interval() >= 100 || timer->isSingleShot(), qPrintable(timer->objectName()));
    // The dispatcher ticks about every 10 ms; a timer that spins would be heard
    // thousands of times in half a second.
    QVERIFY2(counter.timerEvents <= 2 * kIdleMs / 10 + 20, qPrintable(QString::number(counter.timerEvents)));
    QVERIFY2(counter.queuedCalls <= 10, qPrintable(QString::number(counter.queuedCalls)));

    w.PushButton1->click();
    QCOMPARE(f.port->takeWritten(), QByteArray("h\r"));
    QCOMPARE(w.mReadConfiguration, true);
    QCOMPARE(f.newLog().last(), QString("Opened serial port ttyTEST"));
    arrive(f, "$h*\r\n");
    QVERIFY(w.mConnected);
    QCOMPARE(f.port->takeWritten(), QByteArray("b?\r"));
}

// A window taken down while the user is still in the declination field (as the tests
// and the scenario runner take windows down) sends nothing and logs nothing: the
// field's lost-focus handler must not run on a window that is being destroyed.
void TestFaults::destroyedWhileEditing()
{
    WindowFixture f;
    WdwMain& w = *f.window;
    connectThroughPort(f);
    if (QTest::currentTestFailed()) return;
    w.TabMain->setCurrentIndex(1);
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.EditDeclination->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(w.EditDeclination->hasFocus());
    w.EditDeclination->setText("12.5");
    f.settle();

    QTreeWidget* log = w.ListSystemLog;
    int entries = log->topLevelItemCount();
    QObject::connect(log->model(), &QAbstractItemModel::rowsInserted, log, [&entries] { ++entries; });
    const int before = entries;
    f.window.reset();
    QCOMPARE(f.port->written(), QByteArray());
    QCOMPARE(entries, before);
}

void TestFaults::calibrationGarbage_data()
{
    QTest::addColumn<QByteArray>("sentences");
    const QByteArray huge = "1" + QByteArray(45, '0');
    QTest::newRow("beyond float range") << "$X" + huge + "Y1*\r\n$X0Y0*\r\n$X-" + huge + "Y2*\r\n";
    QTest::newRow("beyond double range") << "$X" + QByteArray(400, '9') + "Y1*\r\n$X0Y0*\r\n";
    QTest::newRow("too close to tell apart") << "$X0Y5*\r\n$X0." + QByteArray(44, '0') + "1Y5*\r\n";
}

// Points read from garbled calibration sentences are kept as the module sent them,
// and the graph still draws at once, with every point on the plot or just beside it.
void TestFaults::calibrationGarbage()
{
    QFETCH(QByteArray, sentences);
    WindowFixture f;
    WdwMain& w = *f.window;
    connectThroughPort(f);
    if (QTest::currentTestFailed()) return;
    w.PushCalibrationStart->click();
    arrive(f, "$mpcal=e*\r\n" + sentences);
    QVERIFY(w.mUserCalDataCount >= 2);

    const int width = w.CanvasUserCalGraph->width() - 1;
    const int height = w.CanvasUserCalGraph->height() - 1;
    const calgraph::Scaling s = calgraph::scale(w.mUserCalDataX.constData(), w.mUserCalDataY.constData(),
                                                w.mUserCalDataCount);
    for (int k = 0; k < w.mUserCalDataCount; ++k) {
        const QPoint p = calgraph::pixel(s, w.mUserCalDataX[k], w.mUserCalDataY[k], width, height);
        QVERIFY2(p.x() >= -width && p.x() <= 2 * width && p.y() >= -height && p.y() <= 2 * height,
                 qPrintable(QStringLiteral("point %1 at %2, %3").arg(k).arg(p.x()).arg(p.y())));
    }
    // Painting returns (a line from a point at INT_MIN would not).
    const QImage picture = w.CanvasUserCalGraph->grab().toImage();
    QCOMPARE(picture.size(), w.CanvasUserCalGraph->size());
}

QTEST_MAIN(TestFaults)
#include "test_faults.moc"
