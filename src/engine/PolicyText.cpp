#include "engine/PolicyText.h"

#include "common/Details.h"

namespace orvia {

QString PolicyTr(const QString &english)
{
    return english;
}

void ContactsNotice(const QString &text)
{
    AddDetails(QStringLiteral("Synchronization"), text);
}

void CalendarNotice(const QString &text)
{
    AddDetails(PolicyTr(QStringLiteral("Synchronization")), text);
}

} // namespace orvia
