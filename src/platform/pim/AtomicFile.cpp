#include "platform/pim/AtomicFile.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
#include "platform/pim/StoreFileNames.h"
#include "platform/pim/StoreFileOpen.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <csignal>
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
    throwError(
        ErrPathAccess,
        QStringLiteral("%1 %2: %3").arg(what, visibleText(path), QString::fromLocal8Bit(strerror(err))));
}

QByteArray folderOf(const QByteArray &path);

constexpr unsigned renameNoReplace = 1; // RENAME_NOREPLACE
constexpr unsigned renameExchange = 2;  // RENAME_EXCHANGE

// renameat2, which the C library may not offer: fails with EINVAL or ENOSYS where the file system or
// the kernel cannot do what `flags` asks.
bool renameWith(const QByteArray &from, const QByteArray &to, unsigned flags)
{
    return ::syscall(SYS_renameat2, AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), flags) == 0;
}

// Closes a descriptor and unlinks a temporary file unless released: no stray temp files on errors.
// Failures name the file being written, not the temporary one.
class TempFile
{
public:
    explicit TempFile(const QByteArray &target) : m_target(QFile::decodeName(target))
    {
        const QByteArray folder = folderOf(target);
        const QByteArray baseName = baseNameOf(target);
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
                fail(QStringLiteral("cannot write"), m_target, errno);
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
            fail(QStringLiteral("cannot read the state of"), m_target, errno);
        return versionOf(st);
    }
    // Starts writing the data out before the rename makes it visible, so the journal never commits the
    // new name ahead of its contents; waiting for the disk is left to one sync of the whole batch
    // (syncStoreFileSystem), not paid per file.
    void startWriteBackAndClose()
    {
        if (::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE) != 0 && errno != ESPIPE && errno != EINVAL &&
            errno != ENOSYS)
            fail(QStringLiteral("cannot write"), m_target, errno);
        int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            fail(QStringLiteral("cannot write"), m_target, errno);
    }
    // The finished file leaves the name of an unfinished write before it is swapped with the target:
    // what comes back under its name is then the target's old file, perhaps another program's edit,
    // which no sweep for leftovers may take.
    void moveToSwapName()
    {
        const QByteArray swapName = m_path.chopped(4) + ".swap";
        if (!renameWith(m_path, swapName, renameNoReplace) &&
            (errno == EEXIST || ::rename(m_path.constData(), swapName.constData()) != 0))
            fail(QStringLiteral("cannot write"), m_target, errno);
        m_path = swapName;
    }
    const QByteArray &path() const { return m_path; }
    void release() { m_released = true; }

private:
    QString m_target;
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

bool exchange(const QByteArray &a, const QByteArray &b)
{
    return renameWith(a, b, renameExchange);
}

enum class Look
{
    Unchanged, // still the version read, and nobody else has it open: removed
    Changed,   // another program wrote it
    Open,      // still the version read, but open in another program, which may be about to write it
    Busy,      // another program's lease keeps it closed: it may still write into it
};

// Looks at the file that was swapped out to `path` (the temporary name). Only a file that is still
// `expected` is removed. A program that opened the card before the swap could still write into it
// after any look at its version: a write lease, granted only while no other descriptor is open on the
// file, rules that out. Where no lease can be had (a file of another owner, a file system without
// leases) the version alone decides. A program that holds a lease of its own is given the time to
// write what it holds and let go.
Look lookAtSwappedOut(const QByteArray &path, const FileVersion &expected, bool askLease,
                      const BusyWait &wait)
{
    bool busy = false;
    const int fd = wait.open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, busy);
    if (fd < 0)
        return busy ? Look::Busy : Look::Changed;
    struct stat st;
    Look look = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && versionOf(st) == expected ? Look::Unchanged
                                                                                          : Look::Changed;
    bool leased = false;
    if (look == Look::Unchanged && askLease) {
        // Should another program open the file while the lease is held, the notice it sends is one that
        // is ignored unless asked for, rather than one that ends the program.
        ::fcntl(fd, F_SETSIG, SIGURG);
        leased = ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
        if (!leased && errno == EAGAIN)
            look = Look::Open;
        // A write just before the lease was granted.
        else if (leased && (::fstat(fd, &st) != 0 || versionOf(st) != expected))
            look = Look::Changed;
    }
    if (look == Look::Unchanged)
        ::unlink(path.constData());
    if (leased)
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
    ::close(fd);
    return look;
}

