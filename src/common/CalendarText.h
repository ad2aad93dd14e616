#pragma once
// Date and number texts of the calendar: two-digit fields for phone commands, minute comparison, and
// the regional date-time text of calendar record lines.
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace orvia {

// At least two digits, a leading zero below 10 ("05", "12", "123").
QString Format2(qint16 &i);

// True when minute, hour, day, month and year agree; seconds are ignored.
bool SameMinute(QDateTime &d1, QDateTime &d2);

// The locale of the regional text forms: the user's locale (the default locale, which tests may set).
QLocale regionalLocale();

// Regional short date (four-digit year), a blank and the regional time with seconds; the time is left
// out at exactly midnight, and a value on the zero day gives the time alone. An invalid value is written
// as the zero date-time.
QString DateTimeToText(const QDateTime &dt);

// Reads what DateTimeToText writes: date and time, a date alone (midnight) or a time alone (on the zero
// day). Throws the type-mismatch error for any other text.
QDateTime TextToDateTime(const QString &text);

} // namespace orvia
