// The indexed look-ups must give exactly what walking the stores gives: both modes run on the same
// random data, with many near-collisions, and their outputs and notices are compared.
#include "PolicyDoubles.h"

#include "data/DBPhonebook.h"
#include "engine/MrPolicy.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace orvia::test {
namespace {

const QDateTime kNow(QDate(2026, 6, 15), QTime(10, 30, 20));

QDateTime randomStart(QRandomGenerator &rng)
{
    switch (rng.bounded(6)) {
    case 0: { // yearly dates around the leap day, in leap and other years
        static const QList<QDate> days{QDate(1980, 2, 29), QDate(1981, 3, 1), QDate(1984, 3, 1),
                                       QDate(1983, 2, 28), QDate(2027, 3, 1), QDate(2028, 2, 29)};
        return QDateTime(days.at(rng.bounded(days.size())), QTime(rng.bounded(3), 0));
    }
    case 1: // around now, to the minute
        return kNow.addSecs(60 * (rng.bounded(7) - 3));
    default: // a few busy days ahead or behind
        return QDateTime(QDate(2026, 6, 10 + rng.bounded(12)),
                         QTime(8 + rng.bounded(3), 15 * rng.bounded(2)));
    }
}

std::shared_ptr<DBCalendar> randomCalendar(QRandomGenerator &rng, int n)
{
    static const QStringList titles{
        QString(),           QStringLiteral("A"), QStringLiteral("AB"), QStringLiteral("ABC"),
        QStringLiteral("B"), QStringLiteral("Ba")};
    auto cal = std::make_shared<DBCalendar>();
    for (int i = 0; i < n; ++i) {
        QDateTime start = randomStart(rng);
        if (rng.bounded(40) == 0)
            start = QDateTime();
        addEvent(*cal, titles.at(rng.bounded(titles.size())), start, qint16(rng.bounded(3) == 0 ? 4 : 1),
                 qint16(rng.bounded(n + 5)));
    }
    return cal;
}

struct Outcome
{
    QString toOutlook, toPhone, details;
};

Outcome runCalendar(MrPolicy::Lookup mode, const std::shared_ptr<DBCalendar> &outlook,
                    const std::shared_ptr<DBCalendar> &phone, const std::shared_ptr<ModFeatures> &feaOutlook,
                    const std::shared_ptr<ModFeatures> &feaPhone)
{
    resetGlobals();
    FixedClock clock(kNow);
    MrPolicy policy(&clock, nullptr);
    policy.setLookup(mode);
    std::shared_ptr<DBCalendar> out1, out2;
    policy.DoCalendar(outlook, phone, out1, out2, feaOutlook, feaPhone);
    return {out1->GetDataText(), out2->GetDataText(), globals().gDetails};
}

TEST(LookupEquivalence, CalendarIndexesMatchThePlainWalk)
{
    QRandomGenerator rng(20260615);
    const QStringList models{QStringLiteral("K110"), QStringLiteral("D240"), QStringLiteral("M230"),
                             QStringLiteral("Tarvex"), QStringLiteral("Other")};
    for (int round = 0; round < 40; ++round) {
        const auto outlook = randomCalendar(rng, 10 + rng.bounded(80));
        const auto phone = randomCalendar(rng, rng.bounded(40));
        const auto feaOutlook = features(QStringLiteral("Outlook"), qint16(rng.bounded(2) ? 10000 : 20));
        const auto feaPhone = features(models.at(rng.bounded(models.size())), qint16(5 + rng.bounded(50)));
        const Outcome indexed = runCalendar(MrPolicy::Lookup::Indexed, outlook, phone, feaOutlook, feaPhone);
        const Outcome scanned = runCalendar(MrPolicy::Lookup::Scan, outlook, phone, feaOutlook, feaPhone);
        ASSERT_EQ(indexed.toOutlook, scanned.toOutlook) << "round " << round;
        ASSERT_EQ(indexed.toPhone, scanned.toPhone) << "round " << round;
        ASSERT_EQ(indexed.details, scanned.details) << "round " << round;
    }
}

std::shared_ptr<DBPhonebook> randomPhonebook(QRandomGenerator &rng, int contacts, bool onPhone)
{
    static const QStringList names{QStringLiteral("Anna"),
                                   QStringLiteral("Anna#H"),
                                   QStringLiteral("Velmora Customer Care"),
                                   QStringLiteral("Velmora Customer Desk"),
                                   QStringLiteral("J\u00FCrgen"),
                                   QStringLiteral("\u0141ukasz"),
                                   QStringLiteral("Bob#W"),
                                   QStringLiteral("Zoe")};
    static const QStringList data{
        QStringLiteral("0171"),    QStringLiteral("+49 30"),
        QStringLiteral("0301"),    QStringLiteral("12+3"),
        QStringLiteral("a@x.org"), QStringLiteral("a.rather.long.address@example.org")};
    auto pb = std::make_shared<DBPhonebook>();
    for (int i = 0; i < contacts; ++i) {
        const QString name = names.at(rng.bounded(names.size())) + QString::number(rng.bounded(3));
        const QString memory =
            onPhone ? (rng.bounded(3) ? QStringLiteral("ME") : QStringLiteral("SM")) : QString();
        const int count = 1 + rng.bounded(3);
        for (int k = 0; k < count; ++k) {
            const QString datum = data.at(rng.bounded(data.size()));
            const qint16 typ = datum.contains(u'@') ? 4 : qint16(1 + rng.bounded(3));
            pb->AddByName(name, onPhone ? qint16(1 + rng.bounded(12)) : 0, memory, datum, typ, 0);
        }
    }
    return pb;
}

std::shared_ptr<ModFeatures> phoneModel(QRandomGenerator &rng)
{
    static const QStringList models{QStringLiteral("K110"), QStringLiteral("M230"), QStringLiteral("D240"),
                                    QStringLiteral("Tarvex"), QStringLiteral("Other")};
    auto f = features(models.at(rng.bounded(models.size())), 0);
    f->ME_capacity = qint16(rng.bounded(16));
    f->SM_capacity = qint16(rng.bounded(8));
    f->NameLen = qint16(rng.bounded(22));
    f->EmailLen = qint16(rng.bounded(2) ? 0 : 30);
    f->ExtPB = rng.bounded(2);
    return f;
}

TEST(LookupEquivalence, ContactsIndexesMatchThePlainWalk)
{
    QRandomGenerator rng(4917);
    auto feaOutlook = features(QStringLiteral("Outlook"), 10000);
    feaOutlook->ME_capacity = 10000;
    feaOutlook->NameLen = 50;
    feaOutlook->EmailLen = 20;
    feaOutlook->ExtPB = true;
    for (int round = 0; round < 60; ++round) {
        const auto outlook = randomPhonebook(rng, 3 + rng.bounded(20), false);
        const auto phone = randomPhonebook(rng, rng.bounded(10), true);
        const auto feaPhone = phoneModel(rng);
        QStringList texts[2];
        for (const MrPolicy::Lookup mode : {MrPolicy::Lookup::Indexed, MrPolicy::Lookup::Scan}) {
            resetGlobals();
            MrPolicy policy(nullptr, nullptr);
            policy.setLookup(mode);
            std::shared_ptr<DBPhonebook> out1, out2;
            policy.DoContacts(outlook, phone, out1, out2, feaOutlook, feaPhone);
            texts[mode == MrPolicy::Lookup::Scan] = {out1->GetDataText(), out2->GetDataText(),
                                                     globals().gDetails};
        }
        ASSERT_EQ(texts[0], texts[1]) << "round " << round << " model " << feaPhone->name.toStdString();
    }
}

} // namespace
} // namespace orvia::test
