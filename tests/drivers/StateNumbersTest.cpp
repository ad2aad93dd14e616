// Both families run one shared state machine after their own identification queries; the state a
// driver waits in for each reply is what its error handling tests, so the numbers must not drift.
#include "DriverRig.h"

#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ZeroDateTime.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

// One exchange: the phone's reply (empty: the operation is started instead), then the command the
// driver sends next ("" for none) and the state it waits in.
struct Exchange
{
    const char *reply;
    const char *sent;
    int state;
};

void walk(HandFedRig &rig, const std::vector<Exchange> &exchanges, const std::function<void()> &start)
{
    for (const Exchange &x : exchanges) {
        SCOPED_TRACE(x.sent);
        const qsizetype before = rig.wire.sent.size();
        if (*x.reply)
            rig.reply(QLatin1String(x.reply));
        else
            start();
        if (*x.sent) {
            ASSERT_EQ(rig.wire.sent.size(), before + 1);
            EXPECT_EQ(rig.wire.sent.last(), QLatin1String(x.sent) + QStringLiteral("\r\n"));
        } else {
            EXPECT_EQ(rig.wire.sent.size(), before);
        }
        EXPECT_EQ(rig.driver->currentState(), x.state);
    }
}

std::shared_ptr<DBCalendar> oneEventToWrite()
{
    auto cal = std::make_shared<DBCalendar>();
    cal->add(4, QDateTime(QDate(2026, 3, 8), QTime(10, 30)), zeroDateTime(), false, 0, 1,
             QStringLiteral("Meet"), QString(), 1);
    return cal;
}

// The replies after the identification queries, the same for both families.
const char *const kSimSelected = "AT+CPBS=\"SM\"\r\r\nOK\r\n";
const char *const kSimStatus = "AT+CPBS?\r\r\n+CPBS: \"SM\",1,250\r\n\r\nOK\r\n";
const char *const kHandsetSelected = "AT+CPBS=\"ME\"\r\r\nOK\r\n";
const char *const kHandsetStatus = "AT+CPBS?\r\r\n+CPBS: \"ME\",0,500\r\n\r\nOK\r\n";
const char *const kEntry = "AT+CPBR=1\r\r\n+CPBR: 1,\"+4911\",145,\"Anna\"\r\n\r\nOK\r\n";

} // namespace

TEST(StateNumbers, FirstFamilyWaitsInItsOwnStates)
{
    HandFedRig rig(std::make_unique<VelmoraAT>(&rig.box));
    walk(rig,
         {{"", "AT+GMM", 2},
          {"AT+GMM\r\r\nD240\r\n\r\nOK\r\n", "AT+CPBS=\"SM\"", 3},
          {kSimSelected, "AT+CPBS?", 4},
          {kSimStatus, "AT+CPBS=\"ME\"", 5},
          {kHandsetSelected, "AT+CPBS?", 6},
          {kHandsetStatus, "", 0}},
         [&] { rig.init(); });
    walk(rig,
         {{"", "AT+CPBS=\"ME\"", 8},
          {kHandsetSelected, "AT+CPBS=\"SM\"", 9},
          {kSimSelected, "AT+CPBR=1", 9},
          {kEntry, "", 0}},
         [&] { rig.driver->ReadContacts(std::make_shared<DBPhonebook>()); });
    walk(rig, {{"", "AT+CPBS=\"SM\"", 11}, {kSimSelected, "AT+CPBS=\"ME\"", 12}, {kHandsetSelected, "", 0}},
         [&] { rig.driver->UpdateContacts(std::make_shared<DBPhonebook>()); });
    walk(rig, {{"", "AT+SCHL", 14}, {"AT+SCHL\r\r\n+SCHL: \r\n\r\nOK\r\n", "", 0}},
         [&] { rig.driver->ReadCalendar(std::make_shared<DBCalendar>()); });
    walk(rig,
         {{"", "at+schw=0,08,03,2026,00,30,10,0,\"Meet \"", 16},
          {"at+schw=0,08,03,2026,00,30,10,0,\"Meet \"\r\r\nOK\r\n", "", 0}},
         [&] { rig.driver->UpdateCalendar(oneEventToWrite()); });
    EXPECT_EQ(rig.owner.callbacks, 5);
    EXPECT_EQ(rig.owner.recoveries, 0);
}

TEST(StateNumbers, SecondFamilyWaitsOneStateLaterAfterItsExtraQuery)
{
    HandFedRig rig(std::make_unique<TarvexAT>(&rig.box));
    walk(rig,
         {{"", "AT+GMM", 2},
          {"AT+GMM\r\r\nTarvex Mobile\r\n\r\nOK\r\n", "AT+CGMM", 3},
          {"AT+CGMM\r\r\nG170\r\n\r\nOK\r\n", "AT+CPBS=\"SM\"", 4},
          {kSimSelected, "AT+CPBS?", 5},
          {kSimStatus, "AT+CPBS=\"ME\"", 6},
          {kHandsetSelected, "AT+CPBS?", 7},
          {kHandsetStatus, "", 0}},
         [&] { rig.init(); });
    walk(rig,
         {{"", "AT+CPBS=\"ME\"", 9},
          {kHandsetSelected, "AT+CPBS=\"SM\"", 10},
          {kSimSelected, "AT+CPBR=1", 10},
          {kEntry, "", 0}},
         [&] { rig.driver->ReadContacts(std::make_shared<DBPhonebook>()); });
    walk(rig, {{"", "AT+CPBS=\"SM\"", 12}, {kSimSelected, "AT+CPBS=\"ME\"", 13}, {kHandsetSelected, "", 0}},
         [&] { rig.driver->UpdateContacts(std::make_shared<DBPhonebook>()); });
    walk(rig, {{"", "at+schr=0", 15}, {"at+schr=0\r\r\nERROR\r\n", "at+schr=1", 15}},
         [&] { rig.driver->ReadCalendar(std::make_shared<DBCalendar>()); });
    for (int slot = 1; slot < TarvexAT::kCalendarSlots; ++slot)
        rig.reply(QStringLiteral("at+schr=%1\r\r\nERROR\r\n").arg(slot));
    EXPECT_EQ(rig.driver->currentState(), 0);
    walk(rig,
         {{"", "at+schw=4,1,0,2026,03,08,10,30,\"Meet \"", 17},
          {"at+schw=4,1,0,2026,03,08,10,30,\"Meet \"\r\r\nOK\r\n", "", 0}},
         [&] { rig.driver->UpdateCalendar(oneEventToWrite()); });
    EXPECT_EQ(rig.owner.callbacks, 5);
    EXPECT_EQ(rig.owner.recoveries, 0);
}
