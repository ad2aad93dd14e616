// The store as a whole: stores and folders on disk, identifiers, items by position, search and saving.
#include "PimTestFolder.h"
#include "platform/RuntimeError.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/FolderStore.h"
#include "platform/pim/PimFolder.h"
#include "platform/pim/PimItems.h"
#include "platform/pim/PimNamespace.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::pim;
using orvia::pim::test::crlf;
using orvia::pim::test::TempRoot;

namespace {

QByteArray vcard(const QString &fn, const char *extra = "")
{
    return crlf("BEGIN:VCARD\nVERSION:3.0\nUID:") + fn.toUtf8().toHex() + crlf("\nFN:") + fn.toUtf8() +
           crlf("\n") + crlf(extra) + crlf("END:VCARD\n");
}

std::shared_ptr<PimNamespace> openStore(const QString &root)
{
    auto app = PimApplication::create(root);
    auto ns = app->GetNamespace(QStringLiteral("MAPI"));
    ns->Logon();
    return ns;
}

std::shared_ptr<ContactItem> asContact(const std::shared_ptr<PimItem> &i)
{
    return std::dynamic_pointer_cast<ContactItem>(i);
}

int errorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Store, FirstStartCreatesTheDefaultStoreAndAttachFindsIt)
{
    TempRoot t;
    const QString root = t.path() + QStringLiteral("/pim");
    EXPECT_EQ(errorOf([&] { PimApplication::attach(root); }), 429);
    auto ns = openStore(root);
    auto contacts = ns->GetDefaultFolder(FolderContacts);
    auto calendar = ns->GetDefaultFolder(FolderCalendar);
    EXPECT_EQ(contacts->name(), "Contacts");
    EXPECT_EQ(contacts->DefaultItemType(), 2);
    EXPECT_EQ(contacts->DefaultMessageClass(), "IPM.Contact");
    EXPECT_EQ(calendar->DefaultItemType(), 1);
    EXPECT_EQ(contacts->Items()->count(), 0);
    EXPECT_NE(PimApplication::attach(root), nullptr);
    EXPECT_EQ(errorOf([&] { ns->GetDefaultFolder(6); }), ErrInvalidArgument);
    EXPECT_TRUE(PimApplication::defaultRoot().endsWith(QStringLiteral("/velmora/pim")));
    // Nothing the sync tools would read as collection metadata.
    for (const QString &f : t.files(QStringLiteral("pim/Personal Folders/Contacts")))
        EXPECT_TRUE(f.startsWith(QLatin1Char('.'))) << f.toStdString();
}

TEST(Store, WalkListsStoresDepthFirstWithStableIdentifiers)
{
    TempRoot t;
    t.mkdir(QStringLiteral("Mailbox/Inbox/Team"));
    t.mkdir(QStringLiteral("Work/people"));
    t.write(QStringLiteral("Mailbox/Inbox/Team/a.ics"), crlf("BEGIN:VCALENDAR\nEND:VCALENDAR\n"));
    t.write(QStringLiteral("Work/people/x.vcf"), vcard(QStringLiteral("x")));
    t.write(QStringLiteral("Work/people/displayname"), "People");
    auto ns = openStore(t.path());
    QStringList walk;
    std::function<void(std::shared_ptr<PimFolders>)> visit = [&](std::shared_ptr<PimFolders> fs) {
        for (auto f = fs->GetFirst(); f; f = fs->GetNext()) {
            walk << f->relativePath() + QLatin1Char('=') + QString::number(f->DefaultItemType());
            visit(f->Folders());
        }
    };
    visit(ns->Folders());
    EXPECT_EQ(walk, QStringList(
                        {"Mailbox=0", "Mailbox/Inbox=0", "Mailbox/Inbox/Team=1", "Work=0", "Work/people=2"}));

    auto people = ns->GetDefaultFolder(FolderContacts); // no default store: the first contacts folder
    EXPECT_EQ(people->relativePath(), "Work/people");
    const QString id = people->EntryID();
    auto again = openStore(t.path())->GetFolderFromID(id); // a later run
    EXPECT_EQ(again->relativePath(), "Work/people");
    EXPECT_EQ(again->Items()->count(), 1);
}

