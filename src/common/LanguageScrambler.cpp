#include "common/LanguageScrambler.h"

#include "common/Windows1252.h"

namespace orvia {

QByteArray ScrambleBytes(const QByteArray &plain)
{
    QByteArray out;
    out.reserve(plain.size() + 1);
    quint8 previous = 0;
    quint8 check = 0;
    for (char c : plain) {
        const quint8 a = quint8(c);
        out.append(char(a ^ previous ^ kLanguageScrambleKey));
        check ^= a;
        previous = a;
    }
    out.append(char(check));
    return out;
}

bool UnscrambleToBytes(const QByteArray &scrambled, QByteArray &plain)
{
    plain.clear();
    if (scrambled.isEmpty())
        return false;
    const qsizetype last = scrambled.size() - 1;
    plain.reserve(last);
    quint8 previous = 0;
    quint8 check = 0;
    for (qsizetype i = 0; i < last; ++i) {
        const quint8 a = quint8(scrambled.at(i)) ^ previous ^ kLanguageScrambleKey;
        check ^= a;
        plain.append(char(a));
        previous = a;
    }
    return check == quint8(scrambled.at(last));
}

QByteArray ScrambleText(const QString &text)
{
    return ScrambleBytes(toWindows1252(text));
}

bool UnscrambleBytes(const QByteArray &bytes, QString &text)
{
    QByteArray plain;
    const bool ok = UnscrambleToBytes(bytes, plain);
    text = fromWindows1252(plain);
    return ok;
}

} // namespace orvia
