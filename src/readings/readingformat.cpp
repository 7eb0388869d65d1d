#include "readingformat.h"

#include <cmath>

namespace readingformat {

namespace {
// Digits of a whole number held in a double, at least minDigits of them, with a minus
// sign only when the number is not zero.
QString paddedWhole(double whole, int minDigits)
{
    if (!std::isfinite(whole)) return QString::number(whole);
    QString digits = QString::number(std::fabs(whole), 'f', 0);
    if (digits.size() < minDigits) digits.prepend(QString(minDigits - digits.size(), u'0'));
    return whole < 0 ? u'-' + digits : digits;
}
}  // namespace

QString headingText(float heading, bool mils)
{
    if (heading == -1.0f) return QStringLiteral("-1.0");
    // A float widened to double and multiplied by 10 is still exact, so std::round sees
    // the stored value and not a decimal approximation of it.
    const double stored = heading;
    if (mils) return paddedWhole(std::round(stored), 4);

    const double tenths = std::round(stored * 10.0);
    QString text = paddedWhole(tenths, 4);  // three integer digits and one decimal
    if (!std::isfinite(tenths)) return text;
    text.insert(text.size() - 1, u'.');
    return text;
}

}  // namespace readingformat
