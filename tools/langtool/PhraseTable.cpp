#include "langtool/PhraseTable.h"

#include "common/Translation.h"
#include "common/Windows1252.h"

#include <QSet>

namespace orvia {

namespace {

QString code(int column)
{
    return QString::fromUtf16(kLanguageCodes[column]);
}

QString checkText(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("empty text");
    if (text != text.trimmed())
        return QStringLiteral("blanks around \"%1\"").arg(text);
    for (QChar c : text) {
        if (charToWindows1252(c) < 0)
            return QStringLiteral("\"%1\" holds U+%2, which Windows-1252 cannot hold")
                .arg(text)
                .arg(int(c.unicode()), 4, 16, QChar(u'0'));
        if (c.unicode() < 0x20)
            return QStringLiteral("\"%1\" holds a control character").arg(text);
    }
    if (text.contains(u'\u00AE'))
        return QStringLiteral("\"%1\" holds a trademark sign; the program adds it").arg(text);
    return QString();
}

} // namespace

PhraseTable parsePhraseTable(const QByteArray &utf8)
{
    PhraseTable table;
    const QStringList lines = QString::fromUtf8(utf8).split(u'\n');
    bool headerSeen = false;
    QSet<QString> keys;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const int number = i + 1;
        const QStringList cells = line.split(u'\t');
        auto error = [&](const QString &what) {
            table.errors << QStringLiteral("line %1: %2").arg(number).arg(what);
        };
        if (cells.size() != 5) {
            error(QStringLiteral("%1 columns instead of 5").arg(cells.size()));
            continue;
        }
        if (!headerSeen) {
            headerSeen = true;
            for (int c = 0; c < 5; ++c) {
                if (cells.at(c) != code(c))
                    error(QStringLiteral("column %1 must be \"%2\"").arg(c + 1).arg(code(c)));
            }
            continue;
        }
        Phrase phrase;
        phrase.line = number;
        bool ok = true;
        for (int c = 0; c < 5; ++c) {
            phrase.texts[size_t(c)] = cells.at(c);
            const QString problem = checkText(cells.at(c));
            if (!problem.isEmpty()) {
                error(code(c) + QStringLiteral(": ") + problem);
                ok = false;
            }
        }
        if (keys.contains(cells.at(0))) {
            error(QStringLiteral("\"%1\" is already in the table").arg(cells.at(0)));
            ok = false;
        }
        keys.insert(cells.at(0));
        if (ok)
            table.phrases << phrase;
    }
    if (!headerSeen)
        table.errors << QStringLiteral("no column line (en, de, fr, it, sp)");
    if (table.phrases.size() * 5 > DBLanguages::kMaxRecords)
        table.errors << QStringLiteral("too many phrases for one language file");
    return table;
}

DBLanguages buildLanguageTable(const PhraseTable &table)
{
    DBLanguages out;
    qint16 id = 0;
    for (const Phrase &phrase : table.phrases) {
        ++id;
        for (int c = 0; c < 5; ++c)
            out.add(id, code(c), QString(), phrase.texts[size_t(c)]);
    }
    return out;
}

} // namespace orvia
