// Both families' calendars read and written against the simulated handset.
#include "DriverRig.h"

#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/ZeroDateTime.h"

#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {
QDateTime at(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi));
}
} // namespace

TEST(VelmoraCalendar, ReadsStartTimesAndRemindersAcrossMidnight)
{
    DriverRig rig(QStringLiteral("M230"), QStringLiteral("event=1,1,2026-12-09 08:45,1,,\"09:00 Dentist\"\n"
                                                         "event=2,1,2026-12-31 23:50,0,,\"00:10 New, year\"\n"
                                                         "event=5,1,2027-01-02 12:00,1,,\"Lunch\"\n"));
    rig.init();
    auto cal = std::make_shared<DBCalendar>();
    rig.driver->ReadCalendar(cal);
    rig.settle();
    EXPECT_EQ(rig.owner.callbacks, 2);
    EXPECT_EQ(rig.commands().last(), QStringLiteral("AT+SCHL"));
    ASSERT_EQ(cal->count(), 3);
    const auto a = cal->GetItem(0), b = cal->GetItem(1), c = cal->GetItem(2);
    EXPECT_EQ(a->location, 1);
    EXPECT_EQ(a->dstart, at(2026, 12, 9, 9, 0));
    EXPECT_EQ(a->prerem, 15);
    EXPECT_TRUE(a->alarm);
    EXPECT_EQ(a->title, QStringLiteral("Dentist"));
    EXPECT_EQ(a->dend, zeroDateTime());
    EXPECT_EQ(a->typ, EventKind::Plain);
    EXPECT_EQ(b->dstart, at(2027, 1, 1, 0, 10));
    EXPECT_EQ(b->prerem, 20);
    EXPECT_EQ(b->title, QStringLiteral("New, year"));
    EXPECT_EQ(c->prerem, 0);
    EXPECT_EQ(c->dstart, at(2027, 1, 2, 12, 0));
    EXPECT_EQ(rig.box.count(), 0);
}

TEST(VelmoraCalendar, EmptyCalendarStillEnds)
{
    DriverRig rig(QStringLiteral("D240"));
    rig.init();
    auto cal = std::make_shared<DBCalendar>();
    rig.driver->ReadCalendar(cal);
    rig.settle();
    EXPECT_EQ(cal->count(), 0);
    EXPECT_EQ(rig.owner.callbacks, 2);
}

TEST(VelmoraCalendar, WritesAndDeletes)
{
    DriverRig rig(QStringLiteral("K110"), QStringLiteral("event=1,1,2026-12-09 08:45,1,,\"09:00 Dentist\"\n"
                                                         "event=2,1,2026-12-10 10:00,0,,\"Keep\"\n"));
    rig.init();
    auto out = std::make_shared<DBCalendar>();
    out->add(0, at(2027, 1, 1, 0, 10), zeroDateTime(), true, 20, EventKind::Plain, QStringLiteral("NY"),
             QStringLiteral("party"), Operation::Add);
    out->add(2, at(2026, 12, 10, 10, 0), zeroDateTime(), false, 0, EventKind::Plain, QStringLiteral("x"),
             QString(), Operation::None);
    out->add(1, at(2026, 12, 9, 9, 0), zeroDateTime(), true, 15, EventKind::Plain, QStringLiteral("Dentist"),
             QString(), Operation::Delete);
    rig.driver->UpdateCalendar(out);
    rig.settle();
    EXPECT_EQ(rig.owner.callbacks, 2);
    EXPECT_EQ(rig.commands().mid(5),
              (QStringList{QStringLiteral("at+schw=0,31,12,2026,00,50,23,1,\"00:10 NY party\""),
                           QStringLiteral("at+schd=1")}));
    const auto &calendar = rig.port.contents().calendar;
    EXPECT_EQ(calendar.count(1), 0u);
    EXPECT_EQ(calendar.count(2), 1u);
    // Read back: the same event.
    auto cal = std::make_shared<DBCalendar>();
    rig.driver->ReadCalendar(cal);
    rig.settle();
    bool found = false;
    for (qint16 i = 0; i < cal->count(); ++i) {
        const auto e = cal->GetItem(i);
        if (e->title == QStringLiteral("NY party")) {
            found = true;
            EXPECT_EQ(e->dstart, at(2027, 1, 1, 0, 10));
            EXPECT_EQ(e->prerem, 20);
        }
    }
    EXPECT_TRUE(found);
}

TEST(VelmoraCalendar, NothingToDoEndsAtOnce)
{
    DriverRig rig(QStringLiteral("K110"));
    rig.init();
    auto out = std::make_shared<DBCalendar>();
    out->add(0, at(2027, 1, 1, 0, 10), zeroDateTime(), true, 20, EventKind::Plain, QStringLiteral("NY"),
             QString(), Operation::None);
    const int before = rig.commandCount();
    rig.driver->UpdateCalendar(out);
    rig.settle();
    EXPECT_EQ(rig.commandCount(), before);
    EXPECT_EQ(rig.owner.callbacks, 2);
}

