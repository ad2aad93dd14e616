// The phonesim program on a real pseudo-terminal: options, replies in pieces, reconnects, dumps.
#include "PhonesimProcess.h"
#include "phonesim/ContentsFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using namespace orvia::phonesim;
using namespace orvia::phonesim::test;

namespace {

const QByteArray kOk = "\r\nOK\r\n";

QByteArray exchange(PtyClient &c, const QByteArray &command, const QByteArray &until = kOk)
{
    QByteArray got;
    EXPECT_TRUE(c.write(command));
    EXPECT_TRUE(c.readUntil(until, &got)) << command.constData() << " got: " << got.constData();
    return got;
}

TEST(Program, AnswersTheModelInPiecesOverThePty)
{
    PhonesimProcess sim({QStringLiteral("--model"), QStringLiteral("L420"), QStringLiteral("--split"),
                         QStringLiteral("1"), QStringLiteral("--baud"), QStringLiteral("57600")});
    ASSERT_TRUE(sim.started()) << sim.process().readAllStandardError().constData();
    PtyClient c(sim.ptyPath());
    ASSERT_TRUE(c.ok());
    QByteArray got;
    int reads = 0;
    ASSERT_TRUE(c.write("AT+GMM\r\n"));
    ASSERT_TRUE(c.readUntil(kOk, &got, 5000, &reads));
    EXPECT_EQ(got, "AT+GMM\r\r\nVelmora L420\r\n\r\nOK\r\n");
    EXPECT_GT(reads, 1); // paced byte by byte, the reply cannot come in one read
    EXPECT_EQ(sim.terminate(), 0);
}

TEST(Program, ServesAgainAfterTheClientClosesWithAReplyUnread)
{
    QTemporaryDir dir;
    QFile contents(dir.filePath(QStringLiteral("c.txt")));
    ASSERT_TRUE(contents.open(QIODevice::WriteOnly));
    contents.write("model=G170\nentry=SM,1,\"+4930\",145,\"Anna\"\n");
    contents.close();
    PhonesimProcess sim({QStringLiteral("--contents"), contents.fileName(), QStringLiteral("--delay"),
                         QStringLiteral("100")});
    ASSERT_TRUE(sim.started());
    {
        PtyClient first(sim.ptyPath());
        EXPECT_EQ(exchange(first, "AT+CPBR=1\r"),
                  "AT+CPBR=1\r\r\n+CPBR: 1,\"+4930\",145,\"Anna\"\r\n\r\nOK\r\n");
        // Gone after the echo: the delayed answer, pending or already sent, is for no one.
        exchange(first, "AT+CGMM\r", "AT+CGMM\r");
    }
    for (int i = 0; i < 3; ++i) {
        PtyClient again(sim.ptyPath());
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(exchange(again, "AT\r"), "AT\r\r\nOK\r\n");
    }
}

TEST(Program, DumpsOnSignalAndOnExit)
{
    QTemporaryDir dir;
    const QString dump = dir.filePath(QStringLiteral("dump.txt"));
    const QString link = dir.filePath(QStringLiteral("phone"));
    PhonesimProcess sim({QStringLiteral("--model"), QStringLiteral("K110"), QStringLiteral("--dump"), dump,
                         QStringLiteral("--link"), link});
    ASSERT_TRUE(sim.started());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), sim.ptyPath());
    PtyClient c(link);
    exchange(c, "AT+CPBS=\"ME\"\r");
    exchange(c, "AT+CPBW=4,\"0301\",129,\"Bert\",2\r");
    sim.signal(SIGUSR1);
    // The signal is pending before this command is written, and is handled before input is read.
    exchange(c, "AT\r");
    QFile first(dump);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_TRUE(first.readAll().contains("\"Bert\""));
    exchange(c, "at+schw=0,09,12,2026,00,45,08,1,\"Dentist\"\r");
    EXPECT_EQ(sim.terminate(), 0);
    const ContentsResult r = loadContentsFile(dump);
    ASSERT_TRUE(r.contents) << r.error.toStdString();
    EXPECT_EQ(r.contents->me.entries.at(4).category, 2);
    EXPECT_EQ(r.contents->calendar.at(1).text, QStringLiteral("Dentist"));
    EXPECT_FALSE(QFileInfo::exists(link));
}

