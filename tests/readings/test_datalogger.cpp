// The data logger in the window: the word list, the columns, Go and Stop, the rows,
// the stop when memory runs out, Clear, heading clicks and auto-scroll.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QtTest>

#include "loggerwindow.h"

namespace {
const QByteArray kFull = "$C123.4X-12.3Y45.6Z-78.9T21.5*3F\r\n";
const QString kOutOfMemory = QStringLiteral(
    "Dravik Studio can not add new data in the data log because of insufficient memory. "
    "Data logging is now stopped.");
}  // namespace

class TestDataLogger : public QObject {
    Q_OBJECT
private slots:
    void wordListAndLayoutColumns();
    void columnsFollowTheSelection_data();
    void columnsFollowTheSelection();
    void selectionIsSilentDuringConfigurationRead();
    void rowsHoldTheFieldsOfModeAndIdentity_data();
    void rowsHoldTheFieldsOfModeAndIdentity();
    void goAndStopInTheirOrder_data();
    void goAndStopInTheirOrder();
    void memoryBudgetStopsLogging_data();
    void memoryBudgetStopsLogging();
    void clearAsksFirst_data();
    void clearAsksFirst();
    void headingClicksNeverSort();
    void autoScrollFollowsNewRows_data();
    void autoScrollFollowsNewRows();
};

void TestDataLogger::wordListAndLayoutColumns()
{
    LoggerWindow lw;
    QTreeWidget* list = lw.w->ListData;
    QCOMPARE(list->columnCount(), 1);
    QCOMPARE(list->headerItem()->text(0), QStringLiteral("Output Word"));
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("Compass"));
    QCOMPARE(list->topLevelItem(1)->text(0), QStringLiteral("Magnetometer"));
    QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("Temperature"));
    lw.selectWords({0, 2});
    QVERIFY(list->topLevelItem(0)->isSelected() && list->topLevelItem(2)->isSelected());
    QVERIFY(!list->topLevelItem(1)->isSelected());

    // Before the first rebuild the table has two columns without headings.
    LoggerWindow fresh;
    QCOMPARE(fresh.w->ListDataLog->model(), static_cast<QAbstractItemModel*>(fresh.model()));
    QCOMPARE(fresh.headings(), (QStringList{QString(), QString()}));
}

void TestDataLogger::columnsFollowTheSelection_data()
{
    QTest::addColumn<QList<int>>("words");
    QTest::addColumn<QStringList>("headings");
    QTest::newRow("none") << QList<int>{} << QStringList{"Ticks"};
    QTest::newRow("compass") << QList<int>{0} << QStringList{"Ticks", "Heading"};
    QTest::newRow("magnetometer") << QList<int>{1} << QStringList{"Ticks", "X", "Y", "Z"};
    QTest::newRow("temperature") << QList<int>{2} << QStringList{"Ticks", "Temperature"};
    QTest::newRow("compass, magnetometer") << QList<int>{0, 1} << QStringList{"Ticks", "Heading", "X", "Y", "Z"};
    QTest::newRow("compass, temperature") << QList<int>{0, 2} << QStringList{"Ticks", "Heading", "Temperature"};
    QTest::newRow("magnetometer, temperature") << QList<int>{2, 1}
                                               << QStringList{"Ticks", "X", "Y", "Z", "Temperature"};
    QTest::newRow("all") << QList<int>{0, 1, 2} << QStringList{"Ticks", "Heading", "X", "Y", "Z", "Temperature"};
}

void TestDataLogger::columnsFollowTheSelection()
{
    QFETCH(QList<int>, words);
    QFETCH(QStringList, headings);
    LoggerWindow lw;
    lw.selectWords(words == QList<int>{0} ? QList<int>{1} : QList<int>{0});
    lw.log(kFull, 1);
    lw.log(kFull, 2);
    QCOMPARE(lw.model()->storedRowCount(), 2);

    // A change of the selection rebuilds the columns and drops the rows, unasked.
    lw.selectWords(words);
    QCOMPARE(lw.headings(), headings);
    QCOMPARE(lw.model()->storedRowCount(), 0);
    QCOMPARE(lw.w->ListDataLog->header()->count(), headings.size());
    for (int c = 0; c < headings.size(); ++c) QCOMPARE(lw.w->ListDataLog->columnWidth(c), 100);
    QVERIFY(lw.prompter.shown.isEmpty());

    // Each sentence then adds one row with just these columns.
    lw.log(kFull, 7);
    QCOMPARE(lw.rows().size(), 1);
    QCOMPARE(lw.rows()[0].size(), headings.size());
    QCOMPARE(lw.rows()[0][0], QStringLiteral("000000007"));
}

