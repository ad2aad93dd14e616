#include "PolicyDoubles.h"

#include "common/GsmCharset.h"
#include "data/DBPhonebook.h"
#include "engine/MrPolicy.h"

#include <gtest/gtest.h>

namespace orvia::test {
namespace {

std::shared_ptr<ModFeatures> model(const QString &name, qint16 me = 100, qint16 sm = 0)
{
    auto f = std::make_shared<ModFeatures>();
    f->name = name;
    f->ME_capacity = me;
    f->SM_capacity = sm;
    f->writeable = true;
    if (name == u"Outlook") {
        f->NameLen = 50;
        f->EmailLen = 50;
        f->ExtPB = true;
    } else if (name == u"D240") {
        f->NameLen = 20;
    } else if (name == u"Tarvex") {
        f->NameLen = 14;
    } else {
        f->NameLen = name == u"M230" ? 20 : 18;
        f->EmailLen = 30;
        f->ExtPB = true;
    }
    return f;
}

struct Entry
{
    QString name, memory, data;
    qint16 location, typ, operation;
    bool operator==(const Entry &) const = default;
};

void PrintTo(const Entry &e, std::ostream *os)
{
    *os << e.name.toStdString() << '|' << e.memory.toStdString() << e.location << '|' << e.data.toStdString()
        << "|typ " << e.typ << "|op " << e.operation;
}

// The data records of a result, each with its contact's name.
QList<Entry> entries(const DBPhonebook &pb)
{
    QList<Entry> out;
    for (qint16 i = 0; i < pb.count(); ++i) {
        const auto r = pb.GetItem(i);
        if (r->typ != ContactKind::Name)
            out.append({pb.GetNameById(r->id), r->memory, r->data, r->location, qint16(r->typ),
                        qint16(r->operation)});
    }
    return out;
}

class ContactsPolicyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetGlobals();
        outlookFea = model(QStringLiteral("Outlook"), 10000);
    }

    void run(const std::shared_ptr<ModFeatures> &phoneFea)
    {
        policy.Init(&owner);
        policy.DoContacts(outlook, phone, toOutlook, toPhone, outlookFea, phoneFea);
    }

    FixedClock clock{QDateTime(QDate(2026, 6, 15), QTime(10, 0))};
    RecordingOwner owner;
    MrPolicy policy{&clock, nullptr};
    std::shared_ptr<DBPhonebook> outlook = std::make_shared<DBPhonebook>();
    std::shared_ptr<DBPhonebook> phone = std::make_shared<DBPhonebook>();
    std::shared_ptr<DBPhonebook> toOutlook, toPhone;
    std::shared_ptr<ModFeatures> outlookFea;
};

TEST_F(ContactsPolicyTest, EqualSidesWriteNothingAndReportCompletion)
{
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0171"), ContactKind::Mobile,
                       Operation::None);
    phone->AddByName(QStringLiteral("Anna"), 1, QStringLiteral("ME"), QStringLiteral("0171"),
                     ContactKind::Mobile, Operation::None);
    run(model(QStringLiteral("K110")));
    ASSERT_TRUE(toOutlook && toPhone);
    EXPECT_EQ(toOutlook->count(), 0);
    EXPECT_EQ(toPhone->count(), 0);
    EXPECT_EQ(toPhone->name, QStringLiteral("Fit2Feat2"));
    EXPECT_EQ(owner.progress, (QList<double>{0.1, 0.2, 0.3, 0.6, 0.7, 0.8, 0.9, 1.0}));
    EXPECT_EQ(owner.callbacks, QList<qint16>{1});
    EXPECT_TRUE(globals().gDetails.isEmpty());
}

