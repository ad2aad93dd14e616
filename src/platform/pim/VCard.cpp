#include "platform/pim/VCard.h"
#include "platform/RuntimeError.h"
#include "platform/Windows1252.h"
#include "platform/pim/ContentLines.h"
#include "platform/pim/ItemLimits.h"

#include <QStringDecoder>

namespace orvia::pim {

namespace {

[[noreturn]] void refuse(const QString &reason)
{
    throwError(ErrItemRefused, QStringLiteral("not a readable vCard: ") + reason);
}

QList<QByteArray> splitUnquoted(const QByteArray &s, char sep)
{
    QList<QByteArray> parts;
    qsizetype start = 0;
    for (;;) {
        qsizetype at = findUnquoted(s, sep, start);
        if (at < 0) {
            parts.append(s.mid(start));
            return parts;
        }
        parts.append(s.mid(start, at - start));
        start = at + 1;
    }
}

QByteArray unquote(const QByteArray &v)
{
    if (v.size() >= 2 && v.startsWith('"') && v.endsWith('"'))
        return v.mid(1, v.size() - 2);
    return v;
}

bool validName(const QByteArray &name)
{
    if (name.isEmpty())
        return false;
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

bool headerSays(const QByteArray &rawLine, const char *word)
{
    qsizetype colon = findUnquoted(rawLine, ':');
    QByteArray header = (colon < 0 ? rawLine : rawLine.left(colon)).toUpper();
    return header.contains(word);
}

QString decodeCharset(const QByteArray &bytes, const QByteArray &charset)
{
    if (charset.isEmpty() || charset.compare("UTF-8", Qt::CaseInsensitive) == 0)
        return QString::fromUtf8(bytes);
    if (charset.compare("windows-1252", Qt::CaseInsensitive) == 0)
        return cp1252::decode(bytes);
    QStringDecoder decoder(charset.constData());
    if (decoder.isValid())
        return decoder.decode(bytes);
    return QString::fromLatin1(bytes);
}

bool isBegin(const QByteArray &line)
{
    return line.trimmed().compare("BEGIN:VCARD", Qt::CaseInsensitive) == 0;
}
bool isEnd(const QByteArray &line)
{
    return line.trimmed().compare("END:VCARD", Qt::CaseInsensitive) == 0;
}

// Logical lines: standard folding first, then the 2.1 continuation forms (quoted-printable soft breaks,
// unindented base64 blocks) kept verbatim with their inner line breaks, and raw line breaks inside a text
// value turned into escaped ones.
QList<QByteArray> logicalLines(const QByteArray &data)
{
    QList<QByteArray> entries;
    // Taken from the first line of the current entry, once: testing the growing entry again for every
    // continuation would take time growing with the square of its length.
    bool quotedPrintable = false, base64 = false, begin = false;
    for (const QByteArray &line : unfoldLines(data)) {
        if (!entries.isEmpty()) {
            QByteArray &cur = entries.last();
            if (quotedPrintable && cur.endsWith('=')) {
                cur += "\r\n" + line;
                continue;
            }
            if (!begin && !line.contains(':')) {
                if (base64)
                    cur += "\r\n" + line;
                else
                    cur += "\\n" + line;
                continue;
            }
        }
        if (line.trimmed().isEmpty())
            continue;
        entries.append(line);
        quotedPrintable = headerSays(line, "QUOTED-PRINTABLE");
        base64 = headerSays(line, "BASE64");
        begin = isBegin(line);
    }
    return entries;
}

// A property as read, its value still in the bytes of the file: how they are decoded is decided once the
// whole card is known.
struct ReadProperty
{
    VProperty property;
    QByteArray valueBytes; // quoted-printable decoded
    QByteArray charset;    // as the CHARSET parameter names it; empty when none
};

ReadProperty parseProperty(const QByteArray &raw)
{
    VProperty p;
    p.raw = raw;
    p.dirty = false;
    qsizetype colon = findUnquoted(raw, ':');
    if (colon < 0)
        refuse(QStringLiteral("a line without a colon"));
    const QByteArray header = raw.left(colon);
    QByteArray valueBytes = raw.mid(colon + 1);
    QList<QByteArray> parts = splitUnquoted(header, ';');
    QByteArray name = parts.takeFirst();
    qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0) {
        p.group = name.left(dot);
        name = name.mid(dot + 1);
    }
    if (!validName(name) || (dot >= 0 && !validName(p.group)))
        refuse(QStringLiteral("a malformed property name"));
    p.name = name.toUpper();
    bool qp = false;
    bool base64 = false;
    QByteArray charset;
    for (const QByteArray &part : parts) {
        if (part.isEmpty())
            continue;
        VParam param;
        qsizetype eq = findUnquoted(part, '=');
        QByteArray values;
        if (eq < 0) {
            values = part;
        } else {
            param.name = part.left(eq).trimmed().toUpper();
            values = part.mid(eq + 1);
        }
        for (const QByteArray &v : splitUnquoted(values, ','))
            param.values.append(unquote(v));
        for (const QByteArray &v : param.values) {
            const QByteArray up = v.toUpper();
            if ((param.name.isEmpty() || param.name == "ENCODING") && up == "QUOTED-PRINTABLE")
                qp = true;
            if ((param.name.isEmpty() || param.name == "ENCODING") && up == "BASE64")
                base64 = true;
        }
        if (param.name == "CHARSET" && !param.values.isEmpty())
            charset = param.values.first();
        p.params.append(param);
    }
    if (qp)
        valueBytes = decodeQuotedPrintable(valueBytes);
    else if (base64)
        valueBytes.replace("\r\n", "");
    return ReadProperty{std::move(p), std::move(valueBytes), std::move(charset)};
}

// Older exports (vCard 2.1 above all) write their text in the Windows code page and name no charset.
// Bytes that are no UTF-8 in a value without a CHARSET parameter mark such a card: such values are read
// in that code page, so that a name reads as the letters the user sees.
bool writtenInTheCodePage(const QList<ReadProperty> &props)
{
    for (const ReadProperty &r : props)
        if (r.charset.isEmpty() && !r.valueBytes.isValidUtf8())
            return true;
    return false;
}

// A parameter value as written: quoted when it holds a separator (a comma separates TYPE lists, so it is
// quoted only elsewhere; an "=" in a parameter without a name would give it one); a double quote cannot be
// written inside one and becomes a single quote.
QByteArray quoteIfNeeded(const QByteArray &value, bool commaSeparates, bool named)
{
    QByteArray v = value;
    v.replace('"', '\'');
    if (v.contains(':') || v.contains(';') || (!commaSeparates && v.contains(',')) ||
        (!named && v.contains('=')))
        return '"' + v + '"';
    return v;
}

QByteArray buildLine(const VProperty &p)
{
    QByteArray line;
    if (!p.group.isEmpty())
        line += p.group + '.';
    line += p.name;
    for (const VParam &param : p.params) {
        line += ';';
        if (!param.name.isEmpty())
            line += param.name + '=';
        QList<QByteArray> vs;
        for (const QByteArray &v : param.values)
            vs.append(quoteIfNeeded(v, param.name == "TYPE" || param.name.isEmpty(), !param.name.isEmpty()));
        line += vs.join(',');
    }
    line += ':';
    line += p.value.toUtf8();
    return line;
}

} // namespace

bool VProperty::hasParam(const QByteArray &wanted) const
{
    for (const VParam &p : params)
        if (p.name == wanted)
            return true;
    return false;
}

QSet<QByteArray> VProperty::types() const
{
    QSet<QByteArray> out;
    for (const VParam &p : params) {
        if (p.name != "TYPE" && !p.name.isEmpty())
            continue;
        for (const QByteArray &v : p.values)
            for (const QByteArray &t : v.split(','))
                if (!t.trimmed().isEmpty())
                    out.insert(t.trimmed().toUpper());
    }
    return out;
}

void VProperty::removeParam(const QByteArray &wanted)
{
    for (qsizetype i = params.size() - 1; i >= 0; --i)
        if (params.at(i).name == wanted)
            params.removeAt(i);
}

VCard VCard::parse(const QByteArray &input)
{
    checkItemSize(input.size());
    QByteArray data = input;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    const QList<QByteArray> lines = logicalLines(data);
    if (lines.isEmpty() || !isBegin(lines.first()))
        refuse(QStringLiteral("no BEGIN:VCARD"));
    VCard card;
    QList<ReadProperty> read;
    bool ended = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (ended) {
            if (isBegin(line))
                refuse(QStringLiteral("several cards in one file"));
            continue; // trailing noise after the card
        }
        if (isEnd(line)) {
            ended = true;
            continue;
        }
        if (isBegin(line))
            refuse(QStringLiteral("a card inside a card"));
        read.append(parseProperty(line));
    }
    if (!ended)
        refuse(QStringLiteral("no END:VCARD (truncated file)"));
    card.m_codePageText = writtenInTheCodePage(read);
    for (ReadProperty &r : read) {
        // Value by value: a value that is UTF-8 stays so, should a card hold both kinds.
        const QByteArray charset = r.charset.isEmpty() && card.m_codePageText && !r.valueBytes.isValidUtf8()
                                       ? QByteArrayLiteral("windows-1252")
                                       : r.charset;
        r.property.value = decodeCharset(r.valueBytes, charset);
        if (r.property.name == "VERSION")
            card.m_version = r.property.value.trimmed().toUtf8();
        card.m_props.append(std::move(r.property));
    }
    return card;
}

