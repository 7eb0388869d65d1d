// The application object: the menu bar, the Edit items on the focused edit field,
// the About window's single instance, and quitting.
#include <QAction>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "fixedclock.h"
#include "link/portlist.h"
#include "scriptedport.h"
#include "scriptedprompter.h"
#include "ui/app.h"
#include "ui/controls.h"

namespace {
struct AppFixture {
    QTemporaryDir folder;
    PortList ports;
    ScriptedPrompter prompter;
    FixedClock clock;
    std::unique_ptr<WdwMain> window;
    int quits = 0;

    AppFixture()
    {
        ports.add(std::make_unique<ScriptedPort>(QStringLiteral("ttyTEST")));
        WdwMainEnvironment env;
        env.ports = &ports;
        env.prompter = &prompter;
        env.clock = &clock;
        env.preferencesFolder = folder.path();
        App::instance()->setQuitHandler([this] { ++quits; });
        window = App::instance()->createMainWindow(env);
    }
    ~AppFixture()
    {
        if (window) window->allowClose();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QString prefsPath() const { return folder.filePath(QStringLiteral("DravikStudio.pref")); }
};

QAction* item(const QString& text)
{
    QAction* found = App::instance()->menuItem(text);
    if (!found) qWarning("no menu item %s", qPrintable(text));
    return found;
}

int aboutWindows()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<WdwAbout*>(w)) ++count;
    return count;
}
}  // namespace

class TestApp : public QObject {
    Q_OBJECT
private slots:
    void menuItems_data();
    void menuItems();
    void menuOrder();
    void aboutWindow();
    void aboutIsSingleUntilClosed();
    void editItemsWithoutFocusedFieldDoNothing();
    void editItemsActOnFocusedField_data();
    void editItemsActOnFocusedField();
    void quitClosesAndSaves();
};

void TestApp::menuItems_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("menu");
    QTest::newRow("Quit") << "Quit" << "FileQuit" << "Ctrl+Q" << "FileMenu";
    QTest::newRow("Undo") << "Undo" << "EditUndo" << "Ctrl+Z" << "EditMenu";
    QTest::newRow("Cut") << "Cut" << "EditCut" << "Ctrl+X" << "EditMenu";
    QTest::newRow("Copy") << "Copy" << "EditCopy" << "Ctrl+C" << "EditMenu";
    QTest::newRow("Paste") << "Paste" << "EditPaste" << "Ctrl+V" << "EditMenu";
    QTest::newRow("Clear") << "Clear" << "EditClear" << "" << "EditMenu";
    QTest::newRow("About") << "About Zuno Studio" << "AppleAboutZunoStudio" << "" << "EditMenu";
}

void TestApp::menuItems()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(QString, shortcut);
    QFETCH(QString, menu);
    AppFixture f;
    QMenuBar* bar = App::instance()->menuBar();
    QVERIFY(bar);
    QCOMPARE(bar->objectName(), QString("MenuBar1"));
    QCOMPARE(f.window->menuBar(), bar);
    QAction* action = item(text);
    QVERIFY(action);
    QCOMPARE(action->objectName(), name);
    QCOMPARE(action->shortcut().toString(), shortcut);
    QVERIFY(action->isEnabled());
    auto* owner = bar->findChild<QMenu*>(menu);
    QVERIFY(owner);
    QVERIFY(owner->actions().contains(action));
}

void TestApp::menuOrder()
{
    AppFixture f;
    QMenuBar* bar = App::instance()->menuBar();
    QStringList menus;
    for (QAction* a : bar->actions()) menus << a->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit"}));
    QStringList edit;
    for (QAction* a : bar->findChild<QMenu*>("EditMenu")->actions()) edit << (a->isSeparator() ? "-" : a->text());
    QCOMPARE(edit, (QStringList{"&Undo", "-", "Cu&t", "&Copy", "&Paste", "Clear", "About Zuno Studio"}));
}

void TestApp::aboutWindow()
{
    AppFixture f;
    QCOMPARE(App::instance()->aboutWindow(), nullptr);
    item("About Zuno Studio")->trigger();
    WdwAbout* about = App::instance()->aboutWindow();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QString("About"));
    QCOMPARE(about->size(), QSize(379, 317));
    QCOMPARE(about->parentWidget(), f.window.get());
    QVERIFY(about->windowFlags() & Qt::Window);
    const QStringList lines = about->StaticText1->text().split('\n');
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.mid(0, 3), (QStringList{"Dravik Studio", "Version 1.0", ""}));
    QVERIFY(!lines[3].isEmpty() && !lines[4].isEmpty());
    QCOMPARE(about->PushButton1->text(), QString("Close"));
    // The board's logo, white made transparent, at its own size.
    QVERIFY(about->Canvas1->hasBackdrop());
    QCOMPARE(about->Canvas1->size(), about->Canvas1->backdrop()->size());
    QCOMPARE(about->Canvas1->pos(), QPoint(125, 14));
    QCOMPARE(about->Canvas1->backdrop()->toImage().pixelColor(0, 0).alpha(), 0);
}

