#pragma once
// Fault injection and link shaping: which commands fail or go unanswered, and how a reply's bytes
// are cut into pieces and spaced in time. Times are offsets, never read from a clock.
#include <QByteArray>
#include <QString>
#include <vector>

namespace orvia::phonesim {

enum class FaultAction
{
    Error,   // answer ERROR without carrying the command out
    Silence, // answer nothing at all, not even the echo
    Garbage, // send the garbage bytes before the echo, then answer normally
    Chatter, // lose the command (no echo, no answer) but keep sending the chatter line now and then
};

struct FaultRule
{
    FaultAction action = FaultAction::Error;
    int nth = 0;       // the Nth command line (1-based); 0: match by `command`
    QString command;   // case-insensitive prefix of the command line; empty (with nth 0): every line
    bool once = false; // fire only at the first match
    bool fired = false;
    bool matches(int count, const QByteArray &line) const;
};

struct FaultConfig
{
    std::vector<FaultRule> rules; // the first rule that matches a line decides
    std::vector<int> splitSizes;  // piece sizes of each reply; empty: whole; the last size repeats
    int bytesPerSecond = 0;       // link pacing (57600 baud, 10 bits a byte: 5760); 0: instant
    int replyDelayMs = 0;         // a slow handset: pause between the echo and the reply
    QByteArray garbage = QByteArray("\x00\xff\x7f~#\x1b", 6);
    // Sent unasked (RING, +CREG: ...) before the echo of every command the handset answers, whatever
    // rule matched; the bytes as sent, line ends included. Empty: none.
    QByteArray unsolicited;
    // A handset that lost a command but goes on reporting its signal: this many lines, one each interval.
    QByteArray chatterLine = QByteArrayLiteral("\r\n+CSQ: 20,99\r\n");
    int chatterIntervalMs = 1500;
    int chatterCount = 100;
};

struct ReplyPiece
{
    QByteArray bytes;
    qint64 gapUs = 0; // time from the previous piece (or from the command) until this one is complete
};

// Cuts unsolicited text + garbage + echo + reply into pieces by the configured sizes, with the reply delay
// before the first byte of the reply and the pacing time of each piece's bytes.
std::vector<ReplyPiece> shapeReply(const FaultConfig &faults, const QByteArray &prefix,
                                   const QByteArray &reply);

// Parses a size list ("1" every byte, "3,5,100") for the split option; empty vector on bad input.
std::vector<int> parseSplitSizes(const QString &text);

} // namespace orvia::phonesim
