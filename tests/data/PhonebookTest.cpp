#include "ExpectError.h"
#include "common/Globals.h"
#include "data/DBPhonebook.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia;

namespace {

std::shared_ptr<DBPhonebookItem> item(qint16 id, ContactKind typ, const QString &data,
                                      Operation op = Operation::None)
{
    auto r = std::make_shared<DBPhonebookItem>();
    r->id = id;
    r->typ = typ;
    r->data = data;
    r->operation = op;
    return r;
}

class PhonebookTest : public ::testing::Test
{
protected:
    void SetUp() override { resetGlobals(); }
    QString lastLogLine() const { return globals().gLog.recentLines().constLast(); }
};

} // namespace

TEST_F(PhonebookTest, RecordLineRoundTrip)
{
    DBPhonebookItem r;
    r.id = 7;
    r.location = 12;
    r.memory = QStringLiteral("SM");
    r.operation = Operation::Add;
    r.typ = ContactKind::Work;
    r.data = QStringLiteral("Smith, J/r");
    EXPECT_EQ(r.GetDataText(), QStringLiteral("7,12,SM,1,Smith/c J//r,3\r\n"));

    DBPhonebookItem back;
    back.SetDataText(QStringLiteral("7,12,SM,1,Smith/c J//r,3"));
    EXPECT_EQ(back.id, 7);
    EXPECT_EQ(back.location, 12);
    EXPECT_EQ(back.memory, QStringLiteral("SM"));
    EXPECT_EQ(back.operation, Operation::Add);
    EXPECT_EQ(back.data, QStringLiteral("Smith, J/r"));
    EXPECT_EQ(back.typ, ContactKind::Work);
}

TEST_F(PhonebookTest, RecordLineKeepsQuotesAndNegativeNumbers)
{
    DBPhonebookItem r;
    r.id = -4;
    r.location = 0;
    r.data = QStringLiteral("\"Bob\" \u00FC\u4E2D");
    r.typ = ContactKind::Name;
    DBPhonebookItem back;
    QString line = r.GetDataText();
    line.chop(2);
    back.SetDataText(line);
    EXPECT_EQ(back.id, -4);
    EXPECT_EQ(back.data, r.data);
    EXPECT_EQ(back.memory, QString());
}