VCard VCard::createNew(const QString &uid)
{
    VCard card;
    card.m_version = "3.0";
    VProperty version;
    version.name = "VERSION";
    version.value = QStringLiteral("3.0");
    VProperty prodid;
    prodid.name = "PRODID";
    prodid.value = QStringLiteral("-//Velmora//Orvia Link//EN");
    VProperty uidProp;
    uidProp.name = "UID";
    uidProp.value = escapeText(uid);
    card.m_props = {version, prodid, uidProp};
    return card;
}

QByteArray VCard::serialize() const
{
    QByteArray out = "BEGIN:VCARD\r\n";
    for (const VProperty &p : m_props) {
        if (p.dirty) {
            out += foldLine(buildLine(p));
        } else if (p.raw.contains("\r\n")) {
            out += p.raw + "\r\n";
            if (headerSays(p.raw, "BASE64"))
                out += "\r\n"; // a 2.1 base64 block ends with an empty line
        } else {
            out += foldLine(p.raw);
        }
    }
    out += "END:VCARD\r\n";
    return out;
}

int VCard::indexOf(const QByteArray &name, int from) const
{
    for (int i = from; i < m_props.size(); ++i)
        if (m_props.at(i).name == name)
            return i;
    return -1;
}

QString VCard::textValue(int index) const
{
    return unescapeText(m_props.at(index).value);
}

