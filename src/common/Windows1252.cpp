#include "common/Windows1252.h"

#include "platform/Windows1252.h"

namespace orvia {

// One table for the whole program: the platform's codec, which the serial wire uses too.

QChar windows1252ToChar(quint8 byte)
{
    const char c = char(byte);
    return cp1252::decode(&c, 1).at(0);
}

int charToWindows1252(QChar c)
{
    if (c.isSurrogate())
        return -1;
    const QByteArray b = cp1252::encode(QString(c));
    if (b.size() != 1 || (b.at(0) == '?' && c != u'?'))
        return -1;
    return quint8(b.at(0));
}

bool fitsWindows1252(const QString &text)
{
    for (QChar c : text) {
        if (charToWindows1252(c) < 0)
            return false;
    }
    return true;
}

QString fromWindows1252(const QByteArray &bytes)
{
    return cp1252::decode(bytes);
}

QByteArray toWindows1252(const QString &text)
{
    return cp1252::encode(text);
}

} // namespace orvia
