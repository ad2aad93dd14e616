#include "data/DBContainer.h"

#include "common/Globals.h"
#include "data/FamilyDataIndex.h"
#include "data/ListLimits.h"

#include <algorithm>

namespace orvia {

// The distinct family names of a container, sorted, so that the names beginning with a cut lie together.
class DBContainer::SortedNames
{
public:
    explicit SortedNames(const QList<std::shared_ptr<DBPhonebook>> &families)
    {
        m_names.reserve(families.size());
        for (const auto &f : families)
            m_names.append(f->name);
        std::sort(m_names.begin(), m_names.end());
        m_names.erase(std::unique(m_names.begin(), m_names.end()), m_names.end());
    }

    bool contains(const QString &name) const
    {
        return std::binary_search(m_names.cbegin(), m_names.cend(), name);
    }

    // The one longer name that `cut` (of at least 12 characters) is the beginning of; empty when there is
    // none or more than one: a cut shared by two people belongs to neither.
    QString onlyNameCutTo(const QString &cut) const
    {
        if (cut.size() < DBContainer::kFamilyKeyLength)
            return QString();
        QString found;
        for (auto it = std::upper_bound(m_names.cbegin(), m_names.cend(), cut);
             it != m_names.cend() && it->startsWith(cut); ++it) {
            if (!found.isEmpty())
                return QString();
            found = *it;
        }
        return found;
    }

private:
    QStringList m_names;
};

namespace {

// AddByName on a store that only this run fills, with the name look-up kept in a table instead of a
// scan of the store: same records, same ids.
class NameRecordIndex
{
public:
    explicit NameRecordIndex(DBPhonebook &out) : m_out(out) {}

