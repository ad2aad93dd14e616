// The whole program of windows with its own setup window and a simulated handset on COM3: the saved
// port is found at start-up, the splash hands over to the tray, a contacts run and a calendar run
// started from the tray window go through, and the first run opens the first-run window.
#include "ShellRig.h"
#include "phonesim/SimCommControl.h"
#include "shell/FormMainWindow.h"
#include "shell/FrmSysTray.h"
#include "shell/frmSplash.h"
#include <QPushButton>
#include <QSystemTrayIcon>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

struct WithPhone : ::testing::Test
{
    ShellRig rig;
    std::unique_ptr<phonesim::SimCommControl> phone;

    void SetUp() override
    {
        rig.options.createSetup = nullptr; // the program's own setup window
        rig.listPorts({1, 3});
        phone = std::make_unique<phonesim::SimCommControl>(QStringLiteral("K310"), QString(), &rig.time);
        phone->setPort(1, phonesim::SimCommControl::PortKind::Absent);
        rig.comm = phone.get();
    }
    void TearDown() override
    {
        rig.program.reset();
        phone.reset();
    }
    // Lets the link and the timers run until `done` holds (at most `limitMs` of virtual time).
    bool runUntil(const std::function<bool()> &done, qint64 limitMs = 60000)
    {
        return rig.time.advanceUntil(
            [&] {
                phone->deliverDue();
                return done();
            },
            limitMs);
    }
};

} // namespace

TEST_F(WithPhone, SavedPortIsFoundAndContactsAndCalendarRunsFromTheTrayGoThrough)
{
    rig.settings.set(QStringLiteral("port"), QStringLiteral("Com 3"));
    ASSERT_EQ(rig.start(), StartResult::Running);
    KivoProgram &p = *rig.program;
    FrmSysTray &tray = p.tray();
    ASSERT_TRUE(runUntil([&] { return tray.state().state() == TrayIcon::Ready; }))
        << "the phone is not detected";
    EXPECT_TRUE(tray.icon()->toolTip().contains(QStringLiteral("K310")))
        << tray.icon()->toolTip().toStdString();

    // Detection asked the splash to close before its three seconds: it goes at the mark, and the
    // tray window comes then, not over the splash.
    EXPECT_TRUE(p.splash().isVisible());
    EXPECT_FALSE(tray.isVisible());
    ASSERT_TRUE(runUntil([&] { return !p.splash().isVisible(); }, 5000));
    EXPECT_TRUE(tray.isVisible());
    tray.onActivate();
    EXPECT_TRUE(tray.button(QStringLiteral("Cmd_start_pb"))->isEnabled());
    EXPECT_EQ(tray.visiblePicture(), 2);

    tray.button(QStringLiteral("Cmd_start_pb"))->click();
    EXPECT_FALSE(tray.isEnabled());
    EXPECT_TRUE(p.mainWindow().isVisible());
    ASSERT_TRUE(runUntil([&] { return p.hub().syncState == Idle; })) << "the run does not end";
    EXPECT_TRUE(
        p.mainWindow().progressText().endsWith(QStringLiteral("Data exchange successfully completed.")))
        << p.mainWindow().progressText().toStdString();
    EXPECT_EQ(tray.currentIconName(), QStringLiteral(":/icons/ready.png"));
    EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();

    p.mainWindow().button(ViewButton::Done)->click();
    EXPECT_FALSE(p.mainWindow().isVisible());
    EXPECT_TRUE(tray.isEnabled());

    // Then a calendar run from the other button, on the same link.
    tray.onActivate();
    ASSERT_TRUE(tray.button(QStringLiteral("Cmd_start_cal"))->isEnabled());
    tray.button(QStringLiteral("Cmd_start_cal"))->click();
    EXPECT_FALSE(tray.isEnabled());
    ASSERT_TRUE(runUntil([&] { return p.hub().syncState == Idle; })) << "the calendar run does not end";
    EXPECT_TRUE(
        p.mainWindow().progressText().endsWith(QStringLiteral("Data exchange successfully completed.")))
        << p.mainWindow().progressText().toStdString();
    EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();
    p.mainWindow().button(ViewButton::Done)->click();
    EXPECT_TRUE(tray.isEnabled());
}

TEST_F(WithPhone, FirstRunProbesNothingAndOpensTheFirstRunWindowAtTheThreeSecondMark)
{
    ASSERT_EQ(rig.start(), StartResult::Running);
    rig.time.advance(2999);
    EXPECT_TRUE(rig.program->splash().isVisible());
    EXPECT_FALSE(rig.calls.contains(QStringLiteral("firstRun")));
    rig.time.advance(1);
    EXPECT_EQ(rig.calls, QStringList{QStringLiteral("firstRun")});
    EXPECT_EQ(phone->openCount(), 1) << "only the port test opens COM3 (COM1 is absent)";
    EXPECT_EQ(rig.program->tray().state().state(), TrayIcon::Stopped);
}