void TestDataLogger::selectionIsSilentDuringConfigurationRead()
{
    LoggerWindow lw;
    lw.selectWords({0});
    lw.log(kFull, 1);
    lw.w->mReadConfiguration = true;
    lw.selectWords({0, 1, 2});
    QCOMPARE(lw.headings(), (QStringList{"Ticks", "Heading"}));
    QCOMPARE(lw.model()->storedRowCount(), 1);
    // The rebuild that the configuration read makes uses the selection as it is now.
    lw.w->UpdateDataLoggerListBox();
    QCOMPARE(lw.headings(), (QStringList{"Ticks", "Heading", "X", "Y", "Z", "Temperature"}));
    QCOMPARE(lw.model()->storedRowCount(), 0);
}

void TestDataLogger::rowsHoldTheFieldsOfModeAndIdentity_data()
{
    QTest::addColumn<QString>("identity");
    QTest::addColumn<bool>("varo");
    QTest::addColumn<QByteArray>("sentence");
    QTest::addColumn<QStringList>("row");  // Ticks, Heading, X, Y, Z, Temperature
    QTest::addColumn<QString>("shownHeading");

    QTest::newRow("identity 7, Varo") << "7" << true << kFull
                                      << QStringList{"000004321", "123.4", "-12.3", "45.6", "-78.9", "21.5"} << "123.4";
    QTest::newRow("identity 7, raw") << "7" << false << kFull
                                     << QStringList{"000004321", "", "-12.3", "45.6", "-78.9T21.5", ""} << "123.4";
    QTest::newRow("identity 20, Varo") << "20" << true << QByteArray("$C5.5X1Y2:E3*77\r\n")
                                       << QStringList{"000004321", "5.5", "1", "2", "", ""} << "5.5";
    QTest::newRow("identity 20, raw") << "20" << false << QByteArray("$C5.5X1Y2*77\r\n")
                                      << QStringList{"000004321", "", "1", "2", "", ""} << "5.5";
    QTest::newRow("other identity, Varo") << "9" << true << QByteArray("$C7X1Y2T3*\r\n")
                                          << QStringList{"000004321", "7", "1", "2", "", "3"} << "7";
    QTest::newRow("other identity, raw") << "9" << false << QByteArray("$C7X1Y2T3*\r\n")
                                         << QStringList{"000004321", "", "1", "2T3", "", ""} << "7";
}

void TestDataLogger::rowsHoldTheFieldsOfModeAndIdentity()
{
    QFETCH(QString, identity);
    QFETCH(bool, varo);
    QFETCH(QByteArray, sentence);
    QFETCH(QStringList, row);
    QFETCH(QString, shownHeading);
    LoggerWindow lw;
    lw.selectWords({0, 1, 2});
    lw.quietly([&] { (varo ? lw.w->RadioVaroMode : lw.w->RadioRawMode)->setChecked(true); });
    lw.w->mModuleID = identity;
    lw.w->m3AxisModule = identity == QLatin1String("7");
    lw.log(sentence, 4321);
    QCOMPARE(lw.rows(), QList<QStringList>{row});
    QCOMPARE(lw.w->StaticDataLogHeading->text(), shownHeading);
    // The row reaches the table as it is stored.
    QTRY_COMPARE(lw.model()->rowCount(), 1);
    for (int c = 0; c < row.size(); ++c) QCOMPARE(lw.model()->data(lw.model()->index(0, c)).toString(), row[c]);
}

void TestDataLogger::goAndStopInTheirOrder_data()
{
    QTest::addColumn<bool>("singleCharacterHalt");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("stop");
    QTest::newRow("halt with carriage return") << false << QByteArray("h\r\rec=e\r") << QByteArray("h\r");
    QTest::newRow("single character halt") << true << QByteArray("h\rec=e\r") << QByteArray("h");
}

