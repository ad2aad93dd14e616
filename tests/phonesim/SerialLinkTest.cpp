// The phonesim program reached the way the program reaches a handset: the serial control on a port
// number mapped to the simulator's pseudo-terminal.
#include "PhonesimProcess.h"
#include "platform/PortMap.h"
#include "platform/SerialCommControl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace orvia::phonesim::test;

namespace {

// Lets Qt deliver the serial control's events until `done` holds or the limit passes.
bool pumpUntil(const std::function<bool()> &done, int limitMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

TEST(SerialLink, ModelArrivesInPiecesThroughTheSerialControl)
{
    // The reply follows the echo after a pause, so it cannot reach the control in one read.
    PhonesimProcess sim({QStringLiteral("--model"), QStringLiteral("M230"), QStringLiteral("--split"),
                         QStringLiteral("4"), QStringLiteral("--baud"), QStringLiteral("57600"),
                         QStringLiteral("--delay"), QStringLiteral("100")});
    ASSERT_TRUE(sim.started());
    const QString path = sim.ptyPath();
    orvia::PortMap ports(nullptr, [path] { return QStringList{path}; });
    orvia::SerialCommControl port(ports);
    QStringList pieces;
    port.setRThreshold(1);
    port.setOnComm([&] { pieces << port.input(); });
    port.setCommPort(1);
    port.setSettings(QStringLiteral("57600,N,8,1"));
    port.setPortOpen(true);
    port.output(QStringLiteral("AT+GMM\r\n"));
    ASSERT_TRUE(pumpUntil([&] { return pieces.join(QString()).contains(QLatin1String("\r\nOK\r\n")); }))
        << pieces.join(QString()).toStdString();
    EXPECT_EQ(pieces.join(QString()), QStringLiteral("AT+GMM\r\r\nVelmora M230\r\n\r\nOK\r\n"));
    EXPECT_GT(pieces.size(), 1);

    // Closed and opened again, the handset answers as before.
    port.setPortOpen(false);
    pieces.clear();
    port.setPortOpen(true);
    port.output(QStringLiteral("AT+CGMM\r\n"));
    ASSERT_TRUE(pumpUntil([&] { return pieces.join(QString()).contains(QLatin1String("\r\nOK\r\n")); }));
    EXPECT_EQ(pieces.join(QString()), QStringLiteral("AT+CGMM\r\r\nM230\r\n\r\nOK\r\n"));
    port.setPortOpen(false);
}

} // namespace
