#pragma once
// The policy's user texts: translated pieces and the notices it leaves in the run's details.
#include <QString>

namespace orvia {

// The text in the user's language.
QString PolicyTr(const QString &english);

// Notices of the contacts half go under the untranslated name, those of the calendar half under the
// translated one.
void ContactsNotice(const QString &text);
void CalendarNotice(const QString &text);

} // namespace orvia
