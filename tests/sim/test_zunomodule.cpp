// The simulated module as a protocol peer: replies, settings, errors, halts, the data
// sentence and the calibration, all without timers.
#include <QRegularExpression>
#include <QtTest>

#include <cmath>

#include "sim/zunomodule.h"

namespace {

// Framing written out independently of the module: "$" body "*" XOR-hex CR LF.
QByteArray framed(const QByteArray& body)
{
    int x = 0;
    for (char c : body) x ^= uchar(c);
    return "$" + body + "*" + QByteArray::number(x, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

QList<QByteArray> lines(const QByteArray& bytes)
{
    QList<QByteArray> out;
    qsizetype start = 0;
    for (qsizetype i = bytes.indexOf("\r\n"); i >= 0; i = bytes.indexOf("\r\n", start)) {
        out << bytes.mid(start, i + 2 - start);
        start = i + 2;
    }
    if (start < bytes.size()) out << bytes.mid(start);
    return out;
}

// What the application's error indication sees: a capital E before the first "*".
bool carriesError(const QByteArray& line)
{
    const qsizetype star = line.indexOf('*');
    const qsizetype e = line.indexOf('E');
    return star >= 0 && e >= 0 && e < star;
}

bool checksumHolds(const QByteArray& line)
{
    const qsizetype star = line.indexOf('*');
    if (!line.startsWith('$') || star < 0 || !line.endsWith("\r\n") || line.size() != star + 5) return false;
    return framed(line.mid(1, star - 1)) == line;
}

ZunoMotion still()  // no wobble, no noise, no iron: the heading is the body heading
{
    ZunoMotion m;
    m.wobbleAmplitude = 0;
    m.noise = 0;
    m.hardIronX = m.hardIronY = 0;
    m.softIronY = 1;
    return m;
}

struct Reading {
    double c = NAN, x = NAN, y = NAN, z = NAN, t = NAN;
};

Reading parse(const QByteArray& line)
{
    Reading r;
    static const QRegularExpression word(QStringLiteral("([CXYZT])(-?[0-9]+(?:\\.[0-9]+)?)"));
    const QString body = QString::fromLatin1(line.left(line.indexOf('*')));
    for (auto it = word.globalMatch(body); it.hasNext();) {
        const auto m = it.next();
        const double v = m.captured(2).toDouble();
        switch (m.captured(1).at(0).toLatin1()) {
        case 'C': r.c = v; break;
        case 'X': r.x = v; break;
        case 'Y': r.y = v; break;
        case 'Z': r.z = v; break;
        case 'T': r.t = v; break;
        }
    }
    return r;
}

double angleBetween(double a, double b)
{
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

// Streams for ms and returns the sentences.
QList<QByteArray> stream(ZunoModule& m, double ms)
{
    m.receive("go\r");
    QList<QByteArray> out;
    for (double t = 0; t < ms; t += 50) out << lines(m.advance(50));
    return out;
}

using Setup = std::function<void(ZunoSettings&)>;

}  // namespace

Q_DECLARE_METATYPE(Setup)

class TestZunoModule : public QObject {
    Q_OBJECT
private slots:
    void framing();
    void queries_data();
    void queries();
    void settings_data();
    void settings();
    void errors_data();
    void errors();
    void halts_data();
    void halts();
    void sentenceFormat_data();
    void sentenceFormat();
    void headingFollowsBody_data();
    void headingFollowsBody();
    void temperatureUnits();
    void dampingLags_data();
    void dampingLags();
    void sentenceRate_data();
    void sentenceRate();
    void calibration_data();
    void calibration();
    void clearCalibrationRestoresOffset();
    void calibrationExchangeAsTheAppRunsIt();
    void configuredTextsCannotFakeRepliesOrErrors();
};

void TestZunoModule::framing()
{
    ZunoModule m;
    // 'h' alone: the checksum is the byte itself.
    QCOMPARE(m.receive("h\r"), QByteArray("$h*68\r\n"));
    const QByteArray b = m.receive("b?\r");
    QVERIFY(checksumHolds(b));
    // The number comes right after "$b=", so a reader up to the CR still sees it first.
    QVERIFY(b.startsWith("$b=8*"));
}

void TestZunoModule::queries_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("expected");  // reply bodies, one per line, '|' separated

    auto none = [](ZunoSettings&) {};
    QTest::newRow("rate default") << Setup(none) << QByteArray("b?") << QByteArray("b=8");
    QTest::newRow("rate 2") << Setup([](ZunoSettings& s) { s.lineRateRow = 2; }) << QByteArray("b?") << QByteArray("b=2");
    QTest::newRow("info: board then module")
        << Setup([](ZunoSettings& s) { s.boardInfo = "Dravik board 9"; s.moduleInfo = "Zuno 20 two axis"; })
        << QByteArray("info?") << QByteArray("info,Dravik board 9|info,Zuno 20 two axis");
    QTest::newRow("id 7") << Setup(none) << QByteArray("id?") << QByteArray("id=7");
    QTest::newRow("id 20") << Setup([](ZunoSettings& s) { s.identity = "20"; }) << QByteArray("id?") << QByteArray("id=20");
    QTest::newRow("north magnetic") << Setup(none) << QByteArray("sn?") << QByteArray("sn=m");
    QTest::newRow("north true") << Setup([](ZunoSettings& s) { s.northReference = 't'; }) << QByteArray("sn?")
                                << QByteArray("sn=t");
    QTest::newRow("halt off") << Setup(none) << QByteArray("halt?") << QByteArray("halt=d");
    QTest::newRow("mils") << Setup([](ZunoSettings& s) { s.headingUnit = 'm'; }) << QByteArray("uc?") << QByteArray("uc=m");
    QTest::newRow("fahrenheit") << Setup([](ZunoSettings& s) { s.temperatureUnit = 'f'; }) << QByteArray("ut?")
                                << QByteArray("ut=f");
    QTest::newRow("declination") << Setup([](ZunoSettings& s) { s.declination = "-12.5"; }) << QByteArray("mag_dec?")
                                 << QByteArray("mag_dec=-12.5");
    QTest::newRow("damping on") << Setup([](ZunoSettings& s) { s.damping = true; }) << QByteArray("damping?")
                                << QByteArray("damping=e");
    QTest::newRow("damp size 17") << Setup([](ZunoSettings& s) { s.dampSize = 17; }) << QByteArray("dampsize?")
                                  << QByteArray("dampsize=17");
    QTest::newRow("asic period 6") << Setup([](ZunoSettings& s) { s.asicPeriodRow = 6; }) << QByteArray("ps?")
                                   << QByteArray("ps=6");
    QTest::newRow("raw output") << Setup([](ZunoSettings& s) { s.outputMode = 'r'; }) << QByteArray("sdo?")
                                << QByteArray("sdo=r");
    QTest::newRow("varo output") << Setup(none) << QByteArray("sdo?") << QByteArray("sdo=t");
    QTest::newRow("compass word off") << Setup([](ZunoSettings& s) { s.compassWord = false; }) << QByteArray("ec?")
                                      << QByteArray("ec=d");
    QTest::newRow("magnetometer word") << Setup(none) << QByteArray("em?") << QByteArray("em=e");
    QTest::newRow("temperature word off") << Setup([](ZunoSettings& s) { s.temperatureWord = false; })
                                          << QByteArray("et?") << QByteArray("et=d");
}

void TestZunoModule::queries()
{
    QFETCH(Setup, setup);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, expected);
    ZunoSettings s;
    setup(s);
    ZunoModule m(s);
    QByteArray want;
    for (const QByteArray& body : expected.split('|')) want += framed(body);
    const QByteArray got = m.receive(command + '\r');
    QCOMPARE(got, want);
    for (const QByteArray& line : lines(got)) QVERIFY2(!carriesError(line), line.constData());
}

void TestZunoModule::settings_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("ack");  // empty: the module answers nothing
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reported");

