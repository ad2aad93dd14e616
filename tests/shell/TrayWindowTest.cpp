// The tray window on the whole program of windows: icon states and flashing, the enable rules of a
// click and of the popup menu, handset pictures, the commands, the close and quit policy.
#include "ShellRig.h"
#include "shell/FormMainWindow.h"
#include "shell/FrmSysTray.h"
#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

struct Tray : ::testing::Test
{
    ShellRig rig;
    FrmSysTray *tray = nullptr;

    void SetUp() override
    {
        ASSERT_EQ(rig.start(), StartResult::Running);
        tray = &rig.program->tray();
    }
    bool enabled(const char *name) const { return tray->action(QString::fromLatin1(name))->isEnabled(); }
    bool buttonEnabled(const char *name) const
    {
        return tray->button(QString::fromLatin1(name))->isEnabled();
    }
    ITrayState &state() { return tray->trayState(); }
};

} // namespace

TEST_F(Tray, IconAndWindowIconFollowTheStateWithTheTitleAsTip)
{
    // The phases and rules themselves are TrayState's; here: the icon the desktop and the window get.
    EXPECT_TRUE(tray->iconRegistered());
    EXPECT_FALSE(tray->isVisible());
    EXPECT_EQ(tray->currentIconName(), QStringLiteral(":/icons/stop.png"));
    EXPECT_EQ(tray->icon()->toolTip(), QStringLiteral("Velmora Orvia Link"));
    state().SetState(TrayIcon::Busy);
    EXPECT_EQ(tray->currentIconName(), QStringLiteral(":/icons/busy1.png"));
    rig.time.advance(400 * 5);
    EXPECT_EQ(tray->currentIconName(), QStringLiteral(":/icons/busy2.png"));
    EXPECT_EQ(tray->windowIcon().cacheKey(), tray->icon()->icon().cacheKey());
    state().SetState(TrayIcon::Ready);
    rig.time.advance(2000);
    EXPECT_EQ(tray->currentIconName(), QStringLiteral(":/icons/ready.png"));
    state().ToolTip(QStringLiteral("K310 on COM 3"));
    EXPECT_EQ(tray->icon()->toolTip(), QStringLiteral("K310 on COM 3"));

    // Before the start-up makes the main window its owner, the tray takes no state at all.
    ShellRig other;
    other.build();
    other.program->tray().trayState().SetState(TrayIcon::Busy);
    EXPECT_EQ(other.time.activeTimers(), 0);
    EXPECT_TRUE(other.program->tray().currentIconName().isEmpty());
}

TEST_F(Tray, LeftClickAppliesRuleAAndShowsAHiddenWindowOnly)
{
    tray->trayMouse(FrmSysTray::kLeftButtonUp);
    EXPECT_TRUE(tray->isVisible());
    EXPECT_FALSE(buttonEnabled("Cmd_start_pb")) << "no phone driver yet";
    EXPECT_FALSE(enabled("mSync2_0"));

    // Already visible: a click changes nothing, even when a phone came meanwhile.
    rig.connectPhone(QStringLiteral("K310"));
    tray->trayMouse(FrmSysTray::kLeftButtonUp);
    EXPECT_FALSE(buttonEnabled("Cmd_start_pb"));

    tray->hide();
    tray->trayMouse(FrmSysTray::kLeftButtonDoubleClick);
    EXPECT_TRUE(buttonEnabled("Cmd_start_pb"));
    EXPECT_TRUE(buttonEnabled("Cmd_start_cal"));
    EXPECT_TRUE(enabled("mSync2_1"));

    // The setup window on screen disables starting; so does a setup window that is the handler.
    tray->hide();
    rig.setup->shown = true;
    tray->trayMouse(FrmSysTray::kLeftButtonUp);
    EXPECT_FALSE(buttonEnabled("Cmd_start_cal"));
    tray->hide();
    rig.setup->shown = false;
    rig.program->hub().dropHandler();
    tray->trayMouse(FrmSysTray::kLeftButtonUp);
    EXPECT_FALSE(enabled("mSync2_0"));

    // Other mouse messages are ignored.
    tray->hide();
    tray->trayMouse(512);
    EXPECT_FALSE(tray->isVisible());
}

