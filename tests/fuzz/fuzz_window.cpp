// Arbitrary module bytes, cut at arbitrary points, into the real main window, while
// the user switches modes and settings between the pieces.
//
// The input is a byte stream. Bytes below 0xF0 are what the module sends; the
// sixteen bytes from 0xF0 up are marks of the harness (FF escapes a byte, so the
// module can send every byte value):
//
//   F0     the bytes so far arrive, and the dispatcher ticks
//   F1     click PushTestGo             F2   click PushDataLogGo
//   F3     click PushCalibrationStart   F4   click "Connect" (PushButton1)
//   F5 n   select tab n % 6             F6   the pending one-shot timers fire
//   F7 n   click button n of kButtons   F8 n m  select row m of pop-up menu n
//   F9 n   toggle row n % 3 of ListData
//   FA     the bytes so far are typed into EditDeclination, which then loses focus
//   FB     paint the graph, the reading and the table   FC   the next question is answered No
//   FD     the bytes so far arrive without a tick (two arrivals in one tick)
//   FE n   the bytes so far arrive again and again (a flood), then a tick
//   FF b   the byte b, sent by the module
//
// The window, the application and the ports are made once; every input starts from
// the same state (startInput), so that a finding replays on its own.
#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fixedclock.h"
#include "link/portlist.h"
#include "readings/datalogmodel.h"
#include "readings/view3d_recording.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/controls.h"
#include "ui/wdwmain.h"

namespace {

// Answers every question (Yes unless told otherwise) and every save dialog.
class AnsweringPrompter : public ScriptedPrompter {
public:
    bool question(const QString& text) override
    {
        shown << text;
        const bool yes = nextYes;
        nextYes = true;
        return yes;
    }
    QString saveFileName(const QString& defaultName) override
    {
        lastDefaultName = defaultName;
        return exportPath;
    }
    bool nextYes = true;
    QString exportPath;
};

// What the user can set on the window, taken once after start-up and put back before
// every input.
struct ControlState {
    QList<QPair<QAbstractButton*, bool>> checked;
    QList<QPair<QAbstractButton*, QString>> captions;
    QList<QPair<QComboBox*, int>> rows;
    QList<QPair<QLineEdit*, QString>> texts;
    QList<QPair<QWidget*, bool>> disabled;  // explicitly disabled, not through a parent
    QList<bool> dataRows;
};

// Exports are committed with an fsync, which a busy disk can take tens of milliseconds
// over: the scratch folder lives in memory where the system has such a place.
QString scratchTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
    return QDir(base).filePath(QStringLiteral("fuzz_window-XXXXXX"));
}

struct World {
    QTemporaryDir folder{scratchTemplate()};
    PortList ports;
    ScriptedPort* port = nullptr;
    AnsweringPrompter prompter;
    FixedClock clock;
    RecordingView3D* view3D = nullptr;
    WdwMain* window = nullptr;
    ControlState start;
    QList<QAbstractButton*> buttons;
    QList<QComboBox*> popups;
};

World* world = nullptr;

[[noreturn]] void broken(const char* what)
{
    std::fprintf(stderr, "fuzz_window: %s\n", what);
    std::abort();
}

ControlState takeState(WdwMain& w)
{
    ControlState s;
    for (QAbstractButton* b : w.findChildren<QAbstractButton*>()) {
        if (b->isCheckable()) s.checked << qMakePair(b, b->isChecked());
        s.captions << qMakePair(b, b->text());
    }
    for (QComboBox* c : w.findChildren<QComboBox*>()) s.rows << qMakePair(c, c->currentIndex());
    for (QLineEdit* e : w.findChildren<QLineEdit*>()) s.texts << qMakePair(e, e->text());
    for (QWidget* c : w.findChildren<QWidget*>()) s.disabled << qMakePair(c, c->testAttribute(Qt::WA_ForceDisabled));
    for (int r = 0; r < w.ListData->topLevelItemCount(); ++r) s.dataRows << w.ListData->topLevelItem(r)->isSelected();
    return s;
}