TEST(TarvexCalendar, WalksFiftySlots)
{
    DriverRig rig(QStringLiteral("G170"),
                  QStringLiteral("event=0,3,2026-03-07 10:30,1,10:15,\"Call Bob\"\n"
                                 "event=7,1,2026-03-07 00:10,1,23:50,\"Late\"\n"
                                 "event=49,4,2026-05-01 08:00,0,,\"Birthday, Ann\"\n"));
    rig.init();
    const int before = rig.commandCount();
    auto cal = std::make_shared<DBCalendar>();
    rig.driver->ReadCalendar(cal);
    rig.settle();
    QStringList expected;
    for (int slot = 0; slot < 50; ++slot)
        expected << QStringLiteral("at+schr=%1").arg(slot);
    EXPECT_EQ(rig.commands().mid(before), expected);
    EXPECT_EQ(rig.owner.callbacks, 2);
    EXPECT_EQ(rig.owner.recoveries, 0);
    ASSERT_EQ(cal->count(), 3);
    EXPECT_EQ(cal->GetItem(0)->prerem, 15);
    EXPECT_EQ(cal->GetItem(0)->typ, EventKind::Meeting);
    EXPECT_EQ(cal->GetItem(0)->dstart, at(2026, 3, 7, 10, 30));
    EXPECT_EQ(cal->GetItem(1)->prerem, 20);
    EXPECT_EQ(cal->GetItem(1)->location, 7);
    EXPECT_EQ(cal->GetItem(2)->title, QStringLiteral("Birthday, Ann"));
    EXPECT_FALSE(cal->GetItem(2)->alarm);
    EXPECT_DOUBLE_EQ(rig.owner.progress.back(), 1.0);
}

TEST(TarvexCalendar, ReadsTheSameUnderEveryLocale)
{
    const QLocale saved;
    for (const char *name : {"de_DE", "fr_FR", "en_US"}) {
        QLocale::setDefault(QLocale(QLatin1String(name)));
        DriverRig rig(QStringLiteral("F550"), QStringLiteral("event=3,1,2026-12-31 23:59,1,23:00,\"x\"\n"));
        rig.init();
        auto cal = std::make_shared<DBCalendar>();
        rig.driver->ReadCalendar(cal);
        rig.settle();
        ASSERT_EQ(cal->count(), 1) << name;
        EXPECT_EQ(cal->GetItem(0)->dstart, at(2026, 12, 31, 23, 59)) << name;
        EXPECT_EQ(cal->GetItem(0)->prerem, 59) << name;
        cal->GetItem(0)->operation = Operation::Add;
        rig.driver->UpdateCalendar(cal);
        rig.settle();
        EXPECT_EQ(rig.commands().last(), QStringLiteral("at+schw=3,1,1,2026,12,31,23,59,23,00,\"x \""))
            << name;
    }
    QLocale::setDefault(saved);
}

TEST(TarvexCalendar, WritesDeletesAndReportsEventsWithoutAPlace)
{
    resetGlobals();
    DriverRig rig(QStringLiteral("H280X"), QStringLiteral("event=4,1,2026-03-07 09:00,0,,\"Old\"\n"));
    rig.init();
    auto out = std::make_shared<DBCalendar>();
    out->add(5, at(2026, 3, 8, 10, 30), zeroDateTime(), true, 15, EventKind::Meeting, QStringLiteral("Meet"),
             QStringLiteral("room"), Operation::Add);
    out->add(-1, at(2026, 3, 9, 11, 0), zeroDateTime(), false, 0, EventKind::Plain,
             QStringLiteral("Homeless"), QString(), Operation::Add);
    out->add(4, at(2026, 3, 7, 9, 0), zeroDateTime(), false, 0, EventKind::Plain, QStringLiteral("Old"),
             QString(), Operation::Delete);
    out->add(6, at(2026, 3, 10, 0, 10), zeroDateTime(), false, 30, EventKind::Call, QStringLiteral("NoAlarm"),
             QString(), Operation::Add);
    rig.driver->UpdateCalendar(out);
    rig.settle();
    EXPECT_EQ(rig.owner.callbacks, 2);
    EXPECT_EQ(rig.owner.recoveries, 0);
    EXPECT_EQ(rig.commands().mid(6),
              (QStringList{QStringLiteral("at+schw=5,3,1,2026,03,08,10,30,10,15,\"Meet room\""),
                           QStringLiteral("at+schd=4"),
                           QStringLiteral("at+schw=6,2,0,2026,03,10,00,10,\"NoAlarm \"")}));
    const auto &calendar = rig.port.contents().calendar;
    EXPECT_EQ(calendar.size(), 2u);
    EXPECT_EQ(calendar.at(5).text, QStringLiteral("Meet room"));
    EXPECT_EQ(calendar.at(5).alarmTime, QTime(10, 15));
    EXPECT_TRUE(globals().gDetails.contains(QStringLiteral("Homeless")));
    EXPECT_TRUE(globals().gDetails.endsWith(QStringLiteral("\r\n")));
    EXPECT_DOUBLE_EQ(rig.owner.progress.back(), 1.0);
}
