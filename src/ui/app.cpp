#include "app.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStyleFactory>

namespace {
// The Edit items work on the edit field that has the keyboard focus, and on nothing
// else.
template <typename Edit>
void onFocusedEdit(QAction* item, Edit edit)
{
    QObject::connect(item, &QAction::triggered, item, [edit] {
        if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget())) edit(field);
    });
}
}  // namespace

App::App(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Dravik Studio"));
    setApplicationVersion(QStringLiteral("1.0"));
    // The window's geometry is fixed to the pixel; one style keeps it looking the
    // same on every desktop.
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) setStyle(style);

    QAction* quit = addItem("FileQuit", QStringLiteral("Quit"), QKeySequence(QStringLiteral("Ctrl+Q")));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &App::FileQuit_Action);

    onFocusedEdit(addItem("EditUndo", QStringLiteral("&Undo"), QKeySequence(QStringLiteral("Ctrl+Z"))),
                  [](QLineEdit* e) { e->undo(); });
    QAction* separator = new QAction(this);
    separator->setObjectName(QStringLiteral("UntitledMenu0"));
    separator->setSeparator(true);
    mItems << separator;
    onFocusedEdit(addItem("EditCut", QStringLiteral("Cu&t"), QKeySequence(QStringLiteral("Ctrl+X"))),
                  [](QLineEdit* e) { e->cut(); });
    onFocusedEdit(addItem("EditCopy", QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C"))),
                  [](QLineEdit* e) { e->copy(); });
    onFocusedEdit(addItem("EditPaste", QStringLiteral("&Paste"), QKeySequence(QStringLiteral("Ctrl+V"))),
                  [](QLineEdit* e) { e->paste(); });
    // Clear removes the selection and nothing else.
    onFocusedEdit(addItem("EditClear", QStringLiteral("Clear"), QKeySequence()), [](QLineEdit* e) {
        if (e->hasSelectedText() && !e->isReadOnly()) e->del();
    });
    QAction* about = addItem("AppleAboutZunoStudio", QStringLiteral("About Zuno Studio"), QKeySequence());
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &App::AppleAboutZunoStudio_Action);
}

App::~App() = default;

App* App::instance()
{
    return qobject_cast<App*>(QCoreApplication::instance());
}

QAction* App::addItem(const char* name, const QString& text, const QKeySequence& shortcut)
{
    auto* item = new QAction(text, this);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    mItems << item;
    return item;
}

QAction* App::menuItem(const QString& text) const
{
    for (QAction* item : mItems)
        if (!item->isSeparator() && item->text().remove(QLatin1Char('&')) == text) return item;
    return nullptr;
}

QMenuBar* App::buildMenuBar(QWidget* window)
{
    auto* bar = new QMenuBar(window);
    bar->setObjectName(QStringLiteral("MenuBar1"));
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("EditMenu"));
    for (QAction* item : mItems) (item->objectName() == QLatin1String("FileQuit") ? file : edit)->addAction(item);
    return bar;
}

std::unique_ptr<WdwMain> App::createMainWindow(const WdwMainEnvironment& environment)
{
    if (mAbout) mAbout->close();
    mQuitChosen = false;
    auto window = std::make_unique<WdwMain>(environment);
    mMenuBar = buildMenuBar(window.get());
    window->setMenuBar(mMenuBar);
    window->adjustSize();
    mMainWindow = window.get();
    return window;
}

void App::AppleAboutZunoStudio_Action()
{
    if (!mAbout) {
        mAbout = new WdwAbout(mMainWindow);
        // Closed by its own button it is destroyed; forget it at once so that the
        // next About command makes a new one.
        connect(mAbout, &WdwAbout::closing, this, [this] { mAbout = nullptr; });
    }
    mAbout->show();
    mAbout->raise();
    mAbout->activateWindow();
}

void App::FileQuit_Action()
{
    mQuitChosen = true;
    if (mAbout) mAbout->close();
    if (mMainWindow) {
        mMainWindow->allowClose();
        mMainWindow->close();
    }
    if (mQuitHandler) mQuitHandler();
    else QCoreApplication::quit();
}