TEST_F(ContactsPolicyTest, HandsetPlacementPutsNameNumberAndAddressAtFirstFreePlaces)
{
    outlook->AddByName(QStringLiteral("Alexandra Catherine Smithson"), 0, QString(),
                       QStringLiteral("+4917112"), ContactKind::Mobile, Operation::None);
    outlook->AddByName(QStringLiteral("Alexandra Catherine Smithson"), 0, QString(),
                       QStringLiteral("alex@x.org"), ContactKind::Email, Operation::None);
    phone->AddByName(QStringLiteral("Ben"), 1, QStringLiteral("ME"), QStringLiteral("111"),
                     ContactKind::Mobile, Operation::None);
    phone->AddByName(QStringLiteral("Cleo"), 3, QStringLiteral("ME"), QStringLiteral("333"),
                     ContactKind::Mobile, Operation::None);
    run(model(QStringLiteral("K110")));

    ASSERT_EQ(toPhone->count(), 3);
    const auto nameRecord = toPhone->GetItem(0);
    EXPECT_EQ(nameRecord->typ, ContactKind::Name);
    EXPECT_EQ(nameRecord->data, QStringLiteral("Alexandra Catherin"));
    EXPECT_EQ(nameRecord->location, 2);
    EXPECT_EQ(nameRecord->operation, Operation::Add);
    EXPECT_EQ(entries(*toPhone), (QList<Entry>{{QStringLiteral("Alexandra Catherin"), QStringLiteral("ME"),
                                                QStringLiteral("+4917112"), 2, 1, 1},
                                               {QStringLiteral("Alexandra Catherin"), QStringLiteral("ME"),
                                                QStringLiteral("alex@x.org"), 4, 4, 1}}));
    // Outlook learns of the phone's two contacts.
    EXPECT_EQ(toOutlook->countToSend(), 2);
}

TEST_F(ContactsPolicyTest, SuffixPlacementRefusesAddressesAndNamesEachKind)
{
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0171"), ContactKind::Mobile,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0301"), ContactKind::Home,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0891"), ContactKind::Work,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("anna@x.org"), ContactKind::Email,
                       Operation::None);
    for (const QString &m : {QStringLiteral("D240"), QStringLiteral("Tarvex")}) {
        resetGlobals();
        run(model(m));
        EXPECT_EQ(
            entries(*toPhone),
            (QList<Entry>{{QStringLiteral("Anna"), QStringLiteral("ME"), QStringLiteral("0171"), 1, 1, 1},
                          {QStringLiteral("Anna#H"), QStringLiteral("ME"), QStringLiteral("0301"), 2, 1, 1},
                          {QStringLiteral("Anna#W"), QStringLiteral("ME"), QStringLiteral("0891"), 3, 1, 1}}))
            << m.toStdString();
        EXPECT_EQ(notices(),
                  QStringList{QStringLiteral("Phone doesn't support emails: anna@x.org not stored.")});
    }
}

TEST_F(ContactsPolicyTest, NumbersAreCheckedCharacterByCharacter)
{
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("+49 171-2"), ContactKind::Mobile,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("+49171"), ContactKind::Home,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0+1"), ContactKind::Work,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0555"), ContactKind::Mobile,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("+p1"), ContactKind::Work,
                       Operation::None);
    phone->AddByName(QStringLiteral("Someone else"), 1, QStringLiteral("ME"), QStringLiteral("0555"),
                     ContactKind::Mobile, Operation::None);
    run(model(QStringLiteral("K110")));
    EXPECT_EQ(entries(*toPhone), (QList<Entry>{{QStringLiteral("Anna"), QStringLiteral("ME"),
                                                QStringLiteral("+49171"), 2, 2, 1}}));
    EXPECT_EQ(notices(), (QStringList{QStringLiteral("+49 171-2 is not a valid phone number. Not stored."),
                                      QStringLiteral("+49 171-2 is not a valid phone number. Not stored."),
                                      QStringLiteral("0+1 is not a valid phone number. Not stored."),
                                      QStringLiteral("+p1 is not a valid phone number. Not stored.")}));
}

