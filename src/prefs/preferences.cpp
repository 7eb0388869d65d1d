#include "preferences.h"

#include <limits>

namespace prefs {
namespace {

constexpr QByteArrayView kSerialPort = "SERIALPORT:";
constexpr QByteArrayView kBaudRate = "BAUDRATE:";
constexpr QByteArrayView kContrast = "CONTRAST:";
constexpr QByteArrayView kAutoScroll = "AUTOSCROLL:";
constexpr QByteArrayView kData = "DATA:";

// The rest of the line after the first occurrence of the key, or nothing.
std::optional<QByteArrayView> valueOf(QByteArrayView line, QByteArrayView key)
{
    const qsizetype at = line.indexOf(key);
    if (at < 0) return std::nullopt;
    return line.sliced(at + key.size());
}

QByteArray flag(bool on) { return on ? QByteArrayLiteral("TRUE") : QByteArrayLiteral("FALSE"); }

}  // namespace

QVector<QByteArrayView> splitLines(QByteArrayView text)
{
    QVector<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') continue;
        lines.append(text.sliced(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    // The last line need not be ended; a text that ends with a line end has no
    // further line, but an empty text still is one (empty) line.
    if (start < text.size() || lines.isEmpty()) lines.append(text.sliced(start));
    return lines;
}

qint32 leadingNumber(QByteArrayView value)
{
    qsizetype i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    // Only the integer part counts; a fraction after it is dropped by truncation.
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    qint64 magnitude = 0;
    while (i < value.size() && value[i] >= '0' && value[i] <= '9') {
        magnitude = std::min(limit, magnitude * 10 + (value[i] - '0'));
        ++i;
    }
    const qint64 number = negative ? -magnitude : magnitude;
    return qint32(std::clamp<qint64>(number, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

LinkSettings parseLinkSettings(QByteArrayView text, int rateRowCount)
{
    LinkSettings settings;
    for (QByteArrayView line : splitLines(text)) {
        if (auto value = valueOf(line, kSerialPort)) settings.serialPort = leadingNumber(*value);
        if (auto value = valueOf(line, kBaudRate)) {
            const qint32 row = leadingNumber(*value);
            if (row >= 0 && row < rateRowCount) settings.baudRateRow = row;
        }
    }
    return settings;
}

DisplaySettings parseDisplaySettings(QByteArrayView text, int dataRowCount)
{
    DisplaySettings settings;
    for (QByteArrayView line : splitLines(text)) {
        if (auto value = valueOf(line, kContrast)) settings.contrast = *value == "TRUE";
        if (auto value = valueOf(line, kAutoScroll)) settings.autoScroll = *value == "TRUE";
        if (auto value = valueOf(line, kData)) {
            QVector<bool> rows(qMax(0, dataRowCount));
            for (int r = 0; r < rows.size(); ++r)
                rows[r] = value->contains(QByteArray::number(r));
            settings.dataRows = rows;
        }
    }
    return settings;
}

QByteArray write(const Preferences& preferences)
{
    QByteArray text;
    text += kSerialPort.toByteArray() + QByteArray::number(preferences.serialPort) + '\n';
    text += kBaudRate.toByteArray() + QByteArray::number(preferences.baudRateRow) + '\n';
    text += kContrast.toByteArray() + flag(preferences.contrast) + '\n';
    text += kAutoScroll.toByteArray() + flag(preferences.autoScroll) + '\n';
    text += kData.toByteArray();
    for (int row : preferences.dataRows) text += QByteArray::number(row) + ',';
    text += '\n';
    return text;
}

}  // namespace prefs
