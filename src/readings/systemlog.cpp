// The system log: one time-stamped row per notable action, in the list itself.
#include <QHeaderView>
#include <QTreeWidget>

#include "../ui/wdwmain.h"

void WdwMain::NewSystemLogEvent(const QString& text)
{
    // Appended as it is: no scrolling to it, no selection, no trimming.
    auto* row = new QTreeWidgetItem;
    row->setText(0, TimeStamp());
    row->setText(1, text);
    ListSystemLog->addTopLevelItem(row);
}

QString WdwMain::TimeStamp() const
{
    const QDateTime now = mEnv.clock ? mEnv.clock->now() : QDateTime::currentDateTime();
    return now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void WdwMain::ListSystemLog_Open()
{
    ListSystemLog->setHeaderLabels({QStringLiteral("Time Stamp"), QStringLiteral("Event")});
    ListSystemLog->setColumnWidth(0, 160);
    ListSystemLog->setColumnWidth(1, 630);
    // A heading click sorts, as lists do. Until the user clicks one the rows stay in
    // the order they were logged: Qt would otherwise sort newest first from the start.
    ListSystemLog->setSortingEnabled(true);
    ListSystemLog->header()->setSortIndicator(-1, Qt::AscendingOrder);
}
