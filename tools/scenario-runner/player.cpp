#include "player.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "link/portlist.h"
#include "link/qtserialport.h"
#include "readings/view3d_recording.h"
#include "sim/simulatedport.h"
#include "ui/app.h"
#include "ui/controls.h"
#include "ui/wdwmain.h"

using scenario::Keyword;
using scenario::quoted;
using scenario::Step;
using scenario::Target;

namespace {

const QString kPreferencesFileName = QStringLiteral("DravikStudio.pref");

QString boolText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

QString quotedText(const QString& text) { return quoted(text.toUtf8()); }

QString className(const QObject* object) { return QString::fromLatin1(object->metaObject()->className()); }

// A menu item's text as the user reads it: access-key marks and shortcut hints removed.
QString menuText(QString text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) text.truncate(tab);
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;  // "&&" is a literal "&", "&x" marks x
        }
        plain += text[i];
    }
    return plain;
}

QList<QAction*> menuItems()
{
    QList<QAction*> items;
    QSet<QAction*> seen;
    std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (action->isSeparator() || seen.contains(action)) continue;
            seen.insert(action);
            if (action->menu())
                walk(action->menu()->actions());
            else
                items << action;
        }
    };
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* bar = qobject_cast<QMenuBar*>(widget)) walk(bar->actions());
    for (QWidget* widget : QApplication::allWidgets())
        if (auto* menu = qobject_cast<QMenu*>(widget)) walk(menu->actions());
    return items;
}

QList<int> selectedRows(const QAbstractItemView* view)
{
    QList<int> rows;
    if (!view->selectionModel()) return rows;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        if (!rows.contains(index.row())) rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString rowList(const QList<int>& rows)
{
    if (rows.isEmpty()) return QStringLiteral("none");
    QStringList parts;
    for (int r : rows) parts << QString::number(r);
    return parts.join(QLatin1Char(' '));
}

QString describeControl(QWidget* w, const Target& target)
{
    return QStringLiteral("%1 (%2)").arg(target.text(), className(w));
}

}  // namespace

// ------------------------------------------------------------------ SystemLogReader

void SystemLogReader::attach(QAbstractItemModel* model)
{
    QObject::disconnect(mConnection);
    mRows.clear();
    if (!model) return;
    // Rows already there were added before anyone could sort the list: model order.
    for (int r = 0; r < model->rowCount(); ++r) mRows << QPersistentModelIndex(model->index(r, 0));
    mConnection = connect(model, &QAbstractItemModel::rowsInserted, this,
                          [this, model](const QModelIndex& parent, int first, int last) {
                              if (parent.isValid()) return;
                              for (int r = first; r <= last; ++r)
                                  mRows << QPersistentModelIndex(model->index(r, 0));
                          });
}

QString SystemLogReader::cell(int entry, int column) const
{
    if (entry < 0 || entry >= mRows.size() || !mRows[entry].isValid()) return {};
    return mRows[entry].sibling(mRows[entry].row(), column).data(Qt::DisplayRole).toString();
}

// ------------------------------------------------------------------------- Player

Player::Player()
{
    mPreviousFolder = QDir::currentPath();
    QDir::setCurrent(mScratch.path());
}

Player::~Player()
{
    tearDown();
    mPorts.reset();
    QDir::setCurrent(mPreviousFolder);
}

Outcome Player::play(const scenario::Script& script)
{
    if (!script.errors.isEmpty()) {
        const auto& e = script.errors.first();
        return {false, e.line, e.text()};
    }
    if (!mScratch.isValid())
        return {false, 0, QStringLiteral("expected a scratch folder, saw none could be made")};
    for (const Step& step : script.steps) {
        if (onStep) onStep(step.line);
        Failure failure = run(step);
        if (!failure) failure = unpreparedDialog();
        if (failure) return {false, step.line, *failure};
    }
    return {};
}

Player::Failure Player::run(const Step& step)
{
    switch (step.keyword) {
    case Keyword::Ports:
    case Keyword::FailOpen:
    case Keyword::Device:
    case Keyword::ModuleRate:
    case Keyword::Prefs:
    case Keyword::Clock:
    case Keyword::Ticks:
    case Keyword::No3D:
        return runSetup(step);
    case Keyword::Start:
        return start(step.line);
    default:
        break;
    }
    if (step.isExpectation()) return runExpectation(step);
    Failure failure = runAction(step);
    // Quitting is the application's only way to close its main window.
    if (!failure && mStarted && !mEnded && (!mWindow || !mWindow->isVisible())) tearDown();
    return failure;
}

// ---------------------------------------------------------------------- set-up

