// Whole runs of the state machine against recording doubles: progress text, bars, buttons, tray
// states and every way a run can end.
#include "HubFixture.h"

using namespace orvia;
using namespace orvia::test;

namespace {

struct Rig : HubFixture
{
    std::shared_ptr<FakeDriver> driver = std::make_shared<FakeDriver>();

    void SetUp() override
    {
        HubFixture::SetUp();
        if (fm)
            fm->setDriver(driver);
    }
    // The user presses Stop while the phone read's reply is awaited; the next step falls due while the
    // question is open, and must wait for its answer.
    void stopWhileThePhoneDriverWaits(int answer)
    {
        driver->onCall = [&](const QString &op) {
            if (op == QLatin1String("ReadContacts")) { // its reply is awaited: the watchdog runs
                fm->TimerOut()->setInterval(2000);
                fm->TimerOut()->setEnabled(true);
            }
        };
        fm->StartContacts();
        time.advance(200); // up to the phone read
        ASSERT_EQ(driver->calls, (QStringList{"Init", "ReadContacts"}));
        boxes.queueAnswers({answer});
        boxes.setOnShow([&](const ScriptedMessageBox::Shown &) {
            time.advance(300);
            fm->TimerOut()->setEnabled(false);
        });
        fm->clickStop();
        boxes.setOnShow({});
        ASSERT_EQ(boxes.count(), 1);
        EXPECT_EQ(boxes.last().text, QStringLiteral("Operation in progress. Quit anyway?"));
        EXPECT_NE(fm->syncState, Idle);
        runToEnd();
        EXPECT_EQ(fm->syncState, Idle);
        EXPECT_FALSE(fm->InterruptQuery);
    }
    // Runs ticks until the run is idle again (or nothing is scheduled).
    void runToEnd()
    {
        time.advanceUntil([&] { return fm->syncState == Idle; }, 10000, 100);
    }
};

const QString CRLF = QStringLiteral("\r\n");

} // namespace

