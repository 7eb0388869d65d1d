// Logs one million data sentences through UpdateDataLog of a real main window (Qt
// platform offscreen, scripted port) and exports them; prints rows per second, bytes
// of memory per row and export seconds, and what the table costs once shown.
//
//   build/bench/datalog_bench [rows]
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <cstdio>
#include <unistd.h>

#include "fixedclock.h"
#include "windowfixture.h"
#include "link/portlist.h"
#include "readings/datalogmodel.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/wdwmain.h"

namespace {
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGE_SIZE) : 0;
}

// Sentences of a three-axis module in Varo mode with every word, values varying
// like a turning compass.
QList<QByteArray> sentences(int count)
{
    QList<QByteArray> all;
    all.reserve(count);
    for (int i = 0; i < count; ++i) {
        const double heading = (i * 0.7);
        all << QByteArray("$C") + QByteArray::number(std::fmod(heading, 360.0), 'f', 1) + "X" +
                   QByteArray::number(-40.0 + (i % 800) * 0.1, 'f', 2) + "Y" +
                   QByteArray::number(25.0 - (i % 500) * 0.1, 'f', 2) + "Z" +
                   QByteArray::number(-12.5 + (i % 250) * 0.1, 'f', 2) + "T" +
                   QByteArray::number(20.0 + (i % 50) * 0.1, 'f', 1) + "*" +
                   QByteArray::number(i % 256, 16).rightJustified(2, '0').toUpper() + "\r\n";
    }
    return all;
}
}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;

    QTemporaryDir folder;
    PortList ports;
    ports.add(std::make_unique<ScriptedPort>(QStringLiteral("ttyBENCH")));
    ScriptedPrompter prompter;
    FixedClock clock;  // real ticks
    WdwMainEnvironment env;
    env.ports = &ports;
    env.prompter = &prompter;
    env.clock = &clock;
    env.preferencesFolder = folder.path();
    env.view3DFactory = [](QWidget* parent) { return std::make_unique<RecordingView3D>(parent); };
    WdwMain w(env);
    w.mConnected = true;
    w.mReadConfiguration = true;  // keeps the configuration handlers silent
    w.RadioVaroMode->setChecked(true);
    w.mReadConfiguration = false;
    w.m3AxisModule = true;
    w.mModuleID = QStringLiteral("7");
    w.ListData->selectAll();
    w.UpdateDataLoggerListBox();
    w.mDataLogging = w.mDataLoggingNow = true;
    DataLogModel* model = w.dataLogModel();

    const QList<QByteArray> pool = sentences(10007);
    qint64 textBytes = 0;
    app.processEvents();
    const qint64 rssBefore = residentBytes();

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rows; ++i) w.UpdateDataLog(pool[i % pool.size()]);
    const double logSeconds = timer.nsecsElapsed() / 1e9;
    const qint64 rssAfter = residentBytes();
    for (int i = 0; i < model->columnCount(); ++i) textBytes += model->cell(rows - 1, i).size();

    if (model->storedRowCount() != rows) {
        std::printf("only %lld of %d rows stored\n", qlonglong(model->storedRowCount()), rows);
        return 1;
    }
    std::printf("rows logged:                 %d (%lld bytes of cell text in the last row)\n", rows,
                qlonglong(textBytes));
    std::printf("UpdateDataLog:               %.0f rows/s (%.0f times the line's 170 sentences/s)\n",
                rows / logSeconds, rows / logSeconds / 170.0);
    std::printf("memory per row, RSS growth:  %.1f bytes\n", double(rssAfter - rssBefore) / rows);
    std::printf("memory per row, model:       %.1f bytes filled, %.1f bytes allocated\n",
                double(model->memoryUsed()) / rows, double(model->memoryAllocated()) / rows);

    // The table shown: the first layout of all rows, then a batch of new rows as the
    // line delivers them, with auto-scroll.
    w.CheckDataLogAutoScroll->setChecked(true);
    w.show();
    w.TabMain->setCurrentIndex(4);
    w.ListDataLog->show();
    timer.restart();
    model->publish();
    app.processEvents();
    std::printf("first display of all rows:   %.1f ms\n", timer.nsecsElapsed() / 1e6);
    std::printf("memory per row, table shown: %.1f bytes (RSS growth since logging began)\n",
                double(residentBytes() - rssBefore) / rows);
    const int batches = 20;
    timer.restart();
    for (int b = 0; b < batches; ++b) {
        for (int i = 0; i < 17; ++i) w.UpdateDataLog(pool[i]);  // 100 ms of the line
        model->publish();
        app.processEvents();
    }
    std::printf("new rows shown at %d rows:  %.1f ms per batch (layout + auto-scroll); "
                "batches then paced every %d ms\n",
                rows, timer.nsecsElapsed() / 1e6 / batches, model->publishDelay());

    // Another tab in front: the table is hidden and lays nothing out, unless
    // auto-scroll is owed and made when it is shown again.
    for (bool autoScroll : {false, true}) {
        w.CheckDataLogAutoScroll->setChecked(autoScroll);
        w.ListDataLog->hide();
        model->setPublishDelay(0);
        timer.restart();
        for (int b = 0; b < batches; ++b) {
            for (int i = 0; i < 17; ++i) w.UpdateDataLog(pool[i]);
            model->publish();
            app.processEvents();
        }
        std::printf("table hidden, auto-scroll %-3s %.2f ms per batch; batches then paced every %d ms\n",
                    autoScroll ? "on:" : "off:", timer.nsecsElapsed() / 1e6 / batches, model->publishDelay());
    }

    const QString path = folder.filePath(QStringLiteral("ZunoStudioLog"));
    prompter.prepareSave(path);
    timer.restart();
    w.PushDataLogExport_Action();
    const double exportSeconds = timer.nsecsElapsed() / 1e9;
    std::printf("export:                      %.2f s for %lld rows, %lld bytes\n", exportSeconds,
                qlonglong(model->storedRowCount()), qlonglong(QFile(path).size()));
    if (!prompter.shown.isEmpty()) std::printf("message: %s\n", qPrintable(prompter.shown.join('\n')));

    w.allowClose();
    return 0;
}