Player::Failure Player::runSetup(const Step& step)
{
    switch (step.keyword) {
    case Keyword::Ports:
        for (const QByteArray& name : step.texts) {
            const QString portName = QString::fromUtf8(name);
            Declared d{portName == QLatin1String(kSimulatedModulePortName) ? Declared::Simulated : Declared::Scripted,
                       portName, {}, step.line};
            if (d.kind == Declared::Scripted) {
                mScripted.push_back(std::make_unique<ScriptedPort>(portName));
                d.scripted = mScripted.back().get();
            }
            mDeclared << d;
        }
        return {};
    case Keyword::FailOpen:
        mFailOpen << qMakePair(QString::fromUtf8(step.texts[0]), step.line);
        return {};
    case Keyword::Device:
        mDeclared << Declared{Declared::Device, QString::fromUtf8(step.texts[0]), QString::fromUtf8(step.texts[1]),
                              step.line};
        return {};
    case Keyword::ModuleRate:
        mModuleRate = qint32(step.numbers[0]);
        return {};
    case Keyword::Prefs: {
        QFile file(preferencesPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(step.texts[0]) != step.texts[0].size())
            return QStringLiteral("expected to write the preferences file, saw %1").arg(file.errorString());
        return {};
    }
    case Keyword::Clock:
        mClock.fixNow(QDateTime::fromString(QString::fromUtf8(step.texts[0]), QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        return {};
    case Keyword::Ticks:
        mClock.fixTicks(step.numbers[0]);
        return {};
    case Keyword::No3D:
        mNo3D = true;
        return {};
    default:
        return QStringLiteral("expected a set-up step, saw '%1'").arg(step.word);
    }
}

Player::Failure Player::start(int line)
{
    mPorts = std::make_unique<PortList>();
    for (const auto& [name, failLine] : mFailOpen) {
        bool known = false;
        for (const Declared& d : mDeclared)
            if (d.kind == Declared::Scripted && d.name == name) {
                d.scripted->setFailOpen(true);
                known = true;
            }
        if (!known)
            return QStringLiteral("expected fail-open on line %1 to name a port of 'ports', saw %2")
                .arg(failLine).arg(quotedText(name));
    }
    for (const Declared& d : mDeclared) {
        switch (d.kind) {
        case Declared::Scripted:
            d.scripted->setModuleRate(mModuleRate);
            mPorts->add(std::make_unique<RecordingPort>(d.scripted, nullptr, &mWire));
            break;
        case Declared::Simulated: {
            std::unique_ptr<SerialPort> simulated = createSimulatedModulePort();
            if (!simulated)
                return QStringLiteral("expected the application's simulated module port (line %1), saw none: "
                                      "createSimulatedModulePort() returned nothing")
                    .arg(d.line);
            SerialPort* inner = simulated.get();
            mPorts->add(std::make_unique<RecordingPort>(inner, std::move(simulated), &mWire));
            break;
        }
        case Declared::Device:
            mPorts->add(std::make_unique<QtSerialPort>(d.name, d.path));
            break;
        }
    }

    WdwMainEnvironment env;
    env.ports = mPorts.get();
    env.prompter = &mPrompter;
    env.clock = &mClock;
    env.preferencesFolder = mScratch.path();
    env.view3DFactory = recordingView3DFactory(!mNo3D);

    // Through App when it is the application, as at start-up: the window gets the
    // real menu bar.
    if (App* app = App::instance()) mWindow = app->createMainWindow(env).release();
    else mWindow = new WdwMain(env);
    mStarted = true;
    mEnded = false;
    mLogMatched = 0;
    mLog.attach(mWindow->ListSystemLog ? mWindow->ListSystemLog->model() : nullptr);
    mWindow->show();
    mWindow->activateWindow();
    if (!QTest::qWaitForWindowExposed(mWindow, kPatienceMs))
        return QStringLiteral("expected the main window shown (start on line %1), saw it not exposed").arg(line);
    // Activation only matters for the keyboard focus; type checks the focus itself.
    const bool active = QTest::qWaitForWindowActive(mWindow, kPatienceMs);
    Q_UNUSED(active);
    return {};
}

// Quits as the "Quit" menu item does; without one, as the application's quit does:
// the main window may close, its close handler runs, the windows go away.
Player::Failure Player::quit()
{
    if (mEnded || !mWindow) {
        tearDown();
        return {};
    }
    QAction* quitItem = nullptr;
    for (QAction* item : menuItems())
        if (menuText(item->text()) == QLatin1String("Quit")) quitItem = item;
    if (quitItem) {
        quitItem->trigger();
    } else {
        mWindow->allowClose();
        mWindow->close();
    }
    Failure failure = poll([this]() -> Check {
        if (!mWindow || !mWindow->isVisible()) return holds();
        return notYet(QStringLiteral("expected the application to end on Quit, saw the main window still shown"));
    });
    tearDown();
    return failure;
}

void Player::tearDown()
{
    if (!mStarted) return;
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows << w;
    for (const QPointer<QWidget>& w : windows) delete w.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The process would end here, and the system would close its ports.
    if (mPorts)
        for (int i = 0; i < mPorts->size(); ++i) mPorts->port(i)->close();
    mEnded = true;
}

Player::Failure Player::unpreparedDialog() const
{
    if (mPrompter.unprepared.isEmpty()) return {};
    return QStringLiteral("expected an answer prepared for every question and save dialog, saw %1")
        .arg(mPrompter.unprepared);
}

void Player::pump(int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer wake;  // makes the blocking wait return in time
    wake.setSingleShot(true);
    wake.start(qMax(ms, 0));
    do {
        QCoreApplication::processEvents(ms > 0 ? QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents
                                               : QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } while (elapsed.elapsed() < ms);
}

Player::Failure Player::poll(const std::function<Check()>& condition)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (true) {
        const Check c = condition();
        if (c.verdict == Verdict::Holds) return {};
        if (c.verdict == Verdict::Never) return c.failure;
        if (Failure f = unpreparedDialog()) return f;
        if (elapsed.elapsed() >= kPatienceMs) return c.failure;
        pump(5);
    }
}

QString Player::scratchPath(const QByteArray& path) const
{
    return QDir(mScratch.path()).absoluteFilePath(QString::fromUtf8(path));
}

QString Player::preferencesPath() const { return QDir(mScratch.path()).filePath(kPreferencesFileName); }

ScriptedPort* Player::openScriptedPort() const
{
    for (const auto& port : mScripted)
        if (port->isOpen()) return port.get();
    return nullptr;
}

// ------------------------------------------------------------- finding controls

QWidget* Player::findWindow(const QString& name) const
{
    if (mEnded) return nullptr;
    if (mWindow && (mWindow->objectName() == name || className(mWindow) == name)) return mWindow;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name || className(w) == name) return w;
    return nullptr;
}

QWidget* Player::findControl(const Target& target, QString& problem) const
{
    if (mEnded) {
        problem = QStringLiteral("the application ended");
        return nullptr;
    }
    QWidget* window = target.window.isEmpty() ? static_cast<QWidget*>(mWindow.data()) : findWindow(target.window);
    if (!window) {
        problem = QStringLiteral("no window %1").arg(target.window.isEmpty() ? QStringLiteral("WdwMain") : target.window);
        return nullptr;
    }
    const auto named = [window](const QString& name) -> QWidget* {
        if (window->objectName() == name) return window;
        const auto all = window->findChildren<QWidget*>(name);
        return all.isEmpty() ? nullptr : all.first();
    };
    QWidget* found = nullptr;
    if (target.index < 0) {
        found = named(target.name);
        // A bare name may also be a window ("WdwAbout.title").
        if (!found && target.window.isEmpty()) found = findWindow(target.name);
    } else {
        found = named(QStringLiteral("%1[%2]").arg(target.name).arg(target.index));
        if (!found && window == mWindow) {
            const auto element = [&](const auto& array) -> QWidget* {
                return size_t(target.index) < array.size() ? array[size_t(target.index)] : nullptr;
            };
            if (target.name == QLatin1String("UserCalGraphX")) found = element(mWindow->UserCalGraphX);
            if (target.name == QLatin1String("UserCalGraphY")) found = element(mWindow->UserCalGraphY);
            if (target.name == QLatin1String("Separator")) found = element(mWindow->Separator);
        }
        if (!found) found = named(target.name + QString::number(target.index));
    }
    if (!found) problem = QStringLiteral("no control %1").arg(target.text());
    return found;
}

// A user can act only on a control that is shown and enabled.
Player::Failure Player::reachable(QWidget* control, const Target& target) const
{
    if (!control->isVisible())
        return QStringLiteral("expected %1 shown, so the user can reach it, saw it hidden").arg(target.text());
    if (!control->isEnabled())
        return QStringLiteral("expected %1 enabled, so the user can use it, saw it disabled").arg(target.text());
    return {};
}

QWidget* Player::contentOf(QWidget* window) const
{
    if (auto* main = qobject_cast<QMainWindow*>(window); main && main->centralWidget()) return main->centralWidget();
    return window;
}

std::optional<QString> Player::property(QWidget* w, const QString& name, QString& problem) const
{
    auto* label = qobject_cast<QLabel*>(w);
    auto* button = qobject_cast<QAbstractButton*>(w);
    auto* edit = qobject_cast<QLineEdit*>(w);
    auto* combo = qobject_cast<QComboBox*>(w);
    auto* group = qobject_cast<QGroupBox*>(w);
    auto* tabs = qobject_cast<QTabWidget*>(w);
    auto* view = qobject_cast<QAbstractItemView*>(w);

    if (name == QLatin1String("text")) {
        if (label) return label->text();
        if (button) return button->text();
        if (edit) return edit->text();
        if (combo) return combo->currentText();
        if (group) return group->title();
        if (tabs) return tabs->currentIndex() < 0 ? QString() : tabs->tabText(tabs->currentIndex());
    } else if (name == QLatin1String("title")) {
        if (group) return group->title();
        if (w->isWindow()) return w->windowTitle();
    } else if (name == QLatin1String("enabled")) {
        return boolText(w->isEnabled());
    } else if (name == QLatin1String("checked")) {
        if (button) return boolText(button->isChecked());
        if (group) return boolText(group->isChecked());
    } else if (name == QLatin1String("row")) {
        if (combo) return QString::number(combo->currentIndex());
        if (tabs) return QString::number(tabs->currentIndex());
        if (view) {
            const QList<int> rows = selectedRows(view);
            return QString::number(rows.isEmpty() ? -1 : rows.first());
        }
    } else if (name == QLatin1String("rowtext")) {
        if (combo) return combo->currentIndex() < 0 ? QString() : combo->itemText(combo->currentIndex());
        if (tabs) return tabs->currentIndex() < 0 ? QString() : tabs->tabText(tabs->currentIndex());
        if (view && view->model()) {
            const QList<int> rows = selectedRows(view);
            return rows.isEmpty() ? QString() : view->model()->index(rows.first(), 0).data().toString();
        }
    } else if (name == QLatin1String("rows")) {
        if (combo) return QString::number(combo->count());
        if (tabs) return QString::number(tabs->count());
        if (view && view->model()) return QString::number(view->model()->rowCount(view->rootIndex()));
    } else if (name == QLatin1String("columns")) {
        if (view && view->model()) return QString::number(view->model()->columnCount(view->rootIndex()));
    } else if (name == QLatin1String("visible")) {
        return boolText(w->isVisible());
    } else if (name == QLatin1String("x") || name == QLatin1String("y") || name == QLatin1String("width") ||
               name == QLatin1String("height")) {
        QRect r;
        if (w->isWindow()) {
            r = QRect(w->geometry().topLeft(), contentOf(w)->size());
        } else {
            QWidget* window = w->window();
            QWidget* content = contentOf(window);
            const QPoint origin = w->mapTo(window, QPoint(0, 0)) - (content == window ? QPoint(0, 0) : content->mapTo(window, QPoint(0, 0)));
            r = QRect(origin, w->size());
        }
        if (name == QLatin1String("x")) return QString::number(r.x());
        if (name == QLatin1String("y")) return QString::number(r.y());
        if (name == QLatin1String("width")) return QString::number(r.width());
        return QString::number(r.height());
    }
    problem = QStringLiteral("a %1 has no property '%2'").arg(className(w), name);
    return std::nullopt;
}

// ---------------------------------------------------------------------- actions

Player::Failure Player::runAction(const Step& step)
{
    switch (step.keyword) {
    case Keyword::Module:
        return module(step);
    case Keyword::Click:
        return click(step);
    case Keyword::Select:
        return select(step);
    case Keyword::SelectRows: {
        QString problem;
        QWidget* w = findControl(step.target, problem);
        if (!w) return QStringLiteral("expected a control %1, saw %2").arg(step.target.text(), problem);
        return selectRows(w, step, step.numbers);
    }
    case Keyword::Type:
        return type(step);
    case Keyword::Leave:
        return leave(step);
    case Keyword::Menu:
        return menu(step);
    case Keyword::Close: {
        QWidget* window = step.target.window.isEmpty() && step.target.index < 0 ? findWindow(step.target.name) : nullptr;
        if (!window)
            return QStringLiteral("expected a window %1, saw %2")
                .arg(step.target.text(), mEnded ? QStringLiteral("the application ended") : QStringLiteral("none"));
        window->close();  // the title bar's close button asks the window the same way
        return {};
    }
    case Keyword::Answer:
        mPrompter.prepareAnswer(step.name == QLatin1String("Yes"));
        return {};
    case Keyword::SaveTo:
        mPrompter.prepareSave(scratchPath(step.texts[0]));
        return {};
    case Keyword::CancelSave:
        mPrompter.prepareSave(QString());
        return {};
    case Keyword::Wait:
        pump(int(qMin<qint64>(step.numbers[0], 3600 * 1000)));
        return {};
    case Keyword::Restart: {
        if (Failure f = quit()) return f;
        return start(step.line);
    }
    case Keyword::Pull:
    case Keyword::Plug:
        return pullOrPlug(step);
    default:
        return QStringLiteral("expected an action, saw '%1'").arg(step.word);
    }
}

Player::Failure Player::module(const Step& step)
{
    ScriptedPort* port = openScriptedPort();
    if (!port) {
        if (mPorts)
            for (int i = 0; i < mPorts->size(); ++i)
                if (mPorts->port(i)->isOpen())
                    return QStringLiteral("expected a scripted port open for 'module', saw %1 open, which is no "
                                          "scripted port")
                        .arg(quotedText(mPorts->port(i)->name()));
        return {};  // nothing open: the bytes go nowhere, as on a closed line
    }
    if (!port->deliver(step.texts[0])) return {};  // a line rate the module does not understand
    return poll([this, port]() -> Check {
        if (port->unreadCount() > 0)
            return notYet(QStringLiteral("expected the application to read the module's bytes, saw %1 bytes unread")
                              .arg(port->unreadCount()));
        if (!mWindow) return holds();
        if (mWindow->mInputStr.contains('\r'))
            return notYet(QStringLiteral("expected the dispatcher to handle every complete line, saw mInputStr %1")
                              .arg(quoted(mWindow->mInputStr)));
        return holds();
    });
}

// The adapter of a scripted port is pulled out (the application is told the port is
// lost, and it cannot be opened) or put back (it opens again).
Player::Failure Player::pullOrPlug(const Step& step)
{
    const QString name = QString::fromUtf8(step.texts[0]);
    for (const Declared& d : mDeclared) {
        if (d.kind != Declared::Scripted || d.name != name) continue;
        if (step.keyword == Keyword::Pull) {
            d.scripted->setFailOpen(true);
            d.scripted->pull();
        } else {
            d.scripted->setFailOpen(false);
        }
        return {};
    }
    return QStringLiteral("expected '%1' to name a scripted port of 'ports', saw %2").arg(step.word, quotedText(name));
}

Player::Failure Player::click(const Step& step)
{
    QString problem;
    QWidget* w = findControl(step.target, problem);
    if (!w) return QStringLiteral("expected a control %1, saw %2").arg(step.target.text(), problem);
    auto* button = qobject_cast<QAbstractButton*>(w);
    if (!button)
        return QStringLiteral("expected a push button, check box or radio button, saw %1")
            .arg(describeControl(w, step.target));
    if (Failure f = reachable(w, step.target)) return f;
    button->click();
    return {};
}

Player::Failure Player::select(const Step& step)
{
    QString problem;
    QWidget* w = findControl(step.target, problem);
    if (!w) return QStringLiteral("expected a control %1, saw %2").arg(step.target.text(), problem);
    const int n = int(step.numbers[0]);
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (Failure f = reachable(w, step.target)) return f;
        if (n >= combo->count())
            return QStringLiteral("expected row %1 of %2, saw %3 rows").arg(n).arg(step.target.text()).arg(combo->count());
        // As the pop-up does when the user picks a row: the change first, then the activation.
        combo->setCurrentIndex(n);
        emit combo->activated(n);
        emit combo->textActivated(combo->itemText(n));
        return {};
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        if (Failure f = reachable(w, step.target)) return f;
        if (n >= tabs->count())
            return QStringLiteral("expected tab %1 of %2, saw %3 tabs").arg(n).arg(step.target.text()).arg(tabs->count());
        if (!tabs->isTabEnabled(n))
            return QStringLiteral("expected tab %1 of %2 enabled, saw it disabled").arg(n).arg(step.target.text());
        tabs->setCurrentIndex(n);
        return {};
    }
    if (qobject_cast<QAbstractItemView*>(w)) return selectRows(w, step, {step.numbers[0]});
    return QStringLiteral("expected a pop-up menu, a tab panel or a list, saw %1").arg(describeControl(w, step.target));
}

