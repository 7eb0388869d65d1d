#pragma once
// The text of the preferences file "DravikStudio.pref", without any file or widget:
// reading the two groups of settings out of the text and writing the five lines.
//
// Reading follows the file's long-standing rules, which old files rely on: a key
// matches anywhere in a line (case-sensitive), its value is the rest of the line after
// the key's first occurrence, one line may carry several keys, and a later line
// overrides an earlier one. A key that never matches leaves its setting unset.
#include <QByteArray>
#include <QByteArrayView>
#include <QVector>
#include <optional>

namespace prefs {

inline constexpr const char* kFileName = "DravikStudio.pref";
// The port index that stands for "no port chosen".
inline constexpr qint32 kNoPort = 999;

// "SERIALPORT:" and "BAUDRATE:". The rate is stored as its row of the rate list.
struct LinkSettings {
    std::optional<qint32> serialPort;
    std::optional<qint32> baudRateRow;
};

// "CONTRAST:", "AUTOSCROLL:" and "DATA:". dataRows holds one flag per row of the
// data logger's word list (selected or not) when a "DATA:" line was found.
struct DisplaySettings {
    std::optional<bool> contrast;
    std::optional<bool> autoScroll;
    std::optional<QVector<bool>> dataRows;
};

// Everything the file stores, as written.
struct Preferences {
    qint32 serialPort = kNoPort;
    qint32 baudRateRow = 0;
    bool contrast = false;
    bool autoScroll = false;
    QVector<int> dataRows;  // selected rows of the word list, ascending
    bool operator==(const Preferences&) const = default;
};

// The file's lines: split at "\n", "\r\n" or "\r". An empty text is one empty line.
QVector<QByteArrayView> splitLines(QByteArrayView text);

// The leading decimal number of a value, truncated towards zero; 0 when the value
// starts with no number. Blanks before the number are skipped, a sign is allowed and
// a fraction is read and dropped ("5.7" is 5). Out-of-range values saturate.
qint32 leadingNumber(QByteArrayView value);

// rateRowCount: how many rows the rate list has. A "BAUDRATE:" row outside it is
// ignored, so an earlier valid line still counts.
LinkSettings parseLinkSettings(QByteArrayView text, int rateRowCount);
// dataRowCount: how many rows the word list has; row r is selected when the value of
// "DATA:" contains the decimal text of r anywhere.
DisplaySettings parseDisplaySettings(QByteArrayView text, int dataRowCount);

// The five lines, each ended by "\n".
QByteArray write(const Preferences& preferences);

}  // namespace prefs
