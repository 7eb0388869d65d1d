// The heading display's text for readings in degrees and mils.
#include <QTest>

#include "readings/readingformat.h"

class TestReadingFormat : public QObject {
    Q_OBJECT
private slots:
    void headingText_data();
    void headingText();
};

void TestReadingFormat::headingText_data()
{
    QTest::addColumn<float>("heading");
    QTest::addColumn<bool>("mils");
    QTest::addColumn<QString>("text");

    QTest::newRow("no heading, degrees") << -1.0f << false << "-1.0";
    QTest::newRow("no heading, mils") << -1.0f << true << "-1.0";
    QTest::newRow("zero, degrees") << 0.0f << false << "000.0";
    QTest::newRow("zero, mils") << 0.0f << true << "0000";
    QTest::newRow("padded degrees") << 7.26f << false << "007.3";
    QTest::newRow("rounds down") << 123.44f << false << "123.4";
    QTest::newRow("padded mils") << 256.4f << true << "0256";
    QTest::newRow("full turn in degrees, no wrap") << 359.96f << false << "360.0";
    QTest::newRow("full turn in mils, no wrap") << 6399.6f << true << "6400";
    QTest::newRow("four integer digits in degrees") << 1234.5f << false << "1234.5";
    QTest::newRow("wide value keeps every digit") << 1048576.25f << false << "1048576.3";
    // Half away from zero, judged on the float as stored.
    QTest::newRow("exact half goes up") << 7.25f << false << "007.3";
    QTest::newRow("half mil goes up, not to even") << 2.5f << true << "0003";
    QTest::newRow("stored just above the half") << 0.15f << false << "000.2";
    QTest::newRow("stored just below the half") << 0.35f << false << "000.3";
    QTest::newRow("negative half goes away from zero") << -2.5f << true << "-0003";
    QTest::newRow("negative degrees") << -7.26f << false << "-007.3";
    QTest::newRow("near -1 is no special value") << -1.04f << false << "-001.0";
    QTest::newRow("rounds to zero without a sign") << -0.04f << false << "000.0";
    QTest::newRow("rounds to zero mils without a sign") << -0.4f << true << "0000";
}

void TestReadingFormat::headingText()
{
    QFETCH(float, heading);
    QFETCH(bool, mils);
    QFETCH(QString, text);
    QCOMPARE(readingformat::headingText(heading, mils), text);
}

QTEST_APPLESS_MAIN(TestReadingFormat)
#include "test_readingformat.moc"
