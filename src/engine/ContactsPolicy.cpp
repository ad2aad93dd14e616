// The contacts half of the policy: what a side lacks, checked against the side's limits and placed in
// its memories (handset first, then the SIM card on phones that keep one number per entry).
#include "common/DialString.h"
#include "common/Globals.h"
#include "common/GsmCharset.h"
#include "common/Windows1252.h"
#include "data/DBContainer.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/RunOwner.h"
#include "engine/ContactIndexes.h"
#include "engine/MrPolicy.h"
#include "engine/PolicyText.h"

#include <QSet>

namespace orvia {

namespace {

constexpr int kSimNameLen = 14;

// A line break cannot cross the command line; the phone would keep a blank and hand back another name.
bool nameCrossesTheLink(const QString &name)
{
    return !name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n'));
}

// An address comes back from the phone exactly as sent only without double quotes (the command line
// turns them into apostrophes), line breaks and characters outside the link's character set.
bool addressCrossesTheLink(const QString &address)
{
    return !address.contains(QLatin1Char('"')) && nameCrossesTheLink(address) && fitsWindows1252(address);
}

void cannotStoreNotice(const QString &name, const QString &data)
{
    ContactsNotice(name + u' ' + data + u' ' +
                   PolicyTr(QStringLiteral("contains characters the phone cannot store. Not stored.")));
}

// The first `n` characters, less the blanks a cut can leave at the end: a name reads back without
// them, and must still find the contact it was cut from. A limit of 0 or less means the side gave
// none, and cutting a name to nothing would lose it.
QString cutTo(const QString &s, int n)
{
    if (n <= 0)
        return s;
    QString cut = s.left(n);
    while (cut.size() < s.size() && cut.endsWith(u' '))
        cut.chop(1);
    return cut;
}

// A SIM entry name cut to 14 characters: with a kind suffix, its first 12 characters and the suffix,
// so that the name still matches the contact's and the kind reads back.
QString simEntryName(const QString &sim)
{
    const Globals &g = globals();
    const bool suffixed =
        sim.contains(g.gSuffixHash + g.gSuffixWork) || sim.contains(g.gSuffixHash + g.gSuffixHome);
    if (!suffixed)
        return sim.left(kSimNameLen);
    return sim.left(kSimNameLen - 2) + sim.mid(sim.indexOf(g.gSuffixHash), 2);
}

// Digits, "+" in the first place only, and the dial string's "*", "#" and pauses: a number is sent as
// it is or not at all. One notice per bad character.
bool checkNumber(const QString &number)
{
    bool ok = true;
    for (qsizetype k = 0; k < number.size(); ++k) {
        if (dialCharacterAt(number, k))
            continue;
        ok = false;
        ContactsNotice(number + u' ' + PolicyTr(QStringLiteral("is not a valid phone number. Not stored.")));
    }
    return ok;
}

// Data the side holds already, under whatever contact and in whatever field, are not written again;
// nor is a number whose copy an earlier version made in another form.
void holdBackHeldData(const DBPhonebook &side, const DBPhonebook *other, DBPhonebook &res)
{
    QSet<QString> sideData;
    for (qint16 i = 0; i < side.count(); ++i)
        sideData.insert(side.GetItem(i)->data);
    for (qint16 i = 0; i < res.count(); ++i) {
        const auto r = res.GetItem(i);
        if (r->typ == ContactKind::Name)
            continue;
        // A number the card keeps as a fax or pager is never written again either: counted as sent
        // on every run, it would never arrive.
        if (sideData.contains(r->data) || (isNumber(r->typ) && side.heldNumbers.contains(r->data)))
            r->operation = Operation::None;
        if (isNumber(r->typ) && other)
            for (const QString &earlier : other->earlierNumbers.value(r->data))
                if (sideData.contains(earlier))
                    r->operation = Operation::None;
    }
}

// A name the AT command line cannot carry (a line break) would reach the phone altered and come back
// as another contact: such a contact is not sent at all. (A double quote reaches the phone as an
// apostrophe; that contact's data are present on both sides afterwards, so nothing moves again.)
void holdBackUnsendableContacts(DBPhonebook &res)
{
    const qint16 n = res.count();
    QSet<qint16> unsendable;
    for (qint16 i = 0; i < n; ++i) {
        const auto r = res.GetItem(i);
        if (r->typ == ContactKind::Name && !nameCrossesTheLink(r->data))
            unsendable.insert(r->id);
    }
    for (qint16 i = 0; i < n && !unsendable.isEmpty(); ++i) {
        const auto r = res.GetItem(i);
        if (r->operation != Operation::Add || !unsendable.contains(r->id))
            continue;
        r->operation = Operation::None;
        if (r->typ != ContactKind::Name)
            cannotStoreNotice(res.GetNameById(r->id), r->data);
    }
}

// A one-number entry's name: the contact's name cut to leave room for the kind suffix, and the suffix.
QString suffixedEntry(ContactKind typ, const QString &name, int nameLen)
{
    const Globals &g = globals();
    QString suffix;
    if (typ == ContactKind::Home)
        suffix = g.gSuffixHash + g.gSuffixHome;
    else if (typ == ContactKind::Work)
        suffix = g.gSuffixHash + g.gSuffixWork;
    return (nameLen > 0 ? name.left(qMax(0, nameLen - int(suffix.size()))) : name) + suffix;
}

// The entry's name as the SIM card keeps it; empty when it cannot. The second family takes the name as
// it is, so only what the link can carry.
QString simNameOf(const QString &entry, bool simKeepsNames)
{
    if (!simKeepsNames)
        return ConvertGsmCharset(entry, true);
    return fitsWindows1252(entry) ? entry : QString();
}

} // namespace

void MrPolicy::DoContacts(const std::shared_ptr<DBPhonebook> &dbpin1,
                          const std::shared_ptr<DBPhonebook> &dbpin2, std::shared_ptr<DBPhonebook> &dbpout1,
                          std::shared_ptr<DBPhonebook> &dbpout2, const std::shared_ptr<ModFeatures> &fea1,
                          const std::shared_ptr<ModFeatures> &fea2)
{
    const DBPhonebook &in1 = orEmpty(dbpin1);
    const DBPhonebook &in2 = orEmpty(dbpin2);
    const ModFeatures &f1 = orEmpty(fea1);
    const ModFeatures &f2 = orEmpty(fea2);

    globals().gLog.StartCriticalSection(QStringLiteral("Mrp docontacts"));
    PolicyLog(in1.GetDataText());
    PolicyLog(in2.GetDataText());

    progress(0.1);
    const auto fam1 = in1.GroupFamilies(f1, m_loop);
    if (interrupted())
        return;
    progress(0.2);
    const auto fam2 = in2.GroupFamilies(f2, m_loop);
    if (interrupted())
        return;
    progress(0.3);
    fam1->name = QStringLiteral("dbcfam1");
    fam2->name = QStringLiteral("dbcfam2");
    PolicyLog(fam1->GetDataText());
    PolicyLog(fam2->GetDataText());

    const auto merged = fam1->MergeContacts(*fam2, m_loop);
    if (interrupted())
        return;
    merged->name = QStringLiteral("merged contacts");
    PolicyLog(merged->GetDataText());

    progress(0.6);
    const auto diff1 = merged->DiffContacts(*fam1, m_loop);
    if (interrupted())
        return;
    diff1->name = QStringLiteral("diffcontacts1");
    progress(0.7);
    const auto diff2 = merged->DiffContacts(*fam2, m_loop);
    if (interrupted())
        return;
    diff2->name = QStringLiteral("diffcontacts2");
    progress(0.8);
    PolicyLog(diff1->GetDataText());
    PolicyLog(diff2->GetDataText());

    dbpout1 = Fit2Feat(in1, *diff1, f1, &in2);
    if (interrupted())
        return;
    progress(0.9);
    dbpout2 = Fit2Feat(in2, *diff2, f2, &in1);
    if (interrupted())
        return;
    dbpout1->name = QStringLiteral("Fit2Feat1");
    dbpout2->name = QStringLiteral("Fit2Feat2");
    PolicyLog(dbpout1->GetDataText());
    PolicyLog(dbpout2->GetDataText());

    progress(1);
    if (m_owner)
        m_owner->MrCallback(1);
}

qint16 MrPolicy::FindFreeLocation(const DBPhonebook &store1, const DBPhonebook &store2, const QString &mem,
                                  const ModFeatures &fea) const
{
    const int capacity = mem == u"SM" ? fea.SM_capacity : fea.ME_capacity;
    const auto takes = [&mem](const DBPhonebook &store, int loc) {
        for (qint16 i = 0; i < store.count(); ++i) {
            const auto r = store.GetItem(i);
            if (r->memory == mem && r->location == loc)
                return true;
        }
        return false;
    };
    for (int loc = 1; loc <= capacity; ++loc) {
        if (!takes(store1, loc) && !takes(store2, loc))
            return qint16(loc);
    }
    return -1;
}

std::shared_ptr<DBPhonebook> MrPolicy::Fit2Feat(const DBPhonebook &side, const DBPhonebook &diff,
                                                const ModFeatures &fea, const DBPhonebook *other)
{
    auto res = diff.Clone();
    const qint16 n = res->count();
    holdBackHeldData(side, other, *res);
    const SideRules rules = sideRules(fea.name);
    if (rules.phone)
        holdBackUnsendableContacts(*res);

    for (qint16 i = 0; i < n; ++i) {
        yield();
        const auto r = res->GetItem(i);
        if (r->operation != Operation::Add)
            continue;
        if (r->typ == ContactKind::Email) {
            if (r->data.size() > fea.EmailLen) {
                r->operation = Operation::None;
                if (fea.EmailLen != 0) {
                    ContactsNotice(
                        PolicyTr(QStringLiteral("Email")) + u' ' + r->data +
                        PolicyTr(QStringLiteral("doesn\u00B4t fit the phone capacity, not stored.")));
                } else {
                    ContactsNotice(PolicyTr(QStringLiteral("Phone doesn't support emails:")) + u' ' +
                                   r->data + u' ' + PolicyTr(QStringLiteral("not stored.")));
                }
            } else if (rules.phone && !addressCrossesTheLink(r->data)) {
                // Stored altered, it would be copied back to the desktop and written again on every run.
                r->operation = Operation::None;
                cannotStoreNotice(res->GetNameById(r->id), r->data);
            }
        } else if (r->typ == ContactKind::Name) {
            r->data = cutTo(r->data, fea.NameLen);
        }
        if (isNumber(r->typ) && r->operation == Operation::Add && !checkNumber(r->data))
            r->operation = Operation::None;
    }

    switch (rules.placement) {
    case Placement::Handset: {
        auto out = std::make_shared<DBPhonebook>();
        placeOnHandset(side, *res, fea, *out);
        return out;
    }
    case Placement::Suffix: {
        auto out = std::make_shared<DBPhonebook>();
        placeWithSuffix(side, *res, fea, *out);
        return out;
    }
    case Placement::None:
        break;
    }
    return res;
}

void MrPolicy::placeOnHandset(const DBPhonebook &side, const DBPhonebook &res, const ModFeatures &fea,
                              DBPhonebook &out)
{
    const QString me = QStringLiteral("ME");
    const ContactNames names(res);
    const ContactsWithNumbers withNumbers(res, side);
    FreeLocations free(side);
    const qint16 n = res.count();
    for (qint16 i = 0; i < n; ++i) {
        yield();
        const auto r = res.GetItem(i);
        if (r->typ == ContactKind::Name || r->operation != Operation::Add)
            continue;
        const QString name = names.of(r->id);
        // An address alone would be an entry without a number: it is left out.
        const bool placeable =
            isNumber(r->typ) || (r->typ == ContactKind::Email && withNumbers.has(r->id, name));
        if (!placeable)
            continue;
        if (!fitsWindows1252(name)) {
            cannotStoreNotice(name, r->data);
            continue;
        }
        const qint16 loc = free.find(me, fea.ME_capacity);
        if (loc == -1) {
            ContactsNotice(PolicyTr(QStringLiteral("No more memory on the phone:")) + u' ' + name + r->data +
                           u' ' + PolicyTr(QStringLiteral("not stored.")));
            continue;
        }
        out.AddByName(name, loc, me, r->data, r->typ, Operation::Add);
        free.take(me, loc);
    }
}

void MrPolicy::placeWithSuffix(const DBPhonebook &side, const DBPhonebook &res, const ModFeatures &fea,
                               DBPhonebook &out)
{
    const QString me = QStringLiteral("ME"), sm = QStringLiteral("SM");
    const bool simKeepsNames = sideRules(fea.name).simKeepsNames;
    const ContactNames names(res);
    FreeLocations free(side);
    const auto findFree = [&](const QString &mem) {
        return free.find(mem, mem == sm ? fea.SM_capacity : fea.ME_capacity);
    };
    const auto notice = [](const QString &first, const QString &entry, const QString &number,
                           const QString &second) {
        ContactsNotice(PolicyTr(first) + u' ' + entry + u' ' + number + u' ' + PolicyTr(second));
    };

    const qint16 n = res.count();
    for (qint16 i = 0; i < n; ++i) {
        yield();
        const auto r = res.GetItem(i);
        if (r->typ == ContactKind::Name || r->operation != Operation::Add)
            continue;
        if (r->typ == ContactKind::Email)
            continue;
        const QString entry = suffixedEntry(r->typ, names.of(r->id), fea.NameLen);

        qint16 loc = findFree(me);
        if (loc != -1 && !fitsWindows1252(entry)) {
            cannotStoreNotice(entry, r->data);
            continue;
        }
        if (loc != -1) {
            out.AddByName(entry, loc, me, r->data, ContactKind::Mobile, Operation::Add);
            free.take(me, loc);
            continue;
        }

        QString sim = simNameOf(entry, simKeepsNames);
        if (sim.isEmpty()) {
            notice(QStringLiteral("Phone memory full, entry:"), entry, r->data,
                   QStringLiteral("NOT stored on the sim card because it contains non standard characters."));
            continue;
        }
        loc = findFree(sm);
        if (loc == -1) {
            notice(QStringLiteral("No more memory on the phone:"), entry, r->data,
                   QStringLiteral("not stored."));
            continue;
        }
        if (sim.size() > kSimNameLen)
            sim = simEntryName(sim);
        out.AddByName(sim, loc, sm, r->data, ContactKind::Mobile, Operation::Add);
        free.take(sm, loc);
        notice(QStringLiteral("Phone memory full, entry:"), entry, r->data,
               QStringLiteral("stored on the sim card."));
    }
}

} // namespace orvia
