// Time-outs, error replies at every command, replies cut at every byte, user stops at every step, and
// replies that cannot be read: each ends as it should, and no command follows.
#include "DriverRig.h"

#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ZeroDateTime.h"

#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

const QString kContents = QStringLiteral("entry=SM,1,\"+4911\",145,\"Anna\",0\n"
                                         "entry=SM,3,\"+4912\",145,\"Bert, B\",0\n"
                                         "entry=ME,2,\"0301\",129,\"Carl\",1\n"
                                         "event=1,1,2026-12-09 08:45,1,,\"09:00 Dentist\"\n"
                                         "event=2,1,2026-12-09 08:45,1,08:30,\"Tx\"\n");

const QString kProtocol = QStringLiteral("A protocol error occurred while performing operation.");
const QString kNoPhone = QStringLiteral("Could not find the phone. Check the connection and try again.");

struct Outcome
{
    int commands = 0;
    int callbacks = 0;
    int recoveries = 0;
    int fsmCalls = 0;
    QStringList boxes;
    int timeOuts = 0;
    int pbRecords = 0;
    int calRecords = 0;
};

// A whole run: identification, phonebook read and write, calendar read and write. Stops at the first
// operation that does not end with a callback (after letting the watchdog expire).
Outcome runSession(DriverRig &rig)
{
    auto pb = std::make_shared<DBPhonebook>();
    auto add = std::make_shared<DBPhonebook>();
    add->AddByName(QStringLiteral("Sim new"), 2, QStringLiteral("SM"), QStringLiteral("+4913"),
                   ContactKind::Mobile, Operation::Add);
    add->AddByName(QStringLiteral("Me new"), 5, QStringLiteral("ME"), QStringLiteral("0302"),
                   ContactKind::Mobile, Operation::Add);
    auto cal = std::make_shared<DBCalendar>();
    auto calOut = std::make_shared<DBCalendar>();
    calOut->add(9, QDateTime(QDate(2026, 12, 20), QTime(10, 0)), zeroDateTime(), true, 10, EventKind::Plain,
                QStringLiteral("New"), QString(), Operation::Add);
    calOut->add(1, QDateTime(QDate(2026, 12, 9), QTime(9, 0)), zeroDateTime(), true, 15, EventKind::Plain,
                QStringLiteral("Dentist"), QString(), Operation::Delete);
    const std::vector<std::function<void()>> ops = {
        [&] { rig.driver->Init(&rig.link, &rig.owner); }, [&] { rig.driver->ReadContacts(pb); },
        [&] { rig.driver->UpdateContacts(add); },         [&] { rig.driver->ReadCalendar(cal); },
        [&] { rig.driver->UpdateCalendar(calOut); },
    };
    bool stopped = false;
    auto previous = rig.owner.onStop;
    rig.owner.onStop = [&, previous] {
        stopped = true;
        if (previous)
            previous();
    };
    for (const auto &op : ops) {
        const int before = rig.owner.callbacks;
        op();
        rig.settle();
        if (rig.owner.callbacks == before) {
            rig.time.advance(6000); // the watchdog, if armed, expires
            rig.settle();
            break;
        }
        if (stopped)
            break;
    }
    Outcome o;
    o.commands = rig.commandCount();
    o.callbacks = rig.owner.callbacks;
    o.recoveries = rig.owner.recoveries;
    o.fsmCalls = rig.shell.fsmCalls;
    o.boxes = rig.box.texts();
    o.timeOuts = rig.timeOuts;
    o.pbRecords = pb->count();
    o.calRecords = cal->count();
    return o;
}

// After a failure a late reply must not start anything.
void expectQuietAfterwards(DriverRig &rig)
{
    const int before = rig.commandCount();
    rig.link.receive(QStringLiteral("AT+CPBR=1\r\r\nOK\r\n"));
    rig.settle();
    rig.time.advance(10000);
    EXPECT_EQ(rig.commandCount(), before);
    EXPECT_FALSE(rig.link.watchdogArmed());
    EXPECT_EQ(rig.driver->currentState(), 0);
}

class EveryModel : public ::testing::TestWithParam<const char *>
{
protected:
    QString model() const { return QLatin1String(GetParam()); }
    bool tarvex() const { return model().startsWith(QLatin1Char('G')); }
};

} // namespace

TEST_P(EveryModel, CleanSessionEndsEveryOperation)
{
    DriverRig rig(model(), kContents);
    const Outcome o = runSession(rig);
    EXPECT_EQ(o.callbacks, 5);
    EXPECT_EQ(o.recoveries, 0);
    EXPECT_TRUE(o.boxes.isEmpty()) << o.boxes.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(o.timeOuts, 0);
    EXPECT_EQ(o.pbRecords, 6);
    EXPECT_GE(o.calRecords, 1);
}