    QTest::newRow("true north") << QByteArray("sn=t") << QByteArray() << QByteArray("sn") << QByteArray("sn=t");
    QTest::newRow("declination as sent") << QByteArray("mag_dec=+7.25") << QByteArray() << QByteArray("mag_dec")
                                         << QByteArray("mag_dec=+7.25");
    QTest::newRow("mils") << QByteArray("uc=m") << QByteArray() << QByteArray("uc") << QByteArray("uc=m");
    QTest::newRow("fahrenheit") << QByteArray("ut=f") << QByteArray() << QByteArray("ut") << QByteArray("ut=f");
    QTest::newRow("damping on") << QByteArray("damping=e") << QByteArray() << QByteArray("damping")
                                << QByteArray("damping=e");
    QTest::newRow("damp size 20") << QByteArray("dampsize=20") << QByteArray() << QByteArray("dampsize")
                                  << QByteArray("dampsize=20");
    QTest::newRow("damp size 1") << QByteArray("dampsize=1") << QByteArray() << QByteArray("dampsize")
                                 << QByteArray("dampsize=1");
    QTest::newRow("asic /4096") << QByteArray("ps=7") << QByteArray() << QByteArray("ps") << QByteArray("ps=7");
    QTest::newRow("asic /32") << QByteArray("ps=0") << QByteArray() << QByteArray("ps") << QByteArray("ps=0");
    QTest::newRow("raw mode") << QByteArray("sdo=r") << QByteArray("sdo=r") << QByteArray("sdo") << QByteArray("sdo=r");
    QTest::newRow("varo mode") << QByteArray("sdo=t") << QByteArray("sdo=t") << QByteArray("sdo") << QByteArray("sdo=t");
    QTest::newRow("compass off") << QByteArray("ec=d") << QByteArray("ec=d") << QByteArray("ec") << QByteArray("ec=d");
    QTest::newRow("compass on") << QByteArray("ec=e") << QByteArray("ec=e") << QByteArray("ec") << QByteArray("ec=e");
    QTest::newRow("magnetometer off") << QByteArray("em=d") << QByteArray("em=d") << QByteArray("em")
                                      << QByteArray("em=d");
    QTest::newRow("temperature off") << QByteArray("et=d") << QByteArray("et=d") << QByteArray("et")
                                     << QByteArray("et=d");
    QTest::newRow("line rate 9600") << QByteArray("b=5") << QByteArray("b=5") << QByteArray("b") << QByteArray("b=5");
    QTest::newRow("line rate 300") << QByteArray("b=0") << QByteArray("b=0") << QByteArray("b") << QByteArray("b=0");
    // Single-character halt is on beforehand, so the command's own "h" halts first.
    QTest::newRow("halt off") << QByteArray("halt=d") << QByteArray("h") << QByteArray("halt") << QByteArray("halt=d");
}

