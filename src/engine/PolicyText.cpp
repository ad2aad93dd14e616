#include "engine/PolicyText.h"

#include "common/Details.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "platform/VisibleText.h"

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
    // Stores in their text form, one record a line: names in them keep to their record's line.
    globals().gLog.log(visibleLines(text), true);
}

} // namespace orvia
