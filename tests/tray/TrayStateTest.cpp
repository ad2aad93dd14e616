// The tray icon's states, its flashing, the tip text, the click rules and the handset picture.
#include "shell/TrayState.h"
#include "support/ManualTime.h"
#include <gtest/gtest.h>

using namespace orvia;

namespace {

class TrayStateTest : public ::testing::Test
{
protected:
    TrayStateTest()
    {
        tray.setOnNotify([this] { ++notifies; });
    }

    test::ManualTime time;
    TrayState tray{time};
    int notifies = 0;
};

TrayWindowsView view(bool tray, bool main, bool setup, bool driver)
{
    return TrayWindowsView{tray, main, setup, driver};
}

} // namespace

TEST_F(TrayStateTest, StartsStoppedWithTheTitleAsTipAndNoTimer)
{
    EXPECT_EQ(tray.state(), TrayIcon::Stopped);
    EXPECT_EQ(tray.iconName(), QStringLiteral(":/icons/stop.png"));
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Velmora Orvia Link"));
    EXPECT_FALSE(tray.flashing());
    EXPECT_EQ(time.activeTimers(), 0);
    EXPECT_TRUE(tray.enabled());
}

TEST_F(TrayStateTest, StatesSelectIconsAndUnknownStatesOnlyResend)
{
    tray.SetState(TrayIcon::Ready);
    EXPECT_EQ(tray.iconName(), QStringLiteral(":/icons/ready.png"));
    EXPECT_EQ(notifies, 1);

    tray.SetState(TrayIcon(3));
    tray.SetState(TrayIcon(-1));
    EXPECT_EQ(tray.state(), TrayIcon::Ready);
    EXPECT_EQ(tray.iconName(), QStringLiteral(":/icons/ready.png"));
    EXPECT_EQ(notifies, 3);

    tray.SetState(TrayIcon::Stopped);
    EXPECT_EQ(tray.iconName(), QStringLiteral(":/icons/stop.png"));
}

TEST_F(TrayStateTest, BusyFlashesThroughFourPhasesEvery400ms)
{
    tray.SetState(TrayIcon::Busy);
    EXPECT_TRUE(tray.flashing());
    EXPECT_EQ(tray.iconName(), QStringLiteral(":/icons/busy1.png"));

    time.advance(399);
    EXPECT_EQ(tray.flashPhase(), 0);
    const int before = notifies;
    time.advance(1);
    EXPECT_EQ(tray.flashPhase(), 1);
    EXPECT_EQ(notifies, before + 1);
    EXPECT_EQ(tray.iconName(), QStringLiteral(":/icons/busy2.png"));

    time.advance(3 * 400);
    EXPECT_EQ(tray.flashPhase(), 0); // 1 -> 2 -> 3 -> 0
    time.advance(400);
    EXPECT_EQ(tray.iconName(), QStringLiteral(":/icons/busy2.png"));
}

TEST_F(TrayStateTest, RepeatedBusyRestartsAtPhaseZero)
{
    tray.SetState(TrayIcon::Busy);
    time.advance(800);
    EXPECT_EQ(tray.flashPhase(), 2);
    tray.SetState(TrayIcon::Busy);
    EXPECT_EQ(tray.flashPhase(), 0);
    time.advance(399);
    EXPECT_EQ(tray.flashPhase(), 0);
    time.advance(1);
    EXPECT_EQ(tray.flashPhase(), 1);
}

TEST_F(TrayStateTest, FlashingStopsOutsideBusyButNotOnUnknownState)
{
    tray.SetState(TrayIcon::Busy);
    time.advance(400);
    tray.SetState(TrayIcon(7)); // not a state: the flashing goes on
    EXPECT_TRUE(tray.flashing());
    time.advance(400);
    EXPECT_EQ(tray.flashPhase(), 2);

    for (TrayIcon next : {TrayIcon::Ready, TrayIcon::Stopped}) {
        tray.SetState(TrayIcon::Busy);
        tray.SetState(next);
        EXPECT_FALSE(tray.flashing());
        EXPECT_EQ(time.activeTimers(), 0);
        const int before = notifies;
        time.advance(4000);
        EXPECT_EQ(notifies, before);
        EXPECT_EQ(tray.state(), next);
    }
}

TEST_F(TrayStateTest, ForeignOwnerChangesNothingAndSendsNothing)
{
    tray.setOwnerIsMain(false);
    tray.SetState(TrayIcon::Busy);
    tray.ToolTip(QStringLiteral("K310 on COM3"));
    EXPECT_EQ(notifies, 0);
    EXPECT_EQ(tray.state(), TrayIcon::Stopped);
    EXPECT_FALSE(tray.flashing());
    EXPECT_EQ(tray.toolTip(), QStringLiteral("Velmora Orvia Link"));
}

TEST_F(TrayStateTest, TipKeepsRoomForItsTerminator)
{
    tray.ToolTip(QStringLiteral("K310 on COM3"));
    EXPECT_EQ(tray.toolTip(), QStringLiteral("K310 on COM3"));
    EXPECT_EQ(notifies, 1);

    const QString s63(63, QLatin1Char('a'));
    tray.ToolTip(s63);
    EXPECT_EQ(tray.toolTip(), s63);
    tray.ToolTip(s63 + QStringLiteral("bcd"));
    EXPECT_EQ(tray.toolTip(), s63);
    tray.ToolTip(QString());
    EXPECT_TRUE(tray.toolTip().isEmpty());
}