void TestDataLogger::goAndStopInTheirOrder()
{
    QFETCH(bool, singleCharacterHalt);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, stop);
    LoggerWindow lw;
    WdwMain& w = *lw.w;
    lw.quietly([&] { w.CheckSingleCharacterHalt->setChecked(singleCharacterHalt); });
    lw.port->takeWritten();
    const qsizetype entries = lw.events().size();

    w.PushDataLogGo->click();
    QCOMPARE(lw.port->takeWritten(), start);
    QCOMPARE(w.PushDataLogGo->text(), QStringLiteral("Stop"));
    QVERIFY(w.mDataLogging);
    QVERIFY(!w.mDataLoggingNow);
    QVERIFY(!w.ListData->isEnabled());
    QCOMPARE(lw.events().mid(entries), QStringList{"Started data logging."});

    w.mDataLoggingNow = true;  // the "$sdo=" reply
    w.PushDataLogGo->click();
    QCOMPARE(lw.port->takeWritten(), stop);
    QCOMPARE(w.PushDataLogGo->text(), QStringLiteral("Go"));
    QVERIFY(!w.mDataLogging);
    QVERIFY(!w.mDataLoggingNow);
    QVERIFY(w.ListData->isEnabled());
    QCOMPARE(lw.events().mid(entries), (QStringList{"Started data logging.", "Stopped data logging."}));
    QVERIFY(lw.prompter.shown.isEmpty());
}

void TestDataLogger::memoryBudgetStopsLogging_data()
{
    QTest::addColumn<bool>("singleCharacterHalt");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QByteArray>("halt");
    QTest::newRow("connected") << false << true << QByteArray("h\r");
    QTest::newRow("single character halt") << true << true << QByteArray("h");
    // The stop sets the list by the link, unlike the Stop button.
    QTest::newRow("link lost meanwhile") << false << false << QByteArray("h\r");
}

void TestDataLogger::memoryBudgetStopsLogging()
{
    QFETCH(bool, singleCharacterHalt);
    QFETCH(bool, connected);
    QFETCH(QByteArray, halt);
    LoggerWindow lw;
    WdwMain& w = *lw.w;
    lw.selectWords({0, 1, 2});
    lw.quietly([&] {
        w.CheckSingleCharacterHalt->setChecked(singleCharacterHalt);
        w.RadioVaroMode->setChecked(true);
    });
    w.m3AxisModule = true;
    w.mModuleID = QStringLiteral("7");
    lw.model()->setMemoryBudget(2000);
    w.PushDataLogGo->click();
    w.mDataLoggingNow = true;
    w.mConnected = connected;
    lw.port->takeWritten();
    const QStringList entries = lw.events();

    // Sentences as the dispatcher hands them over, until the budget is reached.
    qint64 tick = 0;
    while (w.mDataLoggingNow && tick < 1000) {
        w.mInputStr = "$C1X2Y3*\r\n$C4";  // lines still waiting
        lw.log(kFull, ++tick);
    }
    QVERIFY2(tick > 10 && tick < 1000, qPrintable(QString::number(tick)));
    QCOMPARE(lw.prompter.shown, QStringList{kOutOfMemory});
    QCOMPARE(lw.port->takeWritten(), halt);
    QCOMPARE(w.PushDataLogGo->text(), QStringLiteral("Go"));
    QVERIFY(!w.mDataLogging);
    QVERIFY(!w.mDataLoggingNow);
    QCOMPARE(w.ListData->isEnabled(), connected);
    QVERIFY(w.mInputStr.isEmpty());
    QCOMPARE(lw.events(), entries);  // no system log entry

    // Every row logged before stays, the failed one is not there.
    const QList<QStringList> rows = lw.rows();
    QCOMPARE(rows.size(), tick - 1);
    QCOMPARE(rows.last(), (QStringList{QStringLiteral("%1").arg(tick - 1, 9, 10, QLatin1Char('0')), "123.4",
                                       "-12.3", "45.6", "-78.9", "21.5"}));
    QTRY_COMPARE(lw.model()->rowCount(), int(tick - 1));

    // ... and can be exported.
    const QString path = lw.prefsFolder.filePath(QStringLiteral("log.txt"));
    lw.prompter.prepareSave(path);
    w.PushDataLogExport_Action();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), int(tick) + 1);  // heading, rows, the empty text after the last "\n"
    QCOMPARE(lines[0], QByteArray("Ticks\tHeading\tX\tY\tZ\tTemperature\t"));
    QCOMPARE(lines[1], QByteArray("000000001\t123.4\t-12.3\t45.6\t-78.9\t21.5\t"));
    QCOMPARE(lw.prompter.shown.size(), 1);
}