Player::Failure Player::selectRows(QWidget* w, const Step& step, const QList<qint64>& rows)
{
    auto* view = qobject_cast<QAbstractItemView*>(w);
    if (!view || !view->model() || !view->selectionModel())
        return QStringLiteral("expected a list, saw %1").arg(describeControl(w, step.target));
    if (Failure f = reachable(w, step.target)) return f;
    QAbstractItemModel* model = view->model();
    const int count = model->rowCount(view->rootIndex());
    for (qint64 r : rows)
        if (r >= count)
            return QStringLiteral("expected row %1 of %2, saw %3 rows").arg(r).arg(step.target.text()).arg(count);
    const bool multiple = view->selectionMode() == QAbstractItemView::MultiSelection ||
                          view->selectionMode() == QAbstractItemView::ExtendedSelection ||
                          view->selectionMode() == QAbstractItemView::ContiguousSelection;
    if (view->selectionMode() == QAbstractItemView::NoSelection && !rows.isEmpty())
        return QStringLiteral("expected a list that can be selected, saw %1 with no selection").arg(step.target.text());
    if (rows.size() > 1 && !multiple)
        return QStringLiteral("expected a multiple-selection list, saw %1 with single selection").arg(step.target.text());
    if (rows.isEmpty()) {
        view->selectionModel()->clearSelection();
        return {};
    }
    // One selection change, as one user gesture makes it.
    QItemSelection selection;
    const int last = model->columnCount(view->rootIndex()) - 1;
    for (qint64 r : rows)
        selection.select(model->index(int(r), 0, view->rootIndex()), model->index(int(r), qMax(last, 0), view->rootIndex()));
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    return {};
}

