#pragma once
// The module's wire format as plain functions over bytes: cutting the receive buffer
// into lines, the error indication, reply tags, value extraction and number reading.
// No widgets and no allocations: every result is a view into the caller's bytes.
//
// Bytes are taken as ASCII (Latin-1); nothing here decodes or validates text.
#include <QByteArrayView>
#include <QtGlobal>
#include <optional>

namespace wire {

// Length of the complete line at the front of buffer: everything up to and including
// the first carriage return, plus a line feed directly after it. 0 when the buffer
// holds no carriage return (the rest is an incomplete line).
qsizetype nextLineLength(QByteArrayView buffer) noexcept;

// A capital "E" before the first "*" marks the module's error indication. A line
// without "*" never counts as an error.
bool hasErrorIndication(QByteArrayView line) noexcept;

// The text after the first startTag and before the first endTag, both searched from
// the beginning of the line independently. Empty when either tag is missing or the
// end tag stands before the end of the start tag.
QByteArrayView extractResponse(QByteArrayView line, QByteArrayView startTag,
                               QByteArrayView endTag) noexcept;

// The decimal number at the start of text: optional blanks, an optional sign, digits
// with at most one decimal point. Whatever follows is ignored; no number reads as 0.
double leadingNumber(QByteArrayView text) noexcept;

// The leading number of a reply value taken as a row of a list with rowCount rows
// (fraction dropped). Nothing when it names no row of that list.
std::optional<int> rowNumber(QByteArrayView value, int rowCount) noexcept;

// Reply values are compared as whole texts: "m" matches only "m", never "m2" or "".
inline bool valueIs(QByteArrayView value, QByteArrayView text) noexcept { return value == text; }

// The replies the dispatcher recognises, in the order they are tested: the first tag
// that a line contains anywhere decides.
enum class Reply : quint8 {
    BaudRate,            // "$b="
    Info,                // "$info,"
    Id,                  // "$id="
    NorthReference,      // "$sn="
    SingleCharHalt,      // "$halt="
    HeadingUnit,         // "$uc="
    TemperatureUnit,     // "$ut="
    Declination,         // "$mag_dec="
    Damping,             // "$damping="
    DampSize,            // "$dampsize="
    AsicPeriod,          // "$ps="
    CompassWord,         // "$ec="
    MagnetometerWord,    // "$em="
    TemperatureWord,     // "$et="
    OutputMode,          // "$sdo="
    CalibrationStarted,  // "$mpcal=e"
    Halted,              // "$h"
    CalibrationStopped,  // "$mpcal=d"
    Saved,               // "$save"
    Sentence,            // "$" and "*", no tag: a data sentence
    Unmatched,           // "$" without "*" and no tag
    NoDollar,            // no "$" at all
};

// The tag text of a reply (empty for Sentence, Unmatched and NoDollar).
QByteArrayView tagOf(Reply reply) noexcept;

// Which reply tags a line contains, found in one pass over its "$" characters.
struct ReplyTags {
    quint32 found = 0;  // bit i set: the tag of Reply(i) occurs in the line
    bool hasDollar = false;
    bool hasStar = false;

    bool contains(Reply reply) const noexcept { return found & (quint32(1) << unsigned(reply)); }
    // The deciding reply: the first tag in table order, else the kind of untagged line.
    Reply first() const noexcept;
};
ReplyTags scanReplyTags(QByteArrayView line) noexcept;
inline Reply classify(QByteArrayView line) noexcept { return scanReplyTags(line).first(); }

}  // namespace wire