TEST_F(Rig, ContactsRunShowsEachPhaseAndFinishes)
{
    fm->StartContacts();
    EXPECT_TRUE(view.busy);
    EXPECT_TRUE(view.shown);
    runToEnd();
    EXPECT_EQ(view.text, QStringLiteral("Start Contacts Sync...done") + CRLF +
                             "Loading data from Outlook\u00AE...2 entries, done." + CRLF +
                             "Loading data from the Velmora\u00AE phone...1 entries, done." + CRLF +
                             "Synchronizing...done." + CRLF + "Sending 1 entries to Outlook\u00AE...done." +
                             CRLF + "Sending 2 entries to the Velmora\u00AE phone...done." + CRLF + CRLF +
                             "Data exchange successfully completed.");
    EXPECT_EQ(view.overall, 100);
    EXPECT_EQ(tray.states, (QList<TrayIcon>{TrayIcon::Busy, TrayIcon::Ready}));
    EXPECT_TRUE(view.visible[ViewButton::Done]);
    EXPECT_FALSE(view.visible[ViewButton::Stop]);
    EXPECT_FALSE(view.visible[ViewButton::Details]);
    EXPECT_FALSE(view.busy);
    EXPECT_TRUE(view.shown); // the window stays with its Done button
    EXPECT_EQ(driver->calls, (QStringList{"Init", "ReadContacts", "UpdateContacts"}));
    ASSERT_TRUE(driver->written);
    EXPECT_EQ(driver->written->countToSend(), 2);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(Rig, NoticesBringTheDetailsHintAndAreClearedByTheNextRun)
{
    policy.notice = QStringLiteral("Details for Anna: not stored\r\n");
    fm->StartContacts();
    runToEnd();
    EXPECT_TRUE(view.text.endsWith(
        QStringLiteral("Data exchange successfully completed. See details for more information.")));
    EXPECT_TRUE(view.visible[ViewButton::Details]);
    EXPECT_TRUE(view.enabled[ViewButton::Details]);

    policy.notice.clear();
    fm->StartCalendar();
    EXPECT_TRUE(globals().gDetails.isEmpty());
    EXPECT_FALSE(view.visible[ViewButton::Details]);
    runToEnd();
    EXPECT_FALSE(view.text.contains(QStringLiteral("See details")));
}

TEST_F(Rig, CalendarRunTextAndBars)
{
    fm->StartCalendar();
    EXPECT_EQ(view.overall, 0); // the first calendar run leaves the bar alone until it has checked the link
    runToEnd();
    EXPECT_EQ(view.text, QStringLiteral("Start Calendar Sync...done.") + CRLF +
                             "Loading data from Outlook\u00AE...1 events, done." + CRLF +
                             "Loading data from the Velmora\u00AE phone...0 events, done." + CRLF +
                             "Synchronizing...done." + CRLF + "Sending 0 events to Outlook\u00AE...done." +
                             CRLF + "Sending 1 events to the Velmora\u00AE phone...done." + CRLF + CRLF +
                             "Data exchange successfully completed.");
    EXPECT_EQ(view.overall, 100);
    policy.notice = QStringLiteral("x\r\n");
    view.opBar = 100; // where the previous run's last operation left it
    fm->StartCalendar();
    EXPECT_EQ(view.overall, 100); // kept from the previous run until state 9
    EXPECT_EQ(view.opBar, 0);
    runToEnd();
    EXPECT_TRUE(view.text.endsWith(QStringLiteral("completed. \r\nSee details for more information.")));
}

TEST_F(Rig, StopConfirmedDuringPhoneReadEndsAtNextTick)
{
    driver->onCall = [&](const QString &op) {
        if (op == QLatin1String("ReadContacts"))
            fm->clickStop();
    };
    boxes.queueAnswers({mb::Yes});
    fm->StartContacts();
    runToEnd();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Process Interrupted. Some task were not completed"));
    EXPECT_FALSE(view.shown);
    EXPECT_TRUE(view.enabled[ViewButton::Done]);
    EXPECT_FALSE(view.visible[ViewButton::Done]);
    EXPECT_FALSE(fm->InterruptQuery);
    EXPECT_TRUE(tray.enabled);
    EXPECT_EQ(driver->calls, (QStringList{"Init", "ReadContacts"})); // nothing written
}

TEST_F(Rig, StopConfirmedInsideDesktopReadStillAdvancesThenInterrupts)
{
    desktop.stopInside = true;
    desktop.onStop = [&] { fm->clickStop(); };
    boxes.queueAnswers({mb::Yes, mb::Ok});
    fm->StartContacts();
    time.advance(100); // state 2 runs: the desktop read returns early without its callback
    EXPECT_EQ(fm->syncState, ContactsReadPhone);
    runToEnd();
    EXPECT_EQ(boxes.texts(), (QStringList{"Operation in progress. Quit anyway?",
                                          "Process Interrupted. Some task were not completed"}));
    EXPECT_EQ(boxes.shown()[0].style, mb::YesNo);
    EXPECT_EQ(driver->calls, (QStringList{"Init"}));
}

TEST_F(Rig, AnsweringNoToTheStopQuestionLetsTheRunGoOn)
{
    desktop.stopInside = true;
    desktop.onStop = [&] { fm->clickStop(); };
    boxes.queueAnswers({mb::No});
    fm->StartContacts();
    runToEnd();
    EXPECT_FALSE(fm->UserInterrupt()); // no box when no stop is pending
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_TRUE(view.text.endsWith(QStringLiteral("Data exchange successfully completed.")));
}

TEST_F(Rig, StopWhileThePhoneDriverWaitsIsAskedAtOnceAndANoLetsTheRunGoOn)
{
    stopWhileThePhoneDriverWaits(mb::No);
    EXPECT_TRUE(view.text.endsWith(QStringLiteral("Data exchange successfully completed.")));
    EXPECT_EQ(boxes.count(), 1);
}

TEST_F(Rig, StopWhileThePhoneDriverWaitsIsAskedAtOnceAndAYesEndsTheRun)
{
    stopWhileThePhoneDriverWaits(mb::Yes);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Process Interrupted. Some task were not completed"));
    EXPECT_EQ(driver->calls, (QStringList{"Init", "ReadContacts"}));
}

TEST_F(Rig, DesktopErrorRetriedTwiceThenCancelled)
{
    desktop.failOn = QStringLiteral("UpdateContacts");
    desktop.failures = 3;
    boxes.queueAnswers({mb::Retry, mb::Retry, mb::Cancel});
    fm->StartContacts();
    runToEnd();
    EXPECT_EQ(boxes.count(), 3);
    EXPECT_EQ(boxes.last().style, mb::RetryCancel);
    EXPECT_EQ(boxes.last().title, QStringLiteral("Error"));
    EXPECT_TRUE(boxes.last().text.startsWith(
        QStringLiteral("Cannot access to Outlook\u00AE data.\r\nIf Outlook\u00AE is asking")));
    EXPECT_EQ(view.text.count(QStringLiteral("entries to Outlook\u00AE...")), 3);
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(fm->syncState, Idle);
    EXPECT_EQ(tray.state, TrayIcon::Ready);
    EXPECT_FALSE(driver->calls.contains(QStringLiteral("UpdateContacts")));
}

TEST_F(Rig, DesktopErrorRetrySucceeds)
{
    desktop.failOn = QStringLiteral("ReadCalendar");
    desktop.failures = 1;
    boxes.queueAnswers({mb::Retry});
    fm->StartCalendar();
    runToEnd();
    EXPECT_TRUE(view.text.endsWith(QStringLiteral("Data exchange successfully completed.")));
}

TEST_F(Rig, FolderPastARunsCapacityIsNamedInTheMessageAndTheLogAndNothingIsWritten)
{
    const QString contacts =
        QStringLiteral("The Outlook\u00AE contacts folder holds more than one synchronization can.\r\n"
                       "Contacts in the folder: 10000 (40000 names, numbers and addresses)\r\n"
                       "One synchronization can hold at most: 32767 names, numbers and addresses\r\n"
                       "Nothing was changed on the phone or in Outlook\u00AE.\r\n"
                       "Choose a smaller contacts folder in the setup window, or move some contacts to "
                       "another folder.");
    desktop.tooLargeOn = QStringLiteral("ReadContacts");
    desktop.tooLargeItems = 10000;
    desktop.tooLargeRecords = 40000;
    // A second start finds the folder as large and ends the same way.
    for (int run = 0; run < 2; ++run) {
        fm->StartContacts();
        runToEnd();
        ASSERT_EQ(boxes.count(), run + 1);
        EXPECT_EQ(boxes.last().text, contacts);
        EXPECT_EQ(boxes.last().style, mb::OkOnly + mb::Exclamation);
        EXPECT_EQ(boxes.last().title, QStringLiteral("Error"));
        EXPECT_EQ(fm->syncState, Idle);
        EXPECT_FALSE(view.shown);
        EXPECT_EQ(tray.state, TrayIcon::Ready);
        EXPECT_EQ(fm->queryUnload(0, 0), shell.queryCancel);
    }
    EXPECT_EQ(desktop.calls, (QStringList{"ReadContacts", "ReadContacts"}));
    EXPECT_EQ(driver->calls, (QStringList{"Init", "Init"}));
    EXPECT_TRUE(globals().gLog.recentLines().contains(
        QString(contacts).replace(QStringLiteral("\u00AE"), QString())));

    // The calendar's folder, in the user's language.
    globals().gLanguage = QStringLiteral("de");
    desktop.tooLargeOn = QStringLiteral("ReadCalendar");
    desktop.tooLargeItems = desktop.tooLargeRecords = 32768;
    fm->StartCalendar();
    runToEnd();
    EXPECT_EQ(boxes.last().text,
              QStringLiteral("Der Outlook\u00AE-Kalenderordner enth\u00E4lt mehr, als eine Synchronisation "
                             "fassen kann.\r\nTermine im Ordner: 32768\r\nEine Synchronisation fasst "
                             "h\u00F6chstens: 32767 Termine\r\nWeder auf dem Telefon noch in Outlook\u00AE "
                             "wurde etwas ge\u00E4ndert.\r\nW\u00E4hlen Sie in den Einstellungen einen "
                             "kleineren Kalenderordner, oder verschieben Sie einige Termine in einen anderen "
                             "Ordner."));
    EXPECT_EQ(boxes.last().title, QStringLiteral("Fehler"));
    EXPECT_EQ(fm->syncState, Idle);
    EXPECT_EQ(desktop.calls.last(), QStringLiteral("ReadCalendar"));
    EXPECT_FALSE(driver->calls.contains(QStringLiteral("UpdateCalendar")));
    EXPECT_TRUE(globals().gLog.recentLines().contains(
        QStringLiteral("The Outlook calendar folder holds more than one synchronization can.\r\n"
                       "Events in the folder: 32768\r\n"
                       "One synchronization can hold at most: 32767 events\r\n"
                       "Nothing was changed on the phone or in Outlook.\r\n"
                       "Choose a smaller calendar folder in the setup window, or move some events to another "
                       "folder.")));
}

TEST_F(Rig, UnexpectedErrorIsReportedAndTheRunEnds)
{
    fm->dropHandler(); // the driver was dropped: the first step cannot reach it
    fm->StartContacts();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text,
              QStringLiteral("An error occurred in the application.\r\nA detailed log has been saved."));
    EXPECT_EQ(boxes.last().style, mb::OkOnly + mb::Critical);
    EXPECT_EQ(fm->syncState, Idle);
    EXPECT_TRUE(view.visible[ViewButton::Done]);
    // The window can be closed afterwards.
    EXPECT_EQ(fm->queryUnload(0, 0), shell.queryCancel);
}

