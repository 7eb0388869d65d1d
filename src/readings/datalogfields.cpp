#include "datalogfields.h"

#include "../link/wireprotocol.h"

namespace DataLogFields {

using wire::extractResponse;

QByteArrayView cut(QByteArrayView sentence)
{
    const qsizetype star = sentence.indexOf('*');
    return star < 0 ? QByteArrayView() : sentence.first(star + 1);
}

QByteArrayView endMark(QByteArrayView cutSentence)
{
    return cutSentence.contains(QByteArrayView(":E")) ? QByteArrayView(":") : QByteArrayView("*");
}

QByteArrayView tickStamp(qint64 ticks, std::array<char, 24>& buffer)
{
    // Digits from the right; a qint64 has at most 19 of them plus a sign.
    quint64 magnitude = ticks < 0 ? quint64(0) - quint64(ticks) : quint64(ticks);
    qsizetype at = qsizetype(buffer.size());
    int digits = 0;
    do {
        buffer[size_t(--at)] = char('0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    for (; digits < 9; ++digits) buffer[size_t(--at)] = '0';
    if (ticks < 0) buffer[size_t(--at)] = '-';
    return QByteArrayView(buffer.data() + at, qsizetype(buffer.size()) - at);
}

QByteArrayView cell(QByteArrayView s, Column column, const Mode& mode)
{
    const QByteArrayView end = endMark(s);
    switch (column) {
    case Column::Heading:
        return mode.varo ? extractResponse(s, "C", "X") : QByteArrayView();
    case Column::X:
        return extractResponse(s, "X", "Y");
    case Column::Y:
        if (mode.zAxis) return extractResponse(s, "Y", "Z");
        if (mode.module20 || !mode.varo) return extractResponse(s, "Y", end);
        return extractResponse(s, "Y", "T");
    case Column::Z:
        if (!mode.zAxis) return {};
        return mode.varo ? extractResponse(s, "Z", "T") : extractResponse(s, "Z", end);
    case Column::Temperature:
        return mode.varo && !mode.module20 ? extractResponse(s, "T", end) : QByteArrayView();
    case Column::Ticks:
    case Column::Blank:
        break;
    }
    return {};
}

QByteArrayView headingText(QByteArrayView cutSentence)
{
    return extractResponse(cutSentence, "C", "X");
}

QList<Column> columnsFor(bool compass, bool magnetometer, bool temperature)
{
    QList<Column> columns{Column::Ticks};
    if (compass) columns << Column::Heading;
    if (magnetometer) columns << Column::X << Column::Y << Column::Z;
    if (temperature) columns << Column::Temperature;
    return columns;
}

QString heading(Column column)
{
    switch (column) {
    case Column::Ticks: return QStringLiteral("Ticks");
    case Column::Heading: return QStringLiteral("Heading");
    case Column::X: return QStringLiteral("X");
    case Column::Y: return QStringLiteral("Y");
    case Column::Z: return QStringLiteral("Z");
    case Column::Temperature: return QStringLiteral("Temperature");
    case Column::Blank: break;
    }
    return {};
}

}  // namespace DataLogFields
