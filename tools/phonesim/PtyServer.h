#pragma once
// Serves one simulated handset on a pseudo-terminal until a terminating signal: reads the client's
// bytes from the master side, sends the reply pieces when their time has come. Keeps a slave
// descriptor of its own open, so a client closing the terminal is no hang-up and the next client
// can open it again. With commands on, "hangup" on stdin drops the line and serves on a new terminal
// (its path printed). The controlling terminal is never a reason to stop: in the background of an
// interactive shell it serves on.
#include "phonesim/PhoneSim.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <deque>

namespace orvia::phonesim {

class PtyServer
{
public:
    struct Options
    {
        QString linkPath;      // a symbolic link to the terminal, made at open, removed at exit
        QString dumpPath;      // the contents are written here on exit, SIGUSR1 and "dump" on stdin
        QString logPath;       // every command line and reply, for looking into a client's talk
        bool commands = false; // read "dump", "hangup" and "quit" from stdin; else stdin is left alone
    };

    PtyServer(PhoneSim &sim, Options options);
    ~PtyServer();
    PtyServer(const PtyServer &) = delete;
    PtyServer &operator=(const PtyServer &) = delete;

    bool open(QString *error);
    QString slavePath() const { return m_slavePath; }
    // Serves until SIGTERM, SIGINT or SIGHUP (or "quit" with commands on); the exit status.
    int run();

private:
    using Clock = std::chrono::steady_clock;
    struct Pending
    {
        QByteArray bytes;
        Clock::time_point due;
    };
    static constexpr qsizetype kMaxQueued = 1 << 20;
    void readClient();
    void clientOpened();
    void writeDue();
    bool readStdin();
    bool openTerminal(QString *error);
    bool hangUp(); // "hangup" on stdin
    void dump();
    void log(const QByteArray &prefix, const QByteArray &bytes);
    int pollTimeoutMs() const;

    PhoneSim &m_sim;
    Options m_options;
    int m_master = -1;
    int m_slave = -1;
    int m_signals = -1;
    int m_log = -1;
    int m_opens = -1;
    qsizetype m_queued = 0;
    bool m_stdinOpen = false;
    bool m_linkMade = false;
    QString m_slavePath;
    QByteArray m_stdinLine;
    std::deque<Pending> m_out;
};

} // namespace orvia::phonesim
