#include "PolicyDoubles.h"

#include "common/CalendarText.h"
#include "engine/CalendarDates.h"
#include "engine/MrPolicy.h"
#include "engine/SameEvent.h"

#include <gtest/gtest.h>

namespace orvia::test {
namespace {

const QDateTime kNow(QDate(2026, 6, 15), QTime(10, 30, 20));

QDateTime at(int y, int m, int d, int h = 9, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

class CalendarPolicyTest : public ::testing::Test
{
protected:
    void SetUp() override { resetGlobals(); }

    struct Result
    {
        std::shared_ptr<DBCalendar> toOutlook, toPhone;
    };

    Result run(const QString &phoneModel, qint16 phoneCapacity)
    {
        Result r;
        policy.Init(&owner);
        policy.DoCalendar(outlook, phone, r.toOutlook, r.toPhone, features(QStringLiteral("Outlook"), 10000),
                          features(phoneModel, phoneCapacity));
        return r;
    }

    FixedClock clock{kNow};
    CountingLoop loop;
    RecordingOwner owner;
    MrPolicy policy{&clock, &loop};
    std::shared_ptr<DBCalendar> outlook = std::make_shared<DBCalendar>();
    std::shared_ptr<DBCalendar> phone = std::make_shared<DBCalendar>();
};

TEST(CalendarDates, WholeMinutesCountBoundariesAndNextAnniversaryHandlesLeapDay)
{
    EXPECT_EQ(WholeMinutes(QDateTime(QDate(2026, 1, 1), QTime(10, 0, 59)),
                           QDateTime(QDate(2026, 1, 1), QTime(10, 1, 0))),
              1);
    EXPECT_EQ(WholeMinutes(at(2026, 1, 2, 0, 0), at(2026, 1, 1, 23, 59)), -1);
    EXPECT_EQ(WholeMinutes(QDateTime(), kNow), WholeMinutes(zeroDateTime(), kNow)); // broken date: long past

    EXPECT_EQ(NextAnniversary(at(1970, 3, 3, 8, 15), kNow), at(2027, 3, 3, 8, 15));
    EXPECT_EQ(NextAnniversary(at(1970, 6, 15, 11, 0), kNow), at(2026, 6, 15, 11, 0));
    EXPECT_EQ(NextAnniversary(at(1980, 2, 29), kNow), at(2027, 3, 1));
    EXPECT_EQ(NextAnniversary(at(1980, 2, 29), at(2027, 6, 1)), at(2028, 2, 29));
    EXPECT_FALSE(NextAnniversary(QDateTime(), kNow).isValid());

    EXPECT_TRUE(SameAnniversaryDay(QDate(1980, 2, 29), QDate(2027, 3, 1)));
    EXPECT_FALSE(SameAnniversaryDay(QDate(1980, 2, 29), QDate(2028, 3, 1)));
    EXPECT_FALSE(SameAnniversaryDay(QDate(1980, 3, 1), QDate(2027, 3, 2)));
}

TEST(SameEventTest, TitlePrefixAndMinuteOrYearlyDay)
{
    DBCalendarItem a, b;
    a.title = QStringLiteral("Dentist appointment");
    b.title = QStringLiteral("Dentist");
    a.dstart = QDateTime(QDate(2026, 7, 1), QTime(10, 15, 5));
    b.dstart = QDateTime(QDate(2026, 7, 1), QTime(10, 15, 59));
    a.typ = b.typ = EventKind::Plain;
    EXPECT_TRUE(SameEvent(a, b));
    b.title = QStringLiteral("dentist"); // case counts
    EXPECT_FALSE(SameEvent(a, b));
    b.title.clear(); // an empty title meets no title but an empty one
    EXPECT_FALSE(SameEvent(a, b));
    EXPECT_FALSE(SameEvent(b, a));
    DBCalendarItem untitled = b;
    EXPECT_TRUE(SameEvent(untitled, b));
    untitled.body = QStringLiteral("Budget"); // the phone's copy: the joining blank and the body
    b.title = QStringLiteral(" Budget");
    EXPECT_TRUE(SameEvent(untitled, b));
    EXPECT_TRUE(SameEvent(b, untitled));
    b.title = QStringLiteral("Budget");
    EXPECT_FALSE(SameEvent(untitled, b));
    b.title = QStringLiteral("Dentist");
    b.dstart = at(2027, 7, 1, 10, 15);
    EXPECT_FALSE(SameEvent(a, b));
    b.typ = EventKind::Birthday; // yearly: day and month are enough
    EXPECT_TRUE(SameEvent(a, b));
}

TEST_F(CalendarPolicyTest, EmptyCalendarsGiveTwoEmptyStoresAndOneCallback)
{
    const Result r = run(QStringLiteral("K110"), 30);
    ASSERT_TRUE(r.toOutlook && r.toPhone);
    EXPECT_EQ(r.toOutlook->count(), 0);
    EXPECT_EQ(r.toPhone->count(), 0);
    EXPECT_EQ(r.toPhone->name, QStringLiteral("Fit to feat Calendar"));
    EXPECT_EQ(owner.callbacks, QList<qint16>{1});
    EXPECT_TRUE(globals().gDetails.isEmpty());
    EXPECT_EQ(owner.polls, 0); // the calendar half does not poll for a stop
}

TEST_F(CalendarPolicyTest, SameEventsOnBothSidesGiveNoAdditions)
{
    addEvent(*outlook, QStringLiteral("Dentist appointment"), at(2026, 7, 1, 10, 15));
    addEvent(*phone, QStringLiteral("Dentist"), QDateTime(QDate(2026, 7, 1), QTime(10, 15, 40)));
    addEvent(*outlook, QStringLiteral("Birthday Anna"), at(1970, 3, 3, 0, 0), EventKind::Birthday);
    addEvent(*phone, QStringLiteral("Birthday Anna"), at(2026, 3, 3, 8, 0), EventKind::Birthday);
    const Result r = run(QStringLiteral("K110"), 30);
    EXPECT_EQ(r.toOutlook->count(), 0);
    EXPECT_EQ(r.toPhone->count(), 0);
}

TEST_F(CalendarPolicyTest, PastEventsAreNotOfferedButPastBirthdaysMoveToTheNextAnniversary)
{
    addEvent(*outlook, QStringLiteral("Old meeting"), at(2026, 6, 14));
    addEvent(*outlook, QStringLiteral("This minute"), QDateTime(QDate(2026, 6, 15), QTime(10, 30, 50)));
    addEvent(*outlook, QStringLiteral("Next minute"), at(2026, 6, 15, 10, 31));
    addEvent(*outlook, QStringLiteral("Birthday Bob"), at(1970, 3, 3, 7, 45), EventKind::Birthday);
    addEvent(*phone, QStringLiteral("Phone past"), at(2026, 1, 1));

    const Result r = run(QStringLiteral("K110"), 30);
    ASSERT_EQ(r.toPhone->count(), 2);
    EXPECT_EQ(r.toPhone->GetItem(0)->title, QStringLiteral("Next minute"));
    EXPECT_EQ(r.toPhone->GetItem(0)->location, -1);
    EXPECT_EQ(r.toPhone->GetItem(0)->operation, Operation::Add);
    EXPECT_EQ(r.toPhone->GetItem(1)->title, QStringLiteral("Birthday Bob"));
    EXPECT_EQ(r.toPhone->GetItem(1)->dstart, at(2027, 3, 3, 7, 45));
    EXPECT_EQ(r.toOutlook->count(), 0);
    EXPECT_EQ(notices(), (QStringList{QStringLiteral("Past event not synchronized: Old meeting"),
                                      QStringLiteral("Past event not synchronized: This minute"),
                                      QStringLiteral("Past event not synchronized: Phone past")}));
}

TEST_F(CalendarPolicyTest, FiveEventsADayOnlyOnModelsWithThatLimit)
{
    for (int i = 0; i < 4; ++i)
        addEvent(*phone, QStringLiteral("Held %1").arg(i), at(2026, 7, 1, 8 + i));
    addEvent(*outlook, QStringLiteral("First"), at(2026, 7, 1, 14));
    addEvent(*outlook, QStringLiteral("Second"), at(2026, 7, 1, 15));

    Result r = run(QStringLiteral("D240"), 24);
    ASSERT_EQ(r.toPhone->count(), 1);
    EXPECT_EQ(r.toPhone->GetItem(0)->title, QStringLiteral("First"));
    EXPECT_EQ(notices(), QStringList{QStringLiteral("Only 5 events can be stored in the same day. Event ") +
                                     DateTimeToText(at(2026, 7, 1, 15)) + QStringLiteral(" not stored.")});

    resetGlobals();
    r = run(QStringLiteral("M230"), 30);
    EXPECT_EQ(r.toPhone->countOpAdd(), 2);
    EXPECT_TRUE(globals().gDetails.isEmpty());
}

TEST_F(CalendarPolicyTest, YearlyEventIsCountedOnTheDayItIsWrittenTo)
{
    for (int i = 0; i < 5; ++i)
        addEvent(*phone, QStringLiteral("Held %1").arg(i), at(2027, 3, 3, 8 + i));
    addEvent(*outlook, QStringLiteral("Birthday Bob"), at(1970, 3, 3, 7, 45), EventKind::Birthday);
    const Result r = run(QStringLiteral("K110"), 30);
    EXPECT_EQ(r.toPhone->count(), 0);
    EXPECT_EQ(notices().size(), 1);
}

TEST_F(CalendarPolicyTest, NoticesPassThroughTheTranslation)
{
    globals().gLanguage =
        QStringLiteral("de"); // no table loaded: untranslated texts show between underscores
    addEvent(*outlook, QStringLiteral("Old meeting"), at(2026, 6, 14));
    run(QStringLiteral("K110"), 30);
    EXPECT_EQ(globals().gDetails.count(
                  QStringLiteral("_Synchronization_: _Past event not synchronized_: Old meeting")),
              1);
}

TEST_F(CalendarPolicyTest, FullPhoneErasesPastEventsFirst)
{
    for (int i = 0; i < 10; ++i)
        addEvent(*phone, QStringLiteral("Past %1").arg(i), at(2026, 5, 1 + i), EventKind::Plain, qint16(i));
    for (int i = 10; i < 28; ++i)
        addEvent(*phone, QStringLiteral("Future %1").arg(i), at(2026, 8, 1 + i), EventKind::Plain, qint16(i));
    for (int i = 0; i < 5; ++i)
        addEvent(*outlook, QStringLiteral("New %1").arg(i), at(2026, 7, 1 + i));

    const Result r = run(QStringLiteral("M230"), 30);
    ASSERT_EQ(r.toPhone->count(), 15);
    for (int i = 0; i < 10; ++i) {
        const auto d = r.toPhone->GetItem(qint16(i));
        EXPECT_EQ(d->operation, Operation::Delete);
        EXPECT_EQ(d->location, i);
        EXPECT_EQ(d->dstart, zeroDateTime());
        EXPECT_TRUE(d->title.isEmpty());
    }
    EXPECT_EQ(r.toPhone->countOpAdd(), 5);
    EXPECT_EQ(notices().filter(QStringLiteral("Erased")),
              QStringList{QStringLiteral("Erased 10 events out of date.")});
}

TEST_F(CalendarPolicyTest, FullPhoneWithoutPastEventsKeepsTheEarliestAdditions)
{
    for (int i = 0; i < 28; ++i)
        addEvent(*phone, QStringLiteral("Future %1").arg(i), at(2026, 8, 1 + i));
    addEvent(*outlook, QStringLiteral("C"), at(2026, 7, 9));
    addEvent(*outlook, QStringLiteral("A"), at(2026, 7, 3));
    addEvent(*outlook, QStringLiteral("E"), at(2026, 7, 20));
    addEvent(*outlook, QStringLiteral("B"), at(2026, 7, 5));
    addEvent(*outlook, QStringLiteral("D"), at(2026, 7, 12));

    const Result r = run(QStringLiteral("M230"), 30);
    QStringList kept, cut;
    for (const auto &e : items(*r.toPhone))
        (e->operation == Operation::Add ? kept : cut).append(e->title);
    EXPECT_EQ(kept, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(cut, (QStringList{QStringLiteral("C"), QStringLiteral("E"), QStringLiteral("D")}));
    EXPECT_EQ(notices(), QStringList{QStringLiteral("Events sync until ") + DateTimeToText(at(2026, 7, 5))});
}

TEST_F(CalendarPolicyTest, YearlyEventsAreNeverErasedAsOutOfDate)
{
    addEvent(*phone, QStringLiteral("Birthday Eve"), at(1990, 4, 4), EventKind::Birthday, 0);
    addEvent(*phone, QStringLiteral("Past"), at(2026, 4, 4), EventKind::Plain, 1);
    addEvent(*outlook, QStringLiteral("Birthday Eve"), at(1990, 4, 4), EventKind::Birthday);
    addEvent(*outlook, QStringLiteral("New 1"), at(2026, 7, 1));
    addEvent(*outlook, QStringLiteral("New 2"), at(2026, 7, 2));

    const Result r = run(QStringLiteral("Tarvex"), 3);
    const auto out = items(*r.toPhone);
    ASSERT_EQ(out.size(), 3);
    EXPECT_EQ(out[0]->operation, Operation::Delete);
    EXPECT_EQ(out[0]->location, 1);
    EXPECT_EQ(out[1]->location, 1); // the cleared slot is reused
    EXPECT_EQ(out[2]->location, 2);
    EXPECT_EQ(r.toPhone->countOpAdd(), 2);
}

TEST_F(CalendarPolicyTest, OutlookIsNeverGivenDeletions)
{
    for (int i = 0; i < 3; ++i)
        addEvent(*outlook, QStringLiteral("Old %1").arg(i), at(2025, 1, 1 + i));
    addEvent(*phone, QStringLiteral("From phone"), at(2026, 9, 1));
    Result r;
    policy.DoCalendar(outlook, phone, r.toOutlook, r.toPhone, features(QStringLiteral("Outlook"), 3),
                      features(QStringLiteral("K110"), 30));
    ASSERT_EQ(r.toOutlook->count(), 1);
    EXPECT_EQ(r.toOutlook->GetItem(0)->operation, Operation::None); // cut by the capacity, nothing erased
    EXPECT_TRUE(notices().filter(QStringLiteral("Erased")).isEmpty());
}

TEST_F(CalendarPolicyTest, FreeSlotsSkipHeldOnesAndReuseClearedOnes)
{
    DBCalendar side, list;
    for (int slot = 0; slot < 4; ++slot)
        addEvent(side, QStringLiteral("Held"), at(2026, 8, 1), EventKind::Plain, qint16(slot));
    list.add(2, zeroDateTime(), zeroDateTime(), false, 0, EventKind{}, QString(), QString(),
             Operation::Delete);
    list.add(-1, at(2026, 9, 1), zeroDateTime(), false, 0, EventKind::Plain, QStringLiteral("A"), QString(),
             Operation::Add);
    list.add(-1, at(2026, 9, 2), zeroDateTime(), false, 0, EventKind::Plain, QStringLiteral("B"), QString(),
             Operation::Add);
    const auto fea = features(QStringLiteral("Tarvex"), 50);
    EXPECT_EQ(policy.FindFreeCalendarLocation(side, list, *fea), 2);
    list.GetItem(1)->location = 2;
    EXPECT_EQ(policy.FindFreeCalendarLocation(side, list, *fea), 4);

    fea->Cal_capacity = 4;
    list.GetItem(0)->operation = Operation::None;
    EXPECT_EQ(policy.FindFreeCalendarLocation(side, list, *fea), -1);
}

TEST_F(CalendarPolicyTest, TarvexAdditionsGetTheFirstFreeSlots)
{
    addEvent(*phone, QStringLiteral("Held A"), at(2026, 8, 1), EventKind::Plain, 0);
    addEvent(*phone, QStringLiteral("Held B"), at(2026, 8, 2), EventKind::Plain, 2);
    addEvent(*outlook, QStringLiteral("New 1"), at(2026, 9, 1));
    addEvent(*outlook, QStringLiteral("New 2"), at(2026, 9, 2));
    const Result r = run(QStringLiteral("Tarvex"), 50);
    ASSERT_EQ(r.toPhone->count(), 2);
    EXPECT_EQ(r.toPhone->GetItem(0)->location, 1);
    EXPECT_EQ(r.toPhone->GetItem(1)->location, 3);
}

TEST_F(CalendarPolicyTest, SyncUntilKeepsExactlyTheRoomEvenForAdditionsNotAfterNow)
{
    DBCalendar list;
    list.add(-1, kNow, zeroDateTime(), false, 0, EventKind::Birthday, QStringLiteral("Now"), QString(),
             Operation::Add);
    list.add(-1, at(2026, 7, 1), zeroDateTime(), false, 0, EventKind::Plain, QStringLiteral("Later"),
             QString(), Operation::Add);
    list.add(-1, at(2026, 6, 20), zeroDateTime(), false, 0, EventKind::Plain, QStringLiteral("Soon"),
             QString(), Operation::Add);
    {
        auto copy = list.Clone();
        qint16 room = 2;
        EXPECT_EQ(policy.GetSyncUntilDate(*copy, room), at(2026, 6, 20));
        EXPECT_EQ(copy->GetItem(1)->operation, Operation::None);
        copy = list.Clone();
        room = 1; // the only addition left starts within the current minute
        EXPECT_EQ(policy.GetSyncUntilDate(*copy, room), kNow);
        EXPECT_EQ(copy->GetItem(0)->operation, Operation::Add);
        copy = list.Clone();
        room = 0;
        EXPECT_EQ(policy.GetSyncUntilDate(*copy, room), kNow);
        EXPECT_EQ(copy->countOpAdd(), 0);
        copy = list.Clone();
        room = -5; // a phone holding more than its capacity
        policy.GetSyncUntilDate(*copy, room);
        EXPECT_EQ(copy->countOpAdd(), 0);
    }
}

// A phone of the first family: it keeps the text cut to its length and reads every event back as a
// plain event, with the zero date-time as end.
void applyToPhone(DBCalendar &phone, const DBCalendar &out, int textLen)
{
    qint16 next = 100;
    for (const auto &e : items(out)) {
        if (e->operation == Operation::Add) {
            const QString text = (e->title + u' ' + e->body).left(textLen);
            phone.add(e->location >= 0 ? e->location : next++, e->dstart, zeroDateTime(), e->alarm, e->prerem,
                      EventKind::Plain, text, QString(), Operation::None);
        }
    }
}

void applyToOutlook(DBCalendar &outlook, const DBCalendar &out)
{
    for (const auto &e : items(out)) {
        if (e->operation == Operation::Add)
            outlook.add(0, e->dstart, e->dend, e->alarm, e->prerem, e->typ, e->title, e->body,
                        Operation::None);
    }
}

TEST_F(CalendarPolicyTest, SecondRunOnItsOwnOutputAddsNothing)
{
    addEvent(*outlook, QStringLiteral("Dentist appointment"), at(2026, 7, 1, 10, 15));
    outlook->GetItem(0)->body = QStringLiteral("Bring the card and the forms they sent");
    addEvent(*outlook, QStringLiteral("Birthday Leap"), at(1980, 2, 29, 0, 0), EventKind::Birthday);
    addEvent(*outlook, QStringLiteral("Birthday Bob"), at(1970, 3, 3, 7, 45), EventKind::Birthday);
    addEvent(*phone, QStringLiteral("Phone only"), at(2026, 8, 8, 18, 0));
    addEvent(*phone, QStringLiteral("Old phone event"), at(2026, 1, 8, 18, 0));

    Result first = run(QStringLiteral("K110"), 30);
    EXPECT_EQ(first.toPhone->countOpAdd(), 3);
    EXPECT_EQ(first.toOutlook->countOpAdd(), 1);
    applyToPhone(*phone, *first.toPhone, 40);
    applyToOutlook(*outlook, *first.toOutlook);

    resetGlobals();
    const Result second = run(QStringLiteral("K110"), 30);
    EXPECT_EQ(second.toPhone->countToSend(), 0);
    EXPECT_EQ(second.toOutlook->countToSend(), 0);
}

TEST_F(CalendarPolicyTest, BrokenDatesDoNotStopTheRun)
{
    addEvent(*outlook, QStringLiteral("No date"), QDateTime());
    addEvent(*phone, QStringLiteral("Bad birthday"), QDateTime(), EventKind::Birthday);
    addEvent(*phone, QStringLiteral("No date"), QDateTime(QDate(), QTime(10, 0)));
    const Result r = run(QStringLiteral("Tarvex"), 1);
    EXPECT_EQ(owner.callbacks.size(), 1);
    EXPECT_LE(r.toPhone->countOpAdd(), 1);
}

} // namespace
} // namespace orvia::test
