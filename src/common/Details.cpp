#include "common/Details.h"

#include "common/Globals.h"
#include "common/Translation.h"
#include "platform/VisibleText.h"

namespace orvia {

void AddDetails(const QString &name, const QString &text)
{
    QString marked = visibleText(name);
    marked.replace(QStringLiteral("Outlook"), QStringLiteral("Outlook\u00AE"));
    globals().gDetails += Translate(QStringLiteral("Details for")) + u' ' + marked + QStringLiteral(": ") +
                          visibleText(text) + QStringLiteral("\r\n");
}

void AddReadError(const QString &heading, const QString &description)
{
    globals().gDetails += heading + QStringLiteral(": ") + visibleText(description) + QStringLiteral("\r\n");
}

} // namespace orvia
