// Both families' calendar commands: the maker's one-line list and handset-chosen index, the Tarvex
// slots with ERROR for an empty one and the fixed date and time forms.
#include "SimTestHelpers.h"

#include <gtest/gtest.h>

using namespace orvia::phonesim;
using orvia::phonesim::test::answer;

namespace {

const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";

QByteArray info(const QByteArray &line)
{
    return "\r\n" + line + "\r\n\r\nOK\r\n";
}

QDateTime at(int y, int mo, int d, int h, int mi)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi));
}

TEST(VelmoraCalendar, ListsEveryRecordOnOneLine)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(answer(sim, "AT+SCHL"), kOk); // empty calendar
    sim.contents().calendar[1] = {1, at(2026, 12, 9, 8, 45), true, std::nullopt,
                                  QStringLiteral("09:00 Dentist")};
    sim.contents().calendar[4] = {1, at(2027, 1, 2, 23, 5), false, std::nullopt,
                                  QStringLiteral("Party, late")};
    EXPECT_EQ(
        answer(sim, "AT+SCHL"),
        info("+SCHL: 1,0,09,12,2026,1,45,08,1,\"09:00 Dentist\",4,0,02,01,2027,4,05,23,0,\"Party, late\""));
}

TEST(VelmoraCalendar, WriteAtIndexZeroTakesTheFirstFreeIndex)
{
    PhoneSim sim{QStringLiteral("D240")};
    sim.contents().calendar[1] = {1, at(2026, 1, 1, 0, 0), false, std::nullopt, QStringLiteral("x")};
    EXPECT_EQ(answer(sim, "at+schw=0,09,12,2026,00,45,08,1,\"09:00 Meeting \""), kOk);
    ASSERT_EQ(sim.contents().calendar.count(2), 1u);
    EXPECT_EQ(sim.contents().calendar.at(2), (CalendarEvent{1, at(2026, 12, 9, 8, 45), true, std::nullopt,
                                                            QStringLiteral("09:00 Meeting ")}));
    EXPECT_EQ(answer(sim, "at+schd=1"), kOk);
    EXPECT_EQ(answer(sim, "at+schd=1"), kError); // already gone
    EXPECT_EQ(answer(sim, "AT+SCHL"), info("+SCHL: 2,0,09,12,2026,2,45,08,1,\"09:00 Meeting \""));
}

TEST(VelmoraCalendar, RefusesBadWritesAndAFullCalendar)
{
    PhoneSim sim{QStringLiteral("D240")}; // 24 places
    EXPECT_EQ(answer(sim, "at+schw=0,31,02,2026,00,00,10,0,\"Bad day\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=0,01,02,2026,00,60,10,0,\"Bad minute\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=0,01,02,2026,00,00,10,2,\"Bad alarm\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=0,01,02,2026,00,00,10,0,Unquoted"), kError);
    EXPECT_EQ(answer(sim, "at+schw=0,01,02,2026,00,00,10,0"), kError);
    EXPECT_EQ(answer(sim, "at+schw=25,01,02,2026,00,00,10,0,\"Index\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=0,01,02,2026,00,00,10,0,\"12345678901234567890123456789012345678901\""),
              kError);
    for (int i = 0; i < 24; ++i)
        ASSERT_EQ(answer(sim, "at+schw=0,01,02,2026,00,00,10,0,\"Fill\""), kOk);
    EXPECT_EQ(answer(sim, "at+schw=0,01,02,2026,00,00,10,0,\"One too many\""), kError);
    EXPECT_EQ(sim.contents().calendar.size(), 24u);
    EXPECT_EQ(answer(sim, "at+schr=1"), kError); // not this family's command
}

TEST(TarvexCalendar, SlotsAnswerInTheFixedForms)
{
    PhoneSim sim{QStringLiteral("H280X")};
    sim.contents().calendar[0] = {3, at(2026, 12, 9, 10, 30), true, QTime(10, 15), QStringLiteral("Review")};
    sim.contents().calendar[7] = {4, at(2027, 3, 1, 0, 10), false, std::nullopt,
                                  QStringLiteral("Birthday, Eve")};
    EXPECT_EQ(answer(sim, "at+schr=0"), info("+SCHR: 0,3,1,2026/12/09,10:30,10:15,\"Review\""));
    EXPECT_EQ(answer(sim, "at+schr=7"), info("+SCHR: 7,4,0,2027/03/01,00:10,\"Birthday, Eve\""));
    EXPECT_EQ(answer(sim, "at+schr=1"), kError);
    EXPECT_EQ(answer(sim, "at+schr=50"), kError);
    // An empty slot is a plain ERROR even with numeric errors on: the driver reads it as such.
    EXPECT_EQ(answer(sim, "AT+CMEE=1"), kOk);
    EXPECT_EQ(answer(sim, "at+schr=2"), kError);
    EXPECT_EQ(answer(sim, "AT+SCHL"), kError); // not this family's command
}

TEST(TarvexCalendar, WritesAtTheNamedSlotWithAndWithoutAlarm)
{
    PhoneSim sim{QStringLiteral("G170")};
    EXPECT_EQ(answer(sim, "at+schw=5,3,1,2026,12,09,00,10,23,50,\"Late call\""), kOk);
    EXPECT_EQ(answer(sim, "at+schw=6,1,0,2026,12,10,09,00,\"No alarm \""), kOk);
    EXPECT_EQ(sim.contents().calendar.at(5),
              (CalendarEvent{3, at(2026, 12, 9, 0, 10), true, QTime(23, 50), QStringLiteral("Late call")}));
    EXPECT_EQ(answer(sim, "at+schr=5"), info("+SCHR: 5,3,1,2026/12/09,00:10,23:50,\"Late call\""));
    EXPECT_EQ(answer(sim, "at+schr=6"), info("+SCHR: 6,1,0,2026/12/10,09:00,\"No alarm \""));
    EXPECT_EQ(answer(sim, "at+schw=6,1,0,2026,12,10,09,00,23,50,\"Alarm time without alarm\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=6,1,1,2026,12,10,09,00,\"Alarm without time\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=6,5,0,2026,12,10,09,00,\"Kind five\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=50,1,0,2026,12,10,09,00,\"Slot 50\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=1,1,1,2026,12,10,09,00,24,00,\"Bad alarm\""), kError);
    EXPECT_EQ(answer(sim, "at+schw=1,1,0,2026,12,10,09,00,\"Twenty-eight characters long\""), kOk);
    EXPECT_EQ(answer(sim, "at+schw=1,1,0,2026,12,10,09,00,\"Twenty-nine characters long!!\""), kError);
    EXPECT_EQ(answer(sim, "at+schd=5"), kOk);
    EXPECT_EQ(answer(sim, "at+schr=5"), kError);
}

} // namespace
