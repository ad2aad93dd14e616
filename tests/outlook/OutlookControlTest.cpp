// The desktop endpoint over a temporary store: folder scan, reading and writing contacts and
// appointments, the run frame (details lines, interrupts, the store error).
#include "endpoints/OutlookControl.h"
#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/DBCalendarItem.h"
#include "data/DBPhonebook.h"
#include "data/DBPhonebookItem.h"
#include "data/ModFeatures.h"
#include "endpoints/RunCapacity.h"
#include "endpoints/RunOwner.h"
#include "platform/RuntimeError.h"
#include "support/Leases.h"
#include "support/ManualTime.h"
#include "support/QtPrinters.h"
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace orvia;

namespace {

struct Owner : IRunOwner
{
    int callbacks = 0;
    bool stop = false;
    int polls = 0, stopAfter = -1;
    double lastProgress = -1;
    std::function<void(int)> onPoll; // another program at work while the run yields
    void MrCallback(qint16) override { ++callbacks; }
    void SetProgress(double f) override { lastProgress = f; }
    bool UserInterrupt() override
    {
        ++polls;
        if (onPoll)
            onPoll(polls);
        return stop || (stopAfter >= 0 && polls > stopAfter);
    }
    void RecoverFromPhoneError() override {}
    qint16 SyncStateMachine() const override { return 2; }
};

struct Desk : ::testing::Test
{
    QTemporaryDir dir;
    test::ManualTime time;
    Owner owner;
    std::unique_ptr<OutlookControl> ol;
    QString root() const { return dir.path() + QStringLiteral("/pim"); }
    QString contacts() const { return root() + QStringLiteral("/Personal Folders/Contacts/"); }
    QString calendar() const { return root() + QStringLiteral("/Personal Folders/Calendar/"); }

