#include "scenarioparser.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>
#include <optional>

namespace scenario {

namespace {

// Argument kinds of a step, one letter each:
//   T a text, t any number of texts (last only),
//   N an integer, n any number of integers (last only),
//   C a control or window, P a control's property (NAME.PROPERTY),
//   W a bare word, D a decimal number.
struct Grammar {
    const char* word;
    Keyword keyword;
    const char* arguments;
};

constexpr Grammar kGrammar[] = {
    {"ports", Keyword::Ports, "t"},
    {"fail-open", Keyword::FailOpen, "T"},
    {"device", Keyword::Device, "TT"},
    {"module-rate", Keyword::ModuleRate, "N"},
    {"prefs", Keyword::Prefs, "T"},
    {"clock", Keyword::Clock, "T"},
    {"ticks", Keyword::Ticks, "N"},
    {"no-3d", Keyword::No3D, ""},
    {"start", Keyword::Start, ""},
    {"module", Keyword::Module, "T"},
    {"click", Keyword::Click, "C"},
    {"select", Keyword::Select, "CN"},
    {"select-rows", Keyword::SelectRows, "Cn"},
    {"type", Keyword::Type, "CT"},
    {"leave", Keyword::Leave, "C"},
    {"menu", Keyword::Menu, "T"},
    {"close", Keyword::Close, "C"},
    {"answer", Keyword::Answer, "W"},
    {"save-to", Keyword::SaveTo, "T"},
    {"cancel-save", Keyword::CancelSave, ""},
    {"wait", Keyword::Wait, "N"},
    {"restart", Keyword::Restart, ""},
    {"pull", Keyword::Pull, "T"},
    {"plug", Keyword::Plug, "T"},
    {"expect-sent", Keyword::ExpectSent, "T"},
    {"expect-quiet", Keyword::ExpectQuiet, "N"},
    {"expect-log", Keyword::ExpectLog, "T"},
    {"expect-no-log", Keyword::ExpectNoLog, ""},
    {"expect-stamp", Keyword::ExpectStamp, "T"},
    {"expect", Keyword::Expect, "PT"},
    {"expect-not", Keyword::ExpectNot, "PT"},
    {"expect-cell", Keyword::ExpectCell, "CNNT"},
    {"expect-headings", Keyword::ExpectHeadings, "Ct"},
    {"expect-selected", Keyword::ExpectSelected, "Cn"},
    {"expect-indicator", Keyword::ExpectIndicator, "N"},
    {"expect-message", Keyword::ExpectMessage, "T"},
    {"expect-no-message", Keyword::ExpectNoMessage, ""},
    {"expect-state", Keyword::ExpectState, "WT"},
    {"expect-3d-heading", Keyword::Expect3DHeading, "D"},
    {"expect-file", Keyword::ExpectFile, "TT"},
    {"expect-no-file", Keyword::ExpectNoFile, "T"},
    {"expect-prefs", Keyword::ExpectPrefs, "T"},
    {"expect-window", Keyword::ExpectWindow, "CW"},
};

// What went wrong with a line: what the grammar expected and what the line has.
struct Problem {
    QString expected;
    QString saw;
};
using Result = std::optional<Problem>;

struct Token {
    bool isText = false;
    QByteArray bytes;  // a text's bytes, or a bare word as written
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A bare word shown in a message.
QString shown(const QByteArray& bare) { return QStringLiteral("'%1'").arg(QString::fromUtf8(bare)); }

QString describe(const Token& token)
{
    return token.isText ? QStringLiteral("text ") + quoted(token.bytes) : shown(token.bytes);
}

// Cuts one line into tokens. A # outside a text starts a comment.
Result tokenize(QByteArrayView line, QList<Token>& tokens)
{
    qsizetype pos = 0;
    while (true) {
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] == '#') return {};
        Token token;
        if (line[pos] == '"') {
            token.isText = true;
            QString expected, saw;
            if (!readText(line, pos, token.bytes, expected, saw)) return Problem{expected, saw};
            if (pos < line.size() && !isBlank(line[pos]) && line[pos] != '#')
                return Problem{QStringLiteral("a blank after the closing quote"),
                               shown(QByteArray(1, line[pos]))};
        } else {
            const qsizetype begin = pos;
            while (pos < line.size() && !isBlank(line[pos])) {
                if (line[pos] == '"')
                    return Problem{QStringLiteral("a blank before the opening quote"),
                                   shown(line.sliced(begin, pos - begin + 1).toByteArray())};
                ++pos;
            }
            token.bytes = line.sliced(begin, pos - begin).toByteArray();
        }
        tokens << token;
    }
}

const QRegularExpression& integerPattern()
{
    static const QRegularExpression re(QStringLiteral("^-?[0-9]+$"));
    return re;
}
const QRegularExpression& decimalPattern()
{
    static const QRegularExpression re(QStringLiteral("^-?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    return re;
}
const QRegularExpression& wordPattern()
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re;
}
// WINDOW/NAME[INDEX] with the optional parts; captures window, name, index.
const QRegularExpression& targetPattern()
{
    static const QRegularExpression re(QStringLiteral(
        "^(?:([A-Za-z_][A-Za-z0-9_]*)/)?([A-Za-z_][A-Za-z0-9_]*)(?:\\[([0-9]{1,6})\\])?$"));
    return re;
}

bool readTarget(const QString& text, Target& target)
{
    const auto match = targetPattern().match(text);
    if (!match.hasMatch()) return false;
    target.window = match.captured(1);
    target.name = match.captured(2);
    target.index = match.captured(3).isEmpty() ? -1 : match.captured(3).toInt();
    return true;
}

QString kindName(char kind)
{
    switch (kind) {
    case 'T': case 't': return QStringLiteral("a text in double quotes");
    case 'N': case 'n': return QStringLiteral("a whole number");
    case 'D': return QStringLiteral("a decimal number");
    case 'W': return QStringLiteral("a word");
    case 'C': return QStringLiteral("a control name (NAME, NAME[INDEX] or WINDOW/NAME)");
    case 'P': return QStringLiteral("NAME.PROPERTY");
    }
    return QStringLiteral("an argument");
}

// Reads the token for one argument kind into the step.
Result readArgument(char kind, const Token& token, Step& step)
{
    const QString bare = QString::fromUtf8(token.bytes);
    const Problem wrong{kindName(kind), describe(token)};
    switch (kind) {
    case 'T':
    case 't':
        if (!token.isText) return wrong;
        step.texts << token.bytes;
        return {};
    case 'N':
    case 'n': {
        bool ok = false;
        const qint64 value = bare.toLongLong(&ok);
        if (token.isText || !integerPattern().match(bare).hasMatch() || !ok) return wrong;
        step.numbers << value;
        return {};
    }
    case 'D': {
        bool ok = false;
        const double value = bare.toDouble(&ok);
        if (token.isText || !decimalPattern().match(bare).hasMatch() || !ok) return wrong;
        step.decimal = value;
        return {};
    }
    case 'W':
        if (token.isText || !wordPattern().match(bare).hasMatch()) return wrong;
        step.name = bare;
        return {};
    case 'C':
        if (token.isText || !readTarget(bare, step.target)) return wrong;
        return {};
    case 'P': {
        const qsizetype dot = bare.lastIndexOf(QLatin1Char('.'));
        if (token.isText || dot < 0 || !readTarget(bare.left(dot), step.target)) return wrong;
        const QString property = bare.mid(dot + 1);
        if (!propertyNames().contains(property))
            return Problem{QStringLiteral("a property (%1)").arg(QStringList(propertyNames()).join(QStringLiteral(", "))),
                           QStringLiteral("'%1'").arg(property)};
        step.property = property;
        return {};
    }
    }
    return wrong;
}

// Reads the arguments of one step by its grammar entry.
Result readArguments(const Grammar& grammar, const QList<Token>& tokens, Step& step)
{
    qsizetype next = 1;
    for (const char* kind = grammar.arguments; *kind; ++kind) {
        if (*kind == 't' || *kind == 'n') {  // the rest of the line
            for (; next < tokens.size(); ++next)
                if (Result r = readArgument(*kind, tokens[next], step)) return r;
            return {};
        }
        if (next >= tokens.size())
            return Problem{QStringLiteral("%1 after '%2'").arg(kindName(*kind), step.word),
                           QStringLiteral("the end of the line")};
        if (Result r = readArgument(*kind, tokens[next], step)) return r;
        ++next;
    }
    if (next < tokens.size())
        return Problem{QStringLiteral("the end of the line after '%1'").arg(step.word), describe(tokens[next])};
    return {};
}

// Checks what the argument kinds alone cannot: the values of words, dates, numbers.
Result checkValues(const Step& step)
{
    switch (step.keyword) {
    case Keyword::Answer:
        if (step.name != QLatin1String("Yes") && step.name != QLatin1String("No"))
            return Problem{QStringLiteral("Yes or No"), QStringLiteral("'%1'").arg(step.name)};
        break;
    case Keyword::ExpectWindow:
        if (step.name != QLatin1String("shown") && step.name != QLatin1String("hidden") &&
            step.name != QLatin1String("absent"))
            return Problem{QStringLiteral("shown, hidden or absent"), QStringLiteral("'%1'").arg(step.name)};
        break;
    case Keyword::Clock: {
        const QString text = QString::fromUtf8(step.texts.value(0));
        const QDateTime when = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!when.isValid() || text.size() != 19)
            return Problem{QStringLiteral("a date and time \"YYYY-MM-DD HH:MM:SS\""), quoted(step.texts.value(0))};
        break;
    }
    case Keyword::ModuleRate:
    case Keyword::Wait:
    case Keyword::ExpectQuiet:
    case Keyword::Ticks:
    case Keyword::Select:
    case Keyword::SelectRows:
    case Keyword::ExpectCell:
    case Keyword::ExpectSelected:
        for (qint64 n : step.numbers)
            if (n < 0) return Problem{QStringLiteral("a number of 0 or more"), QString::number(n)};
        break;
    default:
        break;
    }
    return {};
}

bool isSetup(Keyword k)
{
    return k == Keyword::Ports || k == Keyword::FailOpen || k == Keyword::Device || k == Keyword::ModuleRate ||
           k == Keyword::Prefs || k == Keyword::No3D;
}

}  // namespace

