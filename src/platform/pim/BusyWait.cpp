#include "platform/pim/BusyWait.h"
#include "platform/Timer.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvia::pim {

namespace {

constexpr int maxWaitMs = 3000;
// The longest the window goes without its events while a pause goes through the message loop.
constexpr int sliceMs = 50;

int leaseBreakMs()
{
    QFile f(QStringLiteral("/proc/sys/fs/lease-break-time"));
    bool ok = false;
    const int seconds = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt(&ok) : 0;
    return ok && seconds >= 0 ? std::min(seconds, maxWaitMs / 1000) * 1000 : maxWaitMs;
}

// A regular file refused with EWOULDBLOCK is held under a lease; nothing else refuses an open that way.
bool heldUnderLease(const QByteArray &path, int err)
{
    struct stat st;
    return (err == EWOULDBLOCK || err == EAGAIN) && ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// Sleeps the thread, also across signals.
void sleepMicroseconds(long us)
{
    struct timespec ts
    {
        us / 1000000, (us % 1000000) * 1000
    };
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

} // namespace

BusyWait::BusyWait(IMessageLoop *loop) : m_loop(loop), m_budget(std::make_shared<Budget>())
{
    m_budget->leftMs = boundMs();
}

BusyWait BusyWait::none()
{
    BusyWait w;
    w.m_budget.reset();
    return w;
}

int BusyWait::boundMs()
{
    static const int bound = leaseBreakMs();
    return bound;
}

void BusyWait::renew() const
{
    if (!m_budget)
        return;
    m_budget->leftMs = boundMs();
    ++m_budget->round;
}

quint64 BusyWait::round() const
{
    return m_budget ? m_budget->round : 0;
}

void BusyWait::pause(int ms) const
{
    if (!m_loop) {
        sleepMicroseconds(long(std::max(ms, 0)) * 1000);
        return;
    }
    while (ms > 0) {
        const int slice = std::min(ms, sliceMs);
        m_loop->pause(slice);
        m_loop->yieldOnce();
        ms -= slice;
    }
}

int BusyWait::open(const QByteArray &path, int flags, bool &busy) const
{
    busy = false;
    for (int step = 5;; step = std::min(step * 2, sliceMs)) {
        const int fd = ::open(path.constData(), flags);
        if (fd >= 0 || !heldUnderLease(path, errno))
            return fd;
        // The open that failed has told the holder to let go; it gets what is left of the run's wait.
        if (!m_budget || m_budget->leftMs <= 0) {
            busy = true;
            errno = EWOULDBLOCK;
            return -1;
        }
        const int slice = std::min(step, m_budget->leftMs);
        m_budget->leftMs -= slice;
        pause(slice);
    }
}

} // namespace orvia::pim
