// The whole program of windows with its own setup window and a simulated handset on COM3: the saved
// port is found at start-up, the splash hands over to the tray, a contacts run and a calendar run
// started from the tray window go through, and the first run opens the first-run window.
#include "ShellRig.h"
#include "phonesim/SimCommControl.h"
#include "platform/PortMap.h"
#include "platform/QtTimerFactory.h"
#include "platform/SerialCommControl.h"
#include "shell/FormMainWindow.h"
#include "shell/FrmSysTray.h"
#include "shell/MrWho.h"
#include "shell/frmSplash.h"
#include "support/SimulatorProgram.h"
#include <QDir>
#include <QFile>
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

namespace {

const QByteArray kTwoEntries = "entry=SM,1,\"+4911\",145,\"Anna\",0\nentry=ME,2,\"0301\",129,\"Carl\",1\n";

// The whole program on a real pseudo-terminal: the simulator program serves the handset, the serial
// control is the program's own, and the timers and message loop are real (nothing here waits for a
// time-out: each fault ends the run by itself or by the user's hand).
class OnPty : public ::testing::Test
{
protected:
    ShellRig rig;
    QtTimerFactory timers;
    SystemClock clock;
    QtMessageLoop loop;
    std::unique_ptr<SimulatorProgram> sim;
    std::unique_ptr<PortMap> ports;
    std::unique_ptr<SerialCommControl> comm;
    QString done = QStringLiteral("Data exchange successfully completed.");

    void TearDown() override
    {
        rig.program.reset();
        comm.reset();
        sim.reset();
    }

    // Starts the simulator with `options` and the program with COM3 saved; true once the phone is found.
    bool startWith(const char *model, const QByteArray &contents, const QStringList &options)
    {
        if (SimulatorProgram::path().isEmpty())
            return false;
        sim = std::make_unique<SimulatorProgram>(QLatin1String(model), contents, rig.dir.path(), options);
        if (!sim->ok())
            return false;
        rig.settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM3"), sim->linkPath());
        ports = std::make_unique<PortMap>(&rig.settings, [] { return QStringList(); });
        comm = std::make_unique<SerialCommControl>(*ports);
        rig.platform.timers = &timers;
        rig.platform.clock = &clock;
        rig.platform.loop = &loop;
        rig.comm = comm.get();
        rig.options.createSetup = nullptr;
        rig.listPorts({3});
        rig.settings.set(QStringLiteral("port"), QStringLiteral("Com 3"));
        return rig.start() == StartResult::Running && waitFor([&] { return trayState() == 1; });
    }

    bool waitFor(const std::function<bool()> &cond, int ms = 20000) { return pumpUntil(cond, ms); }
    KivoProgram &program() { return *rig.program; }
    FormMain &hub() { return rig.program->hub(); }
    // 0 stopped, 1 ready, 2 busy.
    int trayState() { return int(rig.program->tray().state().state()); }
    bool syncOffered()
    {
        program().tray().onActivate();
        return program().tray().button(QStringLiteral("Cmd_start_pb"))->isEnabled();
    }
    // From the tray window, as the user starts it.
    void startContacts()
    {
        program().tray().onActivate();
        program().tray().button(QStringLiteral("Cmd_start_pb"))->click();
    }
    bool runContacts()
    {
        startContacts();
        return waitFor([&] { return hub().syncState == Idle; }, 60000) &&
               program().mainWindow().progressText().endsWith(done);
    }
    // After a run: nothing holds the window (closing it from code is not refused) and no stop is left.
    void expectClosable()
    {
        EXPECT_EQ(hub().syncState, Idle);
        EXPECT_EQ(hub().queryUnload(0, 1), 0);
        EXPECT_FALSE(hub().InterruptQuery);
        program().mainWindow().button(ViewButton::Done)->click();
        EXPECT_FALSE(program().mainWindow().isVisible());
    }
    // The run has ended with these boxes and the tray in `tray`; the window closes, and a new detection
    // and a contacts run go through.
    void expectEndedThenRecovered(const QStringList &boxes, int tray)
    {
        ASSERT_TRUE(waitFor([&] { return hub().syncState == Idle; }, 5000));
        EXPECT_EQ(rig.boxes.texts(), boxes);
        EXPECT_EQ(trayState(), tray);
        EXPECT_TRUE(syncOffered()) << "with a port saved, a start looks for a missing phone first";
        expectClosable();
        rig.boxes.clear();
        ASSERT_TRUE(detectAgain());
        ASSERT_TRUE(runContacts()) << program().mainWindow().progressText().toStdString();
        EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();
        program().mainWindow().button(ViewButton::Done)->click();
    }
    // The run's first phonebook read (the 17th command: 4 probes, 6 commands of the driver's
    // identification, 5 of the run's) is lost, and the phone then only reports its signal, every 20 ms.
    bool startWithLostRead()
    {
        return startWith("K110", kTwoEntries,
                         {QStringLiteral("--chatter-at"), QStringLiteral("17"),
                          QStringLiteral("--chatter-ms"), QStringLiteral("20")});
    }

