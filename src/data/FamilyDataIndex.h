#pragma once
// Which data the families of one algorithm run hold, gathered from a family on its first look-up and kept
// up to date by the caller's notes, so a presence test costs no scan of the family. Valid only while the
// families' records change through `note` alone.
#include "data/DBPhonebook.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace orvia {

class IMessageLoop;

class FamilyDataIndex
{
public:
    // A record of kind `typ` with exactly this data.
    bool holdsDatum(const DBPhonebook &family, ContactKind typ, const QString &data);
    // A record of any kind with exactly this data.
    bool holdsData(const DBPhonebook &family, const QString &data);
    void note(const DBPhonebook &family, ContactKind typ, const QString &data);

    struct Key
    {
        const DBPhonebook *family;
        int typ; // kAnyKind for the any-kind entry of a text
        QString data;
        bool operator==(const Key &o) const = default;
    };

private:
    static constexpr int kAnyKind = -1;
    void gather(const DBPhonebook &family);
    void insert(const DBPhonebook &family, int typ, const QString &data);

    QSet<const DBPhonebook *> m_gathered;
    QSet<Key> m_keys; // one set for all families: far fewer allocations than a set per family
};

size_t qHash(const FamilyDataIndex::Key &k, size_t seed = 0) noexcept;

// Lets window, timer and serial events through once, when there is a message loop to yield to.
void yieldTo(IMessageLoop *loop);

} // namespace orvia
