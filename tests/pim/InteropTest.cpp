// The store and the desktop's own contact and calendar tools share folders: each reads what the other
// writes. Runs where those tools are installed; skipped elsewhere.
#include "PimTestFolder.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/PimFolder.h"
#include "platform/pim/PimItems.h"
#include "platform/pim/PimNamespace.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace orvia::pim;
using orvia::pim::test::TempRoot;

namespace {

class Interop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("khard")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("khal")).isEmpty())
            GTEST_SKIP() << "khard or khal is not installed";
        ns = PimApplication::create(t.path() + QStringLiteral("/pim"))->GetNamespace(QStringLiteral("MAPI"));
        contacts = ns->GetDefaultFolder(FolderContacts);
        calendar = ns->GetDefaultFolder(FolderCalendar);
        t.mkdir(QStringLiteral("home"));
        t.write(QStringLiteral("khard.conf"),
                "[addressbooks]\n[[test]]\npath = " + contacts->absolutePath().toUtf8() +
                    "\n[general]\neditor = /bin/true\nmerge_editor = /bin/true\n"
                    "[vcard]\nskip_unparsable = yes\nprivate_objects = ,\n");
        t.write(QStringLiteral("khal.conf"),
                "[calendars]\n[[test]]\npath = " + calendar->absolutePath().toUtf8() +
                    "\n[sqlite]\npath = " + t.path().toUtf8() +
                    "/khal.db\n[locale]\ntimeformat = %H:%M\ndateformat = %Y-%m-%d\n"
                    "longdateformat = %Y-%m-%d\ndatetimeformat = %Y-%m-%d %H:%M\n"
                    "longdatetimeformat = %Y-%m-%d %H:%M\n[default]\ndefault_calendar = test\n");
    }

    QString run(const QString &program, const QStringList &args, const QByteArray &input = QByteArray())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString home = t.path() + QStringLiteral("/home");
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        p.setProcessEnvironment(env);
        QStringList all = {QStringLiteral("-c"),
                           t.path() + QLatin1Char('/') + program + QStringLiteral(".conf")};
        all += args;
        p.start(program, all);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), 0) << out.toStdString() << p.readAllStandardError().toStdString();
        return out;
    }

    QString khardList()
    {
        return run(QStringLiteral("khard"),
                   {QStringLiteral("list"), QStringLiteral("-p"), QStringLiteral("-F"),
                    QStringLiteral("uid,formatted_name,phone_numbers,emails")});
    }
    QString khalList(const QString &from, const QString &to)
    {
        return run(QStringLiteral("khal"),
                   {QStringLiteral("list"), QStringLiteral("--once"), QStringLiteral("-f"),
                    QStringLiteral("{uid}|{start-long}|{end-long}|{title}|{alarm-symbol}"), from, to});
    }
    std::shared_ptr<ContactItem> contact(const QString &name)
    {
        return std::dynamic_pointer_cast<ContactItem>(
            contacts->Items()->Find(PimItems::fullNameFilter(name)));
    }

    TempRoot t;
    std::shared_ptr<PimNamespace> ns;
    std::shared_ptr<PimFolder> contacts;
    std::shared_ptr<PimFolder> calendar;
};

} // namespace

TEST_F(Interop, AddressBookToolReadsContactsTheStoreWrites)
{
    auto c = std::dynamic_pointer_cast<ContactItem>(contacts->Items()->add());
    c->setFullName(QString::fromUtf8("Jürgen \"Jo\" Weiß, Jr."));
    c->setMobileTelephoneNumber(QStringLiteral("+49 170 1"));
    c->setHomeTelephoneNumber(QStringLiteral("030 2"));
    c->setBusinessTelephoneNumber(QStringLiteral("040 3"));
    c->setEmail1Address(QStringLiteral("j@w.de"));
    c->Save();
    const QString out = khardList();
    EXPECT_TRUE(out.contains(QString::fromUtf8("Jürgen \"Jo\" Weiß, Jr."))) << out.toStdString();
    for (const char *needle : {"+49 170 1", "030 2", "040 3", "j@w.de"})
        EXPECT_TRUE(out.contains(QLatin1String(needle))) << needle << "\n" << out.toStdString();
}