void VCard::setTextValue(int index, const QString &text)
{
    setRawValue(index, escapeText(text));
}

void VCard::setRawValue(int index, const QString &escaped)
{
    VProperty &p = m_props[index];
    // The new value is plain UTF-8: drop the encodings that described the old one.
    for (qsizetype i = p.params.size() - 1; i >= 0; --i) {
        VParam &param = p.params[i];
        if (param.name == "CHARSET" || param.name == "ENCODING") {
            p.params.removeAt(i);
        } else if (param.name.isEmpty()) {
            param.values.removeIf([](const QByteArray &v) {
                const QByteArray up = v.toUpper();
                return up == "QUOTED-PRINTABLE" || up == "8BIT" || up == "7BIT";
            });
            if (param.values.isEmpty())
                p.params.removeAt(i);
        }
    }
    p.value = escaped;
    p.dirty = true;
    markUtf8(p, m_version == "2.1");
}

void VCard::markUtf8(VProperty &p, bool version21) const
{
    // A 2.1 card's readers take a value without CHARSET in their own code page, and so does this one's
    // reading of a card written in it: a value beyond ASCII names its UTF-8.
    // A 4.0 card is UTF-8 throughout and knows no CHARSET parameter.
    if ((!version21 && !m_codePageText) || m_version == "4.0")
        return;
    bool ascii = true;
    for (QChar c : p.value)
        ascii = ascii && c.unicode() < 128;
    if (!ascii && !p.hasParam("CHARSET"))
        p.params.append(VParam{"CHARSET", {"UTF-8"}});
}

int VCard::insertProperty(VProperty property)
{
    property.dirty = true;
    markUtf8(property, m_version == "2.1");
    int at = -1;
    for (int i = 0; i < m_props.size(); ++i)
        if (m_props.at(i).name == property.name)
            at = i;
    int pos = at < 0 ? int(m_props.size()) : at + 1;
    m_props.insert(pos, std::move(property));
    return pos;
}

} // namespace orvia::pim
