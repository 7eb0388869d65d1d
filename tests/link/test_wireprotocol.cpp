// Tables for the module's wire format: line cutting, error indication, reply tags,
// value extraction and number reading, including the garbage a noisy line produces.
#include <QtTest>

#include <cmath>
#include <limits>

#include "link/wireprotocol.h"

using wire::Reply;

namespace {
QByteArray bytes(const char* text, qsizetype size) { return QByteArray(text, size); }
QByteArray repeated(char c, qsizetype n) { return QByteArray(n, c); }

const char* replyName(Reply reply)
{
    static const char* const names[] = {
        "BaudRate",         "Info",           "Id",          "NorthReference",  "SingleCharHalt",
        "HeadingUnit",      "TemperatureUnit", "Declination", "Damping",         "DampSize",
        "AsicPeriod",       "CompassWord",    "MagnetometerWord", "TemperatureWord", "OutputMode",
        "CalibrationStarted", "Halted",       "CalibrationStopped", "Saved",     "Sentence",
        "Unmatched",        "NoDollar",
    };
    return names[int(reply)];
}
}  // namespace

class TestWireProtocol : public QObject {
    Q_OBJECT
private slots:
    void cutsBufferIntoLines_data();
    void cutsBufferIntoLines();
    void errorIndication_data();
    void errorIndication();
    void extractResponse_data();
    void extractResponse();
    void leadingNumber_data();
    void leadingNumber();
    void rowNumber_data();
    void rowNumber();
    void valuesCompareAsWholeTexts_data();
    void valuesCompareAsWholeTexts();
    void classifiesReplies_data();
    void classifiesReplies();
};

// The buffer is cut the way the dispatcher cuts it, line after line from the front.
void TestWireProtocol::cutsBufferIntoLines_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<QByteArrayList>("lines");
    QTest::addColumn<QByteArray>("rest");

    QTest::newRow("empty") << QByteArray() << QByteArrayList{} << QByteArray();
    QTest::newRow("incomplete only") << QByteArray("$b=5*") << QByteArrayList{} << QByteArray("$b=5*");
    QTest::newRow("CR LF") << QByteArray("$h*\r\n") << QByteArrayList{"$h*\r\n"} << QByteArray();
    QTest::newRow("CR only") << QByteArray("$h*\r") << QByteArrayList{"$h*\r"} << QByteArray();
    QTest::newRow("both endings, then half a line")
        << QByteArray("$ec=*\r\n$em=*\r$et")
        << QByteArrayList{"$ec=*\r\n", "$em=*\r"} << QByteArray("$et");
    QTest::newRow("LF not right after CR starts the next line")
        << QByteArray("a\r\nb\r\n\nc\r") << QByteArrayList{"a\r\n", "b\r\n", "\nc\r"} << QByteArray();
    QTest::newRow("CR CR LF: the LF goes with the second CR")
        << QByteArray("a\r\r\n") << QByteArrayList{"a\r", "\r\n"} << QByteArray();
    QTest::newRow("late LF waits as the start of the next line")
        << QByteArray("\n") << QByteArrayList{} << QByteArray("\n");
    QTest::newRow("lone CRs are empty lines")
        << QByteArray("\r\r") << QByteArrayList{"\r", "\r"} << QByteArray();
    QTest::newRow("NUL bytes are ordinary bytes")
        << bytes("\0$\0\r\0\r\n\0", 8) << QByteArrayList{bytes("\0$\0\r", 4), bytes("\0\r\n", 3)}
        << bytes("\0", 1);
    QTest::newRow("bytes above 127") << QByteArray("\xff\xfe\x80\r\n\xc9")
                                     << QByteArrayList{"\xff\xfe\x80\r\n"} << QByteArray("\xc9");
    QTest::newRow("very long line") << repeated('x', 100000) + "\r\n" + "y"
                                    << QByteArrayList{repeated('x', 100000) + "\r\n"} << QByteArray("y");
}

void TestWireProtocol::cutsBufferIntoLines()
{
    QFETCH(QByteArray, buffer);
    QFETCH(QByteArrayList, lines);
    QFETCH(QByteArray, rest);

    QByteArrayList seen;
    QByteArrayView left(buffer);
    while (const qsizetype length = wire::nextLineLength(left)) {
        seen << left.first(length).toByteArray();
        left = left.sliced(length);
    }
    QCOMPARE(seen, lines);
    QCOMPARE(left.toByteArray(), rest);
}

