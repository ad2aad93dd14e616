#include "engine/ComPort.h"
#include <algorithm>

namespace orvia {

namespace {

// A single decimal digit's value, or -1.
int digitValue(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - u'0' : -1;
}

} // namespace

std::optional<ComPort> ComPort::fromRegistryValue(const QString &value)
{
    if (value.size() != 4 || !value.startsWith(QLatin1String("COM")))
        return std::nullopt;
    const int n = digitValue(value.at(3));
    if (n < 0)
        return std::nullopt;
    return ComPort(qint16(n));
}

std::optional<ComPort> ComPort::fromInfraredValue(const QString &value)
{
    if (value.isEmpty() || value.left(3).toLower() != QLatin1String("com"))
        return std::nullopt;
    const int n = digitValue(value.back());
    if (n <= 0)
        return std::nullopt;
    return ComPort(qint16(n));
}

ComPort ComPort::fromSetting(const QString &saved)
{
    if (saved.isEmpty())
        return ComPort();
    return ComPort(qint16(std::max(0, digitValue(saved.back()))));
}

QString ComPort::settingText() const
{
    return QStringLiteral("Com ") + text();
}

} // namespace orvia