TEST_P(EveryModel, UnsolicitedLinesBeforeEveryEchoAreSetAside)
{
    DriverRig clean(model(), kContents);
    const Outcome ref = runSession(clean);
    for (const char *line : {"RING", "+CSQ: 20,99", "+CREG: 1,\"00C3\",\"1A2B\""}) {
        SCOPED_TRACE(line);
        DriverRig rig(model(), kContents);
        rig.port.faults().unsolicited = "\r\n" + QByteArray(line) + "\r\n";
        const Outcome o = runSession(rig);
        EXPECT_EQ(o.commands, ref.commands);
        EXPECT_EQ(o.callbacks, 5);
        EXPECT_EQ(o.pbRecords, ref.pbRecords);
        EXPECT_EQ(o.calRecords, ref.calRecords);
        EXPECT_TRUE(o.boxes.isEmpty()) << o.boxes.join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(rig.port.contents(), clean.port.contents());
    }
}

TEST_P(EveryModel, ErrorAtEveryCommand)
{
    int total = 0;
    {
        DriverRig clean(model(), kContents);
        total = runSession(clean).commands;
    }
    for (int n = 1; n <= total; ++n) {
        SCOPED_TRACE(n);
        DriverRig rig(model(), kContents);
        rig.port.faults().rules.push_back({phonesim::FaultAction::Error, n, QString()});
        const QString failed = [&] {
            DriverRig probe(model(), kContents);
            runSession(probe);
            return probe.commands().at(n - 1);
        }();
        const Outcome o = runSession(rig);
        EXPECT_EQ(o.timeOuts, 0);
        if (tarvex() && failed.startsWith(QLatin1String("at+schr="))) {
            // An error in the slot walk is an empty slot: the run goes on.
            EXPECT_EQ(o.commands, total);
            EXPECT_EQ(o.callbacks, 5);
            EXPECT_TRUE(o.boxes.isEmpty());
            continue;
        }
        EXPECT_EQ(o.commands, n) << failed.toStdString();
        // A run is active: even the second family's model query ends the run rather than handing the
        // link back to a detection nobody runs.
        ASSERT_EQ(o.boxes.size(), 1) << failed.toStdString();
        EXPECT_EQ(o.fsmCalls, 0);
        if (!tarvex() && failed == QLatin1String("AT+CPBS=\"SM\"") && n == 2) {
            EXPECT_TRUE(o.boxes[0].startsWith(QStringLiteral("Could not read the SIM card data.")));
            EXPECT_EQ(o.recoveries, 1);
        } else {
            EXPECT_EQ(o.boxes[0], kProtocol) << failed.toStdString();
            EXPECT_EQ(o.recoveries, 1);
        }
        expectQuietAfterwards(rig);
    }
}

TEST_P(EveryModel, SilenceAtEveryCommand)
{
    int total = 0;
    {
        DriverRig clean(model(), kContents);
        total = runSession(clean).commands;
    }
    for (int n = 1; n <= total; ++n) {
        SCOPED_TRACE(n);
        DriverRig rig(model(), kContents);
        rig.port.faults().rules.push_back({phonesim::FaultAction::Silence, n, QString()});
        // The user leaves the message open well past the watchdog's interval: the wait ends once.
        bool held = false;
        rig.box.setOnShow([&](const ScriptedMessageBox::Shown &) {
            if (!std::exchange(held, true))
                rig.time.advance(20000);
        });
        const Outcome o = runSession(rig);
        EXPECT_EQ(o.commands, n);
        EXPECT_EQ(o.timeOuts, 1);
        ASSERT_EQ(o.boxes.size(), 1);
        EXPECT_EQ(o.boxes[0], kNoPhone);
        EXPECT_EQ(o.recoveries, 1);
        expectQuietAfterwards(rig);
    }
}

TEST_P(EveryModel, WatchdogWaitsWhileTextKeepsComing)
{
    const int ms = tarvex() ? 5000 : 2000;
    DriverRig rig(model(), kContents);
    rig.owner.syncState = 0;
    rig.port.faults().rules.push_back({phonesim::FaultAction::Silence, 1, QString()});
    rig.driver->Init(&rig.link, &rig.owner);
    rig.settle();
    // The reply trickles in, each piece just before the interval runs out.
    for (const char *piece : {"AT+GMM\r", "\r\nVelmora K110 Tarvex", "\r\n"}) {
        rig.time.advance(ms - 1);
        rig.link.receive(QLatin1String(piece));
        EXPECT_TRUE(rig.link.watchdogArmed());
    }
    EXPECT_EQ(rig.timeOuts, 0);
    rig.time.advance(ms - 1);
    rig.link.receive(QStringLiteral("\r\nOK\r\n"));
    rig.settle();
    EXPECT_EQ(rig.timeOuts, 0);
    EXPECT_TRUE(rig.driver->automares());
}