QString Target::text() const
{
    QString t = window.isEmpty() ? name : window + QLatin1Char('/') + name;
    if (index >= 0) t += QStringLiteral("[%1]").arg(index);
    return t;
}

const QList<QString>& propertyNames()
{
    static const QList<QString> names = {
        QStringLiteral("text"),    QStringLiteral("title"),   QStringLiteral("enabled"),
        QStringLiteral("checked"), QStringLiteral("row"),     QStringLiteral("rowtext"),
        QStringLiteral("rows"),    QStringLiteral("columns"), QStringLiteral("visible"),
        QStringLiteral("x"),       QStringLiteral("y"),       QStringLiteral("width"),
        QStringLiteral("height"),
    };
    return names;
}

bool readText(QByteArrayView source, qsizetype& pos, QByteArray& bytes, QString& expected, QString& saw)
{
    bytes.clear();
    qsizetype p = pos + 1;  // after the opening quote
    while (p < source.size()) {
        const char c = source[p];
        if (c == '"') {
            pos = p + 1;
            return true;
        }
        if (c != '\\') {
            bytes += c;
            ++p;
            continue;
        }
        if (p + 1 >= source.size()) break;
        const char e = source[p + 1];
        switch (e) {
        case 'r': bytes += '\r'; p += 2; continue;
        case 'n': bytes += '\n'; p += 2; continue;
        case 't': bytes += '\t'; p += 2; continue;
        case '"': bytes += '"'; p += 2; continue;
        case '\\': bytes += '\\'; p += 2; continue;
        case 'x': {
            const int high = p + 2 < source.size() ? hexValue(source[p + 2]) : -1;
            const int low = p + 3 < source.size() ? hexValue(source[p + 3]) : -1;
            if (high < 0 || low < 0) {
                expected = QStringLiteral("two hex digits after \\x");
                saw = shown(source.sliced(p, qMin<qsizetype>(4, source.size() - p)).toByteArray());
                return false;
            }
            bytes += char(high * 16 + low);
            p += 4;
            continue;
        }
        default:
            expected = QStringLiteral("an escape \\r \\n \\t \\\" \\\\ or \\xHH");
            saw = shown(QByteArray("\\") + e);
            return false;
        }
    }
    expected = QStringLiteral("a closing double quote");
    saw = QStringLiteral("the end of the line");
    return false;
}

