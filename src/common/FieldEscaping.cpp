#include "common/FieldEscaping.h"

namespace orvia {

QString EscapeField(const QString &s)
{
    QString out;
    out.reserve(s.size() + s.size() / 8);
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'"':
            out += u"/a";
            break;
        case u'/':
            out += u"//";
            break;
        case u',':
            out += u"/c";
            break;
        case u'\r':
            out += u"/r";
            break;
        case u'\n':
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

QString UnescapeField(const QString &s)
{
    QString out;
    out.reserve(s.size());
    const qsizetype n = s.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = s.at(i);
        if (c != u'/') {
            out += c;
            continue;
        }
        if (i + 1 == n) {
            out += c;
            break;
        }
        const QChar x = s.at(++i);
        switch (x.unicode()) {
        case u'a':
            out += u'"';
            break;
        case u'r':
            out += u"\r\n";
            break;
        case u'c':
            out += u',';
            break;
        default:
            out += x;
            break; // "//" gives '/', any other pair the second character
        }
    }
    return out;
}

} // namespace orvia
