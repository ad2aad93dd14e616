// Fault injection and link shaping in the core: errors and silence at a chosen command, garbage,
// replies in pieces, pacing and a slow handset, all as time offsets.
#include "SimTestHelpers.h"

#include <gtest/gtest.h>

using namespace orvia::phonesim;
using orvia::phonesim::test::ask;

namespace {

TEST(Faults, ErrorAtTheNthCommandSkipsTheCommand)
{
    PhoneSim sim{QStringLiteral("K110")};
    sim.faults().rules.push_back({FaultAction::Error, 2, {}, false, false});
    EXPECT_EQ(ask(sim, "AT"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(ask(sim, "AT+CPBW=1,\"1\",129,\"A\""), "AT+CPBW=1,\"1\",129,\"A\"\r\r\nERROR\r\n");
    EXPECT_TRUE(sim.contents().sim.entries.empty());
    EXPECT_EQ(ask(sim, "AT"), "AT\r\r\nOK\r\n");
}

TEST(Faults, NamedCommandRuleMatchesByPrefixAlwaysOrOnce)
{
    PhoneSim sim{QStringLiteral("K110")};
    sim.faults().rules.push_back({FaultAction::Error, 0, QStringLiteral("at+cpbr=2"), false, false});
    sim.faults().rules.push_back({FaultAction::Silence, 0, QStringLiteral("AT+GMM"), true, false});
    EXPECT_EQ(ask(sim, "AT+CPBR=1"), "AT+CPBR=1\r\r\nOK\r\n");
    EXPECT_EQ(ask(sim, "AT+CPBR=2"), "AT+CPBR=2\r\r\nERROR\r\n");
    EXPECT_EQ(ask(sim, "AT+CPBR=2"), "AT+CPBR=2\r\r\nERROR\r\n");
    EXPECT_TRUE(ask(sim, "AT+GMM").isEmpty()); // silent: not even the echo
    EXPECT_EQ(ask(sim, "AT+GMM"), "AT+GMM\r\r\nVelmora K110\r\n\r\nOK\r\n");
    EXPECT_EQ(sim.commandCount(), 5); // unanswered commands still count
}

TEST(Faults, SilenceForEveryCommandIsADeadPhone)
{
    PhoneSim sim{QStringLiteral("G170")};
    sim.faults().rules.push_back({FaultAction::Silence, 0, {}, false, false});
    EXPECT_TRUE(sim.receive("ATZ\rATZI\rAT+GMM\r").empty());
}

TEST(Faults, GarbageComesBeforeTheEchoAndTheAnswerStillFollows)
{
    PhoneSim sim{QStringLiteral("K110")};
    sim.faults().garbage = QByteArray("\xff\0+RING\r\n", 9);
    sim.faults().rules.push_back({FaultAction::Garbage, 1, {}, false, false});
    EXPECT_EQ(ask(sim, "AT"), sim.faults().garbage + "AT\r\r\nOK\r\n");
    EXPECT_EQ(ask(sim, "AT"), "AT\r\r\nOK\r\n");
}

TEST(Faults, RepliesSplitIntoChosenPiecesOrEveryByte)
{
    PhoneSim sim{QStringLiteral("K110")};
    const QByteArray whole = "AT+GMM\r\r\nVelmora K110\r\n\r\nOK\r\n";
    sim.faults().splitSizes = {3, 5};
    std::vector<ReplyPiece> pieces = sim.receive("AT+GMM\r");
    ASSERT_GE(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].bytes, "AT+");
    EXPECT_EQ(pieces[1].bytes, "GMM\r\r");
    EXPECT_EQ(pieces[2].bytes, "\nVelm");
    QByteArray joined;
    for (const ReplyPiece &p : pieces) {
        EXPECT_LE(p.bytes.size(), 5);
        EXPECT_EQ(p.gapUs, 0);
        joined += p.bytes;
    }
    EXPECT_EQ(joined, whole);

    sim.faults().splitSizes = {1};
    pieces = sim.receive("AT+GMM\r");
    EXPECT_EQ(pieces.size(), size_t(whole.size()));
}

TEST(Faults, PacingAndSlowHandsetAreTimeOffsets)
{
    PhoneSim sim{QStringLiteral("K110")};
    sim.faults().bytesPerSecond = 5760; // 57600 baud, 10 bits a byte
    sim.faults().replyDelayMs = 1500;
    const std::vector<ReplyPiece> pieces = sim.receive("AT\r");
    ASSERT_EQ(pieces.size(), 2u); // the echo, then the delayed reply
    EXPECT_EQ(pieces[0].bytes, "AT\r");
    EXPECT_EQ(pieces[0].gapUs, 3 * 1000000 / 5760);
    EXPECT_EQ(pieces[1].bytes, "\r\nOK\r\n");
    EXPECT_EQ(pieces[1].gapUs, 1500000 + 6 * 1000000 / 5760);
}

TEST(Faults, SplitSizeListParsing)
{
    EXPECT_EQ(parseSplitSizes(QStringLiteral("1")), std::vector<int>{1});
    EXPECT_EQ(parseSplitSizes(QStringLiteral("3, 5,100")), (std::vector<int>{3, 5, 100}));
    EXPECT_TRUE(parseSplitSizes(QStringLiteral("0")).empty());
    EXPECT_TRUE(parseSplitSizes(QStringLiteral("3,x")).empty());
    EXPECT_TRUE(parseSplitSizes(QString()).empty());
}

} // namespace
