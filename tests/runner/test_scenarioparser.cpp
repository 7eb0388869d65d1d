// The scenario language: texts and their escapes, control names, line numbers, and
// the errors a mistyped scenario gets, each with the line it is on.
#include <QtTest>

#include "scenarioparser.h"

using scenario::Keyword;
using scenario::parse;
using scenario::Step;

Q_DECLARE_METATYPE(scenario::Keyword)

namespace {
// One step after a start, parsed; fails the test when the source has errors.
Step only(const QByteArray& line)
{
    const scenario::Script script = parse("start\n" + line + "\n");
    if (!script.errors.isEmpty()) {
        qWarning() << "unexpected error:" << script.errors.first().line << script.errors.first().text();
        return {};
    }
    if (script.steps.size() != 2) return {};
    return script.steps[1];
}
}  // namespace

class TestScenarioParser : public QObject {
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
    void quotedReadsBack();
    void targets_data();
    void targets();
    void numbersAndWords();
    void lineNumbersSkipCommentsAndBlanks();
    void errors_data();
    void errors();
    void everyErrorIsReported();
};

void TestScenarioParser::texts_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << QByteArray(R"("Opened serial port ttyUSB0")") << QByteArray("Opened serial port ttyUSB0");
    QTest::newRow("empty") << QByteArray(R"("")") << QByteArray();
    QTest::newRow("line ends") << QByteArray(R"("$h*\r\n")") << QByteArray("$h*\r\n");
    QTest::newRow("tab") << QByteArray(R"("a\tb")") << QByteArray("a\tb");
    QTest::newRow("quote") << QByteArray(R"("say \"go\"")") << QByteArray("say \"go\"");
    QTest::newRow("backslash") << QByteArray(R"("a\\b\\")") << QByteArray("a\\b\\");
    QTest::newRow("escaped backslash before r") << QByteArray(R"("\\r")") << QByteArray("\\r");
    QTest::newRow("hex") << QByteArray(R"("\x41\x7a")") << QByteArray("Az");
    QTest::newRow("hex NUL and high") << QByteArray(R"("\x00\xFF\xfe")") << QByteArray("\x00\xff\xfe", 3);
    QTest::newRow("hex then digit") << QByteArray(R"("\x313")") << QByteArray("13");
    QTest::newRow("hash inside") << QByteArray(R"("# not a comment")") << QByteArray("# not a comment");
    QTest::newRow("utf-8") << QByteArray("\"Grad \xc2\xb0\"") << QByteArray("Grad \xc2\xb0");
    QTest::newRow("blanks kept") << QByteArray(R"("  two  ")") << QByteArray("  two  ");
}

void TestScenarioParser::texts()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, bytes);
    const Step step = only("module " + source);
    QCOMPARE(step.keyword, Keyword::Module);
    QCOMPARE(step.texts, QList<QByteArray>{bytes});
}

// What the runner prints reads back as the same bytes, for every byte value.
void TestScenarioParser::quotedReadsBack()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b) all += char(b);
    const QList<QByteArray> samples = {all, QByteArray("b?\r"), QByteArray("\xc3\xa9t\xc3\xa9"), QByteArray("\xc3")};
    for (const QByteArray& bytes : samples) {
        const QString text = scenario::quoted(bytes);
        const Step step = only("expect-sent " + text.toUtf8());
        QCOMPARE(step.texts.value(0), bytes);
    }
    QCOMPARE(scenario::quoted("h\r"), QStringLiteral("\"h\\r\""));
    QCOMPARE(scenario::quoted(QByteArray("\x00", 1)), QStringLiteral("\"\\x00\""));
}

void TestScenarioParser::targets_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("property");
    QTest::newRow("bare") << QByteArray("click PushTestGo") << "" << "PushTestGo" << -1 << "";
    QTest::newRow("element") << QByteArray(R"(expect UserCalGraphX[3].text "---")") << "" << "UserCalGraphX" << 3 << "text";
    QTest::newRow("element 14") << QByteArray(R"(expect UserCalGraphX[14].y "130")") << "" << "UserCalGraphX" << 14 << "y";
    QTest::newRow("other window") << QByteArray("click WdwAbout/PushButton1") << "WdwAbout" << "PushButton1" << -1 << "";
    QTest::newRow("other window property")
        << QByteArray(R"(expect-not WdwAbout/Canvas1.width "0")") << "WdwAbout" << "Canvas1" << -1 << "width";
    QTest::newRow("window itself") << QByteArray(R"(expect WdwMain.title "Dravik Studio Version 1.0")") << ""
                                   << "WdwMain" << -1 << "title";
    QTest::newRow("window name") << QByteArray("close WdwAbout") << "" << "WdwAbout" << -1 << "";
    QTest::newRow("list cell") << QByteArray(R"(expect-cell ListSystemLog 0 1 "Checking preference file")") << ""
                               << "ListSystemLog" << -1 << "";
}

