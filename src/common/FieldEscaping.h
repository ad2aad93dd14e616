#pragma once
// Escaping of a text field inside a one-line record: every record kind (phonebook, calendar,
// translation) writes its text fields through EscapeField so that the line holds no comma, double
// quote or line break, and reads them back with UnescapeField.
#include <QString>

namespace orvia {

// '"' -> "/a", '/' -> "//", ',' -> "/c", CR -> "/r"; a line feed is dropped.
QString EscapeField(const QString &s);

// "/a" -> '"', "//" -> '/', "/r" -> CR LF, "/c" -> ','; '/' before any other character drops the
// slash; a slash at the very end stays.
QString UnescapeField(const QString &s);

} // namespace orvia
