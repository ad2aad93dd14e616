// The in-process serial control: reply pieces as receive events through the event loop or manual
// timers, ports that are busy, absent or silent, and a record of everything written.
#include "phonesim/SimCommControl.h"
#include "SimTestHelpers.h"
#include "platform/RuntimeError.h"
#include "support/ManualTime.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace orvia::phonesim;
using orvia::RuntimeError;
using orvia::test::ManualTime;

namespace {

void pumpEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

struct Received
{
    QStringList pieces;
    QString text() const { return pieces.join(QString()); }
};

void listen(SimCommControl &port, Received &r)
{
    port.setRThreshold(1);
    port.setOnComm([&port, &r] { r.pieces << port.input(); });
}

TEST(SimCommControl, RepliesArriveThroughTheEventLoop)
{
    SimCommControl port(QStringLiteral("K110"));
    Received r;
    listen(port, r);
    port.setCommPort(3);
    port.setPortOpen(true);
    port.output(QStringLiteral("AT+GMM\r\n"));
    EXPECT_TRUE(r.pieces.isEmpty()); // never from inside output()
    pumpEvents();
    EXPECT_EQ(r.text(), QStringLiteral("AT+GMM\r\r\nVelmora K110\r\n\r\nOK\r\n"));
    EXPECT_EQ(port.sent(), QStringList{QStringLiteral("AT+GMM\r\n")});
    EXPECT_EQ(port.commandLines(), QStringList{QStringLiteral("AT+GMM")});
}

TEST(SimCommControl, PiecesAreSeparateReceiveEvents)
{
    SimCommControl port(QStringLiteral("F550"));
    port.faults().splitSizes = {4};
    Received r;
    listen(port, r);
    port.setPortOpen(true);
    port.output(QStringLiteral("AT+CGMM\r\n"));
    port.deliverDue();
    EXPECT_EQ(r.text(), QStringLiteral("AT+CGMM\r\r\nF550\r\n\r\nOK\r\n"));
    EXPECT_EQ(r.pieces.front(), QStringLiteral("AT+C"));
    EXPECT_EQ(r.pieces.size(), (r.text().size() + 3) / 4);
}

TEST(SimCommControl, DelayedPiecesWaitForTheManualTimers)
{
    ManualTime timers;
    SimCommControl port(QStringLiteral("G170"), QString(), &timers);
    port.faults().replyDelayMs = 3000;
    Received r;
    listen(port, r);
    port.setPortOpen(true);
    port.output(QStringLiteral("AT\r\n"));
    port.deliverDue();
    EXPECT_EQ(r.text(), QStringLiteral("AT\r")); // the echo is immediate
    timers.advance(2999);
    EXPECT_EQ(r.text(), QStringLiteral("AT\r"));
    timers.advance(1);
    EXPECT_EQ(r.text(), QStringLiteral("AT\r\r\nOK\r\n"));
    EXPECT_FALSE(port.hasPending());
}

TEST(SimCommControl, PacedLinkTakesTheTimeOfItsBytes)
{
    ManualTime timers;
    SimCommControl port(QStringLiteral("K110"), QString(), &timers);
    port.faults().bytesPerSecond = 5760;
    port.faults().splitSizes = {1};
    Received r;
    listen(port, r);
    port.setPortOpen(true);
    port.output(QStringLiteral("AT+GMM\r"));
    const QString whole = QStringLiteral("AT+GMM\r\r\nVelmora K110\r\n\r\nOK\r\n");
    int elapsed = 0;
    while (port.hasPending() && elapsed < 1000) {
        port.deliverDue();
        timers.advance(1);
        ++elapsed;
    }
    EXPECT_EQ(r.text(), whole);
    // 30 bytes at 5760 bytes a second take about 5 ms.
    EXPECT_GE(elapsed, 4);
    EXPECT_LE(elapsed, 7);
}

TEST(SimCommControl, HandlerMayWriteTheNextCommandFromTheReceiveEvent)
{
    SimCommControl port(QStringLiteral("K110"));
    port.faults().splitSizes = {5};
    QString buffer;
    int replies = 0;
    port.setRThreshold(1);
    port.setOnComm([&] {
        buffer += port.input();
        if (buffer.contains(QLatin1String("\r\nOK\r\n"))) {
            buffer.clear();
            if (++replies < 3)
                port.output(QStringLiteral("AT+CPBS?\r\n"));
        }
    });
    port.setPortOpen(true);
    port.output(QStringLiteral("ATZ\r\n"));
    port.deliverAll();
    EXPECT_EQ(replies, 3);
    EXPECT_EQ(port.commandLines(),
              (QStringList{QStringLiteral("ATZ"), QStringLiteral("AT+CPBS?"), QStringLiteral("AT+CPBS?")}));
}

TEST(SimCommControl, PortsCanBeBusyAbsentOrSilent)
{
    SimCommControl port(QStringLiteral("K110"));
    port.setPort(1, SimCommControl::PortKind::Busy);
    port.setPort(2, SimCommControl::PortKind::Absent);
    port.setPort(4, SimCommControl::PortKind::Silent);
    auto tarvex = std::make_shared<PhoneSim>(QStringLiteral("F660"));
    port.setPort(5, SimCommControl::PortKind::Handset, tarvex);

    port.setCommPort(1);
    try {
        port.setPortOpen(true);
        FAIL() << "busy port opened";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 8005);
    }
    port.setCommPort(2);
    try {
        port.setPortOpen(true);
        FAIL() << "absent port opened";
    } catch (const RuntimeError &e) {
        EXPECT_EQ(e.number(), 8002);
    }
    EXPECT_THROW(port.setCommPort(256), RuntimeError);
    EXPECT_FALSE(port.portOpen());