TEST_F(PhonebookTest, MalformedRecordLinesFail)
{
    DBPhonebookItem r;
    EXPECT_RUNTIME_ERROR(r.SetDataText(QStringLiteral("1,2,ME,0,Anna")), ErrInvalidArgument);
    EXPECT_RUNTIME_ERROR(r.SetDataText(QString()), ErrInvalidArgument);
    EXPECT_RUNTIME_ERROR(r.SetDataText(QStringLiteral("x,2,ME,0,Anna,1")), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(r.SetDataText(QStringLiteral("1,2,ME,0,Anna,")), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(r.SetDataText(QStringLiteral("1,70000,ME,0,Anna,1")), ErrOverflow);
}

TEST_F(PhonebookTest, GetItemPastTheEndLogsAndReturnsNull)
{
    DBPhonebook pb;
    pb.name = QStringLiteral("Fit2Feat1");
    EXPECT_RUNTIME_ERROR(pb.GetItem(0), ErrSubscript); // empty store
    pb.AddItem(item(1, ContactKind::Name, QStringLiteral("Anna")));
    EXPECT_EQ(pb.GetItem(1), nullptr);
    EXPECT_EQ(lastLogLine(), QStringLiteral("Fit2Feat1array seek ot of range"));
    const qsizetype logged = globals().gLog.recentLines().size();
    EXPECT_RUNTIME_ERROR(pb.GetItem(-1), ErrSubscript);
    EXPECT_EQ(globals().gLog.recentLines().size(), logged);
}

TEST_F(PhonebookTest, AddItemKeepsTheVeryObject)
{
    auto shared = item(3, ContactKind::Mobile, QStringLiteral("0171"));
    DBPhonebook a, b;
    a.AddItem(shared);
    b.AddItem(shared);
    a.GetItem(0)->operation = Operation::Add;
    EXPECT_EQ(b.GetItem(0)->operation, Operation::Add);
    EXPECT_EQ(a.GetItem(0).get(), shared.get());
}

TEST_F(PhonebookTest, AddAllocatesIdsAndTrimsBlanks)
{
    DBPhonebook pb;
    qint16 id = 0;
    EXPECT_EQ(pb.add(id, 3, QStringLiteral("ME"), QStringLiteral("  0171 234  "), ContactKind::Mobile,
                     Operation::None),
              1);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(pb.GetItem(0)->data, QStringLiteral("0171 234"));

    qint16 five = 5;
    pb.add(five, 0, QString(), QStringLiteral("x"), ContactKind::Mobile, Operation::None);
    qint16 two = 2;
    pb.add(two, 0, QString(), QStringLiteral("y"), ContactKind::Mobile, Operation::None);
    id = 0;
    EXPECT_EQ(pb.add(id, 0, QString(), QStringLiteral("\tz "), ContactKind::Email, Operation::Add), 6);
    EXPECT_EQ(id, 6);
    EXPECT_EQ(pb.GetItem(3)->data, QStringLiteral("\tz")); // blanks only, not tabs
    EXPECT_EQ(pb.GetLastId(), 6);
}

TEST_F(PhonebookTest, IdAllocationPastTheLargestIdOverflows)
{
    DBPhonebook pb;
    pb.AddItem(item(32767, ContactKind::Name, QStringLiteral("Max")));
    qint16 id = 0;
    EXPECT_RUNTIME_ERROR(pb.add(id, 0, QString(), QStringLiteral("n"), ContactKind::Mobile, Operation::None),
                         ErrOverflow);
    EXPECT_EQ(pb.count(), 1);
    EXPECT_EQ(id, 0);
}

TEST_F(PhonebookTest, AddByNameGroupsDataUnderOneNameRecord)
{
    DBPhonebook pb;
    pb.AddByName(QStringLiteral("Anna"), 3, QStringLiteral("ME"), QStringLiteral("0171"), ContactKind::Mobile,
                 Operation::None);
    ASSERT_EQ(pb.count(), 2);
    for (qint16 i = 0; i < 2; ++i) {
        EXPECT_EQ(pb.GetItem(i)->id, 1);
        EXPECT_EQ(pb.GetItem(i)->location, 3);
        EXPECT_EQ(pb.GetItem(i)->memory, QStringLiteral("ME"));
    }
    EXPECT_EQ(pb.GetItem(0)->typ, ContactKind::Name);
    EXPECT_EQ(pb.GetItem(0)->data, QStringLiteral("Anna"));
    EXPECT_EQ(pb.GetItem(1)->typ, ContactKind::Mobile);

    pb.AddByName(QStringLiteral("Anna"), 4, QStringLiteral("ME"), QStringLiteral("0172"), ContactKind::Home,
                 Operation::None);
    ASSERT_EQ(pb.count(), 3);
    EXPECT_EQ(pb.GetItem(2)->id, 1);
    pb.AddByName(QStringLiteral("Bert"), 5, QStringLiteral("SM"), QStringLiteral("0173"), ContactKind::Mobile,
                 Operation::Add);
    EXPECT_EQ(pb.GetItem(4)->id, 2);
    EXPECT_EQ(pb.GetNameById(2), QStringLiteral("Bert"));
    pb.AddItem(item(9, ContactKind::Mobile, QStringLiteral("0174"), Operation::Add));
    EXPECT_EQ(pb.GetNameById(9), QString()); // numbers only, no name record
    EXPECT_EQ(pb.countEntries(), 4);
    EXPECT_EQ(pb.countToSend(), 2); // name records never count
}

TEST_F(PhonebookTest, NameWithOuterBlanksNeverFindsItself)
{
    DBPhonebook pb;
    pb.AddByName(QStringLiteral(" Anna"), 0, QString(), QStringLiteral("1"), ContactKind::Mobile,
                 Operation::None);
    pb.AddByName(QStringLiteral(" Anna"), 0, QString(), QStringLiteral("2"), ContactKind::Mobile,
                 Operation::None);
    EXPECT_EQ(pb.count(), 4);
    EXPECT_EQ(pb.GetItem(2)->id, 2);
}

TEST_F(PhonebookTest, GetItemByDataTypeMatching)
{
    DBPhonebook pb;
    const QString longName = QString(100, u'n');
    pb.AddItem(item(1, ContactKind::Name, longName + QStringLiteral("A")));
    pb.AddItem(item(2, ContactKind::Mobile, QStringLiteral("0171")));
    pb.AddItem(item(3, ContactKind::Mobile, QStringLiteral("0171")));
    pb.AddItem(item(4, ContactKind::Home, QStringLiteral("0172")));

    const auto byName = pb.GetItemByDataType(longName + QStringLiteral("B"), ContactKind::Name, 100);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->id, 1);
    EXPECT_EQ(pb.GetItemByDataType(QString(99, u'n'), ContactKind::Name, 100),
              nullptr); // a shorter text takes part whole

    EXPECT_EQ(pb.GetItemByDataType(QStringLiteral("0171"), ContactKind::Mobile, 100)->id,
              3); // the last match wins
    EXPECT_EQ(pb.GetItemByDataType(QStringLiteral("017"), ContactKind::Mobile, 3),
              nullptr); // numbers compare whole
    EXPECT_EQ(pb.GetItemByDataType(QStringLiteral("0172"), ContactKind::Mobile, 100),
              nullptr); // kind must agree
    EXPECT_EQ(pb.GetItemByDataType(QStringLiteral("0172"), ContactKind::Home, 100)->id, 4);
}

TEST_F(PhonebookTest, CloneMakesIndependentRecords)
{
    DBPhonebook pb;
    pb.name = QStringLiteral("src");
    pb.AddItem(item(4, ContactKind::Name, QStringLiteral(" Anna "), Operation::Add));
    pb.AddItem(item(0, ContactKind::Mobile, QStringLiteral("0171"), Operation::Add));
    const auto copy = pb.Clone();
    EXPECT_EQ(copy->name, QString());
    ASSERT_EQ(copy->count(), 2);
    EXPECT_NE(copy->GetItem(0).get(), pb.GetItem(0).get());
    EXPECT_EQ(copy->GetItem(0)->data, QStringLiteral("Anna")); // trimmed once more
    EXPECT_EQ(copy->GetItem(1)->id, 5);                        // id 0 receives a new id, as add does
    copy->GetItem(0)->operation = Operation::None;
    EXPECT_EQ(pb.GetItem(0)->operation, Operation::Add);
}

TEST_F(PhonebookTest, StoreTextAndLog)
{
    DBPhonebook pb;
    pb.name = QStringLiteral("dbp");
    EXPECT_EQ(pb.GetDataText(), QStringLiteral("dbp,0\r\n"));
    pb.AddItem(item(1, ContactKind::Name, QStringLiteral("A,B")));
    EXPECT_EQ(pb.GetDataText(), QStringLiteral("dbp,1\r\n1,0,,0,A/cB,0\r\n"));
    pb.log();
    pb.Clear();
    EXPECT_EQ(pb.count(), 0);
}

class PhonebookFileTest : public PhonebookTest
{
protected:
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    void write(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(PhonebookFileTest, SaveAndLoadRoundTrip)
{
    DBPhonebook pb;
    pb.name = QStringLiteral("anything");
    pb.AddByName(QStringLiteral("Zo\u00EB \u041C\u0438\u0440"), 2, QStringLiteral("SM"),
                 QStringLiteral("+49 (171) \"x\",/"), ContactKind::Work, Operation::Add);
    pb.Save(path("pb.txt"));
    EXPECT_EQ(pb.name, QStringLiteral("Phonebook"));

    DBPhonebook back;
    back.Load(path("pb.txt"));
    EXPECT_EQ(back.name, QStringLiteral("Phonebook"));
    EXPECT_EQ(back.GetDataText(), pb.GetDataText());
}

TEST_F(PhonebookFileTest, LoadReadsOnlyTheCountedLinesAndAnsiFiles)
{
    write(path("old.txt"),
          QByteArray("Phonebook,1\r\n1,0,ME,0,J\xFCrgen,0\r\n2,0,ME,0,ignored,0\r\ngarbage"));
    DBPhonebook pb;
    pb.Load(path("old.txt"));
    ASSERT_EQ(pb.count(), 1);
    EXPECT_EQ(pb.GetItem(0)->data, QStringLiteral("J\u00FCrgen"));

    write(path("lf.txt"), QByteArray("x,2\n1,0,,0,a,0\n1,0,,0,b,1"));
    pb.Load(path("lf.txt"));
    EXPECT_EQ(pb.count(), 2);
    EXPECT_EQ(pb.name, QStringLiteral("x"));
}

TEST_F(PhonebookFileTest, FailedLoadLeavesTheStoreAsItWas)
{
    DBPhonebook pb;
    pb.name = QStringLiteral("keep");
    pb.AddItem(item(1, ContactKind::Name, QStringLiteral("Anna")));

    EXPECT_RUNTIME_ERROR(pb.Load(path("missing.txt")), ErrFileNotFound);
    write(path("nocomma.txt"), "Phonebook\r\n");
    EXPECT_RUNTIME_ERROR(pb.Load(path("nocomma.txt")), ErrInvalidArgument);
    write(path("short.txt"), "Phonebook,3\r\n1,0,,0,a,0\r\n");
    EXPECT_RUNTIME_ERROR(pb.Load(path("short.txt")), ErrInputPastEnd);
    write(path("badline.txt"), "Phonebook,2\r\n1,0,,0,a,0\r\nbroken\r\n");
    EXPECT_RUNTIME_ERROR(pb.Load(path("badline.txt")), ErrInvalidArgument);
    write(path("badcount.txt"), "Phonebook,many\r\n");
    EXPECT_RUNTIME_ERROR(pb.Load(path("badcount.txt")), ErrTypeMismatch);
    write(path("empty.txt"), "");
    EXPECT_RUNTIME_ERROR(pb.Load(path("empty.txt")), ErrInputPastEnd);
    EXPECT_RUNTIME_ERROR(pb.Load(dir.path()), ErrPathAccess);

    EXPECT_EQ(pb.name, QStringLiteral("keep"));
    ASSERT_EQ(pb.count(), 1);
    EXPECT_EQ(pb.GetItem(0)->data, QStringLiteral("Anna"));
}

TEST_F(PhonebookFileTest, SaveIntoAMissingFolderFailsWithoutWriting)
{
    DBPhonebook pb;
    EXPECT_RUNTIME_ERROR(pb.Save(path("no/such/dir/pb.txt")), 76);
    EXPECT_FALSE(QFile::exists(path("no")));
}
