#include "data/StringArray.h"

#include "data/ListLimits.h"

namespace orvia {

void StringArray::add(const QString &s)
{
    checkListRoom(m_items.size(), 1);
    m_items.append(s);
}

QString StringArray::GetItem(qint16 Index) const
{
    checkListIndex(Index, m_items.size());
    return m_items.at(Index);
}

bool StringArray::Contains(QString &s) const
{
    s = s.toLower();
    for (const QString &item : m_items) {
        if (item.toLower() == s)
            return true;
    }
    return false;
}

} // namespace orvia