enum class Swap
{
    Done,        // the new file is in place, the old one removed
    Changed,     // the old file was changed meanwhile: it is back in place, the new one under `temp`
    Busy,        // the old file is held by another program: it is back in place, the new one under `temp`
    NotOurs,     // `temp` holds another program's file now: it must stay
    Unsupported, // the file system cannot exchange two names: nothing was done
};

bool holdsInode(const QByteArray &path, quint64 inode)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && quint64(st.st_ino) == inode;
}

// Puts the new file at `temp` in place of `path` by exchanging the two, then looks at what came out.
// The version check and the swap cannot be one step without locks that other tools do not take; the
// look after the swap leaves only the moment of the exchange itself for another program's write to be
// missed. A file another program holds open is swapped back and tried again a few times, briefly; one
// kept open longer (a viewer, say) is then decided by its version alone. `err` gets the cause when the
// other program's file cannot be put back.
Swap swapIn(const QByteArray &temp, const QByteArray &path, const FileVersion &expected, quint64 mine,
            const BusyWait &wait, int &err)
{
    constexpr int tries = 8; // about 25 ms of pauses in all, not counted against the run's wait for leases
    for (int attempt = 1;; ++attempt) {
        if (!exchange(temp, path)) {
            err = errno;
            if (err == EINVAL || err == ENOSYS || err == EOPNOTSUPP)
                return Swap::Unsupported;
            if (err == ENOENT)
                return Swap::Changed; // removed meanwhile
            fail(QStringLiteral("cannot replace"), QFile::decodeName(path), err);
        }
        const Look look = lookAtSwappedOut(temp, expected, attempt < tries, wait);
        if (look == Look::Unchanged)
            return Swap::Done;
        // Back as it was; should even that fail, the other program's file goes back by rename.
        if (!exchange(temp, path)) {
            err = errno;
            if (::rename(temp.constData(), path.constData()) == 0)
                return look == Look::Busy ? Swap::Busy : Swap::Changed;
            err = errno;
            return Swap::NotOurs;
        }
        // A program that saved by rename between the two exchanges put its file under the card's name,
        // and the swap back moved it here: it goes back in place, as the newest version of the card.
        if (!holdsInode(temp, mine)) {
            if (!exchange(temp, path)) {
                err = errno;
                return Swap::NotOurs;
            }
            return Swap::Changed;
        }
        if (look == Look::Busy)
            return Swap::Busy;
        if (look == Look::Changed)
            return Swap::Changed;
        // Through the message loop, as every wait of the store: 1, 1, 1, 1, 3, 6, 12 ms.
        wait.pause(std::max(1, (100 << attempt) / 1000));
    }
}

