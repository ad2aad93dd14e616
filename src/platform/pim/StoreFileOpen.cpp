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

int openRegularFile(const QByteArray &path, struct ::stat &st, QString &why)
{
    // Looked at before the open: opening a device can do something of its own, even without blocking.
    if (::stat(path.constData(), &st) != 0) {
        why = QStringLiteral("cannot open: ") + QString::fromLocal8Bit(strerror(errno));
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        why = notRegular();
        return -1;
    }
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = QStringLiteral("cannot open: ") + QString::fromLocal8Bit(strerror(errno));
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = notRegular();
        ::close(fd);
        return -1;
    }
    return fd;
}

QByteArray readSmallRegularFile(const QByteArray &path, qsizetype limit)
{
    struct stat st;
    QString why;
    const int fd = openRegularFile(path, st, why);
    if (fd < 0)
        return QByteArray();
    QByteArray data(limit, Qt::Uninitialized);
    qsizetype have = 0;
    while (have < limit) {
        const ssize_t n = ::read(fd, data.data() + have, size_t(limit - have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        have += n;
    }
    ::close(fd);
    data.truncate(have);
    return data;
}

} // namespace orvia::pim
