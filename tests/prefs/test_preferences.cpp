// The preferences text: every reading rule of the file, and writing it back.
#include <QtTest>

#include "prefs/preferences.h"

using prefs::DisplaySettings;
using prefs::LinkSettings;
using prefs::Preferences;

Q_DECLARE_METATYPE(std::optional<qint32>)
Q_DECLARE_METATYPE(std::optional<bool>)
Q_DECLARE_METATYPE(std::optional<QVector<bool>>)
Q_DECLARE_METATYPE(Preferences)

namespace {
constexpr std::nullopt_t unset = std::nullopt;
std::optional<qint32> some(qint32 v) { return v; }
std::optional<bool> yes() { return true; }
std::optional<bool> no() { return false; }
std::optional<QVector<bool>> rows(std::initializer_list<bool> r) { return QVector<bool>(r); }
}  // namespace

class TestPreferences : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data();
    void leadingNumber();
    void linkGroup_data();
    void linkGroup();
    void displayGroup_data();
    void displayGroup();
    void writesFiveLines_data();
    void writesFiveLines();
    void roundTrip_data();
    void roundTrip();
};

void TestPreferences::leadingNumber_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<qint32>("number");
    QTest::newRow("plain") << QByteArray("7") << 7;
    QTest::newRow("several digits") << QByteArray("999") << 999;
    QTest::newRow("text after the number") << QByteArray("12abc") << 12;
    QTest::newRow("fraction truncated") << QByteArray("5.7") << 5;
    QTest::newRow("negative fraction truncated to zero") << QByteArray("-0.9") << 0;
    QTest::newRow("negative") << QByteArray("-3") << -3;
    QTest::newRow("leading blanks") << QByteArray("  \t4") << 4;
    QTest::newRow("nothing") << QByteArray("") << 0;
    QTest::newRow("no number first") << QByteArray("x5") << 0;
    QTest::newRow("sign alone") << QByteArray("-") << 0;
    QTest::newRow("too large saturates") << QByteArray("99999999999999999999") << 2147483647;
    QTest::newRow("too small saturates") << QByteArray("-99999999999") << -2147483647 - 1;
}

void TestPreferences::leadingNumber()
{
    QFETCH(QByteArray, value);
    QFETCH(qint32, number);
    QCOMPARE(prefs::leadingNumber(value), number);
}

void TestPreferences::linkGroup_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::optional<qint32>>("port");
    QTest::addColumn<std::optional<qint32>>("rateRow");

    QTest::newRow("written file") << QByteArray("SERIALPORT:0\nBAUDRATE:5\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n")
                                  << some(0) << some(5);
    QTest::newRow("empty file") << QByteArray("") << std::optional<qint32>(unset) << std::optional<qint32>(unset);
    QTest::newRow("no rate line") << QByteArray("SERIALPORT:2\n") << some(2) << std::optional<qint32>(unset);
    QTest::newRow("no port line") << QByteArray("BAUDRATE:3\n") << std::optional<qint32>(unset) << some(3);
    QTest::newRow("port without value is 0") << QByteArray("SERIALPORT:\n") << some(0) << std::optional<qint32>(unset);
    QTest::newRow("no port chosen") << QByteArray("SERIALPORT:999\n") << some(999) << std::optional<qint32>(unset);
    QTest::newRow("key anywhere in the line") << QByteArray("xx SERIALPORT:4 yy\n") << some(4) << std::optional<qint32>(unset);
    QTest::newRow("value after the first occurrence")
        << QByteArray("SERIALPORT:1SERIALPORT:2\n") << some(1) << std::optional<qint32>(unset);
    QTest::newRow("two keys on one line") << QByteArray("SERIALPORT:3 BAUDRATE:6") << some(3) << some(6);
    QTest::newRow("later line overrides") << QByteArray("SERIALPORT:1\nBAUDRATE:2\nSERIALPORT:3\nBAUDRATE:4\n")
                                          << some(3) << some(4);
    QTest::newRow("case-sensitive keys") << QByteArray("serialport:1\nBaudRate:2\n")
                                         << std::optional<qint32>(unset) << std::optional<qint32>(unset);
    QTest::newRow("last line without line end") << QByteArray("BAUDRATE:7") << std::optional<qint32>(unset) << some(7);
    QTest::newRow("CRLF line ends") << QByteArray("SERIALPORT:1\r\nBAUDRATE:2\r\n") << some(1) << some(2);
    QTest::newRow("CR line ends") << QByteArray("SERIALPORT:1\rBAUDRATE:2\r") << some(1) << some(2);
    QTest::newRow("rate row past the list ignored") << QByteArray("BAUDRATE:9\n") << std::optional<qint32>(unset)
                                                    << std::optional<qint32>(unset);
    QTest::newRow("negative rate row ignored") << QByteArray("BAUDRATE:-1\n") << std::optional<qint32>(unset)
                                               << std::optional<qint32>(unset);
    QTest::newRow("last rate row of the list") << QByteArray("BAUDRATE:8\n") << std::optional<qint32>(unset) << some(8);
    QTest::newRow("earlier valid row survives a later bad one")
        << QByteArray("BAUDRATE:2\nBAUDRATE:11\n") << std::optional<qint32>(unset) << some(2);
    QTest::newRow("display keys do not count") << QByteArray("CONTRAST:TRUE\nDATA:1,\n")
                                               << std::optional<qint32>(unset) << std::optional<qint32>(unset);
}