// A card with more than one name (a hard link) is written into the same file, so that every name shows
// the new text: replacing it would part the names. After a kill the card must hold its old text or its
// new one, never the new followed by the end of the old; so it is written in place only where one write
// puts the whole new text over the old: no longer than a page (a kill cuts a write short only between
// pages) and no shorter than the old text (no cut to length after it). Room for it is taken first, so a
// full disk stops the write before the old text is touched, and a write cut short all the same puts the
// old text back. Any other such card is left as it is (ErrItemLinked).
bool writeInPlace(const QByteArray &path, const QByteArray &data, const FileVersion &expected,
                  FileVersion &written, const BusyWait &wait)
{
    const QString name = QFile::decodeName(path);
    bool busy = false;
    const int fd = wait.open(path, O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, busy);
    if (fd < 0 && (errno == ENOENT || errno == ELOOP))
        return false; // removed or replaced meanwhile
    if (fd < 0 && busy)
        throwError(ErrItemBusy, name);
    if (fd < 0)
        fail(QStringLiteral("cannot write"), name, errno);
    const FdGuard closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || versionOf(st) != expected)
        return false;
    if (data.size() < st.st_size || data.size() > ::sysconf(_SC_PAGESIZE))
        throwError(ErrItemLinked, name);
    QByteArray old(qsizetype(st.st_size), Qt::Uninitialized);
    if (::pread(fd, old.data(), size_t(old.size()), 0) != ssize_t(old.size()))
        fail(QStringLiteral("cannot read"), name, errno ? errno : EIO);
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(data.size())) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS && errno != EINVAL)
        fail(QStringLiteral("cannot write"), name, errno);
    ssize_t n;
    do
        n = ::pwrite(fd, data.constData(), size_t(data.size()), 0);
    while (n < 0 && errno == EINTR);
    if (n != ssize_t(data.size())) {
        const int err = n < 0 ? errno : ENOSPC;
        if (n > 0 && (::pwrite(fd, old.constData(), size_t(old.size()), 0) != ssize_t(old.size()) ||
                      ::ftruncate(fd, st.st_size) != 0))
            fail(QStringLiteral("cannot restore"), name, errno);
        fail(QStringLiteral("cannot write"), name, err);
    }
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    if (::fstat(fd, &st) != 0)
        fail(QStringLiteral("cannot read the state of"), name, errno);
    written = versionOf(st);
    // The text is in the file under every other name of it, whatever another program has since put
    // under this one: it is written, and the next read sees which version the name now holds.
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
    TempFile temp(target);
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
                            FileVersion &written, const BusyWait &wait)
{
    // Made first in every case: creating and removing it changes the folder's time, which is what tells
    // calendar tools to read the folder again, also after a write in place.
    TempFile temp(path);
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || versionOf(st) != expected)
        return false;
    if (st.st_nlink > 1)
        return writeInPlace(path, data, expected, written, wait);
    temp.chmod(st.st_mode & 07777);
    temp.write(data);
    const FileVersion mine = temp.version();
    temp.startWriteBackAndClose();
    temp.moveToSwapName();
    int err = 0;
    switch (swapIn(temp.path(), path, expected, mine.inode, wait, err)) {
    case Swap::Done:
        temp.release(); // the name now held the old file, which is gone
        break;
    case Swap::Changed:
        return false; // the guard removes what is under the temporary name: ours, or a superseded card
    case Swap::Busy:
        throwError(ErrItemBusy, QFile::decodeName(path)); // the guard removes ours
    case Swap::NotOurs:
        // Our text is under the card's name: it is on the disk as much as any written card, and waits
        // for the same sync.
        temp.release();
        written = mine;
        throwError(ErrPathAccess, QStringLiteral("cannot restore %1: %2; its other version is kept as %3")
                                      .arg(visibleText(QFile::decodeName(path)), errnoText(err),
                                           visibleText(QFile::decodeName(temp.path()))));
    case Swap::Unsupported:
        // The last look before the rename: another program's write in between is not replaced unread.
        if (::stat(path.constData(), &st) != 0 || versionOf(st) != expected)
            return false;
        if (::rename(temp.path().constData(), path.constData()) != 0)
            fail(QStringLiteral("cannot replace"), QFile::decodeName(path), errno);
        temp.release();
        break;
    }
    written = mine;
    return true;
}

// A write killed between the move to ".swap" and the exchange leaves our own finished file under the
// ".swap" name. It is never swept, on purpose: after the exchange the same name holds the card's old
// file, perhaps another program's edit, and the two cannot be told apart by name.
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
    TempFile temp(target);
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
        if (!renameWith(temp.path(), target, renameNoReplace)) {
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