    // The detection of the setup window finds the phone again; its window is closed afterwards.
    bool detectAgain()
    {
        auto &who = dynamic_cast<MrWho &>(program().setup());
        who.startAutoDetection(); // the setup window is the handler from here until a driver identified
                                  // the phone
        const bool found = waitFor([&] {
            const auto *driver = hub().phoneDriver().get();
            return trayState() == 1 && driver && driver->automares();
        });
        who.hide();
        return found;
    }
};

} // namespace

TEST_F(OnPty, SecondFamilyModelQueryErrorDuringARunEndsTheRun)
{
    // Detection sends 4 probes and the driver's 6 identification commands; the run's identification
    // then asks the family (11th) and the model (12th), which fails.
    if (!startWith("G170", kTwoEntries, {QStringLiteral("--error-at"), QStringLiteral("12")}))
        GTEST_SKIP() << "no simulated phone";
    startContacts();
    expectEndedThenRecovered({QStringLiteral("A protocol error occurred while performing operation.")}, 0);
}

TEST_F(OnPty, HangUpDuringARunAndWhileReady)
{
    // The phone is lost in the middle of the run's phonebook read.
    if (!startWithLostRead())
        GTEST_SKIP() << "no simulated phone";
    startContacts();
    ASSERT_TRUE(waitFor([&] { return hub().syncState == ContactsPolicy; }));
    ASSERT_TRUE(sim->hangUp());
    expectEndedThenRecovered(
        {QStringLiteral("Could not find the phone. Check the connection and try again.")}, 0);

    // Ready and idle, the line drops: the tray shows it at once and offers no run.
    ASSERT_TRUE(syncOffered());
    ASSERT_TRUE(sim->hangUp());
    ASSERT_TRUE(waitFor([&] { return trayState() == 0; }));
    expectEndedThenRecovered({}, 0);
}

TEST_F(OnPty, APhoneThatWentAndCameBackIsFoundAndSynchronisedByOneClick)
{
    if (!startWith("K310", kTwoEntries, {}))
        GTEST_SKIP() << "no simulated phone";
    FrmSysTray &tray = program().tray();
    tray.showTrayWindow();
    tray.onActivate();
    ASSERT_EQ(tray.visiblePicture(), 2);

    // The phone restarts: the open window shows at once that it is gone.
    ASSERT_TRUE(sim->hangUp());
    ASSERT_TRUE(waitFor([&] { return trayState() == 0; }));
    EXPECT_EQ(tray.visiblePicture(), 0);
    ASSERT_TRUE(tray.button(QStringLiteral("Cmd_start_pb"))->isEnabled());

    // Back on the saved port: one click finds it and runs.
    tray.button(QStringLiteral("Cmd_start_pb"))->click();
    ASSERT_TRUE(waitFor([&] { return program().mainWindow().progressText().endsWith(done); }, 60000))
        << program().mainWindow().progressText().toStdString();
    EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(trayState(), 1);
    expectClosable();

    // Gone for good: the click says so, and leaves no window open.
    sim->stop();
    ASSERT_TRUE(waitFor([&] { return trayState() == 0; }));
    tray.onActivate();
    tray.button(QStringLiteral("Cmd_start_pb"))->click();
    ASSERT_TRUE(waitFor([&] { return rig.boxes.count() == 1; }));
    EXPECT_EQ(rig.boxes.last().text,
              QStringLiteral("Could not find the phone. Check the connection and try again."));
    EXPECT_EQ(hub().syncState, Idle);
    EXPECT_FALSE(program().mainWindow().isVisible());
    EXPECT_FALSE(program().setup().isWindowShown());
    EXPECT_EQ(trayState(), 0);
}

