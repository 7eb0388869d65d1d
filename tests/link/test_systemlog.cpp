// The system log: time stamps from the window's clock, rows in the order logged.
#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>

#include "windowfixture.h"

class TestSystemLog : public QObject {
    Q_OBJECT
private slots:
    void timeStamp_data();
    void timeStamp();
    void listHeadings();
    void rowsKeepOrderAndText();
    void headingClickSorts();
};

void TestSystemLog::timeStamp_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("stamp");
    QTest::newRow("morning, padded") << QDateTime(QDate(2024, 3, 7), QTime(9, 5, 2)) << "2024-03-07 09:05:02";
    QTest::newRow("afternoon, 24-hour") << QDateTime(QDate(2031, 12, 31), QTime(23, 59, 59)) << "2031-12-31 23:59:59";
    QTest::newRow("midnight") << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)) << "2000-01-01 00:00:00";
    QTest::newRow("milliseconds dropped") << QDateTime(QDate(1999, 10, 9), QTime(12, 0, 7, 999)) << "1999-10-09 12:00:07";
}

void TestSystemLog::timeStamp()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, stamp);
    WindowFixture f;
    WdwMain& w = f.open();
    f.clock.fixNow(now);
    QCOMPARE(w.TimeStamp(), stamp);
    QCOMPARE(w.TimeStamp().size(), 19);
    // A fresh reading on every call.
    f.clock.fixNow(now.addSecs(61));
    QCOMPARE(w.TimeStamp(), now.addSecs(61).toString("yyyy-MM-dd HH:mm:ss"));
}

void TestSystemLog::listHeadings()
{
    WindowFixture f;
    WdwMain& w = f.open();
    QCOMPARE(w.ListSystemLog->columnCount(), 2);
    QCOMPARE(w.ListSystemLog->headerItem()->text(0), QString("Time Stamp"));
    QCOMPARE(w.ListSystemLog->headerItem()->text(1), QString("Event"));
    QCOMPARE(w.ListSystemLog->columnWidth(0), 160);
    QCOMPARE(w.ListSystemLog->columnWidth(1), 630);
}

void TestSystemLog::rowsKeepOrderAndText()
{
    WindowFixture f;
    f.clock.fixNow(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 2)));
    WdwMain& w = f.open();
    const int before = w.ListSystemLog->topLevelItemCount();
    const QString longText(5000, QLatin1Char('x'));
    // Same second, different texts: they keep the order in which they came.
    const QStringList texts = {"Started test mode.", "", "  padded  ", longText, "Stopped test mode."};
    for (const QString& t : texts) w.NewSystemLogEvent(t);
    f.clock.fixNow(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 3)));
    w.NewSystemLogEvent("later");

    QCOMPARE(f.logEvents().mid(before), texts + QStringList{"later"});
    for (int i = 0; i < texts.size(); ++i)
        QCOMPARE(w.ListSystemLog->topLevelItem(before + i)->text(0), QString("2024-03-07 09:05:02"));
    QCOMPARE(w.ListSystemLog->topLevelItem(before + texts.size())->text(0), QString("2024-03-07 09:05:03"));
    // Nothing is selected by logging, and the list does not follow the new rows.
    QVERIFY(w.ListSystemLog->selectedItems().isEmpty());
    w.ListSystemLog->resize(790, 120);
    w.show();
    for (int i = 0; i < 100; ++i) w.NewSystemLogEvent(QString::number(i));
    QCoreApplication::processEvents();
    QVERIFY(w.ListSystemLog->verticalScrollBar()->maximum() > 0);
    QCOMPARE(w.ListSystemLog->verticalScrollBar()->value(), 0);
}

void TestSystemLog::headingClickSorts()
{
    WindowFixture f;
    WdwMain& w = f.open();
    w.ListSystemLog->clear();
    // Logged out of time order (the clock was set back): shown as logged at first.
    const QList<QPair<QTime, QString>> entries = {
        {QTime(10, 0, 0), "c"}, {QTime(9, 0, 0), "a"}, {QTime(9, 30, 0), "b"}};
    for (const auto& [time, text] : entries) {
        f.clock.fixNow(QDateTime(QDate(2024, 1, 2), time));
        w.NewSystemLogEvent(text);
    }
    QCOMPARE(f.logEvents(), QStringList({"c", "a", "b"}));

    w.show();
    QHeaderView* header = w.ListSystemLog->header();
    const QPoint stampHeading(header->sectionViewportPosition(0) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, stampHeading);
    const QStringList once = f.logEvents();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, stampHeading);
    const QStringList twice = f.logEvents();
    // One click sorts by time one way, the next the other way.
    QCOMPARE(QSet<QStringList>({once, twice}), QSet<QStringList>({{"a", "b", "c"}, {"c", "b", "a"}}));
}

QTEST_MAIN(TestSystemLog)
#include "test_systemlog.moc"
