// The phonesim program on a real pseudo-terminal: options, replies in pieces, reconnects, dumps.
#include "PhonesimProcess.h"
#include "phonesim/ContentsFile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

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

// An interactive shell on a terminal of its own, with phonesim started as its background job
// (`phonesim ... &`): the shell's group is the terminal's foreground group, the job's is another one.
class BackgroundJob
{
public:
    explicit BackgroundJob(const QStringList &args)
    {
        QList<QByteArray> words{QFile::encodeName(phonesimProgram())};
        for (const QString &a : args)
            words << QFile::encodeName(a);
        std::vector<char *> argv;
        for (QByteArray &w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        int slave = -1;
        int out[2], pid[2];
        if (::openpty(&m_master, &slave, nullptr, nullptr, nullptr) != 0 || ::pipe2(out, O_CLOEXEC) != 0 ||
            ::pipe2(pid, O_CLOEXEC) != 0)
            return;
        m_shell = ::fork();
        if (m_shell == 0) {
            // Only async-signal-safe calls from here: the test program has threads.
            ::setsid();
            ::ioctl(slave, TIOCSCTTY, 0);
            ::tcsetpgrp(slave, ::getpgrp());
            const pid_t job = ::fork();
            if (job == 0) {
                ::setpgid(0, 0);
                ::dup2(slave, 0);
                ::dup2(out[1], 1);
                ::dup2(slave, 2);
                ::execv(argv[0], argv.data());
                ::_exit(127);
            }
            ::setpgid(job, job);
            [[maybe_unused]] const ssize_t w = ::write(pid[1], &job, sizeof job);
            int status = 0;
            while (::waitpid(job, &status, 0) < 0 && errno == EINTR) {
            }
            ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status));
        }
        ::close(slave);
        ::close(out[1]);
        ::close(pid[1]);
        if (m_shell > 0 && ::read(pid[0], &m_job, sizeof m_job) != sizeof m_job)
            m_job = -1;
        ::close(pid[0]);
        m_out = out[0];
        // Its first line is the terminal it serves.
        QByteArray line;
        char c = 0;
        pollfd p{m_out, POLLIN, 0};
        while (m_job > 0 && ::poll(&p, 1, 10000) == 1 && ::read(m_out, &c, 1) == 1 && c != '\n')
            line += c;
        m_path = QString::fromLocal8Bit(line);
    }
    ~BackgroundJob()
    {
        // Without the job's number the shell is ended instead, so the wait below cannot hang.
        if (m_job > 0)
            ::kill(-m_job, SIGKILL);
        else if (m_shell > 0)
            ::kill(m_shell, SIGKILL);
        if (m_shell > 0)
            ::waitpid(m_shell, nullptr, 0);
        for (int fd : {m_master, m_out})
            if (fd >= 0)
                ::close(fd);
    }
    QString ptyPath() const { return m_path; }
    // The user types a line in the shell's terminal.
    bool type(const QByteArray &line)
    {
        return ::write(m_master, line.constData(), size_t(line.size())) == line.size();
    }
    bool stopped() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_job));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        return close > 0 && text.mid(close + 2, 1) == "T";
    }
    // `kill %1`: SIGTERM to the job's group. The shell's exit code tells how the job ended (-1 when it
    // did not end within 10 s).
    int terminate()
    {
        ::kill(-m_job, SIGTERM);
        for (int i = 0; i < 1000; ++i) {
            int status = 0;
            if (::waitpid(m_shell, &status, WNOHANG) == m_shell) {
                m_shell = m_job = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

private:
    int m_master = -1;
    int m_out = -1;
    pid_t m_shell = -1;
    pid_t m_job = -1;
    QString m_path;
};

TEST(Program, ServesFromTheBackgroundOfAnInteractiveShellAndEndsOnSigterm)
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("phone"));
    BackgroundJob job({QStringLiteral("--model"), QStringLiteral("K310"), QStringLiteral("--link"), link});
    ASSERT_FALSE(job.ptyPath().isEmpty());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), job.ptyPath());
    // The user goes on typing commands in the terminal.
    ASSERT_TRUE(job.type("ls\n"));
    PtyClient c(link);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(exchange(c, "AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_FALSE(job.stopped());
    ASSERT_TRUE(job.type("echo more\n"));
    EXPECT_EQ(exchange(c, "AT+GMM\r"), "AT+GMM\r\r\nVelmora K310\r\n\r\nOK\r\n");
    c.close();
    EXPECT_EQ(job.terminate(), 0);
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "the link goes with the server";
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
