#pragma once
// The policy's user texts: translated pieces and the notices it leaves in the run's details.
#include <QString>
#include <memory>

namespace orvia {

// The text in the user's language.
QString PolicyTr(const QString &english);

// Notices of the contacts half go under the untranslated name, those of the calendar half under the
// translated one.
void ContactsNotice(const QString &text);
void CalendarNotice(const QString &text);

// One line of the policy's trace in the log.
void PolicyLog(const QString &text);

// The store or features a run handed over, or an empty one when it handed none.
template <class T> const T &orEmpty(const std::shared_ptr<T> &p)
{
    static const T empty;
    return p ? *p : empty;
}

} // namespace orvia
