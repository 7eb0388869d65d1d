// The data logger: choosing the output words, starting and stopping the module's
// output, and one table row per data sentence.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVarLengthArray>
#include <QEvent>
#include <algorithm>
#include <functional>
#include <memory>
#include <new>

#include "../ui/wdwmain.h"
#include "datalogfields.h"
#include "datalogmodel.h"

using DataLogFields::Column;

namespace {
const QByteArray kHalt = QByteArrayLiteral("h");

// Logging stops when a row cannot be stored: the module is halted and the user told.
// The rows stored so far stay.
void stopForMemory(WdwMain& w, Prompter* prompter)
{
    w.SendData(kHalt, !w.CheckSingleCharacterHalt->isChecked());
    w.PushDataLogGo->setText(QStringLiteral("Go"));
    w.mDataLogging = false;
    w.mDataLoggingNow = false;
    w.ListData->setEnabled(w.mConnected);
    w.mInputStr.clear();
    if (prompter)
        prompter->message(QStringLiteral(
            "Dravik Studio can not add new data in the data log because of insufficient "
            "memory. Data logging is now stopped."));
}

// A QTreeView lays out every row on each insertion, which takes milliseconds once
// the log holds a million rows. New rows are therefore announced in batches, paced
// so that laying them out takes about a twentieth of the time at most.
constexpr qint64 kLayoutShare = 19;
constexpr int kLongestPublishDelay = 3000;
// Even a short table takes its new rows at most 5 times a second. Each batch repaints
// the whole visible table, which is most of the cost of logging. At the line's rate a
// batch is some 33 rows, more than the table shows at once and faster than anyone
// reads; at the module's usual rates a row waits a fifth of a second at most.
constexpr int kShortestPublishDelay = 200;

// Runs an action whenever a widget is shown.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QWidget* widget, std::function<void()> action)
        : QObject(widget), mAction(std::move(action))
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show) mAction();
        return false;
    }

private:
    std::function<void()> mAction;
};

void scrollToLastRow(QTreeView* view)
{
    const QAbstractItemModel* model = view->model();
    if (model->rowCount() > 0)
        view->scrollTo(model->index(model->rowCount() - 1, 0), QAbstractItemView::PositionAtTop);
}
}  // namespace

void WdwMain::ListData_Open()
{
    ListData->setColumnCount(1);
    ListData->setHeaderLabels({QStringLiteral("Output Word")});
    for (const char* word : {"Compass", "Magnetometer", "Temperature"})
        ListData->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromLatin1(word)}));
    ListData->setSelectionMode(QAbstractItemView::MultiSelection);
    ListData->setRootIsDecorated(false);
    ListData->setSortingEnabled(false);
    ListData->header()->setSortIndicatorShown(false);
    ListData->header()->setSectionsClickable(true);  // heading clicks reach the handler

    // The data log table itself.
    mDataLogModel = new DataLogModel(this);
    ListDataLog->setModel(mDataLogModel);
    ListDataLog->setUniformRowHeights(true);
    ListDataLog->setRootIsDecorated(false);
    ListDataLog->setItemsExpandable(false);
    ListDataLog->setSortingEnabled(false);
    ListDataLog->header()->setSortIndicatorShown(false);
    ListDataLog->header()->setSectionsClickable(true);
    // A hidden table is laid out only when shown; a scroll it owes is made then.
    auto scrollOwed = std::make_shared<bool>(false);
    connect(mDataLogModel, &QAbstractItemModel::rowsInserted, this, [this, scrollOwed] {
        if (!ListDataLog->isVisible()) {
            *scrollOwed = *scrollOwed || CheckDataLogAutoScroll->isChecked();
            mDataLogModel->setPublishDelay(kShortestPublishDelay);
            return;
        }
        QElapsedTimer cost;
        cost.start();
        ListDataLog->doItemsLayout();
        if (CheckDataLogAutoScroll->isChecked()) scrollToLastRow(ListDataLog);
        mDataLogModel->setPublishDelay(int(std::clamp<qint64>(cost.elapsed() * kLayoutShare,
                                                              kShortestPublishDelay, kLongestPublishDelay)));
    });
    connect(mDataLogModel, &QAbstractItemModel::modelReset, this, [scrollOwed] { *scrollOwed = false; });
    new ShowWatcher(ListDataLog, [this, scrollOwed] {
        if (!*scrollOwed) return;
        *scrollOwed = false;
        scrollToLastRow(ListDataLog);
    });
}