TEST(Store, FolderIdentifiersCannotLeaveTheRoot)
{
    TempRoot t;
    auto ns = openStore(t.path() + QStringLiteral("/r"));
    t.mkdir(QStringLiteral("outside"));
    for (const QString &bad :
         {PimFolder::entryIdForPath(QStringLiteral("../outside")),
          PimFolder::entryIdForPath(QStringLiteral("Personal Folders/../../outside")),
          PimFolder::entryIdForPath(QStringLiteral("/etc")), QStringLiteral("zz"), QStringLiteral("ABC"),
          QString(), PimFolder::entryIdForPath(QStringLiteral("none"))})
        EXPECT_EQ(errorOf([&] { ns->GetFolderFromID(bad); }), ErrInvalidArgument) << bad.toStdString();
}

TEST(Store, SymlinkLoopsDoNotMakeTheWalkEndless)
{
    TempRoot t;
    t.mkdir(QStringLiteral("S/a"));
    ASSERT_TRUE(QFile::link(t.path() + QStringLiteral("/S"), t.path() + QStringLiteral("/S/a/loop")));
    auto ns = openStore(t.path());
    EXPECT_TRUE(ns->subFolders(QStringLiteral("S/a")).isEmpty());
}

TEST(Store, UnreadableFilesAreRefusedItemsAndTheRestIsRead)
{
    TempRoot t;
    t.mkdir(QStringLiteral("P/C"));
    t.write(QStringLiteral("P/C/1.vcf"), vcard(QStringLiteral("One")));
    t.write(QStringLiteral("P/C/2.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Tru");
    t.write(QStringLiteral("P/C/3.vcf"), QByteArray("\x7f\x45\x4c\x46\x02\x01\x01\x00\xff", 9));
    t.write(QStringLiteral("P/C/4.vcf"), vcard(QStringLiteral("Four")));
    t.write(QStringLiteral("P/C/.hidden.vcf"), vcard(QStringLiteral("Hidden")));
    t.write(QStringLiteral("P/C/.x.vcf.tmp"), "partial");
    t.write(QStringLiteral("P/C/color"), "#ff0000");
    auto ns = openStore(t.path());
    auto items = ns->GetDefaultFolder(FolderContacts)->Items();
    ASSERT_EQ(items->count(), 4);
    EXPECT_EQ(asContact(items->Item(1))->FullName(), "One");
    EXPECT_EQ(errorOf([&] { items->Item(2); }), ErrItemRefused);
    EXPECT_EQ(errorOf([&] { items->Item(3); }), ErrItemRefused);
    EXPECT_EQ(asContact(items->Item(4))->FullName(), "Four");
    EXPECT_EQ(errorOf([&] { items->Item(0); }), ErrSubscript);
    EXPECT_EQ(errorOf([&] { items->Item(5); }), ErrSubscript);
    EXPECT_NE(items->Find(QStringLiteral("[FullName] = \"Four\"")), nullptr);

    t.mkdir(QStringLiteral("P/K"));
    t.write(QStringLiteral("P/K/a.ics"), crlf("BEGIN:VCALENDAR\nVERSION:2.0\nEND:VCALENDAR\n"));
    t.write(QStringLiteral("P/K/b.ics"),
            crlf("BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:b\n"
                 "DTSTART:20240101T100000\nSUMMARY:ok\nEND:VEVENT\nEND:VCALENDAR\n"));
    auto cal = ns->GetFolderFromID(PimFolder::entryIdForPath(QStringLiteral("P/K")))->Items();
    ASSERT_EQ(cal->count(), 2);
    EXPECT_EQ(errorOf([&] { cal->Item(1); }), ErrItemRefused);
    EXPECT_EQ(std::dynamic_pointer_cast<AppointmentItem>(cal->Item(2))->subject(), "ok");
}

TEST(Store, FindTreatsTheNameAsDataAndMatchesExactly)
{
    TempRoot t;
    auto ns = openStore(t.path());
    auto folder = ns->GetDefaultFolder(FolderContacts);
    const QStringList names = {QStringLiteral("Bob"),
                               QStringLiteral("Bob \"The Builder\""),
                               QStringLiteral("[Bob]"),
                               QStringLiteral("Bob\" OR \"x"),
                               QStringLiteral("bob"),
                               QStringLiteral("O'Hara"),
                               QString()};
    for (const QString &n : names) {
        auto c = asContact(folder->Items()->add());
        c->setFullName(n);
        c->setMobileTelephoneNumber(QStringLiteral("1"));
        c->Save();
    }
    auto items = folder->Items();
    for (const QString &n : names) {
        auto found = asContact(items->Find(PimItems::fullNameFilter(n)));
        ASSERT_NE(found, nullptr) << n.toStdString();
        EXPECT_EQ(found->FullName(), n);
    }
    EXPECT_EQ(items->Find(PimItems::fullNameFilter(QStringLiteral("Bo"))), nullptr);
    EXPECT_EQ(asContact(items->Find(QStringLiteral("[fullname]= 'O''Hara'")))->FullName(), "O'Hara");
    // The unescaped form the old filter text produced is rejected instead of matching someone else.
    EXPECT_EQ(errorOf([&] { items->Find(QStringLiteral("[fullname]= \"Bob \"The Builder\"\"")); }),
              ErrInvalidArgument);
    EXPECT_EQ(errorOf([&] { items->Find(QStringLiteral("[Email1Address] = \"x\"")); }), ErrInvalidArgument);
    EXPECT_EQ(errorOf([&] { items->Find(QStringLiteral("[fullname] = \"open")); }), ErrInvalidArgument);
}

TEST(Store, SavedItemsAreFoundAtOnceAndRenamesFollow)
{
    TempRoot t;
    auto ns = openStore(t.path());
    auto folder = ns->GetDefaultFolder(FolderContacts);
    auto c = asContact(folder->Items()->add());
    EXPECT_TRUE(c->fileName().isEmpty());
    c->setFullName(QStringLiteral("New Person"));
    EXPECT_EQ(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("New Person"))),
              nullptr); // unsaved
    c->Save();
    EXPECT_TRUE(c->fileName().endsWith(QStringLiteral(".vcf")));
    auto found = folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("New Person")));
    EXPECT_EQ(found, c);
    asContact(found)->setHomeTelephoneNumber(QStringLiteral("42"));
    found->Save();
    EXPECT_EQ(folder->Items()->count(), 1);
    c->setFullName(QStringLiteral("Renamed"));
    c->Save();
    EXPECT_EQ(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("New Person"))), nullptr);
    EXPECT_EQ(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("Renamed"))), c);
    // A second program's view of the same folder sees the data.
    auto other = openStore(t.path())->GetDefaultFolder(FolderContacts)->Items();
    ASSERT_EQ(other->count(), 1);
    EXPECT_EQ(asContact(other->Item(1))->HomeTelephoneNumber(), "42");
}

