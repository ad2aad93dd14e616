// Detection against the in-process handset simulator: found by the automatic scan and by a chosen
// port, identified by the family's driver, port and model saved, and the saved port probed first at
// the next start.
#include "DetectionRig.h"
#include "endpoints/TarvexAT.h"
#include "endpoints/VelmoraAT.h"
#include "phonesim/SimCommControl.h"
#include "support/QtPrinters.h"

using namespace orvia;
using namespace orvia::test;
using phonesim::PhoneSim;
using phonesim::SimCommControl;
using Kind = phonesim::SimCommControl::PortKind;

namespace {

struct SimDetection : DetectionRig
{
    std::unique_ptr<SimCommControl> comm;

    void make(const QString &model = QStringLiteral("K110"))
    {
        if (fm)
            fm->dropHandler();
        fm.reset();
        det.reset();
        comm = std::make_unique<SimCommControl>(model, QString(), &time);
        build(comm.get());
    }
    // Delivers every reply piece due now, and whatever the code under test sends in answer.
    void settle()
    {
        for (int guard = 0; guard < 10000 && comm->hasPending(); ++guard)
            comm->deliverDue();
    }
    void handsetOn(int port, const QString &model)
    {
        comm->setPort(port, Kind::Handset, std::make_shared<PhoneSim>(model));
    }
};

TEST_F(SimDetection, AutomaticScanSkipsDeadPortsAndHandsTheLinkToTheDriver)
{
    listPorts({1, 2, 3});
    make();
    comm->setPort(1, Kind::Absent);
    comm->setPort(2, Kind::Silent);
    start();
    EXPECT_EQ(det->availPorts(), comPorts({2, 3}));
    EXPECT_TRUE(shell.autoconn);     // first run: nothing probed yet
    EXPECT_EQ(comm->openCount(), 2); // the port test only

    det->Connect(ComPort::allPorts());
    settle();
    EXPECT_TRUE(det->timerArmed()) << "the silent port is waited on";
    time.advance(PhoneDetection::kReplyTimeoutMs);
    settle();

    ASSERT_NE(driver(), nullptr);
    EXPECT_NE(dynamic_cast<VelmoraAT *>(driver()), nullptr);
    EXPECT_TRUE(driver()->automares());
    EXPECT_EQ(page.status,
              QStringLiteral("Detecting phone...\r\nNo phone on Com 2\r\nDetected K110 family on COM 3"));
    EXPECT_EQ(saved("port"), QStringLiteral("Com 3"));
    EXPECT_EQ(saved("model"), QStringLiteral("Velmora K110"));
    EXPECT_EQ(comm->commandLines().mid(0, 4),
              (QStringList{QStringLiteral("ATZ"), QStringLiteral("ATZ"), QStringLiteral("ATZI"),
                           QStringLiteral("AT+GMM")}));
    EXPECT_TRUE(comm->portOpen());
    EXPECT_EQ(comm->commPort(), 3);
    EXPECT_EQ(comm->settings(), QStringLiteral("57600,N,8,1"));
    EXPECT_EQ(det->state(), PhoneDetection::State::DriverDone);
    EXPECT_FALSE(det->timerArmed());
    EXPECT_EQ(tray.state(), TrayIcon::Ready);
    EXPECT_EQ(shell.trayShown, 1); // the setup window was hidden: the tray window shows the result
    // The silent port's time-out on the link's watchdog is no phone failure: the tray keeps its text.
    EXPECT_EQ(tray.tips, QStringList{QStringLiteral("Velmora Orvia Link K110 on COM3")});
    EXPECT_GE(shell.splashClosed, 1);
    EXPECT_TRUE(page.connect);
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(SimDetection, ChosenPortIsConnectedAndTheFamilyPicksTheDriver)
{
    struct Case
    {
        const char *model;
        bool tarvex;
        const char *description;
        const char *savedModel;
    };
    for (const Case c :
         {Case{"L420", false, "L420", "Velmora L420"}, Case{"G170", true, "G170", "Tarvex Mobile"},
          Case{"F660", true, "F660", "Tarvex Mobile"}}) {
        SCOPED_TRACE(c.model);
        settings = MemorySettingsStore();
        page = FakePage();
        registry.clearKeys();
        listPorts({1, 3});
        make(QString::fromLatin1(c.model));
        start();
        page.shown = true; // the user works in the setup window
        page.setPortButtonChecked(2, true);
        ASSERT_EQ(page.tags[2], QStringLiteral("3"));
        det->clickConnect();
        EXPECT_FALSE(page.connect) << "disabled while detecting";
        settle();
        ASSERT_NE(driver(), nullptr);
        EXPECT_EQ(dynamic_cast<TarvexAT *>(driver()) != nullptr, c.tarvex);
        EXPECT_EQ(page.status, QStringLiteral("Connecting phone on com 3\r\nDetected ") +
                                   QLatin1String(c.description) + QStringLiteral(" family on COM 3"));
        EXPECT_EQ(saved("port"), QStringLiteral("Com 3"));
        EXPECT_EQ(saved("model"), QLatin1String(c.savedModel));
        EXPECT_EQ(shell.trayShown, 0) << "the visible setup window shows the result itself";
        EXPECT_TRUE(page.connect);
        fm->dropHandler();
    }
}

TEST_F(SimDetection, NextStartProbesTheSavedPortFirst)
{
    listPorts({1, 2, 3});
    make();
    settings.set(QStringLiteral("port"), QStringLiteral("Com 3"));
    settings.set(QStringLiteral("model"), QStringLiteral("Velmora K110"));
    start();
    EXPECT_TRUE(page.checked[3]) << "the saved port's button is chosen";
    EXPECT_EQ(comm->commPort(), 3);
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_TRUE(driver()->automares());
    EXPECT_EQ(page.status, QStringLiteral("Connecting phone on com 3\r\nDetected K110 family on COM 3"));
    EXPECT_EQ(tray.states.front(), TrayIcon::Stopped);
    EXPECT_EQ(tray.state(), TrayIcon::Ready);
}

TEST_F(SimDetection, ARunWaitingForThePhoneStartsAfterTheDetectionUnlessForgotten)
{
    listPorts({3});
    make();
    start(); // the first run probes nothing
    settings.set(QStringLiteral("port"), QStringLiteral("Com 3"));
    int runs = 0;
    ASSERT_TRUE(det->seekForRun([&] { ++runs; }));
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_EQ(runs, 0) << "not inside the detection the driver called back";
    time.advance(PhoneDetection::kStartWaitingRunMs);
    EXPECT_EQ(runs, 1);

    // Found again for another run, but the user connects in the setup window before it starts: the
    // timed start goes with the waiting run.
    fm->dropHandler();
    ASSERT_TRUE(det->seekForRun([&] { ++runs; }));
    settle();
    ASSERT_NE(driver(), nullptr);
    page.shown = true;
    page.setPortButtonChecked(1, true);
    det->clickConnect();
    settle();
    time.advance(2000);
    settle();
    EXPECT_EQ(runs, 1);
    EXPECT_NE(driver(), nullptr);
}

TEST_F(SimDetection, SilentSavedPortFallsBackToEveryPortThenReportsNoPhone)
{
    listPorts({1, 3});
    make();
    comm->setPort(1, Kind::Silent);
    comm->setPort(3, Kind::Silent);
    settings.set(QStringLiteral("port"), QStringLiteral("Com 3"));
    start();
    time.advance(PhoneDetection::kReplyTimeoutMs);
    EXPECT_EQ(page.status, QStringLiteral("Detecting phone...\r\n")) << "retry after the saved port failed";
    time.advance(PhoneDetection::kReplyTimeoutMs);
    time.advance(PhoneDetection::kReplyTimeoutMs);
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.last().text.startsWith(QStringLiteral("No phone found.\r\nPlease make sure")));
    EXPECT_EQ(page.status, QStringLiteral("Detecting phone...\r\nNo phone on Com 1\r\nNo phone on Com 3\r\n"))
        << "the ports tried stay listed";
    EXPECT_TRUE(page.shown);
    EXPECT_EQ(fm->handler(), nullptr);
    EXPECT_EQ(det->state(), PhoneDetection::State::Idle);
    EXPECT_FALSE(comm->portOpen()) << "the last port tried is not left open";
    EXPECT_FALSE(det->timerArmed());
    EXPECT_EQ(time.activeTimers(), 0);
    EXPECT_TRUE(page.connect);
    EXPECT_EQ(saved("port"), QStringLiteral("Com 3")) << "settings are written only on success";
    EXPECT_EQ(tray.state(), TrayIcon::Stopped);
}

TEST_F(SimDetection, SavedPortHeldElsewhereAsksForAnotherPort)
{
    listPorts({1, 3});
    make();
    comm->setPort(3, Kind::Busy);
    settings.set(QStringLiteral("port"), QStringLiteral("Com 3"));
    start();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("The serial port Com3 is in use by another program.\r\n"
                                                "Please select another port."));
    EXPECT_TRUE(page.shown);
    EXPECT_EQ(comm->commandLines(), QStringList());
    EXPECT_EQ(det->state(), PhoneDetection::State::Idle);
}

