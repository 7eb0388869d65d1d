// The main window talking to the simulated module in real time: what a script cannot
// say, because the readings move with the clock (a heading that keeps changing, an
// ellipse of calibration points, a data log that grows).
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>

#include "fixedclock.h"
#include "link/portlist.h"
#include "readings/datalogmodel.h"
#include "scriptedprompter.h"
#include "sim/simulatedport.h"
#include "ui/wdwmain.h"

namespace {

// Records what the window writes to the simulated module.
class RecordingPort : public SerialPort {
public:
    explicit RecordingPort(std::unique_ptr<SerialPort> inner) : mInner(std::move(inner))
    {
        connect(mInner.get(), &SerialPort::readyRead, this, &SerialPort::readyRead);
    }
    QString name() const override { return mInner->name(); }
    void close() override { mInner->close(); }
    bool open(const LineSettings& s) override { return mInner->open(s); }
    bool isOpen() const override { return mInner->isOpen(); }
    bool write(const QByteArray& bytes) override
    {
        written += bytes;
        return mInner->write(bytes);
    }
    bool waitForBytesWritten(int ms) override { return mInner->waitForBytesWritten(ms); }
    QByteArray readAll() override { return mInner->readAll(); }

    QByteArray written;

private:
    std::unique_ptr<SerialPort> mInner;
};

constexpr int kPatience = 8000;  // ms; the suite may share a busy machine

}  // namespace

class TestSimulatedWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void testModeHeadingKeepsMoving();
    void calibrationCollectsAnEllipseAndSaves();
    void dataLogGrowsWhileLogging();

private:
    QTemporaryDir* mScratch = nullptr;
    PortList* mPorts = nullptr;
    RecordingPort* mPort = nullptr;
    FixedClock mClock;
    ScriptedPrompter mPrompter;
    WdwMain* mWindow = nullptr;
};

void TestSimulatedWindow::init()
{
    mScratch = new QTemporaryDir;
    QFile prefs(mScratch->filePath(QStringLiteral("DravikStudio.pref")));
    QVERIFY(prefs.open(QIODevice::WriteOnly));
    prefs.write("SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n");
    prefs.close();
    mPorts = new PortList;
    mPort = static_cast<RecordingPort*>(mPorts->add(std::make_unique<RecordingPort>(createSimulatedModulePort())));
    WdwMainEnvironment env;
    env.ports = mPorts;
    env.prompter = &mPrompter;
    env.clock = &mClock;
    env.preferencesFolder = mScratch->path();
    mWindow = new WdwMain(env);
    // The whole configuration read, from the opening halt to the output mode.
    QTRY_VERIFY_WITH_TIMEOUT(mWindow->mConnected && !mWindow->mReadConfiguration, kPatience);
    QVERIFY(mPort->written.startsWith("h\rb?\rinfo?\rid?\r"));
    QVERIFY(mPort->written.endsWith("ps?\rsdo?\r"));
}

void TestSimulatedWindow::cleanup()
{
    delete mWindow;
    delete mPorts;
    delete mScratch;
    mWindow = nullptr;
}

void TestSimulatedWindow::testModeHeadingKeepsMoving()
{
    mWindow->PushTestGo->click();
    QTRY_VERIFY_WITH_TIMEOUT(mPort->written.endsWith("go\r"), kPatience);
    QTRY_VERIFY_WITH_TIMEOUT(mWindow->mHeading != 0, kPatience);
    // The simulated hand turns the module a few degrees a second.
    for (int i = 0; i < 3; ++i) {
        const float seen = mWindow->mHeading;
        QVERIFY(seen >= 0 && seen < 360);
        QTRY_VERIFY_WITH_TIMEOUT(mWindow->mHeading != seen, kPatience);
    }
    mWindow->PushTestGo->click();
    QVERIFY(mPort->written.endsWith("h\r"));
}

void TestSimulatedWindow::calibrationCollectsAnEllipseAndSaves()
{
    mWindow->PushCalibrationStart->click();
    QTRY_VERIFY_WITH_TIMEOUT(mWindow->mUserCalDataCount >= 40, kPatience * 2);
    const int n = mWindow->mUserCalDataCount;
    const auto [minX, maxX] = std::minmax_element(mWindow->mUserCalDataX.begin(), mWindow->mUserCalDataX.begin() + n);
    const auto [minY, maxY] = std::minmax_element(mWindow->mUserCalDataY.begin(), mWindow->mUserCalDataY.begin() + n);
    // A good part of a turn: both axes swing through a visible range.
    QVERIFY2(*maxX - *minX > 0.15f && *maxY - *minY > 0.15f,
             qPrintable(QStringLiteral("X %1..%2 Y %3..%4").arg(*minX).arg(*maxX).arg(*minY).arg(*maxY)));
    mWindow->PushCalibrationStart->click();
    QTRY_VERIFY_WITH_TIMEOUT(!mWindow->mUserCalibration, kPatience);
    QTRY_VERIFY_WITH_TIMEOUT(mPort->written.endsWith("h\rmpcal=d\rsave\r"), kPatience);
}

void TestSimulatedWindow::dataLogGrowsWhileLogging()
{
    for (int i = 0; i < mWindow->ListData->topLevelItemCount(); ++i) mWindow->ListData->topLevelItem(i)->setSelected(true);
    mWindow->PushDataLogGo->click();
    // The rows the logger holds (the views hear of new ones a moment later).
    DataLogModel* log = mWindow->dataLogModel();
    QVERIFY(log);
    QTRY_VERIFY_WITH_TIMEOUT(log->storedRowCount() >= 5, kPatience);
    const qsizetype seen = log->storedRowCount();
    QTRY_VERIFY_WITH_TIMEOUT(log->storedRowCount() > seen, kPatience);
    QCOMPARE(log->columnCount(), 6);  // ticks, heading, X, Y, Z, temperature
    QVERIFY(!log->cell(seen, 1).isEmpty());  // a heading from the module
    mWindow->PushDataLogGo->click();
    QVERIFY(!mWindow->mDataLogging);
    const qsizetype stopped = log->storedRowCount();
    QTest::qWait(500);
    QCOMPARE(log->storedRowCount(), stopped);
    QTRY_COMPARE_WITH_TIMEOUT(qsizetype(mWindow->ListDataLog->model()->rowCount()), stopped, kPatience);
}

QTEST_MAIN(TestSimulatedWindow)
#include "test_simulatedwindow.moc"
