// Reading and writing the phonebook of both memories against the simulated handset.
#include "DriverRig.h"

#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "phonesim/ContentsFile.h"

#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

// A handset with SIM 250 and handset memory 1,000 places, used with gaps, names with commas and
// apostrophes, every category on the extended models.
QString bigContents()
{
    QString c = QStringLiteral("SM=250\nME=1000\n");
    for (int loc = 1; loc <= 250; ++loc) {
        if (loc % 4 == 0)
            continue; // gaps
        c += QStringLiteral("entry=SM,%1,\"+49151%2\",145,\"Sim, %3\",0\n")
                 .arg(loc)
                 .arg(loc, 6, 10, QLatin1Char('0'))
                 .arg(loc);
    }
    for (int loc = 1; loc <= 1000; ++loc) {
        if (loc % 3 == 0)
            continue;
        const int cat = loc % 4;
        const QString data =
            cat == 3 ? QStringLiteral("p%1@example.org").arg(loc) : QStringLiteral("030%1").arg(loc);
        c += QStringLiteral("entry=ME,%1,\"%2\",%3,\"O'Neil, %4\",%5\n")
                 .arg(loc)
                 .arg(data, cat == 3 ? QString() : QStringLiteral("129"))
                 .arg(loc)
                 .arg(cat);
    }
    return c;
}

// Checks that every handset entry is in the store once, as the given driver should read it.
void expectStoreHolds(const phonesim::HandsetContents &h, const DBPhonebook &pb, bool categories)
{
    int numbers = 0;
    for (qint16 i = 0; i < pb.count(); ++i)
        numbers += pb.GetItem(i)->typ != ContactKind::Name;
    EXPECT_EQ(numbers, int(h.sim.entries.size() + h.me.entries.size()));
    static const int kindOf[] = {1, 3, 2, 4};
    for (const auto &[mem, memory] :
         {std::pair{QStringLiteral("SM"), &h.sim}, std::pair{QStringLiteral("ME"), &h.me}}) {
        for (const auto &[loc, e] : memory->entries) {
            const auto rec = pb.GetItemByDataType(
                e.number, categories ? ContactKind(kindOf[e.category]) : ContactKind::Mobile, 0);
            ASSERT_TRUE(rec) << mem.toStdString() << loc;
            EXPECT_EQ(rec->location, loc);
            EXPECT_EQ(rec->memory, mem);
            EXPECT_EQ(pb.GetNameById(rec->id), e.name);
        }
    }
}

} // namespace

TEST(Phonebook, FullReadOfBothMemories)
{
    for (const char *model : {"K110", "M230", "D240", "G170"}) {
        SCOPED_TRACE(model);
        const bool ext =
            QLatin1String(model) == QLatin1String("K110") || QLatin1String(model) == QLatin1String("M230");
        DriverRig rig(QLatin1String(model), bigContents());
        rig.init();
        rig.port.phone().setRecording(true);
        const int before = rig.commandCount();
        auto pb = std::make_shared<DBPhonebook>();
        rig.driver->ReadContacts(pb);
        rig.settle();
        EXPECT_EQ(rig.owner.callbacks, 2);
        EXPECT_EQ(rig.owner.recoveries, 0);
        EXPECT_EQ(rig.box.count(), 0);
        expectStoreHolds(rig.port.contents(), *pb, ext);
        // One command per location up to the last entry of each memory, plus the two selections.
        EXPECT_EQ(rig.commandCount() - before, 2 + 1000 + 250);
        EXPECT_EQ(rig.commands().at(before), QStringLiteral("AT+CPBS=\"ME\""));
        // Progress ends at the whole.
        ASSERT_FALSE(rig.owner.progress.empty());
        EXPECT_DOUBLE_EQ(rig.owner.progress.back(), 1.0);
        EXPECT_FALSE(rig.link.watchdogArmed());
    }
}

TEST(Phonebook, EmptyMemoriesCostNoReads)
{
    DriverRig rig(QStringLiteral("K110"));
    rig.init();
    auto pb = std::make_shared<DBPhonebook>();
    rig.driver->ReadContacts(pb);
    rig.settle();
    EXPECT_EQ(rig.commands().mid(5),
              (QStringList{QStringLiteral("AT+CPBS=\"ME\""), QStringLiteral("AT+CPBS=\"SM\"")}));
    EXPECT_EQ(rig.owner.callbacks, 2);
    EXPECT_EQ(pb->count(), 0);
}