Player::Failure Player::type(const Step& step)
{
    QString problem;
    QWidget* w = findControl(step.target, problem);
    if (!w) return QStringLiteral("expected a control %1, saw %2").arg(step.target.text(), problem);
    auto* edit = qobject_cast<QLineEdit*>(w);
    if (!edit) return QStringLiteral("expected an edit field, saw %1").arg(describeControl(w, step.target));
    if (Failure f = reachable(w, step.target)) return f;
    if (edit->isReadOnly()) return QStringLiteral("expected %1 editable, saw it read-only").arg(step.target.text());
    // The user clicks into the field: its window comes to the front, the field takes the focus.
    QWidget* window = edit->window();
    if (QApplication::activeWindow() != window) {
        window->activateWindow();
        const bool active = QTest::qWaitForWindowActive(window, kPatienceMs);
        Q_UNUSED(active);
    }
    edit->setFocus(Qt::MouseFocusReason);
    if (Failure f = poll([edit, &step]() -> Check {
            if (edit->hasFocus()) return holds();
            return notYet(QStringLiteral("expected %1 to take the keyboard focus, saw it without focus")
                              .arg(step.target.text()));
        }))
        return f;
    edit->selectAll();
    const QString text = QString::fromUtf8(step.texts[0]);
    if (text.isEmpty())
        edit->del();
    else
        edit->insert(text);
    return {};
}

