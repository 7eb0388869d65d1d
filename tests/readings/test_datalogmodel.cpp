// The data log's row storage: what goes in comes out, across blocks and length
// encodings; the memory budget; rows reach the views in batches.
#include <QSignalSpy>
#include <QtTest>

#include "readings/datalogmodel.h"

using DataLogFields::Column;

namespace {
const QStringList kHeadings{"Ticks", "Heading", "X", "Y", "Z", "Temperature"};
const QList<Column> kColumns{Column::Ticks, Column::Heading, Column::X, Column::Y, Column::Z, Column::Temperature};

// A deterministic cell text of the given length, different for every row and column.
QByteArray text(qsizetype row, int column, qsizetype length)
{
    QByteArray t(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i) t[i] = char(0x20 + (row * 7 + column * 13 + i) % 95);
    return t;
}

bool append(DataLogModel& model, const QList<QByteArray>& cells)
{
    QList<QByteArrayView> views;
    for (const QByteArray& c : cells) views << c;
    return model.appendRow(std::span<const QByteArrayView>(views.data(), size_t(views.size())));
}
}  // namespace

class TestDataLogModel : public QObject {
    Q_OBJECT
private slots:
    void cellsComeBackUnchanged_data();
    void cellsComeBackUnchanged();
    void budgetStopsAppendsAndKeepsRows_data();
    void budgetStopsAppendsAndKeepsRows();
    void rowsReachViewsInOneBatch();
    void layoutColumnsBeforeTheFirstRebuild();
    void clearingRemovesRowsKeepsColumns();
};

void TestDataLogModel::cellsComeBackUnchanged_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<qsizetype>>("lengths");  // per column, cycled with the row
    // Length encodings change at 128 and 16384 bytes; 4 MB blocks are crossed by the
    // large rows.
    QTest::newRow("typical sentences") << 5000 << QList<qsizetype>{9, 5, 6, 6, 6, 4};
    QTest::newRow("empty cells") << 100 << QList<qsizetype>{9, 0, 0, 0, 0, 0};
    QTest::newRow("length boundaries") << 300 << QList<qsizetype>{0, 1, 127, 128, 16383, 16384};
    QTest::newRow("rows across blocks") << 300 << QList<qsizetype>{9, 20000, 6, 6, 6, 4};
    QTest::newRow("one row larger than a block") << 3 << QList<qsizetype>{9, 5 * 1024 * 1024, 6, 6, 6, 4};
}

void TestDataLogModel::cellsComeBackUnchanged()
{
    QFETCH(int, rows);
    QFETCH(QList<qsizetype>, lengths);
    DataLogModel model;
    model.setColumns(kHeadings, kColumns);
    for (int r = 0; r < rows; ++r) {
        QList<QByteArray> cells;
        for (int c = 0; c < kColumns.size(); ++c) cells << text(r, c, lengths[(c + r) % lengths.size()]);
        QVERIFY(append(model, cells));
    }
    model.publish();
    QCOMPARE(model.rowCount(), rows);
    QCOMPARE(model.columnCount(), kColumns.size());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < kColumns.size(); ++c) {
            const QByteArray expected = text(r, c, lengths[(c + r) % lengths.size()]);
            if (model.cell(r, c) != expected) QFAIL(qPrintable(QStringLiteral("cell %1,%2 differs").arg(r).arg(c)));
        }
    }
    QCOMPARE(model.data(model.index(rows - 1, 1)).toString(),
             QString::fromLatin1(text(rows - 1, 1, lengths[(1 + rows - 1) % lengths.size()])));
    QVERIFY(model.memoryUsed() <= model.memoryAllocated());
}

void TestDataLogModel::budgetStopsAppendsAndKeepsRows_data()
{
    QTest::addColumn<qint64>("budget");
    QTest::addColumn<qsizetype>("cellLength");
    QTest::newRow("smaller than a block") << qint64(10000) << qsizetype(6);
    QTest::newRow("a block and a half") << qint64(6 * 1024 * 1024) << qsizetype(3000);
    QTest::newRow("less than one row") << qint64(20) << qsizetype(6);
}