TEST_F(OnPty, StopEndsTheWaitForAPhoneThatKeepsTalking)
{
    if (!startWithLostRead())
        GTEST_SKIP() << "no simulated phone";
    startContacts();
    ASSERT_TRUE(waitFor([&] { return hub().syncState == ContactsPolicy; }));
    pumpUntil([] { return false; }, 200); // a few signal reports arrive
    program().mainWindow().button(ViewButton::Stop)->click();
    ASSERT_TRUE(waitFor([&] { return hub().syncState == Idle; }, 1000)) << "Stop does not end the wait";
    expectEndedThenRecovered({QStringLiteral("Operation in progress. Quit anyway?"),
                              QStringLiteral("Process Interrupted. Some task were not completed")},
                             1);
}

TEST_F(OnPty, UnsolicitedLinesBeforeEveryEchoAreSetAside)
{
    if (!startWith("K110", kTwoEntries, {QStringLiteral("--unsolicited"), QStringLiteral("+CREG: 1")}))
        GTEST_SKIP() << "no simulated phone";
    ASSERT_TRUE(runContacts()) << program().mainWindow().progressText().toStdString();
    // Both phone entries were read: "2 entries, done." follows the phone's loading line.
    EXPECT_TRUE(program().mainWindow().progressText().contains(
        QStringLiteral("Loading data from the Velmora\u00AE phone...2 entries, done.")))
        << program().mainWindow().progressText().toStdString();
    EXPECT_EQ(QDir(rig.dir.filePath(QStringLiteral("pim/Personal Folders/Contacts")))
                  .entryList({QStringLiteral("*.vcf")})
                  .size(),
              2);
    expectClosable();
    // Straight after, nothing moves (detected afresh, through the same chatty line).
    ASSERT_TRUE(detectAgain());
    ASSERT_TRUE(runContacts());
    EXPECT_TRUE(program().mainWindow().progressText().contains(
        QStringLiteral("Sending 0 entries to the Velmora\u00AE phone...")));
    EXPECT_TRUE(program().mainWindow().progressText().contains(
        QStringLiteral("Sending 0 entries to Outlook\u00AE...")));
    EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(trayState(), 1);
    expectClosable();
}

TEST_F(OnPty, AReminderThePhoneCannotHoldDoesNotBlockTheOtherEvents)
{
    if (!startWith("K110", kTwoEntries, {}))
        GTEST_SKIP() << "no simulated phone";
    const QByteArray day = QDate::currentDate().addDays(3).toString(QStringLiteral("yyyyMMdd")).toLatin1();
    const auto event = [&](const QByteArray &uid, const QByteArray &time, const QByteArray &title,
                           const QByteArray &trigger) {
        QFile f(rig.dir.filePath(QStringLiteral("pim/Personal Folders/Calendar/")) + QLatin1String(uid) +
                QStringLiteral(".ics"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:" + uid +
                "\r\nDTSTAMP:20260101T000000Z\r\nDTSTART:" + day + "T" + time + "00\r\nDTEND:" + day + "T" +
                time + "30\r\nSUMMARY:" + title + "\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:x\r\n" +
                trigger + "\r\nEND:VALARM\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    };
    event("absurd", "0900", "Dentist", "TRIGGER;RELATED=END:-P99999999W");
    event("plain", "1400", "Review", "TRIGGER:-PT15M");
    const auto runCalendar = [&] {
        program().tray().onActivate();
        program().tray().button(QStringLiteral("Cmd_start_cal"))->click();
        return waitFor([&] { return hub().syncState == Idle; }, 60000);
    };
    ASSERT_TRUE(runCalendar());
    EXPECT_TRUE(program().mainWindow().progressText().contains(
        QStringLiteral("Sending 2 events to the Velmora\u00AE phone...")))
        << program().mainWindow().progressText().toStdString();
    EXPECT_TRUE(program().mainWindow().progressText().endsWith(done))
        << program().mainWindow().progressText().toStdString();
    EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(trayState(), 1);
    expectClosable();

    // Both events are on the phone now: after a new detection, nothing moves either way.
    ASSERT_TRUE(detectAgain());
    ASSERT_TRUE(runCalendar());
    EXPECT_TRUE(program().mainWindow().progressText().contains(
        QStringLiteral("Sending 0 events to the Velmora\u00AE phone...")))
        << program().mainWindow().progressText().toStdString();
    EXPECT_TRUE(program().mainWindow().progressText().contains(QStringLiteral("Sending 0 events to Outlook")))
        << program().mainWindow().progressText().toStdString();
    EXPECT_EQ(rig.boxes.count(), 0) << rig.boxes.texts().join(QLatin1Char('|')).toStdString();
    expectClosable();
}
