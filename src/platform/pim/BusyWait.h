#pragma once
// Another program may hold a lease on a file of the store (a file server with kernel oplocks, an NFS
// export): an open that must not block then fails at once, although the file is fine, while the holder
// is told to let go. Such an open is tried again for a while, as a blocking open would wait, pausing
// through the message loop so that a test's clock drives the wait. A lease that outlasts the wait leaves
// the file busy: the caller leaves it as it is, with a notice, rather than taking it for damaged.
#include <QByteArray>

namespace orvia {
class IMessageLoop;
}

namespace orvia::pim {

class BusyWait
{
public:
    // Without a loop the pauses are real sleeps.
    explicit BusyWait(IMessageLoop *loop = nullptr) : m_loop(loop) {}
    // For small files beside the items, which are not worth a wait: a lease makes them busy at once.
    static BusyWait none()
    {
        BusyWait w;
        w.m_waits = false;
        return w;
    }
    // Opens `path` with `flags` (which must hold O_NONBLOCK). Returns the descriptor, or -1 with errno
    // set; `busy` is true when a lease on the regular file at `path` outlasted the wait.
    int open(const QByteArray &path, int flags, bool &busy) const;
    // Pauses the interface thread for `ms` milliseconds.
    void pause(int ms) const;
    // How long an open waits for a lease to be given up: the kernel's lease-break time, at most 3 s.
    static int boundMs();

private:
    IMessageLoop *m_loop;
    bool m_waits = true;
};

} // namespace orvia::pim