void TestDataLogModel::budgetStopsAppendsAndKeepsRows()
{
    QFETCH(qint64, budget);
    QFETCH(qsizetype, cellLength);
    DataLogModel model;
    model.setColumns(kHeadings, kColumns);
    model.setMemoryBudget(budget);
    auto row = [&](qsizetype r) {
        QList<QByteArray> cells;
        for (int c = 0; c < kColumns.size(); ++c) cells << text(r, c, cellLength);
        return cells;
    };
    qsizetype stored = 0;
    while (stored < 1000000 && append(model, row(stored))) ++stored;
    QCOMPARE(model.storedRowCount(), stored);
    QVERIFY(model.memoryAllocated() <= budget);
    // Rows rejected once stay rejected; what was stored is intact.
    QVERIFY(!append(model, row(stored)));
    QCOMPARE(model.storedRowCount(), stored);
    for (qsizetype r = 0; r < stored; ++r)
        for (int c = 0; c < kColumns.size(); ++c) QCOMPARE(model.cell(r, c), row(r)[c]);
    // A full log is filled close to its budget, not stopped early.
    const qsizetype rowBytes = kColumns.size() * (cellLength + 2) + 4;
    QVERIFY2(budget - model.memoryUsed() < 2 * rowBytes || budget < rowBytes,
             qPrintable(QStringLiteral("used %1 of %2").arg(model.memoryUsed()).arg(budget)));
    // Clearing frees the memory for new rows.
    model.clearRows();
    QCOMPARE(model.memoryAllocated(), 0);
    QCOMPARE(append(model, row(0)), budget >= rowBytes);
}

void TestDataLogModel::rowsReachViewsInOneBatch()
{
    DataLogModel model;
    model.setColumns(kHeadings, kColumns);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    for (int r = 0; r < 1000; ++r) QVERIFY(append(model, {text(r, 0, 9), "1", "2", "3", "4", "5"}));
    QCOMPARE(model.rowCount(), 0);  // not announced yet
    QCOMPARE(model.storedRowCount(), 1000);
    QVERIFY(inserted.wait(1000));
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted[0][1].toInt(), 0);
    QCOMPARE(inserted[0][2].toInt(), 999);
    QCOMPARE(model.rowCount(), 1000);

    // With a delay, a later batch waits for it.
    model.setPublishDelay(200);
    QVERIFY(append(model, {"x"}));
    QTest::qWait(50);
    QCOMPARE(model.rowCount(), 1000);
    QTRY_COMPARE(model.rowCount(), 1001);
    QCOMPARE(inserted.size(), 2);
}

void TestDataLogModel::layoutColumnsBeforeTheFirstRebuild()
{
    DataLogModel model;
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString());
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString());
    model.setColumns({"Ticks"}, {Column::Ticks});
    QCOMPARE(model.columnCount(), 1);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Ticks"));
}

void TestDataLogModel::clearingRemovesRowsKeepsColumns()
{
    DataLogModel model;
    model.setColumns(kHeadings, kColumns);
    for (int r = 0; r < 10; ++r) QVERIFY(append(model, {text(r, 0, 9)}));
    model.publish();
    const quint64 before = model.generation();
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.clearRows();
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.storedRowCount(), 0);
    QCOMPARE(model.columnCount(), kColumns.size());
    QVERIFY(model.generation() != before);
    QVERIFY(append(model, {"000000001"}));
    model.publish();
    QCOMPARE(model.cell(0, 0), QByteArrayView("000000001"));
    QCOMPARE(model.cell(0, 5), QByteArrayView());
}

QTEST_GUILESS_MAIN(TestDataLogModel)
#include "test_datalogmodel.moc"
