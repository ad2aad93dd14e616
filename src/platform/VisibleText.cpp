#include "platform/VisibleText.h"

namespace orvia {

namespace {

bool hidden(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 ||
           (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString visibleText(QStringView text)
{
    qsizetype first = 0;
    while (first < text.size() && !hidden(text.at(first).unicode()))
        ++first;
    if (first == text.size())
        return text.toString();
    QString out = text.left(first).toString();
    for (qsizetype i = first; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (!hidden(c))
            out += QChar(c);
        else if (c == u'\r')
            out += u"\\r";
        else if (c == u'\n')
            out += u"\\n";
        else if (c == u'\t')
            out += u"\\t";
        else if (c < 0x100)
            out += QStringLiteral("\\x%1").arg(uint(c), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(uint(c), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString visibleLines(QStringView text)
{
    QString out;
    out.reserve(text.size());
    const QStringView crLf = u"\r\n";
    qsizetype from = 0;
    for (qsizetype end; (end = text.indexOf(crLf, from)) >= 0; from = end + 2) {
        out += visibleText(text.mid(from, end - from));
        out += crLf;
    }
    out += visibleText(text.mid(from));
    return out;
}

} // namespace orvia
