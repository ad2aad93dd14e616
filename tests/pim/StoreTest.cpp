// The store as a whole: stores and folders on disk, identifiers, items by position, search and saving.
#include "PimTestFolder.h"
#include "platform/RuntimeError.h"
#include "platform/Timer.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/FolderStore.h"
#include "platform/pim/PimFolder.h"
#include "platform/pim/PimItems.h"
#include "platform/pim/PimNamespace.h"
#include "support/ErrorOf.h"
#include "support/Leases.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace orvia;
using namespace orvia::pim;
using orvia::pim::test::crlf;
using orvia::pim::test::TempRoot;
using orvia::test::errorOf;
using orvia::test::leasesUnavailable;
using orvia::test::takeWriteLease;

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

// A message loop whose pauses take no time; a test acts in them as another program would meanwhile.
struct HookedLoop : IMessageLoop
{
    std::function<void(int)> onPause;
    void yieldOnce() override {}
    void pause(int ms) override
    {
        if (onPause)
            onPause(ms);
    }
};

FileVersion versionAt(const QString &path)
{
    struct stat st;
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    return versionOf(st);
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
    // The folders made are the owner's only, as the files in them are.
    for (const char *made :
         {"", "/Personal Folders", "/Personal Folders/Contacts", "/Personal Folders/Calendar"}) {
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(root + QLatin1String(made)).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0700u) << made;
    }
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

    // A card just under the size limit whose long line, folded on writing, would take it over the limit
    // is not written: it could not be read back.
    const QByteArray big =
        vcard(QStringLiteral("Big"), ("NOTE:" + QByteArray(8200000, 'n') + "\n").constData());
    t.write(QStringLiteral("Personal Folders/Contacts/big.vcf"), big);
    auto card = asContact(ns->GetDefaultFolder(FolderContacts)->Items()->Item(1));
    ASSERT_NE(card, nullptr);
    card->setMobileTelephoneNumber(QStringLiteral("1"));
    EXPECT_EQ(errorOf([&] { card->Save(); }), ErrItemRefused);
    EXPECT_EQ(t.read(QStringLiteral("Personal Folders/Contacts/big.vcf")), big);
}