    Received r;
    listen(port, r);
    port.setCommPort(4);
    port.setPortOpen(true);
    port.output(QStringLiteral("ATZ\r\n"));
    port.deliverAll();
    EXPECT_TRUE(r.pieces.isEmpty());
    EXPECT_THROW(port.setCommPort(5), RuntimeError); // not while open
    port.setPortOpen(false);

    port.setCommPort(5);
    port.setPortOpen(true);
    port.output(QStringLiteral("AT+CGMM\r\n"));
    port.deliverAll();
    EXPECT_EQ(r.text(), QStringLiteral("AT+CGMM\r\r\nQX_B\r\n\r\nOK\r\n"));
    EXPECT_EQ(tarvex->commandCount(), 1);
    EXPECT_EQ(port.sent().size(), 2);
}

TEST(SimCommControl, ClosingDropsPendingRepliesAndClosedPortRefusesOutput)
{
    SimCommControl port(QStringLiteral("K110"));
    Received r;
    listen(port, r);
    port.setPortOpen(true);
    port.output(QStringLiteral("AT\r\n"));
    port.setPortOpen(false);
    pumpEvents();
    EXPECT_TRUE(r.pieces.isEmpty());
    port.setRThreshold(0); // no receive events: what arrived waits for input()
    port.setPortOpen(true);
    port.output(QStringLiteral("AT\r\n"));
    port.deliverAll();
    port.setPortOpen(false);
    EXPECT_EQ(port.input(), QStringLiteral("AT\r\r\nOK\r\n")); // still readable after the close
    EXPECT_TRUE(r.pieces.isEmpty());
    EXPECT_THROW(port.output(QStringLiteral("AT\r\n")), RuntimeError);
    port.setPortOpen(true);
    EXPECT_THROW(port.setPortOpen(true), RuntimeError);
    EXPECT_EQ(port.openCount(), 3);
}

TEST(SimCommControl, HangUpClosesThePortAndTellsTheOwner)
{
    SimCommControl port(QStringLiteral("K110"));
    QString why;
    port.setOnLinkLost([&](const QString &w) { why = w; });
    port.setPortOpen(true);
    port.hangUp();
    EXPECT_FALSE(port.portOpen());
    EXPECT_FALSE(why.isEmpty());
}

TEST(SimCommControl, WindowsCodePageCrossesTheLink)
{
    SimCommControl port(QStringLiteral("K110"));
    Received r;
    listen(port, r);
    port.setPortOpen(true);
    port.output(QStringLiteral("AT+CPBW=1,\"0301\",129,\"Jos\u00e9 \u20ac\"\r\n"));
    port.output(QStringLiteral("AT+CPBR=1\r\n"));
    port.deliverAll();
    EXPECT_EQ(port.contents().sim.entries.at(1).name, QStringLiteral("Jos\u00e9 \u20ac"));
    EXPECT_TRUE(r.text().contains(QStringLiteral("\"Jos\u00e9 \u20ac\"")));
}

TEST(SimCommControl, BadContentsAreRefusedAtConstruction)
{
    EXPECT_THROW(SimCommControl(QStringLiteral("Z999")), std::invalid_argument);
    EXPECT_THROW(SimCommControl(QStringLiteral("K110"), QStringLiteral("entry=XX,1,\"1\",129,\"A\"")),
                 std::invalid_argument);
}

} // namespace
