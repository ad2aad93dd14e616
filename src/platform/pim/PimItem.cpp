#include "platform/pim/PimItem.h"
#include "platform/RuntimeError.h"
#include "platform/pim/FolderStore.h"

#include <QUuid>

namespace orvia::pim {

void PimItem::Save()
{
    if (!saveUnlessChanged())
        throwError(ErrPathAccess,
                   m_fileName + QStringLiteral(" was changed by another program while it was being written"));
}

bool PimItem::saveUnlessChanged()
{
    std::shared_ptr<FolderStore> store = m_store.lock();
    if (!store)
        throwError(ErrObjectNotSet, QStringLiteral("the item's folder is no longer open"));
    return store->save(*this);
}

QString fileNameForUid(const QString &uid, const QString &extension)
{
    QString name;
    name.reserve(uid.size() + extension.size());
    for (QChar c : uid) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                        u == '_' || u == '.' || u == '+' || u == '-';
        name += ok ? c : QLatin1Char('_');
    }
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1); // a leading dot would hide the item
    if (name.isEmpty())
        name = newUid();
    return name + extension;
}

QString newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace orvia::pim
