// Both families run one shared state machine after their own identification queries. The state a
// driver waits in for each reply is what its error handling looks at, so the numbers must not drift:
// the second family's extra model query puts every later state one higher.
#include "DriverRig.h"

#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ZeroDateTime.h"

#include <QDateTime>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

QString ok(const char *echo, const char *body = "")
{
    const QString text = QLatin1String(body);
    return QLatin1String(echo) + QStringLiteral("\r\r\n") +
           (text.isEmpty() ? QString() : text + QStringLiteral("\r\n\r\n")) + QStringLiteral("OK\r\n");
}

struct FamilyCase
{
    const char *name;
    std::function<std::unique_ptr<AtDriverBase>(IMessageBox *)> make;
    QStringList modelReplies;        // the replies to the family's own identification queries
    std::vector<int> identification; // the states waited in from Init to the end of identification
    int offset;                      // added to every later state
    QStringList calendarReplies;     // the whole calendar read, every slot empty
};

// Starts an operation, answers each command in turn and gives the state waited in after each step.
std::vector<int> statesOf(HandFedRig &rig, const std::function<void()> &start, const QStringList &replies)
{
    std::vector<int> states;
    start();
    states.push_back(rig.driver->currentState());
    for (const QString &reply : replies) {
        rig.reply(reply);
        states.push_back(rig.driver->currentState());
    }
    return states;
}

std::vector<int> shifted(std::vector<int> states, int offset)
{
    for (int &s : states)
        if (s != 0)
            s += offset;
    return states;
}

} // namespace

TEST(StateNumbers, EachFamilyWaitsInItsOwnStates)
{
    QStringList emptySlots;
    for (int slot = 0; slot < TarvexAT::kCalendarSlots; ++slot)
        emptySlots << QStringLiteral("at+schr=%1\r\r\nERROR\r\n").arg(slot);
    const FamilyCase cases[] = {
        {"first",
         [](IMessageBox *box) { return std::make_unique<VelmoraAT>(box); },
         QStringList{ok("AT+GMM", "D240")},
         {2, 3, 4, 5, 6, 0},
         0,
         QStringList{ok("AT+SCHL", "+SCHL: ")}},
        {"second",
         [](IMessageBox *box) { return std::make_unique<TarvexAT>(box); },
         QStringList{ok("AT+GMM", "Tarvex Mobile"), ok("AT+CGMM", "G170")},
         {2, 3, 4, 5, 6, 7, 0},
         1,
         emptySlots},
    };
    const QString simSelected = ok("AT+CPBS=\"SM\"");
    const QString handsetSelected = ok("AT+CPBS=\"ME\"");
    for (const FamilyCase &c : cases) {
        SCOPED_TRACE(c.name);
        HandFedRig rig(c.make(&rig.box));
        EXPECT_EQ(statesOf(
                      rig, [&] { rig.init(); },
                      c.modelReplies + QStringList{simSelected, ok("AT+CPBS?", "+CPBS: \"SM\",1,250"),
                                                   handsetSelected, ok("AT+CPBS?", "+CPBS: \"ME\",0,500")}),
                  c.identification);

        // The handset memory is empty, the SIM holds one entry.
        EXPECT_EQ(
            statesOf(rig, [&] { rig.driver->ReadContacts(std::make_shared<DBPhonebook>()); },
                     {handsetSelected, simSelected, ok("AT+CPBR=1", "+CPBR: 1,\"+4911\",145,\"Anna\"")}),
            shifted({8, 9, 9, 0}, c.offset));
        EXPECT_EQ(statesOf(rig, [&] { rig.driver->UpdateContacts(std::make_shared<DBPhonebook>()); },
                           {simSelected, handsetSelected}),
                  shifted({11, 12, 0}, c.offset));

        const std::vector<int> calendarRead = statesOf(
            rig, [&] { rig.driver->ReadCalendar(std::make_shared<DBCalendar>()); }, c.calendarReplies);
        EXPECT_EQ(calendarRead.front(), 14 + c.offset);
        EXPECT_EQ(calendarRead.back(), 0);

        auto toWrite = std::make_shared<DBCalendar>();
        toWrite->add(4, QDateTime(QDate(2026, 3, 8), QTime(10, 30)), zeroDateTime(), false, 0,
                     EventKind::Plain, QStringLiteral("Meet"), QString(), Operation::Add);
        EXPECT_EQ(statesOf(rig, [&] { rig.driver->UpdateCalendar(toWrite); }, {ok("at+schw")}),
                  shifted({16, 0}, c.offset));

        EXPECT_EQ(rig.owner.callbacks, 5);
        EXPECT_EQ(rig.owner.recoveries, 0);
        EXPECT_EQ(rig.box.count(), 0);
    }
}
