#pragma once
// Line-level rules shared by the vCard and iCalendar files: folding, text escaping, structured values and
// quoted-printable, as the desktop's contact and calendar tools expect them.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace orvia::pim {

// One logical line plus CRLF, folded so that no physical line exceeds 75 octets and no multi-byte UTF-8
// character is split; continuations start with one space.
QByteArray foldLine(const QByteArray &logical);

// Joins continuation lines (CRLF or LF followed by one space or tab) and splits into logical lines;
// empty lines are dropped.
QList<QByteArray> unfoldLines(const QByteArray &data);

// The first `wanted` at or after `from` outside a double-quoted parameter value, or -1: the colon that
// ends a line's name and parameters, say.
qsizetype findUnquoted(const QByteArray &s, char wanted, qsizetype from = 0);

// Text values: backslash, semicolon, comma and line breaks are escaped; a colon is not.
QString escapeText(const QString &text);
QString unescapeText(const QString &text);

// Structured values (N, ADR): components separated by unescaped semicolons, each unescaped.
QStringList splitStructured(const QString &raw);
QString joinStructured(const QStringList &components);

// Quoted-printable as vCard 2.1 uses it ("=XX", soft line breaks "=" at a line end).
QByteArray decodeQuotedPrintable(const QByteArray &encoded);

} // namespace orvia::pim
