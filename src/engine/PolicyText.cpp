#include "engine/PolicyText.h"

#include "common/Details.h"
#include "common/Globals.h"
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

void PolicyLog(const QString &text)
{
    globals().gLog.log(text, true);
}

} // namespace orvia
