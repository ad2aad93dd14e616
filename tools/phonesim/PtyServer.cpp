#include "phonesim/PtyServer.h"

#include "phonesim/ContentsFile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

namespace orvia::phonesim {

namespace {

QByteArray visible(const QByteArray &bytes)
{
    QByteArray out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (b < 0x20 || b == 0x7f)
            out += "\\x" + QByteArray::number(b, 16).rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

} // namespace

PtyServer::PtyServer(PhoneSim &sim, Options options)
    : m_sim(sim), m_options(std::move(options)), m_stdinOpen(m_options.commands)
{
    m_sim.setRecording(false); // a long-running server keeps no history
}

PtyServer::~PtyServer()
{
    // A second server may have taken the link over meanwhile: only our own link goes.
    if (m_linkMade && QFileInfo(m_options.linkPath).symLinkTarget() == m_slavePath)
        ::unlink(QFile::encodeName(m_options.linkPath).constData());
    for (int fd : {m_master, m_slave, m_signals, m_log, m_opens}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool PtyServer::open(QString *error)
{
    if (!openTerminal(error))
        return false;

    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGTERM, SIGINT, SIGHUP, SIGUSR1})
        sigaddset(&set, s);
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    // Started in the background of an interactive shell, reading its terminal (commands on) or writing
    // to it (with `stty tostop`) would stop the server, and a stopped server neither serves nor sees
    // SIGTERM. Ignored, the read fails instead (commands then end) and the write goes through.
    ::signal(SIGTTIN, SIG_IGN);
    ::signal(SIGTTOU, SIG_IGN);
    m_signals = ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);

    if (!m_options.logPath.isEmpty()) {
        m_log = ::open(QFile::encodeName(m_options.logPath).constData(),
                       O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (m_log < 0) {
            *error = QStringLiteral("cannot write %1").arg(m_options.logPath);
            return false;
        }
    }
    return true;
}

bool PtyServer::openTerminal(QString *error)
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        *error =
            QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    termios t{};
    if (::tcgetattr(m_slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);

    // A client opening the terminal: what an earlier client left unread must not reach it. Its own
    // input can only follow the open, and the open is handled before input is read.
    m_opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_opens >= 0)
        ::inotify_add_watch(m_opens, name, IN_OPEN);

    if (!m_options.linkPath.isEmpty()) {
        const QByteArray link = QFile::encodeName(m_options.linkPath);
        const QFileInfo existing(m_options.linkPath);
        if (existing.exists() && !existing.isSymLink()) {
            *error = QStringLiteral("%1 exists and is not a link").arg(m_options.linkPath);
            return false;
        }
        ::unlink(link.constData());
        if (::symlink(name, link.constData()) != 0) {
            *error = QStringLiteral("cannot make the link %1").arg(m_options.linkPath);
            return false;
        }
        m_linkMade = true;
    }
    return true;
}

int PtyServer::pollTimeoutMs() const
{
    if (m_out.empty())
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(m_out.front().due - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 60000));
}