void TestWireProtocol::errorIndication_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("error");

    QTest::newRow("only E and star") << QByteArray("E*\r\n") << true;
    QTest::newRow("E after the star") << QByteArray("$h*E\r\n") << false;
    QTest::newRow("E without any star") << QByteArray("$info,Error\r\n") << false;
    QTest::newRow("only E") << QByteArray("E") << false;
    QTest::newRow("only star") << QByteArray("*") << false;
    QTest::newRow("only dollar") << QByteArray("$") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("star first, E later") << QByteArray("*E*\r") << false;
    QTest::newRow("error code in a sentence") << QByteArray("$C123.4:E004*7A\r\n") << true;
    QTest::newRow("E inside an info text") << QByteArray("$info,Dravik BoardE*\r\n") << true;
    QTest::newRow("lower-case e") << QByteArray("$halt=e*\r\n") << false;
    QTest::newRow("Latin-1 capital E with accent") << QByteArray("$\xc9\xca*\r\n") << false;
    QTest::newRow("NUL bytes around E") << bytes("\0E\0*\r", 5) << true;
    QTest::newRow("NUL before star, no E") << bytes("$\0*E\r", 5) << false;
    QTest::newRow("E just before a far star") << repeated('x', 99999) + "E*\r" << true;
    QTest::newRow("E far after the star") << "*" + repeated('x', 99999) + "E\r" << false;
}

void TestWireProtocol::errorIndication()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, error);
    QCOMPARE(wire::hasErrorIndication(line), error);
}

void TestWireProtocol::extractResponse_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("end");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("reply value") << QByteArray("$sn=m*\r\n") << QByteArray("$sn=") << QByteArray("*")
                                 << QByteArray("m");
    QTest::newRow("value with tail after star")
        << QByteArray("$sn=t*5C\r\n") << QByteArray("$sn=") << QByteArray("*") << QByteArray("t");
    QTest::newRow("rate to the carriage return")
        << QByteArray("$b=5\r\n") << QByteArray("$b=") << QByteArray("\r") << QByteArray("5");
    QTest::newRow("heading word runs to the star")
        << QByteArray("$C123.4X-12.5Y40*\r\n") << QByteArray("C") << QByteArray("*")
        << QByteArray("123.4X-12.5Y40");
    QTest::newRow("error sentence ends at the colon")
        << QByteArray("$C12.5:E004*\r\n") << QByteArray("C") << QByteArray(":") << QByteArray("12.5");
    QTest::newRow("first occurrences of both tags")
        << QByteArray("$X1Y2X3Y4*") << QByteArray("X") << QByteArray("Y") << QByteArray("1");
    QTest::newRow("multi-byte end tag") << QByteArray("$a=1*x*") << QByteArray("$a=")
                                        << QByteArray("*x") << QByteArray("1");
    QTest::newRow("empty value") << QByteArray("$sn=*") << QByteArray("$sn=") << QByteArray("*")
                                 << QByteArray();
    QTest::newRow("end tag missing") << QByteArray("$sn=m\r\n") << QByteArray("$sn=") << QByteArray("*")
                                     << QByteArray();
    QTest::newRow("end tag before the start tag")
        << QByteArray("*$sn=m*\r\n") << QByteArray("$sn=") << QByteArray("*") << QByteArray();
    QTest::newRow("end tag searched from the beginning, not after the start")
        << QByteArray("Y0$X1Y2*") << QByteArray("X") << QByteArray("Y") << QByteArray();
    QTest::newRow("end tag inside the start tag")
        << QByteArray("$sn=m*") << QByteArray("$sn=") << QByteArray("=") << QByteArray();
    QTest::newRow("start tag missing") << QByteArray("m*\r\n") << QByteArray("$sn=") << QByteArray("*")
                                       << QByteArray();
    QTest::newRow("only star") << QByteArray("*") << QByteArray("$") << QByteArray("*") << QByteArray();
    QTest::newRow("only dollar") << QByteArray("$") << QByteArray("$") << QByteArray("*") << QByteArray();
    QTest::newRow("only E") << QByteArray("E") << QByteArray("E") << QByteArray("*") << QByteArray();
    QTest::newRow("NUL bytes are kept") << bytes("$id=\0\x01*\r", 8) << QByteArray("$id=")
                                        << QByteArray("*") << bytes("\0\x01", 2);
    QTest::newRow("bytes above 127 are kept")
        << QByteArray("$info,Board \xb5\xff*\r\n") << QByteArray("$info,") << QByteArray("*")
        << QByteArray("Board \xb5\xff");
    QTest::newRow("very long value") << "$info," + repeated('a', 50000) + "*\r\n" << QByteArray("$info,")
                                     << QByteArray("*") << repeated('a', 50000);
}