TEST(Phonebook, WritesAdditionsIntoBothMemoriesAndReadsThemBack)
{
    for (const char *model : {"K310", "D240", "F660"}) {
        SCOPED_TRACE(model);
        const QString m = QLatin1String(model);
        const bool ext = m == QLatin1String("K310");
        DriverRig rig(m, QStringLiteral("entry=SM,1,\"+4911\",145,\"Old\",0\n"));
        rig.init();
        auto add = std::make_shared<DBPhonebook>();
        qint16 id = 0;
        // A contact for the SIM, one for the handset with two numbers, one name with a double quote and
        // a line break, and records that must not be written.
        add->AddByName(QStringLiteral("Anna, B."), 2, QStringLiteral("SM"), QStringLiteral("+4915112345678"),
                       ContactKind::Mobile, Operation::Add);
        add->AddByName(QStringLiteral("Bob"), 5, QStringLiteral("ME"), QStringLiteral("0301234"),
                       ext ? ContactKind::Work : ContactKind::Mobile, Operation::Add);
        add->AddByName(QStringLiteral("Bob"), 6, QStringLiteral("ME"), QStringLiteral("0309999"),
                       ext ? ContactKind::Home : ContactKind::Mobile, Operation::Add);
        add->AddByName(QStringLiteral("Jo \"JJ\"\nX"), 7, QStringLiteral("ME"), QStringLiteral("+331"),
                       ContactKind::Mobile, Operation::Add);
        add->add(id = 0, 9, QStringLiteral("ME"), QStringLiteral("555"), ContactKind::Mobile,
                 Operation::None); // nothing to do
        rig.driver->UpdateContacts(add);
        rig.settle();
        EXPECT_EQ(rig.owner.callbacks, 2);
        EXPECT_EQ(rig.owner.recoveries, 0);
        EXPECT_EQ(rig.box.count(), 0);

        const auto &h = rig.port.contents();
        ASSERT_EQ(h.sim.entries.size(), 2u);
        EXPECT_EQ(h.sim.entries.at(2).name, QStringLiteral("Anna, B."));
        EXPECT_EQ(h.sim.entries.at(2).number, QStringLiteral("+4915112345678"));
        EXPECT_EQ(h.sim.entries.at(2).type, 145);
        ASSERT_EQ(h.me.entries.size(), 3u);
        EXPECT_EQ(h.me.entries.at(5).number, QStringLiteral("0301234"));
        EXPECT_EQ(h.me.entries.at(5).type, 129);
        EXPECT_EQ(h.me.entries.at(5).category, ext ? 1 : 0);
        EXPECT_EQ(h.me.entries.at(6).category, ext ? 2 : 0);
        EXPECT_EQ(h.me.entries.at(7).name, QStringLiteral("Jo 'JJ' X"));

        // The dumped state loads back to the same contents, and a second read returns what was sent.
        const auto reloaded = phonesim::parseContents(phonesim::formatContents(h), m);
        ASSERT_TRUE(reloaded.contents) << reloaded.error.toStdString();
        EXPECT_EQ(*reloaded.contents, h);
        auto pb = std::make_shared<DBPhonebook>();
        rig.driver->Init(&rig.link, &rig.owner);
        rig.settle();
        rig.driver->ReadContacts(pb);
        rig.settle();
        expectStoreHolds(h, *pb, ext);
        EXPECT_EQ(pb->GetItemByDataType(QStringLiteral("+331"), ContactKind::Mobile, 0)->location, 7);
    }
}

TEST(Phonebook, SimOnlyOrHandsetOnlyAdditions)
{
    DriverRig rig(QStringLiteral("K110"));
    rig.init();
    auto add = std::make_shared<DBPhonebook>();
    add->AddByName(QStringLiteral("Only"), 4, QStringLiteral("ME"), QStringLiteral("123"),
                   ContactKind::Mobile, Operation::Add);
    rig.driver->UpdateContacts(add);
    rig.settle();
    // No SIM additions: the SIM selection is followed at once by the handset selection.
    EXPECT_EQ(rig.commands().mid(5),
              (QStringList{QStringLiteral("AT+CPBS=\"SM\""), QStringLiteral("AT+CPBS=\"ME\""),
                           QStringLiteral("AT+CPBW=4,\"123\",129,\"Only\",0")}));
}