TEST_F(Tray, RightClickAppliesRuleBToThePopup)
{
    rig.connectPhone(QStringLiteral("K110"));
    tray->trayMouse(FrmSysTray::kRightButtonUp);
    EXPECT_TRUE(tray->popupMenu()->isVisible());
    EXPECT_TRUE(enabled("mSync_0"));
    EXPECT_TRUE(enabled("mSetup"));
    EXPECT_FALSE(tray->action(QStringLiteral("mCheckUpd"))->isVisible()) << "never shown in the popup";
    tray->popupMenu()->hide();

    // With the setup window on screen only About and Quit remain.
    rig.setup->shown = true;
    tray->trayMouse(FrmSysTray::kRightButtonUp);
    tray->popupMenu()->hide();
    EXPECT_FALSE(enabled("mSync_0"));
    EXPECT_FALSE(enabled("mSync_1"));
    EXPECT_FALSE(enabled("mSetup"));
    EXPECT_TRUE(enabled("mAbout2"));
    EXPECT_TRUE(enabled("mExit"));

    // No phone: setup stays possible, synchronising does not.
    rig.setup->shown = false;
    rig.program->hub().dropHandler();
    tray->trayMouse(FrmSysTray::kRightButtonUp);
    tray->popupMenu()->hide();
    EXPECT_TRUE(enabled("mSetup"));
    EXPECT_FALSE(enabled("mSync_1"));

    // While the tray window is on screen its own start buttons are disabled by the popup's rule, but
    // only while the menu is up: closing it (Esc) gives them back to the window's own rule.
    rig.connectPhone(QStringLiteral("K110"));
    tray->show();
    tray->onActivate();
    EXPECT_TRUE(buttonEnabled("Cmd_start_pb"));
    tray->trayMouse(FrmSysTray::kRightButtonUp);
    EXPECT_FALSE(buttonEnabled("Cmd_start_pb"));
    EXPECT_TRUE(enabled("mSync2_0")) << "the menu bar entries follow rule A only";
    tray->popupMenu()->hide();
    EXPECT_TRUE(buttonEnabled("Cmd_start_pb"));
    EXPECT_TRUE(buttonEnabled("Cmd_start_cal"));
    // ... and that rule still holds when it says no.
    rig.setup->shown = true;
    tray->trayMouse(FrmSysTray::kRightButtonUp);
    tray->popupMenu()->hide();
    EXPECT_FALSE(buttonEnabled("Cmd_start_pb"));
}

TEST_F(Tray, ActivationShowsThePictureOfTheExactModelCode)
{
    tray->show();
    tray->onActivate();
    EXPECT_EQ(tray->visiblePicture(), 0);
    rig.connectPhone(QStringLiteral("K310"));
    tray->onActivate();
    EXPECT_EQ(tray->visiblePicture(), 2);
    rig.connectPhone(QStringLiteral("M230"));
    tray->onActivate();
    EXPECT_EQ(tray->visiblePicture(), 8);
    for (const char *text : {"m230", "M230 ", "Tarvex"}) {
        rig.connectPhone(QString::fromLatin1(text));
        tray->onActivate();
        EXPECT_EQ(tray->visiblePicture(), 0) << text;
    }
    rig.connectPhone(QStringLiteral("H280X"));
    tray->onActivate();
    EXPECT_EQ(tray->visiblePicture(), 7);
}

TEST_F(Tray, StartingARunShowsTheMainWindowAndDisablesTheTray)
{
    auto phone = rig.connectPhone(QStringLiteral("L420"));
    FormMainWindow &main = rig.program->mainWindow();
    tray->show();
    tray->mSync_Click(1);
    EXPECT_EQ(rig.program->hub().syncState, CalendarReadOutlook) << "waiting for the identification";
    EXPECT_EQ(phone->inits, 1);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(tray->isEnabled());
    EXPECT_EQ(tray->currentIconName(), QStringLiteral(":/icons/busy1.png"));

    // A second start while the main window is on screen does nothing.
    rig.program->hub().syncState = Idle;
    tray->mSync_Click(0);
    EXPECT_EQ(rig.program->hub().syncState, Idle);
    EXPECT_EQ(phone->inits, 1);

    // "Done" hides the main window and gives the tray back.
    main.button(ViewButton::Done)->click();
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(tray->isEnabled());
    EXPECT_TRUE(tray->isVisible());
}