QString quoted(QByteArrayView bytes)
{
    QString out = QStringLiteral("\"");
    // Valid UTF-8 beyond ASCII is shown as text; anything else byte by byte.
    const QString decoded = QString::fromUtf8(bytes.data(), bytes.size());
    const bool utf8 = decoded.toUtf8() == bytes;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        switch (c) {
        case '\r': out += QStringLiteral("\\r"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        default:
            if (c < 0x20 || c == 0x7f || (c >= 0x80 && !utf8))
                out += QStringLiteral("\\x") + QStringLiteral("%1").arg(uint(c), 2, 16, QLatin1Char('0')).toUpper();
            else if (c >= 0x80) {
                // Copy the whole UTF-8 sequence.
                qsizetype end = i + 1;
                while (end < bytes.size() && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80) ++end;
                out += QString::fromUtf8(bytes.sliced(i, end - i).toByteArray());
                i = end - 1;
            } else
                out += QChar::fromLatin1(char(c));
        }
    }
    return out + QLatin1Char('"');
}

Script parse(QByteArrayView source)
{
    Script script;
    int lineNumber = 0;
    int startLine = 0;
    qsizetype begin = 0;
    while (begin < source.size()) {
        qsizetype end = source.indexOf('\n', begin);
        if (end < 0) end = source.size();
        QByteArrayView line = source.sliced(begin, end - begin);
        begin = end + 1;
        ++lineNumber;
        if (line.endsWith('\r')) line.chop(1);

        const auto fail = [&](const Problem& p) { script.errors << ParseError{lineNumber, p.expected, p.saw}; };
        QList<Token> tokens;
        if (Result r = tokenize(line, tokens)) {
            fail(*r);
            continue;
        }
        if (tokens.isEmpty()) continue;

        const Token& first = tokens.first();
        const Grammar* grammar = nullptr;
        if (!first.isText)
            for (const Grammar& g : kGrammar)
                if (first.bytes == g.word) grammar = &g;
        if (!grammar) {
            fail({QStringLiteral("a step keyword"), describe(first)});
            continue;
        }
        Step step;
        step.line = lineNumber;
        step.keyword = grammar->keyword;
        step.word = QString::fromLatin1(grammar->word);
        if (Result r = readArguments(*grammar, tokens, step)) {
            fail(*r);
            continue;
        }
        if (Result r = checkValues(step)) {
            fail(*r);
            continue;
        }
        // Order: the set-up steps, then exactly one start, then the rest.
        const bool anywhere = step.keyword == Keyword::Clock || step.keyword == Keyword::Ticks;
        if (step.keyword == Keyword::Start) {
            if (startLine) {
                fail({QStringLiteral("one start only (the first is on line %1)").arg(startLine),
                      QStringLiteral("another start")});
                continue;
            }
            startLine = lineNumber;
        } else if (isSetup(step.keyword) && startLine) {
            fail({QStringLiteral("'%1' before start").arg(step.word), QStringLiteral("it after start")});
            continue;
        } else if (!isSetup(step.keyword) && !anywhere && !startLine) {
            fail({QStringLiteral("start before '%1'").arg(step.word), QStringLiteral("'%1' first").arg(step.word)});
            continue;
        }
        script.steps << step;
    }
    if (!startLine && script.errors.isEmpty())
        script.errors << ParseError{qMax(lineNumber, 1), QStringLiteral("a start step"), QStringLiteral("none")};
    return script;
}

}  // namespace scenario