TEST_F(ContactsPolicyTest, AddressesAreCheckedAgainstThePhonesLength)
{
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0171"), ContactKind::Mobile,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(),
                       QStringLiteral("a.very.long.address@example.org"), ContactKind::Email,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Nobody"), 0, QString(), QStringLiteral("no@x.org"), ContactKind::Email,
                       Operation::None);
    run(model(QStringLiteral("K110")));
    EXPECT_EQ(notices(), QStringList{QStringLiteral("Email a.very.long.address@example.org") +
                                     QStringLiteral("doesn\u00B4t fit the phone capacity, not stored.")});
    // The address of a contact without any number is left out without a notice.
    EXPECT_EQ(entries(*toPhone), (QList<Entry>{{QStringLiteral("Anna"), QStringLiteral("ME"),
                                                QStringLiteral("0171"), 1, 1, 1}}));
}

TEST_F(ContactsPolicyTest, AddressOfAContactWithANumberOnThePhoneIsPlaced)
{
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0171"), ContactKind::Mobile,
                       Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("a@x.org"), ContactKind::Email,
                       Operation::None);
    phone->AddByName(QStringLiteral("Anna"), 1, QStringLiteral("ME"), QStringLiteral("0171"),
                     ContactKind::Mobile, Operation::None);
    run(model(QStringLiteral("K110")));
    EXPECT_EQ(entries(*toPhone), (QList<Entry>{{QStringLiteral("Anna"), QStringLiteral("ME"),
                                                QStringLiteral("a@x.org"), 2, 4, 1}}));
}

TEST_F(ContactsPolicyTest, FullHandsetGivesOneNoticePerEntry)
{
    phone->AddByName(QStringLiteral("Ben"), 1, QStringLiteral("ME"), QStringLiteral("111"),
                     ContactKind::Mobile, Operation::None);
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0171"), ContactKind::Mobile,
                       Operation::None);
    run(model(QStringLiteral("K110"), 1));
    EXPECT_EQ(toPhone->count(), 0);
    EXPECT_EQ(notices(), QStringList{QStringLiteral("No more memory on the phone: Anna0171 not stored.")});
}

TEST_F(ContactsPolicyTest, FullHandsetSendsSuffixEntriesToTheSim)
{
    phone->AddByName(QStringLiteral("Ben"), 1, QStringLiteral("ME"), QStringLiteral("111"),
                     ContactKind::Mobile, Operation::None);
    phone->AddByName(QStringLiteral("Cleo"), 1, QStringLiteral("SM"), QStringLiteral("222"),
                     ContactKind::Mobile, Operation::None);
    outlook->AddByName(QStringLiteral("J\u00FCrgen"), 0, QString(), QStringLiteral("0301"), ContactKind::Home,
                       Operation::None);
    outlook->AddByName(QStringLiteral("\u0141ukasz"), 0, QString(), QStringLiteral("0302"),
                       ContactKind::Mobile, Operation::None);
    run(model(QStringLiteral("D240"), 1, 5));

    const QString gsmName = QStringLiteral("J") + QChar(126) + QStringLiteral("rgen#H");
    EXPECT_EQ(entries(*toPhone),
              (QList<Entry>{{gsmName, QStringLiteral("SM"), QStringLiteral("0301"), 2, 1, 1}}));
    EXPECT_EQ(
        notices(),
        (QStringList{QStringLiteral("Phone memory full, entry: J\u00FCrgen#H 0301 stored on the sim card."),
                     QStringLiteral("Phone memory full, entry: \u0141ukasz 0302 NOT stored on the sim card "
                                    "because it contains non standard characters.")}));

    // The other family keeps names as they are on its SIM, as far as the link can carry them.
    resetGlobals();
    run(model(QStringLiteral("Tarvex"), 1, 5));
    ASSERT_EQ(entries(*toPhone).size(), 1);
    EXPECT_EQ(entries(*toPhone).at(0).name, QStringLiteral("J\u00FCrgen#H"));
    EXPECT_EQ(notices().at(1),
              QStringLiteral("Phone memory full, entry: \u0141ukasz 0302 NOT stored on the sim "
                             "card because it contains non standard characters."));

    // SIM full as well.
    resetGlobals();
    run(model(QStringLiteral("Tarvex"), 1, 1));
    EXPECT_EQ(toPhone->count(), 0);
    EXPECT_EQ(notices().at(0), QStringLiteral("No more memory on the phone: J\u00FCrgen#H 0301 not stored."));
}