void TestApp::aboutIsSingleUntilClosed()
{
    AppFixture f;
    QAction* about = item("About Zuno Studio");
    about->trigger();
    QPointer<WdwAbout> first = App::instance()->aboutWindow();
    about->trigger();
    QCOMPARE(App::instance()->aboutWindow(), first.data());
    QCOMPARE(aboutWindows(), 1);

    // "Close" only hides it; the next About shows the same window where it was left.
    first->move(first->pos() + QPoint(37, 21));
    first->resize(420, 350);
    const QPoint leftAt = first->pos();
    QTest::mouseClick(first->PushButton1, Qt::LeftButton);
    QVERIFY(first);
    QVERIFY(first->isHidden());
    about->trigger();
    QCOMPARE(App::instance()->aboutWindow(), first.data());
    QVERIFY(first->isVisible());
    QCOMPARE(first->pos(), leftAt);
    QCOMPARE(first->size(), QSize(420, 350));

    // Its own close button destroys it; the next About makes a fresh one.
    QVERIFY(first->close());
    QCOMPARE(App::instance()->aboutWindow(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!first);
    QCOMPARE(aboutWindows(), 0);
    about->trigger();
    WdwAbout* second = App::instance()->aboutWindow();
    QVERIFY(second);
    QVERIFY(second->isVisible());
    QCOMPARE(second->size(), QSize(379, 317));
    QCOMPARE(aboutWindows(), 1);
}

void TestApp::editItemsWithoutFocusedFieldDoNothing()
{
    AppFixture f;
    WdwMain& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.EditDeclination->setText("12.5");
    w.EditDeclination->selectAll();
    w.PushButton1->setFocus();  // the focus is elsewhere
    QApplication::clipboard()->setText("kept");
    for (const char* text : {"Cut", "Paste", "Clear", "Undo", "Copy"}) item(text)->trigger();
    QCOMPARE(w.EditDeclination->text(), QString("12.5"));
    QCOMPARE(QApplication::clipboard()->text(), QString("kept"));
}

void TestApp::editItemsActOnFocusedField_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipboard");
    // The field holds "12.5", all of it selected; the clipboard holds "-3".
    QTest::newRow("Cut") << QStringList{"Cut"} << "" << "12.5";
    QTest::newRow("Copy") << QStringList{"Copy"} << "12.5" << "12.5";
    QTest::newRow("Paste") << QStringList{"Paste"} << "-3" << "-3";
    QTest::newRow("Clear") << QStringList{"Clear"} << "" << "-3";
    QTest::newRow("Cut, Undo") << QStringList{"Cut", "Undo"} << "12.5" << "12.5";
}

void TestApp::editItemsActOnFocusedField()
{
    QFETCH(QStringList, items);
    QFETCH(QString, text);
    QFETCH(QString, clipboard);
    AppFixture f;
    WdwMain& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.TabMain->setCurrentIndex(1);
    w.GroupNorthReference->setEnabled(true);  // as once the module answered
    w.EditDeclination->setText("12.5");
    w.EditDeclination->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.EditDeclination));
    w.EditDeclination->selectAll();
    QApplication::clipboard()->setText("-3");
    for (const QString& name : items) item(name)->trigger();
    QCOMPARE(w.EditDeclination->text(), text);
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
}

void TestApp::quitClosesAndSaves()
{
    AppFixture f;
    WdwMain& w = *f.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    item("About Zuno Studio")->trigger();
    QPointer<WdwAbout> about = App::instance()->aboutWindow();
    QVERIFY(!QFile::exists(f.prefsPath()));
    QVERIFY(!w.close());  // the window alone cannot be closed

    item("Quit")->trigger();
    QCOMPARE(f.quits, 1);
    QVERIFY(App::instance()->quitChosen());
    QVERIFY(!w.isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!about);
    // The close handler wrote the preferences.
    QVERIFY(QFile::exists(f.prefsPath()));
}

int main(int argc, char** argv)
{
    App app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestApp test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_app.moc"