Player::Failure Player::leave(const Step& step)
{
    QString problem;
    QWidget* w = findControl(step.target, problem);
    if (!w) return QStringLiteral("expected a control %1, saw %2").arg(step.target.text(), problem);
    if (!w->hasFocus()) {
        QWidget* focus = QApplication::focusWidget();
        return QStringLiteral("expected %1 to have the keyboard focus, saw %2")
            .arg(step.target.text(),
                 focus ? QStringLiteral("the focus on %1").arg(focus->objectName().isEmpty() ? className(focus) : focus->objectName())
                       : QStringLiteral("no control with the focus"));
    }
    w->clearFocus();
    return {};
}

Player::Failure Player::menu(const Step& step)
{
    const QString wanted = QString::fromUtf8(step.texts[0]);
    if (mEnded) return QStringLiteral("expected menu item %1, saw the application ended").arg(quotedText(wanted));
    const QList<QAction*> items = menuItems();
    QAction* found = nullptr;
    QStringList names;
    for (QAction* item : items) {
        names << quotedText(menuText(item->text()));
        if (!found && (menuText(item->text()) == wanted || item->text() == wanted)) found = item;
    }
    if (!found)
        return QStringLiteral("expected a menu item %1, saw %2")
            .arg(quotedText(wanted), names.isEmpty() ? QStringLiteral("no menu items") : names.join(QStringLiteral(", ")));
    if (!found->isEnabled()) return QStringLiteral("expected menu item %1 enabled, saw it disabled").arg(quotedText(wanted));
    if (menuText(found->text()) == QLatin1String("Quit")) return quit();
    found->trigger();
    return {};
}