TEST_F(Interop, ContactsTheAddressBookToolCreatesAreReadAndKeepTheirDataWhenTheStoreAddsANumber)
{
    for (const char *version : {"3.0", "4.0"}) {
        const QByteArray yaml =
            "First name : Zoe" + QByteArray(version).replace('.', '_') +
            "\nLast name : Quinn\nPhone :\n    cell : +49 170 555\n    home :\n"
            "        - 030 111\n        - 030 222\n    work : 040 333\n    voice : 089 444\n"
            "Email :\n    home : z@q.org\n    work : zq@work.org\nBirthday : 1990-01-02\n"
            "Note : likes \"quotes\"; and, commas\n";
        run(QStringLiteral("khard"),
            {QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("test"),
             QStringLiteral("--vcard-version"), QLatin1String(version)},
            yaml);
        const QString name = QStringLiteral("Zoe") +
                             QString::fromLatin1(version).replace(QLatin1Char('.'), '_') +
                             QStringLiteral(" Quinn");
        auto z = contact(name);
        ASSERT_NE(z, nullptr) << version;
        EXPECT_EQ(z->MobileTelephoneNumber(), "+49 170 555");
        EXPECT_EQ(z->HomeTelephoneNumber(), "030 111");
        EXPECT_EQ(z->Home2TelephoneNumber(), "030 222");
        EXPECT_EQ(z->BusinessTelephoneNumber(), "040 333");
        EXPECT_EQ(z->OtherTelephoneNumber(), "089 444");
        EXPECT_EQ(z->Email1Address(), "z@q.org");
        EXPECT_EQ(z->Email2Address(), "zq@work.org");
        z->setBusiness2TelephoneNumber(QStringLiteral("040 999"));
        z->Save();
        const QString show = run(QStringLiteral("khard"), {QStringLiteral("show"), name});
        for (const char *needle :
             {"040 999", "040 333", "+49 170 555", "zq@work.org", "likes \"quotes\"; and, commas"})
            EXPECT_TRUE(show.contains(QLatin1String(needle))) << needle << "\n" << show.toStdString();
        EXPECT_TRUE(show.contains(QStringLiteral("Birthday"))) << show.toStdString();
    }
}

TEST_F(Interop, CalendarToolShowsAppointmentsTheStoreWrites)
{
    auto a = std::dynamic_pointer_cast<AppointmentItem>(calendar->Items()->add());
    a->setSubject(QStringLiteral("Meeting: Review, \"Q3\""));
    a->setStart(QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    a->setEnd(QDateTime(QDate(2024, 3, 5), QTime(10, 0)));
    a->setReminderSet(true);
    a->setReminderMinutesBeforeStart(15);
    a->setBody(QStringLiteral("agenda"));
    a->Save();
    auto b = std::dynamic_pointer_cast<AppointmentItem>(calendar->Items()->add());
    RecurrencePattern &p = b->GetRecurrencePattern();
    p.setRecurrenceType(RecursYearly);
    p.setPatternStartDate(QDate(2004, 5, 5));
    p.setPatternEndDate(QDate(2222, 12, 21));
    b->setSubject(QStringLiteral("Birthday: Anna"));
    b->setStart(QDateTime(QDate(2004, 5, 5), QTime(8, 0)));
    b->setEnd(QDateTime(QDate(2004, 5, 5), QTime(8, 30)));
    b->Save();
    const QString march = khalList(QStringLiteral("2024-03-01"), QStringLiteral("2024-03-31"));
    EXPECT_TRUE(
        march.contains(a->uidText() + QStringLiteral("|2024-03-05 09:30|2024-03-05 10:00|Meeting: Review, "
                                                     "\"Q3\"|")))
        << march.toStdString();
    EXPECT_TRUE(march.contains(QChar(0x23F0))) << "alarm symbol missing\n" << march.toStdString();
    const QString may = khalList(QStringLiteral("2030-05-01"), QStringLiteral("2030-05-31"));
    EXPECT_TRUE(may.contains(QStringLiteral("|2030-05-05 08:00|2030-05-05 08:30|Birthday: Anna|")))
        << may.toStdString();
}

TEST_F(Interop, AppointmentsTheCalendarToolCreatesAreReadWithEveryField)
{
    run(QStringLiteral("khal"),
        {QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("test"), QStringLiteral("2024-03-10"),
         QStringLiteral("10:00"), QStringLiteral("11:00"), QStringLiteral("America/New_York"),
         QStringLiteral("Call: Bob"), QStringLiteral("::"), QStringLiteral("body text"), QStringLiteral("-m"),
         QStringLiteral("20m")});
    run(QStringLiteral("khal"), {QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("test"),
                                 QStringLiteral("2024-03-12"), QStringLiteral("All day thing")});
    auto items = calendar->Items();
    ASSERT_EQ(items->count(), 2);
    bool sawCall = false, sawAllDay = false;
    for (int i = 1; i <= items->count(); ++i) {
        auto a = std::dynamic_pointer_cast<AppointmentItem>(items->Item(i));
        ASSERT_NE(a, nullptr);
        if (a->subject() == QStringLiteral("Call: Bob")) {
            sawCall = true;
            const QTimeZone ny("America/New_York");
            EXPECT_EQ(a->start(), QDateTime(QDate(2024, 3, 10), QTime(10, 0), ny).toLocalTime());
            EXPECT_EQ(a->end(), QDateTime(QDate(2024, 3, 10), QTime(11, 0), ny).toLocalTime());
            EXPECT_EQ(a->body(), "body text");
            EXPECT_TRUE(a->ReminderSet());
            EXPECT_EQ(a->ReminderMinutesBeforeStart(), 20);
            EXPECT_FALSE(a->AllDayEvent());
        } else {
            sawAllDay = true;
            EXPECT_EQ(a->subject(), "All day thing");
            EXPECT_TRUE(a->AllDayEvent());
            EXPECT_EQ(a->start().date(), QDate(2024, 3, 12));
        }
    }
    EXPECT_TRUE(sawCall && sawAllDay);
}
