#pragma once
// Opening the desktop store's files for reading. The store is shared with other programs, and any name
// in it may stand for a FIFO, a socket or a device rather than a file: opening one of those the usual
// way can block the interface thread for good. These open without blocking and hand out only regular
// files (a link is followed to what it names). What stands at the name is checked again on the open
// descriptor, so a file swapped for something else between a listing and the read is refused too.
#include "platform/pim/BusyWait.h"

#include <QByteArray>
#include <QString>

struct stat;

namespace orvia::pim {

// The system's text for an error number.
QString errnoText(int err);

// Closes a descriptor when the work on it is done, whichever way it ends.
struct FdGuard
{
    int fd;
    ~FdGuard();
};

// Opens `path` read-only. Returns the descriptor, with its state in `st`; -1 when it cannot be opened
// or is not a regular file, with the reason in `why`, and `busy` set when it is a file that another
// program's lease kept closed for longer than `wait` allows.
int openRegularFile(const QByteArray &path, struct ::stat &st, QString &why, const BusyWait &wait,
                    bool &busy);

// At most `limit` bytes of a small file kept beside the items (a folder's marker, its description);
// empty when there is none or it is not a regular file.
QByteArray readSmallRegularFile(const QByteArray &path, qsizetype limit);

} // namespace orvia::pim