// ----------------------------------------------------------------- expectations

Player::Failure Player::runExpectation(const Step& step)
{
    if (step.keyword == Keyword::ExpectQuiet) return quiet(step);
    return poll([this, &step] { return check(step); });
}

Player::Failure Player::quiet(const Step& step)
{
    if (!mWire.unmatched().isEmpty())
        return QStringLiteral("expected nothing written before the quiet time, saw %1 unmatched")
            .arg(quoted(mWire.unmatched()));
    const qsizetype before = mWire.written.size();
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < step.numbers[0]) {
        pump(int(qMin<qint64>(10, step.numbers[0] - elapsed.elapsed())));
        if (Failure f = unpreparedDialog()) return f;
        if (mWire.written.size() > before) break;
    }
    if (mWire.written.size() > before)
        return QStringLiteral("expected nothing written for %1 ms, saw %2").arg(step.numbers[0]).arg(quoted(mWire.unmatched()));
    return {};
}

Player::Check Player::check(const Step& step)
{
    const bool aboutTheApplication =
        step.keyword != Keyword::ExpectSent && step.keyword != Keyword::ExpectFile &&
        step.keyword != Keyword::ExpectNoFile && step.keyword != Keyword::ExpectPrefs &&
        step.keyword != Keyword::ExpectMessage && step.keyword != Keyword::ExpectNoMessage;
    if (aboutTheApplication && (mEnded || !mWindow))
        return never(QStringLiteral("expected a running application for '%1', saw it ended").arg(step.word));

    switch (step.keyword) {
    case Keyword::ExpectSent: {
        const QByteArray& want = step.texts[0];
        const QByteArray seen = mWire.unmatched();
        if (seen.startsWith(want)) {
            mWire.matched += want.size();
            return holds();
        }
        const QString failure = QStringLiteral("expected sent %1, saw %2")
                                    .arg(quoted(want), seen.isEmpty() ? QStringLiteral("nothing") : quoted(seen));
        // Once the bytes differ, waiting cannot mend them.
        if (!want.startsWith(seen)) return never(failure);
        return notYet(failure);
    }
    case Keyword::ExpectLog: {
        const QString want = QString::fromUtf8(step.texts[0]);
        if (mLogMatched >= mLog.count())
            return notYet(QStringLiteral("expected log %1, saw no further entry").arg(quotedText(want)));
        const QString seen = mLog.text(mLogMatched);
        if (seen != want)
            return never(QStringLiteral("expected log %1, saw %2 (entry %3)").arg(quotedText(want), quotedText(seen)).arg(mLogMatched + 1));
        ++mLogMatched;
        return holds();
    }
    case Keyword::ExpectNoLog:
        if (mLogMatched < mLog.count())
            return never(QStringLiteral("expected no further log entry, saw %1").arg(quotedText(mLog.text(mLogMatched))));
        return holds();
    case Keyword::ExpectStamp: {
        const QString want = QString::fromUtf8(step.texts[0]);
        if (mLogMatched == 0) return never(QStringLiteral("expected stamp %1, saw no log entry matched yet").arg(quotedText(want)));
        const QString seen = mLog.stamp(mLogMatched - 1);
        // The stamp of an entry already made does not change.
        if (seen != want) return never(QStringLiteral("expected stamp %1, saw %2").arg(quotedText(want), quotedText(seen)));
        return holds();
    }
    case Keyword::Expect:
    case Keyword::ExpectNot: {
        QString problem;
        QWidget* w = findControl(step.target, problem);
        const QString what = step.target.text() + QLatin1Char('.') + step.property;
        if (!w) return notYet(QStringLiteral("expected a control %1, saw %2").arg(step.target.text(), problem));
        const std::optional<QString> value = property(w, step.property, problem);
        if (!value) return never(QStringLiteral("expected %1, saw %2").arg(what, problem));
        const QString want = QString::fromUtf8(step.texts[0]);
        if (step.keyword == Keyword::Expect && *value != want)
            return notYet(QStringLiteral("expected %1 %2, saw %3").arg(what, quotedText(want), quotedText(*value)));
        if (step.keyword == Keyword::ExpectNot && *value == want)
            return notYet(QStringLiteral("expected %1 not %2, saw %3").arg(what, quotedText(want), quotedText(*value)));
        return holds();
    }
    case Keyword::ExpectCell:
    case Keyword::ExpectHeadings:
    case Keyword::ExpectSelected: {
        QString problem;
        QWidget* w = findControl(step.target, problem);
        if (!w) return notYet(QStringLiteral("expected a control %1, saw %2").arg(step.target.text(), problem));
        auto* view = qobject_cast<QAbstractItemView*>(w);
        if (!view || !view->model()) return never(QStringLiteral("expected a list, saw %1").arg(describeControl(w, step.target)));
        QAbstractItemModel* model = view->model();
        const QModelIndex root = view->rootIndex();
        if (step.keyword == Keyword::ExpectCell) {
            const int row = int(step.numbers[0]), column = int(step.numbers[1]);
            const QString want = QString::fromUtf8(step.texts[0]);
            const QString where = QStringLiteral("cell (%1, %2) of %3").arg(row).arg(column).arg(step.target.text());
            if (row >= model->rowCount(root) || column >= model->columnCount(root))
                return notYet(QStringLiteral("expected %1 %2, saw %3 rows and %4 columns")
                                  .arg(where, quotedText(want)).arg(model->rowCount(root)).arg(model->columnCount(root)));
            const QString seen = model->index(row, column, root).data(Qt::DisplayRole).toString();
            if (seen != want) return notYet(QStringLiteral("expected %1 %2, saw %3").arg(where, quotedText(want), quotedText(seen)));
            return holds();
        }
        if (step.keyword == Keyword::ExpectHeadings) {
            QStringList want, seen;
            for (const QByteArray& t : step.texts) want << quoted(t);
            for (int c = 0; c < model->columnCount(root); ++c)
                seen << quotedText(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
            if (want != seen)
                return notYet(QStringLiteral("expected headings %1, saw %2")
                                  .arg(want.isEmpty() ? QStringLiteral("none") : want.join(QLatin1Char(' ')),
                                       seen.isEmpty() ? QStringLiteral("none") : seen.join(QLatin1Char(' '))));
            return holds();
        }
        QList<int> want;
        for (qint64 n : step.numbers)
            if (!want.contains(int(n))) want << int(n);
        std::sort(want.begin(), want.end());
        const QList<int> seen = selectedRows(view);
        if (want != seen)
            return notYet(QStringLiteral("expected selected rows %1 of %2, saw %3").arg(rowList(want), step.target.text(), rowList(seen)));
        return holds();
    }
    case Keyword::ExpectIndicator: {
        if (!mWindow->CanvasConnected) return never(QStringLiteral("expected the indicator CanvasConnected, saw none"));
        const int seen = mWindow->CanvasConnected->backdropCode();
        if (seen != step.numbers[0])
            return notYet(QStringLiteral("expected indicator %1, saw %2").arg(step.numbers[0]).arg(seen));
        return holds();
    }
    case Keyword::ExpectMessage: {
        const QString want = QString::fromUtf8(step.texts[0]);
        if (mMessagesMatched >= mPrompter.shown.size())
            return notYet(QStringLiteral("expected message %1, saw no further message").arg(quotedText(want)));
        const QString seen = mPrompter.shown[mMessagesMatched];
        if (seen != want) return never(QStringLiteral("expected message %1, saw %2").arg(quotedText(want), quotedText(seen)));
        ++mMessagesMatched;
        return holds();
    }
    case Keyword::ExpectNoMessage:
        if (mMessagesMatched < mPrompter.shown.size())
            return never(QStringLiteral("expected no further message, saw %1").arg(quotedText(mPrompter.shown[mMessagesMatched])));
        return holds();
    case Keyword::ExpectState: {
        const QString seen = mWindow->stateValue(step.name);
        const QString want = QString::fromUtf8(step.texts[0]);
        if (seen.isNull())
            return never(QStringLiteral("expected a state member %1, saw no such member (known: %2)")
                             .arg(step.name, WdwMain::stateNames().join(QStringLiteral(", "))));
        if (seen != want) return notYet(QStringLiteral("expected %1 %2, saw %3").arg(step.name, quotedText(want), quotedText(seen)));
        return holds();
    }
    case Keyword::Expect3DHeading: {
        const QString want = QString::number(step.decimal, 'g', 10);
        auto* view = dynamic_cast<RecordingView3D*>(mWindow->view3D());
        if (!view) return never(QStringLiteral("expected 3D heading %1, saw no 3D view").arg(want));
        const std::optional<double> seen = view->headingOf(mWindow->m3DModel);
        if (!seen) return notYet(QStringLiteral("expected 3D heading %1, saw no heading handed to the 3D view").arg(want));
        if (std::abs(*seen - step.decimal) > 0.001)
            return notYet(QStringLiteral("expected 3D heading %1, saw %2").arg(want, QString::number(*seen, 'g', 10)));
        return holds();
    }
    case Keyword::ExpectFile:
    case Keyword::ExpectPrefs: {
        const bool prefs = step.keyword == Keyword::ExpectPrefs;
        const QString path = prefs ? preferencesPath() : scratchPath(step.texts[0]);
        const QByteArray& want = prefs ? step.texts[0] : step.texts[1];
        const QString what = prefs ? QStringLiteral("the preferences file") : QStringLiteral("file %1").arg(quoted(step.texts[0]));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return notYet(QStringLiteral("expected %1 to hold %2, saw no such file").arg(what, quoted(want)));
        const QByteArray seen = file.readAll();
        if (seen != want) return notYet(QStringLiteral("expected %1 to hold %2, saw %3").arg(what, quoted(want), quoted(seen)));
        return holds();
    }
    case Keyword::ExpectNoFile:
        if (QFile::exists(scratchPath(step.texts[0])))
            return notYet(QStringLiteral("expected no file %1, saw it exists").arg(quoted(step.texts[0])));
        return holds();
    case Keyword::ExpectWindow: {
        if (!step.target.window.isEmpty() || step.target.index >= 0)
            return never(QStringLiteral("expected a window name, saw %1").arg(step.target.text()));
        QWidget* w = findWindow(step.target.name);
        const QString seen = !w ? QStringLiteral("absent") : w->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden");
        if (seen != step.name)
            return notYet(QStringLiteral("expected window %1 %2, saw it %3").arg(step.target.name, step.name, seen));
        return holds();
    }
    default:
        return never(QStringLiteral("expected an expectation, saw '%1'").arg(step.word));
    }
}