void TestScenarioParser::targets()
{
    QFETCH(QByteArray, line);
    const Step step = only(line);
    QTEST(step.target.window, "window");
    QTEST(step.target.name, "name");
    QTEST(step.target.index, "index");
    QTEST(step.property, "property");
}

void TestScenarioParser::numbersAndWords()
{
    Step s = only("select-rows ListData 0 2");
    QCOMPARE(s.numbers, (QList<qint64>{0, 2}));
    s = only("select-rows ListData");
    QCOMPARE(s.keyword, Keyword::SelectRows);
    QVERIFY(s.numbers.isEmpty());
    s = only(R"(expect-cell ListDataLog 12 3 "004")");
    QCOMPARE(s.numbers, (QList<qint64>{12, 3}));
    QCOMPARE(s.texts, QList<QByteArray>{"004"});
    s = only("expect-3d-heading -22.5");
    QCOMPARE(s.decimal, -22.5);
    s = only("expect-3d-heading 90");
    QCOMPARE(s.decimal, 90.0);
    s = only(R"(expect-headings ListSystemLog "Time Stamp" "Event")");
    QCOMPARE(s.texts, (QList<QByteArray>{"Time Stamp", "Event"}));
    s = only("answer No");
    QCOMPARE(s.name, QStringLiteral("No"));
    s = only("expect-window WdwAbout hidden");
    QCOMPARE(s.name, QStringLiteral("hidden"));
    s = only(R"(expect-state mUserCalDataCount "3")");
    QCOMPARE(s.name, QStringLiteral("mUserCalDataCount"));
    s = only(R"(clock "2024-02-29 23:59:59")");
    QCOMPARE(s.keyword, Keyword::Clock);
}

void TestScenarioParser::lineNumbersSkipCommentsAndBlanks()
{
    const QByteArray source =
        "# First run\r\n"
        "ports \"ttyUSB0\" \"Simulated module\"\r\n"
        "\n"
        "   # indented comment\n"
        "\t\n"
        "start\n"
        "expect-sent \"h\\r\"   # a trailing comment\n"
        "clock \"2024-03-07 09:05:02\"\n"
        "ticks 3600\n"
        "  wait 10";  // no final line end
    const scenario::Script script = parse(source);
    QVERIFY2(script.errors.isEmpty(), qPrintable(script.errors.value(0).text()));
    QList<int> lines;
    QList<Keyword> keywords;
    for (const Step& s : script.steps) {
        lines << s.line;
        keywords << s.keyword;
    }
    QCOMPARE(lines, (QList<int>{2, 6, 7, 8, 9, 10}));
    QCOMPARE(keywords, (QList<Keyword>{Keyword::Ports, Keyword::Start, Keyword::ExpectSent, Keyword::Clock,
                                       Keyword::Ticks, Keyword::Wait}));
    QCOMPARE(script.steps[0].texts, (QList<QByteArray>{"ttyUSB0", "Simulated module"}));
    QCOMPARE(script.steps[2].texts, QList<QByteArray>{"h\r"});
    QCOMPARE(script.steps[4].numbers, QList<qint64>{3600});
}

