// Detection end to end over a real pseudo-terminal: the simulator program serves a handset, the
// settings map its terminal as a COM port, and the program's own serial control, port map and
// registry view find it.
#include "DetectionRig.h"
#include "platform/PortMap.h"
#include "platform/SerialCommControl.h"
#include "platform/SystemRegistryBackend.h"
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>

using namespace orvia;
using namespace orvia::test;

namespace {

QString simulatorProgram()
{
    return qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/phonesim");
}

// Waits for I/O from the other process (never for a time-out of the code under test).
bool pump(const std::function<bool()> &done, int ms = 20000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

struct PtyDetection : DetectionRig
{
    QProcess sim;
    QString ptyPath;
    std::unique_ptr<PortMap> ports;
    std::unique_ptr<SystemRegistryBackend> systemRegistry;
    std::unique_ptr<SerialCommControl> comm;

    void SetUp() override
    {
        DetectionRig::SetUp();
        if (!QFileInfo::exists(simulatorProgram()))
            GTEST_SKIP() << "the simulator program is not built";
        sim.start(simulatorProgram(), {QStringLiteral("--model"), QStringLiteral("K310")});
        ASSERT_TRUE(sim.waitForStarted(5000));
        ASSERT_TRUE(pump([&] { return sim.canReadLine(); }, 10000));
        ptyPath = QString::fromLocal8Bit(sim.readLine()).trimmed();
        ASSERT_FALSE(ptyPath.isEmpty());
        settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM4"), ptyPath);
        ports = std::make_unique<PortMap>(&settings, [] { return QStringList(); });
        systemRegistry = std::make_unique<SystemRegistryBackend>(*ports);
        comm = std::make_unique<SerialCommControl>(*ports);
    }
    void TearDown() override
    {
        DetectionRig::TearDown();
        comm.reset();
        if (sim.state() != QProcess::NotRunning) {
            sim.terminate();
            sim.waitForFinished(5000);
        }
    }
    void buildOnPty()
    {
        build(comm.get());
        // The detection reads the registry view the program builds from the port map.
        PhoneDetection::Deps d;
        d.platform = platform();
        d.platform.registry = systemRegistry.get();
        d.tray = &tray;
        d.shell = &shell;
        d.splash = &shell;
        d.page = &page;
        det = std::make_shared<PhoneDetection>(d);
        fm->setOnPhoneErrorRecovered([this] { det->phoneErrorRecovered(); });
    }
    bool identified() const { return driver() && driver()->automares(); }
};

TEST_F(PtyDetection, AutomaticScanFindsTheHandsetOnItsTerminal)
{
    buildOnPty();
    start();
    EXPECT_EQ(det->portList(), comPorts({4}));
    ASSERT_EQ(det->availPorts(), comPorts({4}));
    det->Connect(ComPort::allPorts());
    ASSERT_TRUE(pump([&] { return identified() || boxes.count() > 0; }));
    EXPECT_TRUE(identified()) << page.status.toStdString();
    EXPECT_EQ(driver()->PhoneDescription(), QStringLiteral("K310"));
    EXPECT_EQ(page.status, QStringLiteral("Detecting phone...\r\nDetected K310 family on COM 4"));
    EXPECT_EQ(saved("port"), QStringLiteral("Com 4"));
    EXPECT_EQ(saved("model"), QStringLiteral("Velmora K310"));
    EXPECT_EQ(boxes.count(), 0);
}

TEST_F(PtyDetection, SavedTerminalPortIsProbedAtStartUp)
{
    settings.set(QStringLiteral("port"), QStringLiteral("Com 4"));
    buildOnPty();
    start();
    ASSERT_TRUE(pump([&] { return identified() || boxes.count() > 0; }));
    EXPECT_TRUE(identified());
    EXPECT_EQ(page.status, QStringLiteral("Connecting phone on com 4\r\nDetected K310 family on COM 4"));
    EXPECT_TRUE(page.checked[1]);
}

} // namespace