TEST_F(SimDetection, InfraredPortGetsItsPauseBeforeTheFirstCommand)
{
    listPorts({4});
    registry.setString(reg::HKLM, QStringLiteral("Enum\\Root\\Infrared\\0000"),
                       QStringLiteral("VirtualComPortName"), QStringLiteral("COM4"));
    make();
    start();
    EXPECT_EQ(det->irdaPort(), ComPort(4));
    det->Connect(ComPort::allPorts());
    EXPECT_EQ(time.pauses(), (std::vector<int>{PhoneDetection::kInfraredPauseMs}));
    settle();
    EXPECT_NE(driver(), nullptr);
}

TEST_F(SimDetection, ErrorWhileProbingMovesOnOnceTheBoxIsClosed)
{
    listPorts({2, 3});
    make();
    auto bad = std::make_shared<PhoneSim>(QStringLiteral("K110"));
    bad->faults().rules.push_back({phonesim::FaultAction::Error, 0, QStringLiteral("ATZI")});
    comm->setPort(2, Kind::Handset, bad);
    start();
    bool timerWhileBoxOpen = true;
    boxes.setOnShow([&](const ScriptedMessageBox::Shown &) { timerWhileBoxOpen = det->timerArmed(); });
    det->Connect(ComPort::allPorts());
    settle();
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Protocol error!"));
    EXPECT_FALSE(timerWhileBoxOpen) << "the answered command no longer times out";
    ASSERT_NE(driver(), nullptr) << "detection went on with the next port";
    EXPECT_EQ(page.status, QStringLiteral("Detecting phone...\r\nDetected K110 family on COM 3"));
    EXPECT_EQ(time.activeTimers(), 0);
}

