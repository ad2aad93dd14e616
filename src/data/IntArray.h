#pragma once
// A growable 0-based list of 16-bit integers (COM-port numbers, folder types, code tables).
#include <QList>
#include <QString>

namespace orvia {

class IntArray
{
public:
    QList<qint16> data() const { return m_items; }
    qint16 count() const { return qint16(m_items.size()); }
    // Walks every element and produces nothing.
    void log() const;
    // Throws the overflow error when the list already holds 32767 elements.
    void add(qint16 i);
    // The characters whose Windows-1252 codes are the elements; an element outside 0..255 is the
    // invalid-argument error.
    QString tostr() const;
    void Clear() { m_items.clear(); }
    // The last element, removed; subscript error on an empty list.
    qint16 pop();
    bool isEmpty() const { return count() == 0; }
    // Subscript error outside 0..count-1.
    qint16 GetItem(qint16 Index) const;

private:
    void AddArray(const QList<qint16> &values);

    QList<qint16> m_items;
};

} // namespace orvia
