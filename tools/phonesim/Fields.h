#pragma once
// Comma-separated fields as the AT commands and the contents file write them: quoted texts may hold
// commas; unquoted fields are trimmed.
#include <QList>
#include <QString>
#include <optional>

namespace orvia::phonesim {

struct Field
{
    QString text;
    bool quoted = false;
    bool empty() const { return !quoted && text.isEmpty(); }
};

// nullopt when a quote is left open or text follows a closing quote. With backslashEscapes, \" and
// \\ inside quotes stand for a quote and a backslash (the contents file); the phone link sends
// texts raw.
std::optional<QList<Field>> splitFields(const QString &text, bool backslashEscapes);

// An unquoted field of decimal digits (an optional leading minus) within [min, max].
std::optional<int> intField(const Field &f, int min, int max);

// Quotes a text for the contents file, escaping quotes and backslashes.
QString quoteEscaped(const QString &text);

} // namespace orvia::phonesim
