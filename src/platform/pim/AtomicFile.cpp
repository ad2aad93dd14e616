#include "platform/pim/AtomicFile.h"
#include "platform/RuntimeError.h"
#include "platform/pim/StoreFileNames.h"

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
    explicit TempFile(const QByteArray &folder, const QByteArray &baseName)
    {
        for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
            // A dot-file ending in .tmp: vdir readers skip it, and it can never pass for an item.
            m_path = folder + '/' + '.' + baseName + '.' +
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
    // What the rename will put in place: renaming keeps the inode, the modification time and the size.
    FileVersion version() const
    {
        struct stat st;
        if (::fstat(m_fd, &st) != 0)
            fail(QStringLiteral("cannot read the state of"), QFile::decodeName(m_path), errno);
        return versionOf(st);
    }
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

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool isBase36(const QByteArray &s)
{
    if (s.isEmpty() || s.size() > 13)
        return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')))
            return false;
    return true;
}

} // namespace

FileVersion versionOf(const struct ::stat &st)
{
    FileVersion v;
    v.inode = quint64(st.st_ino);
    v.mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    v.size = qint64(st.st_size);
    return v;
}

void replaceFileAtomically(const QString &path, const QByteArray &data)
{
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    TempFile temp(folderOf(target), baseNameOf(target));
    struct stat st;
    if (::stat(target.constData(), &st) == 0)
        temp.chmod(st.st_mode & 07777);
    temp.write(data);
    temp.startWriteBackAndClose();
    if (::rename(temp.path().constData(), target.constData()) != 0)
        fail(QStringLiteral("cannot replace"), path, errno);
    temp.release();
}

bool replaceFileIfUnchanged(const QByteArray &path, const QByteArray &data, const FileVersion &expected,
                            FileVersion &written)
{
    TempFile temp(folderOf(path), baseNameOf(path));
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || versionOf(st) != expected)
        return false;
    temp.chmod(st.st_mode & 07777);
    temp.write(data);
    const FileVersion mine = temp.version();
    temp.startWriteBackAndClose();
    // The last look before the rename: another program's write in between is not replaced unread.
    if (::stat(path.constData(), &st) != 0 || versionOf(st) != expected)
        return false;
    if (::rename(temp.path().constData(), path.constData()) != 0)
        fail(QStringLiteral("cannot replace"), QFile::decodeName(path), errno);
    temp.release();
    written = mine;
    return true;
}

bool isLeftoverTemporaryName(const QByteArray &name)
{
    // "." + target name + "." + random base-36 number + ".tmp", the target an item or the folder marker.
    if (!name.startsWith('.') || !name.endsWith(".tmp"))
        return false;
    const QByteArray stem = name.mid(1, name.size() - 5);
    const qsizetype dot = stem.lastIndexOf('.');
    if (dot <= 0 || !isBase36(stem.mid(dot + 1)))
        return false;
    const QByteArray target = stem.left(dot);
    return hasExtension(target, ".vcf") || hasExtension(target, ".ics") ||
           target.toLower() == folderMarkerName();
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
    FileVersion written;
    return createFileExclusively(QFile::encodeName(QFileInfo(path).absoluteFilePath()), data, written);
}

bool createFileExclusively(const QByteArray &target, const QByteArray &data, FileVersion &written)
{
    const QString path = QFile::decodeName(target);
    TempFile temp(folderOf(target), baseNameOf(target));
    temp.write(data);
    written = temp.version();
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
