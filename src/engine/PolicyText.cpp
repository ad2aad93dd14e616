#include "engine/PolicyText.h"

#include "common/Details.h"
#include "common/Translation.h"

namespace orvia {

QString PolicyTr(const QString &english)
{
    return Translate(english);
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