TEST(Program, ALinkTakenOverByASecondServerOutlivesTheFirst)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("phone"));
    PhonesimProcess first({QStringLiteral("--link"), link});
    ASSERT_TRUE(first.started());
    PhonesimProcess second({QStringLiteral("--link"), link});
    ASSERT_TRUE(second.started());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), second.ptyPath());
    EXPECT_EQ(first.terminate(), 0);
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), second.ptyPath());
    EXPECT_EQ(second.terminate(), 0);
    EXPECT_FALSE(QFileInfo::exists(link));
}

TEST(Program, FaultOptionsReachTheHandset)
{
    PhonesimProcess sim({QStringLiteral("--model"), QStringLiteral("K110"), QStringLiteral("--silent-on"),
                         QStringLiteral("AT+CGMI"), QStringLiteral("--error-at"), QStringLiteral("3"),
                         QStringLiteral("--garbage-on"), QStringLiteral("AT+CGMR"),
                         QStringLiteral("--unsolicited"), QStringLiteral("RING"),
                         QStringLiteral("--sim-not-ready"), QStringLiteral("--sim-error"),
                         QStringLiteral("cme")});
    ASSERT_TRUE(sim.started());
    PtyClient c(sim.ptyPath());
    ASSERT_TRUE(c.write("AT+CGMI\r")); // unanswered, not even the unsolicited line
    const QByteArray ring = "\r\nRING\r\n";
    EXPECT_EQ(exchange(c, "AT\r"), ring + "AT\r\r\nOK\r\n");
    EXPECT_EQ(exchange(c, "AT\r", "ERROR\r\n"), ring + "AT\r\r\nERROR\r\n");
    EXPECT_EQ(exchange(c, "AT+CGMR\r"),
              ring + QByteArray("\x00\xff\x7f~#\x1b", 6) + "AT+CGMR\r\r\nV 2.31\r\n\r\nOK\r\n");
    EXPECT_EQ(exchange(c, "AT+CPBS=\"SM\"\r", "11\r\n"), ring + "AT+CPBS=\"SM\"\r\r\n+CME ERROR: 11\r\n");
}

TEST(Program, SlowHandsetPausesBeforeTheReply)
{
    PhonesimProcess sim({QStringLiteral("--delay"), QStringLiteral("150")});
    ASSERT_TRUE(sim.started());
    PtyClient c(sim.ptyPath());
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(exchange(c, "AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_GE(t.elapsed(), 150);
}

TEST(Program, RefusesBadOptionsWithAMessage)
{
    QTemporaryDir dir;
    QFile bad(dir.filePath(QStringLiteral("bad.txt")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("entry=SM,1,\"unterminated\n");
    bad.close();
    const QList<QStringList> cases = {
        {QStringLiteral("--model"), QStringLiteral("Z9")},
        {QStringLiteral("--contents"), bad.fileName()},
        {QStringLiteral("--contents"), dir.filePath(QStringLiteral("missing"))},
        {QStringLiteral("--split"), QStringLiteral("0")},
        {QStringLiteral("--baud"), QStringLiteral("fast")},
        {QStringLiteral("--error-at"), QStringLiteral("0")},
        {QStringLiteral("--sim-error"), QStringLiteral("loud")},
        {QStringLiteral("--no-such-option")},
        {QStringLiteral("--link"), bad.fileName()}, // a regular file is never replaced
    };
    for (const QStringList &args : cases) {
        QProcess p;
        p.start(phonesimProgram(), args);
        ASSERT_TRUE(p.waitForFinished(10000)) << args.join(u' ').toStdString();
        EXPECT_EQ(p.exitCode(), 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
        EXPECT_TRUE(p.readAllStandardError().startsWith("phonesim: ")) << args.join(u' ').toStdString();
    }
    EXPECT_TRUE(QFile(bad.fileName()).exists());
}

} // namespace