void TestWireProtocol::extractResponse()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, end);
    QFETCH(QByteArray, value);
    QCOMPARE(wire::extractResponse(line, start, end).toByteArray(), value);
}

void TestWireProtocol::leadingNumber_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("number");

    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("integer") << QByteArray("3200") << 3200.0;
    QTest::newRow("decimal") << QByteArray("123.4") << 123.4;
    QTest::newRow("leading zeros") << QByteArray("0045.50") << 45.5;
    QTest::newRow("minus") << QByteArray("-12.25") << -12.25;
    QTest::newRow("plus") << QByteArray("+7") << 7.0;
    QTest::newRow("point first") << QByteArray(".5") << 0.5;
    QTest::newRow("minus point first") << QByteArray("-.5") << -0.5;
    QTest::newRow("trailing point") << QByteArray("5.") << 5.0;
    QTest::newRow("second point ends the number") << QByteArray("1.2.3") << 1.2;
    QTest::newRow("rest of the sentence ignored") << QByteArray("359.9X-12Y40*") << 359.9;
    QTest::newRow("error code ignored") << QByteArray("12:E004*") << 12.0;
    QTest::newRow("blanks before the number") << QByteArray(" \t42") << 42.0;
    QTest::newRow("no exponent") << QByteArray("1e3") << 1.0;
    QTest::newRow("empty") << QByteArray() << 0.0;
    QTest::newRow("letters") << QByteArray("abc") << 0.0;
    QTest::newRow("sign only") << QByteArray("-") << 0.0;
    QTest::newRow("point only") << QByteArray(".") << 0.0;
    QTest::newRow("sign and point") << QByteArray("-.") << 0.0;
    QTest::newRow("two signs") << QByteArray("--1") << 0.0;
    QTest::newRow("inf is no number") << QByteArray("inf") << 0.0;
    QTest::newRow("nan is no number") << QByteArray("nan") << 0.0;
    QTest::newRow("hex is no number") << QByteArray("0x1F") << 0.0;
    QTest::newRow("NUL first") << bytes("\0" "12", 3) << 0.0;
    QTest::newRow("NUL ends the number") << bytes("12\0" "3", 4) << 12.0;
    QTest::newRow("byte above 127 first") << QByteArray("\xff" "12") << 0.0;
    QTest::newRow("byte above 127 ends the number") << QByteArray("12\xb0") << 12.0;
    QTest::newRow("many digits") << QByteArray("123456789012345678901234567890") << 1.2345678901234568e29;
    QTest::newRow("more digits than a double holds") << "1" + repeated('0', 400) << inf;
    QTest::newRow("negative, more digits than a double holds") << "-9" + repeated('9', 400) << -inf;
    QTest::newRow("smaller than a double holds") << "0." + repeated('0', 400) + "1" << 0.0;
}

void TestWireProtocol::leadingNumber()
{
    QFETCH(QByteArray, text);
    QFETCH(double, number);
    const double seen = wire::leadingNumber(text);
    if (std::isinf(number))
        QCOMPARE(seen, number);
    else
        QVERIFY2(seen == number || qFuzzyCompare(seen, number),
                 qPrintable(QStringLiteral("read %1, expected %2").arg(seen, 0, 'g', 17).arg(number, 0, 'g', 17)));
}

void TestWireProtocol::rowNumber_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("row");  // -1: names no row

    QTest::newRow("rate row 5") << QByteArray("5\r") << 9 << 5;
    QTest::newRow("last rate row") << QByteArray("8") << 9 << 8;
    QTest::newRow("first row") << QByteArray("0") << 8 << 0;
    QTest::newRow("one past the last row") << QByteArray("9") << 9 << -1;
    QTest::newRow("far past the last row") << QByteArray("4000000000") << 9 << -1;
    QTest::newRow("negative") << QByteArray("-1") << 9 << -1;
    QTest::newRow("fraction dropped") << QByteArray("4.9") << 8 << 4;
    QTest::newRow("no number reads as row 0") << QByteArray("x") << 8 << 0;
    QTest::newRow("empty list") << QByteArray("0") << 0 << -1;
    QTest::newRow("more digits than a double holds") << "1" + repeated('0', 400) << 9 << -1;
}

void TestWireProtocol::rowNumber()
{
    QFETCH(QByteArray, value);
    QFETCH(int, rowCount);
    QFETCH(int, row);
    QCOMPARE(wire::rowNumber(value, rowCount).value_or(-1), row);
}

