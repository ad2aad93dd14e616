#include "common/DialString.h"

namespace orvia {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isPause(QChar c)
{
    return c == u'p' || c == u'P' || c == u'w' || c == u'W';
}

// Digits and the service-code characters: what a pause may follow.
bool isDialKey(QChar c)
{
    return isDigit(c) || c == u'*' || c == u'#';
}

} // namespace

QString dialStringOf(const QString &written)
{
    QString out;
    for (qsizetype i = 0; i < written.size();) {
        const QChar c = written.at(i);
        if (!c.isLetter()) {
            if (isDialKey(c) || c == u'+')
                out += c;
            ++i;
            continue;
        }
        qsizetype end = i;
        bool pauses = true;
        for (; end < written.size() && written.at(end).isLetter(); ++end)
            pauses = pauses && isPause(written.at(end));
        if (pauses && !out.isEmpty() && (isDialKey(out.back()) || isPause(out.back())))
            out += written.mid(i, end - i);
        i = end;
    }
    return out;
}

QString digitsAndPlusOf(const QString &written)
{
    QString out;
    for (QChar c : written)
        if (isDigit(c) || c == u'+')
            out += c;
    return out;
}

bool dialCharacterAt(const QString &number, qsizetype k)
{
    const QChar c = number.at(k);
    if (isDialKey(c))
        return true;
    if (c == u'+')
        return k == 0;
    if (!isPause(c))
        return false;
    qsizetype before = k - 1;
    while (before >= 0 && isPause(number.at(before)))
        --before;
    return before >= 0 && isDialKey(number.at(before));
}

} // namespace orvia
