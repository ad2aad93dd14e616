// Grouping a flat phonebook into families, one per contact name. A simple phonebook (one number per
// entry) carries a number's kind in its entry name ("Anna#H"); an extended one in the record itself.
#include "common/NameSuffix.h"
#include "data/DBContainer.h"
#include "data/DBPhonebook.h"
#include "data/FamilyDataIndex.h"
#include "data/ModFeatures.h"

namespace orvia {

namespace {

// GetNameById for every id at once: the data of the last name record of each id.
QHash<qint16, QString> namesById(const DBPhonebook &store)
{
    QHash<qint16, QString> names;
    const qint16 n = store.count();
    for (qint16 i = 0; i < n; ++i) {
        const auto r = store.GetItem(i);
        if (r->typ == ContactKind::Name)
            names.insert(r->id, r->data);
    }
    return names;
}

} // namespace

std::shared_ptr<DBContainer> DBPhonebook::GroupFamilies(const ModFeatures &mf, IMessageLoop *loop) const
{
    auto container = std::make_shared<DBContainer>();
    const bool extended = mf.ExtPB;
    const QHash<qint16, QString> names = namesById(*this);
    FamilyDataIndex held;
    // Walk a snapshot, so that what other code does while we yield cannot upset the walk.
    const QList<std::shared_ptr<DBPhonebookItem>> items = m_items;
    for (const auto &r : items) {
        yieldTo(loop);
        if (r->typ == ContactKind::Name) {
            if (extended) {
                container->familyFor(r->data);
            } else {
                container->familyFor(StripSuffix(r->data));
            }
            continue;
        }
        const QString owner = names.value(r->id);
        const auto family = container->familyFor(extended ? owner : StripSuffix(owner));
        if (held.holdsData(*family, r->data))
            continue;
        qint16 id = r->id;
        // A simple phonebook's number takes the kind named by its own entry's name. (The name record met
        // last in store order is not always its own: a further number of a known entry is appended at the
        // end of the store, behind other contacts.)
        const ContactKind typ = extended ? r->typ : ContactKind(SuffixType(owner));
        const Operation operation = extended ? Operation::None : r->operation;
        family->add(id, 0, QString(), r->data, typ, operation);
        held.note(*family, typ, family->GetItem(qint16(family->count() - 1))->data);
    }
    return container;
}

} // namespace orvia