TEST(Store, ChangesByOtherProgramsAreSeenAndExistingFilesKeepTheirNames)
{
    TempRoot t;
    auto ns = openStore(t.path());
    auto folder = ns->GetDefaultFolder(FolderContacts);
    const QString dir = QStringLiteral("Personal Folders/Contacts/");
    t.write(dir + QStringLiteral("weird name (1).vcf"), vcard(QStringLiteral("Ann")));
    auto items = folder->Items();
    ASSERT_EQ(items->count(), 1);
    auto ann = asContact(items->Find(PimItems::fullNameFilter(QStringLiteral("Ann"))));
    ASSERT_NE(ann, nullptr);
    ann->setMobileTelephoneNumber(QStringLiteral("0170"));
    ann->Save();
    EXPECT_EQ(t.files(dir).filter(QStringLiteral(".vcf")), QStringList({"weird name (1).vcf"}));

    // Another program replaces the file (by rename, as they all do) and adds one.
    t.write(dir + QStringLiteral(".tmp"), vcard(QStringLiteral("Ann B")));
    QFile::remove(t.path() + QLatin1Char('/') + dir + QStringLiteral("weird name (1).vcf"));
    QFile::rename(t.path() + QLatin1Char('/') + dir + QStringLiteral(".tmp"),
                  t.path() + QLatin1Char('/') + dir + QStringLiteral("weird name (1).vcf"));
    t.write(dir + QStringLiteral("b.vcf"), vcard(QStringLiteral("Carl")));
    items = folder->Items();
    EXPECT_EQ(items->count(), 2);
    EXPECT_EQ(items->Find(PimItems::fullNameFilter(QStringLiteral("Ann"))), nullptr);
    EXPECT_NE(items->Find(PimItems::fullNameFilter(QStringLiteral("Ann B"))), nullptr);
    EXPECT_NE(items->Find(PimItems::fullNameFilter(QStringLiteral("Carl"))), nullptr);
}