void TestPreferences::linkGroup()
{
    QFETCH(QByteArray, text);
    QFETCH(std::optional<qint32>, port);
    QFETCH(std::optional<qint32>, rateRow);
    const LinkSettings link = prefs::parseLinkSettings(text, 9);
    QCOMPARE(link.serialPort, port);
    QCOMPARE(link.baudRateRow, rateRow);
}

void TestPreferences::displayGroup_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<std::optional<bool>>("contrast");
    QTest::addColumn<std::optional<bool>>("autoScroll");
    QTest::addColumn<std::optional<QVector<bool>>>("data");
    const std::optional<bool> none;
    const std::optional<QVector<bool>> noData;

    QTest::newRow("written file") << QByteArray("SERIALPORT:0\nBAUDRATE:5\nCONTRAST:TRUE\nAUTOSCROLL:FALSE\nDATA:0,2,\n")
                                  << yes() << no() << rows({true, false, true});
    QTest::newRow("empty file") << QByteArray("") << none << none << noData;
    QTest::newRow("lower-case value clears") << QByteArray("CONTRAST:true\n") << no() << none << noData;
    QTest::newRow("lower-case key ignored") << QByteArray("contrast:TRUE\nautoscroll:TRUE\n") << none << none << noData;
    QTest::newRow("value runs to the end of the line")
        << QByteArray("CONTRAST:TRUE AUTOSCROLL:TRUE\n") << no() << yes() << noData;
    QTest::newRow("trailing blank is not TRUE") << QByteArray("AUTOSCROLL:TRUE \n") << none << no() << noData;
    QTest::newRow("CRLF still TRUE") << QByteArray("CONTRAST:TRUE\r\nAUTOSCROLL:TRUE\r\n") << yes() << yes() << noData;
    QTest::newRow("later line overrides") << QByteArray("CONTRAST:TRUE\nCONTRAST:FALSE\n") << no() << none << noData;
    QTest::newRow("DATA digits as substrings") << QByteArray("DATA:12\n") << none << none << rows({false, true, true});
    QTest::newRow("DATA empty deselects all") << QByteArray("DATA:\n") << none << none << rows({false, false, false});
    QTest::newRow("DATA digit inside other text") << QByteArray("DATA:x10y\n") << none << none << rows({true, true, false});
    QTest::newRow("DATA later line overrides") << QByteArray("DATA:0,1,2,\nDATA:1,\n") << none << none
                                               << rows({false, true, false});
    QTest::newRow("link keys do not count") << QByteArray("SERIALPORT:1\nBAUDRATE:2\n") << none << none << noData;
}

void TestPreferences::displayGroup()
{
    QFETCH(QByteArray, text);
    QFETCH(std::optional<bool>, contrast);
    QFETCH(std::optional<bool>, autoScroll);
    QFETCH(std::optional<QVector<bool>>, data);
    const DisplaySettings display = prefs::parseDisplaySettings(text, 3);
    QCOMPARE(display.contrast, contrast);
    QCOMPARE(display.autoScroll, autoScroll);
    QCOMPARE(display.dataRows, data);
}

void TestPreferences::writesFiveLines_data()
{
    QTest::addColumn<Preferences>("preferences");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("nothing chosen") << Preferences{999, 8, false, false, {}}
                                    << QByteArray("SERIALPORT:999\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n");
    QTest::newRow("rows 0 and 2") << Preferences{0, 5, true, false, {0, 2}}
                                  << QByteArray("SERIALPORT:0\nBAUDRATE:5\nCONTRAST:TRUE\nAUTOSCROLL:FALSE\nDATA:0,2,\n");
    QTest::newRow("every row") << Preferences{12, 0, false, true, {0, 1, 2}}
                               << QByteArray("SERIALPORT:12\nBAUDRATE:0\nCONTRAST:FALSE\nAUTOSCROLL:TRUE\nDATA:0,1,2,\n");
}

void TestPreferences::writesFiveLines()
{
    QFETCH(Preferences, preferences);
    QFETCH(QByteArray, text);
    QCOMPARE(prefs::write(preferences), text);
}

void TestPreferences::roundTrip_data()
{
    QTest::addColumn<Preferences>("preferences");
    // Every combination of the three flags and the word rows, over a spread of ports
    // and every rate row.
    const QVector<qint32> ports = {0, 1, 7, 42, 999};
    int n = 0;
    for (int row = 0; row <= 8; ++row) {
        for (int bits = 0; bits < 32; ++bits) {
            Preferences p;
            p.serialPort = ports[(row + bits) % ports.size()];
            p.baudRateRow = row;
            p.contrast = bits & 1;
            p.autoScroll = bits & 2;
            for (int r = 0; r < 3; ++r)
                if (bits & (4 << r)) p.dataRows.append(r);
            QTest::addRow("%d", n++) << p;
        }
    }
}

void TestPreferences::roundTrip()
{
    QFETCH(Preferences, preferences);
    const QByteArray text = prefs::write(preferences);
    const LinkSettings link = prefs::parseLinkSettings(text, 9);
    const DisplaySettings display = prefs::parseDisplaySettings(text, 3);
    Preferences back;
    back.serialPort = link.serialPort.value_or(-1);
    back.baudRateRow = link.baudRateRow.value_or(-1);
    back.contrast = display.contrast.value_or(!preferences.contrast);
    back.autoScroll = display.autoScroll.value_or(!preferences.autoScroll);
    for (int r = 0; display.dataRows && r < display.dataRows->size(); ++r)
        if (display.dataRows->at(r)) back.dataRows.append(r);
    QCOMPARE(back, preferences);
}

QTEST_APPLESS_MAIN(TestPreferences)
#include "test_preferences.moc"