TEST_F(Tray, AStartCommandLeftEnabledAfterThePhoneWentAwayStartsNothing)
{
    rig.connectPhone(QStringLiteral("K310"));
    tray->trayMouse(FrmSysTray::kLeftButtonUp);
    ASSERT_TRUE(buttonEnabled("Cmd_start_pb"));
    rig.program->hub().RecoverFromPhoneError(); // a phone failure drops the driver
    tray->button(QStringLiteral("Cmd_start_pb"))->click();
    EXPECT_EQ(rig.program->hub().syncState, Idle);
    EXPECT_FALSE(rig.program->mainWindow().isVisible());
    EXPECT_EQ(rig.boxes.count(), 0);
    EXPECT_TRUE(tray->isEnabled());
    EXPECT_FALSE(buttonEnabled("Cmd_start_pb")) << "the commands are refreshed instead";
    EXPECT_FALSE(enabled("mSync2_1"));
}

TEST_F(Tray, WithASavedPortAStartWithoutAPhoneLooksForItFirst)
{
    rig.setup->seekable = true;
    rig.connectPhone(QStringLiteral("K310"));
    tray->trayMouse(FrmSysTray::kLeftButtonUp);
    tray->onActivate();
    ASSERT_EQ(tray->visiblePicture(), 2);

    // The phone goes while the window is on screen: it shows so at once, and the start buttons stay
    // as at a start without a phone.
    rig.program->hub().onLinkLost(QStringLiteral("hang-up"));
    EXPECT_EQ(tray->visiblePicture(), 0);
    EXPECT_EQ(tray->currentIconName(), QStringLiteral(":/icons/stop.png"));
    ASSERT_TRUE(buttonEnabled("Cmd_start_pb"));

    // One click: the phone is looked for, and the run starts once it is identified.
    tray->button(QStringLiteral("Cmd_start_cal"))->click();
    EXPECT_TRUE(rig.calls.contains(QStringLiteral("setup:seek")));
    EXPECT_FALSE(rig.program->mainWindow().isVisible());
    EXPECT_EQ(rig.boxes.count(), 0);
    ASSERT_TRUE(rig.setup->whenFound);
    auto phone = rig.connectPhone(QStringLiteral("K310"));
    rig.setup->whenFound();
    rig.time.advance(100);
    EXPECT_TRUE(rig.program->mainWindow().isVisible());
    EXPECT_EQ(rig.program->hub().syncState, CalendarReadOutlook);
    EXPECT_EQ(phone->inits, 1);
}

TEST_F(Tray, ARunWaitingForThePhoneStartsOnlyAsAClickCould)
{
    rig.setup->seekable = true;
    tray->mSync_Click(1);
    ASSERT_TRUE(rig.setup->whenFound);

    // The user opens the setup window while the phone is looked for: once found, the run does not
    // start under it, not even after the window is closed again.
    tray->mSetup_Click();
    ASSERT_TRUE(rig.setup->shown);
    auto phone = rig.connectPhone(QStringLiteral("K310"));
    rig.setup->whenFound();
    rig.time.advance(100);
    EXPECT_FALSE(rig.program->mainWindow().isVisible());
    EXPECT_EQ(rig.program->hub().syncState, Idle);
    rig.setup->shown = false;
    rig.time.advance(1000);
    EXPECT_EQ(rig.program->hub().syncState, Idle);
    EXPECT_EQ(phone->inits, 0);
    EXPECT_EQ(rig.boxes.count(), 0);
}

TEST_F(Tray, AStartThatCannotLookForThePhoneSaysSo)
{
    // No port saved: nothing to look on. A start request that still comes (a menu opened before the
    // phone went) is answered, not dropped.
    tray->mSync_Click(0);
    ASSERT_EQ(rig.boxes.count(), 1);
    EXPECT_EQ(rig.boxes.last().text,
              QStringLiteral("Could not find the phone. Check the connection and try again."));
    EXPECT_EQ(rig.program->hub().syncState, Idle);
    EXPECT_FALSE(rig.program->mainWindow().isVisible());
}

