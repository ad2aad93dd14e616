#pragma once
// Builders for family tests, and the plain-scan forms of grouping, merge and diff that the indexed
// versions must agree with.
#include "common/NameSuffix.h"
#include "data/DBContainer.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "platform/Timer.h"

#include <algorithm>
#include <memory>

namespace orvia::test {

inline std::shared_ptr<DBPhonebook> family(const QString &name,
                                           std::initializer_list<std::pair<qint16, QString>> data = {})
{
    auto f = std::make_shared<DBPhonebook>();
    f->name = name;
    qint16 id = 1;
    for (const auto &[typ, text] : data)
        f->add(id, 0, QString(), text, ContactKind(typ), Operation::None);
    return f;
}

inline ModFeatures features(bool extended)
{
    ModFeatures mf;
    mf.ExtPB = extended;
    return mf;
}

class CountingLoop : public IMessageLoop
{
public:
    void yieldOnce() override { ++yields; }
    void pause(int) override {}
    int yields = 0;
};

// The last family named exactly `name`, by a scan; null when none.
inline std::shared_ptr<DBPhonebook> scanExact(const DBContainer &c, const QString &name)
{
    std::shared_ptr<DBPhonebook> found;
    for (qint16 i = 0; i < c.count(); ++i) {
        if (c.GetItem(i)->name == name)
            found = c.GetItem(i);
    }
    return found;
}

// The one name of `c` (at least 12 characters of `cut` long) that `cut` is the beginning of; empty when
// there is none or more than one.
inline QString scanOnlyNameCutTo(const DBContainer &c, const QString &cut)
{
    QString found;
    if (cut.size() < 12)
        return found;
    for (qint16 i = 0; i < c.count(); ++i) {
        const QString n = c.GetItem(i)->name;
        if (n.size() <= cut.size() || !n.startsWith(cut) || n == found)
            continue;
        if (!found.isEmpty())
            return QString();
        found = n;
    }
    return found;
}

inline std::shared_ptr<DBPhonebook> addFamily(DBContainer &c, const QString &name)
{
    auto f = std::make_shared<DBPhonebook>();
    f->name = name;
    c.AddItem(f);
    return f;
}

// Grouping's look-up: the exact name only.
inline std::shared_ptr<DBPhonebook> scanFamily(DBContainer &c, const QString &name)
{
    auto found = scanExact(c, name);
    return found ? found : addFamily(c, name);
}

inline bool scanHoldsData(const DBPhonebook &f, const QString &data)
{
    for (qint16 i = 0; i < f.count(); ++i) {
        if (f.GetItem(i)->data == data)
            return true;
    }
    return false;
}

inline std::shared_ptr<DBContainer> scanGroup(const DBPhonebook &store, const ModFeatures &mf)
{
    auto c = std::make_shared<DBContainer>();
    for (qint16 i = 0; i < store.count(); ++i) {
        const auto r = store.GetItem(i);
        if (r->typ == ContactKind::Name) {
            scanFamily(*c, mf.ExtPB ? r->data : StripSuffix(r->data));
            continue;
        }
        const QString n = store.GetNameById(r->id);
        auto f = scanFamily(*c, mf.ExtPB ? n : StripSuffix(n));
        if (scanHoldsData(*f, r->data))
            continue;
        qint16 id = r->id;
        f->add(id, 0, QString(), r->data, mf.ExtPB ? r->typ : ContactKind(SuffixType(n)),
               mf.ExtPB ? Operation::None : r->operation);
    }
    return c;
}

inline std::shared_ptr<DBContainer> scanMerge(const DBContainer &a, const DBContainer &b)
{
    auto result = a.Clone();
    for (qint16 k = 0; k < b.count(); ++k) {
        const auto f2 = b.GetItem(k);
        auto fm = scanExact(*result, f2->name);
        if (!fm) {
            const QString full = scanOnlyNameCutTo(a, f2->name);
            fm = full.isEmpty() ? addFamily(*result, f2->name) : scanExact(*result, full);
        }
        for (qint16 i = 0; i < f2->count(); ++i) {
            auto r = f2->GetItem(i);
            if (r->typ != ContactKind::Name && !fm->GetItemByDataType(r->data, r->typ, 100))
                fm->AddItem(r);
        }
    }
    return result;
}

inline std::shared_ptr<DBPhonebook> scanDiff(const DBContainer &a, const DBContainer &b)
{
    auto other = b.Clone();
    auto out = std::make_shared<DBPhonebook>();
    for (qint16 k = 0; k < a.count(); ++k) {
        const auto f = a.GetItem(k);
        QList<std::shared_ptr<DBPhonebook>> theirs;
        for (qint16 j = 0; j < other->count(); ++j) {
            const auto fo = other->GetItem(j);
            if (fo == scanExact(*other, fo->name) && // the last of a name stands for it
                (fo->name == f->name ||
                 (f->name.startsWith(fo->name) && fo->name.size() >= 12 && !scanExact(a, fo->name) &&
                  scanOnlyNameCutTo(a, fo->name) == f->name)))
                theirs.append(fo);
        }
        for (qint16 i = 0; i < f->count(); ++i) {
            const auto r = f->GetItem(i);
            const bool held = std::any_of(theirs.cbegin(), theirs.cend(), [&](const auto &fo) {
                return fo->GetItemByDataType(r->data, r->typ, 100) != nullptr;
            });
            if (r->typ != ContactKind::Name && !held)
                out->AddByName(f->name, 0, QString(), r->data, r->typ, Operation::Add);
        }
    }
    return out;
}

} // namespace orvia::test
