#include "platform/InternetTransfer.h"
#include "platform/Windows1252.h"

#include <QStringList>

namespace orvia {

QString IInternetTransfer::openUrlText(const QString &url)
{
    const QByteArray bytes = fetch(url, inet::kMaxTextReplyBytes);
    return decodeText(bytes, charsetOf(getHeader()));
}

QString IInternetTransfer::charsetOf(const QString &header)
{
    const QStringList lines = header.split(QStringLiteral("\r\n"));
    for (const QString &line : lines) {
        if (!line.startsWith(QStringLiteral("content-type:"), Qt::CaseInsensitive))
            continue;
        const qsizetype at = line.indexOf(QStringLiteral("charset="), 0, Qt::CaseInsensitive);
        if (at < 0)
            return QString();
        QString value = line.mid(at + 8);
        const qsizetype end = value.indexOf(QLatin1Char(';'));
        if (end >= 0)
            value.truncate(end);
        value = value.trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        return value.toLower();
    }
    return QString();
}

QString IInternetTransfer::decodeText(const QByteArray &bytes, const QString &charset)
{
    if (charset == QLatin1String("utf-8") || charset == QLatin1String("utf8"))
        return QString::fromUtf8(bytes);
    return cp1252::decode(bytes);
}

} // namespace orvia
