#include "support/ManualTime.h"
#include "support/ScriptedMessageBox.h"
#include <gtest/gtest.h>
#include <vector>

using namespace orvia;
using namespace orvia::test;

TEST(ManualTime, FiresDueTimersInTimeOrderAndRestartsOnReenable)
{
    ManualTime mt;
    auto a = mt.createTimer();
    auto b = mt.createTimer();
    std::vector<std::pair<char, qint64>> fired;
    a->setOnTick([&] { fired.push_back({'a', mt.elapsedMs()}); });
    b->setOnTick([&] { fired.push_back({'b', mt.elapsedMs()}); });
    a->setInterval(300);
    b->setInterval(200);
    a->setEnabled(true);
    b->setEnabled(true);
    mt.advance(650);
    const std::vector<std::pair<char, qint64>> want{
        {'b', 200}, {'a', 300}, {'b', 400}, {'a', 600}, {'b', 600}};
    EXPECT_EQ(fired, want);
    EXPECT_EQ(mt.elapsedMs(), 650);

    // Re-enabling an enabled timer does not restart it; disabling and enabling does.
    fired.clear();
    a->setEnabled(true);
    b->setEnabled(false);
    mt.advance(250); // a was due at 900
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].second, 900);
    a->setEnabled(false);
    a->setEnabled(true);
    fired.clear();
    mt.advance(299);
    EXPECT_TRUE(fired.empty());
    mt.advance(1);
    EXPECT_EQ(fired.size(), 1u);

    // A zero interval never ticks.
    a->setInterval(0);
    fired.clear();
    mt.advance(10000);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(mt.activeTimers(), 0);
}

TEST(ManualTime, PauseDeliversNothingAndOverdueTimerFiresOnceLate)
{
    ManualTime mt;
    auto t = mt.createTimer();
    int ticks = 0;
    t->setOnTick([&] { ++ticks; });
    t->setInterval(100);
    t->setEnabled(true);
    const QDateTime before = mt.now();
    mt.pause(1000);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(before.msecsTo(mt.now()), 1000);
    mt.advanceToDue();
    EXPECT_EQ(ticks, 1);
    mt.advance(99);
    EXPECT_EQ(ticks, 1);
    mt.advance(1);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(mt.pauses(), std::vector<int>{1000});
}

TEST(ManualTime, HandlerMayDestroyOrRearmItsOwnTimer)
{
    ManualTime mt;
    auto t = mt.createTimer();
    auto u = mt.createTimer();
    int uTicks = 0;
    t->setInterval(10);
    t->setOnTick([&] { t.reset(); });
    u->setInterval(10);
    u->setOnTick([&] {
        ++uTicks;
        u->setInterval(50); // restarts the count from now
    });
    t->setEnabled(true);
    u->setEnabled(true);
    mt.advance(100);
    EXPECT_FALSE(t);
    EXPECT_EQ(uTicks, 2); // at 10 and at 60
}

TEST(ScriptedMessageBox, RecordsAndAnswersFromScriptThenFirstButton)
{
    ScriptedMessageBox box;
    box.queueAnswers({mb::No});
    EXPECT_EQ(box.show(QStringLiteral("Stop?"), mb::YesNo + mb::Question), mb::No);
    EXPECT_EQ(box.show(QStringLiteral("Again?"), mb::YesNo), mb::Yes);
    EXPECT_EQ(box.show(QStringLiteral("Retry"), mb::RetryCancel, QStringLiteral("T")), mb::Retry);
    EXPECT_EQ(box.show(QStringLiteral("Hi")), mb::Ok);
    ASSERT_EQ(box.count(), 4);
    EXPECT_EQ(box.shown()[0].style, mb::YesNo + mb::Question);
    EXPECT_EQ(box.shown()[2].title, QStringLiteral("T"));
    EXPECT_TRUE(box.anyContains(QStringLiteral("gain")));
}
