#include "FamilyHelpers.h"
#include "common/Globals.h"
#include "platform/RuntimeError.h"
#include "support/ErrorOf.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

class DBContainerTest : public ::testing::Test
{
protected:
    void SetUp() override { resetGlobals(); }
};

TEST_F(DBContainerTest, AnExactNameWinsAndACutFindsTheOneNameItBegins)
{
    DBContainer c;
    const auto acme = c.GetFamily(QStringLiteral("Acme Trading Ltd"));
    EXPECT_EQ(c.count(), 1);
    EXPECT_EQ(c.GetFamily(QStringLiteral("Acme Trading")), acme);      // a cut of 12 finds its full name
    EXPECT_EQ(c.GetFamily(QStringLiteral("Acme Trading L")), acme);    // so does a longer one
    const auto other = c.GetFamily(QStringLiteral("Acme TradingXYZ")); // same first 12, another name
    EXPECT_NE(other, acme);
    EXPECT_EQ(other->name, QStringLiteral("Acme TradingXYZ"));
    EXPECT_EQ(c.count(), 2);

    // A cut that begins two names belongs to neither; an exact name is found whatever else begins so.
    const auto shared = c.GetFamily(QStringLiteral("Acme Trading"));
    EXPECT_NE(shared, acme);
    EXPECT_NE(shared, other);
    EXPECT_EQ(c.GetFamily(QStringLiteral("Acme Trading")), shared);
    EXPECT_EQ(c.GetFamily(QStringLiteral("Acme Trading Ltd")), acme);
    const auto shortName = c.GetFamily(QStringLiteral("Acme")); // shorter than 12: only itself
    EXPECT_EQ(c.count(), 4);
    EXPECT_EQ(c.GetItem(3), shortName);

    // Two families of one name: the later one is found.
    auto later = family(QStringLiteral("Acme Trading Ltd"));
    c.AddItem(later);
    EXPECT_EQ(c.GetFamily(QStringLiteral("Acme Trading Ltd")), later);
}

TEST_F(DBContainerTest, CutNamesJoinTheirOneFullNameAndDifferentPeopleStayApart)
{
    DBContainer desktop;
    desktop.AddItem(
        family(QStringLiteral("Christina Bauer"), {{1, QStringLiteral("1")}, {2, QStringLiteral("2")}}));
    desktop.AddItem(
        family(QStringLiteral("Christina Baumann"), {{1, QStringLiteral("3")}, {3, QStringLiteral("4")}}));
    desktop.AddItem(family(QStringLiteral("Katharina Schneider-Wolff"), {{1, QStringLiteral("5")}}));
    DBContainer phone; // names as a phone cuts them, to 18, to 14 and to 12 with a kind suffix
    phone.AddItem(family(QStringLiteral("Katharina Schneide"), {{1, QStringLiteral("5")}}));
    phone.AddItem(family(QStringLiteral("Katharina Sc"), {{2, QStringLiteral("6")}}));
    phone.AddItem(family(QStringLiteral("Christina Ba"), {{2, QStringLiteral("2")}})); // a cut of two names
    phone.AddItem(family(QStringLiteral("Christina Baum"), {{1, QStringLiteral("3")}}));

    const auto merged = desktop.MergeContacts(phone);
    ASSERT_EQ(merged->count(), 4);
    EXPECT_EQ(merged->GetItem(0)->count(), 2);
    EXPECT_EQ(merged->GetItem(1)->count(), 2);
    EXPECT_EQ(merged->GetItem(2)->count(), 2); // 5 and the cut's 6
    EXPECT_EQ(merged->GetItem(3)->name, QStringLiteral("Christina Ba"));

    // Each phone cut is compared with its full name only; what the ambiguous cut holds is missing.
    EXPECT_EQ(merged->DiffContacts(phone)->GetDataText(),
              QStringLiteral(",5\r\n1,0,,1,Christina Bauer,0\r\n1,0,,1,1,1\r\n1,0,,1,2,2\r\n"
                             "2,0,,1,Christina Baumann,0\r\n2,0,,1,4,3\r\n"));
    EXPECT_EQ(merged->DiffContacts(desktop)->GetDataText(),
              QStringLiteral(",4\r\n1,0,,1,Katharina Schneider-Wolff,0\r\n1,0,,1,6,2\r\n"
                             "2,0,,1,Christina Ba,0\r\n2,0,,1,2,2\r\n"));

    // Two hundred phone contacts that share their first 12 characters stay two hundred.
    DBContainer many;
    for (int i = 1; i <= 200; ++i)
        many.AddItem(family(QStringLiteral("Phone Kontakt %1").arg(i, 3, 10, QLatin1Char('0')),
                            {{1, QString::number(i)}}));
    const auto all = DBContainer().MergeContacts(many);
    EXPECT_EQ(all->count(), 200);
    EXPECT_EQ(all->DiffContacts(DBContainer())->count(), 400);
}