TEST_F(ContactsPolicyTest, SimNamesAreCutToFourteenKeepingTheirSuffix)
{
    phone->AddByName(QStringLiteral("Ben"), 1, QStringLiteral("ME"), QStringLiteral("111"),
                     ContactKind::Mobile, Operation::None);
    outlook->AddByName(QStringLiteral("Velmora Customer Care"), 0, QString(), QStringLiteral("0800"),
                       ContactKind::Work, Operation::None);
    outlook->AddByName(QStringLiteral("Reception Desk N"), 0, QString(), QStringLiteral("0900"),
                       ContactKind::Mobile, Operation::None);
    run(model(QStringLiteral("D240"), 1, 10));
    QStringList names;
    for (const Entry &e : entries(*toPhone))
        names.append(e.name);
    EXPECT_EQ(names, (QStringList{QStringLiteral("Velmora Cust#W"), QStringLiteral("Reception Desk")}));
}

TEST_F(ContactsPolicyTest, FindFreeLocationSkipsTakenPlacesOfEitherStore)
{
    DBPhonebook side, out;
    side.AddByName(QStringLiteral("A"), 1, QStringLiteral("ME"), QStringLiteral("1"), ContactKind::Mobile,
                   Operation::None);
    side.AddByName(QStringLiteral("B"), 3, QStringLiteral("ME"), QStringLiteral("3"), ContactKind::Mobile,
                   Operation::None);
    side.AddByName(QStringLiteral("C"), 2, QStringLiteral("SM"), QStringLiteral("2"), ContactKind::Mobile,
                   Operation::None);
    const auto fea = model(QStringLiteral("K110"), 4, 0);
    EXPECT_EQ(policy.FindFreeLocation(side, out, QStringLiteral("ME"), *fea), 2);
    out.AddByName(QStringLiteral("D"), 2, QStringLiteral("ME"), QStringLiteral("4"), ContactKind::Mobile,
                  Operation::Add);
    EXPECT_EQ(policy.FindFreeLocation(side, out, QStringLiteral("ME"), *fea), 4);
    EXPECT_EQ(policy.FindFreeLocation(side, out, QStringLiteral("SM"), *fea), -1);
    fea->ME_capacity = 3;
    EXPECT_EQ(policy.FindFreeLocation(side, out, QStringLiteral("ME"), *fea), -1);
}

TEST_F(ContactsPolicyTest, StopAfterTheMergeLeavesTheOutputsAlone)
{
    outlook->AddByName(QStringLiteral("Anna"), 0, QString(), QStringLiteral("0171"), ContactKind::Mobile,
                       Operation::None);
    auto before1 = std::make_shared<DBPhonebook>(), before2 = std::make_shared<DBPhonebook>();
    toOutlook = before1;
    toPhone = before2;
    owner.interruptAfter = 3; // the poll right after the merge
    run(model(QStringLiteral("K110")));
    EXPECT_EQ(toOutlook, before1);
    EXPECT_EQ(toPhone, before2);
    EXPECT_TRUE(owner.callbacks.isEmpty());
    EXPECT_EQ(owner.progress, (QList<double>{0.1, 0.2, 0.3}));
}

