// Where the fields of a data sentence go, for every mode and identity.
#include <QtTest>

#include "readings/datalogfields.h"

using namespace DataLogFields;

class TestDataLogFields : public QObject {
    Q_OBJECT
private slots:
    void cellsOfTheFieldTable_data();
    void cellsOfTheFieldTable();
    void tickStampHasAtLeastNineDigits_data();
    void tickStampHasAtLeastNineDigits();
};

void TestDataLogFields::cellsOfTheFieldTable_data()
{
    QTest::addColumn<QByteArray>("sentence");
    QTest::addColumn<bool>("varo");
    QTest::addColumn<bool>("zAxis");
    QTest::addColumn<bool>("module20");
    // Heading, X, Y, Z, Temperature, then the text above the table.
    QTest::addColumn<QList<QByteArray>>("cells");

    const QByteArray full = "$C123.4X-12.3Y45.6Z-78.9T21.5*3F\r\n";
    const QByteArray twoAxis = "$C10.0X1.5Y-2.5T20.0*00\r\n";
    const QByteArray id20 = "$C359.9X-0.1Y0.2*4A\r\n";
    using L = QList<QByteArray>;

    QTest::newRow("identity 7, Varo") << full << true << true << false
                                      << L{"123.4", "-12.3", "45.6", "-78.9", "21.5", "123.4"};
    QTest::newRow("identity 7, raw") << full << false << true << false
                                     << L{"", "-12.3", "45.6", "-78.9T21.5", "", "123.4"};
    QTest::newRow("other identity, Varo") << twoAxis << true << false << false
                                          << L{"10.0", "1.5", "-2.5", "", "20.0", "10.0"};
    QTest::newRow("other identity, raw") << twoAxis << false << false << false
                                         << L{"", "1.5", "-2.5T20.0", "", "", "10.0"};
    QTest::newRow("identity 20, Varo") << id20 << true << false << true
                                       << L{"359.9", "-0.1", "0.2", "", "", "359.9"};
    QTest::newRow("identity 20, raw") << id20 << false << false << true
                                      << L{"", "-0.1", "0.2", "", "", "359.9"};

    QTest::newRow("error code, identity 7, Varo")
        << QByteArray("$C1.0X2Y3Z4T5.5:E004*1C\r\n") << true << true << false << L{"1.0", "2", "3", "4", "5.5", "1.0"};
    QTest::newRow("error code, identity 7, raw")
        << QByteArray("$C1.0X2Y3Z4:E004*1C\r\n") << false << true << false << L{"", "2", "3", "4", "", "1.0"};
    QTest::newRow("error code, identity 20")
        << QByteArray("$C1.0X2Y3:E12*\r\n") << true << false << true << L{"1.0", "2", "3", "", "", "1.0"};
    QTest::newRow("error code, other identity, raw")
        << QByteArray("$C1.0X2Y3:E12*\r\n") << false << false << false << L{"", "2", "3", "", "", "1.0"};
    QTest::newRow("colon without error code is no end mark")
        << QByteArray("$C1X2Y3Z4T5:6*\r\n") << true << true << false << L{"1", "2", "3", "4", "5:6", "1"};

    // Nothing after the first "*" reaches a cell, not even a second error code.
    QTest::newRow("tail with more words")
        << QByteArray("$C1X2Y3Z4T5*C9X9Y9Z9T9:E1*\r\n") << true << true << false << L{"1", "2", "3", "4", "5", "1"};
    QTest::newRow("tail holds the only tags")
        << QByteArray("$Y3Z4T5*C9X8\r\n") << true << true << false << L{"", "", "3", "4", "5", ""};
    QTest::newRow("no star") << QByteArray("$C1X2Y3Z4T5\r\n") << true << true << false << L{"", "", "", "", "", ""};
    QTest::newRow("empty sentence") << QByteArray() << true << true << false << L{"", "", "", "", "", ""};
}

void TestDataLogFields::cellsOfTheFieldTable()
{
    QFETCH(QByteArray, sentence);
    QFETCH(bool, varo);
    QFETCH(bool, zAxis);
    QFETCH(bool, module20);
    QFETCH(QList<QByteArray>, cells);
    const Mode mode{varo, zAxis, module20};
    const QByteArrayView s = cut(sentence);
    const QList<Column> columns{Column::Heading, Column::X, Column::Y, Column::Z, Column::Temperature};
    for (int i = 0; i < columns.size(); ++i)
        QCOMPARE(cell(s, columns[i], mode).toByteArray(), cells[i]);
    QCOMPARE(headingText(s).toByteArray(), cells[5]);
    QCOMPARE(cell(s, Column::Ticks, mode).toByteArray(), QByteArray());
    QCOMPARE(cell(s, Column::Blank, mode).toByteArray(), QByteArray());
}

void TestDataLogFields::tickStampHasAtLeastNineDigits_data()
{
    QTest::addColumn<qint64>("ticks");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("zero") << qint64(0) << QByteArray("000000000");
    QTest::newRow("two digits") << qint64(42) << QByteArray("000000042");
    QTest::newRow("nine digits") << qint64(123456789) << QByteArray("123456789");
    QTest::newRow("ten digits") << qint64(1234567890) << QByteArray("1234567890");
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << QByteArray("9223372036854775807");
    QTest::newRow("negative") << qint64(-5) << QByteArray("-000000005");
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << QByteArray("-9223372036854775808");
}

void TestDataLogFields::tickStampHasAtLeastNineDigits()
{
    QFETCH(qint64, ticks);
    QFETCH(QByteArray, text);
    std::array<char, 24> buffer;
    QCOMPARE(tickStamp(ticks, buffer).toByteArray(), text);
}

QTEST_APPLESS_MAIN(TestDataLogFields)
#include "test_datalogfields.moc"