TEST_F(DBContainerTest, RenamedFamiliesAreFoundUnderTheirNewNames)
{
    DBContainer c;
    c.GetFamily(QStringLiteral("Anna"));
    c.GetFamily(QStringLiteral("Bert"));
    c.GetItem(0)->name = QStringLiteral("Carla");
    EXPECT_EQ(c.GetFamily(QStringLiteral("Carla")), c.GetItem(0));
    c.GetFamily(QStringLiteral("Bert"))->name = QStringLiteral("Carla");
    EXPECT_EQ(c.GetFamily(QStringLiteral("Carla")), c.GetItem(1)); // now the later of two
    EXPECT_EQ(c.GetFamily(QStringLiteral("Anna"))->name, QStringLiteral("Anna"));
    EXPECT_EQ(c.count(), 3);
    // The copies of a container carry the renamed names too.
    const auto copy = c.Clone();
    EXPECT_EQ(copy->MergeContacts(DBContainer())->GetDataText(), copy->GetDataText());
}

TEST_F(DBContainerTest, IndexingOutsideTheFamiliesFailsClearly)
{
    DBContainer c;
    EXPECT_EQ(errorOf([&] { c.GetItem(0); }), ErrSubscript);
    c.AddItem(family(QStringLiteral("Anna")));
    EXPECT_EQ(errorOf([&] { c.GetItem(-1); }), ErrSubscript);
    EXPECT_EQ(c.GetItem(1), nullptr);
    EXPECT_EQ(globals().gLog.recentLines().last(), QStringLiteral("dbcontainer array seek ot of range"));
    EXPECT_EQ(errorOf([&] { c.AddItem(nullptr); }), ErrObjectNotSet);
    EXPECT_EQ(c.count(), 1);
    c.Clear();
    EXPECT_EQ(c.count(), 0);
    EXPECT_EQ(errorOf([&] { c.GetItem(0); }), ErrSubscript);
}

TEST_F(DBContainerTest, MoreFamiliesThanSixteenBitCountsIsAnOverflow)
{
    DBContainer c;
    for (int i = 0; i < 32767; ++i)
        c.AddItem(std::make_shared<DBPhonebook>());
    EXPECT_EQ(c.count(), 32767);
    EXPECT_EQ(errorOf([&] { c.AddItem(std::make_shared<DBPhonebook>()); }), ErrOverflow);
    EXPECT_EQ(errorOf([&] { c.GetFamily(QStringLiteral("new one")); }), ErrOverflow);
    EXPECT_EQ(c.count(), 32767);

    // A diff that would need more records than a store can count fails instead of wrapping.
    DBContainer big;
    auto f = family(QStringLiteral("Big"));
    for (int i = 0; i < 32767; ++i) {
        qint16 id = 1;
        f->add(id, 0, QString(), QString::number(i), ContactKind::Mobile, Operation::None);
    }
    big.AddItem(f);
    EXPECT_EQ(errorOf([&] { big.DiffContacts(DBContainer()); }), ErrOverflow);
}