void TestZunoModule::settings()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, ack);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reported);
    ZunoSettings s;  // start from the opposite of what the command sets, where it matters
    s.northReference = 't';
    s.headingUnit = 'm';
    s.temperatureUnit = 'f';
    s.singleCharacterHalt = true;
    s.asicPeriodRow = 3;
    s.outputMode = command == "sdo=r" ? 't' : 'r';
    s.compassWord = command != "ec=e";
    ZunoModule m(s);
    QCOMPARE(m.receive(command + '\r'), ack.isEmpty() ? QByteArray() : framed(ack));
    QCOMPARE(m.receive(query + "?\r"), framed(reported));
}

void TestZunoModule::errors_data()
{
    QTest::addColumn<QByteArray>("identity");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("code");

    QTest::newRow("unknown") << QByteArray("7") << QByteArray("hello") << 1;
    QTest::newRow("unknown query") << QByteArray("7") << QByteArray("speed?") << 1;
    QTest::newRow("unknown setting") << QByteArray("7") << QByteArray("speed=3") << 1;
    QTest::newRow("halt with text") << QByteArray("7") << QByteArray("hx") << 1;
    QTest::newRow("rate beyond table") << QByteArray("7") << QByteArray("b=9") << 2;
    QTest::newRow("rate leading zero") << QByteArray("7") << QByteArray("b=05") << 2;
    QTest::newRow("rate empty") << QByteArray("7") << QByteArray("b=") << 2;
    QTest::newRow("period beyond table") << QByteArray("7") << QByteArray("ps=8") << 2;
    QTest::newRow("period signed") << QByteArray("7") << QByteArray("ps=-1") << 2;
    QTest::newRow("damp size 0") << QByteArray("7") << QByteArray("dampsize=0") << 2;
    QTest::newRow("damp size 21") << QByteArray("7") << QByteArray("dampsize=21") << 2;
    QTest::newRow("north x") << QByteArray("7") << QByteArray("sn=x") << 2;
    QTest::newRow("unit word") << QByteArray("7") << QByteArray("uc=degrees") << 2;
    QTest::newRow("declination letters") << QByteArray("7") << QByteArray("mag_dec=abc") << 2;
    QTest::newRow("declination exponent") << QByteArray("7") << QByteArray("mag_dec=1E1") << 2;
    QTest::newRow("declination empty") << QByteArray("7") << QByteArray("mag_dec=") << 2;
    QTest::newRow("declination beyond 180") << QByteArray("7") << QByteArray("mag_dec=180.5") << 2;
    QTest::newRow("declination two points") << QByteArray("7") << QByteArray("mag_dec=1.2.3") << 2;
    QTest::newRow("too long") << QByteArray("7") << QByteArray(60, 'a') << 3;
    QTest::newRow("20: temperature unit") << QByteArray("20") << QByteArray("ut=c") << 4;
    QTest::newRow("20: damping query") << QByteArray("20") << QByteArray("damping?") << 4;
    QTest::newRow("20: damp size") << QByteArray("20") << QByteArray("dampsize=3") << 4;
    QTest::newRow("20: calibration") << QByteArray("20") << QByteArray("mpcal=e") << 4;
    QTest::newRow("20: clear calibration") << QByteArray("20") << QByteArray("cc") << 4;
    QTest::newRow("20: temperature word") << QByteArray("20") << QByteArray("et=d") << 4;
}

