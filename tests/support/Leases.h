#pragma once
// Write leases, for tests that play another program holding a file of the store. A machine may give
// none (switched off in /proc/sys/fs/leases-enable, a file system without them, no right to take one):
// such a test is skipped with the reason rather than failed.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>

namespace orvia::test {

// Takes a write lease on `fd`: 0, or the errno of the refusal.
inline int takeWriteLease(int fd)
{
    return ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0 ? 0 : errno;
}

// Why the machine gives no lease, when the refusal `err` is the machine's rather than the code's; empty
// otherwise (EAGAIN, for one: the file is open elsewhere, which a test must not have left it).
inline std::string leasesUnavailable(int err)
{
    switch (err) {
    case EINVAL: // switched off, or a file system without leases
    case EACCES: // not the file's owner, nor allowed to lease others' files
    case EPERM:
    case ENOLCK: // no room for another lease
    case ENOSYS:
        return std::string("this machine gives no file leases: ") + std::strerror(err);
    default:
        return std::string();
    }
}

} // namespace orvia::test
