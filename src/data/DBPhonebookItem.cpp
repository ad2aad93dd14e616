#include "data/DBPhonebookItem.h"

#include "common/FieldEscaping.h"
#include "common/NumberText.h"
#include "data/RecordFields.h"

namespace orvia {

QString DBPhonebookItem::GetDataText() const
{
    return QString::number(id) + u',' + QString::number(location) + u',' + memory + u',' +
           QString::number(qint16(operation)) + u',' + EscapeField(data) + u',' +
           QString::number(qint16(typ)) + QStringLiteral("\r\n");
}

void DBPhonebookItem::SetDataText(const QString &s)
{
    const RecordFields f(s, 5);
    id = textToInt16(f.field(1));
    location = textToInt16(f.field(2));
    memory = f.field(3);
    operation = Operation(textToInt16(f.field(4)));
    data = UnescapeField(f.field(5));
    typ = ContactKind(textToInt16(f.rest(5)));
}

} // namespace orvia