void TestZunoModule::errors()
{
    QFETCH(QByteArray, identity);
    QFETCH(QByteArray, command);
    QFETCH(int, code);
    ZunoSettings s;
    s.identity = identity;
    ZunoModule m(s);
    const QByteArray before = m.receive("sn?\rmag_dec?\rb?\r");
    const QByteArray got = m.receive(command + '\r');
    QCOMPARE(got, framed("E" + QByteArray::number(code).rightJustified(3, '0')));
    QVERIFY(carriesError(got));
    // A refused command changes nothing.
    QCOMPARE(m.receive("sn?\rmag_dec?\rb?\r"), before);
}

void TestZunoModule::halts_data()
{
    QTest::addColumn<bool>("singleCharacter");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("replies");  // bodies, '|' separated
    QTest::addColumn<bool>("streamingAfter");

    QTest::newRow("h CR") << false << QByteArray("h\r") << QByteArray("h") << false;
    QTest::newRow("h without CR waits for it") << false << QByteArray("h") << QByteArray() << true;
    QTest::newRow("lone CR ignored") << false << QByteArray("\r") << QByteArray() << true;
    QTest::newRow("test start: h, CR, ec=e") << false << QByteArray("h\r\rec=e\r") << QByteArray("h|ec=e") << false;
    QTest::newRow("single byte h") << true << QByteArray("h") << QByteArray("h") << false;
    QTest::newRow("single h then CR answers once") << true << QByteArray("h\r") << QByteArray("h") << false;
    QTest::newRow("single: test start") << true << QByteArray("h\rec=e\r") << QByteArray("h|ec=e") << false;
    QTest::newRow("single: stop then start") << true << QByteArray("hh\rec=e\r") << QByteArray("h|h|ec=e") << false;
    QTest::newRow("single: halt query still read") << true << QByteArray("halt?\r") << QByteArray("h|halt=e") << false;
    QTest::newRow("single: switched off") << true << QByteArray("halt=d\rh") << QByteArray("h") << false;
    QTest::newRow("noise drops the half command") << false << QByteArray("sn\x85?\rsn?\r") << QByteArray("E001|sn=m")
                                                  << true;
    QTest::newRow("line feeds and flow control ignored") << false << QByteArray("\x13s\nn\x11?\r")
                                                         << QByteArray("sn=m") << true;
}