// Put back while the start-up and configuration-read guards keep the handlers from
// sending, opening or writing.
void putState(WdwMain& w, const ControlState& s)
{
    w.mStartUp = true;
    w.mReadConfiguration = true;
    w.mSetModuleBaudRate = false;
    for (const auto& [button, on] : s.checked)
        if (on || !qobject_cast<QRadioButton*>(button)) button->setChecked(on);
    for (const auto& [button, caption] : s.captions) button->setText(caption);
    for (const auto& [popup, row] : s.rows) popup->setCurrentIndex(row);
    for (const auto& [edit, text] : s.texts) edit->setText(text);
    for (const auto& [widget, off] : s.disabled) widget->setEnabled(!off);
    for (int r = 0; r < s.dataRows.size(); ++r) w.ListData->topLevelItem(r)->setSelected(s.dataRows[r]);
    w.mStartUp = false;
}

void makeWorld()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_window";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);

    world = new World;
    World& x = *world;
    if (!x.folder.isValid()) broken("no scratch folder");
    x.port = static_cast<ScriptedPort*>(x.ports.add(std::make_unique<ScriptedPort>("ttyFUZZ")));
    x.clock.fixNow(QDateTime(QDate(2024, 5, 1), QTime(12, 0, 0)));
    x.clock.fixTicks(123456);
    x.prompter.exportPath = QDir(x.folder.path()).filePath("export");
    {
        QFile prefs(QDir(x.folder.path()).filePath("DravikStudio.pref"));
        if (!prefs.open(QIODevice::WriteOnly)) broken("cannot write the preferences file");
        prefs.write("SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:TRUE\nDATA:0,1,2,\n");
    }

    WdwMainEnvironment env;
    env.ports = &x.ports;
    env.prompter = &x.prompter;
    env.clock = &x.clock;
    env.preferencesFolder = x.folder.path();
    const View3DFactory recording = recordingView3DFactory(true);
    env.view3DFactory = [recording](QWidget* parent) {
        std::unique_ptr<View3D> view = recording(parent);
        world->view3D = static_cast<RecordingView3D*>(view.get());
        return view;
    };
    x.window = new WdwMain(env);
    WdwMain& w = *x.window;
    x.start = takeState(w);
    x.buttons = {w.RadioMagnetic, w.RadioTrue, w.RadioCompassDegrees, w.RadioCompassMils,
                 w.RadioTemperatureCelsius, w.RadioTemperatureFahrenheit, w.CheckSingleCharacterHalt,
                 w.CheckDamping, w.RadioVaroMode, w.RadioRawMode, w.PushConfigurationDefault,
                 w.CheckContrast, w.CheckDataLogAutoScroll, w.PushCalibrationClear, w.PushDataLogClear,
                 w.PushDataLogExport, w.PushSystemLogExport};
    // Not the port and computer rate: those rewrite the preferences file, which every
    // input starts from.
    x.popups = {w.PopupModuleBaudRate, w.PopupDampsize, w.PopupAsicPeriod};
}

// Every input meets the window as it is right after start-up with port 0 open.
void startInput()
{
    World& x = *world;
    WdwMain& w = *x.window;
    w.mTestGoing = false;
    w.mDataLogging = false;
    w.mDataLoggingNow = false;
    w.mUserCalibration = false;
    w.TabMain->setCurrentIndex(0);
    putState(w, x.start);
    w.TimerEvent->stop();
    w.TimerSerialActivity->stop();
    w.mEvent = 0;
    w.mInputStr.clear();
    w.mUserCalDataX.clear();
    w.mUserCalDataY.clear();
    w.mUserCalDataCount = 0;
    w.mModuleID.clear();
    w.m3AxisModule = false;
    w.mError = false;
    w.mOldError = false;
    w.mHeading = w.mPitch = w.mRoll = 0;
    w.dataLogModel()->clearRows();
    w.UpdateDataLoggerListBox();
    w.WdwMain_Open();
    w.ListSystemLog->clear();
    x.port->takeWritten();
    x.port->forgetOpenings();
    if (x.view3D) x.view3D->forgetCalls();
    x.prompter.shown.clear();
    x.prompter.nextYes = true;
    QFile::remove(x.prompter.exportPath);
}

