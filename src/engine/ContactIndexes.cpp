#include "engine/ContactIndexes.h"

#include "data/DBContainer.h"
#include "data/DBPhonebook.h"
#include "data/DBPhonebookItem.h"

namespace orvia {

FreeLocations::FreeLocations(const DBPhonebook &side)
{
    for (qint16 i = 0; i < side.count(); ++i) {
        const auto r = side.GetItem(i);
        m_taken[r->memory].insert(r->location);
    }
}

qint16 FreeLocations::find(const QString &mem, int capacity)
{
    const QSet<qint16> &taken = m_taken[mem];
    int &loc = m_first[mem];
    loc = qMax(loc, 1);
    while (loc <= capacity && taken.contains(qint16(loc)))
        ++loc;
    return loc <= capacity ? qint16(loc) : qint16(-1);
}

ContactNames::ContactNames(const DBPhonebook &res)
{
    for (qint16 i = 0; i < res.count(); ++i) {
        const auto r = res.GetItem(i);
        if (r->typ == ContactKind::Name)
            m_names.insert(r->id, r->data);
    }
}

ContactsWithNumbers::ContactsWithNumbers(const DBPhonebook &res, const DBPhonebook &side)
{
    for (qint16 i = 0; i < res.count(); ++i) {
        const auto r = res.GetItem(i);
        if (isNumber(r->typ))
            m_resIds.insert(r->id);
    }
    for (qint16 i = 0; i < side.count(); ++i) {
        const auto r = side.GetItem(i);
        if (r->typ == ContactKind::Name)
            m_sideNames.insert(r->data.left(DBContainer::kFamilyKeyLength), {r->data, r->id});
        else if (isNumber(r->typ))
            m_sideIds.insert(r->id);
    }
}

bool ContactsWithNumbers::has(qint16 id, const QString &name) const
{
    if (m_resIds.contains(id))
        return true;
    const qsizetype whole = DBPhonebook::kNameCompareLength;
    for (auto it = m_sideNames.constFind(name.left(DBContainer::kFamilyKeyLength));
         it != m_sideNames.constEnd() && it.key() == name.left(DBContainer::kFamilyKeyLength); ++it) {
        const auto &[sideName, sideId] = it.value();
        const bool same = sideName.left(whole) == name.left(whole) ||
                          (sideName.size() >= DBContainer::kFamilyKeyLength && name.startsWith(sideName));
        if (same && m_sideIds.contains(sideId))
            return true;
    }
    return false;
}

} // namespace orvia