TEST_F(ContactsPolicyTest, PhoneWithoutKnownLimitsKeepsWholeNames)
{
    outlook->AddByName(QStringLiteral("Anna Smith"), 0, QString(), QStringLiteral("0171"),
                       ContactKind::Mobile, Operation::None);
    auto unknown = std::make_shared<ModFeatures>(); // a model the driver could not name: all limits 0
    run(unknown);
    ASSERT_GE(toPhone->count(), 1);
    EXPECT_EQ(toPhone->GetItem(0)->data, QStringLiteral("Anna Smith"));
}

TEST_F(ContactsPolicyTest, MissingStoresAndFeaturesCountAsEmpty)
{
    policy.Init(&owner);
    policy.DoContacts(nullptr, nullptr, toOutlook, toPhone, nullptr, nullptr);
    std::shared_ptr<DBCalendar> cal1, cal2;
    policy.DoCalendar(nullptr, nullptr, cal1, cal2, nullptr, nullptr);
    ASSERT_TRUE(toOutlook && toPhone && cal1 && cal2);
    EXPECT_EQ(toOutlook->count() + toPhone->count() + cal1->count() + cal2->count(), 0);
    EXPECT_EQ(owner.callbacks, (QList<qint16>{1, 1}));
}

// What a phone reads back after writing the records: SIM names come back from the GSM alphabet.
void applyToPhone(DBPhonebook &phone, const DBPhonebook &out, bool convertsSim)
{
    for (qint16 i = 0; i < out.count(); ++i) {
        const auto r = out.GetItem(i);
        if (r->typ == ContactKind::Name || r->operation != Operation::Add)
            continue;
        QString name = out.GetNameById(r->id);
        if (r->memory == u"SM" && convertsSim)
            name = ConvertGsmCharset(name, false);
        phone.AddByName(name, r->location, r->memory, r->data, r->typ, Operation::None);
    }
}

TEST_F(ContactsPolicyTest, SecondRunOnItsOwnOutputAddsNothing)
{
    const QList<std::pair<QString, qint16>> phones{{QStringLiteral("K110"), 0},
                                                   {QStringLiteral("D240"), 0},
                                                   {QStringLiteral("D240"), 5},
                                                   {QStringLiteral("Tarvex"), 4}};
    for (const auto &[name, simPlaces] : phones) {
        resetGlobals();
        outlook = std::make_shared<DBPhonebook>();
        phone = std::make_shared<DBPhonebook>();
        outlook->AddByName(QStringLiteral("Alexandra Catherine Smithson"), 0, QString(),
                           QStringLiteral("0171"), ContactKind::Mobile, Operation::None);
        outlook->AddByName(QStringLiteral("Alexandra Catherine Smithson"), 0, QString(),
                           QStringLiteral("0301"), ContactKind::Home, Operation::None);
        outlook->AddByName(QStringLiteral("J\u00FCrgen"), 0, QString(), QStringLiteral("0302"),
                           ContactKind::Home, Operation::None);
        outlook->AddByName(QStringLiteral("J\u00FCrgen"), 0, QString(), QStringLiteral("j@x.org"),
                           ContactKind::Email, Operation::None);
        phone->AddByName(QStringLiteral("Zoe"), 1, QStringLiteral("ME"), QStringLiteral("0999"),
                         ContactKind::Mobile, Operation::None);
        phone->AddByName(QStringLiteral("Anna#W"), 2, QStringLiteral("ME"), QStringLiteral("0888"),
                         ContactKind::Mobile, Operation::None);
        const auto fea = model(name, simPlaces ? 3 : 50, simPlaces);

        run(fea);
        EXPECT_GT(toPhone->countToSend(), 0);
        applyToPhone(*phone, *toPhone, name != u"Tarvex");
        applyToPhone(*outlook, *toOutlook, false);

        run(fea);
        EXPECT_EQ(toPhone->countToSend(), 0) << name.toStdString() << " SIM " << simPlaces;
        EXPECT_EQ(toOutlook->countToSend(), 0) << name.toStdString() << " SIM " << simPlaces;
    }
}

} // namespace
} // namespace orvia::test