TEST(Store, EditsMadeInPlaceOrByRenameAreReadBeforeAnythingIsWrittenOverThem)
{
    TempRoot t;
    auto ns = openStore(t.path());
    auto folder = ns->GetDefaultFolder(FolderContacts);
    const QString file = QStringLiteral("Personal Folders/Contacts/anna.vcf");
    t.write(file, vcard(QStringLiteral("Anna"), "TEL;TYPE=CELL:1\n"));
    auto anna = asContact(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
    ASSERT_NE(anna, nullptr);

    // Rewritten in place (same inode, the folder's time unchanged), then replaced by rename: each time
    // the stale item writes nothing, and the folder hands out the new version.
    for (bool inPlace : {true, false}) {
        const QByteArray edited = vcard(QStringLiteral("Anna"), inPlace ? "TEL;TYPE=CELL:1\nNOTE:in place\n"
                                                                        : "TEL;TYPE=CELL:1\nEMAIL:a@b.c\n");
        if (inPlace) {
            t.write(file, edited);
        } else {
            t.write(QStringLiteral("Personal Folders/Contacts/.new"), edited);
            const QByteArray from =
                QFile::encodeName(t.path() + QStringLiteral("/Personal Folders/Contacts/.new"));
            const QByteArray to = QFile::encodeName(t.path() + QLatin1Char('/') + file);
            ASSERT_EQ(::rename(from.constData(), to.constData()), 0);
        }
        anna->setHomeTelephoneNumber(QStringLiteral("030"));
        EXPECT_FALSE(anna->saveUnlessChanged());
        EXPECT_EQ(errorOf([&] { anna->Save(); }), ErrPathAccess);
        EXPECT_EQ(t.read(file), edited);
        auto items = folder->Items();
        anna = asContact(items->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
        ASSERT_NE(anna, nullptr);
        EXPECT_EQ(anna->HomeTelephoneNumber(), QString());
    }
    anna->setHomeTelephoneNumber(QStringLiteral("030"));
    EXPECT_TRUE(anna->saveUnlessChanged());
    const QByteArray now = t.read(file);
    EXPECT_TRUE(now.contains("EMAIL:a@b.c") && now.contains("030")) << now.constData();
    // Saving an item that holds what its file holds writes nothing.
    const FileVersion before = versionAt(t.path() + QLatin1Char('/') + file);
    const auto again = asContact(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
    again->Save();
    EXPECT_EQ(versionAt(t.path() + QLatin1Char('/') + file), before);
    EXPECT_EQ(t.read(file), now);
}

TEST(Store, LeftoverTemporariesGoAtTheFirstLookAndLinksAndOddNamesStayWhatTheyAre)
{
    TempRoot t;
    auto ns = openStore(t.path());
    const QString dir = QStringLiteral("Personal Folders/Contacts/");
    for (const char *name : {".a.vcf.k3j2x.tmp", "..orvia-folder.0z.tmp", ".keep.tmp", ".other.vcf"})
        t.write(dir + QLatin1String(name), "x");
    // A file whose name is not UTF-8, a link to a card elsewhere in the store, one to a card outside it.
    const QByteArray odd = QFile::encodeName(t.path() + QLatin1Char('/') + dir) + "caf\xe9.vcf";
    {
        QFile f;
        ASSERT_TRUE(
            f.open(::fopen(odd.constData(), "w"), QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
        f.write(vcard(QStringLiteral("Odd")));
    }
    t.mkdir(QStringLiteral("Shared/people"));
    t.write(QStringLiteral("Shared/people/real.vcf"), vcard(QStringLiteral("Linked")));
    ASSERT_TRUE(QFile::link(t.path() + QStringLiteral("/Shared/people/real.vcf"),
                            t.path() + QLatin1Char('/') + dir + QStringLiteral("link.vcf")));
    TempRoot outside;
    outside.write(QStringLiteral("far.vcf"), vcard(QStringLiteral("Far")));
    ASSERT_TRUE(QFile::link(outside.path() + QStringLiteral("/far.vcf"),
                            t.path() + QLatin1Char('/') + dir + QStringLiteral("far.vcf")));

    auto items = ns->GetDefaultFolder(FolderContacts)->Items();
    EXPECT_EQ(t.files(dir).filter(QStringLiteral(".tmp")), QStringList({".keep.tmp"}));
    EXPECT_TRUE(t.files(dir).contains(QStringLiteral(".other.vcf")));
    ASSERT_EQ(items->count(), 3);

    auto oddCard = asContact(items->Find(PimItems::fullNameFilter(QStringLiteral("Odd"))));
    ASSERT_NE(oddCard, nullptr);
    oddCard->setMobileTelephoneNumber(QStringLiteral("1"));
    oddCard->Save();
    EXPECT_TRUE(oddCard->fileName().startsWith(QStringLiteral("caf\\xe9")));
    QFile oddFile;
    ASSERT_TRUE(
        oddFile.open(::fopen(odd.constData(), "r"), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    EXPECT_TRUE(oddFile.readAll().contains("TEL;TYPE=CELL:1"));

    auto linked = asContact(items->Find(PimItems::fullNameFilter(QStringLiteral("Linked"))));
    ASSERT_NE(linked, nullptr);
    linked->setMobileTelephoneNumber(QStringLiteral("2"));
    linked->Save();
    EXPECT_TRUE(QFileInfo(t.path() + QLatin1Char('/') + dir + QStringLiteral("link.vcf")).isSymLink());
    EXPECT_TRUE(t.read(QStringLiteral("Shared/people/real.vcf")).contains("TEL;TYPE=CELL:2"));

    auto far = asContact(items->Find(PimItems::fullNameFilter(QStringLiteral("Far"))));
    ASSERT_NE(far, nullptr);
    far->setMobileTelephoneNumber(QStringLiteral("3"));
    EXPECT_EQ(errorOf([&] { far->Save(); }), ErrPathAccess);
    EXPECT_TRUE(QFileInfo(t.path() + QLatin1Char('/') + dir + QStringLiteral("far.vcf")).isSymLink());
    EXPECT_EQ(outside.read(QStringLiteral("far.vcf")), vcard(QStringLiteral("Far")));
}

TEST(Store, FifosAndOtherFilesThatAreNoFilesNeverBlockAndAreRefusedAsDamagedItems)
{
    TempRoot t;
    auto ns = openStore(t.path());
    const QString dir = QStringLiteral("Personal Folders/Contacts/");
    const auto fifo = [&](const char *name) {
        const QByteArray p = QFile::encodeName(t.path() + QLatin1Char('/') + dir) + name;
        ::unlink(p.constData());
        ASSERT_EQ(::mkfifo(p.constData(), 0600), 0) << name;
    };
    t.write(dir + QStringLiteral("a.vcf"), vcard(QStringLiteral("Anna")));
    t.write(dir + QStringLiteral("b.vcf"), vcard(QStringLiteral("Bert")));
    // Opened the usual way, each of these would wait for a writer for good.
    for (const char *name : {".orvia-folder", "description", "c.vcf"})
        fifo(name);
    auto folder = ns->GetDefaultFolder(FolderContacts);
    EXPECT_EQ(folder->DefaultItemType(), ItemTypeContact);
    EXPECT_EQ(folder->Description(), QString());
    auto items = folder->Items();
    ASSERT_EQ(items->count(), 3);
    const auto refusal = [&](int position) {
        try {
            items->Item(position);
        } catch (const RuntimeError &e) {
            return QString::number(e.number()) + QLatin1Char(' ') + e.description();
        }
        return QString();
    };
    EXPECT_EQ(refusal(3), QStringLiteral("4096 c.vcf: not a regular file"));
    // A card swapped for a FIFO between the listing and the read.
    fifo("b.vcf");
    EXPECT_EQ(refusal(2), QStringLiteral("4096 b.vcf: not a regular file"));
    EXPECT_EQ(asContact(items->Item(1))->FullName(), "Anna");
    EXPECT_EQ(items->Find(PimItems::fullNameFilter(QStringLiteral("Bert"))), nullptr);
}

TEST(Store, AHardLinkedCardIsWrittenInPlaceSoEveryNameShowsTheNewText)
{
    TempRoot t;
    auto ns = openStore(t.path());
    const QString card = QStringLiteral("Personal Folders/Contacts/anna.vcf");
    t.mkdir(QStringLiteral("Backup"));
    t.write(card, vcard(QStringLiteral("Anna")));
    const QByteArray path = QFile::encodeName(t.path() + QLatin1Char('/') + card);
    const QByteArray other = QFile::encodeName(t.path() + QStringLiteral("/Backup/anna.vcf"));
    ASSERT_EQ(::link(path.constData(), other.constData()), 0);
    auto folder = ns->GetDefaultFolder(FolderContacts);
    const auto find = [&] {
        return asContact(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
    };

    auto anna = find();
    ASSERT_NE(anna, nullptr);
    anna->setMobileTelephoneNumber(QStringLiteral("0170"));
    EXPECT_TRUE(anna->saveUnlessChanged());
    struct stat a, b;
    ASSERT_EQ(::stat(path.constData(), &a), 0);
    ASSERT_EQ(::stat(other.constData(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(a.st_nlink, 2u);
    EXPECT_TRUE(t.read(QStringLiteral("Backup/anna.vcf")).contains("TEL;TYPE=CELL:0170"));
    // Read and saved again, twice: nothing moves.
    const FileVersion written = versionAt(QFile::decodeName(path));
    for (int run = 0; run < 2; ++run) {
        auto again = find();
        EXPECT_EQ(again->MobileTelephoneNumber(), QStringLiteral("0170"));
        EXPECT_TRUE(again->saveUnlessChanged());
        EXPECT_EQ(versionAt(QFile::decodeName(path)), written);
    }
    // Changed through the other name since it was read: nothing is written over it.
    anna = find();
    const QByteArray edited = vcard(QStringLiteral("Anna"), "TEL;TYPE=CELL:0170\nNOTE:elsewhere\n");
    t.write(QStringLiteral("Backup/anna.vcf"), edited);
    anna->setHomeTelephoneNumber(QStringLiteral("030"));
    EXPECT_FALSE(anna->saveUnlessChanged());
    EXPECT_EQ(t.read(card), edited);
}

// A card with a second name is written in place only where one write puts the whole new text over the
// old; a kill, or a disk running out of room, then leaves the old text or the new, never the new
// followed by the end of the old. Elsewhere the card is left as it is, under both names.
TEST(Store, AHardLinkedCardIsLeftAsItIsWhereItsOldAndNewTextCouldMix)
{
    const QByteArray foldedShort = "NOTE:" + QList<QByteArray>(20, "abc").join("\r\n ") + "\r\n";
    const QByteArray overAPage = "NOTE:" + QByteArray(5000, 'n') + "\r\n";
    const struct
    {
        const char *label;
        QByteArray extra;
        bool noRoom; // the disk has room for a few bytes more than the old text
        int error;
    } rows[] = {{"new text shorter", foldedShort, false, ErrItemLinked},
                {"new text over a page", overAPage, false, ErrItemLinked},
                {"no room for the new text", QByteArray(), true, ErrPathAccess}};
    for (const auto &r : rows) {
        SCOPED_TRACE(r.label);
        TempRoot t;
        auto ns = openStore(t.path());
        const QString card = QStringLiteral("Personal Folders/Contacts/anna.vcf");
        t.mkdir(QStringLiteral("Backup"));
        const QByteArray before = vcard(QStringLiteral("Anna"), r.extra.constData());
        t.write(card, before);
        const QByteArray path = QFile::encodeName(t.path() + QLatin1Char('/') + card);
        const QByteArray second = QFile::encodeName(t.path() + QStringLiteral("/Backup/anna.vcf"));
        ASSERT_EQ(::link(path.constData(), second.constData()), 0);
        auto folder = ns->GetDefaultFolder(FolderContacts);
        auto anna = asContact(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
        ASSERT_NE(anna, nullptr);
        anna->setMobileTelephoneNumber(QStringLiteral("0170"));
        struct rlimit room;
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &room), 0);
        const auto onTooLarge = std::signal(SIGXFSZ, SIG_IGN);
        if (r.noRoom) {
            struct rlimit small = room;
            small.rlim_cur = rlim_t(before.size() + 5);
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const int error = errorOf([&] { anna->Save(); });
        ::setrlimit(RLIMIT_FSIZE, &room);
        std::signal(SIGXFSZ, onTooLarge);
        EXPECT_EQ(error, r.error);
        EXPECT_EQ(t.read(card), before);
        EXPECT_EQ(t.read(QStringLiteral("Backup/anna.vcf")), before);
        struct stat st;
        ASSERT_EQ(::stat(path.constData(), &st), 0);
        EXPECT_EQ(st.st_nlink, 2u);
        // The edit is not kept in the folder either: the card is read from the disk again.
        anna = asContact(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
        ASSERT_NE(anna, nullptr);
        EXPECT_TRUE(anna->MobileTelephoneNumber().isEmpty()) << anna->MobileTelephoneNumber().toStdString();
        if (r.noRoom) { // once there is room, the write goes through under both names
            anna->setMobileTelephoneNumber(QStringLiteral("0170"));
            EXPECT_TRUE(anna->saveUnlessChanged());
            EXPECT_TRUE(t.read(QStringLiteral("Backup/anna.vcf")).contains("TEL;TYPE=CELL:0170"));
        }
    }
}

// When the card cannot be swapped back, the other program's version that came out of it is kept under
// a name the next start's sweep for leftovers leaves alone, and the error says where it is.
TEST(Store, AVersionThatCannotBePutBackIsKeptWhereTheErrorSaysAndOutlivesTheNextStart)
{
    TempRoot t;
    HookedLoop loop;
    auto ns = PimApplication::create(t.path(), BusyWait(&loop))->GetNamespace(QStringLiteral("MAPI"));
    const QString dir = QStringLiteral("Personal Folders/Contacts");
    const QByteArray before = vcard(QStringLiteral("Anna"));
    t.write(dir + QStringLiteral("/anna.vcf"), before);
    auto anna = asContact(ns->GetDefaultFolder(FolderContacts)
                              ->Items()
                              ->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
    ASSERT_NE(anna, nullptr);

    // Another program takes a lease on the card after it was read; while the save waits for it to let
    // go, the folder is moved away, so that nothing can be put back under the card's name.
    const QString here = t.path() + QLatin1Char('/') + dir;
    const QString away = here + QStringLiteral(".away");
    const int fd =
        ::open(QFile::encodeName(here + QStringLiteral("/anna.vcf")).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ::fcntl(fd, F_SETSIG, SIGURG);
    const int leaseErr = takeWriteLease(fd);
    if (const std::string why = leasesUnavailable(leaseErr); !why.empty()) {
        ::close(fd);
        GTEST_SKIP() << why;
    }
    ASSERT_EQ(leaseErr, 0) << std::strerror(leaseErr);
    loop.onPause = [&](int) {
        if (QFileInfo::exists(here)) {
            EXPECT_TRUE(QDir().rename(here, away));
        }
    };
    anna->setMobileTelephoneNumber(QStringLiteral("0170"));
    QString message;
    try {
        anna->Save();
    } catch (const RuntimeError &e) {
        message = e.description();
    }
    ::close(fd);
    ASSERT_TRUE(QDir().rename(away, here));
    // Our text is under the card's name: it waits for the disk as any written card does.
    EXPECT_TRUE(ns->GetDefaultFolder(FolderContacts)->Items()->takeUnsyncedChanges());

    const QStringList kept = t.files(dir).filter(QStringLiteral(".swap"));
    ASSERT_EQ(kept.size(), 1) << t.files(dir).join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(message.contains(here + QLatin1Char('/') + kept.first())) << message.toStdString();
    EXPECT_EQ(t.read(dir + QLatin1Char('/') + kept.first()), before);
    EXPECT_TRUE(t.read(dir + QStringLiteral("/anna.vcf")).contains("TEL;TYPE=CELL:0170"));
    // The next start removes what killed writes left behind, never this.
    auto next = PimApplication::attach(t.path())->GetNamespace(QStringLiteral("MAPI"));
    EXPECT_EQ(next->GetDefaultFolder(FolderContacts)->Items()->count(), 1);
    EXPECT_TRUE(t.files(dir).contains(kept.first()));
}

// An editor that opened the card before the save and writes into it as the save puts the new file in
// place: its edit goes into the old file, which the save must not drop.
TEST(Store, AnEditIntoTheOldFileAsTheNewOneGoesInPlaceIsNotLost)
{
    TempRoot t;
    auto ns = openStore(t.path());
    const QString card = QStringLiteral("Personal Folders/Contacts/anna.vcf");
    t.write(card, vcard(QStringLiteral("Anna")));
    auto folder = ns->GetDefaultFolder(FolderContacts);
    const auto find = [&] {
        return asContact(folder->Items()->Find(PimItems::fullNameFilter(QStringLiteral("Anna"))));
    };
    auto anna = find();
    ASSERT_NE(anna, nullptr);

    const QByteArray dir = QFile::encodeName(t.path() + QStringLiteral("/Personal Folders/Contacts"));
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.constData(), IN_MOVED_TO), 0);
    const int fd = ::open((dir + "/anna.vcf").constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    // The editor holds a lease on the card, as file servers do: whoever opens it meanwhile is told to
    // come back later, which puts the save's look at the old file after the edit in every run.
    ::fcntl(fd, F_SETSIG, SIGURG);
    const int leaseErr = takeWriteLease(fd);
    if (const std::string why = leasesUnavailable(leaseErr); !why.empty()) {
        ::close(fd);
        ::close(watch);
        GTEST_SKIP() << why;
    }
    ASSERT_EQ(leaseErr, 0) << std::strerror(leaseErr);
    const QByteArray edited = vcard(QStringLiteral("Anna"), "NOTE:edited meanwhile\n");
    std::thread editor([&] {
        char event[sizeof(struct inotify_event) + NAME_MAX + 1];
        ASSERT_GT(::read(watch, event, sizeof event), 0); // the save moved a file into the folder
        ASSERT_EQ(::pwrite(fd, edited.constData(), size_t(edited.size()), 0), edited.size());
        ::close(fd);
    });
    anna->setMobileTelephoneNumber(QStringLiteral("0170"));
    const bool saved = anna->saveUnlessChanged();
    editor.join();
    ::close(watch);
    if (!saved) { // as a run does: read the card again and put the datum in
        anna = find();
        ASSERT_NE(anna, nullptr);
        anna->setMobileTelephoneNumber(QStringLiteral("0170"));
        EXPECT_TRUE(anna->saveUnlessChanged());
    }
    const QByteArray now = t.read(card);
    EXPECT_TRUE(now.contains("NOTE:edited meanwhile") && now.contains("TEL;TYPE=CELL:0170"))
        << now.constData();
}

// A contacts or calendar update waits for the disk only when a file of its folder was written or removed.
TEST(Store, OnlyAWriteOrARemovalLeavesChangesToSync)
{
    TempRoot t;
    auto ns = openStore(t.path());
    const QString dir = QStringLiteral("Personal Folders/Contacts/");
    t.write(dir + QStringLiteral(".a.vcf.k3j2x.tmp"), "x");
    t.write(dir + QStringLiteral("ann.vcf"), vcard(QStringLiteral("Ann")));
    auto contacts = ns->GetDefaultFolder(FolderContacts)->Items();
    EXPECT_TRUE(contacts->takeUnsyncedChanges()); // the leftover went at the first look
    EXPECT_FALSE(contacts->takeUnsyncedChanges());
    auto ann = asContact(contacts->Find(PimItems::fullNameFilter(QStringLiteral("Ann"))));
    ASSERT_NE(ann, nullptr);
    ann->Save(); // holds what its file holds
    EXPECT_FALSE(contacts->takeUnsyncedChanges());
    ann->setHomeTelephoneNumber(QStringLiteral("030"));
    ann->Save();
    EXPECT_TRUE(contacts->takeUnsyncedChanges());
    // Another program edits the file first: the save writes nothing.
    ann->setMobileTelephoneNumber(QStringLiteral("0170"));
    t.write(dir + QStringLiteral("ann.vcf"), vcard(QStringLiteral("Ann"), "NOTE:edited\n"));
    EXPECT_FALSE(ann->saveUnlessChanged());
    EXPECT_FALSE(contacts->takeUnsyncedChanges());
    auto fresh = asContact(contacts->add());
    fresh->setFullName(QStringLiteral("Bea"));
    fresh->Save();
    EXPECT_TRUE(contacts->takeUnsyncedChanges());

    auto calendar = ns->GetDefaultFolder(FolderCalendar)->Items();
    EXPECT_FALSE(calendar->takeUnsyncedChanges());
    auto event = std::dynamic_pointer_cast<AppointmentItem>(calendar->add());
    ASSERT_NE(event, nullptr);
    event->setSubject(QStringLiteral("Dentist"));
    event->setStart(QDateTime(QDate(2026, 5, 4), QTime(9, 0)));
    event->setEnd(QDateTime(QDate(2026, 5, 4), QTime(9, 30)));
    event->Save();
    EXPECT_TRUE(calendar->takeUnsyncedChanges());
    EXPECT_FALSE(calendar->takeUnsyncedChanges());
}

TEST(Store, EmptyCollectionsTakeTheirKindFromTheTree)
{
    TempRoot t;
    // As the sync tools lay trees out: collections below folders named for their kind, new ones empty
    // but for metadata files; and collections beside others of their kind.
    t.mkdir(QStringLiteral("calendars/work"));
    t.write(QStringLiteral("calendars/work/displayname"), "Work");
    t.write(QStringLiteral("calendars/work/color"), "#ff0000");
    t.mkdir(QStringLiteral("contacts/family"));
    t.mkdir(QStringLiteral("Mine/home"));
    t.write(QStringLiteral("Mine/home/e.ics"), crlf("BEGIN:VCALENDAR\nEND:VCALENDAR\n"));
    t.mkdir(QStringLiteral("Mine/new"));
    t.mkdir(QStringLiteral("Other/Kalender"));
    t.mkdir(QStringLiteral("Other/Address Book"));
    t.mkdir(QStringLiteral("Other/Inbox"));
    t.mkdir(QStringLiteral("Other/Projects/Deep"));
    auto ns = PimApplication::attach(t.path())->GetNamespace(QStringLiteral("MAPI"));
    const struct
    {
        const char *path;
        qint32 kind;
    } rows[] = {{"calendars/work", 1}, {"contacts/family", 2},    {"Mine/new", 1},
                {"Other/Kalender", 1}, {"Other/Address Book", 2}, {"Other/Inbox", 0},
                {"Other/Projects", 0}, {"calendars", 0}};
    for (const auto &r : rows)
        EXPECT_EQ(ns->folderAt(QString::fromUtf8(r.path))->DefaultItemType(), r.kind) << r.path;

    // A tree of new, empty collections only: both default folders are found.
    TempRoot fresh;
    fresh.mkdir(QStringLiteral("calendars/personal"));
    fresh.mkdir(QStringLiteral("contacts/default"));
    auto freshNs = PimApplication::attach(fresh.path())->GetNamespace(QStringLiteral("MAPI"));
    EXPECT_EQ(freshNs->GetDefaultFolder(FolderCalendar)->relativePath(), "calendars/personal");
    EXPECT_EQ(freshNs->GetDefaultFolder(FolderContacts)->relativePath(), "contacts/default");

    // No calendar anywhere: a clear error, not a missing object.
    TempRoot bare;
    bare.mkdir(QStringLiteral("Store/Inbox"));
    auto none = PimApplication::attach(bare.path())->GetNamespace(QStringLiteral("MAPI"));
    EXPECT_EQ(errorOf([&] { none->GetDefaultFolder(FolderCalendar); }), ErrPathNotFound);
}
