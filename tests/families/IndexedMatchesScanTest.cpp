// The grouping, merge and diff keep look-up tables instead of scanning; on random phonebooks full of
// near-collisions they must give exactly what the plain scans give: the same families in the same
// order, the same records with the same ids, and the same records shared between containers.
#include "FamilyHelpers.h"
#include "common/Globals.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

class Random
{
public:
    explicit Random(quint32 seed) : m_gen(seed) {}
    int below(int n) { return int(m_gen.bounded(quint32(n))); }
    template <typename T> T pick(std::initializer_list<T> list)
    {
        return *(list.begin() + below(int(list.size())));
    }

    // Names that often agree in their first 12 or 100 characters, carry suffixes or blanks.
    QString name()
    {
        QString n =
            pick({QStringLiteral("Anna"), QStringLiteral("Internationa"), QStringLiteral("Internationaler"),
                  QStringLiteral("Bob"), QStringLiteral(""), QString(100, u'x'), QStringLiteral("Jürgen")});
        if (below(3) == 0)
            n += QString::number(below(3));
        if (below(3) == 0)
            n += pick({QStringLiteral("#H"), QStringLiteral("#W"), QStringLiteral("#X"), QStringLiteral("#h"),
                       QStringLiteral("#xW")});
        if (below(8) == 0)
            n = QStringLiteral(" ") + n + QStringLiteral(" ");
        return n;
    }
    QString datum()
    {
        QString d = QString::number(below(12));
        if (below(6) == 0)
            d = QStringLiteral(" ") + d;
        return d;
    }

    std::shared_ptr<DBPhonebook> phonebook(int n)
    {
        auto store = std::make_shared<DBPhonebook>();
        for (int i = 0; i < n; ++i) {
            switch (below(6)) {
            case 0: { // a stray record: any id, kind, operation, untrimmed data
                auto r = std::make_shared<DBPhonebookItem>();
                r->id = qint16(below(8));
                r->typ = ContactKind(below(5));
                r->data = r->typ == ContactKind::Name ? name() : datum();
                r->operation = Operation(below(2));
                store->AddItem(r);
                break;
            }
            default:
                store->AddByName(name(), qint16(below(5)), QStringLiteral("ME"), datum(),
                                 ContactKind(1 + below(4)), Operation(below(2)));
            }
        }
        return store;
    }

    // A container assembled by hand: duplicate keys, untrimmed data, records of kind 0.
    std::shared_ptr<DBContainer> container(int families)
    {
        auto c = std::make_shared<DBContainer>();
        for (int i = 0; i < families; ++i) {
            auto f = std::make_shared<DBPhonebook>();
            f->name = name();
            const int n = below(4);
            for (int k = 0; k < n; ++k) {
                auto r = std::make_shared<DBPhonebookItem>();
                r->id = qint16(1 + below(5));
                r->typ = ContactKind(below(5));
                r->data = datum();
                f->AddItem(r);
            }
            c->AddItem(f);
        }
        return c;
    }

private:
    QRandomGenerator m_gen;
};

// Every family pair holds the very same record objects.
void expectSameSharing(const DBContainer &a, const DBContainer &b, const DBContainer &source)
{
    QSet<const DBPhonebookItem *> shared;
    for (qint16 k = 0; k < source.count(); ++k) {
        const auto f = source.GetItem(k);
        for (qint16 i = 0; i < f->count(); ++i)
            shared.insert(f->GetItem(i).get());
    }
    ASSERT_EQ(a.count(), b.count());
    for (qint16 k = 0; k < a.count(); ++k) {
        const auto fa = a.GetItem(k);
        const auto fb = b.GetItem(k);
        ASSERT_EQ(fa->count(), fb->count());
        for (qint16 i = 0; i < fa->count(); ++i) {
            EXPECT_EQ(fa->GetItem(i).get() == fb->GetItem(i).get(),
                      true && shared.contains(fb->GetItem(i).get()))
                << "family " << k << " record " << i;
        }
    }
}

TEST(IndexedMatchesScan, GroupMergeAndDiffOnRandomPhonebooks)
{
    resetGlobals();
    for (quint32 seed = 1; seed <= 150; ++seed) {
        SCOPED_TRACE(seed);
        Random rnd(seed);
        const auto side1 = rnd.phonebook(rnd.below(40));
        const auto side2 = rnd.phonebook(rnd.below(40));
        const ModFeatures fea1 = features(seed % 2 == 0);
        const ModFeatures fea2 = features(seed % 3 != 0);

        const auto fam1 = side1->GroupFamilies(fea1);
        const auto fam2 = side2->GroupFamilies(fea2);
        ASSERT_EQ(fam1->GetDataText(), scanGroup(*side1, fea1)->GetDataText());
        ASSERT_EQ(fam2->GetDataText(), scanGroup(*side2, fea2)->GetDataText());

        const auto merged = fam1->MergeContacts(*fam2);
        const auto merged2 = scanMerge(*fam1, *fam2);
        ASSERT_EQ(merged->GetDataText(), merged2->GetDataText());
        expectSameSharing(*merged, *merged2, *fam2);

        ASSERT_EQ(merged->DiffContacts(*fam1)->GetDataText(), scanDiff(*merged, *fam1)->GetDataText());
        ASSERT_EQ(merged->DiffContacts(*fam2)->GetDataText(), scanDiff(*merged, *fam2)->GetDataText());

        // Hand-made containers hold what grouping never makes: duplicate keys, kind 0, outer blanks.
        const auto a = rnd.container(rnd.below(12));
        const auto b = rnd.container(rnd.below(12));
        const auto m = a->MergeContacts(*b);
        const auto m2 = scanMerge(*a, *b);
        ASSERT_EQ(m->GetDataText(), m2->GetDataText());
        expectSameSharing(*m, *m2, *b);
        ASSERT_EQ(a->DiffContacts(*b)->GetDataText(), scanDiff(*a, *b)->GetDataText());
        ASSERT_EQ(b->DiffContacts(*a)->GetDataText(), scanDiff(*b, *a)->GetDataText());
        ASSERT_EQ(m->DiffContacts(*merged)->GetDataText(), scanDiff(*m, *merged)->GetDataText());
    }
}

} // namespace
