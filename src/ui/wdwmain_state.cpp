#include "wdwmain.h"

#include <QHash>
#include <charconv>
#include <functional>

namespace {
QString text(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }
QString text(qint32 value) { return QString::number(value); }
// Fewest digits that read back as the same float.
QString text(float value)
{
    // std::to_chars on a float gives the shortest text that reads back as that float.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}
QString text(const QString& value) { return value; }
QString text(const QByteArray& value) { return QString::fromLatin1(value); }
template <typename T>
QString text(const QVector<T>& values)
{
    QStringList parts;
    for (const T& v : values) parts << text(v);
    return parts.join(QLatin1Char(','));
}
QString text(const QMap<qint32, qint32>& map)
{
    QStringList parts;
    for (auto it = map.begin(); it != map.end(); ++it)
        parts << QStringLiteral("%1:%2").arg(it.key()).arg(it.value());
    return parts.join(QLatin1Char(','));
}

using Reader = std::function<QString(const WdwMain&)>;

const QList<QPair<QString, Reader>>& readers()
{
#define STATE(member) {QStringLiteral(#member), [](const WdwMain& w) { return text(w.member); }}
    static const QList<QPair<QString, Reader>> table = {
        STATE(mSerialPort), STATE(mBaudRate), STATE(mInputStr), STATE(mUserCalDataCount),
        STATE(mConnected), STATE(mStartUp), STATE(mSerialPortAvailable), STATE(mPrevTab),
        STATE(mSkipThisTabChange), STATE(mNewTab), STATE(mReadConfiguration),
        STATE(mUserCalibration), STATE(mTestGoing), STATE(m3DModel), STATE(mDataLogging),
        STATE(mEvent), STATE(mHeading), STATE(mPitch), STATE(mRoll), STATE(mError),
        STATE(mOldError), STATE(mSetModuleBaudRate), STATE(mComputerBaudRate),
        STATE(mListBaudRate), STATE(m3AxisModule), STATE(mDataLoggingNow),
        STATE(mArrowModel), STATE(mReadDravikInfo), STATE(mUserCalDataX),
        STATE(mUserCalDataY), STATE(mModuleID),
    };
#undef STATE
    return table;
}
}  // namespace

QString WdwMain::stateValue(const QString& name) const
{
    for (const auto& [member, read] : readers())
        if (member == name) {
            // An empty value is still a known member: never the null "unknown" answer.
            const QString value = read(*this);
            return value.isNull() ? QStringLiteral("") : value;
        }
    return {};
}

QStringList WdwMain::stateNames()
{
    QStringList names;
    for (const auto& entry : readers()) names << entry.first;
    return names;
}
