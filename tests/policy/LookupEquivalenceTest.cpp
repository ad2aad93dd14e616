// The indexed look-ups must give exactly what walking the stores gives, on random data with many
// near-collisions: each calendar step and each look-up table of the contacts placement against its plain
// walk.
#include "CalendarPlainWalk.h"
#include "ContactsPlainWalk.h"
#include "PolicyDoubles.h"

#include "data/DBPhonebook.h"
#include "engine/ContactIndexes.h"
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
        addEvent(*cal, titles.at(rng.bounded(titles.size())), start,
                 rng.bounded(3) == 0 ? EventKind::Birthday : EventKind::Plain, qint16(rng.bounded(n + 5)));
    }
    return cal;
}

// The notices a step leaves, cleared for the next one.
QString takeNotices()
{
    const QString d = globals().gDetails;
    globals().gDetails.clear();
    return d;
}

// Every indexed calendar step against its plain walk, in the order a run takes them, on random
// calendars full of near-collisions.
TEST(LookupEquivalence, CalendarIndexesMatchThePlainWalk)
{
    QRandomGenerator rng(20260615);
    resetGlobals();
    FixedClock clock(kNow);
    MrPolicy policy(&clock, nullptr);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const auto outlook = randomCalendar(rng, 10 + rng.bounded(80));
        const auto phone = randomCalendar(rng, rng.bounded(40));
        const auto p1 = policy.PurgePastEvents(*outlook);
        const auto p2 = policy.PurgePastEvents(*phone);
        takeNotices();
        const auto merged = policy.MergeCalendar(*p1, *p2);
        ASSERT_EQ(merged->GetDataText(), plainwalk::mergeCalendar(*p1, *p2)->GetDataText());

        for (const auto &side : {outlook, phone}) {
            const auto diff = policy.DiffCalendar(*side, *merged);
            ASSERT_EQ(diff->GetDataText(), plainwalk::diffCalendar(*side, *merged)->GetDataText());

            for (const bool fiveADay : {false, true}) {
                auto work = diff->Clone();
                policy.checkPerDay(*side, work, fiveADay);
                const QString said = takeNotices();
                ASSERT_EQ(work->GetDataText(), plainwalk::checkPerDay(*side, *diff, fiveADay)->GetDataText());
                ASSERT_EQ(said, takeNotices());
            }

            const auto list = policy.RemoveOutOfDateEvents(*side, *diff);
            qint16 room = qint16(rng.bounded(int(list->countOpAdd()) + 3) - 1);
            auto cut = list->Clone();
            const QDateTime until = policy.GetSyncUntilDate(*cut, room);
            auto cut2 = list->Clone();
            ASSERT_EQ(until, plainwalk::syncUntil(*cut2, room, kNow));
            ASSERT_EQ(cut->GetDataText(), cut2->GetDataText());

            const auto fea = features(QStringLiteral("Tarvex"), qint16(5 + rng.bounded(50)));
            auto slots = cut->Clone();
            policy.assignSlots(*side, *slots, *fea);
            const QString said = takeNotices();
            plainwalk::assignSlots(policy, *side, *cut2, *fea);
            ASSERT_EQ(slots->GetDataText(), cut2->GetDataText());
            ASSERT_EQ(said, takeNotices());
        }
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
            const ContactKind typ =
                datum.contains(u'@') ? ContactKind::Email : ContactKind(1 + rng.bounded(3));
            pb->AddByName(name, onPhone ? qint16(1 + rng.bounded(12)) : 0, memory, datum, typ,
                          Operation::None);
        }
    }
    return pb;
}

// The look-up tables of the contacts placement against their plain walks: names by id, contacts with a
// number, and free locations handed out one after another.
TEST(LookupEquivalence, ContactsIndexesMatchThePlainWalk)
{
    QRandomGenerator rng(4917);
    resetGlobals();
    const MrPolicy policy(nullptr, nullptr);
    const QString memories[] = {QStringLiteral("ME"), QStringLiteral("SM")};
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        const auto res = randomPhonebook(rng, 3 + rng.bounded(20), false);
        const auto side = randomPhonebook(rng, rng.bounded(10), true);

        const ContactNames names(*res);
        const ContactsWithNumbers withNumbers(*res, *side);
        for (qint16 id = -1; id < 25; ++id)
            ASSERT_EQ(names.of(id), res->GetNameById(id)) << id;
        for (qint16 i = 0; i < res->count(); ++i) {
            const auto r = res->GetItem(i);
            const QString name = res->GetNameById(r->id);
            ASSERT_EQ(withNumbers.has(r->id, name), plainwalk::hasNumber(*res, *side, r->id, name)) << i;
        }

        auto fea = features(QStringLiteral("Other"), 0);
        fea->ME_capacity = qint16(rng.bounded(16));
        fea->SM_capacity = qint16(rng.bounded(8));
        FreeLocations free(*side);
        DBPhonebook out;
        for (int k = 0; k < 30; ++k) {
            const QString &mem = memories[rng.bounded(2)];
            const qint16 loc = free.find(mem, mem == u"SM" ? fea->SM_capacity : fea->ME_capacity);
            ASSERT_EQ(loc, policy.FindFreeLocation(*side, out, mem, *fea)) << k;
            if (loc == -1)
                continue;
            out.AddByName(QStringLiteral("Placed"), loc, mem, QStringLiteral("0171"), ContactKind::Mobile,
                          Operation::Add);
            free.take(mem, loc);
        }
    }
}

} // namespace
} // namespace orvia::test