TEST_F(Rig, FailedConnectionCheckEndsTheRunWithItsMessage)
{
    driver->identified = false;
    fm->StartContacts();
    runToEnd();
    EXPECT_EQ(
        boxes.texts(),
        QStringList{"Error establishing the connection. Make sure that the phone is properly connected."});
    EXPECT_EQ(fm->syncState, Idle);
    EXPECT_TRUE(view.shown); // the window and the tray icon stay as they are
    EXPECT_EQ(tray.state, TrayIcon::Busy);
    fm->StartCalendar();
    runToEnd();
    EXPECT_EQ(boxes.last().text,
              QStringLiteral("Error establishing the connection. Check if the phone is properly connected."));
}

TEST_F(Rig, PhoneFailureDuringARunDropsTheDriver)
{
    driver->hold = true;
    fm->StartContacts();
    fm->RecoverFromPhoneError();
    EXPECT_EQ(fm->syncState, Idle);
    EXPECT_EQ(tray.state, TrayIcon::Stopped);
    EXPECT_FALSE(view.shown);
    EXPECT_EQ(fm->handler(), nullptr);
    EXPECT_EQ(shell.splashClosed, 1);
    time.advance(1000);
    EXPECT_EQ(fm->syncState, Idle);
}

TEST_F(Rig, RecoveryInsideAStepKeepsTheRunEnded)
{
    driver->hold = true;
    driver->onCall = [&](const QString &op) {
        if (op == QLatin1String("Init"))
            fm->RecoverFromPhoneError();
    };
    fm->StartContacts();
    EXPECT_EQ(fm->syncState, Idle);
}

TEST_F(Rig, IdleTickOnlyLogs)
{
    fm->SyncStep();
    fm->syncState = 15;
    fm->SyncStep();
    EXPECT_EQ(fm->syncState, 15);
    EXPECT_EQ(boxes.count(), 0);
    EXPECT_TRUE(view.text.isEmpty());
}
