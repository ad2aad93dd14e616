#pragma once
// A growable 0-based list of strings (folder ids and names, update files, translations of a word).
#include <QString>
#include <QStringList>

namespace orvia {

class StringArray
{
public:
    qint16 count() const { return qint16(m_items.size()); }
    // Throws the overflow error when the list already holds 32767 strings.
    void add(const QString &s);
    void Clear() { m_items.clear(); }
    // Subscript error outside 0..count-1.
    QString GetItem(qint16 Index) const;
    // Case-blind membership; `s` is left in lower case for the caller.
    bool Contains(QString &s) const;

private:
    QStringList m_items;
};

} // namespace orvia
