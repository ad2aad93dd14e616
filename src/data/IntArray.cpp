#include "data/IntArray.h"

#include "common/Windows1252.h"
#include "data/ListLimits.h"

namespace orvia {

void IntArray::log() const
{
    for (qint16 i = 0; i < count(); ++i)
        GetItem(i);
}

void IntArray::add(qint16 i)
{
    checkListRoom(m_items.size(), 1);
    m_items.append(i);
}

void IntArray::AddArray(const QList<qint16> &values)
{
    for (qint16 v : values)
        add(v);
}

QString IntArray::tostr() const
{
    QString out;
    out.reserve(m_items.size());
    for (qint16 code : m_items) {
        if (code < 0 || code > 255)
            throwError(ErrInvalidArgument);
        out += windows1252ToChar(quint8(code));
    }
    return out;
}

qint16 IntArray::pop()
{
    if (m_items.isEmpty())
        throwError(ErrSubscript);
    return m_items.takeLast();
}

qint16 IntArray::GetItem(qint16 Index) const
{
    checkListIndex(Index, m_items.size());
    return m_items.at(Index);
}

} // namespace orvia
