#include "platform/SerialSettings.h"
#include "platform/RuntimeError.h"
#include <QStringList>

namespace orvia {

SerialSettings SerialSettings::parse(const QString &text)
{
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() != 4)
        throwError(ErrInvalidPropertyValue);
    SerialSettings s;
    bool ok = false;
    const qint64 baud = f[0].trimmed().toLongLong(&ok);
    if (!ok || baud < 50 || baud > 4000000)
        throwError(ErrInvalidPropertyValue);
    s.baud = qint32(baud);
    const QString p = f[1].trimmed().toUpper();
    if (p.size() != 1 || !QStringLiteral("NEOMS").contains(p))
        throwError(ErrInvalidPropertyValue);
    s.parity = char(p.at(0).unicode());
    s.dataBits = f[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 5 || s.dataBits > 8)
        throwError(ErrInvalidPropertyValue);
    const QString stop = f[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopTenths = 10;
    else if (stop == QLatin1String("1.5"))
        s.stopTenths = 15;
    else if (stop == QLatin1String("2"))
        s.stopTenths = 20;
    else
        throwError(ErrInvalidPropertyValue);
    return s;
}

QString SerialSettings::toString() const
{
    const QString stop = stopTenths == 15 ? QStringLiteral("1.5") : QString::number(stopTenths / 10);
    return QStringLiteral("%1,%2,%3,%4").arg(baud).arg(QLatin1Char(parity)).arg(dataBits).arg(stop);
}

} // namespace orvia
