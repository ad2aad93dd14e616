// The hub's serial link and callbacks: port opening, receive path, step timer, watchdog, progress.
#include "HubFixture.h"

using namespace orvia;
using namespace orvia::test;

namespace {

struct Hub : HubFixture
{
};

} // namespace

TEST_F(Hub, OpenComSetsTheLinkUpAndReportsAPortInUse)
{
    EXPECT_TRUE(fm->OpenCom(ComPort(3), QStringLiteral("57600")));
    EXPECT_EQ(comm.port, 3);
    EXPECT_EQ(comm.set, QStringLiteral("57600,N,8,1"));
    EXPECT_EQ(comm.hs, 2);
    EXPECT_TRUE(comm.rts);
    EXPECT_EQ(comm.thr, 1);
    EXPECT_TRUE(fm->OpenCom(ComPort(4), QStringLiteral("57600"))); // reopened with the new settings
    EXPECT_EQ(comm.opens, 2);
    comm.refuseWith = ErrPortOpen;
    EXPECT_FALSE(fm->OpenCom(ComPort(5), QStringLiteral("57600")));
    comm.refuseWith = ErrFileNotFound; // a port that does not exist is not usable either
    EXPECT_FALSE(fm->OpenCom(ComPort(6), QStringLiteral("57600")));
    fm->send(QStringLiteral("ATZ"));
    EXPECT_EQ(comm.out, QStringLiteral("ATZ\r\n"));
    comm.refuseWith = 0;
    fm->OpenCom(ComPort(1), QStringLiteral("57600"));
    fm->unload();
    EXPECT_FALSE(comm.open);
}

TEST_F(Hub, ReceivedTextIsOneReplyToTheCommandAwaitedAndNothingElse)
{
    comm.deliver(QStringLiteral("dropped")); // no handler: logged and dropped
    EXPECT_TRUE(globals()
                    .gLog.recentLines()
                    .join(QLatin1Char('\n'))
                    .contains(QStringLiteral("Formmain oncomm handler is null!")));
    auto d = std::make_shared<FakeDriver>();
    fm->setDriver(d);
    comm.deliver(QStringLiteral("\r\nRING\r\n")); // nothing asked: it answers nothing
    fm->link().sendCommand(QStringLiteral("AT+GMM"), ReplyLimits{2000, 30000, 4096});
    EXPECT_EQ(comm.out, QStringLiteral("AT+GMM\r\n"));
    comm.deliver(QStringLiteral("AT+GMM\r"));
    EXPECT_TRUE(d->received.isEmpty()) << "half a reply is kept back";
    comm.deliver(QStringLiteral("\r\nK110\r\nOK\r\n"));
    comm.deliver(QStringLiteral("\r\nOK\r\n")); // after the reply: answers nothing
    ASSERT_EQ(d->received, (QStringList{"AT+GMM\r\r\nK110\r\nOK\r\n"}));
    EXPECT_TRUE(d->lastReply.echoed);
    EXPECT_EQ(d->lastReply.end, PhoneReply::End::Ok);
    EXPECT_EQ(d->lastReply.lines.value(1), QStringLiteral("AT+GMM"));
    EXPECT_FALSE(fm->TimerOut()->enabled());
}

TEST_F(Hub, StepTimerIsOneShotAndTwoCallbacksGiveOneTick)
{
    int steps = 0;
    auto d = std::make_shared<FakeDriver>();
    d->hold = true;
    d->onCall = [&](const QString &) { ++steps; };
    fm->setDriver(d);
    fm->syncState = ContactsReadPhone; // a step that calls the driver
    fm->feaPhone = d->GetFeatures();
    fm->MrCallback(1);
    fm->MrCallback(1);
    time.advance(99);
    EXPECT_EQ(steps, 0);
    time.advance(1);
    EXPECT_EQ(steps, 1);
    time.advance(1000);
    EXPECT_EQ(steps, 1);
    EXPECT_FALSE(fm->StepTimer()->enabled());
}

TEST_F(Hub, WatchdogCallsTheHandlerThenTidiesUp)
{
    auto d = std::make_shared<FakeDriver>();
    fm->setDriver(d);
    view.shown = true;
    fm->TimerOut()->setInterval(2000);
    fm->TimerOut()->setEnabled(true);
    time.advance(2000);
    EXPECT_EQ(d->timeouts, 1);
    EXPECT_FALSE(fm->TimerOut()->enabled());
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(tray.tip, QStringLiteral("Velmora Orvia Link"));
    EXPECT_TRUE(tray.enabled);

    fm->dropHandler(); // without a handler the remaining steps still run
    view.shown = true;
    fm->TimerOut()->setEnabled(true);
    time.advance(2000);
    EXPECT_FALSE(view.shown);
}

TEST_F(Hub, ProgressRoundsHalvesToEvenAndNeverShowsZero)
{
    const std::pair<double, int> cases[] = {{0, 1},      {0.004, 1}, {0.125, 12},
                                            {0.135, 14}, {0.5, 50},  {1, 100}};
    for (auto [fraction, shown] : cases) {
        fm->SetProgress(fraction);
        EXPECT_EQ(view.opBar, shown) << fraction;
    }
    EXPECT_EQ(time.yieldCount(), int(std::size(cases)));
}

TEST_F(Hub, ClosingTheWindow)
{
    EXPECT_EQ(fm->queryUnload(0, 2), 0); // session end quits at once, even during a run
    EXPECT_EQ(shell.quits, 1);
    fm->syncState = ContactsReadPhone;
    EXPECT_EQ(fm->queryUnload(0, 0), 1);
    EXPECT_TRUE(fm->InterruptQuery);
    EXPECT_TRUE(tray.enabled);
    fm->syncState = Idle;
    shell.queryCancel = 1;
    EXPECT_EQ(fm->queryUnload(0, 0), 1);
    fm->clickDone();
    EXPECT_EQ(shell.trayShown, 1);
    fm->clickDetails();
    EXPECT_EQ(shell.details, 1);
    fm->log(QStringLiteral("x"));
    EXPECT_EQ(view.debug, QStringLiteral("x\r"));
    fm->debugBoxEvent();
    EXPECT_TRUE(view.debug.isEmpty());
}
