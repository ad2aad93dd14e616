#include "data/FamilyDataIndex.h"

#include "platform/Timer.h"

namespace orvia {

FamilyDataIndex::Held &FamilyDataIndex::held(const DBPhonebook &family)
{
    auto it = m_held.find(&family);
    if (it != m_held.end())
        return *it;
    Held h;
    const qint16 n = family.count();
    for (qint16 i = 0; i < n; ++i) {
        const auto r = family.GetItem(i);
        h.datums.insert({r->typ, r->data});
        h.texts.insert(r->data);
    }
    return *m_held.insert(&family, std::move(h));
}

bool FamilyDataIndex::holdsDatum(const DBPhonebook &family, qint16 typ, const QString &data)
{
    return held(family).datums.contains({typ, data});
}

bool FamilyDataIndex::holdsData(const DBPhonebook &family, const QString &data)
{
    return held(family).texts.contains(data);
}

void FamilyDataIndex::note(const DBPhonebook &family, qint16 typ, const QString &data)
{
    Held &h = held(family);
    h.datums.insert({typ, data});
    h.texts.insert(data);
}

void yieldTo(IMessageLoop *loop)
{
    if (loop)
        loop->yieldOnce();
}

} // namespace orvia