TEST_F(SimDetection, PortFallingSilentAfterAnAnswerIsGivenUp)
{
    listPorts({2, 3});
    make();
    auto mute = std::make_shared<PhoneSim>(QStringLiteral("K110"));
    mute->faults().rules.push_back({phonesim::FaultAction::Silence, 0, QStringLiteral("AT+GMM")});
    comm->setPort(2, Kind::Handset, mute);
    start();
    det->Connect(ComPort::allPorts());
    settle();
    EXPECT_EQ(driver(), nullptr);
    EXPECT_TRUE(det->timerArmed()) << "the command that went unanswered is timed";
    time.advance(PhoneDetection::kReplyTimeoutMs);
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_EQ(page.status,
              QStringLiteral("Detecting phone...\r\nNo phone on Com 2\r\nDetected K110 family on COM 3"));
}

TEST_F(SimDetection, DriverIdentificationFailureTriesTheNextPort)
{
    // The second family answers ERROR to its model query: the driver hands back without success.
    listPorts({2, 3});
    make();
    auto tarvex = std::make_shared<PhoneSim>(QStringLiteral("G170"));
    tarvex->faults().rules.push_back({phonesim::FaultAction::Error, 0, QStringLiteral("AT+CGMM")});
    comm->setPort(2, Kind::Handset, tarvex);
    start();
    det->Connect(ComPort::allPorts());
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_NE(dynamic_cast<VelmoraAT *>(driver()), nullptr);
    EXPECT_EQ(saved("port"), QStringLiteral("Com 3"));
}

TEST_F(SimDetection, DriverWatchdogDuringIdentificationLetsTheUserConnectAgain)
{
    listPorts({3});
    make();
    comm->faults().rules.push_back({phonesim::FaultAction::Silence, 0, QStringLiteral("AT+CPBS?")});
    start();
    page.setPortButtonChecked(0, true);
    det->clickConnect();
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_FALSE(page.connect);
    time.advance(2000); // the driver's reply watchdog
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text,
              QStringLiteral("Could not find the phone. Check the connection and try again."));
    EXPECT_EQ(fm->handler(), nullptr);
    EXPECT_TRUE(page.connect) << "Connect is usable again after the phone-error recovery";
    EXPECT_EQ(det->state(), PhoneDetection::State::Idle);

    comm->faults().rules.clear();
    det->clickConnect();
    settle();
    ASSERT_NE(driver(), nullptr);
    EXPECT_TRUE(driver()->automares());
}

TEST_F(SimDetection, NewDetectionStopsTheDroppedDriversWatchdog)
{
    listPorts({3});
    make();
    comm->faults().rules.push_back({phonesim::FaultAction::Silence, 0, QStringLiteral("AT+CPBS?")});
    start();
    det->Connect(ComPort::allPorts());
    settle();
    ASSERT_NE(driver(), nullptr);
    comm->faults().rules.clear();
    det->Connect(ComPort(3)); // the user connects again while the driver still waits
    settle();
    time.advance(5000);
    EXPECT_EQ(boxes.count(), 0) << "the old driver's watchdog must not end the new detection";
    ASSERT_NE(driver(), nullptr);
    EXPECT_TRUE(driver()->automares());
}

TEST_F(SimDetection, DetectionStartedWhileTheScanYieldsTakesOver)
{
    listPorts({2, 3});
    make();
    comm->setPort(2, Kind::Silent);
    start();
    det->Connect(ComPort::allPorts());
    bool armed = true;
    time.setOnYield([&] {
        if (std::exchange(armed, false))
            det->Connect(ComPort(3)); // e.g. the first-run window's automatic connection
    });
    time.advance(PhoneDetection::kReplyTimeoutMs); // port 2 given up; the scan yields
    time.setOnYield({});
    settle();
    EXPECT_EQ(boxes.count(), 0) << "the abandoned scan must not end the new detection";
    ASSERT_NE(driver(), nullptr);
    EXPECT_TRUE(driver()->automares());
    EXPECT_EQ(comm->commandLines().count(QStringLiteral("ATZI")), 1);
}

} // namespace