TEST_F(TrayStateTest, EnabledFlagFollowsTheCaller)
{
    tray.setEnabled(false);
    EXPECT_FALSE(tray.enabled());
    tray.setEnabled(true);
    EXPECT_TRUE(tray.enabled());
}

TEST_F(TrayStateTest, RuleAEnablesSyncOnlyWithADriverAndNoOtherWindow)
{
    EXPECT_FALSE(tray.commands().startButtons); // the buttons start disabled

    tray.applyRuleA(view(true, false, false, true));
    EXPECT_TRUE(tray.commands().menuSync);
    EXPECT_TRUE(tray.commands().startButtons);

    for (const auto &v :
         {view(false, true, false, true), view(false, false, true, true), view(false, false, false, false)}) {
        tray.applyRuleA(v);
        EXPECT_FALSE(tray.commands().menuSync);
        EXPECT_FALSE(tray.commands().startButtons);
    }
}

TEST_F(TrayStateTest, RuleBDependsOnTheTrayWindowToo)
{
    tray.applyRuleB(view(false, false, false, true));
    EXPECT_TRUE(tray.commands().popupSetup);
    EXPECT_TRUE(tray.commands().popupSync);
    EXPECT_TRUE(tray.commands().startButtons);

    // Setup on screen: only About and Quit remain.
    tray.applyRuleB(view(false, false, true, true));
    EXPECT_FALSE(tray.commands().popupSetup);
    EXPECT_FALSE(tray.commands().popupSync);

    // No phone: Setup stays, the syncs go.
    tray.applyRuleB(view(false, false, false, false));
    EXPECT_TRUE(tray.commands().popupSetup);
    EXPECT_FALSE(tray.commands().popupSync);

    // The tray window itself on screen: its start buttons go off as well, the menu bar keeps rule A.
    tray.applyRuleA(view(true, false, false, true));
    tray.applyRuleB(view(true, false, false, true));
    EXPECT_FALSE(tray.commands().startButtons);
    EXPECT_TRUE(tray.commands().menuSync);
}

TEST_F(TrayStateTest, MouseMessagesShowWindowOrPopup)
{
    const auto hidden = view(false, false, false, true);
    EXPECT_EQ(tray.onMouseMessage(514, hidden), TrayMouseAction::ShowWindow);
    EXPECT_TRUE(tray.commands().startButtons);
    EXPECT_EQ(tray.onMouseMessage(515, hidden), TrayMouseAction::ShowWindow);

    // A left click on a visible window leaves everything as it was.
    tray.applyRuleB(view(true, false, false, true));
    EXPECT_EQ(tray.onMouseMessage(514, view(true, false, false, true)), TrayMouseAction::None);
    EXPECT_FALSE(tray.commands().startButtons);

    EXPECT_EQ(tray.onMouseMessage(517, view(true, false, false, true)), TrayMouseAction::PopupMenu);
    EXPECT_EQ(tray.onMouseMessage(512, hidden), TrayMouseAction::None);
    EXPECT_EQ(tray.onMouseMessage(516, hidden), TrayMouseAction::None);
}

TEST_F(TrayStateTest, PictureMatchesTheWholeModelCodeExactly)
{
    const std::pair<const char *, int> table[] = {{"K110", 1},  {"K310", 2}, {"D240", 3},
                                                  {"G170", 4},  {"F660", 5}, {"F550", 6},
                                                  {"H280X", 7}, {"M230", 8}, {"L420", 9}};
    for (const auto &[code, picture] : table) {
        EXPECT_EQ(TrayState::pictureForModel(QLatin1String(code)), picture) << code;
        EXPECT_FALSE(TrayState::pictureName(picture).isEmpty());
    }
    for (const char *other : {"", "K310 ", "k310", "H280", "Tarvex", " K110"})
        EXPECT_EQ(TrayState::pictureForModel(QLatin1String(other)), 0) << other;
    EXPECT_TRUE(TrayState::pictureName(0).isEmpty());
    EXPECT_EQ(TrayState::pictureName(2), QStringLiteral(":/phones/K310.png"));
}

TEST_F(TrayStateTest, ActivationSwitchesThePictureAndAppliesRuleA)
{
    tray.onActivated(view(true, false, false, true), QStringLiteral("K310"));
    EXPECT_EQ(tray.shownPicture(), 2);
    EXPECT_TRUE(tray.commands().startButtons);

    EXPECT_FALSE(tray.showPhonePicture(QStringLiteral("K310")));
    EXPECT_TRUE(tray.showPhonePicture(QStringLiteral("M230")));
    EXPECT_EQ(tray.shownPicture(), 8);

    // The driver went away: no picture, syncs off.
    tray.onActivated(view(true, false, false, false), QString());
    EXPECT_EQ(tray.shownPicture(), 0);
    EXPECT_FALSE(tray.commands().menuSync);
}
