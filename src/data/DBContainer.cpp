#include "data/DBContainer.h"

#include "common/Globals.h"
#include "data/FamilyDataIndex.h"
#include "data/ListLimits.h"

namespace orvia {

namespace {

QString familyKey(const QString &name)
{
    return name.left(DBContainer::kFamilyKeyLength);
}

// AddByName on a store that only this run fills, with the name look-up kept in a table instead of a
// scan of the store: same records, same ids.
class NameRecordIndex
{
public:
    explicit NameRecordIndex(DBPhonebook &out) : m_out(out) {}

    void addByName(const QString &name, const QString &data, qint16 typ, qint16 operation)
    {
        constexpr qsizetype kNameCompareLength = 100;
        qint16 id = m_ids.value(name.left(kNameCompareLength), 0);
        if (id == 0) {
            if (m_lastId == std::numeric_limits<qint16>::max())
                throwError(ErrOverflow);
            id = ++m_lastId;
            m_out.add(id, 0, QString(), name, 0, operation);
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
    m_byKey.clear();
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
    auto family = familyFor(name);
    m_indexStale = true;
    return family;
}

std::shared_ptr<DBPhonebook> DBContainer::familyFor(const QString &name)
{
    if (m_indexStale)
        rebuildIndex();
    const auto it = m_byKey.constFind(familyKey(name));
    if (it != m_byKey.constEnd())
        return m_families.at(*it);
    auto family = std::make_shared<DBPhonebook>();
    family->name = name;
    append(family);
    return family;
}

void DBContainer::append(std::shared_ptr<DBPhonebook> family)
{
    checkListRoom(m_families.size(), 1);
    m_byKey.insert(familyKey(family->name), m_families.size());
    m_families.append(std::move(family));
}

void DBContainer::rebuildIndex() const
{
    m_byKey.clear();
    for (qsizetype i = 0; i < m_families.size(); ++i)
        m_byKey.insert(familyKey(m_families.at(i)->name), i); // later families replace earlier ones
    m_indexStale = false;
}

std::shared_ptr<DBContainer> DBContainer::MergeContacts(const DBContainer &dbc2, IMessageLoop *loop) const
{
    auto result = Clone();
    FamilyDataIndex held;
    // Walk a snapshot: dbc2 may be this very container.
    const QList<std::shared_ptr<DBPhonebook>> families = dbc2.m_families;
    for (const auto &f2 : families) {
        yieldTo(loop);
        const auto fm = result->familyFor(f2->name);
        const qint16 n = f2->count();
        for (qint16 i = 0; i < n; ++i) {
            auto r = f2->GetItem(i);
            if (r->typ == 0 || held.holdsDatum(*fm, r->typ, r->data))
                continue;
            fm->AddItem(r);
            held.note(*fm, r->typ, r->data);
        }
    }
    return result;
}

std::shared_ptr<DBPhonebook> DBContainer::DiffContacts(const DBContainer &dbcdiff, IMessageLoop *loop) const
{
    // A copy, so that the families created for contacts it lacks leave dbcdiff as it is.
    const auto other = dbcdiff.Clone();
    auto out = std::make_shared<DBPhonebook>();
    NameRecordIndex names(*out);
    FamilyDataIndex held;
    for (const auto &f : m_families) {
        yieldTo(loop);
        const auto fo = other->familyFor(f->name);
        const qint16 n = f->count();
        for (qint16 i = 0; i < n; ++i) {
            yieldTo(loop);
            const auto r = f->GetItem(i);
            if (r->typ != 0 && !held.holdsDatum(*fo, r->typ, r->data))
                names.addByName(f->name, r->data, r->typ, 1);
        }
    }
    return out;
}

} // namespace orvia
