#include "wireprotocol.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

namespace wire {
namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

qsizetype indexOfByte(QByteArrayView text, char byte) noexcept
{
    if (text.isEmpty()) return -1;
    const void* hit = std::memchr(text.data(), byte, size_t(text.size()));
    return hit ? static_cast<const char*>(hit) - text.data() : -1;
}

qsizetype indexOfText(QByteArrayView text, QByteArrayView tag) noexcept
{
    if (tag.size() == 1) return indexOfByte(text, tag.front());
    return text.indexOf(tag);
}

constexpr QByteArrayView kTags[] = {
    "$b=",   "$info,",    "$id=",  "$sn=", "$halt=", "$uc=", "$ut=",      "$mag_dec=", "$damping=",
    "$dampsize=", "$ps=", "$ec=", "$em=", "$et=",   "$sdo=", "$mpcal=e", "$h",        "$mpcal=d",
    "$save",
};
constexpr int kTagCount = int(std::size(kTags));
static_assert(kTagCount == int(Reply::Sentence), "one tag per tagged reply, in order");

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }

}  // namespace

qsizetype nextLineLength(QByteArrayView buffer) noexcept
{
    const qsizetype cr = indexOfByte(buffer, CR);
    if (cr < 0) return 0;
    if (cr + 1 < buffer.size() && buffer[cr + 1] == LF) return cr + 2;
    return cr + 1;
}

bool hasErrorIndication(QByteArrayView line) noexcept
{
    const qsizetype star = indexOfByte(line, '*');
    if (star <= 0) return false;
    return indexOfByte(line.first(star), 'E') >= 0;
}

QByteArrayView extractResponse(QByteArrayView line, QByteArrayView startTag,
                               QByteArrayView endTag) noexcept
{
    const qsizetype start = indexOfText(line, startTag);
    const qsizetype end = indexOfText(line, endTag);
    if (start < 0 || end < 0) return {};
    const qsizetype from = start + startTag.size();
    if (end <= from) return {};
    return line.sliced(from, end - from);
}

double leadingNumber(QByteArrayView text) noexcept
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end && (*p == ' ' || *p == '\t')) ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    // Delimit the number ourselves: from_chars alone would also take "inf", "nan"
    // and exponents, none of which the module writes.
    const char* const first = p;
    bool digits = false;
    bool point = false;
    for (; p != end; ++p) {
        if (isDigit(*p)) {
            digits = true;
        } else if (*p == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return 0.0;

    double value = 0.0;
    const auto result = std::from_chars(first, p, value, std::chars_format::fixed);
    if (result.ec == std::errc::result_out_of_range) {
        // Too many digits for a double: huge if a non-zero digit comes before the point.
        const char* q = first;
        while (q != p && (*q == '0')) ++q;
        value = (q != p && *q != '.') ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::optional<int> rowNumber(QByteArrayView value, int rowCount) noexcept
{
    const double number = leadingNumber(value);
    // Written to reject NaN as well.
    if (!(number >= 0.0 && number < double(rowCount))) return std::nullopt;
    return int(number);
}

QByteArrayView tagOf(Reply reply) noexcept
{
    const int i = int(reply);
    return i < kTagCount ? kTags[i] : QByteArrayView();
}

Reply ReplyTags::first() const noexcept
{
    if (found) return Reply(std::countr_zero(found));
    if (!hasDollar) return Reply::NoDollar;
    return hasStar ? Reply::Sentence : Reply::Unmatched;
}

ReplyTags scanReplyTags(QByteArrayView line) noexcept
{
    ReplyTags tags;
    tags.hasStar = indexOfByte(line, '*') >= 0;
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    const char* p = begin;
    while (p != end) {
        const void* hit = std::memchr(p, '$', size_t(end - p));
        if (!hit) break;
        tags.hasDollar = true;
        p = static_cast<const char*>(hit);
        const QByteArrayView rest(p, end - p);
        if (rest.size() > 1) {
            const char next = rest[1];
            for (int i = 0; i < kTagCount; ++i)
                if (kTags[i][1] == next && rest.startsWith(kTags[i])) tags.found |= quint32(1) << i;
        }
        ++p;
    }
    return tags;
}

}  // namespace wire
