#include "data/DBLanguageItem.h"

#include "common/FieldEscaping.h"
#include "common/NumberText.h"
#include "common/ReplyParsing.h"
#include "platform/RuntimeError.h"

namespace orvia {

QString DBLanguageItem::GetDataText() const
{
    return QString::number(id) + u',' + language + u',' + EscapeField(Text) + QStringLiteral("\r\n");
}

void DBLanguageItem::SetDataText(const QString &line)
{
    const QString comma = QStringLiteral(",");
    const qint16 first = FindSeparator(line, comma, 1);
    const qint16 second = FindSeparator(line, comma, 2);
    if (first <= 0 || second <= 0)
        throwError(ErrInvalidArgument);
    const qint16 newId = textToInt16(line.left(first - 1));
    language = line.mid(first, second - first - 1);
    Text = UnescapeField(line.mid(second));
    id = newId;
}

} // namespace orvia
