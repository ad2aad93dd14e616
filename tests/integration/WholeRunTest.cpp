// Whole synchronisations between a simulated handset and a desktop store on disk: what each side
// holds afterwards, the progress text, and that a second run straight after changes nothing.
#include "WholeRunRig.h"
#include "platform/pim/BusyWait.h"
#include "support/Leases.h"
#include <QLocale>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <numeric>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

TEST(WholeRun, AddressBookPastWhatARunHoldsIsRefusedWithItsSizeAndNothingMoves)
{
    WholeRunRig rig(QStringLiteral("K110"), QStringLiteral("entry=SM,1,\"+4915112345678\",145,\"Anna\",0\n"
                                                           "entry=ME,1,\"030123\",129,\"Cleo\",2\n"));
    ASSERT_TRUE(rig.initOk);
    ASSERT_TRUE(rig.portOk);
    // 31 cards of a name and 1,056 numbers fill a run's 32,767 records; a card of a name alone is one more.
    for (int c = 0; c < 31; ++c) {
        QString tels;
        for (int k = 0; k < 1056; ++k)
            tels += QStringLiteral("TEL;TYPE=CELL:0170 %1\r\n").arg(c * 10000 + k);
        rig.addContact(QStringLiteral("c%1").arg(c), QStringLiteral("Card %1").arg(c), tels);
    }
    rig.addContact(QStringLiteral("z"), QStringLiteral("Zoe"), QString());
    const auto desktopFiles = [&] {
        QMap<QString, QByteArray> files;
        for (const QString &name : QDir(rig.contactsDir()).entryList(QDir::Files)) {
            QFile f(rig.contactsDir() + name);
            if (f.open(QIODevice::ReadOnly))
                files.insert(name, f.readAll());
        }
        return files;
    };
    const auto desktopBefore = desktopFiles();
    const QStringList phoneBefore = phoneEntries(rig.port.contents());
    const QString message =
        QStringLiteral("The Outlook\u00AE contacts folder holds more than one synchronization can.\r\n"
                       "Contacts in the folder: 32 (32768 names, numbers and addresses)\r\n"
                       "One synchronization can hold at most: 32767 names, numbers and addresses\r\n"
                       "Nothing was changed on the phone or in Outlook\u00AE.\r\n"
                       "Choose a smaller contacts folder in the setup window, or move some contacts to "
                       "another folder.");
    for (int run = 0; run < 2; ++run) {
        rig.boxes.clear();
        ASSERT_TRUE(rig.run(false));
        EXPECT_EQ(rig.boxes.texts(), QStringList{message});
        EXPECT_FALSE(rig.view.shown);
        EXPECT_EQ(rig.tray.state, TrayIcon::Ready);
        EXPECT_TRUE(rig.port.commandLines().filter(QStringLiteral("CPBW")).isEmpty());
        EXPECT_EQ(phoneEntries(rig.port.contents()), phoneBefore);
        EXPECT_EQ(desktopFiles(), desktopBefore);
        EXPECT_TRUE(globals().gLog.recentLines().contains(QString(message).remove(QChar(0x00AE))));
    }
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

// Texts that once came back from one side altered or unseen, so that every run moved them again. Each row
// runs three contacts runs: after the first, nothing moves, nothing is held twice on either side, and
// what could not be kept unchanged stayed off the phone with a notice.
// The rows below name only the fields they need; the others keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

struct Card
{
    const char *uid, *fn, *lines;
    const char *bytes = nullptr; // the whole file as another program wrote it, in place of the above
};

struct ContactRunCase
{
    const char *label = "", *model = "";
    std::vector<Card> cards;
    int meCapacity = 0; // 0: the model's own
    int phoneKontakt =
        0; // handset entries "Phone Kontak01"... from location 1: their first 12 characters agree
    const char *phone = ""; // further handset contents
    QStringList phoneHas;   // each in exactly one phone entry
    QStringList phoneLacks; // in none
    QStringList notices;
    QStringList desktopHas; // desktop contacts as read back
    int desktopFiles = 1;
    QList<QByteArray> firstCardKeeps; // bytes the first card's file still holds after every run
};

void PrintTo(const ContactRunCase &c, std::ostream *os)
{
    *os << c.label << " on " << c.model;
}

class ContactRuns : public ::testing::TestWithParam<ContactRunCase>
{
protected:
    static QMap<QString, QByteArray> files(const QString &dir)
    {
        QMap<QString, QByteArray> out;
        for (const QString &name : QDir(dir).entryList(QDir::Files)) {
            QFile f(dir + name);
            if (f.open(QIODevice::ReadOnly))
                out.insert(name, f.readAll());
        }
        return out;
    }
};

TEST_P(ContactRuns, LaterRunsMoveNothingAndNothingIsHeldTwice)
{
    const ContactRunCase &c = GetParam();
    QString contents;
    if (c.meCapacity > 0)
        contents += QStringLiteral("ME=%1\n").arg(c.meCapacity);
    const bool categories =
        QString::fromLatin1(c.model) == u"K110" || QString::fromLatin1(c.model) == u"M230";
    for (int i = 1; i <= c.phoneKontakt; ++i)
        contents += QStringLiteral("entry=ME,%1,\"0160%1\",129,\"Phone Kontak%2\"%3\n")
                        .arg(i)
                        .arg(i, 2, 10, QLatin1Char('0'))
                        .arg(categories ? QStringLiteral(",0") : QString());
    contents += QString::fromUtf8(c.phone);
    WholeRunRig rig(QString::fromLatin1(c.model), contents);
    ASSERT_TRUE(rig.initOk);
    for (const Card &card : c.cards) {
        if (card.bytes)
            rig.writeFile(rig.contactsDir() + QString::fromUtf8(card.uid) + QStringLiteral(".vcf"),
                          QByteArray(card.bytes));
        else
            rig.addContact(QString::fromUtf8(card.uid), QString::fromUtf8(card.fn),
                           QString::fromUtf8(card.lines));
    }
    const auto firstCardKept = [&] {
        QFile f(rig.contactsDir() + QString::fromUtf8(c.cards.front().uid) + QStringLiteral(".vcf"));
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        for (const QByteArray &kept : c.firstCardKeeps)
            EXPECT_TRUE(bytes.contains(kept)) << kept.toStdString() << " not in " << bytes.toStdString();
    };

    ASSERT_TRUE(rig.run(false));
    EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Data exchange successfully completed.")))
        << rig.view.text.toStdString();
    const QStringList phone = phoneEntries(rig.port.contents());
    const std::string phoneText = phone.join(QLatin1Char('|')).toStdString();
    for (const QString &has : c.phoneHas)
        EXPECT_EQ(phone.filter(has).size(), 1) << has.toStdString() << " in " << phoneText;
    for (const QString &lacks : c.phoneLacks)
        EXPECT_TRUE(phone.filter(lacks).isEmpty()) << lacks.toStdString() << " in " << phoneText;
    for (const QString &notice : c.notices)
        EXPECT_TRUE(globals().gDetails.contains(notice)) << globals().gDetails.toStdString();
    EXPECT_FALSE(globals().gDetails.contains(QStringLiteral("no space left")))
        << globals().gDetails.toStdString();
    const auto firstTime = [](QSet<QString> &seen, const QString &x) {
        const bool fresh = !seen.contains(x);
        seen.insert(x);
        return fresh;
    };
    QSet<QString> numbers;
    for (const auto *mem : {&rig.port.contents().me, &rig.port.contents().sim})
        for (const auto &[loc, e] : mem->entries)
            EXPECT_TRUE(firstTime(numbers, e.number)) << "twice on the phone: " << e.number.toStdString();
    const QStringList desktop = rig.desktopContacts();
    for (const QString &has : c.desktopHas)
        EXPECT_TRUE(desktop.contains(has)) << has.toStdString() << " in " << desktop.join('|').toStdString();
    QSet<QString> data;
    for (const QString &contact : desktop)
        for (const QString &datum :
             contact.section(QLatin1Char(':'), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            EXPECT_TRUE(firstTime(data, datum.section(QLatin1Char(':'), 1)))
                << "twice on the desktop: " << datum.toStdString();
    EXPECT_EQ(QDir(rig.contactsDir()).entryList({QStringLiteral("*.vcf")}).size(), c.desktopFiles);
    firstCardKept();
    for (const auto &[name, bytes] : files(rig.contactsDir()).asKeyValueRange()) {
        QSet<QString> inCard; // what one card holds, in whichever of its properties
        for (const QString &line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"))) {
            if (!line.startsWith(QStringLiteral("TEL")) && !line.startsWith(QStringLiteral("EMAIL")))
                continue;
            EXPECT_TRUE(firstTime(inCard, line.section(QLatin1Char(':'), 1).remove(QLatin1Char(' '))))
                << "twice in " << name.toStdString() << ": " << line.toStdString();
        }
    }

    const QMap<QString, QByteArray> desktopFiles = files(rig.contactsDir());
    for (int run = 2; run <= 3; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(rig.run(false));
        EXPECT_TRUE(rig.view.text.contains(kSecondContacts)) << rig.view.text.toStdString();
        EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Sending 0 entries to the Velmora\u00AE phone...")))
            << rig.view.text.toStdString();
        EXPECT_EQ(phoneEntries(rig.port.contents()), phone);
        EXPECT_EQ(files(rig.contactsDir()), desktopFiles);
    }
}

const Card kQuotedAddress{
    "eva", "Eva Email",
    "TEL;TYPE=CELL:0171 401\r\nEMAIL:eva\"x\"@example.org\r\nEMAIL:\xC5\x82ukasz@example.pl\r\n"};
const Card kPolishName{"l",
                       "\xC5\x81ukasz \xC5\xBB"
                       "ak",
                       "TEL;TYPE=CELL:0171 501\r\n"};
const Card kQuotedName{"r", "Robert \"Bob\" Smith", "TEL;TYPE=CELL:0171 601\r\nEMAIL:bob@example.org\r\n"};
const Card kBlankAfterName{"anna", "Anna Berg ", "TEL;TYPE=CELL:0171 701\r\n"};
const Card kTwoMobiles{"tom", "Tom Two",
                       "TEL;TYPE=CELL:0171 801\r\nTEL;TYPE=CELL:0171 802\r\nTEL;TYPE=VOICE:0171 803\r\n"};
const Card kFaxAndPager{"fay", "Fay Fax",
                        "TEL;TYPE=FAX:030 555\r\nTEL;TYPE=PAGER:0171 556\r\nTEL;TYPE=CELL:0171 557\r\n"};
const std::vector<Card> kSharedBeginnings{
    {"cb", "Christina Bauer", "TEL;TYPE=CELL:0171 901\r\nTEL;TYPE=HOME:030 902\r\n"},
    {"cm", "Christina Baumann", "TEL;TYPE=CELL:0171 903\r\nTEL;TYPE=WORK:030 904\r\n"},
    {"kw", "Katharina Schneider-Wolff", "TEL;TYPE=CELL:0171 905\r\nTEL;TYPE=HOME:030 906\r\n"}};

const QString kCannotStore = QStringLiteral(" contains characters the phone cannot store. Not stored.");
const QString kNotOnSim =
    QStringLiteral(" NOT stored on the sim card because it contains non standard characters.");
const QString kPolish = QString::fromUtf8("\xC5\x81ukasz \xC5\xBB"
                                          "ak");
// Names cut to 14 characters, or to 12 and a kind suffix (the SIM card's names and the Tarvex family's).
const QStringList kCutOnTheSim{"Christina Baue 0171901", "Christina Ba#H 030902",  "Christina Baum 0171903",
                               "Christina Ba#W 030904",  "Katharina Schn 0171905", "Katharina Sc#H 030906"};
const QStringList kTwelveShared{"Phone Kontak07: 1:01607", "Christina Bauer: 1:0171901 2:030902",
                                "Christina Baumann: 1:0171903 3:030904",
                                "Katharina Schneider-Wolff: 1:0171905 2:030906"};

// Letters written decomposed, as some tools write them: the name fits the phone composed, and the
// phone's composed copy of a name is that card's.
const char *kZoeDecomposed = "Zoe\xCC\x88 Berg";
const char *kJurgenDecomposed = "Ju\xCC\x88rgen Mu\xCC\x88ller";
const Card kJoseDecomposed{"jose", "Jose\xCC\x81 Ruiz", "TEL;TYPE=CELL:0171 113\r\n"};
const Card kReneDecomposed{"c10",
                           "Rene\xCC\x81"
                           "e Mu\xCC\x88ller von Hohenberg-Schwarzenfeld",
                           "EMAIL;TYPE=INTERNET:rene\xCC\x81"
                           "e15@example.org\r\n"};
const QString kZoe = QString::fromUtf8("Zo\xC3\xAB Berg");
const QString kJurgen = QString::fromUtf8("J\xC3\xBCrgen M\xC3\xBCller");
const QString kJose = QString::fromUtf8("Jos\xC3\xA9 Ruiz");

// Numbers whose "*", "#" and pauses are the number; one with a "+" after a code cannot be sent as it is.
const Card kDialStrings{"dora", "Dora Dial",
                        "TEL;TYPE=CELL:030 1234 p 56\r\nTEL;TYPE=HOME:*31#0170 1234\r\n"
                        "TEL;TYPE=WORK:#31#+49 170 999\r\n"};
const QStringList kDialNotices{"#31#+49170999 is not a valid phone number. Not stored."};
const QStringList kDialLacks{"+49170999", "030123456", "3101701234"};
const QStringList kDialDesktop{"Dora Dial: 1:0301234p56 1:**21*0171555# 2:*31#01701234 3:#31#+49170999",
                               "Pete Pause: 1:0800123pp12"};
const char *kDialOnMe = "entry=ME,1,\"**21*0171555#\",129,\"Dora Dial\"\n"
                        "entry=ME,2,\"0800123PP12\",129,\"Pete Pause\"\n";
const char *kDialOnSim = "entry=SM,1,\"**21*0171555#\",129,\"Dora Dial\"\n"
                         "entry=SM,2,\"0800123PP12\",129,\"Pete Pause\"\n";

// An extension crosses after a pause, a trunk "(0)" after the country code not at all; a SIM card may
// hand a pause back as "P" or ",", and a number earlier versions sent with the extension joined on is
// that number's copy.
const Card kExtensions{
    "ed", "Ed Extension",
    "TEL;TYPE=CELL:+1 555 123 4567 x89\r\nTEL;VALUE=uri;TYPE=VOICE:tel:+1-555-0100;ext=7\r\n"
    "TEL;TYPE=WORK:0800 123456 ext. 12\r\nTEL;TYPE=HOME:+49 (0)40 1234567\r\n"};
const QStringList kExtensionsSent{"+15551234567p89", "+15550100p7", "0800123456p12", "+49401234567"};
const QStringList kExtensionsSentP{"+15551234567P89", "+15550100P7", "0800123456P12", "+49401234567"};
const QStringList kExtensionsSentComma{"+15551234567,89", "+15550100,7", "0800123456,12", "+49401234567"};
const QStringList kJoinedOn{"+1555123456789", "+155501007", "080012345612", "+490401234567"};
const QString kEdDesktop = QStringLiteral("Ed Extension: 1:+15551234567p89 1:+15550100p7 2:+49401234567 "
                                          "3:0800123456p12");
const QStringList kExtensionsDesktop{kEdDesktop, "Pia Pause: 1:0301234p56 1:0301234w5"};
const char *kPauseFormsOnMe = "entry=ME,1,\"0301234,56\",129,\"Pia Pause\"\n"
                              "entry=ME,2,\"0301234W5\",129,\"Pia Pause\"\n";
const char *kPauseFormsOnSim = "entry=SM,1,\"0301234,56\",129,\"Pia Pause\"\n"
                               "entry=SM,2,\"0301234W5\",129,\"Pia Pause\"\n";
const char *kJoinedOnMe = "entry=ME,1,\"+1555123456789\",145,\"Ed Extension\"\n"
                          "entry=ME,2,\"+15550100\",145,\"Ed Extension\"\n"
                          "entry=ME,3,\"080012345612\",129,\"Ed Extension\"\n"
                          "entry=ME,4,\"+490401234567\",145,\"Ed Extension\"\n";
const char *kJoinedOnSim = "entry=SM,1,\"+1555123456789\",145,\"Ed Extension\"\n"
                           "entry=SM,2,\"+15550100\",145,\"Ed Extension\"\n"
                           "entry=SM,3,\"080012345612\",129,\"Ed Extension\"\n"
                           "entry=SM,4,\"+490401234567\",145,\"Ed Extension\"\n";
const QStringList kJoinedOnKept{"+1555123456789", "+15550100 ", "080012345612", "+490401234567"};

// An old export in the Windows code page with no charset named; the second card's name quoted-printable.
const std::vector<Card> kCodePageCards{
    {"jr", "", "",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Ruiz;Jos\xE9\r\nFN:Jos\xE9 Ruiz\r\nTEL;CELL:0171 901\r\n"
     "NOTE:Caf\xE9 con le\xF1"
     "a\r\nEND:VCARD\r\n"},
    {"rd", "", "",
     "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Dupr\xE9;Ren\xE9"
     "e\r\nFN;ENCODING=QUOTED-PRINTABLE:Ren=E9e Dupr=E9\r\nTEL;CELL:0171 903\r\nEND:VCARD\r\n"}};
const QList<QByteArray> kCodePageKept{"N:Ruiz;Jos\xE9\r\nFN:Jos\xE9 Ruiz\r\n", "NOTE:Caf\xE9 con le\xF1"
                                                                               "a\r\n"};
const QString kRene = QString::fromUtf8("Ren\xC3\xA9"
                                        "e Dupr\xC3\xA9");
const QStringList kCodePageDesktop{kJose + ": 1:0171901 1:0171902", kRene + ": 1:0171903"};

INSTANTIATE_TEST_SUITE_P(
    Texts, ContactRuns,
    ::testing::Values(
        // An address the command line would alter stays off the phone; the contact's number goes.
        ContactRunCase{.label = "quoted address",
                       .model = "K110",
                       .cards = {kQuotedAddress},
                       .phoneHas = {"Eva Email 0171401"},
                       .phoneLacks = {"example"},
                       .notices = {"Eva Email eva\"x\"@example.org" + kCannotStore,
                                   QString::fromUtf8("Eva Email \xC5\x82ukasz@example.pl") + kCannotStore},
                       .desktopHas = {"Eva Email: 1:0171401 4:eva\"x\"@example.org " +
                                      QString::fromUtf8("4:\xC5\x82ukasz@example.pl")}},
        ContactRunCase{.label = "quoted address",
                       .model = "M230",
                       .cards = {kQuotedAddress},
                       .phoneHas = {"Eva Email 0171401"},
                       .phoneLacks = {"example"},
                       .notices = {"Eva Email eva\"x\"@example.org" + kCannotStore}},
        // A name outside the link's character set stays off the phone on every path.
        ContactRunCase{.label = "Polish name",
                       .model = "K110",
                       .cards = {kPolishName},
                       .phoneLacks = {"0171501"},
                       .notices = {kPolish + " 0171501" + kCannotStore}},
        ContactRunCase{.label = "Polish name",
                       .model = "D240",
                       .cards = {kPolishName},
                       .phoneLacks = {"0171501"},
                       .notices = {kPolish + " 0171501" + kCannotStore}},
        ContactRunCase{.label = "Polish name",
                       .model = "D240",
                       .cards = {kPolishName},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phoneLacks = {"0171501"},
                       .notices = {"Phone memory full, entry: " + kPolish + " 0171501" + kNotOnSim},
                       .desktopFiles = 21},
        ContactRunCase{.label = "Polish name",
                       .model = "G170",
                       .cards = {kPolishName},
                       .phoneLacks = {"0171501"},
                       .notices = {kPolish + " 0171501" + kCannotStore}},
        ContactRunCase{.label = "Polish name",
                       .model = "G170",
                       .cards = {kPolishName},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phoneLacks = {"0171501"},
                       .notices = {"Phone memory full, entry: " + kPolish + " 0171501" + kNotOnSim},
                       .desktopFiles = 21},
        // A quote in a name reaches the phone as an apostrophe; the number is then on both sides.
        ContactRunCase{.label = "quoted name",
                       .model = "K110",
                       .cards = {kQuotedName},
                       .phoneHas = {"ME 1 Robert 'Bob' Smith 0171601", "Robert 'Bob' Smith bob@example.org"},
                       .desktopHas = {"Robert \"Bob\" Smith: 1:0171601 4:bob@example.org"}},
        ContactRunCase{.label = "quoted name",
                       .model = "D240",
                       .cards = {kQuotedName},
                       .phoneHas = {"ME 1 Robert 'Bob' Smith 0171601"}},
        ContactRunCase{.label = "quoted name",
                       .model = "D240",
                       .cards = {kQuotedName},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phoneHas = {"SM 1 Robert 'Bob' S 0171601"},
                       .desktopFiles = 21},
        ContactRunCase{.label = "quoted name",
                       .model = "G170",
                       .cards = {kQuotedName},
                       .phoneHas = {"ME 1 Robert 'Bob' S 0171601"}},
        ContactRunCase{.label = "quoted name",
                       .model = "G170",
                       .cards = {kQuotedName},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phoneHas = {"SM 1 Robert 'Bob' S 0171601"},
                       .desktopFiles = 21},
        // A full name with a blank after it finds its card when a number is written to it.
        ContactRunCase{.label = "blank after the name",
                       .model = "K110",
                       .cards = {kBlankAfterName},
                       .phone = "entry=ME,1,\"0171701\",129,\"Anna Berg\",0\n"
                                "entry=ME,2,\"030702\",129,\"Anna Berg\",2\n",
                       .desktopHas = {"Anna Berg: 1:0171701 2:030702"}},
        ContactRunCase{.label = "blank after the name",
                       .model = "G170",
                       .cards = {kBlankAfterName},
                       .phone = "entry=ME,1,\"0171701\",129,\"Anna Berg\"\n"
                                "entry=ME,2,\"030702\",129,\"Anna Berg#H\"\n",
                       .desktopHas = {"Anna Berg: 1:0171701 2:030702"}},
        // The second number of one kind is the contact's too.
        ContactRunCase{.label = "two mobile numbers",
                       .model = "K110",
                       .cards = {kTwoMobiles},
                       .phone = "entry=ME,1,\"0171802\",129,\"Tom Two\",0\n",
                       .phoneHas = {"Tom Two 0171801", "Tom Two 0171802", "Tom Two 0171803"},
                       .desktopHas = {"Tom Two: 1:0171801 1:0171803 1:0171802"}},
        ContactRunCase{.label = "two mobile numbers",
                       .model = "D240",
                       .cards = {kTwoMobiles},
                       .phone = "entry=ME,1,\"0171802\",129,\"Tom Two\"\n",
                       .phoneHas = {"Tom Two 0171801", "Tom Two 0171802", "Tom Two 0171803"},
                       .desktopHas = {"Tom Two: 1:0171801 1:0171803 1:0171802"}},
        ContactRunCase{.label = "two mobile numbers",
                       .model = "G170",
                       .cards = {kTwoMobiles},
                       .phone = "entry=ME,1,\"0171802\",129,\"Tom Two\"\n",
                       .phoneHas = {"Tom Two 0171801", "Tom Two 0171802", "Tom Two 0171803"},
                       .desktopHas = {"Tom Two: 1:0171801 1:0171803 1:0171802"}},
        // Numbers the card keeps as a fax and a pager, which the phone holds as well: held already.
        ContactRunCase{.label = "numbers kept as fax and pager",
                       .model = "K110",
                       .cards = {kFaxAndPager},
                       .phone = "entry=ME,1,\"030555\",129,\"Fay Fax\",0\n"
                                "entry=ME,2,\"0171556\",129,\"Fay Fax\",0\n",
                       .phoneHas = {"Fay Fax 030555", "Fay Fax 0171556", "Fay Fax 0171557"},
                       .desktopHas = {"Fay Fax: 1:0171557"}},
        // Different people sharing their first 12 characters stay apart; cut names find their full name.
        ContactRunCase{.label = "shared beginnings",
                       .model = "K110",
                       .cards = kSharedBeginnings,
                       .meCapacity = 40,
                       .phoneKontakt = 20,
                       .phoneHas = {"Christina Bauer 0171901", "Christina Bauer 030902",
                                    "Christina Baumann 0171903", "Christina Baumann 030904",
                                    "Katharina Schneide 0171905", "Katharina Schneide 030906"},
                       .desktopHas = kTwelveShared,
                       .desktopFiles = 23},
        ContactRunCase{.label = "shared beginnings",
                       .model = "D240",
                       .cards = kSharedBeginnings,
                       .meCapacity = 40,
                       .phoneKontakt = 20,
                       .phoneHas = {"Christina Bauer 0171901", "Christina Bauer#H 030902",
                                    "Christina Baumann 0171903", "Christina Baumann#W 030904",
                                    "Katharina Schneider- 0171905", "Katharina Schneide#H 030906"},
                       .desktopHas = kTwelveShared,
                       .desktopFiles = 23},
        ContactRunCase{.label = "shared beginnings",
                       .model = "D240",
                       .cards = kSharedBeginnings,
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phoneHas = kCutOnTheSim,
                       .desktopHas = kTwelveShared,
                       .desktopFiles = 23},
        ContactRunCase{.label = "shared beginnings",
                       .model = "G170",
                       .cards = kSharedBeginnings,
                       .meCapacity = 40,
                       .phoneKontakt = 20,
                       .phoneHas = kCutOnTheSim,
                       .desktopHas = kTwelveShared,
                       .desktopFiles = 23},
        ContactRunCase{.label = "shared beginnings",
                       .model = "G170",
                       .cards = kSharedBeginnings,
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phoneHas = kCutOnTheSim,
                       .desktopHas = kTwelveShared,
                       .desktopFiles = 23},
        // The phone holds the contact's number under its name cut where a blank follows: the address
        // still finds that number's contact and goes to the phone.
        ContactRunCase{
            .label = "address of a name cut before a blank",
            .model = "K310",
            .cards = {{"g", "Grzegorz Ruiz von Hohenberg-Schwarzenfeld",
                       "EMAIL:o'neil+tag11@example.org\r\n"}},
            .phone = "entry=ME,1,\"0307314012\",129,\"Grzegorz Ruiz von \",0\n",
            .phoneHas = {"o'neil+tag11@example.org"},
            .desktopHas =
                {"Grzegorz Ruiz von Hohenberg-Schwarzenfeld: 1:0307314012 4:o'neil+tag11@example.org"}},
        // The contact's number is on the SIM card under the card's cut of the name: the address goes.
        ContactRunCase{
            .label = "address of a name the SIM card cut",
            .model = "K110",
            .cards = {kReneDecomposed},
            .phone = "entry=SM,1,\"01717919055\",129,\"Renée Müller v\"\n",
            .phoneHas = {"ME 1 Renée Müller von H renée15@example.org"},
            .desktopHas = {"Renée Müller von Hohenberg-Schwarzenfeld: 1:01717919055 4:renée15@example.org"}},
        // Decomposed letters: compared and fitted composed, on both families, handset memory and SIM.
        ContactRunCase{.label = "decomposed letters",
                       .model = "K310",
                       .cards = {{"zoe", kZoeDecomposed, "TEL;TYPE=CELL:0171 111\r\n"}, kJoseDecomposed},
                       .phone = "entry=ME,1,\"0171112\",129,\"Jos\xC3\xA9 Ruiz\",0\n",
                       .phoneHas = {kZoe + " 0171111", kJose + " 0171113"},
                       .desktopHas = {kZoe + ": 1:0171111", kJose + ": 1:0171113 1:0171112"},
                       .desktopFiles = 2},
        ContactRunCase{.label = "decomposed letters",
                       .model = "D240",
                       .cards = {{"jm", kJurgenDecomposed, "TEL;TYPE=CELL:0171 111\r\n"}, kJoseDecomposed},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = "entry=SM,1,\"0171112\",129,\"Jos\xC3\xA9 Ruiz\"\n",
                       .phoneHas = {"SM 2 ", "SM 3 ", "0171111", "0171113"},
                       .desktopHas = {kJurgen + ": 1:0171111", kJose + ": 1:0171113 1:0171112"},
                       .desktopFiles = 22},
        ContactRunCase{.label = "decomposed letters",
                       .model = "G170",
                       .cards = {{"zoe", kZoeDecomposed, "TEL;TYPE=CELL:0171 111\r\n"}, kJoseDecomposed},
                       .phone = "entry=ME,1,\"0171112\",129,\"Jos\xC3\xA9 Ruiz\"\n",
                       .phoneHas = {kZoe + " 0171111", kJose + " 0171113"},
                       .desktopHas = {kZoe + ": 1:0171111", kJose + ": 1:0171113 1:0171112"},
                       .desktopFiles = 2},
        ContactRunCase{.label = "decomposed letters",
                       .model = "G170",
                       .cards = {{"zoe", kZoeDecomposed, "TEL;TYPE=CELL:0171 111\r\n"}, kJoseDecomposed},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = "entry=SM,1,\"0171112\",129,\"Jos\xC3\xA9 Ruiz\"\n",
                       .phoneHas = {"SM 2 " + kJose + " 0171113", "SM 3 " + kZoe + " 0171111"},
                       .desktopHas = {kZoe + ": 1:0171111", kJose + ": 1:0171113 1:0171112"},
                       .desktopFiles = 22},
        // Dial strings cross as they are written; a "+" after a code stays off the phone with its notice.
        ContactRunCase{.label = "dial strings",
                       .model = "K310",
                       .cards = {kDialStrings},
                       .phone = kDialOnMe,
                       .phoneHas = {"Dora Dial 0301234p56", "Dora Dial *31#01701234"},
                       .phoneLacks = kDialLacks,
                       .notices = kDialNotices,
                       .desktopHas = kDialDesktop,
                       .desktopFiles = 2},
        ContactRunCase{.label = "dial strings",
                       .model = "D240",
                       .cards = {kDialStrings},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = kDialOnSim,
                       .phoneHas = {"SM 3 Dora Dial 0301234p56", "SM 4 Dora Dial#H *31#01701234"},
                       .phoneLacks = kDialLacks,
                       .notices = kDialNotices,
                       .desktopHas = kDialDesktop,
                       .desktopFiles = 22},
        ContactRunCase{.label = "dial strings",
                       .model = "G170",
                       .cards = {kDialStrings},
                       .phone = kDialOnMe,
                       .phoneHas = {"Dora Dial 0301234p56", "Dora Dial#H *31#01701234"},
                       .phoneLacks = kDialLacks,
                       .notices = kDialNotices,
                       .desktopHas = kDialDesktop,
                       .desktopFiles = 2},
        ContactRunCase{.label = "dial strings",
                       .model = "G170",
                       .cards = {kDialStrings},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = kDialOnSim,
                       .phoneHas = {"SM 3 Dora Dial 0301234p56", "SM 4 Dora Dial#H *31#01701234"},
                       .phoneLacks = kDialLacks,
                       .notices = kDialNotices,
                       .desktopHas = kDialDesktop,
                       .desktopFiles = 22},
        // Extensions and trunk zeros: the number as dialled reaches the phone, on both families and in
        // both memories, and a SIM card's other pause forms read back as the same number.
        ContactRunCase{.label = "extensions and trunk zeros",
                       .model = "K310",
                       .cards = {kExtensions},
                       .phone = kPauseFormsOnMe,
                       .phoneHas = kExtensionsSent,
                       .phoneLacks = kJoinedOn,
                       .desktopHas = kExtensionsDesktop,
                       .desktopFiles = 2},
        ContactRunCase{.label = "extensions and trunk zeros",
                       .model = "D240",
                       .cards = {kExtensions},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = kPauseFormsOnSim,
                       .phoneHas = kExtensionsSent,
                       .phoneLacks = kJoinedOn,
                       .desktopHas = kExtensionsDesktop,
                       .desktopFiles = 22},
        ContactRunCase{.label = "extensions, SIM reads pauses as P",
                       .model = "D240",
                       .cards = {kExtensions},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = "sim-pause=P\n",
                       .phoneHas = kExtensionsSentP,
                       .phoneLacks = kJoinedOn,
                       .desktopHas = {kEdDesktop},
                       .desktopFiles = 21},
        ContactRunCase{.label = "extensions and trunk zeros",
                       .model = "G170",
                       .cards = {kExtensions},
                       .phone = kPauseFormsOnMe,
                       .phoneHas = kExtensionsSent,
                       .phoneLacks = kJoinedOn,
                       .desktopHas = kExtensionsDesktop,
                       .desktopFiles = 2},
        ContactRunCase{.label = "extensions, SIM reads pauses as commas",
                       .model = "G170",
                       .cards = {kExtensions},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = "sim-pause=,\n",
                       .phoneHas = kExtensionsSentComma,
                       .phoneLacks = kJoinedOn,
                       .desktopHas = {kEdDesktop},
                       .desktopFiles = 21},
        // What an earlier version sent, the extension or trunk zero joined on, is the number's copy:
        // neither sent again nor written into the card.
        ContactRunCase{.label = "copies joined on by earlier versions",
                       .model = "K310",
                       .cards = {kExtensions},
                       .phone = kJoinedOnMe,
                       .phoneHas = kJoinedOnKept,
                       .phoneLacks = kExtensionsSent,
                       .desktopHas = {kEdDesktop}},
        ContactRunCase{.label = "copies joined on by earlier versions",
                       .model = "D240",
                       .cards = {kExtensions},
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = kJoinedOnSim,
                       .phoneHas = kJoinedOnKept,
                       .phoneLacks = kExtensionsSent,
                       .desktopHas = {kEdDesktop},
                       .desktopFiles = 21},
        ContactRunCase{.label = "copies joined on by earlier versions",
                       .model = "G170",
                       .cards = {kExtensions},
                       .phone = kJoinedOnMe,
                       .phoneHas = kJoinedOnKept,
                       .phoneLacks = kExtensionsSent,
                       .desktopHas = {kEdDesktop}},
        // Cards in the Windows code page: read as such, the phone's entry of that name fills the card, and
        // the card's other bytes stay as they were.
        ContactRunCase{.label = "code page card",
                       .model = "K310",
                       .cards = kCodePageCards,
                       .phone = "entry=ME,1,\"0171902\",129,\"Jos\xC3\xA9 Ruiz\",0\n",
                       .phoneHas = {kJose + " 0171901", kRene + " 0171903"},
                       .desktopHas = kCodePageDesktop,
                       .desktopFiles = 2,
                       .firstCardKeeps = kCodePageKept},
        ContactRunCase{.label = "code page card",
                       .model = "D240",
                       .cards = kCodePageCards,
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = "entry=SM,1,\"0171902\",129,\"Jos\xC3\xA9 Ruiz\"\n",
                       .phoneHas = {"SM 2 ", "SM 3 ", "0171901", "0171903"},
                       .desktopHas = kCodePageDesktop,
                       .desktopFiles = 22,
                       .firstCardKeeps = kCodePageKept},
        ContactRunCase{.label = "code page card",
                       .model = "G170",
                       .cards = kCodePageCards,
                       .phone = "entry=ME,1,\"0171902\",129,\"Jos\xC3\xA9 Ruiz\"\n",
                       .phoneHas = {kJose + " 0171901", kRene + " 0171903"},
                       .desktopHas = kCodePageDesktop,
                       .desktopFiles = 2,
                       .firstCardKeeps = kCodePageKept},
        ContactRunCase{.label = "code page card",
                       .model = "G170",
                       .cards = kCodePageCards,
                       .meCapacity = 20,
                       .phoneKontakt = 20,
                       .phone = "entry=SM,1,\"0171902\",129,\"Jos\xC3\xA9 Ruiz\"\n",
                       .phoneHas = {"SM 2 " + kJose + " 0171901", "SM 3 " + kRene + " 0171903"},
                       .desktopHas = kCodePageDesktop,
                       .desktopFiles = 22,
                       .firstCardKeeps = kCodePageKept}));

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

// Events whose text the phone or the desktop could read back otherwise than it went out. Three runs in a
// row: the first moves what each side lacks, the later ones move nothing, and every event is held
// once on each side (or stays off the phone with its notice).
struct CalendarTrip
{
    const char *name;
    const char *model;
    const char *desktop;          // VEVENT lines per event, events separated by "--\r\n"
    const char *phone;            // handset contents
    const char *desktopAfter;     // "typ title" per event, sorted, separated by "|"
    const char *phoneAfter;       // "record moment kKIND text" per event, sorted, separated by "|"
    const char *notice;           // in the details after every run, or empty
    const char *leads;            // "title lead" per desktop event with a reminder, sorted, or empty
    const char *zone = "";        // the local zone of the runs (TZ), or empty for the one in force
    const char *starts = "";      // "title yyyy-MM-dd HH:mm UTC+minutes" per desktop event, sorted, or empty
    const char *alarms = "";      // "text HH:mm" per phone event with an alarm (its face), sorted, or empty
    const char *firstNotice = ""; // in the details after the first run, or empty
    const char *zones = "";       // VTIMEZONE blocks in every desktop file, or empty
    const char *faces = "";       // "subject DTSTART DTEND" per desktop file as written, sorted, or empty
};

void PrintTo(const CalendarTrip &t, std::ostream *os)
{
    *os << t.name << '_' << t.model;
}

class CalendarRoundTrip : public ::testing::TestWithParam<CalendarTrip>
{
};

namespace {

QStringList phoneEvents(phonesim::HandsetContents &c)
{
    QStringList r;
    for (const auto &[index, e] : c.calendar)
        r << e.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(" k%1 ").arg(e.kind) +
                 e.text;
    r.sort();
    return r;
}

QStringList splitRows(const char *rows)
{
    return QString::fromUtf8(rows).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

// The face at which each phone alarm rings: the record's own time on the first family, the alarm's
// time of day on the second.
QStringList phoneAlarms(phonesim::HandsetContents &c)
{
    QStringList r;
    for (const auto &[index, e] : c.calendar)
        if (e.alarm)
            r << e.text.trimmed() + u' ' +
                     e.alarmTime.value_or(e.when.time()).toString(QStringLiteral("HH:mm"));
    r.sort();
    return r;
}

// The runs' local zone, for as long as the test runs.
class LocalZone
{
public:
    explicit LocalZone(const char *zone) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        if (*zone)
            set(zone);
    }
    ~LocalZone()
    {
        if (m_had) {
            set(m_old);
        } else {
            qunsetenv("TZ");
            tzset();
        }
    }

private:
    static void set(const QByteArray &zone)
    {
        qputenv("TZ", zone);
        tzset();
    }
    bool m_had;
    QByteArray m_old;
};

// Reminders of a day or more: the first family keeps the start exact and the longest lead it can hold.
const char *kLongLeads =
    "SUMMARY:Birthday: Zoe\r\nDTSTART:19900315T000000\r\nDTEND:19900315T003000\r\n"
    "RRULE:FREQ=YEARLY\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Zoe\r\n"
    "TRIGGER:-P1D\r\nEND:VALARM\r\n--\r\n"
    "SUMMARY:Dentist\r\nDTSTART:20260310T093000\r\nDTEND:20260310T100000\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:D\r\nTRIGGER:-P1D\r\nEND:VALARM\r\n--\r\n"
    "SUMMARY:Checkup\r\nDTSTART:20260312T080000\r\nDTEND:20260312T083000\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:C\r\nTRIGGER:-P2D\r\nEND:VALARM\r\n";

// A title that begins with a time of its own, with the reminder at the start.
const char *kTimedTitle = "SUMMARY:10:30 Standup\r\nDTSTART:20260311T090000\r\nDTEND:20260311T093000\r\n"
                          "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:S\r\nTRIGGER:PT0M\r\nEND:VALARM\r\n";

// Plain events on the phone whose first word is a kind keyword, in English and German.
const char *kKeywordTitles = "event=1,1,2026-03-10 09:00,0,,\"Call Bob\"\n"
                             "event=2,1,2026-03-11 09:00,0,,\"Birthday party\"\n"
                             "event=3,1,2026-03-12 09:00,0,,\"Anruf Oma\"\n"
                             "event=4,1,2026-03-13 09:00,0,,\"Meeting: Review\"\n";
const char *kKeywordDesktop = "1 Anruf Oma|1 Birthday party|1 Call Bob|1 Meeting: Review";
const char *kKeywordPhone = "2026-03-10 09:00 k1 Call Bob|2026-03-11 09:00 k1 Birthday party|"
                            "2026-03-12 09:00 k1 Anruf Oma|2026-03-13 09:00 k1 Meeting: Review";

// A title outside the link's code page stays off the phone; one inside it goes.
const char *kCodePage =
    "SUMMARY:Spotkanie z Łukaszem\r\nDTSTART:20260310T100000\r\nDTEND:20260310T103000\r\n--\r\n"
    "SUMMARY:Café Müller\r\nDTSTART:20260311T100000\r\nDTEND:20260311T103000\r\n";
// The second family keeps only an alarm's time of day: one the evening before is that much earlier.
const char *kEveningAlarm = "event=5,1,2026-03-13 00:10,1,23:50,\"Late\"\n";

// A title written with decomposed letters ("e" and a combining diaeresis), as some tools write them.
const char *kDecomposedTitle =
    "SUMMARY:Zoe\xCC\x88 und Jose\xCC\x81\r\nDTSTART:20260312T100000\r\nDTEND:20260312T103000\r\n";

const char *kCodePageNotice = "Spotkanie z Łukaszem contains characters the phone cannot store. Not stored.";

// Clock changes of Europe/Berlin: 2027-03-28 skips 02:00-03:00, 2026-10-25 shows 02:00-03:00 twice.
const char *kBerlin = "Europe/Berlin";

// A phone event in the skipped hour, one with its reminder there, and one in the repeated hour.
const char *kVelmoraChangeFaces = "event=1,1,2027-03-28 02:30,0,,\"Dentist\"\n"
                                  "event=2,1,2027-03-28 02:15,1,,\"03:00 Standup\"\n"
                                  "event=3,1,2026-10-25 02:30,0,,\"Late show\"\n";
const char *kTarvexChangeFaces = "event=1,1,2027-03-28 02:30,0,,\"Dentist\"\n"
                                 "event=2,1,2027-03-28 03:00,1,02:15,\"Standup\"\n"
                                 "event=3,1,2026-10-25 02:30,0,,\"Late show\"\n";
const char *kChangeFacesDesktop = "1 Dentist|1 Late show|1 Standup";
// The skipped face moves on by the gap; the repeated one is its first moment (summer time).
const char *kChangeFacesStarts = "Dentist 2027-03-28 03:30 UTC+120|Late show 2026-10-25 02:30 UTC+120|"
                                 "Standup 2027-03-28 03:00 UTC+120";

// Desktop events in the skipped and in the repeated hour.
const char *kDesktopChangeFaces =
    "SUMMARY:Review\r\nDTSTART:20270328T023000\r\nDTEND:20270328T030000\r\n--\r\n"
    "SUMMARY:Night train\r\nDTSTART:20261025T024500\r\nDTEND:20261025T031500\r\n";
const char *kDesktopChangeStarts = "Night train 2026-10-25 02:45 UTC+120|Review 2027-03-28 03:30 UTC+120";
const char *kDesktopChangePhone = "2026-10-25 02:45 k1 Night train |2027-03-28 03:30 k1 Review ";

// Reminders across a change, counted on the clock face both ways: two hours before 03:30 on the day
// the clock skips an hour is 01:30, and an hour before 03:30 on the day it repeats one is 02:30.
const char *kLeadsAcrossChange =
    "SUMMARY:Gym\r\nDTSTART:20270328T033000\r\nDTEND:20270328T040000\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:G\r\nTRIGGER:-PT120M\r\nEND:VALARM\r\n--\r\n"
    "SUMMARY:Fall\r\nDTSTART:20261025T033000\r\nDTEND:20261025T040000\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:F\r\nTRIGGER:-PT60M\r\nEND:VALARM\r\n";
const char *kVelmoraSwim = "event=4,1,2027-03-28 01:30,1,,\"03:30 Swim\"\n";
const char *kTarvexSwim = "event=4,1,2027-03-28 03:30,1,01:30,\"Swim\"\n";

// A description the link's code page cannot hold: the event goes without it, with a notice.
const char *kDescriptionCodePage = "SUMMARY:Lunch\r\nDESCRIPTION:Spotkanie z Łukaszem\r\n"
                                   "DTSTART:20260310T120000\r\nDTEND:20260310T123000\r\n";
const char *kDescriptionNotice =
    "Lunch: description contains characters the phone cannot store. Sent without it.";

// An event without a title meets only another one without a title, not the phone's Dentist.
const char *kUntitled = "DTSTART:20260310T090000\r\nDTEND:20260310T093000\r\n";
const char *kDentistAtNine = "event=1,1,2026-03-10 09:00,0,,\"Dentist\"\n";

// Found by the generator (seed 1601): an untitled event whose description holds double quotes.
const char *kUntitledQuotedBody =
    "DTSTART:20260511T004500\r\nDTEND:20260511T011500\r\nDESCRIPTION:Say \"hi\"\r\n";
// Found by the generator (seed 1969, Europe/Berlin): a yearly phone event whose time of day this year's
// clock change skips on its anniversary; it is placed by the one rule, once.
const char *kYearlyInSkippedHour = "event=3,4,2027-03-29 02:45,1,02:45,\"Review 7\"\n";

// Phone events in the hour Europe/Berlin repeats on 2027-10-31: each ends half an hour later on the
// face, past the change, not at its start. One just before the hour skipped on 2027-03-28 ends after it.
const char *kChangeDayEndsOnPhone = "event=1,1,2027-10-31 02:30,0,,\"Encore\"\n"
                                    "event=2,1,2027-10-31 02:45,0,,\"Night bus\"\n"
                                    "event=3,1,2027-10-31 02:59,0,,\"Last call\"\n"
                                    "event=4,1,2027-03-28 01:40,0,,\"Early bird\"\n";
const char *kChangeDayEndsPhone = "2027-03-28 01:40 k1 Early bird|2027-10-31 02:30 k1 Encore|"
                                  "2027-10-31 02:45 k1 Night bus|2027-10-31 02:59 k1 Last call";
const char *kChangeDayEndsStarts = "Early bird 2027-03-28 01:40 UTC+60|Encore 2027-10-31 02:30 UTC+120|"
                                   "Last call 2027-10-31 02:59 UTC+120|Night bus 2027-10-31 02:45 UTC+120";
const char *kChangeDayEndsFaces = "Early bird 20270328T014000 20270328T031000|"
                                  "Encore 20271031T023000 20271031T030000|"
                                  "Last call 20271031T025900 20271031T032900|"
                                  "Night bus 20271031T024500 20271031T031500";

// A birthday first written at a midnight America/Santiago skipped (2019-09-08): every later year that
// shows midnight has it at midnight.
const char *kSantiago = "America/Santiago";
const char *kBirthdayInSkippedMidnight =
    "SUMMARY:Birthday: Ana\r\nDTSTART:20190908T000000\r\nDTEND:20190908T003000\r\nRRULE:FREQ=YEARLY\r\n";
const char *kBirthdayInSkippedMidnightFaces = "Birthday: Ana 20190908T000000 20190908T003000";

// Yearly phone events at 03:00, a face Pacific/Chatham skips (02:45-03:45) on 2026-09-27 and on
// 2027-09-26: the series keeps 03:00; only the anniversary that falls in the gap is placed by the rule.
const char *kChatham = "Pacific/Chatham";
const char *kYearlyInChathamGap = "event=1,4,2026-09-27 03:00,0,,\"Kauri\"\n"
                                  "event=2,4,2027-09-26 03:00,0,,\"Rata\"\n";
const char *kYearlyInChathamGapFaces = "Birthday: Kauri 20260927T030000 20260927T033000|"
                                       "Birthday: Rata 20260926T030000 20260926T033000";

// Titles that begin with blanks come back with them, from either side.
const char *kPaddedTitle = "SUMMARY:  Standup\r\nDTSTART:20260311T090000\r\nDTEND:20260311T093000\r\n";
const char *kPaddedOnPhone = "event=2,1,2026-03-12 09:00,0,,\"  Lunch\"\n";

// Zones other desktops' calendar programs define in the file itself: a display name with the rules in a
// block, a zone the user made up (two hours east, three in summer from the last Sunday of March), what
// khal writes for an IANA name (a block without rules), and a name nothing describes.
const char *kFileZoneBlocks =
    "BEGIN:VTIMEZONE\r\nTZID:(UTC-05:00) Eastern Time (US & Canada)\r\n"
    "BEGIN:STANDARD\r\nDTSTART:16010101T020000\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\n"
    "RRULE:FREQ=YEARLY;BYDAY=1SU;BYMONTH=11\r\nEND:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:16010101T020000\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\n"
    "RRULE:FREQ=YEARLY;BYDAY=2SU;BYMONTH=3\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:Customized Time Zone\r\n"
    "BEGIN:STANDARD\r\nDTSTART:16010101T040000\r\nTZOFFSETFROM:+0300\r\nTZOFFSETTO:+0200\r\n"
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=10\r\nEND:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\nDTSTART:16010101T030000\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0300\r\n"
    "RRULE:FREQ=YEARLY;BYDAY=-1SU;BYMONTH=3\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n"
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\nDTSTART:20261025T030000\r\nTZNAME:CET\r\n"
    "TZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
const char *kFileZoneEvents =
    "SUMMARY:NY call\r\nDTSTART;TZID=\"(UTC-05:00) Eastern Time (US & Canada)\":20270325T100000\r\n"
    "DTEND;TZID=\"(UTC-05:00) Eastern Time (US & Canada)\":20270325T103000\r\n"
    "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:N\r\nTRIGGER:-PT30M\r\nEND:VALARM\r\n--\r\n"
    "SUMMARY:Custom\r\nDTSTART;TZID=Customized Time Zone:20270401T100000\r\n"
    "DTEND;TZID=Customized Time Zone:20270401T103000\r\n--\r\n"
    "SUMMARY:Khal\r\nDTSTART;TZID=Europe/Berlin:20270701T100000\r\nDTEND;TZID=Europe/"
    "Berlin:20270701T103000\r\n"
    "--\r\n"
    "SUMMARY:Rover\r\nDTSTART;TZID=Mars/Olympus:20270325T120000\r\nDTEND;TZID=Mars/"
    "Olympus:20270325T123000\r\n";
const char *kFileZoneDesktop = "1 Custom|1 Khal|1 NY call|1 Rover";
const char *kFileZoneStarts = "Custom 2027-04-01 09:00 UTC+120|Khal 2027-07-01 10:00 UTC+120|"
                              "NY call 2027-03-25 15:00 UTC+60|Rover 2027-03-25 12:00 UTC+60";
const char *kFileZoneNotice = "Unknown time zone, time read as local time: Rover (Mars/Olympus)";

} // namespace

TEST_P(CalendarRoundTrip, LaterRunsMoveNothingAndEveryEventIsHeldOnce)
{
    const CalendarTrip &t = GetParam();
    const LocalZone zone(t.zone);
    WholeRunRig rig(QString::fromLatin1(t.model), QString::fromUtf8(t.phone));
    ASSERT_TRUE(rig.initOk);
    globals().gCallWords.add(QStringLiteral("Anruf"));
    const QStringList events =
        QString::fromUtf8(t.desktop).split(QStringLiteral("--\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < events.size(); ++i)
        rig.addEvent(QStringLiteral("e%1").arg(i), events.at(i), QString::fromUtf8(t.zones));

    for (int run = 1; run <= 3; ++run) {
        ASSERT_TRUE(rig.run(true));
        EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Data exchange successfully completed.")))
            << run << rig.view.text.toStdString();
        if (run > 1) {
            EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Sending 0 events to Outlook\u00AE...")))
                << run << rig.view.text.toStdString();
            EXPECT_TRUE(
                rig.view.text.contains(QStringLiteral("Sending 0 events to the Velmora\u00AE phone...")))
                << run << rig.view.text.toStdString();
        }
        EXPECT_EQ(rig.desktopEvents(), splitRows(t.desktopAfter)) << run;
        EXPECT_EQ(QDir(rig.calendarDir()).entryList({QStringLiteral("*.ics")}).size(),
                  splitRows(t.desktopAfter).size())
            << run;
        EXPECT_EQ(phoneEvents(rig.port.contents()), splitRows(t.phoneAfter)) << run;
        if (run == 1 && *t.firstNotice) {
            EXPECT_TRUE(globals().gDetails.contains(QString::fromUtf8(t.firstNotice)))
                << globals().gDetails.toStdString();
        }
        if (*t.notice) {
            EXPECT_TRUE(globals().gDetails.contains(QString::fromUtf8(t.notice)))
                << run << globals().gDetails.toStdString();
        }
        if (*t.leads) {
            EXPECT_EQ(rig.desktopReminders(), splitRows(t.leads)) << run;
        }
        if (*t.starts) {
            EXPECT_EQ(rig.desktopStarts(), splitRows(t.starts)) << run;
        }
        if (*t.alarms) {
            EXPECT_EQ(phoneAlarms(rig.port.contents()), splitRows(t.alarms)) << run;
        }
        if (*t.faces) {
            EXPECT_EQ(rig.desktopFaces(), splitRows(t.faces)) << run;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CalendarRoundTrip,
    ::testing::Values(
        CalendarTrip{"LongLead", "K110", kLongLeads, "", "1 Checkup|1 Dentist|4 Zoe",
                     "2026-03-09 09:31 k1 09:30 Dentist |2026-03-11 08:01 k1 08:00 Checkup |"
                     "2026-03-14 00:01 k1 00:00 Zoe ",
                     "", ""},
        CalendarTrip{"LongLead", "D240", kLongLeads, "", "1 Checkup|1 Dentist|4 Zoe",
                     "2026-03-09 09:31 k1 09:30 Dentist |2026-03-11 08:01 k1 08:00 Checkup |"
                     "2026-03-14 00:01 k1 00:00 Zoe ",
                     "", ""},
        CalendarTrip{"LongLead", "G170", kLongLeads, "", "1 Checkup|1 Dentist|4 Zoe",
                     "2026-03-10 09:30 k1 Dentist |2026-03-12 08:00 k1 Checkup |2026-03-15 00:00 k4 Zoe ", "",
                     ""},
        CalendarTrip{"TimedTitle", "K110", kTimedTitle, "", "1 10:30 Standup",
                     "2026-03-11 09:00 k1 09:00 10:30 Standup ", "", ""},
        CalendarTrip{"TimedTitle", "D240", kTimedTitle, "", "1 10:30 Standup",
                     "2026-03-11 09:00 k1 09:00 10:30 Standup ", "", ""},
        CalendarTrip{"TimedTitle", "G170", kTimedTitle, "", "1 10:30 Standup",
                     "2026-03-11 09:00 k1 10:30 Standup ", "", ""},
        CalendarTrip{"KeywordTitle", "K110", "", kKeywordTitles, kKeywordDesktop, kKeywordPhone, "", ""},
        CalendarTrip{"KeywordTitle", "D240", "", kKeywordTitles, kKeywordDesktop, kKeywordPhone, "", ""},
        CalendarTrip{"KeywordTitle", "G170", "", kKeywordTitles, kKeywordDesktop, kKeywordPhone, "", ""},
        CalendarTrip{"CodePage", "K110", kCodePage, "", "1 Café Müller|1 Spotkanie z Łukaszem",
                     "2026-03-11 09:45 k1 10:00 Café Müller ", kCodePageNotice, ""},
        CalendarTrip{"CodePage", "D240", kCodePage, "", "1 Café Müller|1 Spotkanie z Łukaszem",
                     "2026-03-11 09:45 k1 10:00 Café Müller ", kCodePageNotice, ""},
        CalendarTrip{"CodePage", "G170", kCodePage, "", "1 Café Müller|1 Spotkanie z Łukaszem",
                     "2026-03-11 10:00 k1 Café Müller ", kCodePageNotice, ""},
        CalendarTrip{"DecomposedTitle", "K110", kDecomposedTitle, "", "1 Zoë und José",
                     "2026-03-12 09:45 k1 10:00 Zoë und José ", "", ""},
        CalendarTrip{"DecomposedTitle", "G170", kDecomposedTitle, "", "1 Zoë und José",
                     "2026-03-12 10:00 k1 Zoë und José ", "", ""},
        CalendarTrip{"EveningAlarm", "G170", "", kEveningAlarm, "1 Late", "2026-03-13 00:10 k1 Late", "",
                     "Late 20"},
        CalendarTrip{"ChangeFacesOnPhone", "K310", "", kVelmoraChangeFaces, kChangeFacesDesktop,
                     "2026-10-25 02:30 k1 Late show|2027-03-28 02:15 k1 03:00 Standup|"
                     "2027-03-28 02:30 k1 Dentist",
                     "", "Standup 45", kBerlin, kChangeFacesStarts, "03:00 Standup 02:15"},
        CalendarTrip{"ChangeFacesOnPhone", "G170", "", kTarvexChangeFaces, kChangeFacesDesktop,
                     "2026-10-25 02:30 k1 Late show|2027-03-28 02:30 k1 Dentist|2027-03-28 03:00 k1 Standup",
                     "", "Standup 45", kBerlin, kChangeFacesStarts, "Standup 02:15"},
        CalendarTrip{"ChangeFacesOnDesktop", "K310", kDesktopChangeFaces, "", "1 Night train|1 Review",
                     "2026-10-25 02:30 k1 02:45 Night train |2027-03-28 03:15 k1 03:30 Review ", "", "",
                     kBerlin, kDesktopChangeStarts},
        CalendarTrip{"ChangeFacesOnDesktop", "G170", kDesktopChangeFaces, "", "1 Night train|1 Review",
                     kDesktopChangePhone, "", "", kBerlin, kDesktopChangeStarts},
        CalendarTrip{"LeadsAcrossChange", "K310", kLeadsAcrossChange, kVelmoraSwim, "1 Fall|1 Gym|1 Swim",
                     "2026-10-25 02:30 k1 03:30 Fall |2027-03-28 01:30 k1 03:30 Gym |"
                     "2027-03-28 01:30 k1 03:30 Swim",
                     "", "Fall 60|Gym 120|Swim 120", kBerlin, "",
                     "03:30 Fall 02:30|03:30 Gym 01:30|03:30 Swim 01:30"},
        CalendarTrip{"LeadsAcrossChange", "G170", kLeadsAcrossChange, kTarvexSwim, "1 Fall|1 Gym|1 Swim",
                     "2026-10-25 03:30 k1 Fall |2027-03-28 03:30 k1 Gym |2027-03-28 03:30 k1 Swim", "",
                     "Fall 60|Gym 120|Swim 120", kBerlin, "", "Fall 02:30|Gym 01:30|Swim 01:30"},
        CalendarTrip{"DescriptionCodePage", "K310", kDescriptionCodePage, "", "1 Lunch",
                     "2026-03-10 11:45 k1 12:00 Lunch ", "", "", "", "", "", kDescriptionNotice},
        CalendarTrip{"DescriptionCodePage", "G170", kDescriptionCodePage, "", "1 Lunch",
                     "2026-03-10 12:00 k1 Lunch ", "", "", "", "", "", kDescriptionNotice},
        CalendarTrip{"UntitledEvent", "K310", kUntitled, kDentistAtNine, "1 |1 Dentist",
                     "2026-03-10 08:45 k1 09:00  |2026-03-10 09:00 k1 Dentist", "", ""},
        CalendarTrip{"UntitledEvent", "G170", kUntitled, kDentistAtNine, "1 |1 Dentist",
                     "2026-03-10 09:00 k1  |2026-03-10 09:00 k1 Dentist", "", ""},
        CalendarTrip{"UntitledQuotedBody", "H280X", kUntitledQuotedBody, "", "1 ",
                     "2026-05-11 00:45 k1  Say  hi ", "", ""},
        CalendarTrip{"YearlyInSkippedHour", "F660", "", kYearlyInSkippedHour, "4 Review 7",
                     "2027-03-29 02:45 k4 Review 7", "", "Review 7 0", kBerlin,
                     "Review 7 2026-03-29 03:45 UTC+120"},
        CalendarTrip{"ChangeDayEnds", "K310", "", kChangeDayEndsOnPhone,
                     "1 Early bird|1 Encore|1 Last call|1 Night bus", kChangeDayEndsPhone, "", "", kBerlin,
                     kChangeDayEndsStarts, "", "", "", kChangeDayEndsFaces},
        CalendarTrip{"ChangeDayEnds", "G170", "", kChangeDayEndsOnPhone,
                     "1 Early bird|1 Encore|1 Last call|1 Night bus", kChangeDayEndsPhone, "", "", kBerlin,
                     kChangeDayEndsStarts, "", "", "", kChangeDayEndsFaces},
        CalendarTrip{"BirthdayInSkippedMidnight", "K310", kBirthdayInSkippedMidnight, "", "4 Ana",
                     "2026-09-07 23:45 k1 00:00 Ana ", "", "", kSantiago, "", "", "", "",
                     kBirthdayInSkippedMidnightFaces},
        CalendarTrip{"BirthdayInSkippedMidnight", "G170", kBirthdayInSkippedMidnight, "", "4 Ana",
                     "2026-09-08 00:00 k4 Ana ", "", "", kSantiago, "", "", "", "",
                     kBirthdayInSkippedMidnightFaces},
        CalendarTrip{"YearlyInChathamGap", "G170", "", kYearlyInChathamGap, "4 Kauri|4 Rata",
                     "2026-09-27 03:00 k4 Kauri|2027-09-26 03:00 k4 Rata", "", "", kChatham,
                     "Kauri 2026-09-27 04:00 UTC+825|Rata 2026-09-26 03:00 UTC+765", "", "", "",
                     kYearlyInChathamGapFaces},
        CalendarTrip{"PaddedTitle", "K310", kPaddedTitle, kPaddedOnPhone, "1   Lunch|1   Standup",
                     "2026-03-11 08:45 k1 09:00   Standup |2026-03-12 09:00 k1   Lunch", "", ""},
        CalendarTrip{"PaddedTitle", "G170", kPaddedTitle, kPaddedOnPhone, "1   Lunch|1   Standup",
                     "2026-03-11 09:00 k1   Standup |2026-03-12 09:00 k1   Lunch", "", ""},
        CalendarTrip{"FileZones", "K310", kFileZoneEvents, "", kFileZoneDesktop,
                     "2027-03-25 11:45 k1 12:00 Rover |2027-03-25 14:30 k1 15:00 NY call |"
                     "2027-04-01 08:45 k1 09:00 Custom |2027-07-01 09:45 k1 10:00 Khal ",
                     kFileZoneNotice, "NY call 30", kBerlin, kFileZoneStarts, "15:00 NY call 14:30", "",
                     kFileZoneBlocks},
        CalendarTrip{"FileZones", "G170", kFileZoneEvents, "", kFileZoneDesktop,
                     "2027-03-25 12:00 k1 Rover |2027-03-25 15:00 k1 NY call |2027-04-01 09:00 k1 Custom |"
                     "2027-07-01 10:00 k1 Khal ",
                     kFileZoneNotice, "NY call 30", kBerlin, kFileZoneStarts, "NY call 14:30", "",
                     kFileZoneBlocks}),
    [](const ::testing::TestParamInfo<CalendarTrip> &i) {
        return std::string(i.param.name) + '_' + i.param.model;
    });

namespace {

// How a run is cut while one of its commands waits for a reply that never comes (the handset lost it
// but keeps sending its signal reports).
enum class Cut
{
    Stop,     // the user presses Stop and confirms
    HangUp,   // the link drops (cable pulled, phone off)
    Deadline, // nobody does anything: the command's own deadline gives the phone up
};

struct CutCase
{
    const char *model;
    bool calendar;
    Cut cut;
};

void PrintTo(const CutCase &c, std::ostream *os)
{
    *os << c.model << (c.calendar ? " calendar " : " contacts ")
        << (c.cut == Cut::Stop     ? "stop"
            : c.cut == Cut::HangUp ? "hang-up"
                                   : "deadline");
}

class CutAtEveryCommand : public ::testing::TestWithParam<CutCase>
{
protected:
    std::unique_ptr<WholeRunRig> makeRig() const
    {
        const bool tarvex = QLatin1String(GetParam().model).startsWith(QLatin1Char('G'));
        auto rig = std::make_unique<WholeRunRig>(
            QLatin1String(GetParam().model),
            QStringLiteral("entry=SM,1,\"+4911\",145,\"Anna\"\nentry=ME,2,\"0301\",129,\"Carl\"\n") +
                (tarvex ? QStringLiteral("event=3,1,2026-03-09 10:30,1,10:15,\"Review\"\n")
                        : QStringLiteral("event=1,1,2026-03-09 08:45,1,,\"09:00 Dentist\"\n")));
        rig->addContact(QStringLiteral("bert"), QStringLiteral("Bert"),
                        QStringLiteral("TEL;TYPE=CELL:0171 999\r\n"));
        rig->shell.queryCancel = 0; // the window's own close policy lets it go once no run holds it
        return rig;
    }
};

} // namespace

TEST_P(CutAtEveryCommand, EndsAtOnceLeavesTheWindowClosableAndTheNextRunGoesThrough)
{
    const CutCase c = GetParam();
    int total = 0;
    {
        auto clean = makeRig();
        ASSERT_TRUE(clean->run(c.calendar));
        total = int(clean->port.commandLines().size());
    }
    for (int n = 1; n <= total; ++n) {
        SCOPED_TRACE(n);
        auto rig = makeRig();
        rig->port.faults().rules.push_back({phonesim::FaultAction::Chatter, n, QString()});
        c.calendar ? rig->fm->StartCalendar() : rig->fm->StartContacts();
        for (int i = 0; i < 100000 && rig->port.commandLines().size() < n; ++i) {
            rig->port.deliverDue();
            rig->time.advance(10);
        }
        ASSERT_EQ(rig->port.commandLines().size(), n);
        rig->time.advance(20000); // signal reports keep coming: far past the watchdog's interval
        ASSERT_NE(rig->fm->syncState, Idle);
        ASSERT_EQ(rig->boxes.count(), 0) << rig->boxes.texts().join(QLatin1Char('|')).toStdString();

        if (c.cut == Cut::Stop)
            rig->fm->clickStop();
        else if (c.cut == Cut::HangUp)
            rig->port.hangUp();
        else
            rig->time.advance(AtDriverBase::kCommandDeadlineMs - 20000);
        rig->time.advance(200); // the step timer's next tick
        EXPECT_EQ(rig->fm->syncState, Idle);
        if (c.cut == Cut::Stop) {
            EXPECT_EQ(rig->boxes.texts(),
                      (QStringList{QStringLiteral("Operation in progress. Quit anyway?"),
                                   QStringLiteral("Process Interrupted. Some task were not completed")}));
            EXPECT_EQ(rig->tray.state, TrayIcon::Ready);
        } else {
            EXPECT_EQ(
                rig->boxes.texts(),
                QStringList{QStringLiteral("Could not find the phone. Check the connection and try again.")});
            EXPECT_EQ(rig->tray.state, TrayIcon::Stopped);
            EXPECT_FALSE(rig->fm->handler());
        }
        EXPECT_FALSE(rig->view.shown);
        EXPECT_EQ(rig->fm->queryUnload(0, 0), 0);
        EXPECT_FALSE(rig->fm->InterruptQuery);

        // Nothing more goes to the phone while its reports run out.
        rig->time.advance(200000);
        EXPECT_EQ(rig->port.commandLines().size(), n);
        EXPECT_EQ(rig->fm->syncState, Idle);

        rig->boxes.clear();
        rig->port.faults().rules.clear();
        if (c.cut != Cut::Stop) {
            ASSERT_TRUE(rig->detectAgain());
        }
        ASSERT_TRUE(rig->run(c.calendar));
        EXPECT_TRUE(rig->view.text.endsWith(QStringLiteral("Data exchange successfully completed.")))
            << rig->view.text.toStdString();
        EXPECT_EQ(rig->boxes.count(), 0) << rig->boxes.texts().join(QLatin1Char('|')).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    BothFamilies, CutAtEveryCommand,
    ::testing::Values(CutCase{"K110", false, Cut::Stop}, CutCase{"K110", false, Cut::HangUp},
                      CutCase{"K110", false, Cut::Deadline}, CutCase{"K110", true, Cut::Stop},
                      CutCase{"K110", true, Cut::HangUp}, CutCase{"K110", true, Cut::Deadline},
                      CutCase{"G170", false, Cut::Stop}, CutCase{"G170", false, Cut::HangUp},
                      CutCase{"G170", false, Cut::Deadline}, CutCase{"G170", true, Cut::Stop},
                      CutCase{"G170", true, Cut::HangUp}, CutCase{"G170", true, Cut::Deadline}));

// The first run meets a store that will not take a write, or a card another program holds or that has
// a second name: nothing counts as written that is not on the disk, no contact gets a second card, and
// the card gets its number on the first run that can write it; the runs after that move nothing.
enum class Trouble
{
    FileTooLarge,  // every write of the first run fails for want of room
    LeaseGivenUp,  // another program holds the first card under a lease, writes its edit and lets go
    LeaseHeld,     // ... and keeps it through the first run
    LeasesHeld,    // another program holds every card through the first run
    LinkedShrinks, // the first card has a second name, and its new text would be shorter than the old
};

struct TroubleCase
{
    const char *label;
    Trouble trouble;
    int cards; // "Anna", "Bert", "Cleo": each on the phone with a number, on the desktop without
};

void PrintTo(const TroubleCase &c, std::ostream *os)
{
    *os << c.label << " with " << c.cards << " cards";
}

// Another process holding a write lease on `path` until the pipe `control` is closed; on being told to
// let go it writes `edit` over the file and gives the lease up (saying so on the pipe `released`), or
// keeps it.
pid_t holdLease(const QByteArray &path, bool giveUp, const QByteArray &edit, const int control[2],
                const int released[2])
{
    sigset_t io;
    sigemptyset(&io);
    sigaddset(&io, SIGIO);
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    ::sigprocmask(SIG_BLOCK, &io, nullptr);
    ::close(control[1]);
    ::close(released[0]);
    const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    char c = 'l';
    if (fd < 0 || ::fcntl(fd, F_SETLEASE, F_WRLCK) != 0 || ::write(released[1], &c, 1) != 1)
        ::_exit(2);
    if (giveUp) {
        siginfo_t info;
        ::sigwaitinfo(&io, &info);
        if (::pwrite(fd, edit.constData(), size_t(edit.size()), 0) != edit.size() ||
            ::fcntl(fd, F_SETLEASE, F_UNLCK) != 0 || ::write(released[1], &c, 1) != 1)
            ::_exit(3);
    }
    while (::read(control[0], &c, 1) > 0) {
    }
    ::_exit(0);
}

class StoreTroubleRuns : public ::testing::TestWithParam<TroubleCase>
{
};

TEST_P(StoreTroubleRuns, NothingCountsAsWrittenThatIsNotOnDiskAndNoCardIsMadeTwice)
{
    const TroubleCase &c = GetParam();
    const QStringList names{"Anna", "Bert", "Cleo"};
    QString phone;
    for (int k = 1; k <= c.cards; ++k)
        phone += QStringLiteral("entry=ME,%1,\"0170%1\",129,\"%2\",0\n").arg(k).arg(names[k - 1]);
    WholeRunRig rig(QStringLiteral("K110"), phone);
    ASSERT_TRUE(rig.initOk);
    // The first card's note is folded every few letters, as some tools write it: the card written again
    // is shorter, its number in it and all.
    QString note;
    if (c.trouble == Trouble::LinkedShrinks)
        note = QStringLiteral("NOTE:") +
               QStringList(20, QStringLiteral("abc")).join(QStringLiteral("\r\n ")) + QStringLiteral("\r\n");
    for (int k = 1; k <= c.cards; ++k)
        rig.addContact(names[k - 1].toLower(), names[k - 1], k == 1 ? note : QString());
    const auto read = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QString anna = rig.contactsDir() + QStringLiteral("anna.vcf");
    const QByteArray annaBefore = read(anna);
    const QByteArray edit =
        QByteArray(annaBefore).replace("END:VCARD", "NOTE:edited by the holder\r\nEND:VCARD");

    int control[2], released[2];
    ASSERT_EQ(::pipe2(control, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(released, O_CLOEXEC), 0);
    std::vector<pid_t> holders;
    bool given = false; // the holder said it let go
    const bool leases = c.trouble == Trouble::LeaseGivenUp || c.trouble == Trouble::LeaseHeld ||
                        c.trouble == Trouble::LeasesHeld;
    if (leases) {
        const int fd = ::open(QFile::encodeName(anna).constData(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        const int leaseErr = takeWriteLease(fd);
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        ::close(fd);
        if (const std::string why = leasesUnavailable(leaseErr); !why.empty())
            GTEST_SKIP() << why;
        ASSERT_EQ(leaseErr, 0) << std::strerror(leaseErr);
    }
    struct rlimit room;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &room), 0);
    const auto onTooLarge = std::signal(SIGXFSZ, SIG_IGN);
    switch (c.trouble) {
    case Trouble::FileTooLarge: {
        struct rlimit small = room;
        small.rlim_cur = 40;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        rig.boxes.queueAnswer(mb::Cancel);
        break;
    }
    case Trouble::LeaseGivenUp:
    case Trouble::LeaseHeld: {
        const bool giveUp = c.trouble == Trouble::LeaseGivenUp;
        holders.push_back(holdLease(QFile::encodeName(anna), giveUp, edit, control, released));
        ASSERT_GT(holders.back(), 0);
        char got;
        ASSERT_EQ(::read(released[0], &got, 1), 1); // the lease is in place
        // While the run waits for the holder to let go, the holder gets the time it needs. The loop
        // calls a copy of the hook, so what it has been given is kept out here.
        if (giveUp)
            rig.time.setOnPause([&](int) {
                struct pollfd p
                {
                    released[0], POLLIN, 0
                };
                char byte;
                if (!given && ::poll(&p, 1, 5000) == 1)
                    given = ::read(released[0], &byte, 1) == 1;
            });
        break;
    }
    case Trouble::LeasesHeld:
        for (int k = 1; k <= c.cards; ++k) {
            const QString card = rig.contactsDir() + names[k - 1].toLower() + QStringLiteral(".vcf");
            holders.push_back(holdLease(QFile::encodeName(card), false, QByteArray(), control, released));
            ASSERT_GT(holders.back(), 0);
            char got;
            ASSERT_EQ(::read(released[0], &got, 1), 1);
        }
        break;
    case Trouble::LinkedShrinks:
        ASSERT_EQ(
            ::link(QFile::encodeName(anna).constData(),
                   QFile::encodeName(rig.dir.path() + QStringLiteral("/anna-second-name.vcf")).constData()),
            0);
        break;
    }

    const size_t pausesBefore = rig.time.pauses().size();
    ASSERT_TRUE(rig.run(false));
    const std::vector<int> &pauses = rig.time.pauses();
    const qint64 paused = std::accumulate(pauses.begin() + qsizetype(pausesBefore), pauses.end(), qint64(0));
    ::setrlimit(RLIMIT_FSIZE, &room);
    std::signal(SIGXFSZ, onTooLarge);
    rig.time.setOnPause(nullptr);
    // The holder quits, and its lease goes with it (a look at the card while it is held would wait).
    if (!holders.empty())
        ::close(control[1]);
    for (pid_t holder : holders) {
        int status = 0;
        ::waitpid(holder, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    for (int fd : {control[0], released[0], released[1], holders.empty() ? control[1] : -1})
        if (fd >= 0)
            ::close(fd);

    const QString details = globals().gDetails;
    switch (c.trouble) {
    case Trouble::FileTooLarge:
        // The run stops with the store's box, and the details say which card failed and why.
        EXPECT_TRUE(rig.boxes.anyContains(QStringLiteral("Cannot access to Outlook")))
            << rig.boxes.texts().join('|').toStdString();
        EXPECT_TRUE(details.contains(QStringLiteral("Could not be saved: Anna (cannot write ")) &&
                    details.contains(QStringLiteral("anna.vcf: File too large)")))
            << details.toStdString();
        EXPECT_EQ(read(anna), annaBefore);
        break;
    case Trouble::LeaseGivenUp:
        EXPECT_TRUE(read(anna).contains("NOTE:edited by the holder")) << read(anna).toStdString();
        EXPECT_FALSE(details.contains(QStringLiteral("anna.vcf"))) << details.toStdString();
        break;
    case Trouble::LeaseHeld:
        EXPECT_TRUE(details.contains(QStringLiteral("In use by another program, left as it is: anna.vcf")))
            << details.toStdString();
        EXPECT_EQ(read(anna), annaBefore);
        break;
    case Trouble::LeasesHeld:
        for (int k = 1; k <= c.cards; ++k) {
            const QString file = names[k - 1].toLower() + QStringLiteral(".vcf");
            EXPECT_TRUE(details.contains(QStringLiteral("In use by another program, left as it is: ") + file))
                << details.toStdString();
        }
        EXPECT_EQ(read(anna), annaBefore);
        // One wait for the whole run, whatever the number of held cards and looks at them; the window
        // is not held up again for each.
        EXPECT_GE(paused, pim::BusyWait::boundMs());
        EXPECT_LE(paused, pim::BusyWait::boundMs() + 100);
        break;
    case Trouble::LinkedShrinks:
        EXPECT_TRUE(details.contains(QStringLiteral(
            "Has further names and cannot be rewritten safely, left as it is: anna.vcf (Anna 01701)")))
            << details.toStdString();
        EXPECT_EQ(read(anna), annaBefore);
        break;
    }
    if (c.trouble != Trouble::FileTooLarge) {
        EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Data exchange successfully completed.")))
            << rig.view.text.toStdString();
        EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join('|').toStdString();
    }
    // Later runs: the card gets its number on the first that can write it, and then nothing moves. A
    // card with a second name whose new text would be shorter stays as it is, with the notice each time.
    const bool linked = c.trouble == Trouble::LinkedShrinks;
    const auto filesNow = [&] {
        QMap<QString, QByteArray> now;
        for (const QString &name : QDir(rig.contactsDir()).entryList(QDir::Files))
            now.insert(name, read(rig.contactsDir() + name));
        return now;
    };
    QMap<QString, QByteArray> settled = filesNow();
    for (int run = 2; run <= 4; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(rig.run(false));
        EXPECT_TRUE(rig.view.text.contains(QStringLiteral("Data exchange successfully completed.")))
            << rig.view.text.toStdString();
        const QStringList desktop = rig.desktopContacts();
        for (int k = 1; k <= c.cards; ++k) {
            const QString name = names[k - 1] + QLatin1Char(':');
            const QString card = linked && k == 1 ? name : name + QStringLiteral(" 1:0170%1").arg(k);
            EXPECT_EQ(desktop.filter(name).size(), 1) << desktop.join('|').toStdString();
            EXPECT_TRUE(desktop.contains(card))
                << card.toStdString() << " in " << desktop.join('|').toStdString();
        }
        EXPECT_EQ(QDir(rig.contactsDir()).entryList({QStringLiteral("*.vcf")}).size(), c.cards);
        const QMap<QString, QByteArray> now = filesNow();
        if (run > 2 || linked) {
            EXPECT_EQ(now, settled);
        }
        if (run > 2 && !linked) {
            EXPECT_TRUE(rig.view.text.contains(kSecondContacts)) << rig.view.text.toStdString();
        }
        if (linked) {
            EXPECT_TRUE(globals().gDetails.contains(QStringLiteral("left as it is: anna.vcf (Anna 01701)")))
                << globals().gDetails.toStdString();
            EXPECT_EQ(read(anna), annaBefore);
        }
        settled = now;
    }
}

INSTANTIATE_TEST_SUITE_P(Store, StoreTroubleRuns,
                         ::testing::Values(TroubleCase{"no room", Trouble::FileTooLarge, 1},
                                           TroubleCase{"no room", Trouble::FileTooLarge, 3},
                                           TroubleCase{"lease given up", Trouble::LeaseGivenUp, 1},
                                           TroubleCase{"lease given up", Trouble::LeaseGivenUp, 3},
                                           TroubleCase{"lease held", Trouble::LeaseHeld, 1},
                                           TroubleCase{"lease held", Trouble::LeaseHeld, 3},
                                           TroubleCase{"leases held on every card", Trouble::LeasesHeld, 3},
                                           TroubleCase{"second name, shorter text", Trouble::LinkedShrinks,
                                                       2}));
