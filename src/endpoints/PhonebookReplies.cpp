#include "endpoints/PhonebookReplies.h"

#include "common/NumberText.h"
#include "common/ReplyParsing.h"
#include "endpoints/PhoneModels.h"
#include "platform/RuntimeError.h"

namespace orvia {

namespace {

const QString kComma = QStringLiteral(",");

// Index (0-based) of the quote that closes a quoted field opened at `open`: the first quote that is
// followed by a comma, a blank before a comma, or the end of the line. A quote inside a name ("Bob
// "the" Smith") is thus kept in the text. -1 when the field is not closed.
qsizetype closingQuote(const QString &line, qsizetype open)
{
    for (qsizetype i = open + 1; i < line.size(); ++i) {
        if (line.at(i) != QLatin1Char('"'))
            continue;
        qsizetype j = i + 1;
        while (j < line.size() && line.at(j) == QLatin1Char(' '))
            ++j;
        if (j >= line.size() || line.at(j) == QLatin1Char(','))
            return i;
    }
    return -1;
}

} // namespace

QList<MemoryStatus> parseMemoryStatus(const QStringList &lines)
{
    QList<MemoryStatus> out;
    for (const QString &line : lines) {
        if (!line.startsWith(QLatin1String("+CPBS:")))
            continue;
        const qint16 c1 = FindSeparator(line, kComma, 1);
        const qint16 c2 = FindSeparator(line, kComma, 2);
        if (c1 <= 0 || c2 <= 0)
            throwError(ErrInvalidArgument);
        MemoryStatus st;
        st.used = textToInt16(line.mid(c1, c2 - c1 - 1));
        st.total = textToInt16(line.mid(c2));
        st.handset = line.contains(QLatin1String("ME"));
        out.append(st);
    }
    return out;
}

PhonebookEntry parsePhonebookLine(const QString &line, bool categories)
{
    PhonebookEntry e;
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    const qint16 c1 = FindSeparator(line, kComma, 1);
    if (colon < 0 || c1 <= 0)
        throwError(ErrInvalidArgument);
    e.location = textToInt16(line.mid(colon + 1, c1 - 1 - (colon + 1)));

    const qsizetype q1 = line.indexOf(QLatin1Char('"'), 1);
    const qsizetype q2 = q1 < 0 ? -1 : closingQuote(line, q1);
    const qsizetype q3 = q2 < 0 ? -1 : line.indexOf(QLatin1Char('"'), q2 + 1);
    const qsizetype q4 = q3 < 0 ? -1 : closingQuote(line, q3);
    if (q4 < 0)
        throwError(ErrInvalidArgument);
    e.number = line.mid(q1 + 1, q2 - q1 - 1);
    e.name = line.mid(q3 + 1, q4 - q3 - 1);

    e.typ = 1;
    if (categories) {
        // The category follows the comma after the name; blanks after a comma occur on some handsets.
        qsizetype i = q4 + 1;
        while (i < line.size() && line.at(i) == QLatin1Char(' '))
            ++i;
        if (i < line.size() && line.at(i) == QLatin1Char(',')) {
            ++i;
            while (i < line.size() && line.at(i) == QLatin1Char(' '))
                ++i;
            if (i < line.size() && line.at(i).isDigit() && line.at(i).unicode() < 128)
                e.typ = kindFromCategory(line.at(i).unicode() - '0');
        }
    }
    return e;
}

QList<PhonebookEntry> parsePhonebookEntries(const QStringList &lines, bool categories)
{
    QList<PhonebookEntry> out;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("+CPBR:")))
            out.append(parsePhonebookLine(line, categories));
    }
    return out;
}

} // namespace orvia
