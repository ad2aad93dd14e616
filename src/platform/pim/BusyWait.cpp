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

} // namespace

int BusyWait::boundMs()
{
    static const int bound = leaseBreakMs();
    return bound;
}

void BusyWait::pause(int ms) const
{
    if (m_loop) {
        m_loop->pause(ms);
        return;
    }
    struct timespec ts
    {
        ms / 1000, long(ms % 1000) * 1000000L
    };
    while (::nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

int BusyWait::open(const QByteArray &path, int flags, bool &busy) const
{
    busy = false;
    int waited = 0;
    for (int step = 5;; step = std::min(step * 2, 100)) {
        const int fd = ::open(path.constData(), flags);
        if (fd >= 0 || !heldUnderLease(path, errno))
            return fd;
        // The open that failed has told the holder to let go; it gets the time a blocking open would give.
        if (!m_waits || waited >= boundMs()) {
            busy = true;
            errno = EWOULDBLOCK;
            return -1;
        }
        pause(step);
        waited += step;
    }
}

} // namespace orvia::pim
