#pragma once
// Where each field of a data sentence goes in the data log: pure functions of the
// sentence, the module's output mode and its identity, with no widget in sight.
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <array>

namespace DataLogFields {

// What a column of the data log records. Blank columns (the layout's two columns
// before the first rebuild) record nothing.
enum class Column { Ticks, Heading, X, Y, Z, Temperature, Blank };

// What decides where the fields of a sentence go.
struct Mode {
    bool varo = false;      // Varo output mode (otherwise raw)
    bool zAxis = false;     // a module with three magnetometer axes (identity "7")
    bool module20 = false;  // identity "20": no temperature, Y runs to the end mark
};

// The sentence up to and including its first "*"; empty when there is none.
QByteArrayView cut(QByteArrayView sentence);

// ":" when the cut sentence carries an error code (":E"), otherwise "*".
QByteArrayView endMark(QByteArrayView cutSentence);

// The tick count with at least nine digits, leading zeros added. The text is
// written into buffer, which must outlive the returned view.
QByteArrayView tickStamp(qint64 ticks, std::array<char, 24>& buffer);

// The text of one field column (Heading, X, Y, Z, Temperature) taken from the cut
// sentence, a field being the text between its tags as wire::extractResponse finds it; empty for a column that the mode leaves empty, and for Ticks and Blank.
QByteArrayView cell(QByteArrayView cutSentence, Column column, const Mode& mode);

// The heading shown above the table: "C" to "X", whatever the mode.
QByteArrayView headingText(QByteArrayView cutSentence);

// The columns for a selection of output words, "Ticks" first.
QList<Column> columnsFor(bool compass, bool magnetometer, bool temperature);

// The column's heading; empty for Blank.
QString heading(Column column);

}  // namespace DataLogFields