    void addByName(const QString &name, const QString &data, ContactKind typ, Operation operation)
    {
        constexpr qsizetype kNameCompareLength = DBPhonebook::kNameCompareLength;
        qint16 id = m_ids.value(name.left(kNameCompareLength), 0);
        if (id == 0) {
            if (m_lastId == std::numeric_limits<qint16>::max())
                throwError(ErrOverflow);
            id = ++m_lastId;
            m_out.add(id, 0, QString(), name, ContactKind::Name, operation);
            // The record holds the name trimmed of blanks, and later look-ups compare with that.
            m_ids.insert(m_out.GetItem(qint16(m_out.count() - 1))->data.left(kNameCompareLength), id);
        }
        m_out.add(id, 0, QString(), data, typ, operation);
    }

private:
    DBPhonebook &m_out;
    QHash<QString, qint16> m_ids; // first 100 characters of a name record -> its id (the last one wins)
    qint16 m_lastId = 0;
};

} // namespace

void DBContainer::AddItem(std::shared_ptr<DBPhonebook> item)
{
    if (!item)
        throwError(ErrObjectNotSet);
    append(std::move(item));
    m_indexStale = true; // the caller keeps a reference and may rename the family
}

std::shared_ptr<DBPhonebook> DBContainer::GetItem(qint16 Index) const
{
    if (Index < 0 || m_families.isEmpty())
        throwError(ErrSubscript);
    if (Index >= m_families.size()) {
        globals().gLog.log(QStringLiteral("dbcontainer array seek ot of range"), true);
        return nullptr;
    }
    m_indexStale = true;
    return m_families.at(Index);
}

void DBContainer::Load(const QString &) {}

void DBContainer::Save(const QString &) {}

void DBContainer::log() const
{
    try {
        (void)GetDataText();
    } catch (...) {
    }
}

QString DBContainer::GetDataText() const
{
    QString text =
        QStringLiteral("\r\n") + name + u' ' + QString::number(count()) + QStringLiteral(" items \r\n");
    for (const auto &family : m_families)
        text += family->GetDataText();
    return text;
}

void DBContainer::Clear()
{
    m_families.clear();
    m_byName.clear();
    m_indexStale = false;
}

std::shared_ptr<DBContainer> DBContainer::Clone() const
{
    auto copy = std::make_shared<DBContainer>();
    for (const auto &family : m_families) {
        auto c = family->Clone();
        c->name = family->name;
        copy->append(std::move(c));
    }
    return copy;
}

std::shared_ptr<DBPhonebook> DBContainer::GetFamily(const QString &name)
{
    auto family = findExact(name);
    if (!family)
        family = familyOrFullName(name, SortedNames(m_families));
    m_indexStale = true;
    return family;
}

std::shared_ptr<DBPhonebook> DBContainer::familyOrFullName(const QString &name, const SortedNames &names)
{
    if (auto family = findExact(name))
        return family;
    const QString full = names.onlyNameCutTo(name);
    return full.isEmpty() ? familyFor(name) : findExact(full);
}

std::shared_ptr<DBPhonebook> DBContainer::findExact(const QString &name)
{
    if (m_indexStale)
        rebuildIndex();
    const auto it = m_byName.constFind(name);
    return it != m_byName.constEnd() ? m_families.at(*it) : nullptr;
}

std::shared_ptr<DBPhonebook> DBContainer::familyFor(const QString &name)
{
    if (auto family = findExact(name))
        return family;
    auto family = std::make_shared<DBPhonebook>();
    family->name = name;
    append(family);
    return family;
}

void DBContainer::append(std::shared_ptr<DBPhonebook> family)
{
    checkListRoom(m_families.size(), 1);
    m_byName.insert(family->name, m_families.size());
    m_families.append(std::move(family));
}

void DBContainer::rebuildIndex() const
{
    m_byName.clear();
    for (qsizetype i = 0; i < m_families.size(); ++i)
        m_byName.insert(m_families.at(i)->name, i); // later families replace earlier ones
    m_indexStale = false;
}

std::shared_ptr<DBContainer> DBContainer::MergeContacts(const DBContainer &dbc2, IMessageLoop *loop) const
{
    auto result = Clone();
    // Cuts are looked up among this container's own names, not among the families the merge adds.
    const SortedNames ours(m_families);
    FamilyDataIndex held;
    // Walk a snapshot: dbc2 may be this very container.
    const QList<std::shared_ptr<DBPhonebook>> families = dbc2.m_families;
    for (const auto &f2 : families) {
        yieldTo(loop);
        const auto fm = result->familyOrFullName(f2->name, ours);
        const qint16 n = f2->count();
        for (qint16 i = 0; i < n; ++i) {
            auto r = f2->GetItem(i);
            if (r->typ == ContactKind::Name || held.holdsDatum(*fm, r->typ, r->data))
                continue;
            fm->AddItem(r);
            held.note(*fm, r->typ, r->data);
        }
    }
    return result;
}

std::shared_ptr<DBPhonebook> DBContainer::DiffContacts(const DBContainer &dbcdiff, IMessageLoop *loop) const
{
    // Compared with copies, whose data are trimmed as the records of a grouping are.
    const auto other = dbcdiff.Clone();
    const SortedNames ours(m_families);
    // The lengths of the other side's names that may be cuts of a name here.
    QList<qsizetype> cutLengths;
    for (const auto &f : other->m_families) {
        if (f->name.size() >= kFamilyKeyLength && !ours.contains(f->name) &&
            !cutLengths.contains(f->name.size()))
            cutLengths.append(f->name.size());
    }
    auto out = std::make_shared<DBPhonebook>();
    NameRecordIndex names(*out);
    FamilyDataIndex held;
    QList<const DBPhonebook *> theirs;
    for (const auto &f : m_families) {
        yieldTo(loop);
        // The other side's family of this very name, and those named with a cut of it and of no other
        // name here (a phone keeps one contact under names cut to different lengths).
        theirs.clear();
        if (const auto same = other->findExact(f->name))
            theirs.append(same.get());
        for (const qsizetype len : cutLengths) {
            if (len >= f->name.size())
                continue;
            const QString cut = f->name.left(len);
            if (ours.contains(cut) || ours.onlyNameCutTo(cut) != f->name)
                continue;
            if (const auto cutFamily = other->findExact(cut))
                theirs.append(cutFamily.get());
        }
        const qint16 n = f->count();
        for (qint16 i = 0; i < n; ++i) {
            yieldTo(loop);
            const auto r = f->GetItem(i);
            if (r->typ == ContactKind::Name)
                continue;
            const bool present = std::any_of(theirs.cbegin(), theirs.cend(), [&](const DBPhonebook *fo) {
                return held.holdsDatum(*fo, r->typ, r->data);
            });
            if (!present)
                names.addByName(f->name, r->data, r->typ, Operation::Add);
        }
    }
    return out;
}

} // namespace orvia
