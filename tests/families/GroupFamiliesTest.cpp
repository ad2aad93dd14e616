#include "FamilyHelpers.h"
#include "common/Globals.h"

#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

class GroupFamiliesTest : public ::testing::Test
{
protected:
    void SetUp() override { resetGlobals(); }

    // The family's records as "data/typ/operation" texts.
    static QStringList records(const DBPhonebook &f)
    {
        QStringList out;
        for (qint16 i = 0; i < f.count(); ++i) {
            const auto r = f.GetItem(i);
            out << QStringLiteral("%1/%2/%3").arg(r->data).arg(qint16(r->typ)).arg(qint16(r->operation));
        }
        return out;
    }
};

TEST_F(GroupFamiliesTest, SimplePhonebookReadsTheKindFromTheEntrySuffix)
{
    DBPhonebook sim;
    sim.AddByName(QStringLiteral("Anna"), 1, QStringLiteral("SM"), QStringLiteral("0171"),
                  ContactKind::Mobile, Operation::None);
    sim.AddByName(QStringLiteral("Anna#H"), 2, QStringLiteral("SM"), QStringLiteral("030"),
                  ContactKind::Mobile, Operation::Add);
    sim.AddByName(QStringLiteral("Anna#W"), 3, QStringLiteral("SM"), QStringLiteral("089"),
                  ContactKind::Mobile, Operation::None);
    sim.AddByName(QStringLiteral("Anna#X"), 4, QStringLiteral("SM"), QStringLiteral("040"),
                  ContactKind::Mobile, Operation::None);
    const QString before = sim.GetDataText();

    CountingLoop loop;
    const auto c = sim.GroupFamilies(features(false), &loop);
    EXPECT_EQ(loop.yields, sim.count());
    EXPECT_TRUE(c->name.isEmpty());
    ASSERT_EQ(c->count(), 2);
    EXPECT_EQ(c->GetItem(0)->name, QStringLiteral("Anna"));
    EXPECT_EQ(records(*c->GetItem(0)), (QStringList{"0171/1/0", "030/2/1", "089/3/0"}));
    EXPECT_EQ(c->GetItem(1)->name, QStringLiteral("Anna#X"));
    // Ids are kept, the place in the phone memory is not.
    EXPECT_EQ(c->GetItem(0)->GetItem(1)->GetDataText(), QStringLiteral("2,0,,1,030,2\r\n"));
    EXPECT_EQ(sim.GetDataText(), before);
    EXPECT_NE(c->GetItem(0)->GetItem(0), sim.GetItem(1));
}

TEST_F(GroupFamiliesTest, SimplePhonebookHoldsANumberOnceWithTheKindOfItsFirstEntry)
{
    DBPhonebook sim;
    sim.AddByName(QStringLiteral("Anna#H"), 1, QStringLiteral("ME"), QStringLiteral("030"),
                  ContactKind::Mobile, Operation::None);
    sim.AddByName(QStringLiteral("Anna"), 2, QStringLiteral("ME"), QStringLiteral("030"), ContactKind::Mobile,
                  Operation::None);
    const auto c = sim.GroupFamilies(features(false));
    ASSERT_EQ(c->count(), 1);
    EXPECT_EQ(records(*c->GetItem(0)), QStringList{"030/2/0"});
}

TEST_F(GroupFamiliesTest, SimplePhonebookNumberAddedLaterKeepsItsOwnEntrysKind)
{
    // A second number under an entry name already known is appended at the end of the store, behind
    // other contacts; it still belongs to, and takes the kind of, its own entry.
    DBPhonebook sim;
    sim.AddByName(QStringLiteral("Anna#W"), 1, QStringLiteral("ME"), QStringLiteral("089"),
                  ContactKind::Mobile, Operation::None);
    sim.AddByName(QStringLiteral("Bert"), 2, QStringLiteral("ME"), QStringLiteral("0160"),
                  ContactKind::Mobile, Operation::None);
    sim.AddByName(QStringLiteral("Anna#W"), 3, QStringLiteral("SM"), QStringLiteral("0891"),
                  ContactKind::Mobile, Operation::None);
    // A number whose entry has no name record at all.
    qint16 id = 9;
    sim.add(id, 4, QStringLiteral("SM"), QStringLiteral("0000"), ContactKind::Mobile, Operation::None);
    const auto c = sim.GroupFamilies(features(false));
    ASSERT_EQ(c->count(), 3);
    EXPECT_EQ(records(*c->GetItem(0)), (QStringList{"089/3/0", "0891/3/0"}));
    EXPECT_EQ(records(*c->GetItem(1)), QStringList{"0160/1/0"});
    EXPECT_EQ(c->GetItem(2)->name, QString());
    EXPECT_EQ(records(*c->GetItem(2)), QStringList{"0000/1/0"});
}

TEST_F(GroupFamiliesTest, ExtendedPhonebookKeepsKindsAndClearsOperations)
{
    DBPhonebook outlook;
    qint16 id = 0;
    outlook.add(id, 0, QString(), QStringLiteral("International Business Machines"), ContactKind::Name,
                Operation::Add);
    outlook.add(id, 0, QString(), QStringLiteral("0171"), ContactKind::Mobile, Operation::Add);
    outlook.add(id, 0, QString(), QStringLiteral("0171"), ContactKind::Work,
                Operation::Add); // the same text once, whatever its kind
    outlook.add(id, 0, QString(), QStringLiteral("ibm@x.com"), ContactKind::Email, Operation::Add);
    id = 0;
    outlook.add(id, 0, QString(), QStringLiteral("International Bus Lines"), ContactKind::Name,
                Operation::None); // same first 12 characters, another contact
    outlook.add(id, 0, QString(), QStringLiteral("  0800 1  "), ContactKind::Home, Operation::Add);
    id = 0;
    outlook.add(id, 0, QString(), QStringLiteral("Anna#H"), ContactKind::Name,
                Operation::None); // no suffixes in an extended phonebook
    id = 0;
    outlook.add(id, 0, QString(), QStringLiteral("Lonely"), ContactKind::Name, Operation::None);

    const auto c = outlook.GroupFamilies(features(true));
    ASSERT_EQ(c->count(), 4);
    EXPECT_EQ(c->GetItem(0)->name, QStringLiteral("International Business Machines"));
    EXPECT_EQ(records(*c->GetItem(0)), (QStringList{"0171/1/0", "ibm@x.com/4/0"}));
    EXPECT_EQ(c->GetItem(1)->name, QStringLiteral("International Bus Lines"));
    EXPECT_EQ(records(*c->GetItem(1)), QStringList{"0800 1/2/0"});
    EXPECT_EQ(c->GetItem(1)->GetItem(0)->id, 2);
    EXPECT_EQ(c->GetItem(2)->name, QStringLiteral("Anna#H"));
    EXPECT_EQ(c->GetItem(3)->name, QStringLiteral("Lonely"));
    EXPECT_EQ(c->GetItem(3)->count(), 0);

    c->GetItem(0)->GetItem(0)->data = QStringLiteral("changed");
    EXPECT_EQ(outlook.GetItem(1)->data, QStringLiteral("0171"));
}

TEST_F(GroupFamiliesTest, EmptyStoreGivesEmptyContainer)
{
    DBPhonebook empty;
    EXPECT_EQ(empty.GroupFamilies(features(true))->count(), 0);
    EXPECT_EQ(empty.GroupFamilies(features(false))->count(), 0);
}

} // namespace
