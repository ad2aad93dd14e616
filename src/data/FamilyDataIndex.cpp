#include "data/FamilyDataIndex.h"

#include "platform/Timer.h"

namespace orvia {

size_t qHash(const FamilyDataIndex::Key &k, size_t seed) noexcept
{
    return qHashMulti(seed, k.family, k.typ, k.data);
}

void FamilyDataIndex::insert(const DBPhonebook &family, int typ, const QString &data)
{
    m_keys.insert({&family, typ, data});
    m_keys.insert({&family, kAnyKind, data});
}

void FamilyDataIndex::gather(const DBPhonebook &family)
{
    if (m_gathered.contains(&family))
        return;
    m_gathered.insert(&family);
    const qint16 n = family.count();
    for (qint16 i = 0; i < n; ++i) {
        const auto r = family.GetItem(i);
        insert(family, int(r->typ), r->data);
    }
}

bool FamilyDataIndex::holdsDatum(const DBPhonebook &family, ContactKind typ, const QString &data)
{
    gather(family);
    return m_keys.contains({&family, int(typ), data});
}

bool FamilyDataIndex::holdsData(const DBPhonebook &family, const QString &data)
{
    gather(family);
    return m_keys.contains({&family, kAnyKind, data});
}

void FamilyDataIndex::note(const DBPhonebook &family, ContactKind typ, const QString &data)
{
    gather(family);
    insert(family, int(typ), data);
}

void yieldTo(IMessageLoop *loop)
{
    if (loop)
        loop->yieldIfDue();
}

} // namespace orvia
