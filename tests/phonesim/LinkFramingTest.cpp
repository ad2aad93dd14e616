// Line assembly, echo and framing, and what bad input gets: the handset always answers and never stalls.
#include "SimTestHelpers.h"

#include <gtest/gtest.h>

using namespace orvia::phonesim;
using orvia::phonesim::test::ask;

namespace {

TEST(LinkFraming, EchoThenAnswerWithBlankLineBeforeOk)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(sim.receiveAll("AT+GMM\r"), "AT+GMM\r\r\nVelmora K110\r\n\r\nOK\r\n");
    // The LF of a CR LF ending is neither echoed nor the start of a command.
    EXPECT_EQ(sim.receiveAll("AT+GMM\r\n"), "AT+GMM\r\r\nVelmora K110\r\n\r\nOK\r\n");
    EXPECT_EQ(sim.receiveAll("at+gmm\r"), "at+gmm\r\r\nVelmora K110\r\n\r\nOK\r\n");
    EXPECT_EQ(sim.commandCount(), 3);
}

TEST(LinkFraming, CommandArrivingInPiecesIsAnsweredOnceComplete)
{
    PhoneSim sim{QStringLiteral("G170")};
    EXPECT_TRUE(sim.receiveAll("AT+C").isEmpty());
    EXPECT_TRUE(sim.receiveAll("GMM").isEmpty());
    EXPECT_EQ(sim.receiveAll("\r\nAT\r"), "AT+CGMM\r\r\nG170\r\n\r\nOK\r\nAT\r\r\nOK\r\n");
}

TEST(LinkFraming, EchoCanBeSwitchedOff)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(ask(sim, "ATE0"), "ATE0\r\r\nOK\r\n"); // the switching command is still echoed
    EXPECT_EQ(ask(sim, "AT+CGMI"), "\r\nVelmora\r\n\r\nOK\r\n");
    EXPECT_EQ(ask(sim, "ATE1"), "\r\nOK\r\n");
    EXPECT_EQ(ask(sim, "AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(ask(sim, "ATE0"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(ask(sim, "ATZ"), "\r\nOK\r\n"); // reset turns echo back on
    EXPECT_EQ(ask(sim, "AT"), "AT\r\r\nOK\r\n");
}

TEST(LinkFraming, EmptyLinesAreEchoedAndIgnored)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(sim.receiveAll("\r\r\n  \r"), "\r\r\r");
    EXPECT_EQ(sim.commandCount(), 0);
}

TEST(LinkFraming, BadInputGetsErrorAndTheNextCommandStillWorks)
{
    PhoneSim sim{QStringLiteral("K110")};
    const QByteArray binary("\x00\x01\xfe\xff\x80garbage", 11);
    EXPECT_EQ(sim.receiveAll(binary + '\r'), binary + "\r\r\nERROR\r\n");
    EXPECT_EQ(ask(sim, "HELLO"), "HELLO\r\r\nERROR\r\n");
    EXPECT_EQ(ask(sim, "A"), "A\r\r\nERROR\r\n");
    EXPECT_EQ(ask(sim, "AT+"), "AT+\r\r\nERROR\r\n");
    EXPECT_EQ(ask(sim, "AT+CPBW=1,\"unterminated"), "AT+CPBW=1,\"unterminated\r\r\nERROR\r\n");
    EXPECT_EQ(ask(sim, "AT&"), "AT&\r\r\nERROR\r\n");
    EXPECT_EQ(ask(sim, "AT+CGMM"), "AT+CGMM\r\r\nK110\r\n\r\nOK\r\n");
}

TEST(LinkFraming, OverlongLineIsCappedAndAnsweredError)
{
    PhoneSim sim{QStringLiteral("K110")};
    const QByteArray longLine = "AT+CPBW=1,\"" + QByteArray(100000, '9') + "\",129,\"x\"";
    const QByteArray out = sim.receiveAll(longLine + '\r');
    EXPECT_TRUE(out.endsWith("\r\r\nERROR\r\n"));
    EXPECT_LE(out.size(), PhoneSim::kMaxLine + 16);
    EXPECT_TRUE(sim.contents().sim.entries.empty());
    EXPECT_EQ(ask(sim, "AT"), "AT\r\r\nOK\r\n");
    // Endless bytes without a line end never make it answer or grow.
    EXPECT_TRUE(sim.receiveAll(QByteArray(200000, 'A')).isEmpty());
    EXPECT_EQ(sim.receiveAll("\rAT\r"),
              QByteArray(PhoneSim::kMaxLine, 'A') + "\r\r\nERROR\r\nAT\r\r\nOK\r\n");
}

} // namespace