void WdwMain::ListData_Change()
{
    if (mReadConfiguration) return;
    UpdateDataLoggerListBox();
}

bool WdwMain::ListData_HeaderPressed(int)
{
    return true;  // the list keeps its order
}

bool WdwMain::ListDataLog_HeaderPressed(int)
{
    return true;  // the log keeps its order
}

void WdwMain::UpdateDataLoggerListBox()
{
    auto selected = [this](int row) {
        const QTreeWidgetItem* item = ListData->topLevelItem(row);
        return item && item->isSelected();
    };
    const QList<Column> columns = DataLogFields::columnsFor(selected(0), selected(1), selected(2));
    // The columns are already these: the configuration read after "Connect" (a port
    // that came back, say) must not throw away the rows logged so far.
    if (columns == mDataLogModel->columns()) return;
    QStringList headings;
    for (Column c : columns) headings << DataLogFields::heading(c);
    mDataLogModel->setColumns(headings, columns);
    for (int c = 0; c < columns.size(); ++c) ListDataLog->setColumnWidth(c, 100);
}

void WdwMain::PushDataLogGo_Action()
{
    if (!mDataLogging) {
        PushDataLogGo->setText(QStringLiteral("Stop"));
        mDataLogging = true;
        mDataLoggingNow = false;
        SendData(kHalt, !CheckSingleCharacterHalt->isChecked());
        SendData(QByteArray(), true);
        SendData(QByteArrayLiteral("ec=e"), true);
        NewSystemLogEvent(QStringLiteral("Started data logging."));
        ListData->setEnabled(false);
    } else {
        SendData(kHalt, !CheckSingleCharacterHalt->isChecked());
        PushDataLogGo->setText(QStringLiteral("Go"));
        mDataLogging = false;
        mDataLoggingNow = false;
        NewSystemLogEvent(QStringLiteral("Stopped data logging."));
        ListData->setEnabled(true);
    }
}

void WdwMain::UpdateDataLog(QByteArrayView sentence)
{
    try {
        const QByteArrayView cut = DataLogFields::cut(sentence);
        const DataLogFields::Mode mode{RadioVaroMode->isChecked(), m3AxisModule,
                                       mModuleID == QLatin1String("20")};
        std::array<char, 24> tickBuffer;
        QVarLengthArray<QByteArrayView, 8> cells;
        for (Column c : mDataLogModel->columns()) {
            cells.append(c == Column::Ticks ? DataLogFields::tickStamp(mEnv.clock->ticks(), tickBuffer)
                                            : DataLogFields::cell(cut, c, mode));
        }
        if (!mDataLogModel->appendRow(std::span<const QByteArrayView>(cells.data(), size_t(cells.size())))) {
            stopForMemory(*this, mEnv.prompter);
            return;
        }
        StaticDataLogHeading->setText(QString::fromLatin1(DataLogFields::headingText(cut)));
        // Auto-scroll follows when the new rows are shown (see ListData_Open).
    } catch (const std::bad_alloc&) {
        stopForMemory(*this, mEnv.prompter);
    }
}

void WdwMain::PushDataLogClear_Action()
{
    if (!mEnv.prompter->question(QStringLiteral("The data log will be cleared. Do you want to proceed?")))
        return;
    mDataLogModel->clearRows();
    NewSystemLogEvent(QStringLiteral("Cleared data log."));
}