void tick()
{
    WdwMain& w = *world->window;
    QCoreApplication::sendPostedEvents();
    w.TimerSerialControl_Action();
    // Every complete line is handled within the tick, and what stays is bounded.
    if (w.mInputStr.contains('\r')) broken("a complete line stayed in the receive buffer");
    if (w.mInputStr.size() > 64 * 1024) broken("the receive buffer grew beyond 64 KiB");
    if (w.mUserCalDataCount < 0 || w.mUserCalDataCount > w.mUserCalDataX.size() ||
        w.mUserCalDataX.size() != w.mUserCalDataY.size())
        broken("the calibration point store lost its shape");
}

void arrive(const QByteArray& bytes)
{
    if (!bytes.isEmpty()) world->port->deliver(bytes);
    QCoreApplication::sendPostedEvents();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!world) makeWorld();
    World& x = *world;
    WdwMain& w = *x.window;
    startInput();

    const auto* p = data;
    const auto* const end = data + size;
    const auto next = [&]() -> uint8_t { return p != end ? *p++ : 0; };
    QByteArray pending;
    while (p != end) {
        const uint8_t c = *p++;
        if (c < 0xF0) {
            pending += char(c);
            continue;
        }
        switch (c) {
        case 0xF0:
            arrive(pending);
            pending.clear();
            tick();
            break;
        case 0xF1: w.PushTestGo->click(); break;
        case 0xF2: w.PushDataLogGo->click(); break;
        case 0xF3: w.PushCalibrationStart->click(); break;
        case 0xF4: w.PushButton1->click(); break;
        case 0xF5: {
            const int tab = next() % 6;
            if (w.TabMain->isTabEnabled(tab)) w.TabMain->setCurrentIndex(tab);
            break;
        }
        case 0xF6:
            if (w.TimerEvent->isActive()) w.TimerEvent_Action();
            if (w.TimerSerialActivity->isActive()) w.TimerSerialActivity_Action();
            break;
        case 0xF7: x.buttons[next() % x.buttons.size()]->click(); break;
        case 0xF8: {
            QComboBox* popup = x.popups[next() % x.popups.size()];
            const int row = next();
            if (popup->isEnabled() && popup->count() > 0) popup->setCurrentIndex(row % popup->count());
            break;
        }
        case 0xF9: {
            QTreeWidgetItem* item = w.ListData->topLevelItem(next() % 3);
            if (item && w.ListData->isEnabled()) item->setSelected(!item->isSelected());
            break;
        }
        case 0xFA:
            if (w.EditDeclination->isEnabled()) {
                w.EditDeclination->setText(QString::fromLatin1(pending));
                w.EditDeclination_LostFocus();
            }
            pending.clear();
            break;
        case 0xFB:
        {
            // What draws the module's numbers: the graph, the reading, and what the
            // table would show (read from its model: painting the view is slow).
            (void)w.CanvasUserCalGraph->grab();
            (void)w.CanvasReadingBackground->grab();
            QAbstractItemModel* table = w.ListDataLog->model();
            for (int c = 0; c < table->columnCount(); ++c) (void)table->headerData(c, Qt::Horizontal);
            for (int r = qMax(0, table->rowCount() - 40); r < table->rowCount(); ++r)
                for (int c = 0; c < table->columnCount(); ++c) (void)table->index(r, c).data();
            break;
        }
        case 0xFC: x.prompter.nextYes = false; break;
        case 0xFD:
            arrive(pending);
            pending.clear();
            break;
        case 0xFE: {
            // Up to 96 KiB: enough to pass the receive buffer's limit.
            const int times = 1 + next() * 64;
            qsizetype sent = 0;
            for (int i = 0; i < times && !pending.isEmpty() && sent < 96 * 1024; ++i) {
                arrive(pending);
                sent += pending.size();
                if (i % 16 == 15) tick();
            }
            pending.clear();
            tick();
            break;
        }
        case 0xFF: pending += char(next()); break;
        }
    }
    arrive(pending);
    tick();
    return 0;
}
