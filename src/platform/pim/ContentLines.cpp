#include "platform/pim/ContentLines.h"

namespace orvia::pim {

QByteArray foldLine(const QByteArray &logical)
{
    constexpr int limit = 75;
    QByteArray out;
    out.reserve(logical.size() + logical.size() / 70 * 3 + 2);
    qsizetype pos = 0;
    int room = limit;
    while (logical.size() - pos > room) {
        qsizetype cut = pos + room;
        // Step back to the start of a UTF-8 sequence so a character never straddles two lines.
        while (cut > pos && (uchar(logical.at(cut)) & 0xC0) == 0x80)
            --cut;
        if (cut == pos)
            cut = pos + room; // not UTF-8 at all: cut where the limit says
        out.append(logical.constData() + pos, cut - pos);
        out.append("\r\n ");
        pos = cut;
        room = limit - 1; // the leading space counts
    }
    out.append(logical.constData() + pos, logical.size() - pos);
    out.append("\r\n");
    return out;
}

qsizetype findUnquoted(const QByteArray &s, char wanted, qsizetype from)
{
    bool quoted = false;
    for (qsizetype i = from; i < s.size(); ++i) {
        const char c = s.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == wanted && !quoted)
            return i;
    }
    return -1;
}

QList<QByteArray> unfoldLines(const QByteArray &data)
{
    QList<QByteArray> lines;
    QByteArray current;
    bool have = false;
    qsizetype pos = 0;
    const qsizetype n = data.size();
    while (pos < n) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = n;
        qsizetype stop = end;
        if (stop > pos && data.at(stop - 1) == '\r')
            --stop;
        const char *p = data.constData() + pos;
        qsizetype len = stop - pos;
        if (len > 0 && (p[0] == ' ' || p[0] == '\t') && have) {
            current.append(p + 1, len - 1);
        } else {
            if (have && !current.isEmpty())
                lines.append(current);
            current = QByteArray(p, len);
            have = true;
        }
        pos = end + 1;
    }
    if (have && !current.isEmpty())
        lines.append(current);
    return lines;
}

QString escapeText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case ';':
            out += QLatin1String("\\;");
            break;
        case ',':
            out += QLatin1String("\\,");
            break;
        case '\r':
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString unescapeText(const QString &text)
{
    if (!text.contains(QLatin1Char('\\')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            out += QLatin1Char('\n');
        else
            out += next; // \\ \; \, \: and anything else stand for themselves
    }
    return out;
}

QStringList splitStructured(const QString &raw)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c == QLatin1Char('\\') && i + 1 < raw.size()) {
            current += c;
            current += raw.at(++i);
        } else if (c == QLatin1Char(';')) {
            parts.append(unescapeText(current));
            current.clear();
        } else {
            current += c;
        }
    }
    parts.append(unescapeText(current));
    return parts;
}

QString joinStructured(const QStringList &components)
{
    QStringList escaped;
    escaped.reserve(components.size());
    for (const QString &c : components)
        escaped.append(escapeText(c));
    return escaped.join(QLatin1Char(';'));
}

namespace {
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}
} // namespace

QByteArray decodeQuotedPrintable(const QByteArray &encoded)
{
    QByteArray out;
    out.reserve(encoded.size());
    const qsizetype n = encoded.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = encoded.at(i);
        if (c != '=') {
            out += c;
            continue;
        }
        // Soft line break: "=" then CRLF or LF.
        if (i + 1 < n && encoded.at(i + 1) == '\n') {
            i += 1;
            continue;
        }
        if (i + 2 < n && encoded.at(i + 1) == '\r' && encoded.at(i + 2) == '\n') {
            i += 2;
            continue;
        }
        if (i + 2 < n) {
            int hi = hexValue(encoded.at(i + 1));
            int lo = hexValue(encoded.at(i + 2));
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += c; // a stray "=" stands for itself
    }
    return out;
}

} // namespace orvia::pim