void TestZunoModule::halts()
{
    QFETCH(bool, singleCharacter);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, replies);
    QFETCH(bool, streamingAfter);
    ZunoSettings s;
    s.singleCharacterHalt = singleCharacter;
    ZunoModule m(s);
    QCOMPARE(m.receive("go\r"), QByteArray());
    QVERIFY(m.streaming());
    QByteArray want;
    if (!replies.isEmpty())
        for (const QByteArray& body : replies.split('|')) want += framed(body);
    QCOMPARE(m.receive(input), want);
    QCOMPARE(m.streaming(), streamingAfter);
    QCOMPARE(m.advance(1000).isEmpty(), !streamingAfter);
}

void TestZunoModule::sentenceFormat_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("pattern");  // of the body between "$" and "*"

    const QString deg = QStringLiteral("C(?:[0-9]|[1-9][0-9]|[12][0-9][0-9]|3[0-5][0-9])\\.[0-9]");
    const QString g = QStringLiteral("-?[0-9]\\.[0-9]{3}");
    const QString t = QStringLiteral("T-?[0-9]{1,3}\\.[0-9]");
    QTest::newRow("7, all words") << Setup([](ZunoSettings&) {})
                                  << deg + "X" + g + "Y" + g + "Z" + g + t;
    QTest::newRow("20: no Z, no T") << Setup([](ZunoSettings& s) { s.identity = "20"; }) << deg + "X" + g + "Y" + g;
    QTest::newRow("other identity: no Z") << Setup([](ZunoSettings& s) { s.identity = "5"; })
                                          << deg + "X" + g + "Y" + g + t;
    QTest::newRow("compass only (test mode)")
        << Setup([](ZunoSettings& s) { s.magnetometerWord = s.temperatureWord = false; }) << deg;
    QTest::newRow("no compass") << Setup([](ZunoSettings& s) { s.compassWord = false; }) << "X" + g + "Y" + g + "Z" + g + t;
    QTest::newRow("no words") << Setup([](ZunoSettings& s) { s.compassWord = s.magnetometerWord = s.temperatureWord = false; })
                              << QString();
    QTest::newRow("mils") << Setup([](ZunoSettings& s) { s.headingUnit = 'm'; s.magnetometerWord = false; })
                          << QStringLiteral("C(?:0|[1-9][0-9]{0,3})") + t;
    QTest::newRow("raw, 7") << Setup([](ZunoSettings& s) { s.outputMode = 'r'; })
                            << QStringLiteral("X-?[0-9]+Y-?[0-9]+Z-?[0-9]+");
    QTest::newRow("raw, 20") << Setup([](ZunoSettings& s) { s.outputMode = 'r'; s.identity = "20"; })
                             << QStringLiteral("X-?[0-9]+Y-?[0-9]+");
}

void TestZunoModule::sentenceFormat()
{
    QFETCH(Setup, setup);
    QFETCH(QString, pattern);
    ZunoSettings s;
    setup(s);
    ZunoModule m(s);
    const QRegularExpression re(QStringLiteral("^\\$") + pattern + QStringLiteral("\\*[0-9A-F]{2}\r\n$"));
    const QList<QByteArray> sentences = stream(m, 60000);  // a whole turn and more
    QVERIFY(sentences.size() > 100);
    for (const QByteArray& line : sentences) {
        QVERIFY2(re.match(QString::fromLatin1(line)).hasMatch(), line.constData());
        QVERIFY2(checksumHolds(line), line.constData());
        QVERIFY2(!carriesError(line), line.constData());
    }
}

