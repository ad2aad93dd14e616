#include "platform/pim/AtomicFile.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orvia::pim {

namespace {

[[noreturn]] void fail(const QString &what, const QString &path, int err)
{
    throwError(ErrPathAccess,
               QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(strerror(err))));
}

// Closes a descriptor and unlinks a temporary file unless released: no stray temp files on errors.
class TempFile
{
public:
    explicit TempFile(const QByteArray &folder, const QString &baseName)
    {
        for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
            // A dot-file ending in .tmp: vdir readers skip it, and it can never pass for an item.
            m_path = folder + '/' + '.' + baseName.toUtf8() + '.' +
                     QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
            m_fd = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (m_fd < 0 && errno != EEXIST)
                break;
        }
        if (m_fd < 0)
            fail(QStringLiteral("cannot create a temporary file in"), QString::fromUtf8(folder), errno);
    }
    ~TempFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_released)
            ::unlink(m_path.constData());
    }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    void write(const QByteArray &data)
    {
        const char *p = data.constData();
        qsizetype left = data.size();
        while (left > 0) {
            ssize_t n = ::write(m_fd, p, size_t(left));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail(QStringLiteral("cannot write"), QString::fromUtf8(m_path), errno);
            }
            p += n;
            left -= n;
        }
    }
    void chmod(mode_t mode) { ::fchmod(m_fd, mode); }
    // Starts writing the data out before the rename makes it visible, so the journal never commits the
    // new name ahead of its contents; waiting for the disk is left to one sync of the whole batch
    // (syncStoreFileSystem), not paid per file.
    void startWriteBackAndClose()
    {
        if (::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE) != 0 && errno != ESPIPE && errno != EINVAL &&
            errno != ENOSYS)
            fail(QStringLiteral("cannot write"), QString::fromUtf8(m_path), errno);
        int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            fail(QStringLiteral("cannot close"), QString::fromUtf8(m_path), errno);
    }
    const QByteArray &path() const { return m_path; }
    void release() { m_released = true; }

private:
    QByteArray m_path;
    int m_fd = -1;
    bool m_released = false;
};

QByteArray folderOf(const QString &path)
{
    QString dir = QFileInfo(path).absolutePath();
    return QFile::encodeName(dir);
}

} // namespace

void replaceFileAtomically(const QString &path, const QByteArray &data)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray folder = folderOf(path);
    TempFile temp(folder, QFileInfo(path).fileName());
    struct stat st;
    if (::stat(target.constData(), &st) == 0)
        temp.chmod(st.st_mode & 07777);
    temp.write(data);
    temp.startWriteBackAndClose();
    if (::rename(temp.path().constData(), target.constData()) != 0)
        fail(QStringLiteral("cannot replace"), path, errno);
    temp.release();
}

void syncFileSystemOf(const QString &path)
{
    const QByteArray p = QFile::encodeName(path);
    const int fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(QStringLiteral("cannot open"), path, errno);
    const int rc = ::syncfs(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        fail(QStringLiteral("cannot sync"), path, err);
}

bool createFileExclusively(const QString &path, const QByteArray &data)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray folder = folderOf(path);
    TempFile temp(folder, QFileInfo(path).fileName());
    temp.write(data);
    temp.startWriteBackAndClose();
    if (::link(temp.path().constData(), target.constData()) != 0) {
        int err = errno;
        if (err == EEXIST)
            return false;
        // File systems without hard links: an atomic rename that refuses to replace.
        if (err != EPERM && err != ENOTSUP && err != ENOSYS)
            fail(QStringLiteral("cannot create"), path, err);
        if (::syscall(SYS_renameat2, AT_FDCWD, temp.path().constData(), AT_FDCWD, target.constData(),
                      1 /* RENAME_NOREPLACE */) != 0) {
            if (errno == EEXIST)
                return false;
            fail(QStringLiteral("cannot create"), path, errno);
        }
        temp.release();
        return true;
    }
    // The temp name is removed by the guard; the data now lives under the target name.
    return true;
}

} // namespace orvia::pim
