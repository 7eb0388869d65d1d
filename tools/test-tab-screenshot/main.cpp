// Shows the Test tab while the simulated module streams and saves what the screen
// shows: one picture of the window per frame and a sheet of the Test tab's frames
// side by side, so that the digits and the turning helicopter can be looked at.
// Needs a display with OpenGL; tools/screenshot-test-tab runs it under Xvfb.
//
//     test-tab-screenshot OUTDIR [FRAMES [INTERVAL_MS]]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <cstdio>

#include "link/portlist.h"
#include "link/systemclock.h"
#include "readings/view3d_qt.h"
#include "sim/simulatedport.h"
#include "ui/prompter.h"
#include "ui/wdwmain.h"

namespace {
// Nobody is there to answer: messages go to the terminal, questions are answered No.
class TerminalPrompter : public Prompter {
public:
    void message(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool question(const QString& text) override
    {
        std::fprintf(stderr, "question: %s (No)\n", qPrintable(text));
        return false;
    }
    QString saveFileName(const QString&) override { return {}; }
};

void runFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool waitFor(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        runFor(20);
    }
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTDIR [FRAMES [INTERVAL_MS]]\n", argv[0]);
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const int frames = argc > 2 ? std::max(1, atoi(argv[2])) : 4;
    const int interval = argc > 3 ? std::max(100, atoi(argv[3])) : 4000;
    QDir().mkpath(outDir);

    // A scratch preferences folder that chooses the simulated module, the only port.
    QTemporaryDir prefs;
    {
        QFile file(prefs.filePath("DravikStudio.pref"));
        if (!file.open(QIODevice::WriteOnly)) return 1;
        file.write("SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n");
    }
    PortList ports;
    ports.add(createSimulatedModulePort());
    SystemClock clock;
    TerminalPrompter prompter;
    WdwMainEnvironment env;
    env.ports = &ports;
    env.prompter = &prompter;
    env.clock = &clock;
    env.preferencesFolder = prefs.path();
    env.view3DFactory = createQt3DView;
    WdwMain window(env);
    window.move(0, 0);
    window.show();

    if (!waitFor([&] { return window.mConnected && !window.mReadConfiguration; }, 15000)) {
        std::fprintf(stderr, "the simulated module did not finish the configuration read\n");
        return 1;
    }
    window.TabMain->setCurrentIndex(3);
    window.PushTestGo->click();
    if (!waitFor([&] { return window.StaticReadingHeadingValue->text() != QLatin1String("000.0"); }, 15000)) {
        std::fprintf(stderr, "no heading arrived in test mode\n");
        return 1;
    }

    QScreen* screen = window.screen();
    QList<QImage> tabs;
    for (int i = 0; i < frames; ++i) {
        if (i > 0) runFor(interval);
        runFor(300);  // the latest frame drawn
        const QString heading = window.StaticReadingHeadingValue->text();
        const QImage shot = screen->grabWindow(window.winId()).toImage();
        const QString name = QDir(outDir).filePath(QStringLiteral("test-tab-%1.png").arg(i));
        shot.save(name);
        std::printf("%s heading %s\n", qPrintable(name), qPrintable(heading));
        // The Test tab's two group boxes.
        const QWidget* content = window.centralWidget();
        const QRect left(window.GroupReadings->mapTo(content, QPoint(0, 0)), window.GroupReadings->size());
        const QRect right(window.Group3DModel->mapTo(content, QPoint(0, 0)), window.Group3DModel->size());
        const QPoint offset = content->mapTo(&window, QPoint(0, 0));
        tabs << shot.copy(left.united(right).translated(offset).adjusted(-6, -6, 6, 6));
    }

    // The frames side by side.
    const QSize cell = tabs.first().size();
    QImage sheet(cell.width() * std::min(frames, 2), cell.height() * ((frames + 1) / 2), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < tabs.size(); ++i)
        painter.drawImage((i % 2) * cell.width(), (i / 2) * cell.height(), tabs[i]);
    painter.end();
    const QString sheetName = QDir(outDir).filePath("test-tab-sheet.png");
    sheet.save(sheetName);
    std::printf("%s\n", qPrintable(sheetName));

    window.allowClose();
    return 0;
}