void TestDataLogger::clearAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestDataLogger::clearAsksFirst()
{
    QFETCH(bool, yes);
    LoggerWindow lw;
    lw.selectWords({0});
    lw.log(kFull, 1);
    lw.log(kFull, 2);
    const QStringList entries = lw.events();
    lw.prompter.prepareAnswer(yes);
    lw.w->PushDataLogClear->click();
    QCOMPARE(lw.prompter.shown, QStringList{"The data log will be cleared. Do you want to proceed?"});
    QVERIFY(lw.prompter.unprepared.isEmpty());
    QCOMPARE(lw.model()->storedRowCount(), yes ? 0 : 2);
    QCOMPARE(lw.headings(), (QStringList{"Ticks", "Heading"}));
    QCOMPARE(lw.events(), yes ? entries + QStringList{"Cleared data log."} : entries);
    // Logging goes on into the table as it is.
    lw.log(kFull, 3);
    QCOMPARE(lw.rows().last(), (QStringList{"000000003", ""}));
    QTRY_COMPARE(lw.model()->rowCount(), yes ? 1 : 3);
}

void TestDataLogger::headingClicksNeverSort()
{
    LoggerWindow lw;
    WdwMain& w = *lw.w;
    w.show();
    w.TabMain->setCurrentIndex(4);
    lw.selectWords({0});
    for (qint64 t : {3, 1, 2}) lw.log(kFull, t);
    QTRY_COMPARE(lw.model()->rowCount(), 3);
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    for (QTreeView* view : {static_cast<QTreeView*>(w.ListData), w.ListDataLog}) {
        QHeaderView* header = view->header();
        QVERIFY2(header->isVisible(), qPrintable(view->objectName()));
        const QPoint heading(header->sectionViewportPosition(0) + 10, header->height() / 2);
        for (int click = 0; click < 2; ++click) QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, heading);
        QVERIFY(!view->isSortingEnabled());
        QVERIFY(!header->isSortIndicatorShown());
    }
    QCOMPARE(w.ListData->topLevelItem(0)->text(0), QStringLiteral("Compass"));
    QCOMPARE(w.ListData->topLevelItem(2)->text(0), QStringLiteral("Temperature"));
    QAbstractItemModel* table = w.ListDataLog->model();
    QCOMPARE(table->data(table->index(0, 0)).toString(), QStringLiteral("000000003"));
    QCOMPARE(table->data(table->index(1, 0)).toString(), QStringLiteral("000000001"));
    QCOMPARE(table->data(table->index(2, 0)).toString(), QStringLiteral("000000002"));
}

void TestDataLogger::autoScrollFollowsNewRows_data()
{
    QTest::addColumn<bool>("autoScroll");
    QTest::addColumn<bool>("hiddenMeanwhile");  // the rows arrive while another tab is shown
    QTest::newRow("on") << true << false;
    QTest::newRow("off") << false << false;
    QTest::newRow("on, tab hidden") << true << true;
    QTest::newRow("off, tab hidden") << false << true;
}

void TestDataLogger::autoScrollFollowsNewRows()
{
    QFETCH(bool, autoScroll);
    QFETCH(bool, hiddenMeanwhile);
    LoggerWindow lw;
    WdwMain& w = *lw.w;
    w.show();
    w.TabMain->setCurrentIndex(4);
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.CheckDataLogAutoScroll->setChecked(autoScroll);
    lw.selectWords({0, 1, 2});
    // The page that holds the table, as the tab panel hides and shows it.
    QWidget* page = w.ListDataLog->parentWidget();
    if (hiddenMeanwhile) page->hide();
    // Rows arrive in several batches, as they do from the line.
    for (int batch = 0; batch < 5; ++batch) {
        for (int r = 0; r < 100; ++r) lw.log(kFull, batch * 100 + r);
        QTRY_COMPARE(lw.model()->rowCount(), (batch + 1) * 100);
    }
    if (hiddenMeanwhile) {
        QVERIFY(!w.ListDataLog->isVisible());
        page->show();
    }
    QTreeView* view = w.ListDataLog;
    QVERIFY(view->isVisible());
    QVERIFY(view->viewport()->height() > 0);
    const QModelIndex last = lw.model()->index(499, 0);
    const QModelIndex first = lw.model()->index(0, 0);
    QTRY_COMPARE(view->viewport()->rect().intersects(view->visualRect(last)), autoScroll);
    QCOMPARE(view->viewport()->rect().intersects(view->visualRect(first)), !autoScroll);
}

QTEST_MAIN(TestDataLogger)
#include "test_datalogger.moc"
