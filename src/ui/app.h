#pragma once
// The application object: the menu bar MenuBar1 with its File and Edit menus, the
// About command and quitting. The main window is created through it so that it gets
// the menu bar; whoever asks for the window owns it.
#include <QApplication>
#include <QList>
#include <QPointer>
#include <functional>
#include <memory>

#include "wdwabout.h"
#include <QMenuBar>

#include "wdwmain.h"

class QAction;
class QMenuBar;

class App : public QApplication {
    Q_OBJECT
public:
    App(int& argc, char** argv);
    ~App() override;

    // The App of this process, or nullptr when the application object is another one.
    static App* instance();

    // Creates the main window with the environment, gives it the menu bar MenuBar1
    // and runs its open handlers. A window created earlier is forgotten (its owner
    // destroys it).
    std::unique_ptr<WdwMain> createMainWindow(const WdwMainEnvironment& environment);
    WdwMain* mainWindow() const { return mMainWindow; }
    // MenuBar1 of the current main window (nullptr before the first one exists).
    QMenuBar* menuBar() const { return mMenuBar; }

    // Every menu item, separator included, in menu order.
    const QList<QAction*>& menuItems() const { return mItems; }
    // The menu item with this text, access-key marks ignored ("Quit", "Copy",
    // "About Zuno Studio"); nullptr if there is none.
    QAction* menuItem(const QString& text) const;

    // The About window while it exists (shown or hidden), else nullptr.
    WdwAbout* aboutWindow() const { return mAbout; }

    // AppleAboutZunoStudio: shows the About window, creating it first if needed.
    void AppleAboutZunoStudio_Action();
    // FileQuit: closes the windows (the main window's close handler saves the
    // preferences) and ends the event loop.
    void FileQuit_Action();
    bool quitChosen() const { return mQuitChosen; }
    // What ending the application means after the windows are closed; by default
    // QCoreApplication::quit(). A host that runs several sessions in one process (the
    // scenario runner) replaces it.
    void setQuitHandler(std::function<void()> handler) { mQuitHandler = std::move(handler); }

private:
    QAction* addItem(const char* name, const QString& text, const QKeySequence& shortcut);
    QMenuBar* buildMenuBar(QWidget* window);

    QList<QAction*> mItems;
    QPointer<WdwMain> mMainWindow;
    QPointer<QMenuBar> mMenuBar;
    QPointer<WdwAbout> mAbout;
    bool mQuitChosen = false;
    std::function<void()> mQuitHandler;
};