TEST(Store, NewFilesNeverOverwriteAndGetSafeNames)
{
    TempRoot t;
    auto ns = openStore(t.path());
    auto folder = ns->GetDefaultFolder(FolderCalendar);
    auto a = std::dynamic_pointer_cast<AppointmentItem>(folder->Items()->add());
    ASSERT_NE(a, nullptr);
    a->setStart(QDateTime(QDate(2024, 6, 1), QTime(10, 0)));
    a->setSubject(QStringLiteral("x"));
    // Another program already holds the name this UID would give.
    const QString taken = a->uidText() + QStringLiteral(".ics");
    t.write(QStringLiteral("Personal Folders/Calendar/") + taken, "foreign");
    a->Save();
    EXPECT_NE(a->fileName(), taken);
    EXPECT_EQ(a->fileName(), a->uidText() + QStringLiteral(".ics"));
    EXPECT_EQ(t.read(QStringLiteral("Personal Folders/Calendar/") + taken), "foreign");
    EXPECT_EQ(t.read(QStringLiteral("Personal Folders/Calendar/") + a->fileName()).left(15),
              "BEGIN:VCALENDAR");
    EXPECT_EQ(fileNameForUid(QStringLiteral("../a b/ä:c"), QStringLiteral(".vcf")), "_a_b___c.vcf");
    const QFileInfo info(t.path() + QStringLiteral("/Personal Folders/Calendar/") + a->fileName());
    EXPECT_EQ(info.permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
              QFileDevice::Permissions());
}

TEST(Store, AppointmentsWithParseErrorsAreReadButNeverRewritten)
{
    TempRoot t;
    auto ns = openStore(t.path());
    t.write(QStringLiteral("Personal Folders/Calendar/e.ics"),
            crlf("BEGIN:VCALENDAR\nVERSION:2.0\nBEGIN:VEVENT\nUID:e\nDTSTART:20240101T100000\n"
                 "DTEND:garbage\nSUMMARY:s\nEND:VEVENT\nEND:VCALENDAR\n"));
    auto items = ns->GetDefaultFolder(FolderCalendar)->Items();
    auto a = std::dynamic_pointer_cast<AppointmentItem>(items->Item(1));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->subject(), "s");
    const QByteArray before = t.read(QStringLiteral("Personal Folders/Calendar/e.ics"));
    EXPECT_EQ(errorOf([&] { a->Save(); }), ErrItemRefused);
    EXPECT_EQ(t.read(QStringLiteral("Personal Folders/Calendar/e.ics")), before);
}