TEST_P(EveryModel, RepliesCutAtEveryByte)
{
    DriverRig clean(model(), kContents);
    const Outcome ref = runSession(clean);
    for (int k = 1; k <= 48; ++k) {
        SCOPED_TRACE(k);
        DriverRig rig(model(), kContents);
        rig.port.faults().splitSizes = {k, 100000};
        const Outcome o = runSession(rig);
        EXPECT_EQ(o.commands, ref.commands);
        EXPECT_EQ(o.callbacks, 5);
        EXPECT_EQ(o.pbRecords, ref.pbRecords);
        EXPECT_EQ(o.calRecords, ref.calRecords);
        EXPECT_TRUE(o.boxes.isEmpty());
        EXPECT_EQ(rig.port.contents(), clean.port.contents());
    }
    DriverRig bytes(model(), kContents);
    bytes.port.faults().splitSizes = {1};
    const Outcome o = runSession(bytes);
    EXPECT_EQ(o.commands, ref.commands);
    EXPECT_EQ(bytes.port.contents(), clean.port.contents());
}

TEST_P(EveryModel, UserStopAtEveryStep)
{
    int polls = 0;
    {
        DriverRig clean(model(), kContents);
        runSession(clean);
        polls = clean.owner.interruptPolls;
    }
    for (int k = 1; k <= polls; ++k) {
        SCOPED_TRACE(k);
        DriverRig rig(model(), kContents);
        rig.owner.stopAtPoll = k;
        int commandsAtStop = -1;
        int callbacksAtStop = -1;
        rig.owner.onStop = [&] {
            commandsAtStop = rig.commandCount();
            callbacksAtStop = rig.owner.callbacks;
        };
        runSession(rig);
        rig.settle();
        ASSERT_GE(commandsAtStop, 0);
        EXPECT_EQ(rig.commandCount(), commandsAtStop);
        EXPECT_EQ(rig.owner.callbacks, callbacksAtStop + 1); // the stop ends the operation with a callback
        EXPECT_EQ(rig.owner.recoveries, 0);
        EXPECT_EQ(rig.box.count(), 0);
        expectQuietAfterwards(rig);
    }
}

INSTANTIATE_TEST_SUITE_P(Drivers, EveryModel, ::testing::Values("K110", "D240", "G170"));

TEST(UnreadableReplies, APhoneWithoutEchoIsToldAsSuch)
{
    // The phone's profile keeps its echo off: every answer comes without the command before it. Both
    // families, during the identification and during a run, say why, in the box, the log and the
    // details, so that the user can switch the echo on.
    const QString why = QStringLiteral(
        "The phone does not echo its commands. Switch its echo on (command ATE1) and try again.");
    for (const bool tarvex : {false, true}) {
        SCOPED_TRACE(tarvex);
        resetGlobals();
        HandFedRig rig(tarvex ? std::unique_ptr<AtDriverBase>(std::make_unique<TarvexAT>(&rig.box))
                              : std::unique_ptr<AtDriverBase>(std::make_unique<VelmoraAT>(&rig.box)));
        rig.init();
        rig.reply(tarvex ? QStringLiteral("\r\nTarvex Mobile\r\n\r\nOK\r\n")
                         : QStringLiteral("\r\nVelmora K110\r\n\r\nOK\r\n"));
        EXPECT_EQ(rig.owner.recoveries, 1);
        ASSERT_EQ(rig.box.count(), 1);
        EXPECT_EQ(rig.box.last().text, kProtocol + QStringLiteral("\r\n") + why);
        EXPECT_TRUE(globals().gDetails.contains(why)) << globals().gDetails.toStdString();
        EXPECT_TRUE(globals()
                        .gLog.recentLines()
                        .join(QLatin1Char('\n'))
                        .contains(QStringLiteral("no echo of AT+GMM: ") + why));
        EXPECT_FALSE(rig.link.watchdogArmed());
        const int sent = rig.wire.sent.size();
        rig.reply(QStringLiteral("\r\nOK\r\n"));
        EXPECT_EQ(rig.wire.sent.size(), sent) << "nothing follows the failure";
    }
}