int PtyServer::run()
{
    for (;;) {
        pollfd fds[4] = {{m_master, POLLIN, 0},
                         {m_signals, POLLIN, 0},
                         {m_stdinOpen ? 0 : -1, POLLIN, 0},
                         {m_opens, POLLIN, 0}};
        int timeout = pollTimeoutMs();
        const bool writable = !m_out.empty() && timeout == 0;
        if (writable) {
            fds[0].events |= POLLOUT;
            timeout = -1; // wait for room on the terminal instead of spinning
        }
        const int n = ::poll(fds, 4, timeout);
        if (n < 0 && errno != EINTR)
            return 1;
        if (n > 0 && (fds[1].revents & POLLIN)) {
            signalfd_siginfo info{};
            while (::read(m_signals, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
                if (info.ssi_signo == SIGUSR1) {
                    dump();
                } else {
                    dump();
                    return 0;
                }
            }
        }
        if (n > 0 && fds[2].fd >= 0 && fds[2].revents) {
            if (!readStdin()) {
                dump();
                return 0;
            }
        }
        if (n > 0 && (fds[3].revents & POLLIN))
            clientOpened();
        if (n > 0 && (fds[0].revents & POLLIN))
            readClient();
        writeDue();
    }
}

void PtyServer::readClient()
{
    char buf[4096];
    for (;;) {
        const ssize_t got = ::read(m_master, buf, sizeof buf);
        if (got <= 0)
            return; // EAGAIN; our own slave descriptor keeps EIO away
        const QByteArray in(buf, got);
        log("> ", in);
        auto due = m_out.empty() ? Clock::now() : m_out.back().due;
        if (due < Clock::now())
            due = Clock::now();
        for (ReplyPiece &p : m_sim.receive(in)) {
            due += std::chrono::microseconds(p.gapUs);
            if (m_queued + p.bytes.size() > kMaxQueued)
                continue; // a client that writes and never reads loses replies, not our memory
            m_queued += p.bytes.size();
            m_out.push_back({std::move(p.bytes), due});
        }
    }
}

void PtyServer::clientOpened()
{
    char events[4096];
    while (::read(m_opens, events, sizeof events) > 0) {
    }
    ::tcflush(m_slave, TCIFLUSH);
    m_out.clear();
    m_queued = 0;
    log("-- ", "a client opened the terminal");
}

void PtyServer::writeDue()
{
    while (!m_out.empty() && m_out.front().due <= Clock::now()) {
        Pending &p = m_out.front();
        const ssize_t put = ::write(m_master, p.bytes.constData(), static_cast<size_t>(p.bytes.size()));
        if (put < 0)
            return; // full: poll waits for POLLOUT
        log("< ", p.bytes.left(put));
        m_queued -= put;
        if (put < p.bytes.size()) {
            p.bytes.remove(0, put);
            return;
        }
        m_out.pop_front();
    }
}

bool PtyServer::readStdin()
{
    char buf[256];
    const ssize_t got = ::read(0, buf, sizeof buf);
    if (got <= 0) {
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            return true;
        m_stdinOpen = false; // no console (or not ours to read): only signals end the server
        return true;
    }
    m_stdinLine.append(buf, got);
    qsizetype nl;
    while ((nl = m_stdinLine.indexOf('\n')) >= 0) {
        const QByteArray cmd = m_stdinLine.left(nl).trimmed();
        m_stdinLine.remove(0, nl + 1);
        if (cmd == "dump")
            dump();
        else if (cmd == "quit")
            return false;
        else if (cmd == "hangup" && !hangUp())
            return false;
    }
    if (m_stdinLine.size() > 4096)
        m_stdinLine.clear();
    return true;
}

bool PtyServer::hangUp()
{
    // The line drops: the client's terminal reads end of line from now on. The handset is back at
    // once on a new terminal, which the link (when made) follows, as a device plugged in again would.
    for (int *fd : {&m_master, &m_slave, &m_opens}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    m_out.clear();
    m_queued = 0;
    log("-- ", "hung up");
    QString error;
    if (!openTerminal(&error)) {
        ::dprintf(2, "phonesim: %s\n", error.toLocal8Bit().constData());
        return false;
    }
    std::printf("%s\n", m_slavePath.toLocal8Bit().constData());
    std::fflush(stdout);
    return true;
}

void PtyServer::dump()
{
    if (m_options.dumpPath.isEmpty())
        return;
    QString error;
    if (!saveContentsFile(m_options.dumpPath, m_sim.contents(), &error))
        ::dprintf(2, "phonesim: %s\n", error.toLocal8Bit().constData());
}

void PtyServer::log(const QByteArray &prefix, const QByteArray &bytes)
{
    if (m_log < 0)
        return;
    const QByteArray line = prefix + visible(bytes) + '\n';
    [[maybe_unused]] const ssize_t w = ::write(m_log, line.constData(), static_cast<size_t>(line.size()));
}

} // namespace orvia::phonesim
