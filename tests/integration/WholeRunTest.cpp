// Whole synchronisations between a simulated handset and a desktop store on disk: what each side
// holds afterwards, the progress text, and that a second run straight after changes nothing.
#include "WholeRunRig.h"
#include <QLocale>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

QStringList phoneEntries(phonesim::HandsetContents &c)
{
    QStringList r;
    for (const auto *mem : {&c.me, &c.sim})
        for (const auto &[loc, e] : mem->entries)
            r << QStringLiteral("%1 %2 %3 %4 c%5")
                     .arg(mem == &c.me ? "ME" : "SM")
                     .arg(loc)
                     .arg(e.name, e.number)
                     .arg(e.category);
    return r;
}

const QString kSecondContacts = QStringLiteral("Sending 0 entries to Outlook\u00AE...");

} // namespace

TEST(WholeRun, ExtendedPhonebookBothWaysThenNothingMore)
{
    WholeRunRig rig(QStringLiteral("K110"), QStringLiteral("entry=SM,1,\"+4915112345678\",145,\"Anna\",0\n"
                                                           "entry=ME,1,\"030123\",129,\"Cleo\",2\n"));
    ASSERT_TRUE(rig.initOk);
    ASSERT_TRUE(rig.portOk);
    rig.addContact(QStringLiteral("bert"), QStringLiteral("Bert Bauer"),
                   QStringLiteral("TEL;TYPE=HOME:+49 30 555\r\nEMAIL:bert@example.org\r\n"));
    ASSERT_TRUE(rig.run(false));
    EXPECT_TRUE(rig.view.text.endsWith(QStringLiteral("Data exchange successfully completed.")))
        << rig.view.text.toStdString();
    EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(rig.desktopContacts(),
              (QStringList{"Anna: 1:+4915112345678", "Bert Bauer: 2:+4930555 4:bert@example.org",
                           "Cleo: 2:030123"}));
    const QStringList phone = phoneEntries(rig.port.contents());
    EXPECT_TRUE(phone.filter(QStringLiteral("Bert Bauer +4930555")).size() == 1)
        << phone.join(QLatin1Char('|')).toStdString();

    const QStringList before = phone;
    const QStringList desktopBefore = rig.desktopContacts();
    ASSERT_TRUE(rig.run(false));
    EXPECT_TRUE(rig.view.text.contains(kSecondContacts)) << rig.view.text.toStdString();
    EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Sending 0 entries to the Velmora\u00AE phone...")));
    EXPECT_EQ(phoneEntries(rig.port.contents()), before);
    EXPECT_EQ(rig.desktopContacts(), desktopBefore);
}

TEST(WholeRun, SimplePhonebookTarvexBothWaysThenNothingMore)
{
    WholeRunRig rig(QStringLiteral("G170"), QStringLiteral("entry=SM,1,\"+4915112345678\",145,\"Anna\"\n"));
    ASSERT_TRUE(rig.initOk);
    rig.addContact(QStringLiteral("dora"), QStringLiteral("Dora"),
                   QStringLiteral("TEL;TYPE=CELL:0171 999\r\n"));
    ASSERT_TRUE(rig.run(false));
    EXPECT_TRUE(rig.view.text.endsWith(QStringLiteral("Data exchange successfully completed.")))
        << rig.view.text.toStdString();
    const QStringList phone = phoneEntries(rig.port.contents());
    EXPECT_EQ(phone.filter(QStringLiteral("0171999")).size(), 1)
        << phone.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(rig.desktopContacts().contains(QStringLiteral("Anna: 1:+4915112345678")));
    ASSERT_TRUE(rig.run(false));
    EXPECT_TRUE(rig.view.text.contains(kSecondContacts)) << rig.view.text.toStdString();
    EXPECT_EQ(phoneEntries(rig.port.contents()), phone);
}

// A name with characters outside ASCII crosses the SIM in GSM codes and must come back as itself.
class UmlautOnSim : public ::testing::TestWithParam<const char *>
{
};

TEST_P(UmlautOnSim, FullHandsetSendsTheNameToTheSimAndItComesBackUnchanged)
{
    QLocale::setDefault(QLocale(QString::fromLatin1(GetParam())));
    QString full;
    for (int i = 1; i <= 500; ++i)
        full += QStringLiteral("entry=ME,%1,\"0%1\",129,\"P%1\"\n").arg(i);
    WholeRunRig rig(QStringLiteral("D240"), QStringLiteral("ME=500\n") + full);
    rig.addContact(QStringLiteral("j"), QString::fromUtf8("Jürgen Müller"),
                   QStringLiteral("TEL;TYPE=HOME:030 777\r\n"));
    rig.addContact(QStringLiteral("l"), QString::fromUtf8("Łukasz"),
                   QStringLiteral("TEL;TYPE=HOME:030 888\r\n"));
    ASSERT_TRUE(rig.run(false));
    auto &sim = rig.port.contents().sim.entries;
    ASSERT_EQ(sim.size(), 1u)
        << phoneEntries(rig.port.contents()).filter(QStringLiteral("SM")).join('|').toStdString();
    EXPECT_EQ(sim.begin()->second.number, QStringLiteral("030777"));
    EXPECT_TRUE(globals().gDetails.contains(
        QStringLiteral("NOT stored on the sim card because it contains non standard characters.")))
        << globals().gDetails.toStdString();

    const int desktopFiles = QDir(rig.contactsDir()).entryList({QStringLiteral("*.vcf")}).size();
    ASSERT_TRUE(rig.run(false));
    EXPECT_TRUE(rig.view.text.contains(kSecondContacts)) << rig.view.text.toStdString();
    EXPECT_EQ(rig.port.contents().sim.entries.size(), 1u);
    EXPECT_EQ(QDir(rig.contactsDir()).entryList({QStringLiteral("*.vcf")}).size(), desktopFiles);
    EXPECT_EQ(rig.desktopContacts().filter(QString::fromUtf8("Jürgen Müller")).size(), 1);
    QLocale::setDefault(QLocale::c());
}

