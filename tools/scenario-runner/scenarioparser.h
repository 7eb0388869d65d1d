#pragma once
// The scenario language as pure code: text in, steps with their line numbers out.
// Nothing here touches a window, so the grammar can be unit tested and fuzzed alone.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

namespace scenario {

enum class Keyword {
    // Before start (clock and ticks also after it)
    Ports, FailOpen, Device, ModuleRate, Prefs, Clock, Ticks, No3D, Start,
    // Actions
    Module, Click, Select, SelectRows, Type, Leave, Menu, Close, Answer, SaveTo,
    CancelSave, Wait, Restart,
    // Faults of the line (an addition to the format)
    Pull, Plug,
    // Expectations
    ExpectSent, ExpectQuiet, ExpectLog, ExpectNoLog, ExpectStamp, Expect, ExpectNot,
    ExpectCell, ExpectHeadings, ExpectSelected, ExpectIndicator, ExpectMessage,
    ExpectNoMessage, ExpectState, Expect3DHeading, ExpectFile, ExpectNoFile, ExpectPrefs,
    ExpectWindow,
};

// A control or window as a step names it: NAME, NAME[INDEX] or WINDOW/NAME.
struct Target {
    QString window;  // empty: the main window
    QString name;
    int index = -1;  // -1: not an element of a control array

    QString text() const;  // written back as in the file
    bool operator==(const Target&) const = default;
};

struct Step {
    int line = 0;
    Keyword keyword = Keyword::Start;
    QString word;            // the keyword as written
    Target target;           // the control or window of the step, if it names one
    QString property;        // expect, expect-not
    QString name;            // expect-state member, answer Yes/No, expect-window state
    QList<QByteArray> texts; // the text arguments, escapes resolved
    QList<qint64> numbers;   // the integer arguments
    double decimal = 0;      // expect-3d-heading

    bool isExpectation() const { return keyword >= Keyword::ExpectSent; }
};

struct ParseError {
    int line = 0;
    QString expected;
    QString saw;
    QString text() const { return QStringLiteral("expected %1, saw %2").arg(expected, saw); }
};

struct Script {
    QList<Step> steps;
    QList<ParseError> errors;  // in line order; the script is not run when any exists
};

// Parses a whole scenario file. Lines end at LF (a CR before it is dropped).
Script parse(QByteArrayView source);

// Reads one text argument starting at the opening quote at source[pos]. On success
// returns true, sets bytes and advances pos past the closing quote; on failure says
// what it expected and what it saw, and returns false.
bool readText(QByteArrayView source, qsizetype& pos, QByteArray& bytes, QString& expected, QString& saw);

// Writes bytes as a text argument, with the escapes the language reads, so that
// messages show exactly what was seen ("h\r", "\x00").
QString quoted(QByteArrayView bytes);

// Properties that `expect NAME.PROPERTY` knows.
const QList<QString>& propertyNames();

}  // namespace scenario