void TestZunoModule::headingFollowsBody_data()
{
    QTest::addColumn<char>("unit");
    QTest::addColumn<char>("north");
    QTest::addColumn<QByteArray>("declination");

    QTest::newRow("degrees, magnetic") << 'd' << 'm' << QByteArray("10.0");
    QTest::newRow("degrees, true east") << 'd' << 't' << QByteArray("10.0");
    QTest::newRow("degrees, true west") << 'd' << 't' << QByteArray("-23.5");
    QTest::newRow("mils, magnetic") << 'm' << 'm' << QByteArray("0.0");
    QTest::newRow("mils, true") << 'm' << 't' << QByteArray("45");
}

void TestZunoModule::headingFollowsBody()
{
    QFETCH(char, unit);
    QFETCH(char, north);
    QFETCH(QByteArray, declination);
    ZunoSettings s;
    s.headingUnit = unit;
    s.northReference = north;
    s.declination = declination;
    s.magnetometerWord = s.temperatureWord = false;
    s.calibrated = true;  // a module whose calibration matches its iron
    ZunoMotion motion;
    motion.noise = 0;
    s.calOffsetX = motion.hardIronX;
    s.calOffsetY = motion.hardIronY;
    s.calScaleY = 1 / motion.softIronY;
    ZunoModule m(s, motion);
    m.receive("go\r");
    const double toDegrees = unit == 'm' ? 360.0 / 6400 : 1;
    const double offset = north == 't' ? declination.toDouble() : 0;
    double previous = NAN, turned = 0;
    for (int i = 0; i < 400; ++i) {
        const QList<QByteArray> got = lines(m.advance(100));
        QVERIFY(!got.isEmpty());
        const double heading = parse(got.last()).c * toDegrees;
        // The sentence was made at the last sample, at most one period ago.
        QVERIFY2(angleBetween(heading, m.bodyHeading() + offset) < 1.0,
                 qPrintable(QStringLiteral("%1 vs %2").arg(heading).arg(m.bodyHeading() + offset)));
        if (!std::isnan(previous)) {
            // Smooth: a few degrees a second, never a jump.
            QVERIFY(angleBetween(heading, previous) < 3.0);
            turned += angleBetween(heading, previous);
        }
        previous = heading;
    }
    QVERIFY(turned > 90);  // it does turn: 40 s of simulated hand
}

void TestZunoModule::temperatureUnits()
{
    ZunoSettings celsius;
    ZunoSettings fahrenheit;
    fahrenheit.temperatureUnit = 'f';
    ZunoModule c(celsius), f(fahrenheit);
    const QList<QByteArray> cs = stream(c, 5000), fs = stream(f, 5000);
    QCOMPARE(cs.size(), fs.size());
    for (int i = 0; i < cs.size(); ++i) {
        const double tc = parse(cs[i]).t, tf = parse(fs[i]).t;
        QVERIFY(tc > 15 && tc < 35);  // a room
        QVERIFY2(std::fabs(tf - (tc * 9 / 5 + 32)) <= 0.15, qPrintable(QStringLiteral("%1 %2").arg(tc).arg(tf)));
    }
}

void TestZunoModule::dampingLags_data()
{
    QTest::addColumn<int>("dampSize");
    QTest::newRow("1") << 1;
    QTest::newRow("5") << 5;
    QTest::newRow("20") << 20;
}

void TestZunoModule::dampingLags()
{
    QFETCH(int, dampSize);
    ZunoSettings plain;
    plain.magnetometerWord = plain.temperatureWord = false;
    ZunoSettings damped = plain;
    damped.damping = true;
    damped.dampSize = dampSize;
    ZunoModule a(plain, still()), b(damped, still());
    const QList<QByteArray> as = stream(a, 10000), bs = stream(b, 10000);
    QCOMPARE(as.size(), bs.size());
    // A steady turn averaged over n samples reads as it was (n-1)/2 samples ago.
    const double expectedLag = (dampSize - 1) / 2.0 * a.samplePeriodMs() / 1000 * still().turnRate;
    for (int i = 30; i < as.size(); ++i) {
        double lag = parse(as[i]).c - parse(bs[i]).c;
        if (lag < -180) lag += 360;
        QVERIFY2(std::fabs(lag - expectedLag) < 0.15, qPrintable(QStringLiteral("lag %1, expected %2").arg(lag).arg(expectedLag)));
    }
}