INSTANTIATE_TEST_SUITE_P(Locales, UmlautOnSim, ::testing::Values("de_DE", "fr_FR", "en_US"));

// A name the command line cannot carry is kept off the phone with a notice, on every placement path,
// so it can never come back altered and be copied to the desktop as a second contact.
class QuotedName : public ::testing::TestWithParam<const char *>
{
};

TEST_P(QuotedName, StaysOffThePhoneWithANoticeAndTheSecondRunChangesNothing)
{
    QString full;
    if (QString::fromLatin1(GetParam()) == u"D240") // a full handset sends the D240's entries to the SIM
        for (int i = 1; i <= 500; ++i)
            full += QStringLiteral("entry=ME,%1,\"0%1\",129,\"P%1\"\n").arg(i);
    WholeRunRig rig(QString::fromLatin1(GetParam()),
                    full.isEmpty() ? QString() : QStringLiteral("ME=500\n") + full);
    ASSERT_TRUE(rig.initOk);
    rig.addContact(QStringLiteral("r"), QStringLiteral("Robert \"Bob\" Smith"),
                   QStringLiteral("TEL;TYPE=CELL:0171 555\r\n"));
    rig.addContact(QStringLiteral("a"), QStringLiteral("Ann O'Neill"),
                   QStringLiteral("TEL;TYPE=CELL:0171 666\r\n"));
    ASSERT_TRUE(rig.run(false));
    const QStringList phone = phoneEntries(rig.port.contents());
    EXPECT_TRUE(phone.filter(QStringLiteral("Bob")).isEmpty()) << phone.join('|').toStdString();
    EXPECT_EQ(phone.filter(QStringLiteral("01716")).size(), 1) << phone.join('|').toStdString();
    EXPECT_TRUE(globals().gDetails.contains(QStringLiteral(
        "Robert \"Bob\" Smith 0171555 contains characters the phone cannot store. Not stored.")))
        << globals().gDetails.toStdString();

    const QStringList desktopBefore = rig.desktopContacts();
    ASSERT_TRUE(rig.run(false));
    EXPECT_TRUE(rig.view.text.contains(kSecondContacts)) << rig.view.text.toStdString();
    EXPECT_EQ(phoneEntries(rig.port.contents()), phone);
    EXPECT_EQ(rig.desktopContacts(), desktopBefore);
    EXPECT_EQ(rig.desktopContacts().filter(QStringLiteral("Robert")).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Placements, QuotedName, ::testing::Values("K110", "D240", "G170"));

class CalendarText : public ::testing::TestWithParam<std::tuple<const char *, const char *>>
{
};

TEST_P(CalendarText, QuoteAndLineBreakReachThePhoneAndComeBackAsOneEvent)
{
    QLocale::setDefault(QLocale(QString::fromLatin1(std::get<1>(GetParam()))));
    WholeRunRig rig(QString::fromLatin1(std::get<0>(GetParam())), QString());
    rig.writeFile(rig.calendarDir() + QStringLiteral("e.ics"),
                  "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:e1\r\n"
                  "DTSTAMP:20260101T000000Z\r\nDTSTART:20260310T093000\r\nDTEND:20260310T100000\r\n"
                  "SUMMARY:Say \"hi\"\\nto Bob\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    ASSERT_TRUE(rig.run(true));
    EXPECT_TRUE(rig.view.text.endsWith(QStringLiteral("Data exchange successfully completed.")))
        << rig.view.text.toStdString();
    ASSERT_EQ(rig.port.contents().calendar.size(), 1u);
    const int files = QDir(rig.calendarDir()).entryList({QStringLiteral("*.ics")}).size();
    EXPECT_EQ(files, 1);
    ASSERT_TRUE(rig.run(true));
    EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Sending 0 events to Outlook\u00AE...")))
        << rig.view.text.toStdString();
    EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Sending 0 events to the Velmora\u00AE phone...")));
    EXPECT_EQ(rig.port.contents().calendar.size(), 1u);
    EXPECT_EQ(QDir(rig.calendarDir()).entryList({QStringLiteral("*.ics")}).size(), 1);
    QLocale::setDefault(QLocale::c());
}

INSTANTIATE_TEST_SUITE_P(Families, CalendarText,
                         ::testing::Combine(::testing::Values("K110", "D240", "G170"),
                                            ::testing::Values("de_DE", "fr_FR", "en_US")));
