#include "phonesim/Fields.h"

namespace orvia::phonesim {

std::optional<QList<Field>> splitFields(const QString &text, bool backslashEscapes)
{
    QList<Field> out;
    Field cur;
    bool inQuote = false;
    bool closed = false; // a quoted text has ended; only blanks may follow before the comma
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuote) {
            if (backslashEscapes && c == u'\\' && i + 1 < text.size()) {
                cur.text.append(text.at(++i));
            } else if (c == u'"') {
                inQuote = false;
                closed = true;
            } else {
                cur.text.append(c);
            }
            continue;
        }
        if (c == u',') {
            if (!cur.quoted)
                cur.text = cur.text.trimmed();
            out.append(cur);
            cur = Field();
            closed = false;
        } else if (c == u'"') {
            if (cur.quoted || !cur.text.trimmed().isEmpty())
                return std::nullopt;
            cur.text.clear();
            cur.quoted = true;
            inQuote = true;
        } else if (closed) {
            if (c != u' ' && c != u'\t')
                return std::nullopt;
        } else {
            cur.text.append(c);
        }
    }
    if (inQuote)
        return std::nullopt;
    if (!cur.quoted)
        cur.text = cur.text.trimmed();
    out.append(cur);
    return out;
}

std::optional<int> intField(const Field &f, int min, int max)
{
    if (f.quoted || f.text.isEmpty() || f.text.size() > 10)
        return std::nullopt;
    for (qsizetype i = 0; i < f.text.size(); ++i) {
        const QChar c = f.text.at(i);
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && c == u'-' && f.text.size() > 1))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong v = f.text.toLongLong(&ok);
    if (!ok || v < min || v > max)
        return std::nullopt;
    return static_cast<int>(v);
}

QString quoteEscaped(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        if (c == u'"' || c == u'\\')
            out.append(u'\\');
        out.append(c);
    }
    out.append(u'"');
    return out;
}

} // namespace orvia::phonesim