void TestZunoModule::sentenceRate_data()
{
    QTest::addColumn<int>("lineRow");
    QTest::newRow("300") << 0;
    QTest::newRow("2400") << 3;
    QTest::newRow("9600") << 5;
    QTest::newRow("57600") << 8;
}

void TestZunoModule::sentenceRate()
{
    QFETCH(int, lineRow);
    const double seconds = 20;
    QList<int> counts;
    for (int row = 0; row <= 7; ++row) {
        ZunoSettings s;
        s.lineRateRow = lineRow;
        s.asicPeriodRow = row;
        ZunoModule m(s);
        const QList<QByteArray> got = stream(m, seconds * 1000);
        qsizetype bytes = 0;
        for (const QByteArray& l : got) bytes += l.size();
        // Never more than the line carries (10 bits a byte); the last sentence may
        // still be on its way when the time is up.
        if (!got.isEmpty()) bytes -= got.last().size();
        QVERIFY2(bytes * 10 <= m.lineRate() * seconds,
                 qPrintable(QStringLiteral("row %1: %2 bytes").arg(row).arg(bytes)));
        counts << got.size();
    }
    for (int row = 1; row <= 7; ++row) {
        // A longer ASIC period never sends faster, and where the line is not the limit
        // each step halves the rate.
        QVERIFY(counts[row] <= counts[row - 1]);
        if (counts[row] * 2 < counts[row - 1] * 0.9) QFAIL("more than halved");
    }
    QVERIFY(counts[7] >= 1);
    if (lineRow == 8) {
        // At 57600 the slow periods are not line-limited: exact halving.
        for (int row = 5; row <= 7; ++row) QVERIFY(std::abs(counts[row] * 2 - counts[row - 1]) <= 2);
        QVERIFY(counts[0] > 100 * seconds);  // fast enough to fill the line
    }
}

void TestZunoModule::calibration_data()
{
    QTest::addColumn<int>("turnMs");
    QTest::addColumn<bool>("saved");
    QTest::newRow("a whole turn") << 9000 << true;
    QTest::newRow("two turns") << 17000 << true;
    QTest::newRow("a quarter turn is not enough") << 2000 << false;
    QTest::newRow("no time at all") << 0 << false;
}

void TestZunoModule::calibration()
{
    QFETCH(int, turnMs);
    QFETCH(bool, saved);
    ZunoSettings s;
    s.compassWord = s.temperatureWord = false;
    const ZunoMotion motion;
    ZunoModule m(s, motion);

    auto centre = [&]() {
        // Mean X and Y over a whole turn of the ordinary (slow) hand, and the half spans.
        const QList<QByteArray> got = stream(m, 360 / motion.turnRate * 1000);
        m.receive("h\r");
        double sx = 0, sy = 0, minX = 9, maxX = -9, minY = 9, maxY = -9;
        for (const QByteArray& l : got) {
            const Reading r = parse(l);
            sx += r.x, sy += r.y;
            minX = std::min(minX, r.x), maxX = std::max(maxX, r.x);
            minY = std::min(minY, r.y), maxY = std::max(maxY, r.y);
        }
        return std::array<double, 4>{sx / got.size(), sy / got.size(), (maxX - minX) / 2, (maxY - minY) / 2};
    };
    const auto before = centre();
    QVERIFY(std::fabs(before[0] - motion.hardIronX) < 0.01);
    QVERIFY(std::fabs(before[1] - motion.hardIronY) < 0.01);

    QCOMPARE(m.receive("em=e\rmpcal=e\r"), framed("em=e") + framed("mpcal=e"));
    QVERIFY(m.calibrating());
    stream(m, turnMs);
    QCOMPARE(m.receive("h\r"), framed("h"));
    QVERIFY(m.advance(500).isEmpty());  // nothing after the halt
    QCOMPARE(m.receive("mpcal=d\r"), framed("mpcal=d"));
    QVERIFY(!m.calibrating());
    QCOMPARE(m.receive("save\r"), saved ? framed("save") : framed("E005"));
    QCOMPARE(m.settings().calibrated, saved);

    const auto after = centre();
    if (saved) {
        // The offset is gone and the ellipse became a circle.
        QVERIFY2(std::fabs(after[0]) < 0.01 && std::fabs(after[1]) < 0.01,
                 qPrintable(QStringLiteral("%1 %2").arg(after[0]).arg(after[1])));
        QVERIFY(std::fabs(after[2] - after[3]) < 0.01);
        QVERIFY(std::fabs(before[2] - before[3]) > 0.02);
    } else {
        QVERIFY(std::fabs(after[0] - before[0]) < 0.006 && std::fabs(after[1] - before[1]) < 0.006);
    }
}

