#pragma once
// Another program may hold a lease on a file of the store (a file server with kernel oplocks, an NFS
// export): an open that must not block then fails at once, although the file is fine, while the holder
// is told to let go. Such an open is tried again for a while, as a blocking open would wait, pausing
// through the message loop so that a test's clock drives the wait. A lease that outlasts the wait leaves
// the file busy: the caller leaves it as it is, with a notice, rather than taking it for damaged.
//
// The wait is one budget for a whole run, shared by every copy of a BusyWait: the first busy file may
// use all of it, the ones after it are tried once without waiting, and a file found busy stays busy
// until the next run (renew) rather than being waited on again at every look at its folder. Twenty held
// files thus hold the window up for one wait, not twenty.
#include <QByteArray>
#include <QtGlobal>

#include <memory>

namespace orvia {
class IMessageLoop;
}

namespace orvia::pim {

class BusyWait
{
public:
    // Without a loop the pauses are real sleeps.
    explicit BusyWait(IMessageLoop *loop = nullptr);
    // For small files beside the items, which are not worth a wait: a lease makes them busy at once.
    static BusyWait none();
    // Opens `path` with `flags` (which must hold O_NONBLOCK). Returns the descriptor, or -1 with errno
    // set; `busy` is true when a lease on the regular file at `path` outlasted what is left of the wait.
    int open(const QByteArray &path, int flags, bool &busy) const;
    // Pauses the interface thread for `ms` milliseconds; with a loop in slices, between which the window
    // gets its events.
    void pause(int ms) const;
    // A new run: the whole wait again, and files found busy are tried again.
    void renew() const;
    // Which run this is: a file found busy in this one is not opened again before the next.
    quint64 round() const;
    // How long a run waits for leases to be given up: the kernel's lease-break time, at most 3 s.
    static int boundMs();

private:
    struct Budget
    {
        int leftMs = 0;
        quint64 round = 0;
    };
    IMessageLoop *m_loop = nullptr;
    std::shared_ptr<Budget> m_budget; // none: no waits at all
};

} // namespace orvia::pim