TEST_F(Tray, SetupAndUpdateOpenTheSetupWindowOnTheirPageUnlessItIsOnScreen)
{
    tray->action(QStringLiteral("mSetup2"))->trigger();
    tray->action(QStringLiteral("mCheckUpd2"))->trigger(); // already shown: nothing
    rig.setup->minimised = true;
    tray->mCheckUpd_Click();
    EXPECT_EQ(rig.calls.mid(rig.calls.indexOf(QStringLiteral("setup:Init")) + 1),
              (QStringList{"setup:tab1", "setup:show", "setup:tab4", "setup:show"}));
}

TEST_F(Tray, HelpOpensTheLocalPageOrSaysItCouldNot)
{
    tray->action(QStringLiteral("mHelp"))->trigger();
    ASSERT_EQ(rig.system.pages().size(), 1);
    EXPECT_TRUE(rig.system.pages().first().path.endsWith(QStringLiteral("/Orvia Link help.html")));
    rig.system.pages().first().done(true);
    EXPECT_EQ(rig.boxes.count(), 0);

    ShellRig german(QStringLiteral("German"));
    german.options.helpFile = german.dir.path() + QStringLiteral("/missing.html");
    ASSERT_EQ(german.start(), StartResult::Running);
    german.program->tray().mHelp_Click();
    EXPECT_TRUE(german.system.pages().isEmpty());
    ASSERT_EQ(german.boxes.count(), 1);
    EXPECT_EQ(german.boxes.last().text, QStringLiteral("Die Hilfeseite konnte nicht ge\u00F6ffnet werden."));
    EXPECT_EQ(german.boxes.last().style, mb::OkOnly);

    // The page is there, but the opener finds no program to show it (it fails after it started):
    // once it has ended, say where the page is.
    QFile page(german.options.helpFile);
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    german.program->tray().mHelp_Click();
    ASSERT_EQ(german.system.pages().size(), 1);
    EXPECT_EQ(german.boxes.count(), 1) << "nothing is known before the opener ends";
    german.system.pages().first().done(false);
    ASSERT_EQ(german.boxes.count(), 2);
    EXPECT_EQ(german.boxes.last().text, QStringLiteral("Die Hilfeseite konnte nicht ge\u00F6ffnet werden.\r\n"
                                                       "\u00D6ffnen Sie sie in einem Webbrowser:\r\n") +
                                            german.options.helpFile);
}

TEST_F(Tray, ClosingHidesWindowsAndQuitEndsTheProgramWithoutIcon)
{
    tray->show();
    tray->close();
    EXPECT_FALSE(tray->isVisible());
    tray->show();
    tray->showMinimized();
    QCoreApplication::processEvents();
    EXPECT_FALSE(tray->isVisible()) << "minimising hides";
    EXPECT_FALSE(tray->isMinimized()) << "and comes back normal";

    QWidget other;
    other.show();
    EXPECT_EQ(tray->MeQueryUnload(&other, 0, 1), 0);
    EXPECT_EQ(tray->MeQueryUnload(&other, 0, 2), 0);
    EXPECT_TRUE(other.isVisible());
    EXPECT_EQ(tray->MeQueryUnload(&other, 0, 0), 1);
    EXPECT_FALSE(other.isVisible());

    tray->action(QStringLiteral("mAbout2"))->trigger();
    EXPECT_TRUE(rig.calls.contains(QStringLiteral("about")));
    tray->action(QStringLiteral("mExit"))->trigger();
    EXPECT_EQ(rig.ends, 1);
    EXPECT_FALSE(tray->iconRegistered());
    tray->action(QStringLiteral("mExit2"))->trigger();
    EXPECT_EQ(rig.ends, 2);
}

TEST_F(Tray, MainWindowCloseIsRefusedDuringARunAndHiddenAfterIt)
{
    rig.connectPhone(QStringLiteral("K110"));
    FormMainWindow &main = rig.program->mainWindow();
    tray->mSync_Click(0);
    main.close();
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(rig.program->hub().InterruptQuery);
    EXPECT_TRUE(tray->isEnabled());

    rig.program->hub().syncState = Idle;
    rig.program->hub().InterruptQuery = false;
    main.close();
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(rig.ends, 0);

    // The end of the session ends the program, even during a run.
    rig.program->hub().syncState = ContactsReadPhone;
    rig.program->sessionEnding();
    EXPECT_EQ(rig.ends, 1);
}