void TestZunoModule::clearCalibrationRestoresOffset()
{
    ZunoSettings s;
    ZunoMotion motion;
    motion.noise = 0;
    motion.turnRate = 0;  // a module lying still: two readings differ by the offset only
    motion.wobbleAmplitude = 0;
    s.calibrated = true;
    s.calOffsetX = motion.hardIronX;
    s.calOffsetY = motion.hardIronY;
    ZunoModule m(s, motion);
    m.receive("go\r");
    const Reading calibrated = parse(lines(m.advance(200)).last());
    QCOMPARE(m.receive("cc\r"), QByteArray());
    const Reading raw = parse(lines(m.advance(80)).last());
    QVERIFY(std::fabs(raw.x - calibrated.x - motion.hardIronX) < 0.0011);
    QVERIFY(std::fabs(raw.y - calibrated.y - motion.hardIronY) < 0.0011);
    QVERIFY(!m.settings().calibrated);
}

void TestZunoModule::calibrationExchangeAsTheAppRunsIt()
{
    // The calibration sentences show the ellipse with its offset, even over a stored
    // calibration, and keep coming until the halt.
    ZunoSettings s;
    ZunoMotion motion;
    s.calibrated = true;
    s.calOffsetX = motion.hardIronX;
    s.calOffsetY = motion.hardIronY;
    ZunoModule m(s, motion);
    QByteArray replies = m.receive("em=e\rmpcal=e\rgo\r");
    QCOMPARE(replies, framed("em=e") + framed("mpcal=e"));
    double sx = 0;
    const QList<QByteArray> got = lines(m.advance(360 / motion.calibrationTurnRate * 1000));
    for (const QByteArray& l : got) sx += parse(l).x;
    QVERIFY(std::fabs(sx / got.size() - motion.hardIronX) < 0.015);
    QCOMPARE(m.receive("h\rmpcal=d\rsave\r"), framed("h") + framed("mpcal=d") + framed("save"));
    QVERIFY(m.advance(1000).isEmpty());
    QVERIFY(std::fabs(m.settings().calOffsetX - motion.hardIronX) < 0.01);
}

void TestZunoModule::configuredTextsCannotFakeRepliesOrErrors()
{
    ZunoSettings s;
    s.boardInfo = "Extra $b=3 board*\r\n";
    s.moduleInfo = "ERROR $h";
    ZunoModule m(s);
    const QList<QByteArray> got = lines(m.receive("info?\r"));
    QCOMPARE(got.size(), 2);
    for (const QByteArray& l : got) {
        QVERIFY(!carriesError(l));
        QCOMPARE(l.count('$'), 1);
        QVERIFY(checksumHolds(l));
    }
}

QTEST_GUILESS_MAIN(TestZunoModule)
#include "test_zunomodule.moc"
