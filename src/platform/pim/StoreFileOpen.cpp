#include "platform/pim/StoreFileOpen.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvia::pim {

namespace {

QString notRegular()
{
    return QStringLiteral("not a regular file");
}

} // namespace

QString errnoText(int err)
{
    return QString::fromLocal8Bit(strerror(err));
}

FdGuard::~FdGuard()
{
    if (fd >= 0)
        ::close(fd);
}

int openRegularFile(const QByteArray &path, struct ::stat &st, QString &why, const BusyWait &wait, bool &busy)
{
    busy = false;
    // Looked at before the open: opening a device can do something of its own, even without blocking.
    if (::stat(path.constData(), &st) != 0) {
        why = QStringLiteral("cannot open: ") + errnoText(errno);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        why = notRegular();
        return -1;
    }
    const int fd = wait.open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, busy);
    if (fd < 0) {
        why = QStringLiteral("cannot open: ") + errnoText(errno);
        return -1;
    }
    FdGuard guard{fd};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = notRegular();
        return -1;
    }
    guard.fd = -1; // handed to the caller
    return fd;
}

QByteArray readSmallRegularFile(const QByteArray &path, qsizetype limit)
{
    struct stat st;
    QString why;
    bool busy = false;
    const FdGuard fd{openRegularFile(path, st, why, BusyWait::none(), busy)};
    if (fd.fd < 0)
        return QByteArray();
    QByteArray data(limit, Qt::Uninitialized);
    qsizetype have = 0;
    while (have < limit) {
        const ssize_t n = ::read(fd.fd, data.data() + have, size_t(limit - have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        have += n;
    }
    data.truncate(have);
    return data;
}

} // namespace orvia::pim