TEST(Phonebook, TarvexWritesCarryTheMemoryDigit)
{
    DriverRig rig(QStringLiteral("G170"));
    rig.init();
    auto add = std::make_shared<DBPhonebook>();
    add->AddByName(QStringLiteral("S"), 1, QStringLiteral("SM"), QStringLiteral("1"), ContactKind::Home,
                   Operation::Add);
    add->AddByName(QStringLiteral("M"), 3, QStringLiteral("ME"), QStringLiteral("+2"), ContactKind::Work,
                   Operation::Add);
    rig.driver->UpdateContacts(add);
    rig.settle();
    EXPECT_TRUE(rig.commands().contains(QStringLiteral("AT+CPBW=1,0,\"1\",129,\"S\"")));
    EXPECT_TRUE(rig.commands().contains(QStringLiteral("AT+CPBW=3,2,\"+2\",145,\"M\"")));
    EXPECT_EQ(rig.port.contents().me.entries.at(3).name, QStringLiteral("M"));
}

TEST(Phonebook, ReadingStopsAtTheMemorysLastPlace)
{
    // A handset that claims more entries than it answers must not be asked for ever.
    HandFedRig rig(std::make_unique<VelmoraAT>(&rig.box));
    rig.init();
    rig.reply(QStringLiteral("AT+GMM\r\r\nVelmora D240\r\n\r\nOK\r\n"));
    rig.reply(QStringLiteral("AT+CPBS=\"SM\"\r\r\nOK\r\n"));
    rig.reply(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"SM\",0,10\r\n\r\nOK\r\n"));
    rig.reply(QStringLiteral("AT+CPBS=\"ME\"\r\r\nOK\r\n"));
    rig.reply(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"ME\",5,3\r\n\r\nOK\r\n"));
    rig.driver->ReadContacts(std::make_shared<DBPhonebook>());
    for (int i = 0; i < 10; ++i) // every location empty: the echo and OK alone
        rig.reply(rig.wire.sent.constLast().trimmed() + QStringLiteral("\r\r\nOK\r\n"));
    EXPECT_EQ(rig.wire.sent.filter(QStringLiteral("AT+CPBR=")).size(), 3);
    EXPECT_EQ(rig.owner.callbacks, 2);
}

TEST(Phonebook, FirstFamilyDriverOnASecondFamilyHandset)
{
    // The model reply names only the family: model "Tarvex", memory digits on writes, no model values.
    DriverRig rig(QStringLiteral("G170"));
    rig.driver = std::make_unique<VelmoraAT>(&rig.box);
    rig.driver->setShell(&rig.shell, &rig.shell);
    rig.init();
    auto *v = dynamic_cast<VelmoraAT *>(rig.driver.get());
    EXPECT_EQ(v->PhoneModel(), QStringLiteral("Tarvex"));
    EXPECT_EQ(v->GetFeatures()->NameLen, 0);
    auto add = std::make_shared<DBPhonebook>();
    add->AddByName(QStringLiteral("S"), 1, QStringLiteral("SM"), QStringLiteral("1"), ContactKind::Home,
                   Operation::Add);
    rig.driver->UpdateContacts(add);
    rig.settle();
    EXPECT_TRUE(rig.commands().contains(QStringLiteral("AT+CPBW=1,0,\"1\",129,\"S\"")));
}

TEST(Phonebook, SimNamesComeBackFromGsmCodes)
{
    // "~" is the GSM code of "ü", "{" of "ä", "\x01" of "£"; "@" has no way back and keeps the name as read.
    const QString contents = QStringLiteral("entry=SM,1,\"1\",129,\"J~rgen\"\n"
                                            "entry=SM,2,\"2\",129,\"M{rz \x01\"\n"
                                            "entry=SM,3,\"3\",129,\"a@b\"\n"
                                            "entry=ME,1,\"4\",129,\"J~rgen ME\"\n");
    for (const char *model : {"D240", "G170"}) {
        SCOPED_TRACE(model);
        const bool velmora = QLatin1String(model) == QLatin1String("D240");
        DriverRig rig(QLatin1String(model), contents);
        rig.init();
        auto pb = std::make_shared<DBPhonebook>();
        rig.driver->ReadContacts(pb);
        rig.settle();
        auto nameOf = [&](const char *number) {
            return pb->GetNameById(pb->GetItemByDataType(QLatin1String(number), ContactKind::Mobile, 0)->id);
        };
        EXPECT_EQ(nameOf("1"), velmora ? QStringLiteral("Jürgen") : QStringLiteral("J~rgen"));
        EXPECT_EQ(nameOf("2"), velmora ? QStringLiteral("März £") : QStringLiteral("M{rz \x01"));
        EXPECT_EQ(nameOf("3"), QStringLiteral("a@b"));
        EXPECT_EQ(nameOf("4"), QStringLiteral("J~rgen ME")); // the handset memory holds plain text
    }
}