void TestWireProtocol::valuesCompareAsWholeTexts_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("equal");

    QTest::newRow("same letter") << QByteArray("m") << QByteArray("m") << true;
    QTest::newRow("longer value") << QByteArray("m2") << QByteArray("m") << false;
    QTest::newRow("value with blank") << QByteArray(" e") << QByteArray("e") << false;
    QTest::newRow("upper case") << QByteArray("D") << QByteArray("d") << false;
    QTest::newRow("empty value") << QByteArray() << QByteArray("t") << false;
    QTest::newRow("identity 7") << QByteArray("7") << QByteArray("7") << true;
    QTest::newRow("identity 70") << QByteArray("70") << QByteArray("7") << false;
    QTest::newRow("trailing NUL") << bytes("c\0", 2) << QByteArray("c") << false;
}

void TestWireProtocol::valuesCompareAsWholeTexts()
{
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, text);
    QFETCH(bool, equal);
    QCOMPARE(wire::valueIs(value, text), equal);
}

void TestWireProtocol::classifiesReplies_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("reply");
    QTest::addColumn<bool>("containsInfo");

    auto row = [](const char* name, const QByteArray& line, Reply reply, bool info = false) {
        QTest::newRow(name) << line << int(reply) << info;
    };
    row("rate", "$b=5\r\n", Reply::BaudRate);
    row("info", "$info,Dravik board*\r\n", Reply::Info, true);
    row("rate tag inside an info text wins", "$info,see $b=3*\r\n", Reply::BaudRate, true);
    row("identity", "$id=7*\r\n", Reply::Id);
    row("north reference", "$sn=m*\r\n", Reply::NorthReference);
    row("single character halt before halted", "$halt=e*\r\n", Reply::SingleCharHalt);
    row("heading unit", "$uc=d*\r\n", Reply::HeadingUnit);
    row("temperature unit", "$ut=c*\r\n", Reply::TemperatureUnit);
    row("declination", "$mag_dec=-2.5*\r\n", Reply::Declination);
    row("damping before damping size", "$damping=e*\r\n", Reply::Damping);
    row("damping size", "$dampsize=3*\r\n", Reply::DampSize);
    row("asic period", "$ps=4*\r\n", Reply::AsicPeriod);
    row("compass word", "$ec=*\r\n", Reply::CompassWord);
    row("magnetometer word", "$em=*\r\n", Reply::MagnetometerWord);
    row("temperature word", "$et=*\r\n", Reply::TemperatureWord);
    row("output mode", "$sdo=t*\r\n", Reply::OutputMode);
    row("calibration started", "$mpcal=e*\r\n", Reply::CalibrationStarted);
    row("halted", "$h*\r\n", Reply::Halted);
    row("calibration stopped", "$mpcal=d*\r\n", Reply::CalibrationStopped);
    row("saved", "$save*\r\n", Reply::Saved);
    row("tag not at the start", "xx$id=20*\r\n", Reply::Id);
    row("late line feed in front", "\n$h*\r", Reply::Halted);
    row("earlier tag decides wherever it stands", "$h*$sn=m*\r\n", Reply::NorthReference);
    row("unknown calibration reply is a sentence", "$mpcal=x*\r\n", Reply::Sentence);
    row("tags are case sensitive", "$B=5*\r\n", Reply::Sentence);
    row("data sentence", "$C123.4X-12Y40T21.5*5A\r\n", Reply::Sentence);
    row("data sentence with error", "$C123.4:E004*\r\n", Reply::Sentence);
    row("dollar without star", "$C123.4\r\n", Reply::Unmatched);
    row("only dollar", "$", Reply::Unmatched);
    row("only dollars", "$$$$\r", Reply::Unmatched);
    row("only star", "*\r\n", Reply::NoDollar);
    row("only E", "E\r\n", Reply::NoDollar);
    row("E and star", "E*\r\n", Reply::NoDollar);
    row("empty", "", Reply::NoDollar);
    row("bytes above 127", "\xff$\xfe*\r\n", Reply::Sentence);
    row("NUL before a tag", bytes("\0$sn=m*\r", 8), Reply::NorthReference);
    row("NUL inside a tag", bytes("$\0sn=m*\r", 8), Reply::Sentence);
    row("tag at the end of a very long line", repeated('x', 100000) + "$save\r", Reply::Saved);
}

void TestWireProtocol::classifiesReplies()
{
    QFETCH(QByteArray, line);
    QFETCH(int, reply);
    QFETCH(bool, containsInfo);
    const wire::ReplyTags tags = wire::scanReplyTags(line);
    QCOMPARE(replyName(tags.first()), replyName(Reply(reply)));
    QCOMPARE(tags.contains(Reply::Info), containsInfo);
}

QTEST_APPLESS_MAIN(TestWireProtocol)
#include "test_wireprotocol.moc"
