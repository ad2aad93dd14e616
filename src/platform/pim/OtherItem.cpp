#include "platform/pim/OtherItem.h"
#include "platform/RuntimeError.h"

namespace orvia::pim {

void OtherItem::beforeSave()
{
    throwError(ErrItemRefused, QStringLiteral("this program does not write items of the kind ") + m_typeName);
}

} // namespace orvia::pim