TEST(UnreadableReplies, EndTheRunLikeAnError)
{
    // Each complete reply below cannot be read; the driver must not wait for nothing.
    const char *bad[] = {
        "AT+CPBS?\r\r\n+CPBS: \"SM\"\r\n\r\nOK\r\n",
        "AT+CPBS?\r\r\n+CPBS: \"SM\",x,250\r\n\r\nOK\r\n",
        "AT+GMM\r\nOK\r\n",
        // No memory status at all: the memories would count as empty and the run as a success.
        "AT+CPBS?\r\r\nOK\r\n",
        // An OK that follows no echo answers some other command.
        "\r\n+CSQ: 20,99\r\n\r\nOK\r\n",
    };
    for (const char *reply : bad) {
        SCOPED_TRACE(reply);
        HandFedRig rig(std::make_unique<VelmoraAT>(&rig.box));
        rig.init();
        if (QLatin1String(reply).startsWith(QLatin1String("AT+CPBS?"))) {
            // Up to the SIM's status query.
            rig.reply(QStringLiteral("AT+GMM\r\r\nVelmora K110\r\n\r\nOK\r\n"));
            rig.reply(QStringLiteral("AT+CPBS=\"SM\"\r\r\nOK\r\n"));
            ASSERT_EQ(rig.wire.sent.constLast(), QStringLiteral("AT+CPBS?\r\n"));
        }
        rig.reply(QLatin1String(reply));
        EXPECT_EQ(rig.owner.recoveries, 1);
        ASSERT_EQ(rig.box.count(), 1);
        EXPECT_TRUE(rig.box.last().text.startsWith(kProtocol)) << rig.box.last().text.toStdString();
        EXPECT_FALSE(rig.link.watchdogArmed());
        const int sent = rig.wire.sent.size();
        rig.reply(QStringLiteral("\r\nOK\r\n"));
        EXPECT_EQ(rig.wire.sent.size(), sent);
    }

    // A phonebook line without its quotes while reading, on the second family.
    HandFedRig t(std::make_unique<TarvexAT>(&t.box));
    t.init();
    t.reply(QStringLiteral("AT+GMM\r\r\nTarvex Mobile\r\n\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CGMM\r\r\nG170\r\n\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CPBS=\"SM\"\r\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"SM\",1,250\r\n\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CPBS=\"ME\"\r\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"ME\",0,500\r\n\r\nOK\r\n"));
    auto pb = std::make_shared<DBPhonebook>();
    t.driver->ReadContacts(pb);
    t.reply(QStringLiteral("AT+CPBS=\"ME\"\r\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CPBS=\"SM\"\r\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CPBR=1\r\r\n+CPBR: 1,123,129,Anna\r\n\r\nOK\r\n"));
    EXPECT_EQ(t.owner.recoveries, 1);
    EXPECT_EQ(t.box.last().text, kProtocol);
    EXPECT_EQ(pb->count(), 0);

    // A calendar slot that cannot be read.
    HandFedRig c(std::make_unique<TarvexAT>(&c.box));
    c.init();
    c.driver->ReadCalendar(std::make_shared<DBCalendar>());
    c.reply(QStringLiteral("at+schr=0\r\r\n+SCHR: 0,1,0,2026/02/30,10:00,\"x\"\r\n\r\nOK\r\n"));
    EXPECT_EQ(c.owner.recoveries, 1);
    EXPECT_EQ(c.wire.sent.filter(QStringLiteral("at+schr")).size(), 1);
}

TEST(UnreadableReplies, LateTextDoesNotReplayTheLastReply)
{
    // After the last entry the read is over; stray text must not add that entry a second time.
    DriverRig rig(QStringLiteral("D240"), QStringLiteral("entry=SM,1,\"+4911\",145,\"Anna\"\n"));
    rig.init();
    auto pb = std::make_shared<DBPhonebook>();
    rig.driver->ReadContacts(pb);
    rig.settle();
    ASSERT_EQ(pb->count(), 2);
    rig.link.receive(QStringLiteral("\r\nRING\r\n"));
    rig.link.receive(QStringLiteral("\r\nOK\r\n"));
    EXPECT_EQ(pb->count(), 2);
    EXPECT_EQ(rig.owner.callbacks, 2);
}

TEST(UnreadableReplies, EndlessTextWithoutAnEndIsAFailure)
{
    // A link that streams text without ever ending the reply keeps restarting the watchdog; the driver
    // gives up once no reply could be that long.
    HandFedRig rig(std::make_unique<TarvexAT>(&rig.box));
    rig.init();
    const QString chunk(1000, QLatin1Char('x'));
    // More of it arrives while the message is open: it answers nothing any more.
    rig.box.setOnShow([&](const ScriptedMessageBox::Shown &) {
        rig.reply(chunk);
        rig.reply(QStringLiteral("\r\nOK\r\n"));
    });
    for (int i = 0; i < 70 && rig.owner.recoveries == 0; ++i)
        rig.reply(chunk);
    EXPECT_EQ(rig.owner.recoveries, 1);
    EXPECT_EQ(rig.box.count(), 1);
    EXPECT_EQ(rig.box.last().text, kProtocol);
    EXPECT_EQ(rig.wire.sent.size(), 1) << "nothing is sent after the failure";
    EXPECT_FALSE(rig.link.watchdogArmed());
    EXPECT_EQ(rig.timeOuts, 0);
}
