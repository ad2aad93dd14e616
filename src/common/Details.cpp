#include "common/Details.h"

#include "common/Globals.h"
#include "common/Translation.h"

namespace orvia {

void AddDetails(const QString &name, const QString &text)
{
    QString marked = name;
    marked.replace(QStringLiteral("Outlook"), QStringLiteral("Outlook\u00AE"));
    globals().gDetails += Translate(QStringLiteral("Details for")) + u' ' + marked + QStringLiteral(": ") +
                          text + QStringLiteral("\r\n");
}

} // namespace orvia
