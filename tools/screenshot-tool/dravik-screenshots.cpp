// Shows the main window as the application does and writes one screenshot per tab,
// one of the reading display with contrast and one of the About window, into a folder. Run under a display (tools/screenshots
// starts Xvfb). The serial-port list holds one scripted port, so no real port is
// ever listed or opened.
//
//   dravik-screenshots OUTPUT_FOLDER
#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "link/portlist.h"
#include "link/systemclock.h"
#include "readings/view3d_qt.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/app.h"

namespace {
void pause(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool save(QWidget* window, const QString& path)
{
    const QPixmap shot = window->screen()->grabWindow(window->winId());
    if (shot.isNull() || !shot.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}
}  // namespace

int main(int argc, char** argv)
{
    App app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dravik-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));

    SystemClock clock;
    ScriptedPrompter prompter;
    PortList ports;
    ports.add(std::make_unique<ScriptedPort>(QStringLiteral("ttyUSB0")));
    WdwMainEnvironment env;
    env.ports = &ports;
    env.clock = &clock;
    env.prompter = &prompter;
    env.preferencesFolder = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    env.view3DFactory = createQt3DView;

    std::unique_ptr<WdwMain> window = app.createMainWindow(env);
    window->move(20, 20);
    window->show();
    pause(500);
    bool ok = true;
    for (int tab = 0; tab < window->TabMain->count(); ++tab) {
        window->TabMain->setCurrentIndex(tab);
        pause(400);
        const QString caption = window->TabMain->tabText(tab).remove(QLatin1Char(' '));
        ok = save(window.get(), out.filePath(QStringLiteral("tab%1-%2.png").arg(tab).arg(caption))) && ok;
    }
    // The reading display in its high-contrast look.
    window->TabMain->setCurrentIndex(3);
    window->CheckContrast->setChecked(true);
    pause(300);
    ok = save(window.get(), out.filePath(QStringLiteral("tab3-Test-contrast.png"))) && ok;
    window->CheckContrast->setChecked(false);

    window->TabMain->setCurrentIndex(0);
    app.AppleAboutZunoStudio_Action();
    pause(400);
    if (WdwAbout* about = app.aboutWindow()) ok = save(about, out.filePath(QStringLiteral("about.png"))) && ok;

    app.setQuitHandler([] {});
    app.FileQuit_Action();
    window.reset();
    return ok ? 0 : 1;
}
