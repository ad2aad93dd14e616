#include "support/PtyPair.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace orvia::test {

PtyPair::PtyPair()
{
    char name[256] = {};
    struct termios raw
    {
    };
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
}

PtyPair::~PtyPair()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

bool PtyPair::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (m_master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
    }
    return done == bytes.size();
}

QByteArray PtyPair::read(int waitMs)
{
    QByteArray out;
    if (m_master < 0)
        return out;
    struct pollfd p
    {
        m_master, POLLIN, 0
    };
    if (::poll(&p, 1, waitMs) <= 0)
        return out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

QByteArray PtyPair::readUntil(const QByteArray &needle, int waitMs)
{
    QByteArray out;
    QDeadlineTimer deadline(waitMs);
    while (!out.contains(needle) && !deadline.hasExpired()) {
        QCoreApplication::processEvents();
        out += read(10);
    }
    return out;
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

} // namespace orvia::test
