#include "data/ModFeatures.h"

#include "common/NumberText.h"
#include "data/RecordFields.h"

namespace orvia {

namespace {
QString flag(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}
} // namespace

QString ModFeatures::GetDataText() const
{
    const QString me = ME_capacity < 0 ? QString::number(ME_capacity) : u' ' + QString::number(ME_capacity);
    return name + u',' + me + u',' + QString::number(ME_filled) + u',' + QString::number(SM_capacity) + u',' +
           QString::number(SM_filled) + u',' + QString::number(NameLen) + u',' + QString::number(EmailLen) +
           u',' + QString::number(CalBodyLen) + u',' + QString::number(Cal_capacity) + u',' + flag(ExtPB) +
           u',' + flag(writeable);
}

void ModFeatures::SetDataText(const QString &s)
{
    const RecordFields f(s, 10);
    name = f.field(1);
    qint16 *const numbers[] = {&ME_capacity, &ME_filled, &SM_capacity, &SM_filled,
                               &NameLen,     &EmailLen,  &CalBodyLen,  &Cal_capacity};
    for (int k = 2; k <= 9; ++k)
        *numbers[k - 2] = textToInt16(f.field(k));
    ExtPB = f.field(10) == u"True";
    writeable = f.rest(10) == u"True";
}

} // namespace orvia
