#include "common/ReplyParsing.h"

#include "common/NumberText.h"
#include "platform/RuntimeError.h"

#include <limits>

namespace orvia {

namespace {

qint16 toPosition(qsizetype pos)
{
    if (pos > std::numeric_limits<qint16>::max())
        throwError(ErrOverflow);
    return qint16(pos);
}

} // namespace

QStringList SplitLines(const QString &text)
{
    QStringList lines{QString()};
    qsizetype from = 0;
    for (;;) {
        const qsizetype cr = text.indexOf(u'\r', from);
        if (cr < 0)
            break;
        lines.append(text.mid(from, cr - from));
        from = cr + 1;
        if (from < text.size() && text.at(from) == u'\n')
            ++from;
    }
    return lines;
}

qint16 FindSeparator(const QString &text, const QString &sep, qint16 n)
{
    if (n == 0)
        return -1;
    // Each step searches the text that begins at the separator found before (the whole text at first),
    // skipping that text's first character; for commas, the quotes are counted from that text's second
    // character up to the candidate. 0-based indices below; `base` is the step's first character.
    const bool quoteAware = sep == u",";
    const qsizetype len = text.size();
    qsizetype base = 0;
    qint32 remaining = n; // a negative n walks every separator and ends with "not found"
    for (;;) {
        qsizetype p = base;
        qsizetype scanned = base; // quotes counted in (base, scanned]
        qsizetype quotes = 0;
        for (;;) {
            qsizetype next;
            if (sep.isEmpty())
                next = p + 1 < len ? p + 1 : -1;
            else
                next = text.indexOf(sep, p + 1);
            if (next < 0)
                return 0;
            p = next;
            if (!quoteAware)
                break;
            while (scanned < p) {
                ++scanned;
                if (text.at(scanned) == u'"')
                    ++quotes;
            }
            if (quotes % 2 == 0)
                break;
        }
        if (remaining == 1)
            return toPosition(p + 1);
        --remaining;
        base = p;
    }
}

qint16 GetIntField(const QString &text, qint16 n)
{
    qsizetype start = 0;
    if (n != 0) {
        const qint16 p = FindSeparator(text, QStringLiteral(","), n);
        if (p > 0)
            start = p; // 0-based index of the character after the comma
    }
    qsizetype end = start;
    if (end < text.size())
        ++end; // the field's first character is always taken
    while (end < text.size() && text.at(end).unicode() >= u'0')
        ++end;
    return textToInt16(text.mid(start, end - start));
}

QString GetQuotedField(const QString &text, qint16 n)
{
    const qint16 p = FindSeparator(text, QStringLiteral(","), n);
    // The opening quote is assumed right after the comma; the text starts one further.
    const qsizetype start = qsizetype(p) + 1; // 0-based
    if (start < 0 || start > text.size())
        throwError(ErrInvalidArgument);
    const qsizetype q = text.indexOf(u'"', start);
    if (q < 0)
        throwError(ErrInvalidArgument);
    return text.mid(start, q - start);
}

QString TrimCrLf(QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && (s.at(b) == u'\r' || s.at(b) == u'\n'))
        ++b;
    while (e > b && (s.at(e - 1) == u'\r' || s.at(e - 1) == u'\n'))
        --e;
    s = s.mid(b, e - b);
    return s;
}

} // namespace orvia