    void SetUp() override
    {
        resetGlobals();
        Globals &g = globals();
        for (const char *w : {"meeting", "besprechung"})
            g.gMeetingWords.add(QString::fromLatin1(w));
        for (const char *w : {"call", "anruf"})
            g.gCallWords.add(QString::fromLatin1(w));
        for (const char *w : {"birthday", "geburtstag"})
            g.gBirthdayWords.add(QString::fromLatin1(w));
        ol = std::make_unique<OutlookControl>(root(), &time);
        ol->setOwner(&owner);
        ASSERT_TRUE(ol->Init());
    }
    void write(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QStringList dataOf(const DBPhonebook &pb)
    {
        QStringList r;
        for (qint16 i = 0; i < pb.count(); ++i)
            r << QString::number(qint16(pb.GetItem(i)->typ)) + QLatin1Char(':') + pb.GetItem(i)->data;
        return r;
    }
};

QByteArray card(const char *body)
{
    return QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\n") + body + "END:VCARD\r\n";
}

} // namespace

TEST_F(Desk, FirstStartMakesTheDefaultStoreAndListsItsFolders)
{
    ASSERT_TRUE(ol->FoldersNames);
    QStringList names;
    for (qint16 i = 0; i < ol->FoldersNames->count(); ++i)
        names << ol->FoldersNames->GetItem(i) + QLatin1Char('=') +
                     QString::number(ol->FoldersTypes->GetItem(i));
    EXPECT_EQ(names, (QStringList{"\\Personal Folders\\Calendar=1", "\\Personal Folders\\Contacts=2"}));
    auto f = ol->GetFeatures();
    EXPECT_EQ(f->name, QStringLiteral("Outlook"));
    EXPECT_EQ(f->ME_capacity, 10000);
    EXPECT_EQ(f->ME_filled, 0);
    EXPECT_TRUE(f->ExtPB);
    EXPECT_EQ(ol->setCalendarFolder(QStringLiteral("no-such-folder")), QString());
    EXPECT_EQ(ol->getCalendarFolderID(), ol->FoldersIDs->GetItem(0));
    EXPECT_EQ(ol->setContactsFolder(ol->FoldersIDs->GetItem(1)), QStringLiteral("Contacts"));
}

TEST_F(Desk, UnusableRootIsReportedAsNotReachable)
{
    write(dir.path() + QStringLiteral("/blocked"), "a file where the store should be");
    OutlookControl other(dir.path() + QStringLiteral("/blocked/pim"), &time);
    EXPECT_FALSE(other.Init());
}

TEST_F(Desk, ReadsContactsWithCleanedNumbersAndSkipsBrokenFiles)
{
    write(contacts() + QStringLiteral("a.vcf"),
          card("UID:a\r\nFN:Anna Berg\r\nN:Berg;Anna;;;\r\nTEL;TYPE=CELL:+49 (151) "
               "123-45\r\nTEL;TYPE=HOME:030 1234\r\n"
               "TEL;TYPE=WORK:ext. only\r\nEMAIL:anna @example.org\r\n"));
    write(contacts() + QStringLiteral("b.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Trunc");
    write(contacts() + QStringLiteral("c.vcf"), card("UID:c\r\nFN:\r\nN:;;;;\r\n"));
    // A broken card whose name would write a notice of its own into the details and the log.
    const QString forged = QStringLiteral("Error from Outlook while reading contacts: ");
    write(contacts() + QStringLiteral("a\r\n") + forged + QStringLiteral("x\t.vcf"), "BEGIN:VCARD");
    auto pb = std::make_shared<DBPhonebook>();
    ol->ReadContacts(pb);
    EXPECT_EQ(owner.callbacks, 1);
    EXPECT_EQ(dataOf(*pb),
              (QStringList{"0:Anna Berg", "1:+4915112345", "2:0301234", "4:anna@example.org", "0:"}));
    const QStringList lines = globals().gDetails.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << globals().gDetails.toStdString();
    EXPECT_TRUE(
        lines[0].startsWith(forged + QStringLiteral("a\\r\\n") + forged + QStringLiteral("x\\t.vcf: ")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(forged + QStringLiteral("b.vcf: "))) << lines[1].toStdString();
    const QStringList logged = globals().gLog.recentLines();
    EXPECT_TRUE(logged.filter(QStringLiteral("a\\r\\nError from Outlook")).size() == 1);
    for (const QString &line : logged)
        EXPECT_FALSE(line.contains(QStringLiteral("\nError from Outlook"))) << line.toStdString();
    EXPECT_EQ(owner.lastProgress, 1.0);
}

TEST_F(Desk, ReadContinuesTheIdsOfWhatTheStoreHolds)
{
    write(contacts() + QStringLiteral("a.vcf"), card("UID:a\r\nFN:Anna\r\nTEL;TYPE=CELL:1\r\n"));
    write(contacts() + QStringLiteral("b.vcf"), card("UID:b\r\nFN:Bert\r\nTEL;TYPE=HOME:2\r\n"));
    auto pb = std::make_shared<DBPhonebook>();
    qint16 seven = 7, three = 3;
    pb->add(seven, 0, QString(), QStringLiteral("Held"), ContactKind::Name, Operation::None);
    pb->add(three, 0, QString(), QStringLiteral("Older"), ContactKind::Name, Operation::None);
    ol->ReadContacts(pb);
    QStringList ids;
    for (qint16 i = 0; i < pb->count(); ++i)
        ids << QString::number(pb->GetItem(i)->id) + QLatin1Char(':') + pb->GetItem(i)->data;
    EXPECT_TRUE(ids == (QStringList{"7:Held", "3:Older", "8:Anna", "8:1", "9:Bert", "9:2"}) ||
                ids == (QStringList{"7:Held", "3:Older", "8:Bert", "8:2", "9:Anna", "9:1"}))
        << ids.join(u' ').toStdString();
}

TEST_F(Desk, ContactsPastWhatARunHoldsAreCountedAndRefusedWhole)
{
    // 31 cards of a name and 1,056 numbers make 32,767 records, all a run holds; a group and a file that
    // cannot be read make none.
    for (int c = 0; c < 31; ++c) {
        QByteArray body = "UID:c" + QByteArray::number(c) + "\r\nFN:Card " + QByteArray::number(c) + "\r\n";
        for (int k = 0; k < 1056; ++k)
            body += (k % 3 == 0   ? "TEL;TYPE=CELL:0170 "
                     : k % 3 == 1 ? "TEL;TYPE=HOME:030 "
                                  : "TEL:040 ") +
                    QByteArray::number(c * 10000 + k) + "\r\n";
        write(contacts() + QStringLiteral("c%1.vcf").arg(c), card(body.constData()));
    }
    write(contacts() + QStringLiteral("group.vcf"), card("UID:g\r\nFN:Team\r\nKIND:group\r\n"));
    write(contacts() + QStringLiteral("broken.vcf"), "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Trunc");
    auto pb = std::make_shared<DBPhonebook>();
    ol->ReadContacts(pb);
    EXPECT_EQ(owner.callbacks, 1);
    ASSERT_EQ(pb->count(), 32767);
    EXPECT_EQ(pb->GetItem(32767 - 1057)->typ, ContactKind::Name);
    EXPECT_EQ(pb->GetItem(32767 - 1057)->id, 31);
    EXPECT_EQ(pb->GetItem(32766)->id, 31);

    // One more card, of a name alone, is one record too many: the read counts on and refuses the folder.
    write(contacts() + QStringLiteral("z.vcf"), card("UID:z\r\nFN:Zoe\r\n"));
    const QStringList files = QDir(contacts()).entryList(QDir::Files, QDir::Name);
    for (int pass = 0; pass < 2; ++pass) {
        try {
            ol->ReadContacts(std::make_shared<DBPhonebook>());
            FAIL() << "no error";
        } catch (const RunCapacityError &e) {
            EXPECT_EQ(e.number(), ErrRunCapacity);
            EXPECT_EQ(e.folder(), RunCapacityError::Folder::Contacts);
            EXPECT_EQ(e.items(), 32);
            EXPECT_EQ(e.records(), 32768);
        }
    }
    EXPECT_EQ(owner.callbacks, 1);
    EXPECT_EQ(QDir(contacts()).entryList(QDir::Files, QDir::Name), files);
}

TEST_F(Desk, EventsPastWhatARunHoldsAreCountedAndRefusedWhole)
{
    const auto event = [](int i, const char *dates) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:e" +
               QByteArray::number(i) + "\r\nDTSTAMP:20260101T000000Z\r\n" + dates + "SUMMARY:E" +
               QByteArray::number(i) + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    };
    // The room is what the store does not hold yet: one that holds all but three records takes the three
    // events of the folder; a whole-day event and a file that cannot be read are no events of the run.
    const auto nearlyFull = [] {
        auto cal = std::make_shared<DBCalendar>();
        for (int i = 0; i < 32767 - 3; ++i)
            cal->add(0, QDateTime(QDate(2026, 1, 1), QTime(8, 0)), QDateTime(), false, 0, EventKind::Plain,
                     QStringLiteral("held"), QString(), Operation::None);
        return cal;
    };
    for (int i = 0; i < 3; ++i)
        write(calendar() + QStringLiteral("e%1.ics").arg(i), event(i, "DTSTART:20260504T093000\r\n"));
    write(calendar() + QStringLiteral("day.ics"), event(-1, "DTSTART;VALUE=DATE:20260504\r\n"));
    write(calendar() + QStringLiteral("broken.ics"), "BEGIN:VCALENDAR\r\n");
    auto cal = nearlyFull();
    ol->ReadCalendar(cal);
    EXPECT_EQ(owner.callbacks, 1);
    EXPECT_EQ(cal->count(), 32767);

    // A fourth event is one too many: the read counts on and refuses the folder.
    write(calendar() + QStringLiteral("e3.ics"), event(3, "DTSTART:20260505T093000\r\n"));
    for (int pass = 0; pass < 2; ++pass) {
        try {
            ol->ReadCalendar(nearlyFull());
            FAIL() << "no error";
        } catch (const RunCapacityError &e) {
            EXPECT_EQ(e.number(), ErrRunCapacity);
            EXPECT_EQ(e.folder(), RunCapacityError::Folder::Calendar);
            EXPECT_EQ(e.items(), 4);
            EXPECT_EQ(e.records(), 4);
        }
    }
    EXPECT_EQ(owner.callbacks, 1);
}

TEST_F(Desk, FeaturesOfAFolderPastASixteenBitCountShowItFull)
{
    // Counted, not read: empty files are items of the folder all the same.
    for (int i = 0; i < 32768; ++i)
        write(contacts() + QStringLiteral("e%1.vcf").arg(i), QByteArray());
    EXPECT_EQ(ol->GetFeatures()->ME_filled, 32767);
}

TEST_F(Desk, WritesDataIntoFreeSlotsAndCreatesMissingContacts)
{
    write(contacts() + QStringLiteral("kept.vcf"),
          card("UID:kept\r\nFN:Bert\r\nN:;Bert;;;\r\nTEL;TYPE=HOME:1\r\nTEL;TYPE=HOME:2\r\nADR;TYPE=HOME:;;"
               "Street 1;Town;;;\r\n"
               "NOTE:keep me\r\n"));
    auto pb = std::make_shared<DBPhonebook>();
    pb->AddByName(QStringLiteral("Bert"), 0, QString(), QStringLiteral("3"), ContactKind::Home,
                  Operation::Add); // no home slot left
    pb->AddByName(QStringLiteral("Bert"), 0, QString(), QStringLiteral("+4930555"), ContactKind::Mobile,
                  Operation::Add); // mobile
    pb->AddByName(QStringLiteral("Cleo \"C\" [x]"), 0, QString(), QStringLiteral("777"), ContactKind::Work,
                  Operation::Add);
    pb->AddByName(QStringLiteral("Cleo \"C\" [x]"), 0, QString(), QStringLiteral("c@x.org"),
                  ContactKind::Email, Operation::Add);
    pb->AddByName(QStringLiteral("Cleo \"C\" [x]"), 0, QString(), QStringLiteral("888"), ContactKind::Work,
                  Operation::None); // not to be written
    ol->UpdateContacts(pb);
    EXPECT_EQ(owner.callbacks, 1);
    EXPECT_EQ(globals().gDetails.count(QStringLiteral("no space left in contact for Bert 3")), 1);

    auto back = std::make_shared<DBPhonebook>();
    ol->ReadContacts(back);
    QStringList got = dataOf(*back);
    // Contacts come in file order; compare them as blocks.
    const QString joined = got.join(QLatin1Char('|'));
    EXPECT_TRUE(joined.contains(QStringLiteral("0:Bert|1:+4930555|2:1|2:2"))) << joined.toStdString();
    EXPECT_TRUE(joined.contains(QStringLiteral("0:Cleo \"C\" [x]|3:777|4:c@x.org"))) << joined.toStdString();
    EXPECT_EQ(got.size(), 7);
    QFile kept(contacts() + QStringLiteral("kept.vcf"));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const QByteArray text = kept.readAll();
    EXPECT_TRUE(text.contains("NOTE:keep me"));
    EXPECT_TRUE(text.contains("Street 1"));
    EXPECT_EQ(QDir(contacts()).entryList({QStringLiteral("*.vcf")}).size(), 2);
}

TEST_F(Desk, EditsByOtherProgramsBetweenAndDuringRunsAreKept)
{
    const QString anna = contacts() + QStringLiteral("anna.vcf");
    write(anna, card("UID:anna\r\nFN:Anna\r\nN:;Anna;;;\r\nREV:20200101T000000Z\r\nTEL;TYPE=CELL:1\r\n"));
    auto run = [&](qint16 typ, const char *number) {
        auto read = std::make_shared<DBPhonebook>();
        ol->ReadContacts(read);
        auto pb = std::make_shared<DBPhonebook>();
        pb->AddByName(QStringLiteral("Anna"), 0, QString(), QString::fromLatin1(number), ContactKind(typ),
                      Operation::Add);
        ol->UpdateContacts(pb);
    };
    auto text = [&] {
        QFile f(anna);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    run(3, "040");
    // An editor rewrites the card in place: same file, the folder's time unchanged.
    {
        QByteArray edited = text();
        edited.replace("END:VCARD", "NOTE:met at the fair\r\nEMAIL:anna@example.org\r\nEND:VCARD");
        QFile f(anna);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(edited);
    }
    run(2, "030");
    QByteArray now = text();
    for (const char *kept : {"NOTE:met at the fair", "EMAIL:anna@example.org", "040", "030"})
        EXPECT_TRUE(now.contains(kept)) << kept << "\n" << now.constData();
    EXPECT_FALSE(now.contains("REV:20200101T000000Z")); // sync tools see the change

    // A sync tool replaces the card between the run's reading of it and its writing.
    owner.onPoll = [&](int poll) {
        if (poll != 2)
            return;
        QByteArray server = text();
        server.replace("END:VCARD", "TITLE:from the server\r\nEND:VCARD");
        QFile f(contacts() + QStringLiteral(".sync"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(server);
        f.close();
        ASSERT_TRUE(QFile::remove(anna));
        ASSERT_TRUE(QFile::rename(contacts() + QStringLiteral(".sync"), anna));
    };
    auto pb = std::make_shared<DBPhonebook>();
    pb->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0170"), ContactKind::Mobile,
                  Operation::Add);
    pb->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0171"), ContactKind::Home,
                  Operation::Add);
    owner.polls = 0;
    ol->UpdateContacts(pb);
    owner.onPoll = nullptr;
    now = text();
    for (const char *kept : {"TITLE:from the server", "NOTE:met at the fair", "0170", "0171", "040", "030"})
        EXPECT_TRUE(now.contains(kept)) << kept << "\n" << now.constData();

    // Runs with nothing new move nothing, not even the file.
    const QFileInfo before(anna);
    const QDateTime modified = before.lastModified();
    for (int i = 0; i < 2; ++i) {
        auto read = std::make_shared<DBPhonebook>();
        ol->ReadContacts(read);
        ol->UpdateContacts(std::make_shared<DBPhonebook>());
    }
    EXPECT_EQ(text(), now);
    EXPECT_EQ(QFileInfo(anna).lastModified(), modified);
    EXPECT_EQ(QDir(contacts()).entryList({QStringLiteral("*.vcf")}).size(), 1);
}

TEST_F(Desk, StoreWithoutACalendarFolderSaysSoInsteadOfAMissingObject)
{
    QTemporaryDir other;
    QDir().mkpath(other.path() + QStringLiteral("/Mail/Inbox"));
    QDir().mkpath(other.path() + QStringLiteral("/Mail/Contacts"));
    OutlookControl bare(other.path(), &time);
    EXPECT_TRUE(bare.Init());
    EXPECT_FALSE(bare.FoldersIDs);
    try {
        bare.getCalendarFolderID();
        FAIL() << "no error";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrPathNotFound);
        EXPECT_EQ(e.description(), QStringLiteral("there is no calendar folder"));
    }
}

TEST_F(Desk, CalendarKeywordsInAnyLanguage)
{
    const struct
    {
        const char *subject;
        qint16 typ;
        const char *title;
    } cases[] = {{"Meeting: Project review", 3, "Project review"},
                 {"call: Bob", 2, "Bob"},
                 {"Birthday Anna", 4, "Anna"},
                 {"Lunch with Bob", 1, "Lunch with Bob"},
                 {"Re: Budget", 1, "Re: Budget"},
                 {"Besprechung: Team", 3, "Team"},
                 {"Call:Cleo", 2, "Cleo"}};
    int n = 0;
    for (const auto &c : cases) {
        const QByteArray uid = "k" + QByteArray::number(++n);
        write(calendar() + QString::fromLatin1(uid) + QStringLiteral(".ics"),
              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
                  "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:20260504T093000\r\nDTEND:20260504T100000\r\n"
                  "SUMMARY:" +
                  c.subject + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    auto back = std::make_shared<DBCalendar>();
    ol->ReadCalendar(back);
    ASSERT_EQ(back->count(), 7);
    QMap<QString, qint16> got;
    for (qint16 i = 0; i < back->count(); ++i)
        got[back->GetItem(i)->title] = qint16(back->GetItem(i)->typ);
    for (const auto &c : cases)
        EXPECT_EQ(got.value(QString::fromUtf8(c.title)), c.typ) << c.subject;
}

TEST_F(Desk, WrittenEventsRoundTripWithPrefixRecurrenceAndReminder)
{
    const QDateTime at(QDate(2004, 5, 5), QTime(8, 0));
    auto cal = std::make_shared<DBCalendar>();
    cal->add(0, at, QDateTime(), true, 15, EventKind::Birthday, QStringLiteral("Anna"),
             QStringLiteral("a\r\nb"), Operation::Add);
    cal->add(0, at.addDays(1), QDateTime(), false, 0, EventKind::Call, QStringLiteral("Bob"), QString(),
             Operation::Add);
    cal->add(0, at.addDays(2), QDateTime(), false, 0, EventKind::Plain, QStringLiteral("ignored"), QString(),
             Operation::None);
    cal->add(0, at.addDays(3), QDateTime(), false, 0, EventKind::Plain, QStringLiteral("deleted on phone"),
             QString(), Operation::Delete);
    ol->UpdateCalendar(cal);
    const QStringList files = QDir(calendar()).entryList({QStringLiteral("*.ics")});
    ASSERT_EQ(files.size(), 2);
    QByteArray all;
    for (const QString &f : files) {
        QFile file(calendar() + f);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        all += file.readAll();
    }
    EXPECT_TRUE(all.contains("SUMMARY:Birthday: Anna"));
    EXPECT_TRUE(all.contains("FREQ=YEARLY"));
    EXPECT_TRUE(all.contains("UNTIL=22221221"));
    EXPECT_TRUE(all.contains("SUMMARY:Call: Bob"));

    auto back = std::make_shared<DBCalendar>();
    ol->ReadCalendar(back);
    ASSERT_EQ(back->count(), 2);
    for (qint16 i = 0; i < 2; ++i) {
        auto r = back->GetItem(i);
        if (r->typ == EventKind::Birthday) {
            EXPECT_EQ(r->title, QStringLiteral("Anna"));
            EXPECT_EQ(r->dstart, at);
            EXPECT_EQ(r->dend, at.addSecs(1800));
            EXPECT_TRUE(r->alarm);
            EXPECT_EQ(r->prerem, 15);
            EXPECT_EQ(r->body, QStringLiteral("a b"));
        } else {
            EXPECT_EQ(r->typ, EventKind::Call);
            EXPECT_EQ(r->title, QStringLiteral("Bob"));
        }
    }
}

// An event file another program keeps closed under a lease is neither damaged nor missing: it is left
// out with a notice, and no event is made meanwhile that could be a second copy of it.
TEST_F(Desk, AnEventFileAnotherProgramHoldsIsLeftWithANoticeAndNeverMadeTwice)
{
    const QDateTime at(QDate(2026, 5, 4), QTime(9, 0));
    write(calendar() + QStringLiteral("dentist.ics"),
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//EN\r\nBEGIN:VEVENT\r\nUID:d1\r\n"
          "DTSTAMP:20260101T000000Z\r\nDTSTART:20260504T090000\r\nDTEND:20260504T093000\r\n"
          "SUMMARY:Dentist\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    const QStringList files{QStringLiteral("dentist.ics")};
    auto cal = std::make_shared<DBCalendar>();
    cal->add(0, at, QDateTime(), false, 0, EventKind::Plain, QStringLiteral("Dentist"), QString(),
             Operation::Add);
    const int fd = ::open(QFile::encodeName(calendar() + files.first()).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ::fcntl(fd, F_SETSIG, SIGURG);
    const int leaseErr = test::takeWriteLease(fd);
    if (const std::string why = test::leasesUnavailable(leaseErr); !why.empty()) {
        ::close(fd);
        GTEST_SKIP() << why;
    }
    ASSERT_EQ(leaseErr, 0) << std::strerror(leaseErr);

    resetGlobals();
    auto read = std::make_shared<DBCalendar>();
    ol->ReadCalendar(read);
    EXPECT_EQ(read->count(), 0);
    const QString notice = QStringLiteral("In use by another program, left as it is: ") + files.first();
    EXPECT_TRUE(globals().gDetails.contains(notice)) << globals().gDetails.toStdString();
    EXPECT_FALSE(globals().gDetails.contains(QStringLiteral("Error from Outlook")))
        << globals().gDetails.toStdString();
    // What a run sends while it cannot see the event: held back, with the notice.
    ol->UpdateCalendar(cal);
    EXPECT_EQ(QDir(calendar()).entryList({QStringLiteral("*.ics")}), files);
    EXPECT_TRUE(globals().gDetails.contains(notice + QStringLiteral(" (Dentist ")))
        << globals().gDetails.toStdString();
    EXPECT_GT(time.elapsedMs(), 0); // the wait for the holder took the store's clock, not real time
    ::close(fd);

    read = std::make_shared<DBCalendar>();
    ol->ReadCalendar(read);
    ASSERT_EQ(read->count(), 1);
    EXPECT_EQ(read->GetItem(0)->title, QStringLiteral("Dentist"));
}

TEST_F(Desk, WholeDayEventsAndBrokenFilesGiveDetailsLines)
{
    write(calendar() + QStringLiteral("allday.ics"),
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//"
          "EN\r\nBEGIN:VEVENT\r\nUID:d1\r\nDTSTAMP:20260101T000000Z\r\n"
          "DTSTART;VALUE=DATE:20260601\r\nDTEND;VALUE=DATE:20260602\r\nSUMMARY:Holiday\\nDetails for "
          "Outlook: x\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    write(calendar() + QStringLiteral("garbage\nError from Outlook while reading calendar: x.ics"),
          QByteArray("\x00\x01\x02garbage", 10));
    write(calendar() + QStringLiteral("nostart.ics"),
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:n\r\nSUMMARY:No start\r\nEND:VEVENT\r\n"
          "END:VCALENDAR\r\n");
    // Tasks and journal entries are not appointments: skipped without a notice.
    write(calendar() + QStringLiteral("task.ics"),
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nUID:t\r\nSUMMARY:Buy milk\r\nEND:VTODO\r\nEND:"
          "VCALENDAR\r\n");
    write(calendar() + QStringLiteral("journal.ics"),
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VJOURNAL\r\nUID:j\r\nEND:VJOURNAL\r\nEND:VCALENDAR\r\n");
    write(calendar() + QStringLiteral("ok.ics"),
          "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//"
          "EN\r\nBEGIN:VEVENT\r\nUID:d2\r\nDTSTAMP:20260101T000000Z\r\n"
          "DTSTART:20260601T100000\r\nDTEND:20260601T110000\r\nSUMMARY:Say "
          "\"hi\"\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    auto back = std::make_shared<DBCalendar>();
    ol->ReadCalendar(back);
    ASSERT_EQ(back->count(), 1);
    EXPECT_EQ(back->GetItem(0)->title, QStringLiteral("Say  hi "));
    EXPECT_TRUE(globals().gDetails.contains(QStringLiteral(
        "Details for Synchronization: Whole-day event not sent to the phone: Holiday\\nDetails "
        "for Outlook: x\r\n")))
        << globals().gDetails.toStdString();
    EXPECT_TRUE(globals().gDetails.contains(QStringLiteral(
        "Error from Outlook while reading calendar: garbage\\nError from Outlook while reading "
        "calendar: x.ics: ")));
    EXPECT_FALSE(globals().gDetails.contains(QStringLiteral("\nDetails for Outlook")));
    // One line each: two refusals never run together.
    EXPECT_EQ(globals().gDetails.count(QStringLiteral("Error from Outlook while reading calendar: ")), 3);
    EXPECT_EQ(globals().gDetails.count(QStringLiteral("\r\nError from Outlook while reading calendar: ")) +
                  int(globals().gDetails.startsWith(QStringLiteral("Error from Outlook"))),
              2)
        << globals().gDetails.toStdString();
    EXPECT_TRUE(globals().gDetails.endsWith(QStringLiteral("\r\n")));
    EXPECT_FALSE(globals().gDetails.contains(QStringLiteral("task")));
}

TEST_F(Desk, InterruptReturnsWithoutCallbackAndKeepsWhatWasDone)
{
    auto pb = std::make_shared<DBPhonebook>();
    for (int i = 0; i < 3; ++i)
        pb->AddByName(QStringLiteral("P%1").arg(i), 0, QString(), QStringLiteral("12%1").arg(i),
                      ContactKind::Mobile, Operation::Add);
    owner.stopAfter = 4; // records: name, number, name, number, ... stop before the third contact's number
    ol->UpdateContacts(pb);
    EXPECT_EQ(owner.callbacks, 0);
    EXPECT_EQ(QDir(contacts()).entryList({QStringLiteral("*.vcf")}).size(), 2);
}

TEST_F(Desk, StoreFailureDuringARunIsTheStoreError)
{
    auto pb = std::make_shared<DBPhonebook>();
    pb->AddByName(QStringLiteral("X"), 0, QString(), QStringLiteral("1"), ContactKind::Mobile,
                  Operation::Add);
    QDir(contacts()).removeRecursively();
    write(contacts().chopped(1), "a file where the folder was");
    try {
        ol->UpdateContacts(pb);
        FAIL() << "no error";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), ErrOutlook);
    }
    EXPECT_EQ(owner.callbacks, 0);
}

TEST(DeskText, NumberOnlyAndRemoveSpaces)
{
    EXPECT_EQ(OutlookControl::NumberOnly(QStringLiteral("+49 (0)30-12+3 abc")), QStringLiteral("+493012+3"));
    EXPECT_EQ(OutlookControl::NumberOnly(QStringLiteral("letters")), QString());
    // "*", "#" and pauses are the number; a "p" in a word is not.
    EXPECT_EQ(OutlookControl::NumberOnly(QStringLiteral("030 1234 p 56 (private)")),
              QStringLiteral("0301234p56"));
    EXPECT_EQ(OutlookControl::NumberOnly(QStringLiteral("*31#0170-123")), QStringLiteral("*31#0170123"));
    EXPECT_EQ(OutlookControl::NumberOnly(QStringLiteral("p 0800 PPw1")), QStringLiteral("0800ppw1"));
    // An extension follows a pause; the trunk "(0)" right after a country code is not dialled, a
    // bracketed area code is; a comma is a pause, "W" a wait.
    const QList<std::pair<const char *, const char *>> numbers{
        {"+1 555 123 4567 x89", "+15551234567p89"},
        {"0800 123456 ext. 12", "0800123456p12"},
        {"+49 (0)40 1234567", "+49401234567"},
        {"+44(0) 20 7946 0000", "+442079460000"},
        {"0049 ( 0 ) 40-123", "004940123"},
        {"(030) 123", "030123"},
        {"+49 40 (0)123", "+49400123"},
        {"030 1234 Durchwahl: 56", "0301234p56"},
        {"030 1234 DW 56", "0301234p56"},
        {"01 23 45 67 89 poste 12", "0123456789p12"},
        {"06 1234 interno 5", "061234p5"},
        {"06 1234 int. 5", "061234p5"},
        {"91 123 45 67 ext=8", "911234567p8"},
        {"91 123 45 67 Extensi\u00F3n 8", "911234567p8"},
        {"+1-555-0100;ext=7", "+15550100p7"},
        {"+1-555-0100;postd=pp22", "+15550100pp22"},
        {"+1-555-0100;postd=22", "+15550100p22"},
        {"030 1234 (private) x", "0301234"},
        {"Box 12", "12"},
        {"030 1234 EXT 5", "0301234p5"},
        {"+1 555 123 4567,89", "+15551234567p89"},
        {"030 1234 W 5", "0301234w5"},
    };
    for (const auto &[written, dialled] : numbers)
        EXPECT_EQ(OutlookControl::NumberOnly(QString::fromUtf8(written)), QString::fromUtf8(dialled))
            << written;
    EXPECT_EQ(OutlookControl::RemoveSpaces(QStringLiteral(" a b\tc ")), QStringLiteral("ab\tc"));
}