TEST_F(DBContainerTest, TextFormCloneAndTheFileOperationsThatDoNothing)
{
    DBContainer c;
    c.name = QStringLiteral("merged contacts");
    EXPECT_EQ(c.GetDataText(), QStringLiteral("\r\nmerged contacts 0 items \r\n"));

    c.AddItem(family(QStringLiteral("Anna"), {{1, QStringLiteral("0171")}, {4, QStringLiteral("a@x.de")}}));
    c.AddItem(family(QStringLiteral("Bo, Jr")));
    EXPECT_EQ(c.GetDataText(), QStringLiteral("\r\nmerged contacts 2 items \r\nAnna,2\r\n1,0,,0,0171,1\r\n"
                                              "1,0,,0,a@x.de,4\r\nBo, Jr,0\r\n"));

    const auto copy = c.Clone();
    EXPECT_TRUE(copy->name.isEmpty());
    copy->name = c.name;
    EXPECT_EQ(copy->GetDataText(), c.GetDataText());
    EXPECT_NE(copy->GetItem(0), c.GetItem(0));
    EXPECT_NE(copy->GetItem(0)->GetItem(0), c.GetItem(0)->GetItem(0));
    copy->GetItem(0)->GetItem(0)->data = QStringLiteral("changed");
    EXPECT_EQ(c.GetItem(0)->GetItem(0)->data, QStringLiteral("0171"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("families.txt"));
    const QString before = c.GetDataText();
    c.Save(path);
    c.Load(path);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    EXPECT_EQ(c.GetDataText(), before);
}

TEST_F(DBContainerTest, MergeIsAUnionMatchedByKindAndExactText)
{
    DBContainer outlook;
    outlook.AddItem(
        family(QStringLiteral("Anna"), {{1, QStringLiteral("0171")}, {2, QStringLiteral("030")}}));
    DBContainer phone;
    auto annaPhone = family(QStringLiteral("Anna"), {{1, QStringLiteral("0171")},   // held once
                                                     {3, QStringLiteral("030")},    // other kind: held twice
                                                     {0, QStringLiteral("Anna")}}); // name records never move
    annaPhone->GetItem(1)->operation = Operation::Add;
    annaPhone->GetItem(1)->location = 7;
    annaPhone->GetItem(1)->memory = QStringLiteral("SM");
    phone.AddItem(annaPhone);
    phone.AddItem(family(QStringLiteral("Bert"), {{1, QStringLiteral("0160")}}));
    phone.AddItem(family(QStringLiteral("Empty")));
    const QString outlookBefore = outlook.GetDataText();
    const QString phoneBefore = phone.GetDataText();

    CountingLoop loop;
    const auto merged = outlook.MergeContacts(phone, &loop);
    EXPECT_EQ(loop.yields, 3);
    ASSERT_EQ(merged->count(), 3);
    const auto anna = merged->GetItem(0);
    ASSERT_EQ(anna->count(), 3);
    EXPECT_EQ(anna->GetItem(2), annaPhone->GetItem(1)); // shared, not copied
    EXPECT_EQ(anna->GetItem(2)->GetDataText(), QStringLiteral("1,7,SM,1,030,3\r\n"));
    EXPECT_EQ(merged->GetItem(1)->name, QStringLiteral("Bert"));
    EXPECT_EQ(merged->GetItem(1)->GetItem(0), phone.GetItem(1)->GetItem(0));
    EXPECT_EQ(merged->GetItem(2)->name, QStringLiteral("Empty"));
    EXPECT_EQ(merged->GetItem(2)->count(), 0);
    EXPECT_NE(merged->GetItem(0)->GetItem(0), outlook.GetItem(0)->GetItem(0)); // own side copied
    EXPECT_EQ(outlook.GetDataText(), outlookBefore);
    EXPECT_EQ(phone.GetDataText(), phoneBefore);

    // Merging with itself or with nothing changes nothing.
    EXPECT_EQ(merged->MergeContacts(*merged)->GetDataText(), merged->GetDataText());
}

TEST_F(DBContainerTest, DiffListsWhatTheOtherSideLacksAsContactsToWrite)
{
    DBContainer outlook;
    outlook.AddItem(
        family(QStringLiteral("Anna"), {{1, QStringLiteral("0171")}, {4, QStringLiteral("a@x.de")}}));
    DBContainer phone;
    phone.AddItem(family(QStringLiteral("Bert"), {{1, QStringLiteral("0160")}}));
    phone.AddItem(family(QStringLiteral("Anna"), {{2, QStringLiteral("0171")}}));
    phone.AddItem(family(QStringLiteral("Nobody")));
    const auto merged = outlook.MergeContacts(phone);

    EXPECT_EQ(merged->DiffContacts(*merged)->count(), 0);
    EXPECT_EQ(merged->DiffContacts(outlook)->GetDataText(),
              QStringLiteral(",4\r\n1,0,,1,Anna,0\r\n1,0,,1,0171,2\r\n2,0,,1,Bert,0\r\n2,0,,1,0160,1\r\n"));
    EXPECT_EQ(merged->DiffContacts(phone)->GetDataText(),
              QStringLiteral(",3\r\n1,0,,1,Anna,0\r\n1,0,,1,0171,1\r\n1,0,,1,a@x.de,4\r\n"));

    CountingLoop loop;
    const QString phoneBefore = phone.GetDataText();
    const auto all = merged->DiffContacts(DBContainer(), &loop);
    EXPECT_EQ(loop.yields, 3 + 4); // once per family and once per record
    EXPECT_EQ(all->count(), 6);    // two contacts with data, each a name and its data; Nobody gives nothing
    EXPECT_EQ(all->countToSend(), 4);
    EXPECT_EQ(phone.GetDataText(), phoneBefore);
    const auto bothWays = phone.DiffContacts(phone);
    EXPECT_EQ(bothWays->count(), 0);
    EXPECT_EQ(phone.count(), 3); // the look-ups create no families in the compared container
}

TEST_F(DBContainerTest, DiffOfANameWithOuterBlanksStartsAContactPerDatum)
{
    // The name record holds the trimmed name, which the next look-up with the untrimmed name misses.
    DBContainer c;
    c.AddItem(family(QStringLiteral(" Anna "), {{1, QStringLiteral("1")}, {2, QStringLiteral("2")}}));
    EXPECT_EQ(c.DiffContacts(DBContainer())->GetDataText(),
              QStringLiteral(",4\r\n1,0,,1,Anna,0\r\n1,0,,1,1,1\r\n2,0,,1,Anna,0\r\n2,0,,1,2,2\r\n"));
}

} // namespace