void TestScenarioParser::errors_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("expected");  // a part of what the error says was expected
    QTest::addColumn<QString>("saw");       // a part of what it says was seen

    const QByteArray s = "# a scenario\nstart\n";  // errors below are on line 3
    QTest::newRow("unknown keyword") << s + "expekt-sent \"h\"" << 3 << "step keyword" << "'expekt-sent'";
    QTest::newRow("keyword quoted") << s + "\"start\"" << 3 << "step keyword" << "text \"start\"";
    QTest::newRow("open quote") << s + "expect-log \"Checking" << 3 << "closing double quote" << "end of the line";
    QTest::newRow("quote at escape") << s + "module \"abc\\" << 3 << "closing double quote" << "end of the line";
    QTest::newRow("unknown escape") << s + "module \"\\q\"" << 3 << "escape" << "'\\q'";
    QTest::newRow("short hex") << s + "module \"\\x4\"" << 3 << "two hex digits" << "'\\x4\"'";
    QTest::newRow("bad hex") << s + "module \"\\xZZ\"" << 3 << "two hex digits" << "'\\xZZ'";
    QTest::newRow("glued after quote") << s + "module \"a\"b" << 3 << "blank after the closing quote" << "'b'";
    QTest::newRow("glued before quote") << s + "type Edit\"5\"" << 3 << "blank before the opening quote" << "'Edit\"'";
    QTest::newRow("missing text") << s + "expect-log" << 3 << "a text in double quotes after 'expect-log'" << "end of the line";
    QTest::newRow("bare text") << s + "expect-log Checking" << 3 << "a text in double quotes" << "'Checking'";
    QTest::newRow("extra argument") << s + "click PushTestGo PushDataLogGo" << 3 << "end of the line after 'click'"
                                    << "'PushDataLogGo'";
    QTest::newRow("number expected") << s + "select PopupSerialPort one" << 3 << "whole number" << "'one'";
    QTest::newRow("number quoted") << s + "wait \"100\"" << 3 << "whole number" << "text \"100\"";
    QTest::newRow("negative wait") << s + "wait -5" << 3 << "0 or more" << "-5";
    QTest::newRow("fraction as row") << s + "select TabMain 1.5" << 3 << "whole number" << "'1.5'";
    QTest::newRow("bad decimal") << s + "expect-3d-heading ninety" << 3 << "decimal number" << "'ninety'";
    QTest::newRow("bad control name") << s + "click Push-Go" << 3 << "control name" << "'Push-Go'";
    QTest::newRow("bad index") << s + "click UserCalGraphX[a]" << 3 << "control name" << "'UserCalGraphX[a]'";
    QTest::newRow("no property") << s + "expect PushTestGo \"Go\"" << 3 << "NAME.PROPERTY" << "'PushTestGo'";
    QTest::newRow("unknown property") << s + "expect PushTestGo.caption \"Go\"" << 3 << "a property" << "'caption'";
    QTest::newRow("answer maybe") << s + "answer Maybe" << 3 << "Yes or No" << "'Maybe'";
    QTest::newRow("answer lower case") << s + "answer yes" << 3 << "Yes or No" << "'yes'";
    QTest::newRow("window state") << s + "expect-window WdwAbout visible" << 3 << "shown, hidden or absent" << "'visible'";
    QTest::newRow("bad month") << s + "clock \"2024-13-01 00:00:00\"" << 3 << "YYYY-MM-DD HH:MM:SS" << "\"2024-13-01 00:00:00\"";
    QTest::newRow("no seconds") << s + "clock \"2024-03-07 09:05\"" << 3 << "YYYY-MM-DD HH:MM:SS" << "\"2024-03-07 09:05\"";
    QTest::newRow("second start") << s + "start" << 3 << "one start only (the first is on line 2)" << "another start";
    QTest::newRow("set-up after start") << s + "ports \"ttyUSB0\"" << 3 << "'ports' before start" << "after start";
    QTest::newRow("no-3d after start") << s + "no-3d" << 3 << "'no-3d' before start" << "after start";
    QTest::newRow("action before start") << QByteArray("ports \"a\"\n\nclick PushButton1\nstart") << 3
                                         << "start before 'click'" << "'click' first";
    QTest::newRow("no start at all") << QByteArray("ports \"a\"\n# nothing else\nclock \"2024-01-01 00:00:00\"") << 3
                                     << "a start step" << "none";
}

void TestScenarioParser::errors()
{
    QFETCH(QByteArray, source);
    const scenario::Script script = parse(source);
    QVERIFY(!script.errors.isEmpty());
    const scenario::ParseError& e = script.errors.first();
    QTEST(e.line, "line");
    QFETCH(QString, expected);
    QFETCH(QString, saw);
    QVERIFY2(e.expected.contains(expected), qPrintable(e.text()));
    QVERIFY2(e.saw.contains(saw), qPrintable(e.text()));
    QVERIFY(e.text().startsWith(QStringLiteral("expected ")));
}

// A file with several mistakes names each one, on its own line, and keeps the steps
// that were right.
void TestScenarioParser::everyErrorIsReported()
{
    const scenario::Script script = parse("start\nclick\nwait 10\nexpect-log \"x\nwait 20\nbogus\n");
    QList<int> lines;
    for (const auto& e : script.errors) lines << e.line;
    QCOMPARE(lines, (QList<int>{2, 4, 6}));
    QCOMPARE(script.steps.size(), 3);
    QCOMPARE(script.steps[1].numbers, QList<qint64>{10});
    QCOMPARE(script.steps[2].line, 5);
}

QTEST_APPLESS_MAIN(TestScenarioParser)
#include "test_scenarioparser.moc"
